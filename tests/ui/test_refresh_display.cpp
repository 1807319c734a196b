// The display refresh: every control shows its image byte, nothing is sent,
// the image stays byte for byte as it was, also through the nested refreshes
// of the layer selectors and the assign-knob tabs and with any byte values.

#include "EditorSession.h"

#include "model/catalog/VoiceCatalog.h"
#include "ui/EditHandlers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include <array>
#include <random>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

using Image = std::array<Byte, PerformanceImage::kTotalBytes>;

Image snapshot(const Model& m) {
    Image i{};
    std::copy(m.image.bytes().begin(), m.image.bytes().end(), i.begin());
    return i;
}

QColor textColour(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

struct Refresh : EditorSession {
    void SetUp() override {
        EditorSession::SetUp();
        start();
    }
    void fillData(const std::function<Byte()>& next) {
        for (int b = 0; b < kBlockCount; ++b)
            for (int k = 0; k < dataLength(static_cast<Block>(b)); ++k)
                model().image.setData(static_cast<Block>(b), k, next());
    }
    // Refreshes and checks the promise of every refresh.
    void showAndCheckQuiet() {
        const Image before = snapshot(model());
        w->ShowPerformance();
        EXPECT_EQ(snapshot(model()), before);
        EXPECT_TRUE(platform.sent.empty());
        EXPECT_TRUE(model().SendEnabled);
        EXPECT_FALSE(model().PerfModified);
    }
};

} // namespace

using StartUp = EditorSession;

TEST_F(StartUp, TheWindowShowsInitPerfAndNothingButTheIdentityRequestIsSent) {
    start(false);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].bytes, (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}));

    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("InitPerf"));
    EXPECT_TRUE(w->EditLayer1->isChecked());
    for (QRadioButton* b : {w->EditLayer1, w->EditLayer2, w->EditLayer3, w->EditLayer4})
        EXPECT_EQ(textColour(b), kBlue) << b->objectName().toStdString();
    ASSERT_EQ(w->PatchVoiceNumber->count(), 128);
    EXPECT_EQ(w->PatchVoiceNumber->item(0)->text(), QStringLiteral("001 GrandPno"));
    EXPECT_EQ(w->PatchVoiceNumber->item(127)->text(), QStringLiteral("128 Gunshot"));
    EXPECT_EQ(w->PatchVoiceNumber->currentRow(), 0);
    EXPECT_EQ(w->PatchBankNumber->currentIndex(), 0);
    EXPECT_EQ(w->Label_PerfName->text(), QStringLiteral("Program ---, Bank MSB 63, LSB 65"));
    EXPECT_EQ(model().CurrentLayer, 1);
    EXPECT_TRUE(model().SendEnabled);
    EXPECT_FALSE(model().PerfModified);
    // A few InitPerf values in their controls.
    EXPECT_EQ(w->CommonVolume->value(), 27);
    EXPECT_EQ(w->Label_CommonVolume->text(), QStringLiteral("100"));
    EXPECT_EQ(w->LayerVolume->value(), 27);
    EXPECT_EQ(w->ArpTempo->value(), 140);
    EXPECT_EQ(w->Label_ArpTempo->text(), QStringLiteral("140"));
    EXPECT_EQ(w->ReverbType->currentItem()->text(), QStringLiteral("Hall 1"));
    EXPECT_EQ(w->ChorusType->currentItem()->text(), QStringLiteral("Chorus 1"));
    EXPECT_EQ(w->VariType->currentItem()->text(), QStringLiteral("Delay L-C-R"));
    EXPECT_TRUE(w->LayerOn->isChecked());
    EXPECT_TRUE(w->PlayPoly->isChecked());
    EXPECT_TRUE(w->LFOWaveElement->isChecked());
    EXPECT_TRUE(w->LFOSyncElement->isChecked());
}

TEST_F(Refresh, EveryByteValueLeavesTheImageAsItWasAndSendsNothing) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> sevenBit(0, 127);
    const std::vector<std::function<Byte()>> fillers{
        [] { return Byte{0x7F}; },
        [] { return Byte{0x00}; },
        [&] { return static_cast<Byte>(sevenBit(random)); },
        [&] { return static_cast<Byte>(sevenBit(random)); },
        [&] { return static_cast<Byte>(sevenBit(random)); },
    };
    for (std::size_t f = 0; f < fillers.size(); ++f) {
        SCOPED_TRACE("filling " + std::to_string(f));
        fillData(fillers[f]);
        // An editing state the refresh must reset.
        w->EditLayer3->click();
        w->AffectAllLayers->click();
        w->MuteLayer2->click();
        platform.sent.clear();
        ASSERT_TRUE(model().AffectAllLayers);

        showAndCheckQuiet();
        EXPECT_EQ(model().CurrentLayer, 1);
        EXPECT_TRUE(w->EditLayer1->isChecked());
        EXPECT_FALSE(model().AffectAllLayers);
        EXPECT_FALSE(w->AffectAllLayers->isChecked());
        EXPECT_FALSE(w->MuteLayer2->isChecked());
        for (const LayerMute& m : model().LayerMuteTable) {
            EXPECT_EQ(m.savedVolume, 127);
            EXPECT_FALSE(m.muted);
        }

        // Layer switches and the assign-knob tabs refresh too, quietly, with
        // every layer edited at once.
        w->AffectAllLayers->click();
        const Image before = snapshot(model());
        for (QRadioButton* b : {w->EditLayer2, w->EditLayer3, w->EditLayer4, w->EditLayer1}) b->click();
        for (int tab : {1, 2, 3, 0}) w->Assign2Tab->setCurrentIndex(tab);
        EXPECT_EQ(snapshot(model()), before);
        EXPECT_TRUE(platform.sent.empty());
        EXPECT_TRUE(model().SendEnabled);
        w->AffectAllLayers->click();
    }
}

TEST_F(Refresh, ShowingALayerShowsThatLayersBytes) {
    model().image.setLayerData(3, 17, 100); // cutoff
    model().image.setLayerData(3, 19, 0);   // attack time below the bar's range
    model().image.setLayerData(3, 31, 1);   // triangle
    model().image.setLayerData(3, 16, 9);   // sync: no such value
    model().image.setLayerData(3, 27, 0);   // velocity low
    model().image.setLayerData(3, 11, 36);
    model().image.setLayerData(3, 12, 20);
    w->EditLayer3->click();
    EXPECT_EQ(model().CurrentLayer, 3);
    EXPECT_EQ(w->FilterCutoff->value(), 27);
    EXPECT_EQ(w->Label_FilterCutoff->text(), QStringLiteral("36"));
    // Clamped by the bar; the read-out tells the stored value.
    EXPECT_EQ(w->AEGAtkTime->value(), 127);
    EXPECT_EQ(w->Label_AEGAtkTime->text(), QStringLiteral("-64"));
    EXPECT_TRUE(w->LFOWaveTriangle->isChecked());
    EXPECT_TRUE(w->LFOSyncElement->isChecked());
    EXPECT_EQ(w->VelocityLimitLow->value(), 126);
    EXPECT_EQ(w->Label_VelocityLimitLow->text(), QStringLiteral("0"));
    EXPECT_EQ(w->Label_NoteLimitLow->text(), QStringLiteral("C1"));
    EXPECT_EQ(w->Label_NoteLimitHigh->text(), QStringLiteral("G#-1"));
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().image.layerData(3, 19), 0);
}

TEST_F(Refresh, ArpeggioTempoCodes) {
    model().image.setData(Block::Common, 41, 0);
    model().image.setData(Block::Common, 42, 0);
    showAndCheckQuiet();
    EXPECT_TRUE(w->ArpTempoMidi->isChecked());
    EXPECT_EQ(w->Label_ArpTempo->text(), QStringLiteral("140"));
    EXPECT_EQ(w->ArpTempo->value(), 140);

    model().image.setData(Block::Common, 41, 1);
    model().image.setData(Block::Common, 42, 73);
    showAndCheckQuiet();
    EXPECT_FALSE(w->ArpTempoMidi->isChecked());
    EXPECT_EQ(w->Label_ArpTempo->text(), QStringLiteral("240"));
    EXPECT_EQ(w->ArpTempo->value(), 40);
    EXPECT_EQ(model().image.data(Block::Common, 41), 1);
    EXPECT_EQ(model().image.data(Block::Common, 42), 73);
}

TEST_F(Refresh, ArpeggioModeBits) {
    struct Case {
        Byte mode;
        bool on, hold, split;
    };
    for (const Case c : {Case{0, false, false, true}, Case{1, true, false, true}, Case{2, false, true, true},
                         Case{3, true, false, true}, Case{4, false, false, false}, Case{6, false, true, false},
                         Case{5, true, false, false}}) {
        model().image.setData(Block::Common, 45, c.mode);
        showAndCheckQuiet();
        EXPECT_EQ(w->ArpModeOn->isChecked(), c.on) << int(c.mode);
        EXPECT_EQ(w->ArpModeHold->isChecked(), c.hold) << int(c.mode);
        EXPECT_EQ(w->ArpModeSplit->isChecked(), c.split) << int(c.mode);
    }
}

TEST_F(Refresh, PanShiftAndDetuneReadOuts) {
    const QString point(QChar::fromLatin1(editor::TMainWindow::decimalPoint()));
    model().image.setLayerData(1, 10, 0);
    model().image.setLayerData(1, 4, 64);
    model().image.setLayerData(1, 5, 8);
    model().image.setLayerData(1, 6, 0);
    showAndCheckQuiet();
    EXPECT_EQ(w->PanPot->value(), 64);
    EXPECT_EQ(w->Label_PanPot->text(), QStringLiteral("CTR"));
    EXPECT_TRUE(w->RandomPan->isChecked());
    EXPECT_EQ(w->Label_NoteShift->text(), QString::fromUtf8("\u00B10"));
    EXPECT_EQ(w->Label_NoteDetune->text(), QString::fromUtf8("\u00B10 Hz"));

    model().image.setLayerData(1, 10, 1);
    model().image.setLayerData(1, 4, 70);
    model().image.setLayerData(1, 5, 8);
    model().image.setLayerData(1, 6, 15); // code 143
    showAndCheckQuiet();
    EXPECT_FALSE(w->RandomPan->isChecked());
    EXPECT_EQ(w->Label_PanPot->text(), QStringLiteral("L-63"));
    EXPECT_EQ(w->NoteShift->value(), -6);
    EXPECT_EQ(w->Label_NoteShift->text(), QStringLiteral("+6"));
    EXPECT_EQ(w->NoteDetune->value(), -15);
    EXPECT_EQ(w->Label_NoteDetune->text(), QStringLiteral("+1") + point + QStringLiteral("5 Hz"));

    model().image.setLayerData(1, 4, 58);
    showAndCheckQuiet();
    EXPECT_EQ(w->Label_NoteShift->text(), QStringLiteral("-6"));
}

TEST_F(Refresh, AMutedLayerShowsItsSavedVolume) {
    w->EditLayer2->click();
    w->MuteLayer2->click(); // image volume 0, 100 saved
    ASSERT_EQ(model().image.layerData(2, 7), 0);
    w->EditLayer1->click();
    w->EditLayer2->click();
    EXPECT_EQ(w->LayerVolume->value(), 27);
    EXPECT_EQ(w->Label_LayerVolume->text(), QStringLiteral("100"));
}

TEST_F(Refresh, BankPairsAndTheDrumKitFallback) {
    model().image.setLayerData(1, 0, 63);
    model().image.setLayerData(1, 1, 12);
    model().image.setLayerData(1, 2, 5);
    showAndCheckQuiet();
    EXPECT_EQ(w->PatchBankNumber->currentText(), QStringLiteral("PRE 12 (Drum Kits)"));
    EXPECT_EQ(w->PatchVoiceNumber->item(0)->text(), QStringLiteral("001 TechKt A"));
    EXPECT_EQ(w->PatchVoiceNumber->currentRow(), 5);

    // First a listed bank, then an unlisted pair: the drum kits, box unchanged.
    model().image.setLayerData(1, 0, 0);
    model().image.setLayerData(1, 1, 1);
    showAndCheckQuiet();
    EXPECT_EQ(w->PatchBankNumber->currentText(), QStringLiteral("XG 001 (KSP)"));
    model().image.setLayerData(1, 0, 127);
    model().image.setLayerData(1, 1, 0);
    showAndCheckQuiet();
    EXPECT_EQ(w->PatchBankNumber->currentText(), QStringLiteral("XG 001 (KSP)"));
    EXPECT_EQ(w->PatchVoiceNumber->item(0)->text(), QStringLiteral("001 TechKt A"));
    EXPECT_EQ(w->PatchVoiceNumber->item(6)->text(), QStringLiteral("007 --"));
    EXPECT_EQ(w->PatchVoiceNumber->count(), 128);
}

TEST_F(Refresh, ValuesPastAListLeaveItWithoutSelectionAndUnknownEffectPairsLeaveTheirList) {
    model().image.setData(Block::Common, 8, 30);   // category past the 23 entries
    model().image.setData(Block::Common, 43, 99);  // arpeggio type past the 30 entries
    model().image.setData(Block::Effect, 0, 0x7F); // reverb pair in no table entry
    model().image.setData(Block::Effect, 4, 0x7F); // variation pair likewise
    showAndCheckQuiet();
    EXPECT_EQ(w->PerformanceType->currentIndex(), -1);
    EXPECT_EQ(w->ArpeggioType->currentRow(), -1);
    EXPECT_EQ(w->ReverbType->currentItem()->text(), QStringLiteral("Hall 1"));
    EXPECT_EQ(w->VariType->currentItem()->text(), QStringLiteral("Delay L-C-R"));
}

TEST_F(Refresh, TheNameIsShownAsStoredWithItsBlanks) {
    const std::string name = "Pad  1  ";
    for (int k = 0; k < 8; ++k) model().image.setData(Block::Common, k, static_cast<Byte>(name[k]));
    showAndCheckQuiet();
    EXPECT_EQ(w->PerformanceName->text(), QString::fromStdString(name));
}

TEST_F(Refresh, SendLevelsAreShownFromTheImage) {
    model().image.setData(Block::Effect, 20, 10);
    model().image.setData(Block::Effect, 21, 0);
    model().image.setData(Block::Effect, 22, 127);
    showAndCheckQuiet();
    EXPECT_EQ(w->ChorusToReverb->value(), 117);
    EXPECT_EQ(w->Label_ChorusToReverb->text(), QStringLiteral("10"));
    EXPECT_EQ(w->VariOnRev->value(), 127);
    EXPECT_EQ(w->Label_VariOnRev->text(), QStringLiteral("0"));
    EXPECT_EQ(w->VariOnCho->value(), 0);
    EXPECT_EQ(w->Label_VariOnCho->text(), QStringLiteral("127"));
}

TEST_F(Refresh, LabelPerfNameNamesTheSelectedUserPerformance) {
    {
        const QSignalBlocker quiet(w->UserPerf);
        w->UserPerf->setCurrentRow(4);
    }
    w->ShowLayer();
    EXPECT_EQ(w->Label_PerfName->text(), QStringLiteral("Program 4, Bank MSB 63, LSB 65"));
}
