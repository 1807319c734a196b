#pragma once
// Operations on whole layers: the edited layer, editing all four at once,
// muting, layer on/off, copy and paste of a layer.

namespace patchsmith::editor {

class TMainWindow;

class LayerOperations {
public:
    explicit LayerOperations(TMainWindow& window);
    void connectControls();

private:
    TMainWindow& w_;
};

} // namespace patchsmith::editor
