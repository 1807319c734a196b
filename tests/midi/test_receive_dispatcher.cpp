#include "../support/RecordingNotifier.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "support/Answers.h"
#include "support/ScriptedMidiPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace patchsmith;
using midi::ScriptedMidiPlatform;
using Bytes = std::vector<Byte>;
using test::bulkAnswer;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct FakeUi : ReceiveUi {
    std::vector<std::string> log; // every call, in order
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::map<int, std::string> rows;
    int refreshes = 0;
    bool busy = false;
    bool timerRunning = false;
    std::vector<int> waits;

    void ShowStatus(const std::string& t) override {
        statuses.push_back(t);
        log.push_back("status " + t);
    }
    void showMessage(const std::string& t) override {
        messages.push_back(t);
        log.push_back("box " + t);
    }
    void setBusyCursor() override { busy = true; }
    void setNormalCursor() override { busy = false; }
    void selectUserPerfRow(int r) override { log.push_back("select " + std::to_string(r)); }
    void setUserPerfRow(int r, const std::string& t) override { rows[r] = t; }
    void ShowPerformance() override {
        ++refreshes;
        log.push_back("refresh");
    }
    void HandleSynthKnob(int c, int v) override {
        log.push_back("knob " + std::to_string(c) + " " + std::to_string(v));
    }
    void startRequestTimer(int ms) override { timerRunning = ms == 1000; }
    void stopRequestTimer() override { timerRunning = false; }
    void wait(int ms) override { waits.push_back(ms); }
};

Bytes block(int length, Byte fill) {
    Bytes b(static_cast<std::size_t>(length), fill);
    b.front() = 0xF0;
    b.back() = 0xF7;
    return b;
}

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() : devices(platform, notifier), link(model, devices), dispatcher(link, ui) {
        platform.inputs = {"In"};
        platform.outputs = {"Out"};
        devices.MidiInDeviceName = "In";
        devices.MidiOutDeviceName = "Out";
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { dispatcher.AppMessage(e); };
        devices.onPulseMidiInLed = [this] { ++inPulses; };
        dispatcher.programChangesOn = [this] { return programChanges; };
        model.fillDefaults();
        devices.InitMidiDevices();
        platform.sent.clear();
    }

    std::vector<Bytes> requests() const { return platform.longMessages(); }

    ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    FakeUi ui;
    ReceiveDispatcher dispatcher;
    bool programChanges = true;
    int inPulses = 0;
};

} // namespace

TEST(shortMessageText, StatusLineTexts) {
    EXPECT_EQ(*shortMessageText(0x90, 60, 100), "<1> Note-ON  [C3]  Vel 100");
    EXPECT_EQ(*shortMessageText(0x99, 60, 0), "<10> Note-OFF [C3]");
    EXPECT_EQ(*shortMessageText(0xB0, 74, 0), "<1> Cutoff -64");
    EXPECT_EQ(*shortMessageText(0xB0, 1, 0), "<1> M-Wheel 0");
    EXPECT_EQ(*shortMessageText(0xB3, 17, 127), "<4> Assign 1 63");
    EXPECT_EQ(*shortMessageText(0xB0, 18, 64), "<1> Assign 2 0");
    EXPECT_EQ(*shortMessageText(0xB0, 71, 65), "<1> Resonance 1");
    EXPECT_EQ(*shortMessageText(0xB0, 72, 0), "<1> Release -64");
    EXPECT_EQ(*shortMessageText(0xB0, 73, 127), "<1> Attack 63");
    EXPECT_EQ(*shortMessageText(0xBF, 7, 100), "<16> ");
    EXPECT_EQ(*shortMessageText(0xE0, 0, 64), "<1> Pitch-Bend 0");
    EXPECT_EQ(*shortMessageText(0xE0, 127, 127), "<1> Pitch-Bend 8191");
    EXPECT_EQ(*shortMessageText(0xE0, 0, 0), "<1> Pitch-Bend -8192");
    EXPECT_EQ(*shortMessageText(0x80, 0x3C, 0x40), "<1> 80 3C 40");
    EXPECT_EQ(*shortMessageText(0xA5, 0x0A, 0x7F), "<6> A5 0A 7F");
    EXPECT_EQ(*shortMessageText(0xF8, 0, 0), "<9> F8 00 00");
    EXPECT_FALSE(shortMessageText(0xC0, 4, 0).has_value());
}

TEST(namesRequestLine, KeepsTheNameUntrimmedAndCutsAtSixteen) {
    Bytes common = block(57, 0);
    const std::string name = "InitPerf";
    std::copy(name.begin(), name.end(), common.begin() + 9);
    common[17] = 0;
    EXPECT_EQ(namesRequestLine(common, 0), "001  --   InitPe");
    common[17] = 1;
    EXPECT_EQ(namesRequestLine(common, 127), "128  PF InitPerf");
    common[17] = 200; // no abbreviation: never read past the table
    EXPECT_EQ(namesRequestLine(common, 4), "005  ?? InitPerf");
    const std::string shortName = "Pno\n    ";
    std::copy(shortName.begin(), shortName.begin() + 8, common.begin() + 9);
    common[17] = 10; // "PI " keeps its blank
    EXPECT_EQ(namesRequestLine(common, 9), "010  PI  Pno    ");
}

TEST_F(DispatcherTest, ShortMessagesGoToTheStatusLineAfterTheKnobReaction) {
    platform.injectShort(0xB0, 74, 0);
    platform.injectShort(0x80, 0x3C, 0x40);
    EXPECT_THAT(ui.log, ElementsAre("knob 74 0", "status <1> Cutoff -64", "status <1> 80 3C 40"));
    EXPECT_EQ(inPulses, 2);
}

TEST_F(DispatcherTest, ActiveSensingAndEventsOfOtherInputsLeaveNoTrace) {
    platform.injectShort(0xFE, 0, 0);
    platform.injectShort(0x90, 60, 1, platform.openInputHandle() + 7);
    EXPECT_THAT(ui.log, IsEmpty());
    EXPECT_EQ(inPulses, 0);
}

TEST_F(DispatcherTest, SysExWhileNothingIsPendingIsBullshit) {
    platform.injectSysEx(block(57, 1));
    EXPECT_THAT(ui.statuses, ElementsAre("Received Bullshit..."));
    EXPECT_THAT(ui.messages, IsEmpty());
}

TEST_F(DispatcherTest, IdentityReplyIsShownFromBytesEightNineAndThirteen) {
    link.SendRequest(1);
    Bytes reply{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0x00, 0x41, 0x12, 0x34, 0x00, 0x00, 0x00, 0x05, 0xF7};
    platform.injectSysEx(reply);
    EXPECT_THAT(ui.messages, ElementsAre("CS1x responding... Device-Code: 12 34 - TG-Level: 05"));
    EXPECT_EQ(link.PendingRequest, 0);
    EXPECT_FALSE(ui.timerRunning);

    link.SendRequest(1);
    reply.insert(reply.begin() + 5, 0x00); // 16 bytes
    platform.injectSysEx(reply);
    EXPECT_EQ(ui.messages.back(), "Receive-Error - Wrong blocksize");
}

TEST_F(DispatcherTest, FetchRequestsSevenBlocksPacedAndRefreshesAfterTheLast) {
    dispatcher.FetchCurrentPerformance();
    EXPECT_THAT(ui.statuses, ElementsAre("Receiving Perf-COMMON"));
    for (std::size_t i = 0; i < 7; ++i) {
        ASSERT_EQ(requests().size(), i + 1);
        EXPECT_TRUE(ui.timerRunning);
        EXPECT_EQ(ui.refreshes, 0);
        platform.injectSysEx(bulkAnswer(5 + static_cast<int>(i), static_cast<Byte>(10 + i)));
    }
    const auto req = requests();
    EXPECT_EQ(req[1], (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x30, 0xF7}));
    EXPECT_EQ(req[6], (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x04, 0x00, 0xF7}));
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_FALSE(dispatcher.ReceivingCurrentPerf);
    EXPECT_THAT(ui.waits, ElementsAre(5, 5, 5, 5, 5, 5));
    EXPECT_THAT(ui.statuses, ElementsAre("Receiving Perf-COMMON", "Receiving LAYER-1", "Receiving LAYER-2",
                                         "Receiving LAYER-3", "Receiving LAYER-4"));
    // Each answer landed in the block its request named.
    EXPECT_EQ(model.image.data(Block::Effect, 0), 11);
    EXPECT_EQ(model.image.layerData(3, 0), 15);
    EXPECT_EQ(model.image.layerData(4, 40), 16);
}

TEST_F(DispatcherTest, WrongBlockSizeIsReportedAndTheChainGoesOn) {
    dispatcher.FetchCurrentPerformance();
    platform.injectSysEx(bulkAnswer(5, 3));
    const PerformanceImage before = model.image;
    platform.injectSysEx(bulkAnswer(6, 9, 0, 57)); // the effect block's address, 57 bytes
    EXPECT_THAT(ui.messages, ElementsAre("Receive-Error - Wrong blocksize"));
    EXPECT_EQ(model.image, before);
    ASSERT_EQ(requests().size(), 3u);
    EXPECT_EQ(requests()[2], (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x50, 0xF7}));
}

TEST_F(DispatcherTest, AnswersOfAnyLengthAreHandledAndOnlyExactOnesStored) {
    link.UserPerfNumber = 3;
    for (std::size_t length :
         {std::size_t{11}, std::size_t{51}, std::size_t{53}, std::size_t{9000}, std::size_t{70000}}) {
        link.SendRequest(16);
        const PerformanceRecord before = model.userPerfBuffer;
        platform.injectSysEx(bulkAnswer(16, 0x22, 3, length));
        EXPECT_EQ(model.userPerfBuffer, before) << length;
    }
    EXPECT_EQ(ui.messages.size(), 5u);
    // Too short to carry an address: no answer at all, and still no harm.
    link.SendRequest(16);
    platform.injectSysEx(Bytes{0xF0, 0xF7});
    platform.injectSysEx(Bytes{0xF0});
    EXPECT_EQ(ui.messages.size(), 5u);
    // Input still works after all that.
    platform.injectSysEx(bulkAnswer(16, 0x33, 3));
    EXPECT_EQ(model.userPerfBuffer.message(4)[20], 0x33);
}

TEST_F(DispatcherTest, NamesChainFillsAll128Rows) {
    model.ActiveUserPerf = 4;
    dispatcher.requestAllNames();
    EXPECT_TRUE(ui.busy);
    for (int k = 0; k < 128; ++k) {
        ASSERT_EQ(requests().size(), static_cast<std::size_t>(k + 1));
        EXPECT_EQ(requests().back()[5], k);
        Bytes common = bulkAnswer(12, 0, k);
        const std::string name = "Name" + std::to_string(1000 + k).substr(1);
        std::copy(name.begin(), name.end(), common.begin() + 9);
        common[17] = static_cast<Byte>(k % 23);
        platform.injectSysEx(common);
    }
    EXPECT_EQ(requests().size(), 128u);
    EXPECT_EQ(ui.rows.size(), 128u);
    EXPECT_EQ(ui.rows[0], "001  --   Name00");
    EXPECT_EQ(ui.rows[127], "128  PD Name127 ");
    EXPECT_FALSE(dispatcher.ReceivingAllNames);
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(ui.log.back(), "select 4");
    EXPECT_EQ(ui.statuses.back(), "Received User-Performance-Name #128");
}

TEST_F(DispatcherTest, ProgramChangeSwitchesAndFetchesOnlyWhenFollowing) {
    programChanges = false;
    platform.injectShort(0xC5, 9, 0);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_THAT(ui.log, IsEmpty());

    programChanges = true;
    platform.injectShort(0xC5, 9, 0);
    ASSERT_EQ(platform.sent.size(), 4u);
    EXPECT_THAT(platform.sent[0].bytes, ElementsAre(0xB0, 0x00, 0x3F));
    EXPECT_THAT(platform.sent[1].bytes, ElementsAre(0xB0, 0x20, 0x41));
    EXPECT_THAT(platform.sent[2].bytes, ElementsAre(0xC0, 0x09, 0x00));
    EXPECT_EQ(platform.sent[3].bytes, (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x00, 0xF7}));
    EXPECT_EQ(model.ActiveUserPerf, 9);
    EXPECT_TRUE(ui.busy);
    EXPECT_EQ(ui.log.front(), "select 9");
}

TEST_F(DispatcherTest, ProgramChangeIsNotFollowedWhileATransferToDiskRuns) {
    dispatcher.AllUserPerfsToDisk = true;
    platform.injectShort(0xC0, 9, 0);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model.ActiveUserPerf, -1);
}

TEST_F(DispatcherTest, TimeOutReportsAndLeavesTheChainWaiting) {
    link.SendRequest(1);
    dispatcher.requestTimeout();
    EXPECT_THAT(
        ui.messages,
        ElementsAre("CS1x does not respond on selected MIDI-device!\nPlease check cabling and/or device-settings"));
    dispatcher.FetchCurrentPerformance();
    platform.injectSysEx(bulkAnswer(5, 1));
    ui.busy = true;
    dispatcher.requestTimeout();
    EXPECT_EQ(ui.messages.back(), "MIDI-Data receive-timeout!");
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(link.PendingRequest, 6);
    EXPECT_TRUE(dispatcher.ReceivingCurrentPerf);
    EXPECT_EQ(dispatcher.BlocksToGo, 5);
    // A late answer still continues the chain.
    platform.injectSysEx(bulkAnswer(6, 2));
    EXPECT_EQ(requests().back(), (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x50, 0xF7}));

    ui.messages.clear();
    link.PendingRequest = 0;
    dispatcher.requestTimeout();
    EXPECT_THAT(ui.messages, IsEmpty());
}

TEST_F(DispatcherTest, DiskTransferStepRunsAfterEveryAnswerWhileATransferRuns) {
    int steps = 0;
    dispatcher.DiskTransferStep = [&] { ++steps; };
    link.SendRequest(12);
    platform.injectSysEx(bulkAnswer(12, 1));
    EXPECT_EQ(steps, 0);
    dispatcher.UserPerfToDisk = true;
    link.SendRequest(12);
    platform.injectSysEx(bulkAnswer(12, 1));
    link.SendRequest(13);
    platform.injectSysEx(bulkAnswer(13, 1, 0, 40)); // wrong size: reported, the step still runs
    EXPECT_EQ(steps, 2);
}

// One owner of the request cycle: chains that would overlap end, or are
// refused, and an answer moves only the chain whose request it answers.
namespace {

Bytes namedCommon(int userPerf, const std::string& name) {
    Bytes common = bulkAnswer(12, 0, userPerf);
    std::copy(name.begin(), name.end(), common.begin() + 9);
    return common;
}

} // namespace

TEST_F(DispatcherTest, AFetchEndsTheNamesRequestAndItsLateAnswerIsIgnored) {
    dispatcher.requestAllNames();
    for (int k = 0; k < 20; ++k) platform.injectSysEx(namedCommon(k, "Name" + std::to_string(k)));
    ASSERT_EQ(requests().back(), (Bytes{0xF0, 0x43, 0x20, 0x4B, 0x70, 20, 0x00, 0xF7}));
    const auto rowsBefore = ui.rows;

    dispatcher.FetchCurrentPerformance();
    EXPECT_FALSE(dispatcher.ReceivingAllNames);
    // The answer to name request 21 was already on its way: it is neither the
    // common block of the current performance nor a row.
    platform.injectSysEx(namedCommon(20, "Late"));
    EXPECT_EQ(model.image.data(Block::Common, 0), 'I'); // still "InitPerf"
    EXPECT_EQ(ui.rows, rowsBefore);
    EXPECT_THAT(ui.messages, IsEmpty());
    EXPECT_EQ(ui.statuses.back(), "Received Bullshit...");
    EXPECT_EQ(link.PendingRequest, 5);

    for (int kind = 5; kind <= 11; ++kind) platform.injectSysEx(bulkAnswer(kind, static_cast<Byte>(kind)));
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(model.image.data(Block::Common, 0), 5);
    EXPECT_EQ(model.image.layerData(4, 0), 11);
    EXPECT_EQ(ui.rows, rowsBefore);
    // 21 names requests and 7 fetch requests; nothing asked after the fetch.
    EXPECT_EQ(requests().size(), 28u);
    EXPECT_THAT(ui.messages, IsEmpty());
}

TEST_F(DispatcherTest, AProgramChangeFromTheSynthEndsTheNamesRequest) {
    dispatcher.requestAllNames();
    platform.injectSysEx(namedCommon(0, "First"));
    platform.injectShort(0xC0, 5, 0);
    platform.injectSysEx(namedCommon(1, "Late"));
    EXPECT_EQ(ui.rows.size(), 1u);
    EXPECT_FALSE(dispatcher.ReceivingAllNames);
    EXPECT_TRUE(dispatcher.ReceivingCurrentPerf);
    for (int kind = 5; kind <= 11; ++kind) platform.injectSysEx(bulkAnswer(kind, 0x21));
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(model.image.data(Block::Common, 0), 0x21);
    EXPECT_EQ(ui.rows.size(), 1u);
}

TEST_F(DispatcherTest, ANamesRequestEndsAStalledFetchWhichNeverRedrawsFromNames) {
    dispatcher.FetchCurrentPerformance();
    for (int kind = 5; kind <= 7; ++kind) platform.injectSysEx(bulkAnswer(kind, 0x30));
    dispatcher.requestTimeout(); // stalled, waiting for layer 1
    const PerformanceImage stalled = model.image;
    dispatcher.requestAllNames();
    EXPECT_FALSE(dispatcher.ReceivingCurrentPerf);
    // A late layer-1 answer of the ended fetch is no names answer either.
    platform.injectSysEx(bulkAnswer(8, 0x31));
    EXPECT_EQ(model.image, stalled);
    for (int k = 0; k < 128; ++k) platform.injectSysEx(namedCommon(k, "N" + std::to_string(k)));
    EXPECT_EQ(ui.refreshes, 0);
    EXPECT_EQ(model.image, stalled);
    EXPECT_EQ(ui.rows.size(), 128u);
    EXPECT_EQ(ui.rows[127].substr(0, 9), "128  --  ");
    EXPECT_THAT(ui.messages, ElementsAre("MIDI-Data receive-timeout!"));
}

TEST_F(DispatcherTest, NothingStartsWhileATransferToDiskOwnsTheCycle) {
    int steps = 0;
    dispatcher.DiskTransferStep = [&] { ++steps; };
    dispatcher.UserPerfToDisk = true;
    link.UserPerfNumber = 7;
    link.SendRequest(12);
    platform.sent.clear();

    dispatcher.FetchCurrentPerformance();
    dispatcher.requestAllNames();
    platform.injectShort(0xC0, 3, 0);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_FALSE(dispatcher.ReceivingCurrentPerf);
    EXPECT_FALSE(dispatcher.ReceivingAllNames);
    EXPECT_EQ(model.ActiveUserPerf, -1);
    EXPECT_THAT(ui.statuses, ElementsAre("Busy: transfer to disk running", "Busy: transfer to disk running",
                                         "Busy: transfer to disk running"));
    EXPECT_EQ(link.PendingRequest, 12);

    // An identity reply, another performance's block or a current block is
    // no answer to the transfer's request: nothing is stored or written.
    const PerformanceRecord before = model.userPerfBuffer;
    platform.injectSysEx(test::identityReply());
    platform.injectSysEx(bulkAnswer(12, 0x44, 6));
    platform.injectSysEx(bulkAnswer(5, 0x44));
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(model.userPerfBuffer, before);
    EXPECT_THAT(ui.messages, IsEmpty());
    platform.injectSysEx(bulkAnswer(12, 0x45, 7));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(model.userPerfBuffer.message(0)[9], 0x45);

    dispatcher.UserPerfToDisk = false;
    dispatcher.sendingBank = true;
    dispatcher.FetchCurrentPerformance();
    EXPECT_EQ(ui.statuses.back(), "Busy: Performance-bank is being sent");
}

TEST_F(DispatcherTest, ABlockOfAnotherAddressIsNotStoredAsTheOneRequested) {
    dispatcher.FetchCurrentPerformance();
    for (int kind = 5; kind <= 9; ++kind) platform.injectSysEx(bulkAnswer(kind, 0x50));
    const PerformanceImage before = model.image;
    platform.injectSysEx(bulkAnswer(8, 0x51)); // layer 1's dump while layer 3 is awaited
    EXPECT_EQ(model.image, before);
    EXPECT_EQ(link.PendingRequest, 10);
    EXPECT_TRUE(ui.timerRunning);
    // A dump of the awaited block sent with another device number is taken.
    Bytes layer3 = bulkAnswer(10, 0x52);
    layer3[2] = 0x03;
    platform.injectSysEx(layer3);
    EXPECT_EQ(model.image.layerData(3, 0), 0x52);
}

TEST_F(DispatcherTest, AWrongSizedNameLeavesItsRowAlone) {
    dispatcher.requestAllNames();
    platform.injectSysEx(namedCommon(0, "Zero"));
    platform.injectSysEx(bulkAnswer(12, 0x41, 1, 40));
    EXPECT_THAT(ui.messages, ElementsAre("Receive-Error - Wrong blocksize"));
    EXPECT_EQ(ui.rows.count(1), 0u);
    EXPECT_EQ(requests().back()[5], 2);
}
