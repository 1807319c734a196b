// The device layer over RtMidi and a real JACK server: a second client with
// virtual ports stands in for the synthesizer.

#include "EventQueue.h"
#include "JackServer.h"
#include "RecordingNotifier.h"
#include "midi/MidiDevices.h"
#include "midi/RtMidiPlatform.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace patchsmith;
using Bytes = std::vector<Byte>;
using Clock = std::chrono::steady_clock;

constexpr auto kWait = std::chrono::seconds(20);

const std::string kPeerOut = "Virtual CS1x:MIDI Out";
const std::string kPeerIn = "Virtual CS1x Input:MIDI In";

// Collects what an RtMidi input receives, from RtMidi's thread.
class Collector {
public:
    static void callback(double, std::vector<unsigned char>* message, void* user) {
        auto* self = static_cast<Collector*>(user);
        {
            std::lock_guard lock(self->mutex_);
            self->messages_.emplace_back(message->begin(), message->end());
        }
        self->cv_.notify_all();
    }
    bool waitForCount(std::size_t count, std::chrono::milliseconds limit = kWait) {
        std::unique_lock lock(mutex_);
        return cv_.wait_until(lock, Clock::now() + limit, [&] { return messages_.size() >= count; });
    }
    std::vector<Bytes> messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<Bytes> messages_;
};

// The other side: one JACK client with a virtual output, one with a virtual
// input (each RtMidi object is a JACK client of its own).
class VirtualPeer {
public:
    VirtualPeer() : out_(RtMidi::UNIX_JACK, "Virtual CS1x"), in_(RtMidi::UNIX_JACK, "Virtual CS1x Input") {
        out_.setErrorCallback(&VirtualPeer::onError, this);
        in_.setErrorCallback(&VirtualPeer::onError, this);
        out_.openVirtualPort("MIDI Out");
        in_.ignoreTypes(false, false, false);
        in_.setCallback(&Collector::callback, &received);
        in_.openVirtualPort("MIDI In");
    }

    // Sends one message; waits while RtMidi's JACK queue is full. Like the
    // synthesizer on its cable, it does not flood: RtMidi's JACK output drops
    // what exceeds JACK's port buffer within one cycle.
    bool send(const Bytes& message) {
        sentSincePause_ += message.size() + 12;
        if (sentSincePause_ > 2048) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sentSincePause_ = message.size() + 12;
        }
        const auto deadline = Clock::now() + kWait;
        for (;;) {
            queueFull_ = false;
            out_.sendMessage(message.data(), message.size());
            if (!queueFull_) return true;
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    Collector received;

private:
    static void onError(RtMidiError::Type, const std::string& text, void* user) {
        auto* self = static_cast<VirtualPeer*>(user);
        if (text.find("ringbuffer full") != std::string::npos)
            self->queueFull_ = true;
        else
            ADD_FAILURE() << "peer: " << text;
    }

    RtMidiOut out_;
    RtMidiIn in_;
    bool queueFull_ = false;
    std::size_t sentSincePause_ = 0;
};

// A SysEx message of the given total size whose content tells it apart from
// every other message of the run; all data bytes 7-bit.
Bytes numberedSysEx(std::size_t size, unsigned number) {
    Bytes m(size);
    m.front() = 0xF0;
    m.back() = 0xF7;
    for (std::size_t i = 1; i + 1 < size; ++i) m[i] = static_cast<Byte>((number * 31 + i * 7 + number / 128) & 0x7F);
    if (size >= 4) {
        m[1] = static_cast<Byte>(number >> 7 & 0x7F);
        m[2] = static_cast<Byte>(number & 0x7F);
    }
    return m;
}

// Names the messages near position `at` by their numbers, for failure reports.
std::string around(const std::vector<Bytes>& messages, std::size_t at) {
    std::string text;
    const std::size_t from = at > 8 ? at - 8 : 0;
    for (std::size_t i = from; i < messages.size() && i < at + 100; ++i) {
        const Bytes& m = messages[i];
        if (m.size() > 3 && m.front() == 0xF0)
            text += "#" + std::to_string(m[1] * 128 + m[2]);
        else
            text += "short";
        text += "/" + std::to_string(m.size()) + (i == at ? "* " : " ");
    }
    return text;
}

class RtMidiJackTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<test::JackServer>();
        if (!server->ok()) GTEST_SKIP() << server->why();
        peer = std::make_unique<VirtualPeer>();
        platform = std::make_unique<midi::RtMidiPlatform>();
        devices = std::make_unique<MidiDevices>(*platform, notifier);
        devices->postToGuiThread = [this](std::function<void()> task) { gui.post(std::move(task)); };
        devices->onInputEvent = [this](const midi::MidiInputEvent& event) { events.push_back(event); };
    }

    void TearDown() override {
        devices.reset();
        platform.reset();
        peer.reset();
        server.reset();
    }

    void openBoth() {
        devices->MidiInDeviceName = kPeerOut;
        devices->MidiOutDeviceName = kPeerIn;
        ASSERT_TRUE(devices->InitMidiDevices());
        ASSERT_TRUE(devices->MidiInOpen) << "input list has no " << kPeerOut;
        ASSERT_TRUE(devices->MidiOutOpen) << "output list has no " << kPeerIn;
        ASSERT_TRUE(notifier.messages.empty()) << notifier.messages.front();
    }

    std::unique_ptr<test::JackServer> server;
    std::unique_ptr<VirtualPeer> peer;
    std::unique_ptr<midi::RtMidiPlatform> platform;
    std::unique_ptr<MidiDevices> devices;
    test::RecordingNotifier notifier;
    test::EventQueue gui;
    std::vector<midi::MidiInputEvent> events;
};

TEST_F(RtMidiJackTest, ListsThePeerPortsByStableNamesButNotItsOwn) {
    openBoth();
    EXPECT_EQ(std::count(devices->MidiInDeviceNames.begin(), devices->MidiInDeviceNames.end(), kPeerOut), 1);
    EXPECT_EQ(std::count(devices->MidiOutDeviceNames.begin(), devices->MidiOutDeviceNames.end(), kPeerIn), 1);
    EXPECT_EQ(devices->MidiInDeviceNames.at(static_cast<std::size_t>(devices->MidiInDeviceIndex)), kPeerOut);
    EXPECT_EQ(devices->MidiOutDeviceNames.at(static_cast<std::size_t>(devices->MidiOutDeviceIndex)), kPeerIn);

    // Read again while our own ports exist: they are not offered as devices.
    std::vector<std::string> names = platform->inputPortNames();
    for (const auto& name : platform->outputPortNames()) names.push_back(name);
    EXPECT_NE(std::find(names.begin(), names.end(), kPeerOut), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), kPeerIn), names.end());
    for (const auto& name : names) EXPECT_NE(name.rfind("Patchsmith", 0), 0u) << name;
}

TEST_F(RtMidiJackTest, TheQuickLookAtThePortsFindsJacksAsTheListsDo) {
    // Asked before the window shows; JACK comes after every other system.
    EXPECT_EQ(platform->hasPorts(true), !platform->inputPortNames().empty());
    EXPECT_EQ(platform->hasPorts(false), !platform->outputPortNames().empty());
    EXPECT_TRUE(platform->hasPorts(true));
    EXPECT_TRUE(platform->hasPorts(false));
}

TEST_F(RtMidiJackTest, BackToBackSendsArriveWholeAndInOrder) {
    openBoth();
    const std::size_t sizes[] = {9, 10, 20, 32, 52, 57};
    std::vector<Bytes> expected;
    for (unsigned n = 0; n < 1000; ++n) {
        const Bytes sysex = numberedSysEx(sizes[n % 6], n);
        devices->SendLongMessage(sysex);
        expected.push_back(sysex);
        if (n % 25 == 0) {
            devices->SendShortMessage(0xB0, 7, static_cast<Byte>(n & 0x7F));
            expected.push_back({0xB0, 7, static_cast<Byte>(n & 0x7F)});
            devices->SendShortMessage(0xC0, static_cast<Byte>(n % 128), 0);
            expected.push_back({0xC0, static_cast<Byte>(n % 128)});
        }
    }
    EXPECT_EQ(devices->LastMidiResult, midi::MMSYSERR_NOERROR);
    EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front();

    ASSERT_TRUE(peer->received.waitForCount(expected.size())) << around(peer->received.messages(), 0);
    const auto received = peer->received.messages();
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(received[i], expected[i]) << "message " << i << ": " << around(received, i);
}

TEST_F(RtMidiJackTest, IncomingMessagesReachTheLayerWholeInOrderAndTagged) {
    openBoth();
    std::vector<Bytes> sent;
    const std::size_t sizes[] = {57, 9, 10000, 34, 20, 52, 15, 8193};
    for (unsigned n = 0; n < 40; ++n) {
        sent.push_back(numberedSysEx(sizes[n % 8], n));
        sent.push_back({0x90, static_cast<Byte>(60 + n % 12), static_cast<Byte>(n % 2 ? 0 : 100)});
        if (n % 5 == 0) {
            sent.push_back({0xC0, static_cast<Byte>(n)});
            sent.push_back({0xF8}); // timing clock is kept
        }
    }
    for (const auto& m : sent) {
        ASSERT_TRUE(peer->send(m));
        if (m.front() == 0xC0) {
            ASSERT_TRUE(peer->send({0xFE})); // active sensing is not delivered
        }
    }

    auto received = [&] {
        std::vector<Bytes> list;
        for (const auto& ev : events) {
            if (ev.isSysEx)
                list.push_back(ev.sysex);
            else
                list.push_back(
                    {static_cast<Byte>(ev.shortMessage & 0xFF), static_cast<Byte>(ev.shortMessage >> 8 & 0xFF)});
        }
        return list;
    };
    ASSERT_TRUE(gui.runUntil([&] { return events.size() >= sent.size(); }))
        << events.size() << " of " << sent.size() << ": " << around(received(), 0) << " ... "
        << around(received(), events.size());
    ASSERT_EQ(events.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const auto& ev = events[i];
        EXPECT_EQ(ev.input, devices->inputHandle());
        if (sent[i].front() == 0xF0) {
            ASSERT_TRUE(ev.isSysEx) << "event " << i;
            ASSERT_EQ(ev.sysex, sent[i]) << "event " << i;
        } else {
            ASSERT_FALSE(ev.isSysEx) << "event " << i;
            const Bytes& m = sent[i];
            EXPECT_EQ(ev.shortMessage, midi::packShort(m[0], m.size() > 1 ? m[1] : 0, m.size() > 2 ? m[2] : 0))
                << "event " << i;
        }
    }
}

TEST_F(RtMidiJackTest, NothingArrivesAfterCloseMidiIn) {
    openBoth();
    ASSERT_TRUE(peer->send({0x90, 60, 100}));
    ASSERT_TRUE(gui.runUntil([&] { return events.size() == 1; }));

    ASSERT_TRUE(devices->CloseMidiIn());
    const std::size_t postedAtClose = gui.posted();

    // A second listener on the same port shows when the messages have
    // travelled; by then the closed input would have had them.
    RtMidiIn witness(RtMidi::UNIX_JACK, "Witness");
    Collector seen;
    witness.ignoreTypes(false, false, false);
    witness.setCallback(&Collector::callback, &seen);
    unsigned port = witness.getPortCount();
    for (unsigned i = 0; i < witness.getPortCount(); ++i)
        if (witness.getPortName(i) == kPeerOut) port = i;
    ASSERT_LT(port, witness.getPortCount());
    witness.openPort(port, "in");

    // The connection is in place once one message has come through.
    bool connected = false;
    for (int tries = 0; tries < 100 && !connected; ++tries) {
        ASSERT_TRUE(peer->send({0xF8}));
        connected = seen.waitForCount(1, std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(connected);
    const std::size_t before = seen.messages().size();
    ASSERT_TRUE(peer->send(numberedSysEx(57, 1)));
    ASSERT_TRUE(peer->send({0x90, 62, 100}));
    ASSERT_TRUE(seen.waitForCount(before + 2));

    gui.runPending();
    EXPECT_EQ(gui.posted(), postedAtClose);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(RtMidiJackTest, PlatformChecksHandlesAndMessages) {
    using namespace midi;
    auto deviceNumber = [&](bool input, const std::string& wanted) {
        const auto names = input ? platform->inputPortNames() : platform->outputPortNames();
        const auto count = static_cast<unsigned>(names.size());
        for (unsigned i = 0; i < count; ++i)
            if (names[i] == wanted) return i;
        ADD_FAILURE() << "no device " << wanted;
        return count;
    };
    const unsigned outDevice = deviceNumber(false, kPeerIn);
    OutputHandle first = 0, second = 0;
    ASSERT_EQ(platform->openOutput(outDevice, kPeerIn, {}, first), MMSYSERR_NOERROR);
    ASSERT_EQ(platform->openOutput(outDevice, kPeerIn, {}, second), MMSYSERR_NOERROR);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);

    const Bytes accepted = numberedSysEx(9, 5);
    const Bytes longest = numberedSysEx(RtMidiPlatform::kMaxLongMessageBytes, 6);

    // Nothing that would end early or run into the next message goes out.
    EXPECT_EQ(platform->sendLong(first, Bytes{0xF0, 0x43, 0x90, 0xF7}), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendLong(first, Bytes{0xF0, 0x43, 0x10}), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendLong(first, Bytes{0x43, 0x10, 0xF7}), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendLong(first, Bytes{}), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendLong(first, numberedSysEx(RtMidiPlatform::kMaxLongMessageBytes + 1, 7)),
              MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendShort(first, packShort(0xF0, 0x43, 0x10)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendShort(first, packShort(0x90, 0x80, 0x10)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(platform->sendShort(first, packShort(0x3C, 0x40, 0x00)), MMSYSERR_INVALPARAM);

    EXPECT_EQ(platform->sendLong(first, accepted), MMSYSERR_NOERROR);
    EXPECT_EQ(platform->sendShort(first, packShort(0xC0, 5, 0)), MMSYSERR_NOERROR);
    EXPECT_EQ(platform->sendLong(first, longest), MMSYSERR_NOERROR);
    ASSERT_TRUE(peer->received.waitForCount(3));
    EXPECT_EQ(peer->received.messages(), (std::vector<Bytes>{accepted, {0xC0, 5}, longest}));

    EXPECT_EQ(platform->closeOutput(first), MMSYSERR_NOERROR);
    EXPECT_EQ(platform->closeOutput(first), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(platform->sendShort(first, packShort(0x90, 60, 100)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(platform->closeOutput(second), MMSYSERR_NOERROR);

    InputHandle in = 0;
    ASSERT_EQ(platform->openInput(
                  deviceNumber(true, kPeerOut), kPeerOut, [](MidiInputEvent) {}, in),
              MMSYSERR_NOERROR);
    EXPECT_NE(in, 0u);
    EXPECT_NE(in, first);
    EXPECT_NE(in, second);
    EXPECT_EQ(platform->closeInput(in), MMSYSERR_NOERROR);
    EXPECT_EQ(platform->closeInput(in), MMSYSERR_INVALHANDLE);
    // A port that is not there is not opened under another's number.
    EXPECT_EQ(platform->openInput(
                  0, "Nobody:here", [](MidiInputEvent) {}, in),
              MMSYSERR_BADDEVICEID);
}

TEST_F(RtMidiJackTest, SendsFailInsteadOfHangingWhenTheServerIsGone) {
    openBoth();
    devices->SendShortMessage(0x90, 60, 100);
    ASSERT_TRUE(peer->received.waitForCount(1));

    // Nothing drains the output any more: RtMidi's own queue fills, then ours.
    server.reset();
    bool notReady = false;
    for (unsigned n = 0; n < 5000 && !notReady; ++n) {
        devices->SendLongMessage(numberedSysEx(57, n));
        notReady = devices->LastMidiResult == midi::MIDIERR_NOTREADY;
    }
    ASSERT_TRUE(notReady);
    EXPECT_EQ(notifier.messages.back(), "MIDIERR_NOTREADY");
    // Later sends give up at once, and the device can still be closed.
    devices->SendLongMessage(numberedSysEx(57, 1));
    EXPECT_EQ(devices->LastMidiResult, midi::MIDIERR_NOTREADY);
    EXPECT_TRUE(devices->CloseMidiOut());
    EXPECT_FALSE(devices->MidiOutOpen);
    EXPECT_TRUE(devices->CloseMidiIn());
}

} // namespace
