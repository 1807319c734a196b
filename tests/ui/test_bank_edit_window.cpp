// The bank manager: its controls, drops of .SYX files on slots, loading and
// saving banks, importing dumps and MIDI files, deleting, the type switch,
// and what survives closing.

#include "DialogTestSupport.h"
#include "ListGestures.h"
#include "support/RecordingNotifier.h"

#include "model/Model.h"
#include "storage/PerformanceFiles.h"
#include "storage/RecordImage.h"
#include "ui/BankEditWindow.h"

#include <QAction>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>

namespace patchsmith {
namespace {

using test::ModalScript;

PerformanceRecord makeRecord(const char* name, int category, int number) {
    Model model;
    model.fillDefaults();
    PerformanceRecord record = makeRecordFromImage(model.image, number);
    auto bytes = record.bytes();
    char padded[9] = "        ";
    std::memcpy(padded, name, std::min<std::size_t>(std::strlen(name), 8));
    std::copy(padded, padded + 8, bytes.begin() + 9);
    bytes[17] = static_cast<Byte>(category);
    return record;
}

// The same with a common block whose checksum holds again, as the
// synthesizer would send it (the import refuses a block that does not add up).
PerformanceRecord makeDumpRecord(const char* name, int category, int number) {
    PerformanceRecord record = makeRecord(name, category, number);
    auto common = record.message(0);
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < common.size(); ++i) sum += common[i];
    common[common.size() - 2] = static_cast<Byte>((128 - sum % 128) % 128);
    return record;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray bytesOf(const PerformanceRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(record.bytes().data()), kRecordBytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bankOf(const std::vector<PerformanceRecord>& records) {
    QByteArray bytes("Patchsmith PFB");
    for (const auto& r : records) bytes += bytesOf(r);
    return bytes;
}

constexpr int kNumberOffsets[] = {7, 64, 96, 116, 168, 220, 272};

class BankEditTest : public ::testing::Test {
protected:
    BankEditTest() {
        test::testApp();
        EXPECT_TRUE(temp.isValid());
        dir = QDir::cleanPath(temp.path());
        QDir(dir).mkdir("other");
        grand = makeRecord("GrandPno", 1, 17);
        writeFile(dir + "/PF_GrandPno.SYX", bytesOf(grand));
        writeFile(dir + "/AB.SYX", bytesOf(makeRecord("Ab", 2, 0)));
        writeFile(dir + "/short.syx", QByteArray(100, '\x01'));
        writeFile(dir + "/notes.txt", "not a performance");
        bank0 = makeRecord("InitPerf", 0, 0);
        bank2 = makeRecord("Strings", 6, 2);
        writeFile(dir + "/two.PFB", bankOf({bank0, bank2}));
        perfBankDir = dir.toStdString();
    }

    std::unique_ptr<TBankEditWindow> open() {
        auto w = std::make_unique<TBankEditWindow>(bank, labels, perfBankDir, notifier);
        w->chooseSaveFile = [this](QWidget*, const QString& title, const QString& initial, const QString& filter) {
            saveCalls.push_back({title, initial, filter});
            return saveAnswer;
        };
        w->chooseOpenFile = [this](QWidget*, const QString& title, const QString& initial, const QString& filter) {
            openCalls.push_back({title, initial, filter});
            return openAnswer;
        };
        w->show();
        return w;
    }

    // Selects a file of the file list by name.
    static void selectFile(TBankEditWindow& w, const QString& name) {
        const auto found = w.FileListBox->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        w.FileListBox->setCurrentItem(found.front());
        w.FileListBoxClick();
    }

    // Drags the selected file over the bank list to the row under y and drops it.
    static void dropOnRow(TBankEditWindow& w, int row) {
        const int y = (row - w.BankListBox->topIndex()) * kBankRowHeight + 5;
        EXPECT_TRUE(w.BankListBoxDragOver(10, y));
        w.BankListBoxDragDrop();
    }

    static std::string entry(const TBankEditWindow& w, int slot) {
        return w.BankListBox->item(slot)->text().toStdString();
    }

    struct SaveCall {
        QString title, initial, filter;
    };

    ModalScript noModal;
    QTemporaryDir temp;
    QString dir;
    PerformanceRecord grand, bank0, bank2;
    PerformanceBank bank;
    SlotLabels labels;
    std::string perfBankDir;
    test::RecordingNotifier notifier;
    std::vector<SaveCall> saveCalls;
    QString saveAnswer;
    std::vector<SaveCall> openCalls;
    QString openAnswer;
};

TEST_F(BankEditTest, ControlsPositionsTextsAndLook) {
    auto w = open();
    EXPECT_EQ(w->windowTitle().toStdString(), " Patchsmith - Performance-bank manager");
    EXPECT_EQ(w->size(), QSize(519, 332));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());

    struct Row {
        const char* name;
        const char* parent;
        QRect geometry;
        test::ControlRow control;
    };
    const Row rows[] = {
        {"FileGroupBox",
         "TBankEditWindow",
         {5, 4, 333, 321},
         {"FileGroupBox", "QGroupBox", " SysEx-Files ", "", " SysEx-Files "}},
        {"DirectoryListBox",
         "FileGroupBox",
         {12, 18, 160, 200},
         {"DirectoryListBox", "patchsmith::dialogs::DirectoryListBox", nullptr, "", "Directories"}},
        {"DriveComboBox",
         "FileGroupBox",
         {12, 227, 160, 19},
         {"DriveComboBox", "patchsmith::dialogs::DriveComboBox", nullptr, "", "Drives"}},
        {"FileListBox",
         "FileGroupBox",
         {181, 18, 140, 228},
         {"FileListBox", "patchsmith::BankFileListBox", nullptr, "", "Files"}},
        {"PathLabel", "FileGroupBox", {12, 256, 309, 13}, {"PathLabel", "QLabel", nullptr, "", ""}},
        {"TypeSysEx",
         "FileGroupBox",
         {168, 291, 77, 17},
         {"TypeSysEx", "QRadioButton", "SysEx files", "List only SysEx-binary files", "List only SysEx-binary files"}},
        {"TypePerfBanks",
         "FileGroupBox",
         {248, 291, 77, 17},
         {"TypePerfBanks", "QRadioButton", "Perf.-banks", "List only Performance-bank files",
          "List only Performance-bank files"}},
        {"LoadPerf",
         "FileGroupBox",
         {12, 288, 141, 21},
         {"LoadPerf", "QPushButton", "Load Performance-bank", "Load the selected Performance-bank",
          "Load the selected Performance-bank"}},
        {"UserPerfGroupBox",
         "TBankEditWindow",
         {348, 4, 165, 321},
         {"UserPerfGroupBox", "QGroupBox", " User-Performance ", "", " User-Performance "}},
        {"BankListBox",
         "UserPerfGroupBox",
         {12, 18, 140, 228},
         {"BankListBox", "patchsmith::BankListBox", nullptr, "", "User-Performances"}},
        {"DeletePerf",
         "UserPerfGroupBox",
         {12, 257, 66, 21},
         {"DeletePerf", "QPushButton", "Delete", "Delete the selected Performance", "Delete the selected Performance"}},
        {"ClearAll",
         "UserPerfGroupBox",
         {87, 257, 65, 21},
         {"ClearAll", "QPushButton", "Clear all", "Delete all Performances", "Delete all Performances"}},
        {"SavePerf",
         "UserPerfGroupBox",
         {12, 288, 141, 21},
         {"SavePerf", "QPushButton", "Save Performance-bank", "Save your work to harddisk",
          "Save your work to harddisk"}},
    };
    for (const auto& row : rows) {
        test::expectControl(w.get(), row.control);
        const auto* widget = w->findChild<QWidget*>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), row.geometry) << row.name;
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), std::string(row.parent)) << row.name;
    }

    // Start states.
    EXPECT_TRUE(w->TypeSysEx->isChecked());
    EXPECT_FALSE(w->TypePerfBanks->isChecked());
    EXPECT_FALSE(w->LoadPerf->isEnabled());
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_TRUE(w->ClearAll->isEnabled());
    EXPECT_TRUE(w->SavePerf->isEnabled());
    ASSERT_EQ(w->BankPopup->actions().size(), 4); // Delete, Clear All, separator, Import
    EXPECT_EQ(w->BankPopDelete->objectName().toStdString(), "BankPopDelete");
    EXPECT_EQ(w->BankPopDelete->text().toStdString(), "Delete");
    EXPECT_FALSE(w->BankPopDelete->isEnabled());
    EXPECT_EQ(w->BankPopClearAll->text().toStdString(), "Clear All");
    EXPECT_TRUE(w->BankPopClearAll->isEnabled());

    // Look: bold navy captions, lime on black lists, navy load and save
    // buttons, plain black buttons otherwise.
    EXPECT_TRUE(w->FileGroupBox->font().bold());
    EXPECT_EQ(w->UserPerfGroupBox->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    for (QWidget* list : {static_cast<QWidget*>(w->BankListBox), static_cast<QWidget*>(w->FileListBox),
                          static_cast<QWidget*>(w->DirectoryListBox), static_cast<QWidget*>(w->DriveComboBox)}) {
        EXPECT_EQ(list->palette().color(QPalette::Base), QColor(Qt::black)) << list->objectName().toStdString();
        EXPECT_EQ(list->palette().color(QPalette::Text), QColor(0, 255, 0)) << list->objectName().toStdString();
        EXPECT_TRUE(list->font().bold());
    }
    EXPECT_EQ(w->LoadPerf->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
    EXPECT_EQ(w->SavePerf->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
    EXPECT_EQ(w->DeletePerf->palette().color(QPalette::ButtonText), QColor(Qt::black));
    EXPECT_FALSE(w->DeletePerf->font().bold());
    EXPECT_FALSE(w->TypeSysEx->font().bold());
    EXPECT_EQ(w->DeletePerf->font().pointSize(), 8);
}

TEST_F(BankEditTest, FirstOpeningShowsNumbersAndSavesAFourteenByteBank) {
    auto w = open();
    ASSERT_EQ(w->BankListBox->count(), 128);
    EXPECT_EQ(entry(*w, 0), "001");
    EXPECT_EQ(entry(*w, 41), "042");
    EXPECT_EQ(entry(*w, 127), "128");
    EXPECT_EQ(bank.occupiedCount(), 0);
    EXPECT_EQ(w->PathLabel->text(), dir);
    EXPECT_EQ(w->DirectoryListBox->directory(), dir);

    saveAnswer = dir + "/empty";
    w->SavePerf->click();
    ASSERT_EQ(saveCalls.size(), 1u);
    EXPECT_EQ(saveCalls[0].title.toStdString(), "Save Performance-bank as ...");
    EXPECT_EQ(saveCalls[0].initial, dir);
    EXPECT_EQ(saveCalls[0].filter.toStdString(), "Performance-banks (*.PFB)|*.PFB|All files (*.*)|*.*");
    EXPECT_EQ(readFile(dir + "/empty.PFB"), QByteArray("Patchsmith PFB"));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankEditTest, FileListFollowsTheTypeAndTheDirectory) {
    auto w = open();
    QStringList shown;
    for (int i = 0; i < w->FileListBox->count(); ++i) shown << w->FileListBox->item(i)->text();
    EXPECT_EQ(shown, (QStringList{"AB.SYX", "PF_GrandPno.SYX", "short.syx"}));

    w->TypePerfBanks->click();
    EXPECT_EQ(w->FileGroupBox->title().toStdString(), " Performance-Banks ");
    ASSERT_EQ(w->FileListBox->count(), 1);
    EXPECT_EQ(w->FileListBox->item(0)->text().toStdString(), "two.PFB");
    EXPECT_FALSE(w->LoadPerf->isEnabled());
    selectFile(*w, "two.PFB");
    EXPECT_TRUE(w->LoadPerf->isEnabled());

    w->DirectoryListBox->setDirectory(dir + "/other");
    EXPECT_EQ(w->FileListBox->count(), 0);
    EXPECT_FALSE(w->LoadPerf->isEnabled()) << "no file selected any more";
    EXPECT_EQ(w->PathLabel->text(), dir + "/other");

    w->TypeSysEx->click();
    EXPECT_EQ(w->FileGroupBox->title().toStdString(), " SysEx-Files ");
}

TEST_F(BankEditTest, DropOnEntry005ShowsNameAndStoresRenumberedRecord) {
    auto w = open();
    selectFile(*w, "PF_GrandPno.SYX");
    dropOnRow(*w, 4);
    EXPECT_EQ(entry(*w, 4), "005  PF GrandPno");
    ASSERT_TRUE(bank.occupied(4));
    const auto stored = bank.slot(4).bytes();
    const auto original = grand.bytes();
    for (int i = 0; i < kRecordBytes; ++i) {
        const bool numberByte =
            std::find(std::begin(kNumberOffsets), std::end(kNumberOffsets), i) != std::end(kNumberOffsets);
        EXPECT_EQ(stored[i], numberByte ? 4 : original[i]) << "byte " << i;
    }
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(bank.occupiedCount(), 1);
}

TEST_F(BankEditTest, ShortFileNameShowsAsItIs) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 4);
    EXPECT_EQ(entry(*w, 4), "005  AB");
    EXPECT_EQ(bank.slot(4).recordNumber(), 4);
}

TEST_F(BankEditTest, DragOverSelectsTheRowUnderThePointerAlsoWhenScrolled) {
    auto w = open();
    EXPECT_EQ(w->BankListBox->visualItemRect(w->BankListBox->item(0)).height(), kBankRowHeight);
    for (int y : {1, 13, 14, 15, 100, 200}) {
        EXPECT_TRUE(w->BankListBoxDragOver(10, y));
        EXPECT_EQ(w->BankListBox->currentRow(), y / 14) << y;
        EXPECT_EQ(w->BankListBox->currentRow(), w->BankListBox->indexAt(QPoint(10, y)).row()) << y;
    }
    w->BankListBox->setTopIndex(40);
    ASSERT_EQ(w->BankListBox->topIndex(), 40);
    EXPECT_TRUE(w->BankListBoxDragOver(10, 3 * 14 + 2));
    EXPECT_EQ(w->BankListBox->currentRow(), 43);
    EXPECT_EQ(w->BankListBox->indexAt(QPoint(10, 3 * 14 + 2)).row(), 43);

    // The drop keeps the scroll position.
    selectFile(*w, "AB.SYX");
    w->BankListBoxDragDrop();
    EXPECT_EQ(entry(*w, 43), "044  AB");
    EXPECT_EQ(w->BankListBox->topIndex(), 40);

    // On the edge (x or y not above 0) the selection stays.
    w->BankListBox->setCurrentRow(50);
    w->BankListBoxDragOver(0, 30);
    w->BankListBoxDragOver(30, 0);
    EXPECT_EQ(w->BankListBox->currentRow(), 50);
}

TEST_F(BankEditTest, DropWithoutSlotTouchesNothing) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    // Pointer below the last row: no slot.
    w->BankListBox->setTopIndex(127);
    const int lastVisible = w->BankListBox->topIndex();
    EXPECT_TRUE(w->BankListBoxDragOver(10, (127 - lastVisible) * 14 + 14 * 3));
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    w->BankListBoxDragDrop();
    EXPECT_EQ(bank.occupiedCount(), 0);
    for (int s = 0; s < 128; ++s) ASSERT_EQ(entry(*w, s), slotNumberText(s));
    EXPECT_TRUE(notifier.messages.empty());
    // Nor does a drop without a file selected.
    w->TypePerfBanks->click();
    w->TypeSysEx->click();
    w->BankListBox->setCurrentRow(3);
    w->BankListBoxDragDrop();
    EXPECT_FALSE(bank.occupied(3));
    EXPECT_EQ(entry(*w, 3), "004");
}

TEST_F(BankEditTest, AcceptanceFollowsTheFileList) {
    auto w = open();
    EXPECT_TRUE(w->FileListBoxDragOver());
    w->TypePerfBanks->click();
    EXPECT_FALSE(w->FileListBoxDragOver()) << "only while SysEx files are listed";
    EXPECT_TRUE(w->BankListBoxDragOver(5, 5)) << "the type is not tested";
    w->DirectoryListBox->setDirectory(dir + "/other");
    EXPECT_FALSE(w->BankListBoxDragOver(5, 5)) << "an empty file list offers nothing";
    w->TypeSysEx->click();
    EXPECT_FALSE(w->FileListBoxDragOver());
}

TEST_F(BankEditTest, FailedDropReportsAndKeepsSlotAndText) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 4);
    const PerformanceRecord before = bank.slot(4);

    selectFile(*w, "short.syx");
    dropOnRow(*w, 4);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "Load-Error : Wrong filesize");
    EXPECT_EQ(entry(*w, 4), "005  AB");
    EXPECT_EQ(bank.slot(4), before);

    // A file that went away after it was listed cannot be opened.
    selectFile(*w, "PF_GrandPno.SYX");
    ASSERT_TRUE(QFile::remove(dir + "/PF_GrandPno.SYX"));
    dropOnRow(*w, 6);
    ASSERT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(notifier.messages[1], "Load-Error : Unable to open file");
    EXPECT_EQ(entry(*w, 6), "007");
    EXPECT_FALSE(bank.occupied(6));

    // A bank file dropped while banks are listed is the wrong size.
    w->TypePerfBanks->click();
    selectFile(*w, "two.PFB");
    dropOnRow(*w, 8);
    EXPECT_EQ(notifier.messages.back(), "Load-Error : Wrong filesize");
    EXPECT_EQ(entry(*w, 8), "009");
}

TEST_F(BankEditTest, LoadingRecordsZeroAndTwoLeavesSlotOneAlone) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 1);
    const PerformanceRecord slot1 = bank.slot(1);

    w->TypePerfBanks->click();
    selectFile(*w, "two.PFB");
    w->BankListBox->setTopIndex(60);
    w->BankListBox->setCurrentRow(70);
    w->LoadPerf->click();
    EXPECT_EQ(bank.slot(0), bank0);
    EXPECT_EQ(bank.slot(2), bank2);
    EXPECT_EQ(bank.slot(1), slot1);
    EXPECT_EQ(entry(*w, 0), PerformanceLine(bank0));
    EXPECT_EQ(entry(*w, 0), "001  --   InitPerf");
    EXPECT_EQ(entry(*w, 2), "003  ST Strings");
    EXPECT_EQ(entry(*w, 1), "002  AB");
    EXPECT_EQ(w->BankListBox->topIndex(), 0);
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankEditTest, LoadNeedsBanksListedAndAFileAndDoubleClickLoads) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    w->LoadPerfClick(); // SysEx files listed: nothing happens
    EXPECT_EQ(bank.occupiedCount(), 0);
    w->TypePerfBanks->click();
    w->LoadPerfClick(); // no file selected
    EXPECT_EQ(bank.occupiedCount(), 0);
    selectFile(*w, "two.PFB");
    emit w->FileListBox->itemDoubleClicked(w->FileListBox->item(0));
    EXPECT_EQ(bank.occupiedCount(), 2);
}

TEST_F(BankEditTest, BadBankFilesChangeNothing) {
    writeFile(dir + "/tiny.PFB", "Patchsmith P");
    writeFile(dir + "/case.PFB", "patchsmith pfb");
    writeFile(dir + "/odd.PFB", QByteArray("Patchsmith PFB") + QByteArray(20, '\0'));
    auto numbered = makeRecord("Foreign", 3, 0);
    numbered.bytes()[7] = 200;
    writeFile(dir + "/foreign.PFB", bankOf({numbered, makeRecord("Good", 3, 3)}));
    auto w = open();
    w->TypePerfBanks->click();
    for (const char* name : {"tiny.PFB", "case.PFB", "odd.PFB"}) {
        selectFile(*w, name);
        w->LoadPerf->click();
    }
    EXPECT_EQ(notifier.messages, (std::vector<std::string>{"Load-Error : Not a valid Performance-bank file",
                                                           "Load-Error : Not a valid Performance-bank file",
                                                           "Load-Error : Wrong filesize"}));
    EXPECT_EQ(bank.occupiedCount(), 0);

    // A record numbered above 127 selects no slot; the others load.
    selectFile(*w, "foreign.PFB");
    w->LoadPerf->click();
    EXPECT_EQ(bank.occupiedCount(), 1);
    EXPECT_TRUE(bank.occupied(3));
    EXPECT_EQ(entry(*w, 3), "004  OR Good");
    EXPECT_EQ(notifier.messages.size(), 4u);
    for (int s = 0; s < 128; ++s) {
        if (s != 3) {
            ASSERT_EQ(entry(*w, s), slotNumberText(s)) << s;
        }
    }
}

TEST_F(BankEditTest, LongEntriesComeBackCutAfterCloseAndOpen) {
    {
        auto w = open();
        w->TypePerfBanks->click();
        selectFile(*w, "two.PFB");
        w->LoadPerf->click();
        EXPECT_EQ(entry(*w, 0), "001  --   InitPerf");
        w->reject(); // closing by the title bar or Escape
    }
    EXPECT_EQ(labels.label(0), "001  --   InitP");
    auto again = open();
    EXPECT_EQ(entry(*again, 0), "001  --   InitP");
    EXPECT_EQ(entry(*again, 2), "003  ST Strings");
    EXPECT_EQ(entry(*again, 1), "002");
    EXPECT_EQ(bank.slot(0), bank0) << "the slot itself is not cut";
}

TEST_F(BankEditTest, NameBytesFrom80HexComeBackUnchanged) {
    // "Caf\xE9" as the synth and the main list have it (Latin-1).
    writeFile(dir + "/cafe.PFB", bankOf({makeRecord("Caf\xE9 1", 6, 9)}));
    {
        auto w = open();
        w->TypePerfBanks->click();
        selectFile(*w, "cafe.PFB");
        w->LoadPerf->click();
        EXPECT_EQ(w->BankListBox->item(9)->text(), QString::fromLatin1("010  ST Caf\xE9 1"));
        w->reject();
    }
    EXPECT_EQ(labels.label(9), "010  ST Caf\xE9 1");
    auto again = open();
    EXPECT_EQ(again->BankListBox->item(9)->text(), QString::fromLatin1("010  ST Caf\xE9 1"));
}

TEST_F(BankEditTest, DeleteOnlyForOccupiedSlots) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 4);

    w->BankListBox->setCurrentRow(7);
    w->BankListBoxClick();
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_FALSE(w->BankPopDelete->isEnabled());

    w->BankListBox->setCurrentRow(4);
    w->BankListBoxClick();
    EXPECT_TRUE(w->DeletePerf->isEnabled());
    EXPECT_TRUE(w->BankPopDelete->isEnabled());

    w->BankListBox->setCurrentRow(7);
    w->BankListBoxClick();
    EXPECT_FALSE(w->DeletePerf->isEnabled()) << "a click on an empty slot disables it again";

    w->BankListBox->setCurrentRow(4);
    w->BankListBoxClick();
    w->DeletePerf->click();
    EXPECT_FALSE(bank.occupied(4));
    EXPECT_EQ(entry(*w, 4), "005");
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_FALSE(w->BankPopDelete->isEnabled());
}

TEST_F(BankEditTest, DeleteFollowsTheSlotLeftSelectedByADragOrTheKeys) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 4);
    test::dragRows(w->BankListBox, 7, 4);
    ASSERT_EQ(w->BankListBox->currentRow(), 4);
    EXPECT_TRUE(w->DeletePerf->isEnabled()) << "slot 005 is occupied";
    EXPECT_TRUE(w->BankPopDelete->isEnabled());
    test::dragRows(w->BankListBox, 4, 7);
    ASSERT_EQ(w->BankListBox->currentRow(), 7);
    EXPECT_FALSE(w->DeletePerf->isEnabled()) << "slot 008 is empty";
    EXPECT_FALSE(w->BankPopDelete->isEnabled());

    // The keys move the selection as well.
    w->BankListBox->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(w->BankListBox, Qt::Key_Up);
    ASSERT_EQ(w->BankListBox->currentRow(), 4);
    EXPECT_TRUE(w->DeletePerf->isEnabled());
    w->DeletePerf->click();
    EXPECT_FALSE(bank.occupied(4));
}

TEST_F(BankEditTest, PopupDeleteAndClearAll) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    for (int row : {0, 5, 127}) dropOnRow(*w, row);
    EXPECT_EQ(bank.occupiedCount(), 3);

    w->BankListBox->setCurrentRow(5);
    w->BankListBoxClick();
    w->BankPopDelete->trigger();
    EXPECT_FALSE(bank.occupied(5));
    EXPECT_EQ(bank.occupiedCount(), 2);

    w->BankPopClearAll->trigger();
    EXPECT_EQ(bank.occupiedCount(), 0);
    for (int s = 0; s < 128; ++s) ASSERT_EQ(entry(*w, s), slotNumberText(s));
    EXPECT_TRUE(notifier.messages.empty()) << "no confirmation asked";

    dropOnRow(*w, 9);
    w->BankListBox->setCurrentRow(9);
    w->BankListBoxClick();
    w->ClearAll->click();
    EXPECT_EQ(bank.occupiedCount(), 0);
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    // Out-of-range slot numbers change nothing.
    w->ClearSlot(0);
    w->ClearSlot(129);
}

TEST_F(BankEditTest, TypeSwitchClearsSelectionAndDisablesDeleteAndLoad) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 2);
    w->TypePerfBanks->click();
    selectFile(*w, "two.PFB");
    ASSERT_TRUE(w->LoadPerf->isEnabled());
    w->BankListBox->setCurrentRow(2);
    w->BankListBoxClick();
    ASSERT_TRUE(w->DeletePerf->isEnabled());

    w->TypeSysEx->click();
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_FALSE(w->BankPopDelete->isEnabled());
    EXPECT_FALSE(w->LoadPerf->isEnabled());

    w->BankListBox->setCurrentRow(2);
    w->BankListBoxClick();
    w->TypePerfBanks->click();
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_FALSE(w->LoadPerf->isEnabled());
}

TEST_F(BankEditTest, ClosingInAnotherDirectorySetsPerfBankDir) {
    {
        auto w = open();
        w->DirectoryListBox->setDirectory(dir + "/other");
        saveAnswer = dir + "/first";
        w->SavePerf->click();
        EXPECT_EQ(perfBankDir, dir.toStdString()) << "saving does not change it";
        EXPECT_EQ(saveCalls.back().initial, dir);
        w->close();
    }
    EXPECT_EQ(perfBankDir, (dir + "/other").toStdString());
    auto again = open();
    EXPECT_EQ(again->DirectoryListBox->directory(), dir + "/other");
    saveAnswer.clear(); // cancelled
    again->SavePerf->click();
    EXPECT_EQ(saveCalls.back().initial, dir + "/other");
}

TEST_F(BankEditTest, SaveWritesOccupiedSlotsInOrderWithBankExtension) {
    auto w = open();
    selectFile(*w, "PF_GrandPno.SYX");
    dropOnRow(*w, 9);
    selectFile(*w, "AB.SYX");
    dropOnRow(*w, 3);
    saveAnswer = dir + "/mine.pfb";
    w->SavePerf->click();
    const QByteArray bytes = readFile(dir + "/mine.PFB");
    ASSERT_EQ(bytes.size(), 14 + 2 * 317);
    EXPECT_EQ(bytes.left(14), QByteArray("Patchsmith PFB"));
    EXPECT_EQ(bytes.mid(14, 317), bytesOf(bank.slot(3)));
    EXPECT_EQ(bytes.mid(14 + 317, 317), bytesOf(bank.slot(9)));
    EXPECT_EQ(static_cast<Byte>(bytes[14 + 7]), 3);

    // A bank saved where banks are listed appears in the list.
    w->TypePerfBanks->click();
    saveAnswer = dir + "/later";
    w->SavePerf->click();
    EXPECT_EQ(w->FileListBox->findItems("later.PFB", Qt::MatchExactly).size(), 1);
}

TEST_F(BankEditTest, SaveThatCannotBeCreatedIsReported) {
    auto w = open();
    saveAnswer = dir + "/missing/folder/bank";
    w->SavePerf->click();
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Load-Error : Unable to save file"});
    EXPECT_FALSE(QFile::exists(dir + "/missing/folder/bank.PFB"));
}

TEST_F(BankEditTest, DragEventsReachTheHandlers) {
    auto w = open();
    selectFile(*w, "AB.SYX");
    QMimeData ours;
    ours.setData(kBankFileDragFormat, "AB.SYX");
    QWidget* viewport = w->BankListBox->viewport();

    QDragEnterEvent enter(QPoint(10, 2), Qt::CopyAction, &ours, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(QPoint(10, 6 * 14 + 3), Qt::CopyAction, &ours, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(w->BankListBox->currentRow(), 6);
    QDropEvent drop(QPointF(10, 6 * 14 + 3), Qt::CopyAction, &ours, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(entry(*w, 6), "007") << "handled after the drag has ended";
    QCoreApplication::processEvents();
    EXPECT_EQ(entry(*w, 6), "007  AB");
    EXPECT_EQ(w->FileListBox->count(), 3) << "the file list keeps its entries";

    // Anything else dragged in is refused and drops nothing.
    QMimeData foreign;
    foreign.setText("AB.SYX");
    w->BankListBox->setCurrentRow(8);
    QDropEvent other(QPointF(10, 8 * 14 + 3), Qt::CopyAction, &foreign, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &other);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bank.occupied(8));
    EXPECT_EQ(entry(*w, 8), "009");

    // The file list carries the file's name when dragged.
    std::unique_ptr<QMimeData> carried(w->FileListBox->model()->mimeData({w->FileListBox->model()->index(0, 0)}));
    ASSERT_NE(carried, nullptr);
    EXPECT_EQ(carried->data(kBankFileDragFormat), QByteArray("AB.SYX"));
}

TEST_F(BankEditTest, ImportCommandIsInThePopupAndOnCtrlI) {
    auto w = open();
    const auto actions = w->BankPopup->actions();
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3], w->bankPopImport);
    EXPECT_EQ(w->bankPopImport->objectName().toStdString(), "BankPopImport");
    EXPECT_EQ(w->bankPopImport->text().toStdString(), "Import SysEx-dump / MIDI-file ...");
    EXPECT_EQ(w->bankPopImport->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_TRUE(w->actions().contains(w->bankPopImport)) << "the shortcut works in the whole window";
    EXPECT_TRUE(w->bankPopImport->isEnabled());

    openAnswer.clear(); // cancelled
    w->bankPopImport->trigger();
    ASSERT_EQ(openCalls.size(), 1u);
    EXPECT_EQ(openCalls[0].title.toStdString(), "Import SysEx-dump or MIDI-file ...");
    EXPECT_EQ(openCalls[0].initial, dir);
    EXPECT_EQ(openCalls[0].filter.toStdString(),
              "SysEx dumps and MIDI files (*.syx *.mid *.midi)|*.syx;*.mid;*.midi|All files (*.*)|*.*");
    EXPECT_EQ(bank.occupiedCount(), 0);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankEditTest, ImportFillsSlotsByNumberShowsLinesAndCounts) {
    auto w = open();
    // Slot 4 holds a performance already; a damaged dump of number 4 must
    // leave it and its text alone.
    selectFile(*w, "PF_GrandPno.SYX");
    dropOnRow(*w, 4);
    const PerformanceRecord before = bank.slot(4);

    const PerformanceRecord three = makeDumpRecord("Three", 11, 3);
    const PerformanceRecord high = makeDumpRecord("Seventy", 6, 70);
    PerformanceRecord damaged = makeDumpRecord("Broken", 1, 4);
    damaged.bytes()[150] ^= 0x01; // checksum of layer 1 no longer holds
    QByteArray dump = bytesOf(three);
    dump += QByteArray::fromHex("F07E7F060243000000F7"); // an identity reply
    dump += bytesOf(damaged);
    dump += bytesOf(high);
    writeFile(dir + "/other/dump.syx", dump);

    w->BankListBox->setCurrentRow(2);
    openAnswer = dir + "/other/dump.syx";
    w->bankPopImport->trigger();
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Imported: 2, skipped as foreign: 1, skipped as damaged: 1"});
    EXPECT_EQ(bank.slot(3), three);
    EXPECT_EQ(bank.slot(70), high);
    EXPECT_EQ(bank.slot(4), before);
    EXPECT_EQ(entry(*w, 3), "004  LD Three");
    EXPECT_EQ(entry(*w, 70), "071  ST Seventy");
    EXPECT_EQ(entry(*w, 4), "005  PF GrandPno");
    EXPECT_EQ(entry(*w, 2), "003");
    EXPECT_TRUE(w->BankListBox->selectedItems().isEmpty());
    EXPECT_FALSE(w->DeletePerf->isEnabled());
    EXPECT_EQ(w->BankListBox->topIndex(), 3) << "the first imported slot is in view";

    // The texts outlive the window like every other slot text.
    w->close();
    auto again = open();
    EXPECT_EQ(entry(*again, 70), "071  ST Seventy");
}

TEST_F(BankEditTest, ImportOfAMidiFileAndOfFilesThatCannotBeRead) {
    auto w = open();
    // Format 0, one track: a tempo event and the performance as one SysEx event.
    const PerformanceRecord song = makeDumpRecord("SongSnd", 20, 9);
    QByteArray track = QByteArray::fromHex("00FF510307A120") + QByteArray::fromHex("00F0");
    const QByteArray body = bytesOf(song).mid(1);
    track += char(0x80 | (body.size() >> 7));
    track += char(body.size() & 0x7F);
    track += body + QByteArray::fromHex("00FF2F00");
    QByteArray midi = QByteArray::fromHex("4D546864000000060000000101E0") + QByteArray("MTrk");
    for (int shift : {24, 16, 8, 0}) midi += char((track.size() >> shift) & 0xFF);
    midi += track;
    writeFile(dir + "/song.mid", midi);

    openAnswer = dir + "/song.mid";
    w->bankPopImport->trigger();
    EXPECT_EQ(bank.slot(9), song);
    EXPECT_EQ(entry(*w, 9), "010  CO SongSnd");
    EXPECT_EQ(notifier.messages.back(), "Imported: 1, skipped as foreign: 0, skipped as damaged: 0");

    notifier.messages.clear();
    openAnswer = dir + "/gone.mid";
    w->bankPopImport->trigger();
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Load-Error : Unable to open file"});
    EXPECT_EQ(bank.occupiedCount(), 1);
}

TEST_F(BankEditTest, SavesThroughTheSharedSaveDialogWithoutAskingAboutTheNameTyped) {
    // A file of the very name typed, and the bank that saving will replace.
    writeFile(dir + "/bank", "not a bank");
    writeFile(dir + "/bank.PFB", bankOf({bank0}));
    ASSERT_TRUE(bank.setSlot(2, bank2));
    perfBankDir = dir.toStdString();
    TBankEditWindow w(bank, labels, perfBankDir, notifier); // its own choosers

    std::vector<QString> shown;
    QFileDialog* first = nullptr;
    {
        ModalScript script([&](QDialog& d) {
            shown.push_back(d.objectName());
            auto* fd = qobject_cast<QFileDialog*>(&d);
            if (!fd) {
                d.reject();
                return;
            }
            if (!first) first = fd;
            EXPECT_EQ(fd, first); // one dialog for every save
            EXPECT_EQ(fd->windowTitle(), "Save Performance-bank as ...");
            EXPECT_EQ(fd->directory().absolutePath(), dir);
            EXPECT_TRUE(fd->testOption(QFileDialog::DontConfirmOverwrite));
            fd->selectFile("bank");
            d.accept(); // QFileDialog::accept, as its Save button does
        });
        // A dialog that bypasses the runner would wait for a user: closed.
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (QWidget* m = QApplication::activeModalWidget()) {
                shown.push_back("unscripted " + m->objectName());
                m->close();
            }
        });
        watchdog.start(5000);
        w.SavePerfClick();
        w.SavePerfClick();
    }
    EXPECT_EQ(shown, (std::vector<QString>{"SaveDialog", "SaveDialog"}));
    EXPECT_EQ(readFile(dir + "/bank"), QByteArray("not a bank"));
    EXPECT_EQ(readFile(dir + "/bank.PFB"), bankOf({bank2}));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankEditTest, ShownModallyByTheBulkDumpMenu) {
    ModalScript script([](QDialog& d) {
        auto& w = dynamic_cast<TBankEditWindow&>(d);
        w.DirectoryListBox->setDirectory(QDir(w.DirectoryListBox->directory()).filePath("other"));
        w.reject();
    });
    showBankManager(bank, labels, perfBankDir, notifier);
    EXPECT_EQ(script.runs, 1);
    EXPECT_EQ(perfBankDir, (dir + "/other").toStdString());
}

} // namespace
} // namespace patchsmith
