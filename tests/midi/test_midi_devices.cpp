#include "../support/RecordingNotifier.h"
#include "midi/MidiDevices.h"
#include "support/ScriptedMidiPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

using namespace patchsmith;
using midi::ScriptedMidiPlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class DevicesTest : public ::testing::Test {
protected:
    DevicesTest() : devices(platform, notifier) {
        devices.onIdentityRequest = [this] { ++identityRequests; };
        devices.onPulseMidiOutLed = [this] { ++outPulses; };
        devices.onPulseMidiInLed = [this] { ++inPulses; };
    }

    ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    MidiDevices devices;
    int identityRequests = 0;
    int outPulses = 0;
    int inPulses = 0;
};

} // namespace

TEST_F(DevicesTest, NoOutputDeviceAtAllShowsTheMessageAndOpensNothing) {
    platform.inputs = {"In"};
    devices.MidiInDeviceName = "In";
    EXPECT_FALSE(devices.InitMidiDevices());
    EXPECT_THAT(notifier.messages, ElementsAre("You should have at least ONE MIDI-Device in your Computer I think!"));
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_FALSE(devices.MidiOutOpen);
    EXPECT_THAT(devices.MidiInDeviceNames, IsEmpty());
    EXPECT_EQ(identityRequests, 0);
}

TEST_F(DevicesTest, ConfiguredDevicesAreFoundByExactNameAndOpened) {
    platform.inputs = {"Port A", "CS1x"};
    platform.outputs = {"cs1x", "CS1x"};
    devices.MidiInDeviceName = "CS1x";
    devices.MidiOutDeviceName = "CS1x";
    EXPECT_TRUE(devices.InitMidiDevices());
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre("Port A", "CS1x"));
    EXPECT_EQ(devices.MidiInDeviceIndex, 1);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 1); // comparison is case-sensitive
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_EQ(platform.openedOutputDevice(), 1u);
    EXPECT_EQ(identityRequests, 1);
    EXPECT_THAT(notifier.messages, IsEmpty());
}

TEST_F(DevicesTest, AbsentConfiguredInputLeavesIndexMinusOneWithoutAMessage) {
    platform.inputs = {"Other"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "Gone";
    devices.MidiOutDeviceName = "Out";
    EXPECT_TRUE(devices.InitMidiDevices());
    EXPECT_EQ(devices.MidiInDeviceIndex, -1);
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_THAT(notifier.messages, IsEmpty());
    EXPECT_EQ(identityRequests, 1); // sent anyway; it goes out on the open output
}

TEST_F(DevicesTest, TwoOutputsWithTheConfiguredNameLeaveTheHigherOneOpen) {
    platform.inputs = {"In"};
    platform.outputs = {"CS1x", "Other", "CS1x"};
    devices.MidiOutDeviceName = "CS1x";
    devices.InitMidiDevices();
    EXPECT_EQ(devices.MidiOutDeviceIndex, 2);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_EQ(platform.openedOutputDevice(), 2u);
    // The first was closed before the second was opened.
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "closeOutput"), 1);
}

TEST_F(DevicesTest, NameFieldWithoutNulIsAnEmptyName) {
    platform.nameFields = true;
    platform.inputs = {std::string(32, 'X'), std::string(31, 'Y')};
    platform.outputs = {"Out"};
    devices.InitMidiDevices();
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre("", std::string(31, 'Y')));
}

TEST_F(DevicesTest, SendResultCodesAndTheirTexts) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    const std::vector<Byte> msg{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x10, 0xF7};

    const std::vector<std::pair<int, std::string>> cases{
        {65, ""},
        {67, "MIDIERR_NOTREADY"},
        {5, "MMSYSERR_INVALHANDLE"},
        {11, "MMSYSERR_INVALPARAM"},
        {64, "MIDIERR_UNPREPARED"},
        {1, ""},
        {0, ""},
    };
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        notifier.messages.clear();
        platform.failWith("sendLong", code);
        devices.SendLongMessage(msg);
        EXPECT_EQ(devices.LastMidiResult, code);
        if (text.empty())
            EXPECT_THAT(notifier.messages, IsEmpty());
        else
            EXPECT_THAT(notifier.messages, ElementsAre(text));
    }
    EXPECT_EQ(outPulses, static_cast<int>(cases.size())); // pulsed after every long send
}

TEST_F(DevicesTest, OpenFailuresNameTheConfiguredDeviceAndCode) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    devices.MidiOutDeviceName = "Out";
    platform.failWith("openInput", 4);
    platform.failWith("openOutput", 2);
    devices.InitMidiDevices();
    EXPECT_THAT(notifier.messages,
                ElementsAre("Unable to open MIDI-IN-Device <In> : 4", "Unable to open MIDI-OUT-Device <Out> : 2"));
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_FALSE(devices.MidiOutOpen);
}

TEST_F(DevicesTest, FailedCloseIsReportedAndLeavesTheSideReopenable) {
    platform.inputs = {"Old", "New"};
    platform.outputs = {"Out A", "Out B"};
    devices.MidiInDeviceName = "Old";
    devices.MidiOutDeviceName = "Out A";
    devices.InitMidiDevices();
    ASSERT_TRUE(devices.MidiInOpen);

    platform.failWith("closeInput", 5);
    devices.MidiInDeviceName = "New"; // as the settings window sets it before opening
    devices.OpenMidiIn(1);
    EXPECT_THAT(notifier.messages, ElementsAre("Unable to close MIDI-IN-Device <New> : 5"));
    // The device that would not close is given up; the chosen one opens.
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_EQ(platform.openedInputDevice(), 1u);
    platform.failWith("closeInput", 0);
    devices.OpenMidiIn(0);
    EXPECT_EQ(platform.openedInputDevice(), 0u);
    EXPECT_EQ(notifier.messages.size(), 1u);

    platform.failWith("closeOutput", 67);
    EXPECT_FALSE(devices.CloseMidiOut());
    EXPECT_EQ(notifier.messages.back(), "Unable to close MIDI-Device <Out A> : 67");
    EXPECT_FALSE(devices.MidiOutOpen);
    platform.failWith("closeOutput", 0);
    devices.OpenMidiOut(1);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_EQ(platform.openedOutputDevice(), 1u);
    // Closing again does not ask the platform about the given-up device.
    const auto closes = std::count(platform.calls.begin(), platform.calls.end(), "closeOutput");
    EXPECT_TRUE(devices.CloseMidiOut());
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "closeOutput"), closes + 1);
}

TEST_F(DevicesTest, CloseOfAClosedDeviceSucceedsWithoutCallingThePlatform) {
    EXPECT_TRUE(devices.CloseMidiIn());
    EXPECT_TRUE(devices.CloseMidiOut());
    EXPECT_THAT(platform.calls, IsEmpty());
}

TEST_F(DevicesTest, InputEventsArePostedInOrderAndThoseOfOtherInputsDropped) {
    platform.inputs = {"In", "In 2"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    std::deque<std::function<void()>> queue;
    devices.postToGuiThread = [&](std::function<void()> task) { queue.push_back(std::move(task)); };
    std::vector<midi::MidiInputEvent> received;
    devices.onInputEvent = [&](const midi::MidiInputEvent& e) { received.push_back(e); };
    devices.InitMidiDevices();
    const auto first = platform.openInputHandle();

    platform.injectShort(0x90, 60, 100);
    platform.injectSysEx({0xF0, 0x43, 0x00, 0xF7});
    platform.injectShort(0xB0, 74, 0, first + 100); // another device's handle
    EXPECT_TRUE(received.empty());                  // nothing runs on the delivering thread
    ASSERT_EQ(queue.size(), 3u);
    while (!queue.empty()) {
        queue.front()();
        queue.pop_front();
    }
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FALSE(received[0].isSysEx);
    EXPECT_EQ(received[0].shortMessage, midi::packShort(0x90, 60, 100));
    EXPECT_TRUE(received[1].isSysEx);
    EXPECT_EQ(received[1].sysex.size(), 4u);

    // An event still queued when its input is replaced is dropped.
    platform.injectShort(0x80, 60, 0);
    devices.OpenMidiIn(1);
    while (!queue.empty()) {
        queue.front()();
        queue.pop_front();
    }
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(DevicesTest, ShortMessagesAreSentOnlyWhileTheOutputIsOpen) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.SendShortMessage(0xC0, 4, 0);
    EXPECT_TRUE(platform.sent.empty());
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    devices.SendShortMessage(0xB0, 0x00, 0x3F);
    devices.SendShortMessage(0xC0, 4, 0);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_THAT(platform.sent[0].bytes, ElementsAre(0xB0, 0x00, 0x3F));
    EXPECT_THAT(platform.sent[1].bytes, ElementsAre(0xC0, 0x04, 0x00));
    EXPECT_EQ(outPulses, 0); // a short send does not pulse the lamp
}

TEST_F(DevicesTest, LongNamesStayWholeSoTwoPortsOfOneInterfaceDiffer) {
    // Both names agree in their first 31 characters.
    const std::string port1 = "Roland UM-ONE mk2:UM-ONE mk2 MIDI 1 24:0";
    const std::string port2 = "Roland UM-ONE mk2:UM-ONE mk2 MIDI 2 24:1";
    platform.inputs = {port1, port2};
    platform.outputs = {port1, port2};
    devices.MidiInDeviceName = port1;
    devices.MidiOutDeviceName = port1;
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre(port1, port2));
    EXPECT_EQ(devices.MidiInDeviceIndex, 0);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 0);
    EXPECT_EQ(platform.openedInputDevice(), 0u);
    EXPECT_EQ(platform.openedOutputDevice(), 0u);
}

TEST_F(DevicesTest, ASavedNameFindsItsPortAfterAlsaRenumberedIt) {
    platform.inputs = {"Midi Through:Midi Through Port-0 14:0", "CS1x USB:CS1x USB MIDI 1 28:0"};
    platform.outputs = {"Synth:Port 20:0", "Synth:Port 24:0"};
    devices.MidiInDeviceName = "CS1x USB:CS1x USB MIDI 1 24:0"; // saved before the replug
    devices.MidiOutDeviceName = "Synth:Port 20:0";              // present as it is
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_EQ(devices.MidiInDeviceIndex, 1);
    EXPECT_TRUE(devices.MidiInOpen);
    // The exact name wins over one that differs only in the numbers.
    EXPECT_EQ(devices.MidiOutDeviceIndex, 0);
    EXPECT_EQ(platform.openedOutputDevice(), 0u);
    // Found is not chosen: the saved names stay.
    EXPECT_EQ(devices.MidiInDeviceName, "CS1x USB:CS1x USB MIDI 1 24:0");
    EXPECT_THAT(notifier.messages, IsEmpty());
}

TEST(DeviceNames, BaseNameDropsOnlyTheSequencersTrailingNumbers) {
    EXPECT_EQ(MidiDevices::baseDeviceName("Midi Through:Midi Through Port-0 14:0"), "Midi Through:Midi Through Port-0");
    EXPECT_EQ(MidiDevices::baseDeviceName("Virtual CS1x:MIDI Out 129:12"), "Virtual CS1x:MIDI Out");
    EXPECT_EQ(MidiDevices::baseDeviceName("Synth:Port 1"), "Synth:Port 1");
    EXPECT_EQ(MidiDevices::baseDeviceName("Synth:Port 1:a"), "Synth:Port 1:a");
    EXPECT_EQ(MidiDevices::baseDeviceName("Synth:Port 12:"), "Synth:Port 12:");
    EXPECT_EQ(MidiDevices::baseDeviceName("Synth:Port :3"), "Synth:Port :3");
    EXPECT_EQ(MidiDevices::baseDeviceName("128:0"), "128:0");
    EXPECT_EQ(MidiDevices::baseDeviceName("Virtual CS1x:MIDI Out"), "Virtual CS1x:MIDI Out");
    EXPECT_EQ(MidiDevices::baseDeviceName(""), "");

    const std::vector<std::string> names{"A:B 20:0", "A:B 21:0", "C:D"};
    EXPECT_EQ(MidiDevices::findDevice(names, "A:B 20:0"), 0);
    EXPECT_EQ(MidiDevices::findDevice(names, "A:B 99:0"), 1); // the last of the same base name
    EXPECT_EQ(MidiDevices::findDevice(names, "C:D"), 2);
    EXPECT_EQ(MidiDevices::findDevice(names, "C:D 3:0"), 2);
    EXPECT_EQ(MidiDevices::findDevice(names, "A:C 20:0"), -1);
    EXPECT_EQ(MidiDevices::findDevice(names, ""), -1);
}

TEST_F(DevicesTest, LateSendFailureIsReportedWithItsMessageNotWithTheNextOne) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiOutDeviceName = "Out";
    std::deque<std::function<void()>> queue;
    devices.postToGuiThread = [&](std::function<void()> task) { queue.push_back(std::move(task)); };
    devices.InitMidiDevices();
    const std::vector<Byte> first{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x10, 0xF7};
    const std::vector<Byte> second{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x11, 0xF7};
    devices.SendLongMessage(first);
    EXPECT_THAT(notifier.messages, IsEmpty());

    // The driver finds out on its own thread; the text follows on the GUI thread.
    platform.failLater(midi::MIDIERR_NOTREADY, first);
    EXPECT_THAT(notifier.messages, IsEmpty());
    ASSERT_EQ(queue.size(), 1u);
    queue.front()();
    queue.pop_front();
    EXPECT_THAT(notifier.messages, ElementsAre("MIDIERR_NOTREADY"));
    EXPECT_EQ(devices.LastMidiResult, midi::MIDIERR_NOTREADY);

    // The next message went out fine and says so.
    devices.SendLongMessage(second);
    EXPECT_EQ(devices.LastMidiResult, 0);
    EXPECT_THAT(notifier.messages, ElementsAre("MIDIERR_NOTREADY"));
    EXPECT_TRUE(queue.empty());
}

// --- Ports that come and go ---------------------------------------------------

namespace {

class PortsTest : public DevicesTest {
protected:
    PortsTest() {
        devices.onDeviceLost = [this](bool input, const std::string& name) {
            events.push_back((input ? "lost in " : "lost out ") + name);
        };
        devices.onDeviceReconnected = [this](bool input, const std::string& name) {
            events.push_back((input ? "back in " : "back out ") + name);
        };
        devices.onDeviceStateChanged = [this] { ++stateChanges; };
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(platform.calls.begin(), platform.calls.end(), call));
    }
    std::vector<std::string> events;
    int stateChanges = 0;
};

} // namespace

TEST_F(PortsTest, AVanishedPortIsLostAndReopenedWhenItComesBackRenumbered) {
    platform.inputs = {"Other In", "CS1x:CS1x MIDI 1 24:0"};
    platform.outputs = {"CS1x:CS1x MIDI 1 24:0"};
    devices.MidiInDeviceName = "CS1x:CS1x MIDI 1 24:0";
    devices.MidiOutDeviceName = "CS1x:CS1x MIDI 1 24:0";
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_FALSE(devices.midiInLost());
    EXPECT_EQ(identityRequests, 1);

    // Unplugged.
    platform.inputs = {"Other In"};
    platform.outputs = {};
    EXPECT_TRUE(devices.pollPorts());
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_FALSE(devices.MidiOutOpen);
    EXPECT_TRUE(devices.midiInLost());
    EXPECT_TRUE(devices.midiOutLost());
    EXPECT_THAT(events, ElementsAre("lost in CS1x:CS1x MIDI 1 24:0", "lost out CS1x:CS1x MIDI 1 24:0"));
    EXPECT_GE(stateChanges, 1);
    EXPECT_THAT(notifier.messages, IsEmpty()) << "a lost port is no message box";
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre("Other In"));
    EXPECT_EQ(devices.MidiInDeviceIndex, -1);
    EXPECT_EQ(devices.MidiOutDeviceIndex, -1);
    // Nothing is sent into the void.
    platform.sent.clear();
    devices.SendShortMessage(0xC0, 4, 0);
    EXPECT_TRUE(platform.sent.empty());
    // Still gone: nothing more happens.
    EXPECT_TRUE(devices.pollPorts());
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(count("openInput") + count("openOutput"), 2);

    // Plugged in again; ALSA gave it other numbers.
    platform.inputs = {"Other In", "New One", "CS1x:CS1x MIDI 1 28:0"};
    platform.outputs = {"CS1x:CS1x MIDI 1 28:0"};
    EXPECT_TRUE(devices.pollPorts());
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_FALSE(devices.midiInLost());
    EXPECT_EQ(platform.openedInputDevice(), 2u);
    EXPECT_EQ(devices.MidiInDeviceIndex, 2);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 0);
    EXPECT_THAT(events, ElementsAre("lost in CS1x:CS1x MIDI 1 24:0", "lost out CS1x:CS1x MIDI 1 24:0",
                                    "back in CS1x:CS1x MIDI 1 28:0", "back out CS1x:CS1x MIDI 1 28:0"));
    EXPECT_EQ(identityRequests, 2) << "one identity request, as at start";
    EXPECT_EQ(devices.MidiInDeviceName, "CS1x:CS1x MIDI 1 24:0") << "the saved name stays";
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre("Other In", "New One", "CS1x:CS1x MIDI 1 28:0"));
    // Events of the reopened input reach the program.
    std::vector<midi::MidiInputEvent> received;
    devices.onInputEvent = [&](const midi::MidiInputEvent& e) { received.push_back(e); };
    platform.injectShort(0x90, 60, 1);
    EXPECT_EQ(received.size(), 1u);
    // And a poll with nothing changed touches nothing.
    const auto opens = count("openInput") + count("openOutput");
    EXPECT_TRUE(devices.pollPorts());
    EXPECT_EQ(count("openInput") + count("openOutput"), opens);
    EXPECT_EQ(identityRequests, 2);
}

TEST_F(PortsTest, NothingIsLookedAtWhileBusy) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    bool busy = true;
    devices.busy = [&] { return busy; };
    platform.calls.clear();
    platform.inputs.clear();
    EXPECT_FALSE(devices.pollPorts());
    EXPECT_THAT(platform.calls, IsEmpty());
    // Lists read before the transfer began are not applied during it either.
    devices.applyPortLists({{}, {"Out"}});
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_THAT(platform.calls, IsEmpty());
    busy = false;
    EXPECT_TRUE(devices.pollPorts());
    EXPECT_FALSE(devices.MidiInOpen);
}

TEST_F(PortsTest, AFailedReopenIsQuietAndTriedAgainOnlyAfterThePortCameBack) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    platform.inputs.clear();
    devices.pollPorts();
    ASSERT_TRUE(devices.midiInLost());

    platform.inputs = {"In"};
    platform.failWith("openInput", midi::MIDIERR_NOTREADY);
    devices.pollPorts();
    EXPECT_TRUE(devices.midiInLost());
    EXPECT_THAT(notifier.messages, IsEmpty());
    const int tries = count("openInput");
    devices.pollPorts();
    devices.pollPorts();
    EXPECT_EQ(count("openInput"), tries) << "not once a second";
    EXPECT_EQ(identityRequests, 1);

    platform.failWith("openInput", 0);
    platform.inputs.clear();
    devices.pollPorts();
    platform.inputs = {"In"};
    devices.pollPorts();
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_EQ(identityRequests, 2);
    EXPECT_THAT(notifier.messages, IsEmpty());
}

TEST_F(PortsTest, AConfiguredDeviceAbsentAtStartIsOpenedWhenItIsPluggedIn) {
    platform.inputs = {"Other"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "CS1x In";
    devices.MidiOutDeviceName = "Out";
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_TRUE(devices.midiInLost());
    EXPECT_FALSE(devices.midiOutLost());
    EXPECT_THAT(notifier.messages, IsEmpty());
    platform.inputs = {"Other", "CS1x In"};
    devices.pollPorts();
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_EQ(platform.openedInputDevice(), 1u);
    EXPECT_THAT(events, ElementsAre("back in CS1x In"));
    EXPECT_EQ(identityRequests, 2);
}

TEST_F(PortsTest, TheFallbackStandsInUntilTheConfiguredDeviceIsPluggedIn) {
    platform.inputs = {"Virtual CS1x"};
    platform.outputs = {"Virtual CS1x"};
    devices.fallbackDeviceName = "Virtual CS1x";
    devices.MidiInDeviceName = "UM-ONE:UM-ONE MIDI 1 24:0";
    devices.MidiOutDeviceName = "UM-ONE:UM-ONE MIDI 1 24:0";
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_FALSE(devices.midiInLost()) << "the fallback works";
    devices.pollPorts();
    EXPECT_EQ(platform.openedInputDevice(), 0u);
    EXPECT_TRUE(events.empty());

    platform.inputs = {"Virtual CS1x", "UM-ONE:UM-ONE MIDI 1 20:0"};
    platform.outputs = {"UM-ONE:UM-ONE MIDI 1 20:0", "Virtual CS1x"};
    devices.pollPorts();
    EXPECT_EQ(platform.openedInputDevice(), 1u);
    EXPECT_EQ(platform.openedOutputDevice(), 0u);
    EXPECT_EQ(identityRequests, 2);
    EXPECT_THAT(notifier.messages, IsEmpty());
}

TEST_F(PortsTest, TheListsAreRefreshedWithoutOpeningAnything) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    platform.inputs = {"New", "In"};
    platform.calls.clear();
    devices.refreshDeviceLists();
    EXPECT_THAT(devices.MidiInDeviceNames, ElementsAre("New", "In"));
    EXPECT_EQ(devices.MidiInDeviceIndex, 1);
    EXPECT_THAT(platform.calls, ElementsAre("inputPortNames", "outputPortNames"));
}
