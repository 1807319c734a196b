// Two MIDI systems as one: device numbers by merged position, handles of its
// own, events relabelled with them.

#include "midi/CompositeMidiPlatform.h"
#include "midi/MidiDevices.h"
#include "support/ScriptedMidiPlatform.h"

#include <gtest/gtest.h>

using namespace patchsmith;
using namespace patchsmith::midi;

namespace {

struct CompositeFixture : ::testing::Test {
    ScriptedMidiPlatform hw;
    ScriptedMidiPlatform synth;
    midi::CompositeMidiPlatform merged{{&hw, &synth}};

    void SetUp() override {
        hw.inputs = {"USB In 1", "USB In 2"};
        hw.outputs = {"USB Out"};
        synth.inputs = {"Virtual CS1x"};
        synth.outputs = {"Virtual CS1x"};
    }
};

} // namespace

TEST_F(CompositeFixture, ListsThePartsInTurn) {
    EXPECT_EQ(merged.inputPortNames(), (std::vector<std::string>{"USB In 1", "USB In 2", "Virtual CS1x"}));
    EXPECT_EQ(merged.outputPortNames(), (std::vector<std::string>{"USB Out", "Virtual CS1x"}));
    InputHandle in = 0;
    OutputHandle out = 0;
    EXPECT_EQ(merged.openInput(3, "USB In 3", {}, in), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(merged.openOutput(2, "", {}, out), MMSYSERR_BADDEVICEID);
}

TEST_F(CompositeFixture, APortThatMovedIsFoundByItsName) {
    // Listed at 2; a port appears before it in the first part.
    hw.inputs = {"USB In 1", "USB In 2", "USB In 3"};
    InputHandle in = 0;
    ASSERT_EQ(merged.openInput(2, "Virtual CS1x", {}, in), MMSYSERR_NOERROR);
    EXPECT_NE(synth.openInputHandle(), 0u);
    EXPECT_EQ(hw.openInputHandle(), 0u);
    // A port that has gone is not replaced by whatever took its number.
    synth.outputs.clear();
    OutputHandle out = 0;
    EXPECT_EQ(merged.openOutput(1, "Virtual CS1x", {}, out), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(hw.openOutputHandle(), 0u);
}

TEST_F(CompositeFixture, OpensTheRightPartAndMapsHandles) {
    OutputHandle out = 0;
    ASSERT_EQ(merged.openOutput(1, "Virtual CS1x", {}, out), MMSYSERR_NOERROR);
    EXPECT_NE(out, 0u);
    EXPECT_EQ(synth.openedOutputDevice(), 0u);
    EXPECT_EQ(hw.openOutputHandle(), 0u);
    const std::vector<Byte> msg{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};
    ASSERT_EQ(merged.sendLong(out, msg), MMSYSERR_NOERROR);
    ASSERT_EQ(merged.sendShort(out, packShort(0xC0, 5, 0)), MMSYSERR_NOERROR);
    ASSERT_EQ(synth.sent.size(), 2u);
    EXPECT_EQ(synth.sent[0].bytes, msg);
    EXPECT_EQ(synth.sent[0].handle, synth.openOutputHandle());
    EXPECT_TRUE(hw.sent.empty());

    // Unknown handles fail without reaching a part.
    EXPECT_EQ(merged.sendLong(out + 100, msg), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(merged.closeOutput(out + 100), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(merged.closeOutput(out), MMSYSERR_NOERROR);
    EXPECT_EQ(merged.sendLong(out, msg), MMSYSERR_INVALHANDLE);
}

TEST_F(CompositeFixture, InputEventsCarryTheMergedHandle) {
    std::vector<MidiInputEvent> events;
    InputHandle in = 0;
    ASSERT_EQ(merged.openInput(
                  1, "USB In 2", [&](MidiInputEvent e) { events.push_back(std::move(e)); }, in),
              MMSYSERR_NOERROR);
    EXPECT_EQ(hw.openedInputDevice(), 1u);
    hw.injectShort(0x90, 60, 100);
    hw.injectSysEx({0xF0, 0x43, 0xF7});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].input, in);
    EXPECT_EQ(events[0].shortMessage, packShort(0x90, 60, 100));
    EXPECT_EQ(events[1].input, in);
    EXPECT_TRUE(events[1].isSysEx);
    EXPECT_EQ(hw.calls, (std::vector<std::string>{"inputPortNames", "openInput"}));
    EXPECT_EQ(merged.closeInput(in), MMSYSERR_NOERROR);
}

TEST_F(CompositeFixture, FailuresOfAPartPassThrough) {
    synth.failWith("openOutput", 67);
    OutputHandle out = 0;
    EXPECT_EQ(merged.openOutput(1, "Virtual CS1x", {}, out), 67);
    EXPECT_EQ(out, 0u);
    hw.failWith("sendLong", 64);
    ASSERT_EQ(merged.openOutput(0, "USB Out", {}, out), MMSYSERR_NOERROR);
    const std::vector<Byte> msg{0xF0, 0xF7};
    EXPECT_EQ(merged.sendLong(out, msg), 64);
}

TEST_F(CompositeFixture, TheDeviceLayerRunsOverIt) {
    struct Quiet : Notifier {
        std::vector<std::string> texts;
        void showMessage(const std::string& t) override { texts.push_back(t); }
    } notifier;
    MidiDevices devices(merged, notifier);
    devices.MidiInDeviceName = "Virtual CS1x";
    devices.MidiOutDeviceName = "USB Out";
    ASSERT_TRUE(devices.InitMidiDevices());
    EXPECT_EQ(devices.MidiInDeviceNames, (std::vector<std::string>{"USB In 1", "USB In 2", "Virtual CS1x"}));
    EXPECT_EQ(devices.MidiInDeviceIndex, 2);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 0);
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_TRUE(devices.MidiOutOpen);
    EXPECT_NE(synth.openInputHandle(), 0u);
    EXPECT_NE(hw.openOutputHandle(), 0u);
    EXPECT_TRUE(notifier.texts.empty());
}
