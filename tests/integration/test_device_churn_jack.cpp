// Ports that vanish and come back, again and again, while devices are being
// chosen: the standalone virtual CS1x is stopped while the device layer opens
// its ports, devices are switched to another port and back while it is gone,
// and it is started again while they are opened anew. Nothing of this may
// crash (this runs in the sanitizer build too); at the end the editor's
// devices work.

#include "EventQueue.h"
#include "JackServer.h"
#include "RecordingNotifier.h"
#include "SynthProcess.h"

#include "midi/MidiDevices.h"
#include "midi/RtMidiPlatform.h"

#include <RtMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace patchsmith;

const std::string kClient = "Virtual CS1x";
constexpr int kCycles = PATCHSMITH_CHURN_CYCLES;

std::unique_ptr<test::SynthProcess> startSynth() {
    auto child = std::make_unique<test::SynthProcess>(
        std::vector<std::string>{PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient, "--quiet"});
    if (!child->started() || !child->waitForLine("ready")) return nullptr;
    return child;
}

int rowOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

} // namespace

TEST(DeviceChurnOverJack, PortsVanishAndReturnManyTimesWhileDevicesAreChosen) {
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();

    // A second device to switch to: ports of this process, as another program
    // would have them.
    RtMidiOut otherOut(RtMidi::UNIX_JACK, "Churn Other");
    RtMidiIn otherIn(RtMidi::UNIX_JACK, "Churn Other");
    otherOut.openVirtualPort("out");
    otherIn.openVirtualPort("in");

    auto synth = startSynth();
    ASSERT_TRUE(synth);
    midi::RtMidiPlatform platform;
    test::RecordingNotifier notifier;
    test::EventQueue gui;
    MidiDevices devices(platform, notifier);
    devices.postToGuiThread = [&](std::function<void()> task) { gui.post(std::move(task)); };
    int identityRequests = 0;
    devices.onIdentityRequest = [&] { ++identityRequests; };

    const std::string in = test::findDevice(platform.inputPortNames(), kClient);
    const std::string out = test::findDevice(platform.outputPortNames(), kClient);
    const std::string otherInName = test::findDevice(platform.inputPortNames(), "Churn Other");
    const std::string otherOutName = test::findDevice(platform.outputPortNames(), "Churn Other");
    ASSERT_FALSE(in.empty());
    ASSERT_FALSE(out.empty());
    ASSERT_FALSE(otherInName.empty());
    ASSERT_FALSE(otherOutName.empty());
    devices.MidiInDeviceName = in;
    devices.MidiOutDeviceName = out;
    ASSERT_TRUE(devices.InitMidiDevices());
    ASSERT_TRUE(devices.MidiInOpen && devices.MidiOutOpen);

    // What OK in the settings window does with the rows the window shows.
    auto choose = [&](const std::string& inName, const std::string& outName) {
        devices.refreshDeviceLists();
        const int inRow = rowOf(devices.MidiInDeviceNames, inName);
        const int outRow = rowOf(devices.MidiOutDeviceNames, outName);
        if (inRow < 0 || outRow < 0) return;
        if (inName != devices.MidiInDeviceName || !devices.MidiInOpen) {
            devices.MidiInDeviceName = inName;
            devices.OpenMidiIn(inRow, inName);
        }
        if (outName != devices.MidiOutDeviceName || !devices.MidiOutOpen) {
            devices.MidiOutDeviceName = outName;
            devices.OpenMidiOut(outRow, outName);
        }
    };

    int reconnected = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        // The peer goes away while its ports are being opened.
        std::thread stopper([&] { synth->stop(); });
        devices.MidiInDeviceName.clear();
        devices.MidiOutDeviceName.clear();
        choose(in, out);
        stopper.join();
        devices.pollPorts();
        gui.runPending();
        // Another device and back while it is gone.
        choose(otherInName, otherOutName);
        choose(in, out);
        devices.pollPorts();
        gui.runPending();
        // It comes back while its ports are being opened and looked for.
        std::unique_ptr<test::SynthProcess> next;
        std::thread starter([&] { next = startSynth(); });
        for (int i = 0; i < 5; ++i) {
            devices.pollPorts();
            choose(in, out);
            gui.runPending();
        }
        starter.join();
        ASSERT_TRUE(next) << "the virtual CS1x did not start again";
        synth = std::move(next);
        // The synth is chosen again once its ports are listed.
        auto onSynth = [&] {
            return devices.MidiInOpen && devices.MidiOutOpen && devices.MidiInDeviceName == in &&
                   devices.MidiOutDeviceName == out;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!onSynth() && std::chrono::steady_clock::now() < deadline) {
            devices.pollPorts();
            choose(in, out);
            gui.runPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(onSynth());
        ++reconnected;
    }
    EXPECT_EQ(reconnected, kCycles);

    // The devices work at the end: the identity request is answered.
    devices.refreshDeviceLists();
    ASSERT_EQ(devices.MidiInDeviceNames.at(static_cast<std::size_t>(devices.MidiInDeviceIndex)), in);
    ASSERT_EQ(devices.MidiOutDeviceNames.at(static_cast<std::size_t>(devices.MidiOutDeviceIndex)), out);
    std::vector<midi::MidiInputEvent> events;
    devices.onInputEvent = [&](const midi::MidiInputEvent& e) { events.push_back(e); };
    devices.SendLongMessage(std::vector<Byte>{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7});
    ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); }));
    EXPECT_TRUE(events.back().isSysEx);
    EXPECT_EQ(events.back().sysex.size(), 15u);
    // Failures along the way were told in the device layer's texts only.
    for (const auto& m : notifier.messages)
        EXPECT_TRUE(m.rfind("Unable to open MIDI-", 0) == 0 || m.rfind("Unable to close MIDI-", 0) == 0) << m;
}
