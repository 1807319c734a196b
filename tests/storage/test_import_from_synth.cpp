// The import against the program's own transfers from the virtual CS1x: a
// raw dump of the 128 user performances, and the same dump inside a MIDI
// file, must give the bank file that "All User-Performances (to HD)" writes
// from the same instrument; the current performance's dump must give the
// record that saving the fetched performance writes.

#include "../support/EventQueue.h"
#include "MidiFileBuilder.h"
#include "StorageTestSupport.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "storage/BulkTransfers.h"
#include "storage/DumpImport.h"
#include "storage/PerformanceBank.h"
#include "synth/VirtualMidiPlatform.h"

#include <gmock/gmock.h>

#include <deque>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::IsEmpty;

namespace {

// Dialogs answered from queues; everything else is recorded or ignored.
struct ScriptedUi : TransferUi {
    std::deque<std::optional<std::string>> saveAnswers;
    int twoChoiceAnswer = 0;
    std::vector<std::string> messages;
    bool busy = false;
    int refreshes = 0;

    void ShowStatus(const std::string&) override {}
    void showMessage(const std::string& t) override { messages.push_back(t); }
    void setBusyCursor() override { busy = true; }
    void setNormalCursor() override { busy = false; }
    void selectUserPerfRow(int) override {}
    void setUserPerfRow(int, const std::string&) override {}
    void ShowPerformance() override { ++refreshes; }
    void HandleSynthKnob(int, int) override {}
    void startRequestTimer(int) override {}
    void stopRequestTimer() override {}
    void wait(int) override {}
    std::optional<std::string> openFileDialog(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFileDialog(const std::string&, const std::string&, const std::string&,
                                              const std::optional<std::string>&) override {
        if (saveAnswers.empty()) return std::nullopt;
        auto a = saveAnswers.front();
        saveAnswers.pop_front();
        return a;
    }
    std::optional<int> chooseUserPerf(const std::string&, const std::string&, int) override { return std::nullopt; }
    bool ChooseLastDir(std::string&) override { return false; }
    int AskTwoChoices(const std::string&, const std::string&, const std::string&) override { return twoChoiceAnswer; }
    std::vector<std::string> userPerfRows() override { return std::vector<std::string>(128); }
    void setUserPerfRows(const std::vector<std::string>&) override {}
    void beginBankSend(int) override {}
    void bankSendProgress(int, const std::string&) override {}
    void endBankSend() override {}
};

// The program's transfer commands over the in-process virtual CS1x.
struct Program {
    RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    ScriptedUi ui;
    ReceiveDispatcher dispatcher;
    std::string lastDir, bankDir, listFile;
    BulkTransfers transfers;

    Program(synth::VirtualMidiPlatform& platform, EventQueue& queue, const std::string& dir)
        : devices(platform, notifier), link(model, devices), dispatcher(link, ui), lastDir(dir), bankDir(dir),
          transfers(link, dispatcher, ui, notifier, TransferPaths{lastDir, bankDir, listFile}) {
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { dispatcher.AppMessage(e); };
        devices.postToGuiThread = [&queue](std::function<void()> t) { queue.post(std::move(t)); };
        dispatcher.DiskTransferStep = [this] { transfers.DiskTransferStep(); };
        model.fillDefaults();
        devices.MidiInDeviceName = devices.MidiOutDeviceName = synth::VirtualMidiPlatform::kDeviceName;
    }
};

// Every user performance different in name, category and data, and the
// edit buffer different from all of them.
void varySynth(synth::VirtualCs1x& s) {
    for (int n = 0; n < 128; ++n) {
        auto& p = s.userPerformance(n);
        p.setName("Perf" + std::to_string(n));
        p.common[8] = static_cast<Byte>(n % 23);
        p.common[9] = static_cast<Byte>(127 - n);
        p.effect[6] = static_cast<Byte>(n);
        for (int l = 0; l < 4; ++l) p.layers[static_cast<std::size_t>(l)][2] = static_cast<Byte>((n + l * 31) % 128);
        p.controller[8] = static_cast<Byte>(n / 2);
    }
    auto& e = s.editBuffer();
    e.setName("EditBuf");
    e.common[8] = 11;
    e.effect[20] = 17;
    e.effect[21] = 90; // variation sends of the edit buffer
    e.effect[22] = 91;
    e.layers[2][7] = 55;
}

std::vector<Address> userBlocks(int n) {
    const auto nn = static_cast<Byte>(n);
    return {{0x70, nn, 0x00}, {0x70, nn, 0x30}, {0x70, nn, 0x50}, {0x71, nn, 0x00},
            {0x72, nn, 0x00}, {0x73, nn, 0x00}, {0x74, nn, 0x00}};
}
const std::vector<Address> kCurrentBlocks{{0x60, 0, 0x00}, {0x60, 0, 0x30}, {0x60, 0, 0x50}, {0x60, 1, 0x00},
                                          {0x60, 2, 0x00}, {0x60, 3, 0x00}, {0x60, 4, 0x00}};

std::vector<ByteVector> dumpsOf(synth::VirtualMidiPlatform& platform, const std::vector<Address>& blocks) {
    return platform.synth().withSynth([&](synth::VirtualCs1x& s) {
        std::vector<ByteVector> out;
        for (const Address& a : blocks) out.push_back(*s.bulkDump(a));
        return out;
    });
}

std::vector<ByteVector> allUserDumps(synth::VirtualMidiPlatform& platform) {
    std::vector<ByteVector> out;
    for (int n = 0; n < 128; ++n)
        for (auto& m : dumpsOf(platform, userBlocks(n))) out.push_back(std::move(m));
    return out;
}

class ImportFromSynth : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        platform.synth().withSynth([](synth::VirtualCs1x& s) { varySynth(s); });
    }

    // "All User-Performances (to HD)" in bank format, as the program runs it.
    ByteVector transferAllToBank() {
        Program program(platform, queue, dir_.string());
        EXPECT_TRUE(program.devices.InitMidiDevices());
        EXPECT_TRUE(queue.runUntil([&] { return program.link.PendingRequest == 0; }));
        program.ui.messages.clear();
        program.ui.twoChoiceAnswer = 1;
        program.ui.saveAnswers = {path("transfer")};
        program.transfers.MenuBulkAllPerfHDClick();
        EXPECT_TRUE(queue.runUntil([&] { return !program.transfers.transferRunning(); }));
        EXPECT_THAT(program.ui.messages, IsEmpty());
        return readBytes(path("transfer.PFB"));
    }

    ByteVector importAndSave(const ByteVector& bytes, const std::string& name, ImportCounts& counts) {
        writeBytes(path(name), bytes);
        PerformanceBank bank;
        RecordingNotifier n;
        ImportResult r;
        EXPECT_TRUE(importDumpFile(path(name), bank, n, r));
        counts = r.counts;
        EXPECT_TRUE(saveBank(path(name + ".PFB"), bank));
        return readBytes(path(name + ".PFB"));
    }

    synth::VirtualMidiPlatform platform;
    EventQueue queue;
};

} // namespace

TEST_F(ImportFromSynth, RawDumpOf128UserPerformancesGivesTheTransferredBank) {
    const ByteVector transferred = transferAllToBank();
    ASSERT_EQ(transferred.size(), 40590u);

    ByteVector raw;
    for (const auto& m : allUserDumps(platform)) raw.insert(raw.end(), m.begin(), m.end());
    ImportCounts counts;
    const ByteVector imported = importAndSave(raw, "dump.syx", counts);
    EXPECT_EQ(counts.imported, 128);
    EXPECT_EQ(counts.foreign, 0);
    EXPECT_EQ(counts.damaged, 0);
    EXPECT_TRUE(imported == transferred);
}

TEST_F(ImportFromSynth, MidiFileWithSplitDumpsGivesTheTransferredBank) {
    const ByteVector transferred = transferAllToBank();
    ASSERT_EQ(transferred.size(), 40590u);

    // Format 1: a conductor track with tempo and time signature, and a track
    // that sets a sound up with running status before the dumps, each cut
    // into an F0 packet and F7 continuations of 16 bytes.
    TrackBuilder conductor;
    conductor.delta(0).tempo(500000).delta(0).meta(0x58, ByteVector{4, 2, 24, 8}).delta(7680).endOfTrack();
    TrackBuilder music;
    music.delta(0).meta(0x03, bytesOf("CS1x setup"));
    music.delta(0).bytes({0xB0, 0, 63}).delta(0).bytes({32, 65}).delta(0).bytes({0xC0, 4});
    bool first = true;
    for (const auto& m : allUserDumps(platform)) {
        music.delta(first ? 0 : 24);
        music.splitSysEx(m, 16, 2);
        first = false;
    }
    music.delta(10).bytes({0x90, 60, 100}).delta(480).bytes({60, 0}).delta(0).endOfTrack();

    ImportCounts counts;
    const ByteVector imported = importAndSave(midiFile(1, {&conductor, &music}), "song.mid", counts);
    EXPECT_EQ(counts.imported, 128);
    EXPECT_EQ(counts.foreign, 0);
    EXPECT_EQ(counts.damaged, 0);
    EXPECT_TRUE(imported == transferred);
}

// The edit buffer's dump becomes what "Save > Actual Performance" writes
// after the program fetched that performance (record number 0, as no user
// performance was chosen, and slot 0 is the first free one).
TEST_F(ImportFromSynth, CurrentPerformanceDumpGivesTheSavedActualPerformance) {
    {
        Program program(platform, queue, dir_.string());
        ASSERT_TRUE(program.devices.InitMidiDevices());
        ASSERT_TRUE(queue.runUntil([&] { return program.link.PendingRequest == 0; }));
        program.dispatcher.FetchCurrentPerformance();
        ASSERT_TRUE(queue.runUntil([&] { return program.ui.refreshes > 0; }));
        program.ui.saveAnswers = {path("actual.SYX")};
        program.transfers.MenuFileSaveActPerfClick();
    }
    const ByteVector saved = readBytes(path("actual.SYX"));
    ASSERT_EQ(saved.size(), 317u);

    ByteVector raw;
    for (const auto& m : dumpsOf(platform, kCurrentBlocks)) raw.insert(raw.end(), m.begin(), m.end());
    ImportCounts counts;
    const ByteVector bank = importAndSave(raw, "edit.syx", counts);
    EXPECT_EQ(counts.imported, 1);
    ASSERT_EQ(bank.size(), 14u + 317u);
    EXPECT_TRUE(ByteVector(bank.begin() + 14, bank.end()) == saved);
}
