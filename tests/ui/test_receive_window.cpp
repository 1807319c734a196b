// What the synth sends, injected at the device layer and handled by the
// window on the GUI thread: the status texts of short messages, knob turns,
// program changes, the request chains with their answers of any length, the
// names of the user performances and the time-out.

#include "EditorSession.h"

#include "model/PerformanceRecord.h"
#include "support/Answers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <array>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

Bytes request(Byte high, Byte mid, Byte low) { return {0xF0, 0x43, 0x20, 0x4B, high, mid, low, 0xF7}; }

struct Receive : EditorSession {
    void SetUp() override {
        EditorSession::SetUp();
        start();
    }
    std::string lastMessage() const { return notifier.messages.empty() ? "" : notifier.messages.back(); }
};

// The seven blocks of a performance whose every data byte of block b is 10 + b
// (the name "Fetched!"), as the synth answers them.
std::array<Bytes, 7> fetchedPerformance() {
    std::array<Bytes, 7> blocks;
    for (int b = 0; b < kBlockCount; ++b) {
        std::vector<Byte> data(static_cast<std::size_t>(dataLength(static_cast<Block>(b))), static_cast<Byte>(10 + b));
        if (b == 0) {
            const std::string name = "Fetched!";
            std::copy(name.begin(), name.end(), data.begin());
            data[8] = 17; // "DR  Drums"
        }
        blocks[static_cast<std::size_t>(b)] = blockMessage(static_cast<Block>(b), data);
    }
    return blocks;
}

} // namespace

TEST_F(Receive, StatusTextsOfShortMessages) {
    struct Case {
        Byte status, d1, d2;
        const char* text;
    };
    const Case cases[] = {
        {0x99, 60, 0, "<10> Note-OFF [C3]"},
        {0x90, 0, 100, "<1> Note-ON  [C-2]  Vel 100"},
        {0x9F, 127, 1, "<16> Note-ON  [G8]  Vel 1"},
        {0xB0, 74, 0, "<1> Cutoff -64"},
        {0xB0, 1, 0, "<1> M-Wheel 0"},
        {0xB2, 17, 127, "<3> Assign 1 63"},
        {0xB0, 18, 64, "<1> Assign 2 0"},
        {0xB0, 71, 1, "<1> Resonance -63"},
        {0xB0, 72, 70, "<1> Release 6"},
        {0xB0, 73, 64, "<1> Attack 0"},
        {0xB0, 7, 100, "<1> "},
        {0xE0, 0, 64, "<1> Pitch-Bend 0"},
        {0xE0, 127, 127, "<1> Pitch-Bend 8191"},
        {0xE0, 0, 0, "<1> Pitch-Bend -8192"},
        {0x80, 0x3C, 0x40, "<1> 80 3C 40"},
        {0xA5, 0x01, 0x7F, "<6> A5 01 7F"},
        {0xD0, 0x20, 0x00, "<1> D0 20 00"},
    };
    for (const Case& c : cases) {
        injectShort(c.status, c.d1, c.d2);
        EXPECT_EQ(status(), QString::fromLatin1(c.text));
    }
    // The last text stays until the status timer replaces it with "OK".
    EXPECT_TRUE(w->StatusTimer->isActive());
    EXPECT_EQ(w->StatusTimer->interval(), 750);
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == QStringLiteral("OK"); }, 3000));
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(Receive, ActiveSensingAndOtherInputsAreIgnoredWithoutTrace) {
    w->ShowStatus(QStringLiteral("before"));
    injectShort(0xFE, 0, 0);
    platform.injectShort(0x90, 60, 100, platform.openInputHandle() + 99);
    platform.injectSysEx({0xF0, 0x01, 0xF7}, platform.openInputHandle() + 99);
    run();
    EXPECT_EQ(status(), QStringLiteral("before"));
    EXPECT_EQ(w->MidiInLED->color(), editor::TMainWindow::kLampOff);
    injectShort(0x90, 60, 100);
    EXPECT_EQ(w->MidiInLED->color(), editor::TMainWindow::kLampOn);
}

TEST_F(Receive, ASysExWhileNothingIsAwaitedIsDropped) {
    const auto before = std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end());
    injectSysEx(fetchedPerformance()[0]);
    EXPECT_EQ(status(), QStringLiteral("Received Bullshit..."));
    EXPECT_EQ(std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end()), before);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Receive, KnobTurnsMoveTheFilterBeforeTheTextAndSendNothing) {
    injectShort(0xB0, 74, 100);
    EXPECT_EQ(w->FilterCutoff->value(), 27);
    EXPECT_EQ(w->Label_FilterCutoff->text(), QStringLiteral("36"));
    EXPECT_EQ(model().image.layerData(1, 17), 100);
    EXPECT_EQ(status(), QStringLiteral("<1> Cutoff 36"));
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(Receive, WithKnobTurnsOffOnlyTheTextIsShown) {
    ctx().settings.SynthKnobs = false;
    const int before = w->FilterCutoff->value();
    injectShort(0xB0, 74, 100);
    EXPECT_EQ(w->FilterCutoff->value(), before);
    EXPECT_EQ(model().image.layerData(1, 17), 64);
    EXPECT_EQ(status(), QStringLiteral("<1> Cutoff 36"));
}

TEST_F(Receive, ProgramChangesAreFollowedOnlyWhenSwitchedOn) {
    ctx().settings.ProgramChanges = false;
    w->ShowStatus(QStringLiteral("before"));
    injectShort(0xC3, 9, 0);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(status(), QStringLiteral("before"));
    EXPECT_EQ(model().ActiveUserPerf, -1);

    ctx().settings.ProgramChanges = true;
    injectShort(0xC3, 9, 0);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{
                               {0xB0, 0x00, 0x3F}, {0xB0, 0x20, 0x41}, {0xC0, 0x09, 0x00}, request(0x60, 0x00, 0x00)}));
    EXPECT_EQ(model().ActiveUserPerf, 9);
    EXPECT_EQ(w->UserPerf->currentRow(), 9);
    EXPECT_EQ(status(), QStringLiteral("Receiving Perf-COMMON"));
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    w->setNormalCursor();

    // With the output closed nothing is followed.
    platform.sent.clear();
    ctx().devices.CloseMidiOut();
    injectShort(0xC0, 3, 0);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(model().ActiveUserPerf, 9);
}

TEST_F(Receive, TheSevenBlockFetchShowsThePerformanceAtTheEnd) {
    w->FilterCutoff->setValue(3);
    w->EditLayer2->click();
    platform.sent.clear();
    w->dispatcher.FetchCurrentPerformance();
    const auto blocks = fetchedPerformance();
    const std::vector<Bytes> requests{request(0x60, 0x00, 0x00), request(0x60, 0x00, 0x30), request(0x60, 0x00, 0x50),
                                      request(0x60, 0x01, 0x00), request(0x60, 0x02, 0x00), request(0x60, 0x03, 0x00),
                                      request(0x60, 0x04, 0x00)};
    const char* statuses[] = {"Receiving Perf-COMMON", "Receiving Perf-COMMON", "Receiving Perf-COMMON",
                              "Receiving LAYER-1",     "Receiving LAYER-2",     "Receiving LAYER-3",
                              "Receiving LAYER-4"};
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(platform.sent.size(), i + 1);
        EXPECT_EQ(platform.sent[i].bytes, requests[i]) << hex(platform.sent[i].bytes);
        EXPECT_EQ(status(), QString::fromLatin1(statuses[i]));
        EXPECT_TRUE(w->MidiRequestTimer->isActive());
        EXPECT_EQ(w->MidiRequestTimer->interval(), 1000);
        EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("InitPerf")); // not shown before the end
        injectSysEx(blocks[i]);
    }
    EXPECT_EQ(platform.sent.size(), 7u);
    EXPECT_FALSE(w->MidiRequestTimer->isActive());
    EXPECT_FALSE(w->dispatcher.ReceivingCurrentPerf);
    for (int b = 0; b < kBlockCount; ++b) {
        const auto stored = model().image.message(static_cast<Block>(b));
        EXPECT_EQ(Bytes(stored.begin(), stored.end()), blocks[static_cast<std::size_t>(b)]);
    }
    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("Fetched!"));
    EXPECT_EQ(w->PerformanceType->currentText(), QStringLiteral("DR  Drums"));
    EXPECT_EQ(model().CurrentLayer, 1);
    EXPECT_EQ(w->FilterCutoff->value(), 127 - 13);
    EXPECT_FALSE(model().PerfModified);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Receive, AWrongLengthReportsTheSizeKeepsTheBlockAndTheChainGoesOn) {
    w->dispatcher.FetchCurrentPerformance();
    injectSysEx(fetchedPerformance()[0]);
    platform.sent.clear();
    const auto effectBefore =
        Bytes(model().image.message(Block::Effect).begin(), model().image.message(Block::Effect).end());
    ASSERT_EQ(link().PendingRequest, 6);
    injectSysEx(bulkAnswer(6, 0x10, 0, 57)); // 57 bytes where 34 are awaited
    EXPECT_EQ(notifier.messages, (std::vector<std::string>{"Receive-Error - Wrong blocksize"}));
    EXPECT_EQ(Bytes(model().image.message(Block::Effect).begin(), model().image.message(Block::Effect).end()),
              effectBefore);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{request(0x60, 0x00, 0x50)}));
    // Input goes on working.
    injectShort(0x90, 60, 1);
    EXPECT_EQ(status(), QStringLiteral("<1> Note-ON  [C3]  Vel 1"));
}

TEST_F(Receive, AnswersOfAnyLengthAreHandledAndOnlyTheAwaitedLengthIsStored) {
    const auto image = std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end());
    for (std::size_t length : {std::size_t{11}, std::size_t{56}, std::size_t{58}, std::size_t{8191}, std::size_t{8192},
                               std::size_t{8193}, std::size_t{70000}}) {
        SCOPED_TRACE(length);
        notifier.messages.clear();
        link().SendRequest(5);
        injectSysEx(bulkAnswer(5, 0x55, 0, length));
        EXPECT_EQ(notifier.messages, (std::vector<std::string>{"Receive-Error - Wrong blocksize"}));
        EXPECT_EQ(link().PendingRequest, 0);
    }
    // Messages too short to carry an address answer nothing.
    notifier.messages.clear();
    link().SendRequest(5);
    injectSysEx(Bytes{0xF0});
    injectSysEx(Bytes{0xF0, 0xF7});
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(status(), QStringLiteral("Received Bullshit..."));
    EXPECT_EQ(link().PendingRequest, 5);
    w->MidiRequestTimer->stop();
    EXPECT_EQ(std::vector<Byte>(model().image.bytes().begin(), model().image.bytes().end()), image);
}

TEST_F(Receive, IdentityReply) {
    Bytes reply{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0x00, 0x41, 0x12, 0x34, 0x00, 0x00, 0x00, 0x05, 0xF7};
    link().SendRequest(1);
    injectSysEx(reply);
    EXPECT_EQ(lastMessage(), "CS1x responding... Device-Code: 12 34 - TG-Level: 05");
    EXPECT_EQ(link().PendingRequest, 0);

    reply.insert(reply.end() - 1, 0x00);
    link().SendRequest(1);
    injectSysEx(reply);
    EXPECT_EQ(lastMessage(), "Receive-Error - Wrong blocksize");
}

TEST_F(Receive, NamesFetchFillsEveryRowFromTheCommonBlocks) {
    w->show();
    {
        const QSignalBlocker quiet(w->UserPerf);
        w->UserPerf->setCurrentRow(2);
    }
    model().ActiveUserPerf = 2;
    w->dispatcher.requestAllNames();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    for (int k = 0; k < 128; ++k) {
        ASSERT_EQ(platform.sent.size(), static_cast<std::size_t>(k + 1));
        ASSERT_EQ(platform.sent.back().bytes, request(0x70, static_cast<Byte>(k), 0x00)) << k;
        Bytes common = bulkAnswer(12, 0, k);
        const std::string name = k == 0 ? "InitPerf" : "Name" + std::to_string(1000 + k).substr(1);
        std::copy(name.begin(), name.end(), common.begin() + 9);
        common[17] = k == 0 ? 0 : k == 1 ? 30 : 17; // 30: no such category
        injectSysEx(common);
    }
    EXPECT_EQ(platform.sent.size(), 128u);
    EXPECT_EQ(w->UserPerf->item(0)->text(), QStringLiteral("001  --   InitPe"));
    EXPECT_EQ(w->UserPerf->item(1)->text(), QStringLiteral("002  ?? Name001 "));
    EXPECT_EQ(w->UserPerf->item(127)->text(), QStringLiteral("128  DR Name127 "));
    EXPECT_EQ(status(), QStringLiteral("Received User-Performance-Name #128"));
    EXPECT_FALSE(w->dispatcher.ReceivingAllNames);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(w->UserPerf->currentRow(), 2);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Receive, TimeOutsReportAndLeaveTheChainWaiting) {
    link().SendRequest(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.empty(); }, 3000));
    EXPECT_EQ(notifier.messages, (std::vector<std::string>{"CS1x does not respond on selected MIDI-device!\n"
                                                           "Please check cabling and/or device-settings"}));
    EXPECT_EQ(link().PendingRequest, 1);

    notifier.messages.clear();
    w->dispatcher.FetchCurrentPerformance();
    w->setBusyCursor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.empty(); }, 3000));
    EXPECT_EQ(notifier.messages, (std::vector<std::string>{"MIDI-Data receive-timeout!"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(link().PendingRequest, 5);
    EXPECT_TRUE(w->dispatcher.ReceivingCurrentPerf);
    EXPECT_EQ(w->dispatcher.BlocksToGo, 6);
    EXPECT_FALSE(w->MidiRequestTimer->isActive());

    // A late answer still goes on with the chain.
    platform.sent.clear();
    injectSysEx(fetchedPerformance()[0]);
    EXPECT_EQ(sentBytes(), (std::vector<Bytes>{request(0x60, 0x00, 0x30)}));
    w->MidiRequestTimer->stop();
}

// Chains that overlap, driven as a user would: only the answers of the chain
// that runs move it, and nothing else writes the image or the rows.
namespace {

Bytes namesAnswer(int k, const std::string& name) {
    Bytes common = bulkAnswer(12, 0x20, k);
    std::copy(name.begin(), name.end(), common.begin() + 9);
    common[17] = 1;
    return common;
}

} // namespace

TEST_F(Receive, AUserPerformanceClickDuringTheNamesRequestFetchesThatPerformanceOnly) {
    w->show();
    const QString row20 = w->UserPerf->item(20)->text();
    w->dispatcher.requestAllNames();
    for (int k = 0; k < 20; ++k) injectSysEx(namesAnswer(k, "Name" + std::to_string(10 + k)));
    clickRow(w->UserPerf, 5);
    EXPECT_EQ(model().ActiveUserPerf, 5);
    // The answer to the 21st names request was already on its way.
    injectSysEx(namesAnswer(20, "LateName"));
    for (const Bytes& block : fetchedPerformance()) injectSysEx(block);

    const auto blocks = fetchedPerformance();
    for (int b = 0; b < kBlockCount; ++b) {
        const auto stored = model().image.message(static_cast<Block>(b));
        EXPECT_EQ(Bytes(stored.begin(), stored.end()), blocks[static_cast<std::size_t>(b)]) << b;
    }
    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("Fetched!"));
    EXPECT_EQ(w->UserPerf->item(19)->text(), QStringLiteral("020  PF Name29  "));
    EXPECT_EQ(w->UserPerf->item(20)->text(), row20);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(w->dispatcher.ReceivingAllNames);
    EXPECT_FALSE(w->dispatcher.ReceivingCurrentPerf);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Receive, AProgramChangeFromTheSynthDuringTheNamesRequestFetchesThatPerformanceOnly) {
    w->dispatcher.requestAllNames();
    injectSysEx(namesAnswer(0, "Zero"));
    injectShort(0xC0, 7, 0);
    injectSysEx(namesAnswer(1, "LateName"));
    for (const Bytes& block : fetchedPerformance()) injectSysEx(block);
    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("Fetched!"));
    EXPECT_EQ(w->UserPerf->currentRow(), 7);
    EXPECT_NE(w->UserPerf->item(1)->text(), QStringLiteral("002  PF LateName"));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Receive, AStalledFetchThenANamesRequestNeverRedrawsTheWindowFromNames) {
    w->dispatcher.FetchCurrentPerformance();
    const auto blocks = fetchedPerformance();
    for (int b = 0; b < 3; ++b) injectSysEx(blocks[static_cast<std::size_t>(b)]);
    w->MidiRequestTimer->stop();
    w->dispatcher.requestTimeout(); // no answer for layer 1
    EXPECT_EQ(lastMessage(), "MIDI-Data receive-timeout!");
    w->dispatcher.requestAllNames();
    for (int k = 0; k < 128; ++k) injectSysEx(namesAnswer(k, "Name" + std::to_string(100 + k)));
    EXPECT_EQ(w->PerformanceName->text(), QStringLiteral("InitPerf"));
    EXPECT_EQ(w->UserPerf->item(127)->text(), QStringLiteral("128  PF Name227 "));
    EXPECT_EQ(notifier.messages.size(), 1u);
}
