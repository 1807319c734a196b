// The handlers with their own logic, against the exact bytes on the cable:
// tune, pan, note limits, layer volume with muted layers, velocity defaults,
// arpeggiator tempo and mode, assign knob 2, the performance name and the
// knob turns reported by the synth.

#include "test_edit_fixture.h"

#include "ui/EditHandlers.h"
#include "ui/EditNameValidator.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

using Handlers = EditWindow;

// Types each character as a key press carrying that text, as a keyboard
// with any layout delivers it.
void typeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

// A layer bulk dump as sent: 52 bytes, header F0 43 00 4B 00 29 60 0L 00.
void expectLayerDump(const Bytes& m, int layer) {
    ASSERT_EQ(m.size(), 52u);
    EXPECT_THAT(std::vector<Byte>(m.begin(), m.begin() + 9),
                ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, 0x60, layer, 0x00));
    EXPECT_EQ(m.back(), 0xF7);
}

TEST_F(Handlers, AmpAttackOnLayerTwoSendsTheDocumentedMessage) {
    model().CurrentLayer = 2;
    drag(w->AEGAtkTime, 40);
    EXPECT_EQ(label("AEGAtkTime"), "24");
    EXPECT_EQ(image().layerData(2, 19), 88);
    EXPECT_EQ(image().layerData(1, 19), 64);
    EXPECT_THAT(sent(), ElementsAre(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x02, 0x13, 0x58, 0xF7}));
    EXPECT_TRUE(model().PerfModified);
}

TEST_F(Handlers, AllLayersGoOutInOrderWithOneByte) {
    model().CurrentLayer = 3;
    model().AffectAllLayers = true;
    drag(w->FilterCutoff, 10);
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(image().layerData(layer, 17), 117);
    EXPECT_THAT(sent(),
                ElementsAre(param(1, 0x11, 117), param(2, 0x11, 117), param(3, 0x11, 117), param(4, 0x11, 117)));
}

TEST_F(Handlers, NoteShiftSignsAndBytes) {
    drag(w->NoteShift, -24);
    EXPECT_EQ(label("NoteShift"), "+24");
    EXPECT_EQ(image().layerData(1, 4), 88);
    drag(w->NoteShift, 24);
    EXPECT_EQ(label("NoteShift"), "-24");
    EXPECT_EQ(image().layerData(1, 4), 40);
    clearSent();
    drag(w->NoteShift, 0);
    EXPECT_EQ(label("NoteShift"), QString::fromUtf8("\u00B10"));
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x04, 64)));
}

TEST_F(Handlers, NoteDetuneWritesTwoHalvesAndSendsTheLayerDump) {
    model().CurrentLayer = 2;
    drag(w->NoteDetune, 0);
    EXPECT_EQ(label("NoteDetune"), QString::fromUtf8("\u00B10 Hz"));
    EXPECT_EQ(image().layerData(2, 5), 8);
    EXPECT_EQ(image().layerData(2, 6), 0);
    ASSERT_THAT(sent(), SizeIs(1));
    expectLayerDump(sent()[0], 2);
    EXPECT_EQ(sent()[0][9 + 5], 8);
    EXPECT_EQ(sent()[0][9 + 6], 0);

    drag(w->NoteDetune, 128);
    EXPECT_EQ(label("NoteDetune"), "-12" + dp() + "8 Hz");
    EXPECT_EQ(image().layerData(2, 5), 0);
    EXPECT_EQ(image().layerData(2, 6), 0);

    drag(w->NoteDetune, -127);
    EXPECT_EQ(label("NoteDetune"), "+12" + dp() + "7 Hz");
    EXPECT_EQ(image().layerData(2, 5), 15);
    EXPECT_EQ(image().layerData(2, 6), 15);

    drag(w->NoteDetune, -5);
    EXPECT_EQ(label("NoteDetune"), "+0" + dp() + "5 Hz");

    model().AffectAllLayers = true;
    clearSent();
    drag(w->NoteDetune, 10);
    EXPECT_EQ(label("NoteDetune"), "-1 Hz");
    ASSERT_THAT(sent(), SizeIs(4));
    for (int layer = 1; layer <= 4; ++layer) {
        expectLayerDump(sent()[static_cast<std::size_t>(layer - 1)], layer);
        EXPECT_EQ(image().layerData(layer, 5), 7);
        EXPECT_EQ(image().layerData(layer, 6), 6);
    }
}

TEST_F(Handlers, PanTextsAndRandomPan) {
    drag(w->PanPot, 1);
    EXPECT_EQ(label("PanPot"), "L-63");
    drag(w->PanPot, 127);
    EXPECT_EQ(label("PanPot"), "R-63");
    clearSent();

    // Random pan: the pot goes to the centre (its handler does not run), 0 is stored.
    click(w->RandomPan, true);
    EXPECT_EQ(w->PanPot->value(), 64);
    EXPECT_EQ(label("PanPot"), "CTR");
    EXPECT_EQ(image().layerData(1, 10), 0);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0A, 0)));

    // Moving to exactly the centre keeps random pan checked and stores 64.
    clearSent();
    drag(w->PanPot, 64);
    EXPECT_TRUE(w->RandomPan->isChecked());
    EXPECT_EQ(label("PanPot"), "CTR");
    EXPECT_EQ(image().layerData(1, 10), 64);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0A, 64)));

    // Any other position ends random panning: the box's handler runs first,
    // nested, and sends the new position; then the pot's own message follows.
    click(w->RandomPan, true);
    clearSent();
    w->PanPot->setValue(30);
    EXPECT_FALSE(w->RandomPan->isChecked());
    EXPECT_EQ(label("PanPot"), "L-34");
    EXPECT_EQ(image().layerData(1, 10), 30);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0A, 30), param(1, 0x0A, 30)));

    // Unchecking the box by hand stores the pot's position.
    click(w->RandomPan, true);
    clearSent();
    click(w->RandomPan, false);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0A, 64)));
}

TEST_F(Handlers, NoteLimitsPushTheirPartnerAlong) {
    drag(w->NoteLimitHigh, 60);
    EXPECT_EQ(label("NoteLimitHigh"), "C3");
    clearSent();
    w->NoteLimitLow->setValue(72);
    EXPECT_EQ(label("NoteLimitLow"), "C4");
    EXPECT_EQ(w->NoteLimitHigh->value(), 72);
    EXPECT_EQ(label("NoteLimitHigh"), "C4");
    EXPECT_EQ(image().layerData(1, 11), 72);
    EXPECT_EQ(image().layerData(1, 12), 72);
    // The partner first, so the synth never holds a low limit above the high one.
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0C, 72), param(1, 0x0B, 72)));

    clearSent();
    w->NoteLimitHigh->setValue(0);
    EXPECT_EQ(label("NoteLimitHigh"), "C-2");
    EXPECT_EQ(w->NoteLimitLow->value(), 0);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0B, 0), param(1, 0x0C, 0)));

    clearSent();
    w->NoteLimitHigh->setValue(127);
    EXPECT_EQ(label("NoteLimitHigh"), "G8");
    EXPECT_EQ(w->NoteLimitLow->value(), 0);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x0C, 127)));
}

TEST_F(Handlers, VelocityLimitsAreNotCheckedAgainstEachOther) {
    drag(w->VelocityLimitHigh, 100); // 27
    drag(w->VelocityLimitLow, 10);   // 117
    EXPECT_EQ(image().layerData(1, 27), 117);
    EXPECT_EQ(image().layerData(1, 28), 27);
    EXPECT_EQ(w->VelocityLimitHigh->value(), 100);
}

TEST_F(Handlers, VelocityDefaultsMoveFourBarsAndSendTheLayerDump) {
    model().AffectAllLayers = true;
    drag(w->VelocityLimitLow, 5);
    drag(w->VelocityLimitHigh, 50);
    drag(w->VelocitySenseDepth, 7);
    drag(w->VelocitySenseOffset, 100);
    clearSent();
    w->VelocityDefaults->click();
    EXPECT_EQ(w->VelocityLimitLow->value(), 126);
    EXPECT_EQ(w->VelocityLimitHigh->value(), 0);
    EXPECT_EQ(w->VelocitySenseDepth->value(), 63);
    EXPECT_EQ(w->VelocitySenseOffset->value(), 63);
    EXPECT_EQ(label("VelocityLimitLow"), "1");
    EXPECT_EQ(label("VelocityLimitHigh"), "127");
    EXPECT_EQ(label("VelocitySenseDepth"), "64");
    EXPECT_EQ(label("VelocitySenseOffset"), "0");
    ASSERT_THAT(sent(), SizeIs(4)); // no parameter change, four layer dumps
    for (int layer = 1; layer <= 4; ++layer) {
        expectLayerDump(sent()[static_cast<std::size_t>(layer - 1)], layer);
        EXPECT_EQ(image().layerData(layer, 27), 1);
        EXPECT_EQ(image().layerData(layer, 28), 127);
        EXPECT_EQ(image().layerData(layer, 8), 64);
        EXPECT_EQ(image().layerData(layer, 9), 64);
    }
}

TEST_F(Handlers, LayerVolumeOfAMutedLayerGoesToItsSavedVolume) {
    model().CurrentLayer = 2;
    image().setLayerData(2, 7, 0);
    model().muteOf(2) = {100, true};
    drag(w->LayerVolume, 27);
    EXPECT_EQ(label("LayerVolume"), "100");
    drag(w->LayerVolume, 17);
    EXPECT_EQ(label("LayerVolume"), "110");
    EXPECT_EQ(model().muteOf(2).savedVolume, 110);
    EXPECT_EQ(image().layerData(2, 7), 0);
    EXPECT_THAT(sent().back(), param(2, 0x07, 0));

    // Not muted: the volume byte itself.
    model().CurrentLayer = 1;
    clearSent();
    drag(w->LayerVolume, 0);
    EXPECT_EQ(image().layerData(1, 7), 127);
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x07, 127)));
}

TEST_F(Handlers, LayerVolumeOnAllLayersSendsEachLayerItsOwnByte) {
    model().AffectAllLayers = true;
    model().CurrentLayer = 1;
    image().setLayerData(3, 7, 0);
    model().muteOf(3) = {90, true};
    drag(w->LayerVolume, 47);
    EXPECT_EQ(model().muteOf(3).savedVolume, 80);
    EXPECT_EQ(image().layerData(1, 7), 80);
    EXPECT_EQ(image().layerData(2, 7), 80);
    EXPECT_EQ(image().layerData(3, 7), 0);
    EXPECT_EQ(image().layerData(4, 7), 80);
    // The muted layer stays silent; the others get the new volume.
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x07, 80), param(2, 0x07, 80), param(3, 0x07, 0), param(4, 0x07, 80)));

    model().SendEnabled = false;
    clearSent();
    drag(w->LayerVolume, 7);
    EXPECT_EQ(image().layerData(4, 7), 120);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(Handlers, ArpTempoCodesAndLabels) {
    struct Case {
        int position;
        const char* shown;
        Byte high;
        Byte low;
    };
    for (const Case& c :
         {Case{40, "240", 1, 73}, Case{113, "167", 1, 0}, Case{114, "166", 0, 127}, Case{240, "40", 0, 1}}) {
        SCOPED_TRACE(c.position);
        clearSent();
        drag(w->ArpTempo, c.position);
        EXPECT_EQ(label("ArpTempo"), c.shown);
        EXPECT_EQ(image().data(Block::Common, 41), c.high);
        EXPECT_EQ(image().data(Block::Common, 42), c.low);
        EXPECT_THAT(sent(), ElementsAre(wide(0x29, c.high, c.low)));
    }
}

TEST_F(Handlers, ArpTempoMidiClockAndTheNestedRun) {
    drag(w->ArpTempo, 100);
    clearSent();
    click(w->ArpTempoMidi, true);
    EXPECT_EQ(image().data(Block::Common, 41), 0);
    EXPECT_EQ(image().data(Block::Common, 42), 0);
    EXPECT_EQ(w->ArpTempo->value(), 100);
    EXPECT_EQ(label("ArpTempo"), "180");
    EXPECT_THAT(sent(), ElementsAre(wide(0x29, 0, 0)));

    // Moving the bar ends the MIDI clock: the box's handler runs this one
    // nested, and the outer run sends the same message again.
    clearSent();
    w->ArpTempo->setValue(140);
    EXPECT_FALSE(w->ArpTempoMidi->isChecked());
    EXPECT_EQ(label("ArpTempo"), "140");
    EXPECT_EQ(image().data(Block::Common, 42), 101);
    EXPECT_THAT(sent(), ElementsAre(wide(0x29, 0, 101), wide(0x29, 0, 101)));

    // Unchecking by hand sends the tempo of the bar.
    click(w->ArpTempoMidi, true);
    clearSent();
    click(w->ArpTempoMidi, false);
    EXPECT_THAT(sent(), ElementsAre(wide(0x29, 0, 101)));
}

TEST_F(Handlers, ArpModeValuesAndOnWins) {
    auto set = [](QCheckBox* box, bool checked) {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    };
    set(w->ArpModeOn, false);
    set(w->ArpModeHold, false);
    set(w->ArpModeSplit, false);

    click(w->ArpModeOn, true);
    EXPECT_EQ(image().data(Block::Common, 45), 5);
    click(w->ArpModeSplit, true);
    EXPECT_EQ(image().data(Block::Common, 45), 1);
    click(w->ArpModeOn, false);
    EXPECT_EQ(image().data(Block::Common, 45), 0);
    click(w->ArpModeHold, true);
    EXPECT_EQ(image().data(Block::Common, 45), 2);
    click(w->ArpModeSplit, false);
    EXPECT_EQ(image().data(Block::Common, 45), 6);
    click(w->ArpModeHold, false);
    EXPECT_EQ(image().data(Block::Common, 45), 4);

    // Checking Hold while On is checked: Hold is unchecked again at once (a
    // nested run), and both runs send "on".
    click(w->ArpModeOn, true);
    clearSent();
    w->ArpModeHold->setChecked(true);
    EXPECT_FALSE(w->ArpModeHold->isChecked());
    EXPECT_TRUE(w->ArpModeOn->isChecked());
    EXPECT_EQ(image().data(Block::Common, 45), 5);
    EXPECT_THAT(sent(), ElementsAre(param(0, 0x2D, 5), param(0, 0x2D, 5)));
}

TEST_F(Handlers, AssignKnobTwoParameterPairsAndLevel) {
    // Tab "Param. 1": layer and target travel together at 1C.
    w->Assign2Tab->setCurrentIndex(0);
    clearSent();
    chooseRow(find<QListWidget>("Assign2Para"), 12);
    EXPECT_EQ(image().data(Block::Common, 29), 12);
    EXPECT_THAT(sent(), ElementsAre(wide(0x1C, 0, 12)));

    // Tab "Param. 2": the layer radio buttons write offset 30.
    w->Assign2Tab->setCurrentIndex(1);
    clearSent();
    w->Assign2Layer3->setChecked(true);
    EXPECT_EQ(image().data(Block::Common, 30), 2);
    EXPECT_THAT(sent(), ElementsAre(wide(0x1E, 2, image().data(Block::Common, 31))));

    // Tab "Param. 3": the sensitivity at offset 38, address 26.
    w->Assign2Tab->setCurrentIndex(2);
    clearSent();
    drag(w->Assign2Level, 40);
    EXPECT_EQ(label("Assign2Level"), "24");
    EXPECT_EQ(image().data(Block::Common, 38), 88);
    EXPECT_THAT(sent(), ElementsAre(param(0, 0x26, 88)));
}

TEST_F(Handlers, AssignTabShowsItsParameterAndSendsNothing) {
    image().setData(Block::Common, 34, 3);  // parameter 4: layer 4
    image().setData(Block::Common, 35, 17); // target 17
    image().setData(Block::Common, 39, 80); // sensitivity +16
    image().setData(Block::Common, 28, 0);
    w->Assign2Tab->setCurrentIndex(0);
    const PerformanceImage before = image();
    clearSent();
    w->Assign2Tab->setCurrentIndex(3);
    EXPECT_TRUE(w->Assign2Layer4->isChecked());
    EXPECT_EQ(w->Assign2Para->currentRow(), 17);
    EXPECT_EQ(w->Assign2Level->value(), 48);
    EXPECT_EQ(label("Assign2Level"), "16");
    EXPECT_EQ(image(), before);
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_TRUE(model().SendEnabled);

    // A layer byte outside 0..3 leaves the buttons; an unknown target selects nothing.
    image().setData(Block::Common, 28, 9);
    image().setData(Block::Common, 29, 100);
    w->Assign2Tab->setCurrentIndex(0);
    EXPECT_TRUE(w->Assign2Layer4->isChecked());
    EXPECT_EQ(w->Assign2Para->currentRow(), -1);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(Handlers, WavePictureActsAsItsButton) {
    w->LFOWaveElement->setChecked(true);
    clearSent();
    emit w->Image1->clicked();
    EXPECT_TRUE(w->LFOWaveSH->isChecked());
    // The button's handler ran nested, then the picture's.
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x1F, 2), param(1, 0x1F, 2)));
    clearSent();
    emit w->Image1->clicked();
    EXPECT_THAT(sent(), ElementsAre(param(1, 0x1F, 2)));
    clearSent();
    emit w->ImageTriangle->clicked();
    emit w->ImageSawtooth->clicked();
    EXPECT_EQ(image().layerData(1, 31), 0);
    EXPECT_TRUE(w->LFOWaveSaw->isChecked());
}

TEST_F(Handlers, PerformanceNameIsPaddedAndSentAsTheCommonBlock) {
    w->PerformanceName->clear();
    QTest::keyClicks(w->PerformanceName, "Bass");
    EXPECT_EQ(w->PerformanceName->text(), "Bass");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(image().data(Block::Common, i), std::string("Bass    ")[std::size_t(i)]);
    // One 57-byte common block per keystroke.
    ASSERT_THAT(sent(), SizeIs(4));
    for (const Bytes& m : sent()) {
        ASSERT_EQ(m.size(), 57u);
        EXPECT_THAT(std::vector<Byte>(m.begin(), m.begin() + 9),
                    ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00, 0x00));
    }
    const Bytes last = sent().back();
    EXPECT_EQ(std::string(last.begin() + 9, last.begin() + 17), "Bass    ");
}

TEST_F(Handlers, LeavingTheNameSendsItAlsoWhenUnchanged) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    w->PageControl1->setCurrentIndex(0);
    w->PerformanceName->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(w->PerformanceName->hasFocus());
    clearSent();

    // Tab to the next control, the name as it was.
    QTest::keyClick(w->PerformanceName, Qt::Key_Tab);
    ASSERT_FALSE(w->PerformanceName->hasFocus());
    const std::vector<Bytes> left = sent();
    ASSERT_THAT(left, SizeIs(1));
    ASSERT_EQ(left[0].size(), 57u);
    EXPECT_EQ(std::string(left[0].begin() + 9, left[0].begin() + 17), "InitPerf");
    // Every leave, not only the first after a change.
    for (int i = 0; i < 2; ++i) {
        w->PerformanceName->setFocus(Qt::TabFocusReason);
        clearSent();
        w->CommonVolume->setFocus(Qt::MouseFocusReason);
        EXPECT_THAT(sent(), SizeIs(1)) << "leave " << i + 2;
    }
    // Return does not leave the field.
    w->PerformanceName->setFocus(Qt::TabFocusReason);
    clearSent();
    QTest::keyClick(w->PerformanceName, Qt::Key_Return);
    EXPECT_THAT(sent(), IsEmpty());

    // Typing sends per keystroke, leaving once more.
    w->PerformanceName->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w->PerformanceName, Qt::Key_A, Qt::ControlModifier);
    clearSent();
    QTest::keyClicks(w->PerformanceName, "Pad");
    w->CommonVolume->setFocus(Qt::MouseFocusReason);
    const std::vector<Bytes> typed = sent();
    ASSERT_THAT(typed, SizeIs(4));
    ASSERT_EQ(typed[3].size(), 57u);
    EXPECT_EQ(std::string(typed[3].begin() + 9, typed[3].begin() + 17), "Pad     ");

    // Another window becoming active does not leave the field, nor does its
    // own popup; coming back does not either.
    w->PerformanceName->setFocus(Qt::TabFocusReason);
    clearSent();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(w->PerformanceName->hasFocus());
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(w->PerformanceName, &popup);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(Handlers, PerformanceNameTakesPrintableAsciiOnly) {
    w->PerformanceName->clear();
    typeText(w->PerformanceName, QString::fromUtf8("Caf\u00E9 \u65E5\u00DF!"));
    // The accented letter becomes its base letter; what has none is refused.
    EXPECT_EQ(w->PerformanceName->text(), "Cafe !");
    EXPECT_EQ(std::string(image().message(Block::Common).begin() + 9, image().message(Block::Common).begin() + 17),
              "Cafe !  ");

    // Pasted text is cut at 8 characters and filtered the same way.
    w->PerformanceName->clear();
    clearSent();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u00C4\u00F6\tZ\u20AC\u0080\u00FF12345678"));
    w->PerformanceName->paste();
    EXPECT_EQ(w->PerformanceName->text(), "Ao Zy1");
    EXPECT_EQ(std::string(image().message(Block::Common).begin() + 9, image().message(Block::Common).begin() + 17),
              "Ao Zy1  ");
    ASSERT_THAT(sent(), SizeIs(1));
    for (const Bytes& m : sent()) EXPECT_TRUE(sevenBitData(m));
    for (int i = 0; i < 8; ++i) EXPECT_LT(image().data(Block::Common, i), 0x80);
}

TEST(PerformanceNameFilter, KeepsTheCursorWhereTheUserTyped) {
    int cursor = 3; // after the euro sign
    EXPECT_EQ(editor::storableName(QString::fromUtf8("A\u00FC\u20ACB"), cursor), "AuB");
    EXPECT_EQ(cursor, 2);
    cursor = 0;
    EXPECT_EQ(editor::storableName(QString::fromUtf8("\u00C9t\u00E9 123456789"), cursor), "Ete 1234");
    EXPECT_EQ(cursor, 0);
    cursor = 12;
    EXPECT_EQ(editor::storableName(QString::fromUtf8("\x7F\x1F~ "), cursor), "~ ");
    EXPECT_EQ(cursor, 2);
}

TEST_F(Handlers, TypingInTheMiddleOfTheName) {
    w->PerformanceName->setText("AB");
    w->PerformanceName->setCursorPosition(1);
    typeText(w->PerformanceName, QString::fromUtf8("\u00FC\u20AC"));
    EXPECT_EQ(w->PerformanceName->text(), "AuB");
    EXPECT_EQ(w->PerformanceName->cursorPosition(), 2);
    EXPECT_EQ(image().data(Block::Common, 1), 'u');
}

TEST_F(Handlers, KnobTurnsMoveTheControlsAndSendNothing) {
    context->settings.SynthKnobs = true;
    model().CurrentLayer = 3;
    w->edit->HandleSynthKnob(73, 0);
    EXPECT_EQ(w->AEGAtkTime->value(), 127);
    EXPECT_EQ(label("AEGAtkTime"), "-63");
    EXPECT_EQ(image().layerData(3, 19), 1);

    w->edit->HandleSynthKnob(72, 127);
    EXPECT_EQ(w->AEGRelTime->value(), 1);
    EXPECT_EQ(label("AEGRelTime"), "63");
    EXPECT_EQ(image().layerData(3, 21), 127);

    w->edit->HandleSynthKnob(71, 0);
    EXPECT_EQ(w->FilterResonance->value(), 127);
    EXPECT_EQ(label("FilterResonance"), "-64");
    EXPECT_EQ(image().layerData(3, 18), 0);

    model().AffectAllLayers = true;
    w->edit->HandleSynthKnob(74, 100);
    EXPECT_EQ(w->FilterCutoff->value(), 27);
    EXPECT_EQ(label("FilterCutoff"), "36");
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(image().layerData(layer, 17), 100);
    EXPECT_THAT(sent(), IsEmpty());

    // Other controllers are ignored; with the setting off nothing moves.
    const PerformanceImage before = image();
    w->edit->HandleSynthKnob(7, 12);
    w->edit->HandleSynthKnob(70, 12);
    context->settings.SynthKnobs = false;
    w->edit->HandleSynthKnob(74, 0);
    EXPECT_EQ(w->FilterCutoff->value(), 27);
    EXPECT_EQ(image(), before);
    EXPECT_THAT(sent(), IsEmpty());
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

TEST_F(Handlers, EnvelopeControlsRedrawTheirGraph) {
    w->PageControl1->setCurrentIndex(4);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    PaintCounter aeg, feg, peg;
    w->PaintAEG->installEventFilter(&aeg);
    w->PaintFEG->installEventFilter(&feg);
    w->PaintPEG->installEventFilter(&peg);
    auto settle = [&] {
        QCoreApplication::processEvents();
        aeg.count = feg.count = peg.count = 0;
    };
    settle();
    drag(w->AEGSusLevel, 10);
    QCoreApplication::processEvents();
    EXPECT_GE(aeg.count, 1);
    settle();
    drag(w->FEGAtkTime, 10);
    QCoreApplication::processEvents();
    EXPECT_GE(feg.count, 1);
    settle();
    drag(w->PEGDcyTime, 10);
    QCoreApplication::processEvents();
    EXPECT_GE(peg.count, 1);
    settle();
    w->edit->HandleSynthKnob(72, 5);
    QCoreApplication::processEvents();
    EXPECT_GE(aeg.count, 1);
    // Bars outside the envelopes leave the graphs alone.
    settle();
    drag(w->LFOSpeed, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(aeg.count + feg.count + peg.count, 0);
    w->hide();
}

TEST_F(Handlers, SendingOffStillWritesImageAndLabels) {
    model().SendEnabled = false;
    drag(w->NoteShift, -5);
    drag(w->ArpTempo, 100);
    drag(w->PanPot, 100);
    w->VelocityDefaults->click();
    w->PerformanceName->clear();
    QTest::keyClicks(w->PerformanceName, "x");
    EXPECT_EQ(image().data(Block::Common, 0), 'x');
    EXPECT_EQ(image().data(Block::Common, 1), ' ');
    EXPECT_EQ(label("NoteShift"), "+5");
    EXPECT_EQ(label("ArpTempo"), "180");
    EXPECT_EQ(label("PanPot"), "R-36");
    EXPECT_EQ(image().layerData(1, 4), 69);
    EXPECT_EQ(image().data(Block::Common, 42), 13);
    EXPECT_EQ(image().data(Block::Common, 41), 1);
    EXPECT_EQ(image().layerData(1, 10), 100);
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_FALSE(model().PerfModified);
}

} // namespace
