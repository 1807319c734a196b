// Operations on whole layers: the edited layer, muting, layer on/off, copy
// and paste, with the bytes they send.

#include "EditorSession.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

QColor textColour(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

// Whether the caption is drawn in blue on screen (not only set in the palette).
bool drawnBlue(QWidget* w) {
    const QImage image = w->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 180 && c.red() < 80 && c.green() < 80) return true;
        }
    return false;
}
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

Bytes param(Byte layer, Byte address, Byte value) {
    return {0xF0, 0x43, 0x10, 0x4B, 0x60, layer, address, value, 0xF7};
}

struct Layers : EditorSession {
    void SetUp() override {
        EditorSession::SetUp();
        start();
    }
};

} // namespace

TEST_F(Layers, MutingAnotherLayerSendsZeroToItAloneAndReleasingSendsTheSavedVolume) {
    model().image.setLayerData(2, 7, 90);
    const int bar = w->LayerVolume->value();
    w->MuteLayer2->click();
    ASSERT_EQ(sentBytes(), (std::vector<Bytes>{param(2, 0x07, 0x00)}));
    EXPECT_EQ(w->LayerVolume->value(), bar);
    EXPECT_TRUE(model().muteOf(2).muted);
    EXPECT_EQ(model().muteOf(2).savedVolume, 90);
    EXPECT_EQ(model().image.layerData(2, 7), 0);

    platform.sent.clear();
    w->MuteLayer2->click();
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(2, 0x07, 90)}));
    EXPECT_FALSE(model().muteOf(2).muted);
    EXPECT_EQ(model().image.layerData(2, 7), 90);
    EXPECT_EQ(w->LayerVolume->value(), bar); // layer 1 is shown
}

TEST_F(Layers, MovingTheVolumeOfAMutedLayerChangesOnlyItsSavedVolume) {
    w->MuteLayer1->click();
    platform.sent.clear();
    w->LayerVolume->setValue(27 + 10); // volume 90
    EXPECT_EQ(model().muteOf(1).savedVolume, 90);
    EXPECT_EQ(model().image.layerData(1, 7), 0);
    ASSERT_FALSE(platform.sent.empty());
    EXPECT_EQ(platform.sent.back().bytes, param(1, 0x07, 0x00));

    platform.sent.clear();
    w->MuteLayer1->click();
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(1, 0x07, 90)}));
    EXPECT_EQ(w->LayerVolume->value(), 37);
    EXPECT_EQ(w->Label_LayerVolume->text(), QStringLiteral("90"));
}

TEST_F(Layers, WithAllLayersAMuteButtonStillActsOnItsOwnLayer) {
    w->AffectAllLayers->click();
    ASSERT_TRUE(model().AffectAllLayers);
    w->MuteLayer3->click();
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(3, 0x07, 0x00)}));
    for (int layer : {1, 2, 4}) EXPECT_EQ(model().image.layerData(layer, 7), 100);
}

TEST_F(Layers, CopyOnLayerOnePasteOnLayerThree) {
    EXPECT_FALSE(w->MenuEditPasteLayer->isEnabled());
    model().image.setLayerData(1, 17, 11);
    model().image.setLayerData(1, 2, 42);
    w->MenuEditCopyLayer->trigger();
    EXPECT_EQ(status(), QStringLiteral("Layerdata copied..."));
    EXPECT_TRUE(w->MenuEditPasteLayer->isEnabled());
    EXPECT_TRUE(platform.sent.empty());

    w->EditLayer3->click();
    w->AffectAllLayers->click(); // a paste still goes to the current layer only
    w->MenuEditPasteLayer->trigger();
    for (int k = 0; k < kLayerDataBytes; ++k) EXPECT_EQ(model().image.layerData(3, k), model().image.layerData(1, k));
    EXPECT_EQ(model().image.layerData(2, 17), 64);
    EXPECT_EQ(model().image.layerData(4, 17), 64);
    ASSERT_EQ(platform.sent.size(), 1u);
    const Bytes& dump = platform.sent[0].bytes;
    ASSERT_EQ(dump.size(), 52u);
    EXPECT_EQ((Bytes(dump.begin(), dump.begin() + 9)), (Bytes{0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, 0x60, 0x03, 0x00}));
    EXPECT_EQ(dump[9 + 17], 11);
    EXPECT_EQ(dump[50], MidiLink::SysExChecksum(dump));
    EXPECT_EQ(dump[51], 0xF7);
    // The image keeps layer 3's own header.
    EXPECT_EQ(model().image.layerMessage(3)[7], 0x03);
    EXPECT_EQ(status(), QStringLiteral("Layerdata pasted to Layer #3..."));
    EXPECT_EQ(w->FilterCutoff->value(), 127 - 11);
    EXPECT_EQ(w->PatchVoiceNumber->currentRow(), 42);
}

TEST_F(Layers, PasteWithTheOutputClosedKeepsTheHeaderOfTheTargetLayer) {
    w->MenuEditCopyLayer->trigger();
    ctx().devices.CloseMidiOut();
    w->EditLayer4->click();
    w->MenuEditPasteLayer->trigger();
    EXPECT_TRUE(platform.sent.empty());
    const auto m = model().image.layerMessage(4);
    EXPECT_EQ(m[6], 0x60);
    EXPECT_EQ(m[7], 0x04);
    EXPECT_EQ(m[8], 0x00);
}

TEST_F(Layers, PastingOntoAMutedLayerSendsTheCopiedVolumeAndKeepsTheMute) {
    model().image.setLayerData(1, 7, 80);
    w->MenuEditCopyLayer->trigger();
    w->EditLayer2->click();
    w->MuteLayer2->click();
    platform.sent.clear();
    w->MenuEditPasteLayer->trigger();
    EXPECT_EQ(model().image.layerData(2, 7), 80);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].bytes[9 + 7], 80);
    EXPECT_TRUE(w->MuteLayer2->isChecked());
    EXPECT_TRUE(model().muteOf(2).muted);
    EXPECT_EQ(model().muteOf(2).savedVolume, 100);
}

TEST_F(Layers, SwitchingTheEditedLayerSendsNothingAndLeavesTheImage) {
    w->AffectAllLayers->click();
    const auto before = std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end());
    for (QRadioButton* b : {w->EditLayer2, w->EditLayer3, w->EditLayer4, w->EditLayer1}) b->click();
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end()), before);
}

TEST_F(Layers, LayerOnWritesTheLayerAndRecoloursTheSelectors) {
    w->EditLayer2->click();
    w->LayerOn->click(); // off
    EXPECT_EQ(model().image.layerData(2, 22), 0);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(2, 0x16, 0x00)}));
    EXPECT_EQ(textColour(w->EditLayer2), kBlack);
    for (QRadioButton* b : {w->EditLayer1, w->EditLayer3, w->EditLayer4}) EXPECT_EQ(textColour(b), kBlue);
    EXPECT_FALSE(drawnBlue(w->EditLayer2));
    EXPECT_TRUE(drawnBlue(w->EditLayer3));

    // With all layers: written to all four and sent to 1, 2, 3, 4.
    platform.sent.clear();
    w->AffectAllLayers->click();
    w->LayerOn->click(); // on
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(model().image.layerData(layer, 22), 1);
    EXPECT_EQ(sentBytes(),
              (std::vector<Bytes>{param(1, 0x16, 1), param(2, 0x16, 1), param(3, 0x16, 1), param(4, 0x16, 1)}));
    for (QRadioButton* b : {w->EditLayer1, w->EditLayer2, w->EditLayer3, w->EditLayer4})
        EXPECT_EQ(textColour(b), kBlue);

    // A full refresh starts from black and colours the layers that are on.
    model().image.setLayerData(4, 22, 0);
    w->ShowPerformance();
    EXPECT_EQ(textColour(w->EditLayer4), kBlack);
    EXPECT_EQ(textColour(w->EditLayer3), kBlue);
}

TEST_F(Layers, TheClipboardAndPasteSurviveAFullRefresh) {
    model().image.setLayerData(1, 18, 5);
    w->MenuEditCopyLayer->trigger();
    model().image.fillDefaults();
    w->ShowPerformance();
    EXPECT_TRUE(w->MenuEditPasteLayer->isEnabled());
    w->MenuEditPasteLayer->trigger();
    EXPECT_EQ(model().image.layerData(1, 18), 5);
}
