// The File, Bulk-Dump and About commands of the main window.

#include "editor/MainWindow.h"

namespace patchsmith::editor {

void TMainWindow::connectMenuCommands() {}

} // namespace patchsmith::editor
