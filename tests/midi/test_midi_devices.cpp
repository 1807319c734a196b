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
        {65, ""}, {67, "MIDIERR_NOTREADY"}, {5, "MMSYSERR_INVALHANDLE"}, {11, "MMSYSERR_INVALPARAM"},
        {64, "MIDIERR_UNPREPARED"}, {1, ""}, {0, ""},
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

TEST_F(DevicesTest, FailedBufferPreparationKeepsTheOutputOpenAndEverySendFails) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiOutDeviceName = "Out";
    platform.failWith("prepareOutputBuffer", 7);
    devices.InitMidiDevices();
    EXPECT_THAT(notifier.messages, ElementsAre("Unable to Create MIDI-Out Buffer!"));
    EXPECT_TRUE(devices.MidiOutOpen);
    notifier.messages.clear();
    devices.SendLongMessage(std::vector<Byte>{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7});
    EXPECT_THAT(notifier.messages, ElementsAre("MIDIERR_UNPREPARED"));
}

TEST_F(DevicesTest, OpenFailuresNameTheConfiguredDeviceAndCode) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    devices.MidiOutDeviceName = "Out";
    platform.failWith("openInput", 4);
    platform.failWith("openOutput", 2);
    devices.InitMidiDevices();
    EXPECT_THAT(notifier.messages, ElementsAre("Unable to open MIDI-IN-Device <In> : 4",
                                               "Unable to open MIDI-OUT-Device <Out> : 2"));
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_FALSE(devices.MidiOutOpen);
}

TEST_F(DevicesTest, FailedInputBufferLeavesTheInputOpenWithoutBuffer) {
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    devices.MidiInDeviceName = "In";
    platform.failWith("prepareInputBuffer", 1);
    devices.InitMidiDevices();
    EXPECT_THAT(notifier.messages, ElementsAre("Unable to Create MIDI-In Buffer!"));
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "startInput"), 0);
    // Closing it does not unprepare a buffer that never was.
    EXPECT_TRUE(devices.CloseMidiIn());
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "unprepareInputBuffer"), 0);
}

TEST_F(DevicesTest, FailedCloseKeepsTheDeviceCountedAsOpenAndBlocksTheReopen) {
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
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_EQ(platform.openedInputDevice(), 0u);

    platform.failWith("closeOutput", 67);
    EXPECT_FALSE(devices.CloseMidiOut());
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_EQ(notifier.messages.back(), "Unable to close MIDI-Device <Out A> : 67");
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
    EXPECT_TRUE(received.empty()); // nothing runs on the delivering thread
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
