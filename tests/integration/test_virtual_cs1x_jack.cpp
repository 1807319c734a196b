// The standalone virtual CS1x on a private JACK server, reached through the
// device layer over RtMidi: found by name, answering the identity request and
// the request for the current common block, printing what it sees, and
// ending cleanly on SIGTERM.

#include "EventQueue.h"
#include "JackServer.h"
#include "RecordingNotifier.h"
#include "SynthProcess.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/RtMidiPlatform.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace patchsmith;
using Bytes = std::vector<Byte>;

const std::string kClient = "Virtual CS1x";

} // namespace

// Run plain and with the wire model; the latter is stopped with SIGINT (Ctrl-C).
class VirtualCs1xOverJack : public ::testing::TestWithParam<bool> {};

TEST_P(VirtualCs1xOverJack, FoundByNameAndAnswersIdentityAndCommonBlock) {
    const bool wire = GetParam();
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();

    std::vector<std::string> args{PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient};
    if (wire) args.emplace_back("--wire");
    test::SynthProcess child(args);
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.waitForLine("ready")) << "no ready line";

    test::RecordingNotifier notifier;
    test::EventQueue gui;
    std::vector<midi::MidiInputEvent> events;
    {
        midi::RtMidiPlatform platform;
        MidiDevices devices(platform, notifier);
        Model model;
        model.fillDefaults();
        MidiLink link(model, devices);
        devices.postToGuiThread = [&](std::function<void()> task) { gui.post(std::move(task)); };
        devices.onInputEvent = [&](const midi::MidiInputEvent& e) { events.push_back(e); };

        // Learn the device names as the lists show them, then open by name.
        ASSERT_TRUE(devices.InitMidiDevices());
        devices.MidiInDeviceName = test::findDevice(devices.MidiInDeviceNames, kClient);
        devices.MidiOutDeviceName = test::findDevice(devices.MidiOutDeviceNames, kClient);
        ASSERT_FALSE(devices.MidiInDeviceName.empty()) << "no input of " << kClient;
        ASSERT_FALSE(devices.MidiOutDeviceName.empty()) << "no output of " << kClient;
        ASSERT_TRUE(devices.InitMidiDevices());
        ASSERT_TRUE(devices.MidiInOpen);
        ASSERT_TRUE(devices.MidiOutOpen);

        link.SendRequest(TransferKind::Identity);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no identity reply";
        ASSERT_TRUE(events[0].isSysEx);
        const Bytes identity = events[0].sysex;
        EXPECT_EQ(identity.size(), 15u);
        EXPECT_EQ((Bytes(identity.begin(), identity.begin() + 6)), (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43}));
        EXPECT_EQ(identity.back(), 0xF7);

        events.clear();
        link.SendRequest(TransferKind::CurrentCommon);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no common block";
        const Bytes common = events[0].sysex;
        ASSERT_EQ(common.size(), 57u);
        EXPECT_EQ((Bytes(common.begin(), common.begin() + 9)),
                  (Bytes{0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00, 0x00}));
        // The edit buffer holds user performance 1 after power-on.
        EXPECT_EQ(std::string(common.begin() + 9, common.begin() + 17), "umTrax2 ");
        EXPECT_EQ(MidiLink::SysExChecksum(common), common[55]);
        EXPECT_EQ(common.back(), 0xF7);

        // Panel events typed on the program's input reach the editor's input
        // device as channel messages; the selected performance is recalled.
        events.clear();
        ASSERT_TRUE(child.type("knob 74 10"));
        ASSERT_TRUE(child.type("no such command"));
        ASSERT_TRUE(child.type("program 4"));
        ASSERT_TRUE(gui.runUntil([&] { return events.size() >= 2; })) << "no panel events";
        EXPECT_FALSE(events[0].isSysEx);
        EXPECT_EQ(events[0].shortMessage, midi::packShort(0xB0, 74, 10));
        EXPECT_EQ(events[1].shortMessage, midi::packShort(0xC0, 4, 0));
        events.clear();
        link.SendRequest(TransferKind::CurrentCommon);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no common block";
        ASSERT_EQ(events[0].sysex.size(), 57u);
        EXPECT_EQ(std::string(events[0].sysex.begin() + 9, events[0].sysex.begin() + 17), "Superarp");
        // The end of its input does not end the program.
        child.closeInput();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        events.clear();
        link.SendRequest(TransferKind::Identity);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no answer after the input closed";

        EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front();

        devices.CloseMidiIn();
        devices.CloseMidiOut();
    }

    EXPECT_EQ(child.terminate(wire ? SIGINT : SIGTERM), 0);
    const auto lines = child.lines();
    auto has = [&](const std::string& prefix) {
        for (const auto& l : lines)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(has("<- F0 7E 00 06 01 F7"));
    EXPECT_TRUE(has("<- F0 43 20 4B 60 00 00 F7"));
    EXPECT_TRUE(has("-> F0 7E 00 06 02 43 "));
    EXPECT_TRUE(has("-> F0 43 00 4B 00 2E 60 00 00 75 6D 54 72 61 78 32 20 "));
    EXPECT_TRUE(has("-> B0 4A 0A"));
    EXPECT_TRUE(has("-> C0 04"));
    EXPECT_EQ(lines.back(), "bye");
}

INSTANTIATE_TEST_SUITE_P(Wire, VirtualCs1xOverJack, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "WireModel" : "Direct"; });

TEST(VirtualCs1xCommandLine, HelpAndBadOptions) {
    {
        test::SynthProcess child({PATCHSMITH_VIRTUAL_CS1X, "--help"});
        ASSERT_TRUE(child.started());
        EXPECT_TRUE(child.waitForLine("  --wire   take the time of a MIDI cable: 320 us per byte each way"));
        EXPECT_EQ(child.terminate(0), 0); // signal 0: just wait for the exit
    }
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--api", "coreaudio"}, std::vector<std::string>{"--name"},
          std::vector<std::string>{"--name", ""}, std::vector<std::string>{"--loud"}}) {
        std::vector<std::string> args{PATCHSMITH_VIRTUAL_CS1X};
        args.insert(args.end(), bad.begin(), bad.end());
        test::SynthProcess child(args);
        ASSERT_TRUE(child.started());
        EXPECT_EQ(child.terminate(0), 2) << bad.front();
        EXPECT_TRUE(child.lines().empty());
    }
}

TEST(VirtualCs1xCommandLine, AnUnusableMidiSystemEndsWithAnErrorNotAHang) {
    // Without a JACK server (and no starting one) RtMidi cannot make the ports.
    const char* previous = std::getenv("JACK_DEFAULT_SERVER");
    const std::string saved = previous ? previous : "";
    setenv("JACK_DEFAULT_SERVER", "patchsmith-no-such-server", 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    test::SynthProcess child({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack"});
    if (previous)
        setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1);
    else
        unsetenv("JACK_DEFAULT_SERVER");
    unsetenv("JACK_NO_START_SERVER");
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.terminate(0), 1);
    for (const auto& l : child.lines()) EXPECT_NE(l, "ready");
}
