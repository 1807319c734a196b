// Choosing a layer's bank and voice, and switching the synth to another user
// performance, with the bytes each choice sends.

#include "EditorSession.h"
#include "ListGestures.h"

#include "ui/VoiceSelection.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

Bytes param(Byte layer, Byte address, Byte value) {
    return {0xF0, 0x43, 0x10, 0x4B, 0x60, layer, address, value, 0xF7};
}
const Bytes kRequestCommon{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x00, 0xF7};

struct Selection : EditorSession {
    std::vector<std::pair<QString, QString>> questions;
    bool answer = true;

    void SetUp() override {
        EditorSession::SetUp();
        start();
        w->selection->askYesNo = [this](const QString& caption, const QString& text) {
            questions.emplace_back(caption, text);
            return answer;
        };
    }

    // The user picks a bank row in the box.
    void chooseBank(const QString& text) {
        const int row = w->PatchBankNumber->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        w->PatchBankNumber->setCurrentIndex(row);
        emit w->PatchBankNumber->activated(row);
    }
};

} // namespace

TEST_F(Selection, AnUnmodifiedPerformanceSwitchesWithoutAQuestion) {
    w->show();
    clickRow(w->UserPerf, 4);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(sentBytes(),
              (std::vector<Bytes>{{0xB0, 0x00, 0x3F}, {0xB0, 0x20, 0x41}, {0xC0, 0x04, 0x00}, kRequestCommon}));
    EXPECT_EQ(model().ActiveUserPerf, 4);
    EXPECT_EQ(link().PendingRequest, 5);
    EXPECT_EQ(status(), QStringLiteral("Receiving Perf-COMMON"));
    EXPECT_EQ(w->Label_PerfName->text(), QStringLiteral("Program ---, Bank MSB 63, LSB 65")); // not shown yet

    // The same row once more switches again.
    platform.sent.clear();
    clickRow(w->UserPerf, 4);
    EXPECT_EQ(platform.sent.size(), 4u);
    // A keyboard move switches too.
    platform.sent.clear();
    QTest::keyClick(w->UserPerf, Qt::Key_Down);
    EXPECT_EQ(w->UserPerf->currentRow(), 5);
    ASSERT_EQ(platform.sent.size(), 4u);
    EXPECT_EQ(platform.sent[2].bytes, (Bytes{0xC0, 0x05, 0x00}));
    w->setNormalCursor();
}

void rightClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(row)).center());
}

TEST_F(Selection, ADragOrTheRightButtonSwitchesToTheRowLeftSelected) {
    w->show();
    test::dragRows(w->UserPerf, 2, 5);
    EXPECT_EQ(w->UserPerf->currentRow(), 5);
    // One switch, to the row the drag ended on.
    EXPECT_EQ(sentBytes(),
              (std::vector<Bytes>{{0xB0, 0x00, 0x3F}, {0xB0, 0x20, 0x41}, {0xC0, 0x05, 0x00}, kRequestCommon}));
    EXPECT_EQ(model().ActiveUserPerf, 5);

    platform.sent.clear();
    rightClickRow(w->UserPerf, 8);
    EXPECT_EQ(w->UserPerf->currentRow(), 8);
    ASSERT_EQ(platform.sent.size(), 4u);
    EXPECT_EQ(platform.sent[2].bytes, (Bytes{0xC0, 0x08, 0x00}));
    EXPECT_EQ(model().ActiveUserPerf, 8);

    // A double click switches once.
    platform.sent.clear();
    const QPoint row3 = w->UserPerf->visualItemRect(w->UserPerf->item(3)).center();
    QTest::mouseClick(w->UserPerf->viewport(), Qt::LeftButton, {}, row3);
    QTest::mouseDClick(w->UserPerf->viewport(), Qt::LeftButton, {}, row3);
    QTest::mouseRelease(w->UserPerf->viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(platform.sent.size(), 4u);
    EXPECT_EQ(model().ActiveUserPerf, 3);
    w->setNormalCursor();

    platform.sent.clear();
    w->PageControl1->setCurrentIndex(3);
    test::dragRows(w->PatchVoiceNumber, 3, 6);
    EXPECT_EQ(w->PatchVoiceNumber->currentRow(), 6);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(1, 0x02, 6)}));
    EXPECT_EQ(model().image.layerData(1, 2), 6);
    platform.sent.clear();
    rightClickRow(w->PatchVoiceNumber, 9);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(1, 0x02, 9)}));
    EXPECT_EQ(model().image.layerData(1, 2), 9);
}

TEST_F(Selection, CtrlClickKeepsTheRowShown) {
    w->show();
    w->PageControl1->setCurrentIndex(3);
    clickRow(w->PatchVoiceNumber, 4);
    platform.sent.clear();
    QTest::mouseClick(w->PatchVoiceNumber->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      w->PatchVoiceNumber->visualItemRect(w->PatchVoiceNumber->item(4)).center());
    EXPECT_TRUE(w->PatchVoiceNumber->item(4)->isSelected());
    EXPECT_EQ(model().image.layerData(1, 2), 4);
}

TEST_F(Selection, TheListPickingARowWhenItGetsTheFocusSwitchesNothing) {
    w->show();
    for (QListWidget* list : {w->UserPerf, w->PatchVoiceNumber}) {
        {
            const QSignalBlocker quiet(list);
            list->setCurrentRow(-1);
        }
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(list, &focus);
        run();
        EXPECT_EQ(list->currentRow(), 0) << list->objectName().toStdString(); // the view's own choice
    }
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().ActiveUserPerf, -1);
    EXPECT_EQ(model().image.layerData(1, 2), 0);
}

TEST_F(Selection, AfterAnEditTheUserIsAskedAndNoSendsNothing) {
    w->show();
    clickRow(w->UserPerf, 2);
    w->ShowPerformance(); // the fetched performance arrived
    platform.sent.clear();
    w->FilterCutoff->setValue(10); // an edit
    ASSERT_TRUE(model().PerfModified);
    platform.sent.clear();

    answer = false;
    clickRow(w->UserPerf, 7);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].first, QStringLiteral("Caution"));
    EXPECT_EQ(questions[0].second, QStringLiteral("Changes on actual Performance will be lost - continue?"));
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().ActiveUserPerf, 2);
    EXPECT_EQ(w->UserPerf->currentRow(), 2); // back on the performance still active

    answer = true;
    clickRow(w->UserPerf, 7);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(model().ActiveUserPerf, 7);
    EXPECT_EQ(platform.sent.size(), 4u);
    w->setNormalCursor();
}

TEST_F(Selection, WithADeviceClosedNothingHappensAfterTheQuestion) {
    ctx().devices.CloseMidiIn();
    w->selection->UserPerfClick(3);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().ActiveUserPerf, -1);
}

TEST_F(Selection, ABankKeepsTheProgramAndSendsTheLayerAsADump) {
    model().image.setLayerData(1, 2, 3);
    chooseBank("XG 001 (KSP)");
    EXPECT_EQ(model().image.layerData(1, 0), 0);
    EXPECT_EQ(model().image.layerData(1, 1), 1);
    EXPECT_EQ(model().image.layerData(1, 2), 3);
    EXPECT_EQ(w->PatchVoiceNumber->currentItem()->text(), QStringLiteral("004 HnkyTnkK"));
    ASSERT_EQ(platform.sent.size(), 1u);
    const Bytes& dump = platform.sent[0].bytes;
    ASSERT_EQ(dump.size(), 52u);
    EXPECT_EQ(dump[7], 0x01);
    EXPECT_EQ(dump[9], 0x00);
    EXPECT_EQ(dump[10], 0x01);
    EXPECT_EQ(dump[11], 0x03);
}

TEST_F(Selection, WithAllLayersABankGoesToEveryLayerWhichKeepsItsProgram) {
    for (int layer = 1; layer <= 4; ++layer) model().image.setLayerData(layer, 2, static_cast<Byte>(10 * layer));
    w->AffectAllLayers->click();
    chooseBank("PRE 12 (Drum Kits)");
    ASSERT_EQ(platform.sent.size(), 4u);
    for (int layer = 1; layer <= 4; ++layer) {
        EXPECT_EQ(model().image.layerData(layer, 0), 63);
        EXPECT_EQ(model().image.layerData(layer, 1), 12);
        EXPECT_EQ(model().image.layerData(layer, 2), 10 * layer);
        EXPECT_EQ(platform.sent[static_cast<std::size_t>(layer - 1)].bytes[7], layer);
    }
    EXPECT_EQ(w->PatchVoiceNumber->item(0)->text(), QStringLiteral("001 TechKt A"));
}

TEST_F(Selection, AVoiceGoesAsAParameterChange) {
    w->show();
    w->EditLayer2->click();
    clickRow(w->PatchVoiceNumber, 5);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{param(2, 0x02, 5)}));
    EXPECT_EQ(model().image.layerData(2, 2), 5);
    EXPECT_EQ(model().image.layerData(1, 2), 0);

    // A program without a voice in the bank is still program 8.
    w->AffectAllLayers->click();
    chooseBank("XG 001 (KSP)");
    ASSERT_EQ(w->PatchVoiceNumber->item(8)->text(), QStringLiteral("009 --"));
    platform.sent.clear();
    clickRow(w->PatchVoiceNumber, 8);
    EXPECT_EQ(sentBytes(),
              (std::vector<Bytes>{param(1, 0x02, 8), param(2, 0x02, 8), param(3, 0x02, 8), param(4, 0x02, 8)}));
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(model().image.layerData(layer, 2), 8);
}

TEST_F(Selection, WithAllLayersVoiceRowFiveSendsFourChanges) {
    w->AffectAllLayers->click();
    w->selection->PatchVoiceNumberClick(5);
    EXPECT_EQ(sentBytes(),
              (std::vector<Bytes>{param(1, 0x02, 5), param(2, 0x02, 5), param(3, 0x02, 5), param(4, 0x02, 5)}));
}

TEST_F(Selection, NoSwitchWhileATransferToDiskRuns) {
    w->show();
    clickRow(w->UserPerf, 2);
    platform.sent.clear();
    w->dispatcher.AllUserPerfsToDisk = true;
    clickRow(w->UserPerf, 7);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().ActiveUserPerf, 2);
    EXPECT_EQ(w->UserPerf->currentRow(), 2);
    w->dispatcher.AllUserPerfsToDisk = false;
    w->setNormalCursor();
}
