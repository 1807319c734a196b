#pragma once
// How the MIDI link tells the user something: a modal box with the
// application title and one OK button. The window supplies the real one;
// tests read the texts.

#include <string>

namespace patchsmith {

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace patchsmith
