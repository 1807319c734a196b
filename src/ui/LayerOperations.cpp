#include "ui/LayerOperations.h"

#include "ui/DisplayRefresh.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

namespace patchsmith::editor {

LayerOperations::LayerOperations(TMainWindow& window) : w_(window) {}

void LayerOperations::connectControls() {
    QRadioButton* selectors[4] = {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4};
    QToolButton* mutes[4] = {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4};
    for (int layer = 1; layer <= 4; ++layer) {
        // A selector reacts when it becomes checked, by the user or by code
        // (the full refresh checks EditLayer1 and expects the layer shown).
        QObject::connect(selectors[layer - 1], &QRadioButton::toggled, &w_, [this, layer](bool checked) {
            if (checked) EditLayerClick(layer);
        });
        // Mute buttons react to the user only: the refresh releases them
        // without touching the image.
        QObject::connect(mutes[layer - 1], &QToolButton::clicked, &w_, [this, layer] { MuteLayerClick(layer); });
    }
    QObject::connect(w_.AffectAllLayers, &QCheckBox::toggled, &w_, [this] { AffectAllLayersClick(); });
    QObject::connect(w_.LayerOn, &QCheckBox::clicked, &w_, [this] { LayerOnClick(); });
    QObject::connect(w_.MenuEditCopyLayer, &QAction::triggered, &w_, [this] { MenuEditCopyLayerClick(); });
    QObject::connect(w_.MenuEditPasteLayer, &QAction::triggered, &w_, [this] { MenuEditPasteLayerClick(); });
}

void LayerOperations::EditLayerClick(int layer) {
    w_.app().model.CurrentLayer = std::clamp(layer, 1, 4);
    w_.ShowLayer();
}

void LayerOperations::AffectAllLayersClick() { w_.app().model.AffectAllLayers = w_.AffectAllLayers->isChecked(); }

void LayerOperations::MuteLayerClick(int layer) {
    QToolButton* mutes[4] = {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4};
    Model& model = w_.app().model;
    LayerMute& mute = model.muteOf(layer);
    mute.muted = mutes[layer - 1]->isChecked();
    if (mute.muted) {
        mute.savedVolume = model.image.layerData(layer, 7);
        model.image.setLayerData(layer, 7, 0);
    } else {
        model.image.setLayerData(layer, 7, mute.savedVolume);
        if (model.CurrentLayer == layer) {
            TMainWindow::SetPosition(w_.LayerVolume, 127 - mute.savedVolume);
            w_.Label_LayerVolume->setText(QString::number(127 - w_.LayerVolume->value()));
        }
    }
    // To this layer alone, whatever "edit all layers" says.
    w_.app().link.SendParamChange(0x60, static_cast<Byte>(layer), 0x07, model.image.layerData(layer, 7));
}

void LayerOperations::LayerOnClick() {
    Model& model = w_.app().model;
    model.writeLayerByte(22, w_.LayerOn->isChecked() ? 1 : 0);
    w_.Refresh->ColourLayerSelectors(true);
    w_.app().link.SendLayerParam(0x60, 0x16, model.image.layerData(model.CurrentLayer, 22));
}

void LayerOperations::MenuEditCopyLayerClick() {
    Model& model = w_.app().model;
    const auto layer = model.image.layerMessage(model.CurrentLayer);
    std::copy(layer.begin(), layer.end(), model.LayerClipboard.begin());
    w_.ShowStatus(QStringLiteral("Layerdata copied..."));
    w_.MenuEditPasteLayer->setEnabled(true);
}

void LayerOperations::MenuEditPasteLayerClick() {
    Model& model = w_.app().model;
    const auto layer = model.image.layerMessage(model.CurrentLayer);
    std::copy(model.LayerClipboard.begin(), model.LayerClipboard.end(), layer.begin());
    // The copied header names the layer it came from: the block gets its own
    // header back, also when nothing can be sent (the sender would rewrite
    // it, but only while the output is open).
    writeCurrentHeader(layer, layerBlock(model.CurrentLayer));
    w_.app().link.SendLayerDumps(false);
    w_.ShowLayer();
    w_.ShowStatus(QStringLiteral("Layerdata pasted to Layer #") + QString::number(model.CurrentLayer) +
                  QStringLiteral("..."));
}

} // namespace patchsmith::editor
