// The virtual CS1x as a MIDI platform: devices, result codes, asynchronous
// answers, and the editor's device layer and senders talking to it.

#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "synth/VirtualMidiPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace patchsmith;
using namespace patchsmith::midi;
using namespace patchsmith::synth;
using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<Byte>;

struct Events {
    std::mutex mutex;
    std::vector<MidiInputEvent> list;
    std::vector<std::thread::id> threads;
    std::atomic<bool> insideSend{false};
    std::atomic<int> deliveredDuringSend{0};

    MidiInputSink sink() {
        return [this](MidiInputEvent e) {
            if (insideSend) ++deliveredDuringSend;
            std::lock_guard<std::mutex> lock(mutex);
            list.push_back(std::move(e));
            threads.push_back(std::this_thread::get_id());
        };
    }
    std::vector<MidiInputEvent> taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return list;
    }
};

const std::string kName = VirtualMidiPlatform::kDeviceName;

struct Opened {
    InputHandle in = 0;
    OutputHandle out = 0;
};

Opened openBoth(VirtualMidiPlatform& p, Events& ev) {
    Opened o;
    EXPECT_EQ(p.openInput(0, kName, ev.sink(), o.in), MMSYSERR_NOERROR);
    EXPECT_EQ(p.openOutput(0, kName, {}, o.out), MMSYSERR_NOERROR);
    return o;
}

const Bytes kIdentityRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};

class RecordingNotifier : public Notifier {
public:
    void showMessage(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// The GUI thread of these tests: events are queued by the platform's thread
// and run here when the test drains the queue.
struct GuiQueue {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    void post(std::function<void()> f) {
        std::lock_guard<std::mutex> lock(mutex);
        tasks.push_back(std::move(f));
    }
    void drain() {
        for (;;) {
            std::function<void()> f;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (tasks.empty()) return;
                f = std::move(tasks.front());
                tasks.pop_front();
            }
            f();
        }
    }
};

} // namespace

TEST(VirtualMidiPlatform, OneInputAndOneOutputNamedVirtualCs1x) {
    VirtualMidiPlatform p;
    EXPECT_EQ(p.inputPortNames(), std::vector<std::string>{"Virtual CS1x"});
    EXPECT_EQ(p.outputPortNames(), std::vector<std::string>{"Virtual CS1x"});
    InputHandle in = 0;
    OutputHandle out = 0;
    EXPECT_EQ(p.openInput(1, "Other", {}, in), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(p.openOutput(0, "Other", {}, out), MMSYSERR_BADDEVICEID);
    // A number that moved still finds the port by its name.
    EXPECT_EQ(p.openOutput(3, kName, {}, out), MMSYSERR_NOERROR);
}

TEST(VirtualMidiPlatform, ResultCodesForBadHandlesBadMessagesAndSecondOpens) {
    VirtualMidiPlatform p;
    Events ev;
    OutputHandle out = 0;
    ASSERT_EQ(p.openOutput(0, kName, {}, out), MMSYSERR_NOERROR);
    EXPECT_NE(out, 0u);
    OutputHandle second = 0;
    EXPECT_EQ(p.openOutput(0, kName, {}, second), VirtualMidiPlatform::MMSYSERR_ALLOCATED);
    EXPECT_EQ(p.sendLong(out + 100, kIdentityRequest), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(p.sendLong(out, {}), MMSYSERR_INVALPARAM);
    EXPECT_EQ(p.sendLong(out, Bytes(8193, 0)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(p.sendShort(out + 100, packShort(0xC0, 1, 0)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(p.sendShort(out, packShort(0x40, 1, 0)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(p.sendLong(out, kIdentityRequest), MMSYSERR_NOERROR);
    EXPECT_EQ(p.closeOutput(out), MMSYSERR_NOERROR);
    EXPECT_EQ(p.closeOutput(out), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(p.sendShort(out, packShort(0xC0, 1, 0)), MMSYSERR_INVALHANDLE);

    InputHandle in = 0;
    ASSERT_EQ(p.openInput(0, kName, ev.sink(), in), MMSYSERR_NOERROR);
    InputHandle in2 = 0;
    EXPECT_EQ(p.openInput(0, kName, ev.sink(), in2), VirtualMidiPlatform::MMSYSERR_ALLOCATED);
    EXPECT_EQ(p.closeInput(in + 100), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(p.closeInput(in), MMSYSERR_NOERROR);
    EXPECT_EQ(p.closeInput(in), MMSYSERR_INVALHANDLE);
    // Reopening after a close works and gives a new handle.
    ASSERT_EQ(p.openOutput(0, kName, {}, second), MMSYSERR_NOERROR);
    EXPECT_NE(second, out);
}

TEST(VirtualMidiPlatform, AnswersArriveLaterOnAnotherThreadNeverInsideTheSend) {
    VirtualMidiPlatform p;
    Events ev;
    const Opened o = openBoth(p, ev);
    for (int i = 0; i < 20; ++i) {
        ev.insideSend = true;
        ASSERT_EQ(p.sendLong(o.out, kIdentityRequest), MMSYSERR_NOERROR);
        ev.insideSend = false;
    }
    ASSERT_TRUE(p.waitIdle());
    const auto got = ev.taken();
    ASSERT_EQ(got.size(), 20u);
    for (const auto& e : got) {
        EXPECT_TRUE(e.isSysEx);
        EXPECT_EQ(e.input, o.in);
        EXPECT_EQ(e.sysex.size(), 15u);
    }
    for (const auto& id : ev.threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST(VirtualMidiPlatform, NothingArrivesAfterTheInputIsClosed) {
    VirtualMidiPlatform p;
    Events ev;
    const Opened o = openBoth(p, ev);
    ASSERT_EQ(p.closeInput(o.in), MMSYSERR_NOERROR);
    p.sendLong(o.out, kIdentityRequest);
    p.synth().turnKnob(74, 1, 1);
    ASSERT_TRUE(p.waitIdle());
    EXPECT_TRUE(ev.taken().empty());
}

TEST(VirtualMidiPlatform, PanelEventsReachTheInputAsShortMessages) {
    VirtualMidiPlatform p;
    Events ev;
    openBoth(p, ev);
    EXPECT_TRUE(p.synth().turnKnob(71, 100, 1));
    EXPECT_TRUE(p.synth().programChange(4, 1));
    EXPECT_TRUE(p.synth().note(60, 0, 10));
    ASSERT_TRUE(p.waitIdle());
    const auto got = ev.taken();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].shortMessage, packShort(0xB0, 71, 100));
    EXPECT_EQ(got[1].shortMessage, packShort(0xC0, 4, 0));
    EXPECT_EQ(got[2].shortMessage, packShort(0x99, 60, 0));
    EXPECT_EQ(p.synth().withSynth([](VirtualCs1x& s) { return s.editBuffer().name(); }),
              p.synth().withSynth([](VirtualCs1x& s) { return s.userPerformance(4).name(); }));
}

TEST(VirtualMidiPlatform, CloseInputWaitsForADeliveryInProgress) {
    VirtualMidiPlatform p;
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    InputHandle in = 0;
    ASSERT_EQ(p.openInput(
                  0, kName,
                  [&](MidiInputEvent) {
                      entered = true;
                      std::this_thread::sleep_for(50ms);
                      finished = true;
                  },
                  in),
              MMSYSERR_NOERROR);
    p.synth().turnKnob(74, 1, 1);
    while (!entered) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(p.closeInput(in), MMSYSERR_NOERROR);
    EXPECT_TRUE(finished.load());
}

TEST(VirtualMidiPlatform, CloseInputFromInsideTheSinkDoesNotHang) {
    VirtualMidiPlatform p;
    InputHandle in = 0;
    std::atomic<int> calls{0};
    std::atomic<MidiResult> closeResult{-1};
    ASSERT_EQ(p.openInput(
                  0, kName,
                  [&](MidiInputEvent) {
                      ++calls;
                      closeResult = p.closeInput(in);
                  },
                  in),
              MMSYSERR_NOERROR);
    p.synth().turnKnob(74, 1, 1);
    p.synth().turnKnob(74, 2, 1);
    ASSERT_TRUE(p.waitIdle());
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(closeResult.load(), MMSYSERR_NOERROR);
}

// The editor's own device layer and senders against the virtual instrument:
// what the editor sends must be understood, checksums included.
class EditorAgainstVirtualCs1x : public ::testing::Test {
protected:
    void SetUp() override {
        model.fillDefaults();
        devices.MidiInDeviceName = "Virtual CS1x";
        devices.MidiOutDeviceName = "Virtual CS1x";
        devices.postToGuiThread = [this](std::function<void()> f) { gui.post(std::move(f)); };
        devices.onInputEvent = [this](const MidiInputEvent& e) { received.push_back(e); };
        devices.onIdentityRequest = [this] { link.SendRequest(TransferKind::Identity); };
        ASSERT_TRUE(devices.InitMidiDevices());
        ASSERT_TRUE(devices.MidiInOpen);
        ASSERT_TRUE(devices.MidiOutOpen);
    }
    void settle() {
        ASSERT_TRUE(platform.waitIdle());
        gui.drain();
    }
    Bytes requestAnswer(int kind) {
        received.clear();
        link.SendRequest(kind);
        settle();
        EXPECT_EQ(received.size(), 1u) << "kind " << kind;
        return received.empty() ? Bytes{} : received.back().sysex;
    }

    VirtualMidiPlatform platform;
    RecordingNotifier notifier;
    Model model;
    MidiDevices devices{platform, notifier};
    MidiLink link{model, devices};
    GuiQueue gui;
    std::vector<MidiInputEvent> received;
};

TEST_F(EditorAgainstVirtualCs1x, IdentityAndEveryRequestKindAreAnsweredWithTheLengthTheEditorExpects) {
    settle();
    ASSERT_EQ(received.size(), 1u); // the identity reply to the start-up request
    EXPECT_EQ(received[0].sysex.size(), 15u);
    EXPECT_EQ(received[0].sysex[8], kMemberLow);
    for (int kind = 5; kind <= 18; ++kind) {
        link.UserPerfNumber = 127;
        const Bytes a = requestAnswer(kind);
        EXPECT_EQ(static_cast<int>(a.size()), answerLength(kind)) << "kind " << kind;
        if (!a.empty()) {
            EXPECT_EQ(MidiLink::SysExChecksum(a), a[a.size() - 2]) << "kind " << kind;
        }
    }
    EXPECT_EQ(requestAnswer(12)[7], 127);
    EXPECT_TRUE(notifier.texts.empty());
}

TEST_F(EditorAgainstVirtualCs1x, BulkDumpsAndParameterChangesFromTheEditorLand) {
    settle();
    // A changed name sent as the whole common block.
    const std::string name = "Edited! ";
    for (int k = 0; k < 8; ++k)
        model.image.setData(Block::Common, k, static_cast<Byte>(name[static_cast<std::size_t>(k)]));
    link.SendBulkBlock(TransferKind::CurrentCommon);
    // One layer byte to all four layers.
    model.AffectAllLayers = true;
    link.SendLayerParam(0x60, 0x13, 0x58);
    // A two-byte change.
    link.SendParamChangeWide(0x60, 0x00, 0x29, 0x01, 0x49);
    // A user performance: the effect block copied from the 34-byte one.
    link.UserPerfSendNumber = 9;
    std::copy_n(model.image.message(Block::Effect).begin(), 32, model.userPerfBuffer.message(1).begin());
    model.userPerfBuffer.message(1)[9] = 0x10; // reverb type MSB
    link.SendBulkBlock(TransferKind::UserEffect);
    settle();

    platform.synth().withSynth([&](VirtualCs1x& s) {
        EXPECT_EQ(s.editBuffer().name(), name);
        for (int layer = 0; layer < 4; ++layer)
            EXPECT_EQ(s.editBuffer().layers[static_cast<std::size_t>(layer)][19], 0x58);
        EXPECT_EQ(s.editBuffer().common[41], 1);
        EXPECT_EQ(s.editBuffer().common[42], 0x49);
        EXPECT_EQ(s.userPerformance(9).effect[0], 0x10);
        EXPECT_EQ(s.ignoredCount(), 0u);
    });
    // Fetching the common block brings the name back.
    const Bytes common = requestAnswer(TransferKind::CurrentCommon);
    ASSERT_EQ(common.size(), 57u);
    EXPECT_EQ(std::string(common.begin() + 9, common.begin() + 17), name);
}

TEST_F(EditorAgainstVirtualCs1x, SwitchingUserPerformanceByBankSelectAndProgramChange) {
    settle();
    devices.SendShortMessage(0xB0, 0x00, 0x3F);
    devices.SendShortMessage(0xB0, 0x20, 0x41);
    devices.SendShortMessage(0xC0, 4, 0);
    const Bytes common = requestAnswer(TransferKind::CurrentCommon);
    ASSERT_EQ(common.size(), 57u);
    EXPECT_EQ(std::string(common.begin() + 9, common.begin() + 17), "Superarp");
    EXPECT_EQ(common[17], 22);
}
