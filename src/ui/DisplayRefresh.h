#pragma once
// The display refresh: the image into the controls, sending nothing and
// leaving the image as it is. One loop over the parameter table sets every
// control; the editing interface stays quiet meanwhile, so the handlers the
// controls raise neither write nor send.

#include "model/Bytes.h"

#include <QColor>
#include <QString>

class QListWidget;

namespace patchsmith::editor {

class TMainWindow;
struct ParameterControls;

class DisplayRefresh {
public:
    explicit DisplayRefresh(TMainWindow& window);

    // The whole image, and the editing state reset: layer 1 edited, no layer
    // muted, "edit all layers" off, the performance unmodified.
    void ShowPerformance();
    // Layer CurrentLayer into the layer controls, the bank and voice lists
    // and Label_PerfName.
    void ShowLayer();
    // The whole image, keeping the editing state (edited layer, "edit all
    // layers", muted layers): after undo, redo and compare.
    void showImage();
    // At start-up, before all pages are built: the image on the controls
    // that are, as ShowPerformance would show it on them.
    void showBuiltControls();
    // One parameter of the image (layer parameters: of the edited layer)
    // into its controls. Values outside a control's range are shown clamped
    // by the control; the read-out shows the value itself.
    void showParameter(const ParameterControls& controls);

    // Fills PatchVoiceNumber with the names of a bank (0..57) in one step,
    // without running its click handling.
    static void fillVoiceList(QListWidget* list, int bank);
    // Recolours EditLayer1..4 from the layer-on bytes: blue for a layer that
    // is on; with `blackWhenOff` the others become black, else they keep
    // their colour.
    void colourLayerSelectors(bool blackWhenOff);
    // "Program <row or --->, Bank MSB 63, LSB 65".
    QString perfNameText() const;

    static const QColor& layerOnColour();
    static const QColor& layerOffColour();

private:
    // Every parameter of the common blocks, or of the edited layer, except
    // the assign-knob-2 ones (shown by tab, Assign2TabChange).
    void showParameters(bool layer);

    TMainWindow& w_;
};

} // namespace patchsmith::editor
