// The parts of the RtMidi platform that need no MIDI server: device names,
// result codes, message framing, and behaviour on a machine without any
// usable MIDI API.

#include "midi/MidiDevices.h"
#include "midi/RtMidiPlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace patchsmith;
using namespace patchsmith::midi;

TEST(DeviceNames, AlsaNamesStayWholeWithTheirNumbers) {
    // Two ports of one interface differ only late in their names; the
    // numbers tell apart two identical interfaces.
    EXPECT_EQ(normalizeDeviceName(RtMidi::LINUX_ALSA, "UM-ONE mk2:UM-ONE mk2 MIDI 1 24:0"),
              "UM-ONE mk2:UM-ONE mk2 MIDI 1 24:0");
    EXPECT_EQ(normalizeDeviceName(RtMidi::LINUX_ALSA, "UM-ONE mk2:UM-ONE mk2 MIDI 2 24:1"),
              "UM-ONE mk2:UM-ONE mk2 MIDI 2 24:1");
    const std::string longName = "Virtual CS1x:Virtual CS1x MIDI Out 1 with a long port name 129:12";
    EXPECT_EQ(normalizeDeviceName(RtMidi::LINUX_ALSA, longName), longName);
}

TEST(DeviceNames, WinMmDeviceNumberIsDroppedOthersStayAsListed) {
    EXPECT_EQ(normalizeDeviceName(RtMidi::WINDOWS_MM, "USB MIDI Interface 2"), "USB MIDI Interface");
    EXPECT_EQ(normalizeDeviceName(RtMidi::WINDOWS_MM, "CS1x 10"), "CS1x");
    EXPECT_EQ(normalizeDeviceName(RtMidi::WINDOWS_MM, "CS1x"), "CS1x");
    // JACK's "client:port" is stable already and is what a user recognises.
    EXPECT_EQ(normalizeDeviceName(RtMidi::UNIX_JACK, "Virtual CS1x:MIDI Out"), "Virtual CS1x:MIDI Out");
    EXPECT_EQ(normalizeDeviceName(RtMidi::UNIX_JACK, "a2j:CS1x [20] (capture): CS1x MIDI 1"),
              "a2j:CS1x [20] (capture): CS1x MIDI 1");
    EXPECT_EQ(normalizeDeviceName(RtMidi::MACOSX_CORE, "IAC Driver Bus 1"), "IAC Driver Bus 1");
}

TEST(ResultCodes, RtMidiErrorsMapOntoTheCodesTheLayerKnows) {
    EXPECT_EQ(resultFromRtMidiError(RtMidiError::INVALID_PARAMETER), MMSYSERR_INVALPARAM);
    EXPECT_EQ(resultFromRtMidiError(RtMidiError::INVALID_DEVICE), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(resultFromRtMidiError(RtMidiError::NO_DEVICES_FOUND), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(resultFromRtMidiError(RtMidiError::DRIVER_ERROR), MMSYSERR_ERROR);
    EXPECT_EQ(resultFromRtMidiError(RtMidiError::SYSTEM_ERROR), MMSYSERR_ERROR);
    // Every error is a failure; none may look like success.
    for (int t = RtMidiError::WARNING; t <= RtMidiError::THREAD_ERROR; ++t)
        EXPECT_NE(resultFromRtMidiError(static_cast<RtMidiError::Type>(t)), MMSYSERR_NOERROR) << t;
}

TEST(ShortMessages, LengthFollowsTheStatus) {
    EXPECT_EQ(shortMessageLength(0x80), 3u);
    EXPECT_EQ(shortMessageLength(0x9F), 3u);
    EXPECT_EQ(shortMessageLength(0xB0), 3u);
    EXPECT_EQ(shortMessageLength(0xC3), 2u);
    EXPECT_EQ(shortMessageLength(0xD0), 2u);
    EXPECT_EQ(shortMessageLength(0xE5), 3u);
    EXPECT_EQ(shortMessageLength(0xF1), 2u);
    EXPECT_EQ(shortMessageLength(0xF2), 3u);
    EXPECT_EQ(shortMessageLength(0xF3), 2u);
    EXPECT_EQ(shortMessageLength(0xF6), 1u);
    EXPECT_EQ(shortMessageLength(0xF8), 1u);
    EXPECT_EQ(shortMessageLength(0xFF), 1u);
    // Not the start of a short message.
    EXPECT_EQ(shortMessageLength(0x00), 0u);
    EXPECT_EQ(shortMessageLength(0x7F), 0u);
    EXPECT_EQ(shortMessageLength(0xF0), 0u);
    EXPECT_EQ(shortMessageLength(0xF7), 0u);
}

TEST(IncomingMessages, SysExWholeShortPackedOthersDropped) {
    std::vector<unsigned char> big(10000, 0x11);
    big.front() = 0xF0;
    big.back() = 0xF7;
    auto ev = eventFromMessage(7, big);
    ASSERT_TRUE(ev);
    EXPECT_TRUE(ev->isSysEx);
    EXPECT_EQ(ev->input, 7u);
    EXPECT_EQ(ev->sysex, std::vector<Byte>(big.begin(), big.end()));

    ev = eventFromMessage(3, {0x92, 0x3C, 0x40});
    ASSERT_TRUE(ev);
    EXPECT_FALSE(ev->isSysEx);
    EXPECT_EQ(ev->input, 3u);
    EXPECT_EQ(ev->shortMessage, 0x403C92u);
    ev = eventFromMessage(3, {0xC0, 0x05});
    ASSERT_TRUE(ev);
    EXPECT_EQ(ev->shortMessage, 0x05C0u);
    ev = eventFromMessage(3, {0xF8});
    ASSERT_TRUE(ev);
    EXPECT_EQ(ev->shortMessage, 0xF8u);

    // SysEx that is cut short or has other messages glued into it.
    EXPECT_FALSE(eventFromMessage(3, {0xF0, 0x43, 0x10}));
    EXPECT_FALSE(eventFromMessage(3, {0xF0, 0x43, 0x90, 0x3C, 0x40, 0xF7}));
    EXPECT_FALSE(eventFromMessage(3, {0xF0, 0x43, 0xF0, 0x43, 0xF7}));
    ev = eventFromMessage(3, {0xF0, 0xF7});
    ASSERT_TRUE(ev);
    EXPECT_TRUE(ev->isSysEx);

    EXPECT_FALSE(eventFromMessage(3, {}));
    EXPECT_FALSE(eventFromMessage(3, {0x90, 0x3C, 0x40, 0x00}));
}

// No JACK server answers under this name, and none may be started for us;
// where ALSA has no sequencer device its API throws at construction.
class NoServer : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("JACK_DEFAULT_SERVER", "patchsmith-nobody-here", 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
    }
};

TEST_F(NoServer, TheQuickLookAtThePortsAgreesWithTheLists) {
    RtMidiPlatform platform;
    EXPECT_EQ(platform.hasPorts(true), !platform.inputPortNames().empty());
    EXPECT_EQ(platform.hasPorts(false), !platform.outputPortNames().empty());
}

TEST_F(NoServer, UnusableApisAreNotFatalAndBadHandlesAreRejected) {
    RtMidiPlatform platform;
    const auto inputs = static_cast<unsigned>(platform.inputPortNames().size());
    const auto outputs = static_cast<unsigned>(platform.outputPortNames().size());
    InputHandle in = 0;
    EXPECT_EQ(platform.openInput(
                  inputs, "Nobody:here", [](MidiInputEvent) {}, in),
              MMSYSERR_BADDEVICEID);
    EXPECT_EQ(in, 0u);
    OutputHandle out = 0;
    EXPECT_EQ(platform.openOutput(outputs + 3, "", {}, out), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(out, 0u);

    for (const std::uint32_t h : {0u, 1u, 99u}) {
        EXPECT_EQ(platform.closeInput(h), MMSYSERR_INVALHANDLE);
        const Byte msg[] = {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x00, 0x01, 0xF7};
        EXPECT_EQ(platform.sendLong(h, msg), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(platform.sendShort(h, packShort(0x90, 60, 100)), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(platform.closeOutput(h), MMSYSERR_INVALHANDLE);
    }
    // Reading the lists again is just as harmless.
    EXPECT_EQ(platform.inputPortNames().size(), inputs);
}

} // namespace
