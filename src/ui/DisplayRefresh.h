#pragma once
// The display refresh: the image into the controls, sending nothing and
// leaving the image as it is.

#include "model/Bytes.h"

#include <QColor>
#include <QString>

class QListWidget;

namespace patchsmith::editor {

class TMainWindow;

class DisplayRefresh {
public:
    explicit DisplayRefresh(TMainWindow& window);

    // The whole image, and the editing state reset: layer 1 edited, no layer
    // muted, "edit all layers" off, the performance unmodified.
    void ShowPerformance();
    // Layer CurrentLayer into the layer controls, the bank and voice lists
    // and Label_PerfName.
    void ShowLayer();

    // Fills PatchVoiceNumber with the names of a bank (0..57) in one step,
    // without running its click handling.
    static void FillVoiceList(QListWidget* list, int bank);
    // Recolours EditLayer1..4 from the layer-on bytes: blue for a layer that
    // is on; with `blackWhenOff` the others become black, else they keep
    // their colour.
    void ColourLayerSelectors(bool blackWhenOff);
    // "Program <row or --->, Bank MSB 63, LSB 65".
    QString PerfNameText() const;

    static const QColor& layerOnColour();
    static const QColor& layerOffColour();

private:
    void showCommonControls();
    void showFurtherCommonControls();
    void showEffectTypes();
    void showLayerTrackBars(int layer);

    TMainWindow& w_;
};

} // namespace patchsmith::editor
