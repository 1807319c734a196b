#include "editor/VoiceSelection.h"

#include "editor/MainWindow.h"

namespace patchsmith::editor {

VoiceSelection::VoiceSelection(TMainWindow& window) : w_(window) {}

void VoiceSelection::connectControls() {}

} // namespace patchsmith::editor
