#include "editor/DisplayRefresh.h"

#include "editor/MainWindow.h"

namespace patchsmith::editor {

DisplayRefresh::DisplayRefresh(TMainWindow& window) : w_(window) {}

void DisplayRefresh::ShowPerformance() {}

void DisplayRefresh::ShowLayer() {}

} // namespace patchsmith::editor
