#include "StorageTestSupport.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "storage/BulkTransfers.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "support/Answers.h"
#include "support/ScriptedMidiPlatform.h"
#include "synth/VirtualMidiPlatform.h"

#include <gmock/gmock.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <numeric>
#include <thread>

using namespace patchsmith;
using patchsmith::test::RecordingNotifier;
using patchsmith::test::TempDirTest;
using Bytes = std::vector<Byte>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct FakeTransferUi : TransferUi {
    // Scripted answers of the dialogs.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<int>> chooserAnswers;
    std::deque<std::optional<std::string>> dirAnswers;
    int twoChoiceAnswer = 0;
    // Runs while the chooser is "open" and on every step of a bank send:
    // MIDI input goes on meanwhile.
    std::function<void()> whileChooserOpen;
    std::function<void()> whileBankSends;

    std::vector<std::string> log;
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::vector<std::string> rows = std::vector<std::string>(128, "row");
    std::vector<int> waits;
    int refreshes = 0;
    bool busy = false;
    int progressCalls = 0;

    void ShowStatus(const std::string& t) override { statuses.push_back(t); }
    void showMessage(const std::string& t) override { messages.push_back(t); }
    void setBusyCursor() override { busy = true; }
    void setNormalCursor() override { busy = false; }
    void selectUserPerfRow(int) override {}
    void setUserPerfRow(int r, const std::string& t) override { rows.at(static_cast<std::size_t>(r)) = t; }
    void ShowPerformance() override { ++refreshes; }
    void HandleSynthKnob(int, int) override {}
    void startRequestTimer(int) override {}
    void stopRequestTimer() override {}
    void wait(int ms) override { waits.push_back(ms); }

    std::optional<std::string> openFileDialog(const std::string& title, const std::string& filter,
                                              const std::string& dir) override {
        log.push_back("open " + title + " | " + filter + " | " + dir);
        auto a = openAnswers.empty() ? std::nullopt : openAnswers.front();
        if (!openAnswers.empty()) openAnswers.pop_front();
        return a;
    }
    std::optional<std::string> saveFileDialog(const std::string& title, const std::string& filter,
                                              const std::string& dir,
                                              const std::optional<std::string>& proposed) override {
        // "(kept)": the dialog keeps the name it showed last.
        log.push_back("save " + title + " | " + filter + " | " + dir + " | " + proposed.value_or("(kept)"));
        auto a = saveAnswers.empty() ? std::nullopt : saveAnswers.front();
        if (!saveAnswers.empty()) saveAnswers.pop_front();
        return a;
    }
    std::optional<int> chooseUserPerf(const std::string& caption, const std::string& ok, int selected) override {
        log.push_back("choose " + caption + " | " + ok + " | " + std::to_string(selected));
        if (whileChooserOpen) whileChooserOpen();
        auto a = chooserAnswers.empty() ? std::nullopt : chooserAnswers.front();
        if (!chooserAnswers.empty()) chooserAnswers.pop_front();
        return a;
    }
    bool ChooseLastDir(std::string& lastDir) override {
        log.push_back("dir " + lastDir);
        auto a = dirAnswers.empty() ? std::nullopt : dirAnswers.front();
        if (!dirAnswers.empty()) dirAnswers.pop_front();
        if (!a) return false;
        lastDir = *a;
        return true;
    }
    int AskTwoChoices(const std::string& text, const std::string& a, const std::string& b) override {
        log.push_back("ask " + text + " | " + a + " | " + b);
        return twoChoiceAnswer;
    }
    std::vector<std::string> userPerfRows() override { return rows; }
    void setUserPerfRows(const std::vector<std::string>& r) override { rows = r; }
    void beginBankSend(int) override {
        log.push_back("begin bank");
        busy = true;
    }
    void bankSendProgress(int, const std::string& status) override {
        ++progressCalls;
        statuses.push_back(status);
        if (whileBankSends) whileBankSends();
    }
    void endBankSend() override {
        log.push_back("end bank");
        busy = false;
    }
};

// A program with the transfer commands wired as the window wires them.
template <class Platform>
struct Rig {
    Platform& platform;
    RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    FakeTransferUi ui;
    ReceiveDispatcher dispatcher;
    std::string lastDir, bankDir, listFile;
    BulkTransfers transfers;

    explicit Rig(Platform& p, const std::string& dir)
        : platform(p), devices(p, notifier), link(model, devices), dispatcher(link, ui), lastDir(dir), bankDir(dir),
          transfers(link, dispatcher, ui, notifier, TransferPaths{lastDir, bankDir, listFile}) {
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { dispatcher.AppMessage(e); };
        dispatcher.DiskTransferStep = [this] { transfers.DiskTransferStep(); };
        dispatcher.onTimeoutReported = [this] {
            if (transfers.transferRunning()) transfers.windUp("No answer from the CS1x.");
        };
        model.fillDefaults();
    }
};

class ScriptedTransfers : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        platform.inputs = {"In"};
        platform.outputs = {"Out"};
        rig = std::make_unique<Rig<midi::ScriptedMidiPlatform>>(platform, dir_.string());
        rig->devices.MidiInDeviceName = "In";
        rig->devices.MidiOutDeviceName = "Out";
        rig->devices.InitMidiDevices();
        platform.sent.clear();
    }
    std::vector<Bytes> sent() const { return platform.longMessages(); }

    midi::ScriptedMidiPlatform platform;
    std::unique_ptr<Rig<midi::ScriptedMidiPlatform>> rig;
};

unsigned sumMod128(const Bytes& m) { return std::accumulate(m.begin() + 4, m.end() - 1, 0u) % 128; }

// The seven messages of a record as they go out to user performance `n`:
// renumbered, device 0, a fresh checksum.
std::vector<Bytes> sentAs(const PerformanceRecord& record, int n) {
    std::vector<Bytes> out;
    for (int i = 0; i < 7; ++i) {
        const auto m = record.message(i);
        Bytes b(m.begin(), m.end());
        b[2] = 0x00;
        b[7] = static_cast<Byte>(n);
        b[b.size() - 2] = 0;
        b[b.size() - 2] = static_cast<Byte>((128 - sumMod128(b)) % 128);
        out.push_back(b);
    }
    return out;
}

Bytes namesAnswer(int k, const std::string& name) {
    Bytes common = test::bulkAnswer(12, 0x20, k);
    std::copy(name.begin(), name.end(), common.begin() + 9);
    return common;
}

} // namespace

TEST_F(ScriptedTransfers, SingleSysExFileGoesToTheChosenUserPerformanceWithItsNumberOffered) {
    const PerformanceRecord rec = test::makeRecord(9, 1, "GrandPno");
    test::writeBytes(path("PF_GrandPno.SYX"), Bytes(rec.bytes().begin(), rec.bytes().end()));
    rig->ui.openAnswers = {path("PF_GrandPno.SYX")};
    rig->ui.chooserAnswers = {9};
    rig->transfers.MenuBulkSinglePerfSynthClick();
    EXPECT_THAT(rig->ui.log,
                ElementsAre("open Select User-Performance file | " + std::string(kSysExFilter) + " | " + dir_.string(),
                            "choose Select dest. Perf | Send | 9"));
    const auto msgs = sent();
    ASSERT_EQ(msgs.size(), 7u);
    const std::vector<int> lengths{57, 32, 20, 52, 52, 52, 52};
    const std::vector<Byte> highs{0x70, 0x70, 0x70, 0x71, 0x72, 0x73, 0x74};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(static_cast<int>(msgs[i].size()), lengths[i]);
        EXPECT_EQ(msgs[i][6], highs[i]);
        EXPECT_EQ(msgs[i][7], 9);
        EXPECT_EQ(sumMod128(msgs[i]), 0u);
    }
    EXPECT_THAT(rig->ui.waits, ElementsAre(10, 10, 10, 10, 10, 10));
    EXPECT_EQ(rig->ui.rows[9], "row"); // the list is not changed
}

TEST_F(ScriptedTransfers, ChooserConfirmedWithoutEntryOrClosedOutputSendsNothing) {
    const PerformanceRecord rec = test::makeRecord(3, 1, "Piano");
    test::writeBytes(path("a.SYX"), Bytes(rec.bytes().begin(), rec.bytes().end()));
    rig->ui.openAnswers = {path("a.SYX")};
    rig->ui.chooserAnswers = {std::nullopt};
    rig->transfers.MenuBulkSinglePerfSynthClick();
    rig->ui.chooserAnswers = {std::nullopt};
    rig->transfers.SaveToSynthClick();
    EXPECT_TRUE(sent().empty());
    rig->devices.CloseMidiOut();
    rig->ui.log.clear();
    rig->transfers.MenuBulkSinglePerfSynthClick();
    rig->transfers.SaveToSynthClick();
    EXPECT_THAT(rig->ui.log, IsEmpty()); // not even a dialog
}

TEST_F(ScriptedTransfers, SaveChangesSendsTheImageAndClearsModified) {
    rig->model.ActiveUserPerf = 4;
    rig->model.PerfModified = true;
    rig->model.image.setData(Block::Effect, 21, 99); // has no place in a user performance
    rig->ui.chooserAnswers = {7};
    rig->transfers.SaveToSynthClick();
    EXPECT_EQ(rig->ui.log.back(), "choose Select dest.-Perf | Send | 4");
    const auto msgs = sent();
    ASSERT_EQ(msgs.size(), 7u);
    EXPECT_EQ(msgs[1].size(), 32u);
    for (const auto& m : msgs) EXPECT_EQ(m[7], 7);
    EXPECT_FALSE(rig->model.PerfModified);
    EXPECT_EQ(rig->model.ActiveUserPerf, 4);
    EXPECT_EQ(rig->ui.rows[7], "008  --   InitPerf");
}

TEST_F(ScriptedTransfers, OpenActualPerformanceLoadsSendsSevenBlocksAndRefreshes) {
    PerformanceRecord rec = test::makeRecord(2, 5, "BassLine");
    test::writeBytes(path("BA_BassLine.SYX"), Bytes(rec.bytes().begin(), rec.bytes().end()));
    rig->model.image.setData(Block::Effect, 21, 40);
    rig->model.image.setData(Block::Effect, 22, 40);
    rig->ui.openAnswers = {path("BA_BassLine.SYX")};
    rig->transfers.MenuFileOpenActPerfClick();
    const auto msgs = sent();
    ASSERT_EQ(msgs.size(), 7u);
    EXPECT_THAT(Bytes(msgs[1].begin() + 4, msgs[1].begin() + 9), ElementsAre(0x00, 0x17, 0x60, 0x00, 0x30));
    EXPECT_EQ(msgs[1].size(), 34u);
    EXPECT_EQ(msgs[1][9 + 21], 0);
    EXPECT_EQ(msgs[1][9 + 22], 0);
    EXPECT_EQ(msgs[6][7], 4);
    EXPECT_EQ(rig->model.image.data(Block::Common, 8), 5);
    EXPECT_THAT(rig->ui.waits, ElementsAre(10, 10, 10, 10, 10, 10));
    EXPECT_EQ(rig->ui.refreshes, 1);
    EXPECT_EQ(rig->lastDir, dir_.string());
}

TEST_F(ScriptedTransfers, SaveActualPerformanceWritesRecordZeroBeforeAnyUserPerformance) {
    rig->ui.saveAnswers = {path("mine")};
    rig->transfers.MenuFileSaveActPerfClick();
    EXPECT_EQ(rig->ui.log.back(), "save Save actual Performance as ... | " + std::string(kSysExFilter) + " | " +
                                      dir_.string() + " | --  _InitPerf.SYX");
    const Bytes file = test::readBytes(path("mine.SYX"));
    ASSERT_EQ(file.size(), 317u);
    for (int off : {7, 64, 96, 116, 168, 220, 272}) EXPECT_EQ(file[static_cast<std::size_t>(off)], 0) << off;
    EXPECT_TRUE(sent().empty());
}

TEST_F(ScriptedTransfers, FailedSaveIsReported) {
    test::writeBytes(path("plainfile"), {1, 2, 3});
    rig->ui.saveAnswers = {path("plainfile") + "/perf.SYX"};
    rig->transfers.MenuFileSaveActPerfClick();
    ASSERT_EQ(rig->ui.messages.size(), 1u);
    EXPECT_THAT(rig->ui.messages[0], ::testing::HasSubstr("Unable to save file"));
}

TEST_F(ScriptedTransfers, NamesFilesRoundTripAndTheListFileIsTheOneWritten) {
    for (int i = 0; i < 128; ++i) rig->ui.rows[static_cast<std::size_t>(i)] = threeDigits(i + 1) + "  PF Name";
    rig->ui.saveAnswers = {path("names")};
    rig->transfers.MenuFileSavePerfNamesClick();
    // No name is proposed, whatever the save dialog showed before.
    EXPECT_EQ(rig->ui.log.back(),
              "save Save Performance-names as ... | " + std::string(kNamesFilter) + " | " + dir_.string() + " | ");
    EXPECT_EQ(rig->listFile, path("names.PFN"));
    const Bytes file = test::readBytes(path("names.PFN"));
    EXPECT_EQ(file.size(), 128u * (12 + 2)); // "001  PF Name" and CR LF
    rig->ui.rows.assign(128, "x");
    rig->ui.openAnswers = {path("names.PFN")};
    rig->transfers.MenuFileOpenPerfNamesClick();
    EXPECT_EQ(rig->ui.rows[0], "001  PF Name");
    EXPECT_EQ(rig->ui.rows[127], "128  PF Name");
}

TEST_F(ScriptedTransfers, BankToSynthSendsEveryRecordPacedAndUpdatesTheList) {
    Bytes bank = test::bytesOf("Patchsmith PFB");
    test::append(bank, test::makeRecord(5, 1, "First"));
    test::append(bank, test::makeRecord(5, 2, "Second"));
    test::append(bank, test::makeRecord(127, 3, "Last"));
    test::writeBytes(path("b.PFB"), bank);
    rig->ui.openAnswers = {path("b.PFB")};
    rig->transfers.MenuBulkPerfBankSynthClick();
    const auto msgs = sent();
    ASSERT_EQ(msgs.size(), 21u);
    EXPECT_EQ(msgs[0][7], 5);
    EXPECT_EQ(msgs[7][7], 5);
    EXPECT_EQ(msgs[14][7], 127);
    EXPECT_EQ(msgs[20][6], 0x74);
    EXPECT_EQ(rig->ui.waits, std::vector<int>(21, 20));
    EXPECT_EQ(rig->ui.rows[5], "006  CP Second");
    EXPECT_EQ(rig->ui.rows[127], "128  OR Last");
    EXPECT_THAT(rig->ui.statuses,
                ElementsAre("Transferring Performance #6 : PF First", "Transferring Performance #6 : CP Second",
                            "Transferring Performance #128 : OR Last"));
    EXPECT_EQ(rig->ui.log.back(), "end bank");
    EXPECT_EQ(rig->ui.log.front(),
              "open Select Performance-bank file | " + std::string(kBankFilter) + " | " + dir_.string());
}

TEST_F(ScriptedTransfers, EmptyBankLightsAndResetsAndSendsNothing) {
    test::writeBytes(path("e.PFB"), test::bytesOf("Patchsmith PFB"));
    rig->ui.openAnswers = {path("e.PFB")};
    rig->transfers.MenuBulkPerfBankSynthClick();
    EXPECT_TRUE(sent().empty());
    EXPECT_THAT(rig->ui.log, ElementsAre(::testing::StartsWith("open "), "begin bank", "end bank"));
    EXPECT_FALSE(rig->ui.busy);
}

TEST_F(ScriptedTransfers, AllToDiskNeedsBothDevicesAndAChoice) {
    rig->devices.CloseMidiIn();
    rig->transfers.MenuBulkAllPerfHDClick();
    EXPECT_THAT(rig->ui.log, IsEmpty());
    rig->devices.OpenMidiIn(0);
    rig->ui.twoChoiceAnswer = 0;
    rig->transfers.MenuBulkAllPerfHDClick();
    EXPECT_THAT(rig->ui.log,
                ElementsAre("ask Please select the format to store the received\nBulk-data on your harddisk | "
                            "Perf.-bank | SysEx files"));
    EXPECT_TRUE(sent().empty());
    EXPECT_FALSE(rig->transfers.transferRunning());
}

TEST_F(ScriptedTransfers, TimeOutWindsUpABankTransferKeepingCompleteRecords) {
    rig->ui.twoChoiceAnswer = 1;
    rig->ui.saveAnswers = {path("sub/../bank")};
    std::filesystem::create_directories(dir_ / "sub");
    rig->transfers.MenuBulkAllPerfHDClick();
    // The bank's save dialog keeps the name it showed last.
    EXPECT_EQ(rig->ui.log.at(1),
              "save Save Performance-bank as ... | " + std::string(kBankFilter) + " | " + dir_.string() + " | (kept)");
    EXPECT_EQ(rig->bankDir, path("sub/.."));
    const PerformanceRecord rec = test::makeRecord(0, 1, "One");
    const PerformanceRecord rec2 = test::makeRecord(1, 1, "Two");
    // Performance 1 completely, then two blocks of performance 2.
    for (int i = 0; i < 9; ++i) {
        const auto m = (i < 7 ? rec : rec2).message(i % 7);
        platform.injectSysEx(Bytes(m.begin(), m.end()));
    }
    ASSERT_EQ(sent().size(), 10u);
    EXPECT_EQ(sent()[7], (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x70, 0x01, 0x00, 0xF7}));
    rig->dispatcher.requestTimeout();
    EXPECT_FALSE(rig->transfers.transferRunning());
    EXPECT_FALSE(rig->ui.busy);
    EXPECT_EQ(rig->link.PendingRequest, 0);
    ASSERT_EQ(rig->ui.messages.size(), 2u);
    EXPECT_EQ(rig->ui.messages[0], "MIDI-Data receive-timeout!");
    EXPECT_THAT(rig->ui.messages[1], ::testing::StartsWith("Transfer to disk stopped"));
    const Bytes file = test::readBytes(path("bank.PFB"));
    EXPECT_EQ(file.size(), 14u + 317u);
    // A late answer is not taken for a continuing transfer.
    const auto m = rec2.message(2);
    platform.injectSysEx(Bytes(m.begin(), m.end()));
    EXPECT_EQ(sent().size(), 10u);
}

TEST_F(ScriptedTransfers, WrongBlockSizeStopsASingleTransferWithoutAFile) {
    rig->ui.chooserAnswers = {4};
    rig->ui.dirAnswers = {dir_.string()};
    rig->transfers.MenuBulkSinglePerfHDClick();
    EXPECT_EQ(rig->ui.log.front(), "choose  | Request | -1");
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0], (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x70, 0x04, 0x00, 0xF7}));
    const PerformanceRecord rec = test::makeRecord(4, 1, "Four");
    const auto common = rec.message(0);
    platform.injectSysEx(Bytes(common.begin(), common.end()));
    platform.injectSysEx(test::bulkAnswer(13, 0x10, 4, 57)); // 57 bytes for the effect block
    EXPECT_FALSE(rig->transfers.transferRunning());
    EXPECT_EQ(rig->ui.messages.front(), "Receive-Error - Wrong blocksize");
    EXPECT_THAT(rig->ui.messages.back(), ::testing::StartsWith("Transfer to disk stopped"));
    EXPECT_THAT(entries(), IsEmpty());
}

// The in-process virtual CS1x answers on its own thread; the test thread is
// the GUI thread that handles the posted events.
namespace {

struct EventQueue {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::function<void()>> tasks;

    void post(std::function<void()> t) {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(t));
        }
        cv.notify_one();
    }
    // Runs posted tasks until `done` holds or nothing arrives for a while.
    bool pumpUntil(const std::function<bool()>& done) {
        for (;;) {
            if (done()) return true;
            std::function<void()> task;
            {
                std::unique_lock lock(mutex);
                if (!cv.wait_for(lock, std::chrono::seconds(5), [this] { return !tasks.empty(); })) return done();
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
    }
};

} // namespace

TEST_F(TempDirTest, AllUserPerformancesIntoABankAndBackIntoASecondSynth) {
    synth::VirtualMidiPlatform first;
    first.synth().withSynth([](synth::VirtualCs1x& s) {
        for (int n = 0; n < 128; ++n) {
            auto& perf = s.userPerformance(n);
            perf.layers[1][2] = static_cast<Byte>(n); // a voice per performance
            perf.controller[8] = static_cast<Byte>(127 - n);
        }
    });
    EventQueue queue;
    {
        Rig<synth::VirtualMidiPlatform> rig(first, dir_.string());
        rig.devices.postToGuiThread = [&](std::function<void()> t) { queue.post(std::move(t)); };
        rig.devices.MidiInDeviceName = rig.devices.MidiOutDeviceName = "Virtual CS1x";
        ASSERT_TRUE(rig.devices.InitMidiDevices());
        ASSERT_TRUE(queue.pumpUntil([&] { return rig.link.PendingRequest == 0; }));
        rig.ui.messages.clear();
        rig.ui.twoChoiceAnswer = 1;
        rig.ui.saveAnswers = {path("all")};
        rig.transfers.MenuBulkAllPerfHDClick();
        ASSERT_TRUE(queue.pumpUntil([&] { return !rig.transfers.transferRunning(); }));
        EXPECT_THAT(rig.ui.messages, IsEmpty());
        EXPECT_FALSE(rig.ui.busy);
    }
    const Bytes bankFile = test::readBytes(path("all.PFB"));
    ASSERT_EQ(bankFile.size(), 40590u);

    synth::VirtualMidiPlatform second;
    {
        Rig<synth::VirtualMidiPlatform> rig(second, dir_.string());
        rig.devices.postToGuiThread = [&](std::function<void()> t) { queue.post(std::move(t)); };
        rig.devices.MidiInDeviceName = rig.devices.MidiOutDeviceName = "Virtual CS1x";
        ASSERT_TRUE(rig.devices.InitMidiDevices());
        rig.ui.openAnswers = {path("all.PFB")};
        rig.transfers.MenuBulkPerfBankSynthClick();
        ASSERT_TRUE(second.waitIdle(std::chrono::seconds(20)));
        EXPECT_EQ(rig.ui.rows[127].substr(0, 5), "128  ");
    }
    const auto perfs = [](synth::VirtualMidiPlatform& p) {
        return p.synth().withSynth([](synth::VirtualCs1x& s) {
            std::vector<synth::PerformanceData> all;
            for (int n = 0; n < 128; ++n) all.push_back(s.userPerformance(n));
            return all;
        });
    };
    const auto a = perfs(first);
    const auto b = perfs(second);
    for (int n = 0; n < 128; ++n) EXPECT_TRUE(a[static_cast<std::size_t>(n)] == b[static_cast<std::size_t>(n)]) << n;
    EXPECT_EQ(b[77].layers[1][2], 77);
}

// Commands and chains that would overlap.

TEST_F(ScriptedTransfers, SingleFileToSynthSendsTheFilesBytesWhateverArrivesWhileChoosing) {
    PerformanceRecord rec = test::makeRecord(9, 4, "Guitar");
    rec.message(3)[20] = 0x55; // something of its own in layer 1
    test::writeBytes(path("GT_Guitar.SYX"), Bytes(rec.bytes().begin(), rec.bytes().end()));
    rig->ui.openAnswers = {path("GT_Guitar.SYX")};
    rig->ui.chooserAnswers = {3};
    // The names request runs and its answers land in the transfer buffer.
    rig->ui.whileChooserOpen = [&] {
        rig->dispatcher.requestAllNames();
        platform.injectSysEx(namesAnswer(0, "Other0"));
        platform.injectSysEx(namesAnswer(1, "Other1"));
    };
    rig->transfers.MenuBulkSinglePerfSynthClick();
    std::vector<Bytes> dumps;
    for (const Bytes& m : sent())
        if (m.size() > 8) dumps.push_back(m);
    EXPECT_EQ(dumps, sentAs(rec, 3));
}

TEST_F(ScriptedTransfers, ABankSendIsRefusedWhileATransferToDiskRuns) {
    rig->ui.twoChoiceAnswer = 1;
    rig->ui.saveAnswers = {path("bank")};
    rig->transfers.MenuBulkAllPerfHDClick();
    ASSERT_TRUE(rig->transfers.transferRunning());
    rig->ui.log.clear();
    rig->transfers.MenuBulkPerfBankSynthClick();
    rig->transfers.SaveToSynthClick();
    rig->transfers.MenuBulkSinglePerfSynthClick();
    rig->transfers.MenuBulkPerfNamesClick();
    EXPECT_THAT(rig->ui.log, IsEmpty()); // not even a dialog
    EXPECT_EQ(sent().size(), 1u);        // the transfer's first request only
    EXPECT_THAT(rig->ui.statuses, ElementsAre("Busy: transfer to disk running", "Busy: transfer to disk running",
                                              "Busy: transfer to disk running", "Busy: transfer to disk running"));
    EXPECT_TRUE(rig->transfers.transferRunning());
}

TEST_F(ScriptedTransfers, NothingElseGoesOutDuringABankSend) {
    Bytes bank = test::bytesOf("Patchsmith PFB");
    test::append(bank, test::makeRecord(1, 1, "First"));
    test::append(bank, test::makeRecord(2, 2, "Second"));
    test::writeBytes(path("b.PFB"), bank);
    // A names request runs when the send starts; during the send its late
    // answer arrives and the synth switches program.
    rig->dispatcher.requestAllNames();
    rig->ui.whileBankSends = [&] {
        platform.injectSysEx(namesAnswer(0, "Late"));
        platform.injectShort(0xC0, 6, 0);
    };
    platform.sent.clear();
    rig->ui.openAnswers = {path("b.PFB")};
    rig->transfers.MenuBulkPerfBankSynthClick();
    ASSERT_EQ(platform.sent.size(), 14u);
    for (const auto& m : platform.sent) EXPECT_EQ(m.bytes.size() > 8 && m.bytes[2] == 0x00, true);
    EXPECT_FALSE(rig->dispatcher.ReceivingAllNames);
    EXPECT_FALSE(rig->dispatcher.ReceivingCurrentPerf);
    EXPECT_FALSE(rig->dispatcher.sendingBank);
    EXPECT_EQ(rig->model.ActiveUserPerf, -1);
    EXPECT_EQ(rig->ui.rows[0], "row");
}

TEST_F(ScriptedTransfers, OpeningAPerformanceEndsAFetchWhoseLateAnswersAreIgnored) {
    const PerformanceRecord rec = test::makeRecord(2, 5, "BassLine");
    test::writeBytes(path("BA_BassLine.SYX"), Bytes(rec.bytes().begin(), rec.bytes().end()));
    rig->dispatcher.FetchCurrentPerformance();
    platform.injectSysEx(test::bulkAnswer(5, 0x11));
    rig->ui.openAnswers = {path("BA_BassLine.SYX")};
    rig->transfers.MenuFileOpenActPerfClick();
    const PerformanceImage opened = rig->model.image;
    EXPECT_EQ(opened.data(Block::Common, 8), 5);
    for (int kind = 6; kind <= 11; ++kind) platform.injectSysEx(test::bulkAnswer(kind, 0x12));
    EXPECT_EQ(rig->model.image, opened);
    EXPECT_EQ(rig->ui.refreshes, 1);
}

TEST_F(ScriptedTransfers, OpeningANameListEndsTheNamesRequest) {
    std::string text;
    for (int i = 0; i < 128; ++i) text += threeDigits(i + 1) + "  PF Listed\r\n";
    test::writeBytes(path("n.PFN"), test::bytesOf(text));
    rig->dispatcher.requestAllNames();
    platform.injectSysEx(namesAnswer(0, "Received"));
    rig->ui.openAnswers = {path("n.PFN")};
    rig->transfers.MenuFileOpenPerfNamesClick();
    platform.injectSysEx(namesAnswer(1, "Late"));
    EXPECT_EQ(rig->ui.rows[1], "002  PF Listed");
    EXPECT_FALSE(rig->dispatcher.ReceivingAllNames);
}
