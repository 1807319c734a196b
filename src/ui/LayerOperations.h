#pragma once
// Operations on whole layers: the edited layer, editing all four at once,
// muting, layer on/off, copy and paste of a layer.

namespace patchsmith::editor {

class TMainWindow;

class LayerOperations {
public:
    explicit LayerOperations(TMainWindow& window);
    void connectControls();

    // The edited layer becomes `layer` (1..4) and the layer controls show it.
    void editLayerClick(int layer);
    void AffectAllLayersClick();
    // Mutes layer 1..4 while its button is down, restores it when released;
    // always to that layer alone.
    void muteLayerClick(int layer);
    void LayerOnClick();
    void MenuEditCopyLayerClick();
    void MenuEditPasteLayerClick();

private:
    TMainWindow& w_;
};

} // namespace patchsmith::editor
