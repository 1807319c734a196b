#include "editor/LayerOperations.h"

#include "editor/MainWindow.h"

namespace patchsmith::editor {

LayerOperations::LayerOperations(TMainWindow& window) : w_(window) {}

void LayerOperations::connectControls() {}

} // namespace patchsmith::editor
