#pragma once
// Work the toolkit's start and the editor's first frame would otherwise wait
// for, done on other threads while the toolkit starts: loading the font
// configuration (the first text of the window needs it), and connecting to
// the session bus (the toolkit's accessibility bridge, which the first
// change of any control starts, waits for it). Made in the thread that then
// makes the QApplication, before it; finished right after it.

#include <thread>
#include <vector>

namespace patchsmith::app {

class StartHelpers {
public:
    StartHelpers();
    ~StartHelpers();
    StartHelpers(const StartHelpers&) = delete;
    StartHelpers& operator=(const StartHelpers&) = delete;

    // Waits for the helpers; each usually takes less time than the toolkit's
    // own start.
    void finish();

private:
    std::vector<std::thread> threads_;
};

} // namespace patchsmith::app
