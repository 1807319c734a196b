#include "ui/LayerOperations.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "ui/DisplayRefresh.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

namespace patchsmith::editor {

LayerOperations::LayerOperations(TMainWindow& window) : w_(window) {}

void LayerOperations::connectControls() {
    QRadioButton* selectors[4] = {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4};
    QToolButton* mutes[4] = {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4};
    for (int layer = 1; layer <= 4; ++layer) {
        // A selector reacts when it becomes checked, by the user or by code
        // (the full refresh checks EditLayer1 and expects the layer shown).
        QObject::connect(selectors[layer - 1], &QRadioButton::toggled, &w_, [this, layer](bool checked) {
            if (checked) editLayerClick(layer);
        });
        // Mute buttons react to the user only: the refresh releases them
        // without touching the image.
        QObject::connect(mutes[layer - 1], &QToolButton::clicked, &w_, [this, layer] { muteLayerClick(layer); });
    }
    QObject::connect(w_.AffectAllLayers, &QCheckBox::toggled, &w_, [this] { AffectAllLayersClick(); });
    QObject::connect(w_.LayerOn, &QCheckBox::clicked, &w_, [this] { LayerOnClick(); });
    QObject::connect(w_.MenuEditCopyLayer, &QAction::triggered, &w_, [this] { MenuEditCopyLayerClick(); });
    QObject::connect(w_.MenuEditPasteLayer, &QAction::triggered, &w_, [this] { MenuEditPasteLayerClick(); });
}

void LayerOperations::editLayerClick(int layer) {
    w_.edits().setCurrentLayer(layer);
    w_.ShowLayer();
}

void LayerOperations::AffectAllLayersClick() { w_.edits().setAllLayers(w_.AffectAllLayers->isChecked()); }

void LayerOperations::muteLayerClick(int layer) {
    QToolButton* mutes[4] = {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4};
    if (layer < 1 || layer > 4) return;
    EditSession& edits = w_.edits();
    const bool muted = mutes[layer - 1]->isChecked();
    edits.setMuted(layer, muted);
    // A released layer's bar shows the volume it got back (its handler does
    // not run); while muted the bar already shows the saved volume.
    if (!muted && edits.currentLayer() == layer) {
        const Parameter& volume = params::LayerVolume;
        TMainWindow::setPosition(w_.LayerVolume, positionOf(volume, edits.mute(layer).savedVolume));
        w_.Label_LayerVolume->setText(QString::fromStdString(
            readoutText(volume, storedOf(volume, w_.LayerVolume->value()), TMainWindow::decimalPoint())));
    }
}

void LayerOperations::LayerOnClick() {
    const Parameter& on = params::LayerOn;
    w_.edits().set(on, storedOf(on, w_.LayerOn->isChecked() ? 1 : 0));
    w_.refresh->colourLayerSelectors(true);
}

void LayerOperations::MenuEditCopyLayerClick() {
    w_.edits().copyLayer();
    w_.ShowStatus(QStringLiteral("Layerdata copied..."));
    w_.MenuEditPasteLayer->setEnabled(true);
}

void LayerOperations::MenuEditPasteLayerClick() {
    EditSession& edits = w_.edits();
    edits.pasteLayer();
    w_.ShowLayer();
    w_.ShowStatus(QStringLiteral("Layerdata pasted to Layer #") + QString::number(edits.currentLayer()) +
                  QStringLiteral("..."));
}

} // namespace patchsmith::editor
