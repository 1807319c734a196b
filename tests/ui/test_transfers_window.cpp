// The File and Bulk-Dump commands through the main window: every menu item
// and the SaveToSynth button reach their command with the exact dialogs, and
// what goes to the wire and into files is checked byte for byte. Modal
// windows are driven by a script, so nothing blocks.

#include "../storage/StorageTestSupport.h"
#include "TestApp.h"

#include "storage/FileNames.h"
#include "storage/PerformanceText.h"
#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/DialogKit.h"
#include "ui/MainWindow.h"
#include "ui/MessageWindow.h"
#include "ui/PathWindow.h"
#include "ui/UserPerfSelectWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

using namespace patchsmith;
using editor::TMainWindow;
using Bytes = std::vector<Byte>;
using test::readBytes;
using test::writeBytes;

namespace {

const QStringList kSysExFilters{"SysEx binary (*.SYX)", "All files (*.*)"};
const QStringList kBankFilters{"Performance-banks (*.PFB)", "All files (*.*)"};
const QStringList kNameFilters{"Performance-name files (*.PFN)", "All files (*.*)"};

struct SeenDialog {
    std::string className;
    std::string title;
};

class TransfersWindow : public test::TempDirTest {
protected:
    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TMainWindow> w;
    std::deque<std::function<int(QDialog&)>> script;
    std::vector<SeenDialog> seen;

    void SetUp() override {
        test::testApp();
        TempDirTest::SetUp();
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
        ctx = std::make_unique<AppContext>(platform, notifier);
        ctx->settings.LastDir = dir_.string();
        ctx->settings.PerfBankDir = dir_.string();
        w = std::make_unique<TMainWindow>(*ctx);
        ctx->devices.onInputEvent = [this](const midi::MidiInputEvent& e) { w->dispatcher.AppMessage(e); };
        ctx->devices.onPulseMidiOutLed = [this] { w->PulseMidiOutLed(); };
        ctx->devices.MidiInDeviceName = "CS1x In";
        ctx->devices.MidiOutDeviceName = "CS1x Out";
        ASSERT_TRUE(ctx->devices.InitMidiDevices());
        ASSERT_TRUE(ctx->devices.MidiInOpen && ctx->devices.MidiOutOpen);
        platform.sent.clear();
        dialogs::setModalRunner([this](QDialog& d) {
            seen.push_back({d.metaObject()->className(), d.windowTitle().toStdString()});
            if (script.empty()) {
                ADD_FAILURE() << "unexpected modal window " << d.metaObject()->className() << " "
                              << d.windowTitle().toStdString();
                return 0;
            }
            auto step = std::move(script.front());
            script.pop_front();
            return step(d);
        });
    }

    void TearDown() override {
        dialogs::setModalRunner({});
        EXPECT_TRUE(script.empty()) << script.size() << " scripted windows never opened";
        ctx->devices.onPulseMidiOutLed = nullptr;
        w.reset();
        ctx.reset();
        QApplication::restoreOverrideCursor();
        TempDirTest::TearDown();
    }

    // A file dialog with this title, filter and directory; `path` empty cancels.
    void fileDialog(const char* title, const QStringList& filters, const std::string& dir, std::string path,
                    std::string proposed = {}) {
        script.push_back([=](QDialog& d) {
            auto* fd = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(fd, nullptr);
            if (!fd) return 0;
            EXPECT_EQ(fd->windowTitle().toStdString(), title);
            EXPECT_EQ(fd->nameFilters(), filters);
            EXPECT_EQ(fd->directory().absolutePath().toStdString(), std::filesystem::path(dir).string());
            if (!proposed.empty()) {
                const QStringList files = fd->selectedFiles();
                EXPECT_FALSE(files.isEmpty());
                if (!files.isEmpty()) {
                    EXPECT_TRUE(files.first().endsWith(QString::fromStdString(proposed)))
                        << files.first().toStdString();
                }
            }
            if (path.empty()) return static_cast<int>(QDialog::Rejected);
            fd->selectFile(QString::fromStdString(path));
            return static_cast<int>(QDialog::Accepted);
        });
    }

    // The user-performance chooser as it must open; then `row` is selected
    // (-2 keeps what is selected, -1 clears it) and OK (or Cancel) pressed.
    void chooser(const char* caption, const char* ok, int selected, int top, int row, bool confirm = true) {
        script.push_back([=](QDialog& d) {
            auto* c = dynamic_cast<TUserPerfSelectWindow*>(&d);
            EXPECT_NE(c, nullptr);
            if (!c) return 0;
            EXPECT_EQ(c->windowTitle().toStdString(), caption);
            EXPECT_EQ(c->UserPerfOK->text().toStdString(), ok);
            EXPECT_EQ(c->selectedRow(), selected);
            if (top >= 0) {
                EXPECT_EQ(c->topRow(), top);
            }
            EXPECT_EQ(c->UserPerfSelect->count(), 128);
            if (row == -1)
                c->UserPerfSelect->setCurrentRow(-1, QItemSelectionModel::Clear);
            else if (row >= 0)
                c->UserPerfSelect->setCurrentRow(row);
            if (confirm)
                c->userPerfOkClick();
            else
                c->userPerfCancelClick();
            return c->result();
        });
    }

    void pathWindow(const std::string& dir, bool confirm = true) {
        script.push_back([=](QDialog& d) {
            auto* p = dynamic_cast<TPathWindow*>(&d);
            EXPECT_NE(p, nullptr);
            if (!p) return 0;
            EXPECT_EQ(p->windowTitle().toStdString(), " Select dest. path");
            p->DirectoryListBox->setDirectory(QString::fromStdString(dir));
            if (confirm)
                p->okButtonClick();
            else
                p->cancelButtonClick();
            return p->result();
        });
    }

    void twoChoices(int answer) {
        script.push_back([=](QDialog& d) {
            auto* m = dynamic_cast<TMessageWindow*>(&d);
            EXPECT_NE(m, nullptr);
            if (!m) return 0;
            EXPECT_EQ(m->TextLabel->text().toStdString(),
                      "Please select the format to store the received\nBulk-data on your harddisk");
            EXPECT_EQ(m->OKButton->text().toStdString(), "Perf.-bank");
            EXPECT_EQ(m->CancelButton->text().toStdString(), "SysEx files");
            if (answer == 1)
                m->okButtonClick();
            else if (answer == 2)
                m->cancelButtonClick();
            else
                m->reject();
            return m->result();
        });
    }

    std::vector<Bytes> sentLong() const { return platform.longMessages(); }

    std::string dir() const { return dir_.string(); }

    // The synthesizer side of a transfer to disk: answers each request with
    // the block of `synth` it names, until the transfer has ended.
    void answerRequests(const std::array<PerformanceRecord, 128>& synth, int maxAnswers = 2000) {
        for (int i = 0; i < maxAnswers && w->transfers.transferRunning(); ++i) {
            const auto sent = sentLong();
            ASSERT_FALSE(sent.empty());
            const Bytes& req = sent.back();
            ASSERT_EQ(req.size(), 8u);
            ASSERT_EQ(req[2], 0x20);
            const int n = req[5];
            const int m = req[4] == 0x70 ? (req[6] == 0x00 ? 0 : req[6] == 0x30 ? 1 : 2) : req[4] - 0x71 + 3;
            const auto block = synth[static_cast<std::size_t>(n)].message(m);
            platform.injectSysEx(Bytes(block.begin(), block.end()));
        }
    }

    static std::array<PerformanceRecord, 128> synthBank(bool sameNames = false) {
        std::array<PerformanceRecord, 128> bank;
        for (int n = 0; n < 128; ++n) {
            const std::string name = sameNames ? "../Twin" : "P" + std::to_string(n);
            bank[static_cast<std::size_t>(n)] = test::makeRecord(n, sameNames ? 1 : n % 23, name, static_cast<Byte>(n));
        }
        return bank;
    }
};

// The address triple of a bulk block: (high, mid, low).
std::array<int, 3> addressOf(const Bytes& m) { return {m[6], m[7], m[8]}; }

TEST_F(TransfersWindow, CancelledDialogsOfEveryCommandChangeAndSendNothing) {
    const std::string d = dir();
    const std::string before = ctx->settings.LastDir;
    fileDialog("Select User-Performance file", kSysExFilters, d, "");
    w->MenuFileOpenActPerf->trigger();
    fileDialog("Select Performance-name file", kNameFilters, d, "");
    w->MenuFileOpenPerfNames->trigger();
    fileDialog("Save actual Performance as ...", kSysExFilters, d, "",
               proposedSaveName(ctx->model.image.message(Block::Common)));
    w->MenuFileSaveActPerf->trigger();
    fileDialog("Save Performance-names as ...", kNameFilters, d, "");
    w->MenuFileSavePerfNames->trigger();
    fileDialog("Select User-Performance file", kSysExFilters, d, "");
    w->MenuBulkSinglePerfSynth->trigger();
    fileDialog("Select Performance-bank file", kBankFilters, d, "");
    w->MenuBulkPerfBankSynth->trigger();
    chooser("Select Dest", "Request", -1, 0, -2, false);
    w->MenuBulkSinglePerfHD->trigger();
    chooser("Select dest.-Perf", "Send", -1, 0, -2, false);
    w->SaveToSynth->click();
    twoChoices(0);
    w->MenuBulkAllPerfHD->trigger();
    twoChoices(1);
    fileDialog("Save Performance-bank as ...", kBankFilters, d, "");
    w->MenuBulkAllPerfHD->trigger();
    twoChoices(2);
    pathWindow(d, false);
    w->MenuBulkAllPerfHD->trigger();

    EXPECT_EQ(seen.size(), 13u);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(ctx->settings.LastDir, before);
    EXPECT_FALSE(w->transfers.transferRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(test::TempDirTest::entries().empty());
}

TEST_F(TransfersWindow, ChooserConfirmedWithoutSelectionSendsOrRequestsNothing) {
    const PerformanceRecord r = test::makeRecord(9, 1, "GrandPno");
    writeBytes(path("p.SYX"), Bytes(r.bytes().begin(), r.bytes().end()));
    fileDialog("Select User-Performance file", kSysExFilters, dir(), path("p.SYX"));
    chooser("Select dest. Perf", "Send", 9, 9, -1);
    w->MenuBulkSinglePerfSynth->trigger();
    chooser("Select Dest", "Request", -1, 0, -1);
    w->MenuBulkSinglePerfHD->trigger();
    ctx->model.ActiveUserPerf = 4;
    chooser("Select dest.-Perf", "Send", 4, 4, -1);
    w->SaveToSynth->click();
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_FALSE(w->transfers.transferRunning());
}

TEST_F(TransfersWindow, SingleFileWithNumber9OpensTheChooserOn010AndSendsSevenBlocksTo9) {
    PerformanceRecord r = test::makeRecord(9, 1, "GrandPno", 0x33);
    writeBytes(path("PF_GrandPno.SYX"), Bytes(r.bytes().begin(), r.bytes().end()));
    const QString row9 = w->UserPerf->item(9)->text();
    fileDialog("Select User-Performance file", kSysExFilters, dir(), path("PF_GrandPno.SYX"));
    script.push_back([&](QDialog& d) {
        auto* c = dynamic_cast<TUserPerfSelectWindow*>(&d);
        EXPECT_NE(c, nullptr);
        if (!c) return 0;
        EXPECT_EQ(c->selectedRow(), 9);
        EXPECT_EQ(c->UserPerfSelect->item(9)->text(), row9);
        EXPECT_TRUE(row9.startsWith("010"));
        EXPECT_EQ(c->topRow(), 9);
        c->userPerfOkClick();
        return c->result();
    });
    w->MenuBulkSinglePerfSynth->trigger();

    const auto sent = sentLong();
    ASSERT_EQ(sent.size(), 7u);
    const std::array<std::array<int, 3>, 7> addresses{
        {{0x70, 9, 0x00}, {0x70, 9, 0x30}, {0x70, 9, 0x50}, {0x71, 9, 0}, {0x72, 9, 0}, {0x73, 9, 0}, {0x74, 9, 0}}};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const auto expected = r.message(i);
        EXPECT_EQ(sent[static_cast<std::size_t>(i)].size(), expected.size());
        EXPECT_EQ(addressOf(sent[static_cast<std::size_t>(i)]), addresses[static_cast<std::size_t>(i)]);
        // Data bytes exactly as in the file; checksum recomputed, no bit 7 set.
        EXPECT_TRUE(
            std::equal(expected.begin() + 9, expected.end() - 2, sent[static_cast<std::size_t>(i)].begin() + 9));
        for (std::size_t k = 1; k + 1 < sent[static_cast<std::size_t>(i)].size(); ++k)
            EXPECT_LT(sent[static_cast<std::size_t>(i)][k], 0x80);
    }
    EXPECT_EQ(w->UserPerf->item(9)->text(), row9); // the list is not changed
    EXPECT_EQ(ctx->settings.LastDir, dir());
}

TEST_F(TransfersWindow, SaveBeforeAnyUserPerformanceWritesNumber0AndOpenRestoresTheImage) {
    ASSERT_EQ(ctx->model.ActiveUserPerf, -1);
    PerformanceImage& image = ctx->model.image;
    image.setData(Block::Effect, 21, 0x11);
    image.setData(Block::Effect, 22, 0x22);
    image.setData(Block::Effect, 3, 0x05);
    image.setLayerData(2, 19, 88);
    const PerformanceImage saved = image;
    const std::string target = (dir_ / "sub").string();
    std::filesystem::create_directories(target);
    fileDialog("Save actual Performance as ...", kSysExFilters, dir(), target + "/mine.syx",
               proposedSaveName(image.message(Block::Common)));
    w->MenuFileSaveActPerf->trigger();
    EXPECT_TRUE(platform.sent.empty());
    const Bytes file = readBytes(target + "/mine.SYX");
    ASSERT_EQ(file.size(), 317u);
    for (int offset : {7, 64, 96, 116, 168, 220, 272}) EXPECT_EQ(file[static_cast<std::size_t>(offset)], 0) << offset;
    EXPECT_EQ(ctx->settings.LastDir, target);

    // Edit the image, then open the file again: the image comes back, effect
    // bytes 21 and 22 at 0, and the seven current blocks go out.
    image.setLayerData(2, 19, 5);
    image.setData(Block::Common, 0, 'X');
    fileDialog("Select User-Performance file", kSysExFilters, target, target + "/mine.SYX");
    w->MenuFileOpenActPerf->trigger();
    PerformanceImage expected = saved;
    expected.setData(Block::Effect, 21, 0);
    expected.setData(Block::Effect, 22, 0);
    for (Block b : {Block::Common, Block::Effect, Block::Controller}) {
        const auto got = image.message(b);
        const auto want = expected.message(b);
        EXPECT_TRUE(std::equal(want.begin() + 9, want.end() - 2, got.begin() + 9));
    }
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(image.layerData(layer, 19), expected.layerData(layer, 19));
    const auto sent = sentLong();
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(addressOf(sent[0]), (std::array<int, 3>{0x60, 0, 0x00}));
    EXPECT_EQ(addressOf(sent[1]), (std::array<int, 3>{0x60, 0, 0x30}));
    ASSERT_EQ(sent[1].size(), 34u);
    EXPECT_EQ(sent[1][30], 0);
    EXPECT_EQ(sent[1][31], 0);
    EXPECT_EQ(addressOf(sent[2]), (std::array<int, 3>{0x60, 0, 0x50}));
    for (int layer = 1; layer <= 4; ++layer)
        EXPECT_EQ(addressOf(sent[static_cast<std::size_t>(2 + layer)]), (std::array<int, 3>{0x60, layer, 0}));
}

TEST_F(TransfersWindow, AFileThatCannotBeWrittenIsReportedAndNothingIsSaved) {
    const std::string missing = (dir_ / "no-such-dir").string();
    fileDialog("Save actual Performance as ...", kSysExFilters, dir(), missing + "/perf.SYX");
    w->MenuFileSaveActPerf->trigger();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("perf.SYX"), std::string::npos) << notifier.messages[0];
    fileDialog("Save Performance-names as ...", kNameFilters, dir(), missing + "/names");
    const std::string listBefore = ctx->settings.PerfListFile;
    w->MenuFileSavePerfNames->trigger();
    EXPECT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(ctx->settings.PerfListFile, listBefore); // not named as saved
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(TransfersWindow, SaveToSynthSendsTheImageIntoTheChosenPerformance) {
    ctx->model.ActiveUserPerf = 2;
    ctx->model.PerfModified = true;
    chooser("Select dest.-Perf", "Send", 2, 2, 3);
    w->SaveToSynth->click();
    const auto sent = sentLong();
    ASSERT_EQ(sent.size(), 7u);
    const PerformanceRecord expected = makeRecordFromImage(ctx->model.image, 3);
    for (int i = 0; i < 7; ++i) {
        const auto want = expected.message(i);
        EXPECT_EQ(Bytes(want.begin(), want.end()), sent[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(ctx->model.PerfModified);
    EXPECT_EQ(ctx->model.ActiveUserPerf, 2);
    EXPECT_EQ(w->UserPerf->item(3)->text().toStdString(), PerformanceLine(expected));
}

TEST_F(TransfersWindow, CommandsNeedingTheOutputDoNothingWhileItIsClosed) {
    ctx->devices.CloseMidiOut();
    platform.sent.clear();
    w->SaveToSynth->click();
    w->MenuBulkSinglePerfSynth->trigger();
    w->MenuBulkPerfNames->trigger();
    w->MenuBulkAllPerfHD->trigger(); // would never end without answers
    chooser("Select Dest", "Request", -1, 0, 5);
    w->MenuBulkSinglePerfHD->trigger();
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_FALSE(w->transfers.transferRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TransfersWindow, EmptyBankLightsAndResetsTheLampAndEndsWithOk) {
    writeBytes(path("empty.PFB"), test::bytesOf("Patchsmith PFB"));
    QColor during;
    bool progressShown = false;
    fileDialog("Select Performance-bank file", kBankFilters, dir(), path("empty.PFB"));
    QTimer::singleShot(0, w.get(), [&] {
        during = w->MidiOutLED->color();
        auto* p = w->findChild<QProgressDialog*>("BankSendProgress");
        progressShown = p && p->isVisible();
    });
    w->MenuBulkPerfBankSynth->trigger();
    EXPECT_EQ(during, TMainWindow::kLampOn);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(w->MidiOutLED->color(), TMainWindow::kLampOff);
    EXPECT_EQ(w->StatusLabel->text(), "OK");
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(w->UserPerf->updatesEnabled());
    EXPECT_EQ(w->findChild<QProgressDialog*>("BankSendProgress"), nullptr);
}

TEST_F(TransfersWindow, BankWithDuplicateNumbersSendsTwiceShowsProgressAndTheLaterLine) {
    Bytes bank = test::bytesOf("Patchsmith PFB");
    const PerformanceRecord first = test::makeRecord(5, 1, "First", 1);
    const PerformanceRecord second = test::makeRecord(5, 4, "Second", 2);
    const PerformanceRecord third = test::makeRecord(7, 5, "Third", 3);
    for (const auto* r : {&first, &second, &third}) test::append(bank, *r);
    writeBytes(path("dup.PFB"), bank);
    w->UserPerf->setCurrentRow(40);

    fileDialog("Select Performance-bank file", kBankFilters, dir(), path("dup.PFB"));
    std::vector<int> progressValues;
    std::vector<QString> statuses;
    int maximum = 0;
    int clicks = 0;
    // The output lamp stays lit from the first record to the end: lime, and
    // no timer running that would put it out between records.
    bool lampSteady = true;
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The progress window follows the records while the send runs, and
    // input to the main window stays blocked meanwhile (a click on the
    // button would open the chooser, which is not in the script).
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* p = w->findChild<QProgressDialog*>("BankSendProgress")) {
            if (clicks++ == 0) {
                // Through the window system, as a user's click comes.
                const QPoint at = w->SaveToSynth->mapTo(w.get(), w->SaveToSynth->rect().center());
                QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            }
            maximum = p->maximum();
            lampSteady = lampSteady && w->MidiOutLED->color() == TMainWindow::kLampOn && !w->MidiOutTimer->isActive();
            if (progressValues.empty() || progressValues.back() != p->value()) progressValues.push_back(p->value());
        }
        if (statuses.empty() || statuses.back() != w->StatusLabel->text()) statuses.push_back(w->StatusLabel->text());
    });
    poll.start(0);
    w->MenuBulkPerfBankSynth->trigger();
    poll.stop();

    const auto sent = sentLong();
    ASSERT_EQ(sent.size(), 21u);
    const std::array<const PerformanceRecord*, 3> order{&first, &second, &third};
    for (std::size_t i = 0; i < 21; ++i) {
        const PerformanceRecord& r = *order[i / 7];
        const auto want = r.message(static_cast<int>(i % 7));
        EXPECT_EQ(sent[i][7], r.recordNumber()) << i;
        EXPECT_TRUE(std::equal(want.begin() + 9, want.end() - 2, sent[i].begin() + 9)) << i;
    }
    EXPECT_EQ(w->UserPerf->item(5)->text().toStdString(), PerformanceLine(second));
    EXPECT_EQ(w->UserPerf->item(7)->text().toStdString(), PerformanceLine(third));
    EXPECT_EQ(w->UserPerf->currentRow(), -1);
    EXPECT_EQ(maximum, 3);
    EXPECT_GT(clicks, 0);
    EXPECT_TRUE(lampSteady);
    EXPECT_TRUE(seen.size() == 1u && seen[0].className == "QFileDialog"); // no chooser opened
    // The same click after the send reaches the button.
    chooser("Select dest.-Perf", "Send", -1, 0, -2, false);
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      w->SaveToSynth->mapTo(w.get(), w->SaveToSynth->rect().center()));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_THAT(progressValues, ::testing::Contains(1));
    EXPECT_THAT(statuses, ::testing::Contains(QString("Transferring Performance #6 : GT Second")));
    EXPECT_THAT(statuses, ::testing::Contains(QString("Transferring Performance #8 : BA Third")));
    EXPECT_EQ(w->StatusLabel->text(), "OK");
    EXPECT_EQ(w->MidiOutLED->color(), TMainWindow::kLampOff);
}

TEST_F(TransfersWindow, DamagedBankFilesAreReportedAndSendNothing) {
    Bytes shortFile = test::bytesOf("Patchsmith PFB");
    shortFile.resize(20, 0);
    writeBytes(path("short.PFB"), shortFile);
    writeBytes(path("case.PFB"), test::bytesOf("patchsmith PFB"));
    Bytes high = test::bytesOf("Patchsmith PFB");
    test::append(high, test::makeRecord(200, 30, "Broken"));
    writeBytes(path("high.PFB"), high);
    fileDialog("Select Performance-bank file", kBankFilters, dir(), path("short.PFB"));
    w->MenuBulkPerfBankSynth->trigger();
    fileDialog("Select Performance-bank file", kBankFilters, dir(), path("case.PFB"));
    w->MenuBulkPerfBankSynth->trigger();
    const QString last = w->UserPerf->item(127)->text();
    fileDialog("Select Performance-bank file", kBankFilters, dir(), path("high.PFB"));
    w->MenuBulkPerfBankSynth->trigger();
    ASSERT_GE(notifier.messages.size(), 2u);
    EXPECT_EQ(notifier.messages[0], "Load-Error : Wrong filesize");
    EXPECT_EQ(notifier.messages[1], "Load-Error : Not a valid Performance-bank file");
    EXPECT_EQ(w->UserPerf->count(), 128);
    EXPECT_EQ(w->UserPerf->item(127)->text(), last);
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(TransfersWindow, NamesSavedWithoutExtensionBecomeTheListFileAndReloadAs128Rows) {
    w->UserPerf->item(0)->setText("001  PF Mine");
    fileDialog("Save Performance-names as ...", kNameFilters, dir(), path("names"));
    w->MenuFileSavePerfNames->trigger();
    EXPECT_EQ(ctx->settings.PerfListFile, path("names.PFN"));
    const Bytes file = readBytes(path("names.PFN"));
    const std::string text(file.begin(), file.end());
    EXPECT_EQ(text.rfind("001  PF Mine\r\n", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 128);

    // A list file of 3 lines still leaves 128 rows.
    writeBytes(path("short.pfn"), test::bytesOf("001  A\r\n002  B\r\n003  C\r\n"));
    fileDialog("Select Performance-name file", kNameFilters, dir(), path("short.pfn"));
    w->MenuFileOpenPerfNames->trigger();
    EXPECT_EQ(w->UserPerf->count(), 128);
    EXPECT_EQ(w->UserPerf->item(2)->text(), "003  C");
    EXPECT_EQ(ctx->settings.PerfListFile, path("short.pfn"));
    // Writing entry 127 afterwards stays inside the list.
    w->setUserPerfRow(127, "128  CO Last");
    EXPECT_EQ(w->UserPerf->item(127)->text(), "128  CO Last");
}

TEST_F(TransfersWindow, AllPerformancesToABankFileWrite40590BytesAndSetPerfBankDir) {
    const auto synth = synthBank();
    const std::string banks = (dir_ / "banks").string();
    std::filesystem::create_directories(banks);
    twoChoices(1);
    fileDialog("Save Performance-bank as ...", kBankFilters, dir(), banks + "/all");
    w->MenuBulkAllPerfHD->trigger();
    EXPECT_EQ(ctx->settings.PerfBankDir, banks);
    ASSERT_TRUE(w->transfers.transferRunning());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    // While it runs, a second transfer is refused and file commands keep to
    // their own files.
    answerRequests(synth, 20);
    w->MenuBulkAllPerfHD->trigger();
    fileDialog("Save actual Performance as ...", kSysExFilters, dir(), banks + "/other");
    w->MenuFileSaveActPerf->trigger();
    answerRequests(synth);
    EXPECT_FALSE(w->transfers.transferRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const Bytes file = readBytes(banks + "/all.PFB");
    ASSERT_EQ(file.size(), 40590u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 14), "Patchsmith PFB");
    for (int n = 0; n < 128; ++n) {
        const auto want = synth[static_cast<std::size_t>(n)].bytes();
        EXPECT_TRUE(std::equal(want.begin(), want.end(), file.begin() + 14 + 317 * n)) << n;
    }
    EXPECT_EQ(readBytes(banks + "/other.SYX").size(), 317u);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(TransfersWindow, AllPerformancesAsSysExFilesKeepTwinsWithTheSameName) {
    const auto synth = synthBank(true);
    const std::string target = (dir_ / "syx").string();
    std::filesystem::create_directories(target);
    twoChoices(2);
    pathWindow(target);
    w->MenuBulkAllPerfHD->trigger();
    EXPECT_EQ(ctx->settings.LastDir, target);
    answerRequests(synth);
    EXPECT_FALSE(w->transfers.transferRunning());
    std::vector<Bytes> files;
    for (const auto& e : std::filesystem::directory_iterator(target)) {
        EXPECT_LE(e.path().filename().string().size(), 15u) << e.path();
        files.push_back(readBytes(e.path().string()));
    }
    ASSERT_EQ(files.size(), 128u);
    // The names hold a path: every file still lands in the chosen directory.
    EXPECT_EQ(entries(), std::vector<std::string>{"syx"});
    std::set<int> numbers;
    for (const Bytes& f : files) {
        ASSERT_EQ(f.size(), 317u);
        numbers.insert(f[7]);
    }
    EXPECT_EQ(numbers.size(), 128u);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(TransfersWindow, ATimeOutWindsUpTheBankTransferWithCompleteRecordsOnly) {
    const auto synth = synthBank();
    twoChoices(1);
    fileDialog("Save Performance-bank as ...", kBankFilters, dir(), path("part.PFB"));
    w->MenuBulkAllPerfHD->trigger();
    answerRequests(synth, 7 * 2 + 3); // two performances and three blocks of the third
    ASSERT_TRUE(w->transfers.transferRunning());
    w->dispatcher.requestTimeout();
    EXPECT_FALSE(w->transfers.transferRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_FALSE(notifier.messages.empty());
    EXPECT_EQ(notifier.messages.front(), "MIDI-Data receive-timeout!");
    const Bytes file = readBytes(path("part.PFB"));
    EXPECT_EQ(file.size(), 14u + 2u * 317u);
    // A late answer starts nothing.
    const auto block = synth[2].message(3);
    const std::size_t before = platform.sent.size();
    platform.injectSysEx(Bytes(block.begin(), block.end()));
    EXPECT_EQ(platform.sent.size(), before);
    EXPECT_EQ(readBytes(path("part.PFB")).size(), 14u + 2u * 317u);
}

TEST_F(TransfersWindow, ATransferToDiskReplacesAStalledNamesFetchAndRefusesANewOne) {
    const auto synth = synthBank();
    w->MenuBulkPerfNames->trigger();
    ASSERT_TRUE(w->dispatcher.ReceivingAllNames);
    for (int n = 0; n < 3; ++n) {
        const auto common = synth[static_cast<std::size_t>(n)].message(0);
        platform.injectSysEx(Bytes(common.begin(), common.end()));
    }
    w->dispatcher.requestTimeout(); // the fourth name never comes
    notifier.messages.clear();
    const QString row3 = w->UserPerf->item(3)->text();

    twoChoices(1);
    fileDialog("Save Performance-bank as ...", kBankFilters, dir(), path("taken.PFB"));
    w->MenuBulkAllPerfHD->trigger();
    EXPECT_FALSE(w->dispatcher.ReceivingAllNames);
    EXPECT_EQ(platform.longMessages().back(), (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x70, 0x00, 0x00, 0xF7}));
    answerRequests(synth, 7 * 4 + 1);
    // A names request now would move the transfer to another performance.
    const std::size_t before = platform.sent.size();
    w->MenuBulkPerfNames->trigger();
    EXPECT_EQ(platform.sent.size(), before);
    EXPECT_FALSE(w->dispatcher.ReceivingAllNames);
    w->dispatcher.requestTimeout();

    EXPECT_EQ(w->UserPerf->item(3)->text(), row3); // the transfer's answers are no names
    const Bytes file = readBytes(path("taken.PFB"));
    ASSERT_EQ(file.size(), 14u + 4u * 317u);
    for (int n = 0; n < 4; ++n) {
        const auto want = synth[static_cast<std::size_t>(n)].bytes();
        EXPECT_TRUE(std::equal(want.begin(), want.end(), file.begin() + 14 + 317 * n)) << n;
    }
}

TEST_F(TransfersWindow, SinglePerformanceToDiskStoresOneSysExFileInTheChosenDirectory) {
    const auto synth = synthBank();
    chooser("Select Dest", "Request", -1, 0, 41);
    pathWindow(dir());
    w->MenuBulkSinglePerfHD->trigger();
    ASSERT_FALSE(platform.sent.empty());
    EXPECT_EQ(platform.longMessages().front(), (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x70, 41, 0x00, 0xF7}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // no busy cursor for a single one
    answerRequests(synth);
    const auto names = entries();
    ASSERT_EQ(names.size(), 1u);
    const Bytes file = readBytes(path(names[0]));
    const auto want = synth[41].bytes();
    ASSERT_EQ(file.size(), 317u);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), file.begin()));
}

} // namespace
