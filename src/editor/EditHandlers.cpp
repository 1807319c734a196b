#include "editor/EditHandlers.h"

#include "editor/MainWindow.h"

namespace patchsmith::editor {

EditHandlers::EditHandlers(TMainWindow& window) : w_(window) {}

void EditHandlers::connectControls() {}

void EditHandlers::HandleSynthKnob(int, int) {}

} // namespace patchsmith::editor
