#pragma once
// Messages to the user as modal boxes captioned with the application title.

#include "midi/Notifier.h"

namespace patchsmith::app {

class MessageBoxNotifier : public Notifier {
public:
    void showMessage(const std::string& text) override;
};

} // namespace patchsmith::app
