// Undo, redo and compare in the whole editor, with a virtual CS1x behind the
// scripted MIDI output: every message the editor sends reaches the synth
// model (which keeps its own layouts and checks checksums), so after each
// undo and redo the synth's edit buffer must hold exactly the image.

#include "EditorSession.h"

#include "synth/VirtualCs1x.h"
#include "ui/DialogKit.h"
#include "ui/DisplayRefresh.h"
#include "ui/RandomizeWindow.h"
#include "ui/TestNote.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <functional>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

// While alive, a modal window is shown and handed to `act` instead of
// running its own event loop.
struct ModalScript {
    explicit ModalScript(std::function<void(QDialog&)> act) {
        dialogs::setModalRunner([act = std::move(act)](QDialog& dialog) {
            dialog.show();
            act(dialog);
            dialog.hide();
            return dialog.result();
        });
    }
    ~ModalScript() { dialogs::setModalRunner({}); }
};

Bytes param(Byte mid, Byte low, Byte data) { return {0xF0, 0x43, 0x10, 0x4B, 0x60, mid, low, data, 0xF7}; }

// A bulk dump as the CS1x takes it, checksum computed here.
Bytes dumpOf(std::span<const Byte> stored) {
    Bytes m(stored.begin(), stored.end());
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < m.size(); ++i) sum += m[i];
    m[m.size() - 2] = static_cast<Byte>((128 - sum % 128) % 128);
    return m;
}

struct History : EditorSession {
    synth::VirtualCs1x synth;
    std::size_t fed = 0;

    void SetUp() override {
        EditorSession::SetUp();
        start();
        // The synth starts from what the editor shows.
        for (int kind = 5; kind <= 11; ++kind) link().SendBulkBlock(kind);
        pump();
        ASSERT_TRUE(synthHoldsImage());
        mark();
    }

    // Every message sent so far into the synth; its answers come back in.
    void pump() {
        while (fed < platform.sent.size()) {
            const Bytes message = platform.sent[fed++].bytes;
            for (const auto& answer : synth.receive(message)) injectSysEx(answer);
        }
    }
    std::size_t from = 0;
    void mark() { from = platform.sent.size(); }
    std::vector<Bytes> sinceMark() const {
        std::vector<Bytes> out;
        for (std::size_t i = from; i < platform.sent.size(); ++i) out.push_back(platform.sent[i].bytes);
        return out;
    }

    ::testing::AssertionResult synthHoldsImage() {
        const synth::PerformanceData& d = synth.editBuffer();
        const PerformanceImage& image = model().image;
        auto same = [&](auto& data, Block b) {
            for (std::size_t k = 0; k < data.size(); ++k)
                if (data[k] != image.data(b, static_cast<int>(k)))
                    return ::testing::AssertionFailure()
                           << "block " << static_cast<int>(b) << " byte " << k << ": synth " << int(data[k])
                           << ", image " << int(image.data(b, static_cast<int>(k)));
            return ::testing::AssertionSuccess();
        };
        if (auto r = same(d.common, Block::Common); !r) return r;
        if (auto r = same(d.effect, Block::Effect); !r) return r;
        if (auto r = same(d.controller, Block::Controller); !r) return r;
        for (int layer = 1; layer <= 4; ++layer)
            if (auto r = same(d.layers[static_cast<std::size_t>(layer - 1)], layerBlock(layer)); !r) return r;
        if (synth.ignoredCount() != 0) return ::testing::AssertionFailure() << "the synth refused a message";
        return ::testing::AssertionSuccess();
    }

    // A drag as the mouse makes it: pressed, moved through positions, released.
    static void drag(QSlider* bar, std::initializer_list<int> positions) {
        bar->setSliderDown(true);
        for (int p : positions) bar->setValue(p);
        bar->setSliderDown(false);
    }

    struct Trip {
        std::vector<Bytes> undo, redo;
    };
    // The edit is one step; undo brings back the image byte for byte and the
    // synth with it; redo brings back the edit.
    Trip roundTrip(const std::function<void()>& edit, const std::function<void()>& shownAfterUndo = {}) {
        Trip trip;
        const PerformanceImage before = model().image;
        const std::size_t steps = ctx().edits.undoSteps();
        edit();
        pump();
        EXPECT_EQ(ctx().edits.undoSteps(), steps + 1) << "one step";
        EXPECT_TRUE(w->MenuEditUndo->isEnabled());
        const PerformanceImage after = model().image;
        EXPECT_NE(after, before);
        mark();
        w->MenuEditUndo->trigger();
        pump();
        trip.undo = sinceMark();
        EXPECT_EQ(model().image, before);
        EXPECT_TRUE(synthHoldsImage());
        if (shownAfterUndo) shownAfterUndo();
        EXPECT_TRUE(w->MenuEditRedo->isEnabled());
        mark();
        w->MenuEditRedo->trigger();
        pump();
        trip.redo = sinceMark();
        EXPECT_EQ(model().image, after);
        EXPECT_TRUE(synthHoldsImage());
        mark();
        return trip;
    }
};

} // namespace

TEST_F(History, BarsChecksChoicesAndListsUndoWithTheirOwnMessages) {
    // A drag is one step, and undo sends the value it started from.
    Trip t = roundTrip(
        [&] {
            drag(w->AEGAtkTime, {40, 30, 20, 10});
        },
        [&] { EXPECT_EQ(w->Label_AEGAtkTime->text(), QStringLiteral("0")); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x13, 64)}));
    EXPECT_EQ(t.redo, (std::vector<Bytes>{param(1, 0x13, 118)}));
    EXPECT_EQ(w->AEGAtkTime->value(), 10);

    // With all layers edited: layers 1, 2, 3, 4 in this order, also on undo.
    w->AffectAllLayers->click();
    t = roundTrip([&] { drag(w->FilterCutoff, {100, 90}); });
    EXPECT_EQ(t.undo,
              (std::vector<Bytes>{param(1, 0x11, 64), param(2, 0x11, 64), param(3, 0x11, 64), param(4, 0x11, 64)}));
    w->AffectAllLayers->click();

    t = roundTrip([&] { w->PortaOn->click(); }, [&] { EXPECT_FALSE(w->PortaOn->isChecked()); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(0, 0x57, 0)}));
    t = roundTrip([&] { w->LFOWaveSaw->click(); }, [&] { EXPECT_TRUE(w->LFOWaveElement->isChecked()); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x1F, 3)}));
    const Byte arpeggio = model().image.data(Block::Common, 43);
    t = roundTrip([&] { clickRow(w->ArpeggioType, arpeggio == 7 ? 8 : 7); },
                  [&] { EXPECT_EQ(w->ArpeggioType->currentRow(), arpeggio); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(0, 0x2B, arpeggio)}));
    t = roundTrip([&] { w->PerformanceType->setCurrentIndex(5); },
                  [&] { EXPECT_EQ(w->PerformanceType->currentIndex(), 0); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(0, 0x08, 0)}));
    const Byte mode = model().image.data(Block::Common, 45);
    t = roundTrip([&] { w->ArpModeOn->click(); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(0, 0x2D, mode)}));
    t = roundTrip([&] { drag(w->ArpTempo, {60, 50}); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x29, 0, 101, 0xF7}}));
    t = roundTrip([&] { w->LayerOn->click(); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x16, 1)}));
    // Detune goes as the layer dump, random pan and the assign knob as their own changes.
    const PerformanceImage beforeDetune = model().image;
    t = roundTrip([&] { drag(w->NoteDetune, {-20, -30}); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(beforeDetune.message(Block::Layer1))}));
    t = roundTrip([&] { w->RandomPan->click(); }, [&] { EXPECT_FALSE(w->RandomPan->isChecked()); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x0A, 64)}));
    w->Assign2Tab->setCurrentIndex(2);
    t = roundTrip([&] { drag(w->Assign2Level, {40}); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(0, 0x26, 64)}));
    t = roundTrip([&] { drag(w->VPara1, {w->VPara1->minimum()}); });
    ASSERT_EQ(t.undo.size(), 1u);
    EXPECT_EQ(t.undo[0].size(), 10u); // a two-byte change at 60 00 36
    EXPECT_EQ(t.undo[0][6], 0x36);
}

TEST_F(History, DumpsNameEffectTypeBankVoicePasteAndDefaults) {
    const PerformanceImage start = model().image;
    // The keystrokes of one visit to the name box are one step, sent back as
    // the common block.
    Trip t = roundTrip([&] {
        w->PerformanceName->selectAll();
        QTest::keyClicks(w->PerformanceName, "Ab");
        emit w->PerformanceName->editingFinished();
    });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(start.message(Block::Common))}));
    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("Ab      "));

    // A variation type and the defaults it brought: the effect block.
    t = roundTrip([&] { clickRow(w->VariType, 1); }, [&] { EXPECT_EQ(w->VariType->currentRow(), 9); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(start.message(Block::Effect))}));

    t = roundTrip([&] {
        w->PatchBankNumber->setCurrentIndex(1);
        emit w->PatchBankNumber->activated(1);
    });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(start.message(Block::Layer1))}));
    t = roundTrip([&] { clickRow(w->PatchVoiceNumber, 5); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x02, 0)}));

    drag(w->VelocityLimitLow, {100});
    const PerformanceImage moved = model().image;
    t = roundTrip([&] { w->VelocityDefaults->click(); }, [&] { EXPECT_EQ(w->VelocityLimitLow->value(), 100); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(moved.message(Block::Layer1))}));

    // A paste onto layer 3: its dump, and its header and checksum byte back.
    drag(w->FilterCutoff, {5});
    w->MenuEditCopyLayer->trigger();
    w->EditLayer3->click();
    const PerformanceImage beforePaste = model().image;
    t = roundTrip([&] { w->MenuEditPasteLayer->trigger(); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{dumpOf(beforePaste.message(Block::Layer3))}));
    EXPECT_EQ(model().CurrentLayer, 3) << "undo keeps the edited layer";
}

TEST_F(History, NoteLimitPushUndoesInReverseAndKnobTurnsAndMutesAreNoSteps) {
    drag(w->NoteLimitHigh, {60});
    // Pushing the high limit along: high first, then low; undo takes the low
    // limit back first, so the synth never holds low above high.
    Trip t = roundTrip([&] { drag(w->NoteLimitLow, {65, 70}); });
    EXPECT_EQ(t.undo, (std::vector<Bytes>{param(1, 0x0B, 0), param(1, 0x0C, 60)}));
    EXPECT_EQ(t.redo, (std::vector<Bytes>{param(1, 0x0C, 70), param(1, 0x0B, 70)}));

    // A knob turned on the synth during a drag is not part of the step.
    const std::size_t steps = ctx().edits.undoSteps();
    w->AEGDcyTime->setSliderDown(true);
    w->AEGDcyTime->setValue(20);
    injectShort(0xB0, 74, 10); // the cutoff knob turned on the synth
    w->AEGDcyTime->setValue(30);
    w->AEGDcyTime->setSliderDown(false);
    pump();
    synth.editBuffer().layers[0][17] = 10; // what the synth's own knob did
    EXPECT_EQ(ctx().edits.undoSteps(), steps + 1);
    w->MenuEditUndo->trigger();
    pump();
    EXPECT_EQ(model().image.layerData(1, 17), 10);
    EXPECT_EQ(model().image.layerData(1, 20), 64);
    EXPECT_TRUE(synthHoldsImage());

    // Volume 90, then the layer muted: undo gives the saved volume back and
    // the layer stays silent; releasing the mute sends the old volume.
    drag(w->LayerVolume, {37});
    w->MuteLayer1->click();
    EXPECT_EQ(ctx().edits.undoSteps(), steps + 1) << "a mute is no step";
    mark();
    w->MenuEditUndo->trigger();
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{param(1, 0x07, 0)}));
    EXPECT_EQ(model().muteOf(1).savedVolume, 100);
    EXPECT_EQ(w->LayerVolume->value(), 27);
    mark();
    w->MuteLayer1->click();
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{param(1, 0x07, 100)}));
    pump();
    EXPECT_TRUE(synthHoldsImage());
}

TEST_F(History, AFetchStartsAFreshHistoryAndUndoReachesTheFetchedState) {
    drag(w->FilterCutoff, {10});
    ASSERT_TRUE(ctx().edits.canUndo());
    pump();
    synth.userPerformance(4).layers[0][17] = 33;
    synth.recall(4);
    w->dispatcher.FetchCurrentPerformance();
    pump();
    ASSERT_FALSE(w->dispatcher.ReceivingCurrentPerf);
    EXPECT_FALSE(ctx().edits.canUndo());
    EXPECT_FALSE(w->MenuEditUndo->isEnabled());
    EXPECT_FALSE(w->MenuEditRedo->isEnabled());
    EXPECT_EQ(model().image.layerData(1, 17), 33);

    drag(w->FilterCutoff, {1});
    EXPECT_TRUE(model().PerfModified);
    w->MenuEditUndo->trigger();
    EXPECT_EQ(model().image.layerData(1, 17), 33);
    EXPECT_FALSE(model().PerfModified) << "back at the fetched performance";
    EXPECT_FALSE(ctx().edits.canUndo());
}

TEST_F(History, CompareSendsTheOriginalThenTheEditedAndAnEditReturnsFirst) {
    const PerformanceImage original = model().image;
    drag(w->FilterCutoff, {20});
    w->PortaOn->click();
    const PerformanceImage edited = model().image;
    pump();
    auto sevenBlocks = [](const PerformanceImage& image) {
        std::vector<Bytes> out;
        for (int b = 0; b < kBlockCount; ++b) out.push_back(dumpOf(image.message(static_cast<Block>(b))));
        return out;
    };

    mark();
    w->MenuEditCompare->trigger();
    EXPECT_EQ(sinceMark(), sevenBlocks(original));
    EXPECT_TRUE(w->MenuEditCompare->isChecked());
    EXPECT_EQ(w->FilterCutoff->value(), 63);
    EXPECT_EQ(status(), QString::fromLatin1(editor::TMainWindow::kCompareOnText));
    w->ShowStatus(QStringLiteral("Note On"));
    w->StatusTimer->setInterval(1);
    QTest::qWait(20);
    EXPECT_EQ(status(), QString::fromLatin1(editor::TMainWindow::kCompareOnText)) << "the line returns to it";
    pump();
    EXPECT_TRUE(synthHoldsImage());

    mark();
    w->MenuEditCompare->trigger();
    EXPECT_EQ(sinceMark(), sevenBlocks(edited));
    EXPECT_FALSE(w->MenuEditCompare->isChecked());
    EXPECT_EQ(model().image, edited);
    EXPECT_TRUE(model().PerfModified);

    // An edit while the original sounds: back to the edited first, then the edit.
    w->MenuEditCompare->trigger();
    mark();
    drag(w->AEGAtkTime, {50});
    std::vector<Bytes> expected = sevenBlocks(edited);
    expected.push_back(param(1, 0x13, 78));
    EXPECT_EQ(sinceMark(), expected);
    EXPECT_FALSE(ctx().edits.comparing());
    EXPECT_EQ(model().image.layerData(1, 17), edited.layerData(1, 17));
    EXPECT_EQ(w->FilterCutoff->value(), 127 - edited.layerData(1, 17));
    pump();
    EXPECT_TRUE(synthHoldsImage());
}

TEST_F(History, TheTestNotePlaysOnChannelOne) {
    ctx().settings.TestNotePitch = 62;
    ctx().settings.TestNoteVelocity = 90;
    ctx().settings.TestNoteLength = 50;
    mark();
    w->TestNote->click();
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{{0x90, 62, 90}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sinceMark().size() == 2; }, 10000));
    EXPECT_EQ(sinceMark().back(), (Bytes{0x80, 62, 0x40}));

    // Ctrl+T sounds while held.
    mark();
    QTest::keyPress(w->PageControl1, Qt::Key_T, Qt::ControlModifier);
    QTest::qWait(100);
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{{0x90, 62, 90}}));
    QTest::keyRelease(w->PageControl1, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{{0x90, 62, 90}, {0x80, 62, 0x40}}));

    // A note still sounding when the program ends is released first.
    ctx().settings.TestNoteLength = 10000;
    mark();
    w->TestNote->click();
    application->shutdown();
    EXPECT_EQ(sinceMark(), (std::vector<Bytes>{{0x90, 62, 90}, {0x80, 62, 0x40}}));
}

TEST_F(History, KeysOnABarAreOneStepEach) {
    w->FilterCutoff->setFocus();
    QTest::keyClick(w->FilterCutoff, Qt::Key_Up);
    const Byte once = model().image.layerData(1, 17);
    ASSERT_NE(once, 64);
    QTest::keyClick(w->FilterCutoff, Qt::Key_Up);
    EXPECT_EQ(ctx().edits.undoSteps(), 2u);
    w->MenuEditUndo->trigger();
    EXPECT_EQ(model().image.layerData(1, 17), once);
}

TEST_F(History, RandomizeFromTheMenuIsOneStepShownAndUndone) {
    const PerformanceImage before = model().image;
    int shown = 0;
    {
        ModalScript script([&](QDialog& d) {
            ++shown;
            auto& r = dynamic_cast<TRandomizeWindow&>(d);
            EXPECT_EQ(r.strengthValue->value(), 25);
            for (QCheckBox* c : r.groups) EXPECT_TRUE(c->isChecked());
            for (QCheckBox* c : r.groups) c->setChecked(false);
            EXPECT_FALSE(r.OKButton->isEnabled()) << "nothing to move";
            r.groups[1]->setChecked(true); // filter and envelopes
            r.strength->setValue(100);
            EXPECT_EQ(r.strengthValue->text(), QStringLiteral("100 %"));
            r.OKButton->click();
        });
        w->MenuEditRandomize->trigger();
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ctx().edits.undoSteps(), 1u);
    const std::vector<Bytes> out = sinceMark();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], dumpOf(model().image.message(Block::Layer1)));
    EXPECT_EQ(w->FilterCutoff->value(), 127 - model().image.layerData(1, 17));
    EXPECT_EQ(w->randomizeSettings.strength, 100) << "the dialog starts there next time";
    pump();
    EXPECT_TRUE(synthHoldsImage());
    w->MenuEditUndo->trigger();
    EXPECT_EQ(model().image, before);
    EXPECT_EQ(w->FilterCutoff->value(), 63);

    // Cancelled: nothing moves.
    ModalScript cancel([&](QDialog& d) { dynamic_cast<TRandomizeWindow&>(d).CancelButton->click(); });
    w->MenuEditRandomize->trigger();
    EXPECT_EQ(model().image, before);
    EXPECT_EQ(ctx().edits.undoSteps(), 0u);
}
