#pragma once
// A Notifier that keeps every message instead of showing a message box.

#include "midi/Notifier.h"

#include <string>
#include <vector>

namespace patchsmith::test {

class RecordingNotifier : public Notifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

} // namespace patchsmith::test
