// The editing interface: each kind of edit writes the image and puts exactly
// its bytes on the wire; layer edits go to the edited layer or all four;
// muted layers keep their volume aside; a quiet scope (a display refresh)
// neither writes nor sends, also when nested.

#include "../support/RecordingNotifier.h"
#include "midi/EditSession.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "support/ScriptedMidiPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace patchsmith;
using midi::ScriptedMidiPlatform;
using Bytes = std::vector<Byte>;
using ::testing::ElementsAre;

namespace {

class SessionTest : public ::testing::Test {
protected:
    SessionTest() : devices(platform, notifier), link(model, devices), edits(model, link) {
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
        devices.MidiInDeviceName = "CS1x In";
        devices.MidiOutDeviceName = "CS1x Out";
        model.fillDefaults();
        devices.InitMidiDevices();
        platform.sent.clear();
    }

    std::vector<Bytes> sent() const { return platform.longMessages(); }
    static Bytes change(Byte mid, Byte low, Byte data) { return {0xF0, 0x43, 0x10, 0x4B, 0x60, mid, low, data, 0xF7}; }
    static Bytes wide(Byte low, Byte d1, Byte d2) { return {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, low, d1, d2, 0xF7}; }

    ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    EditSession edits;
};

} // namespace

TEST_F(SessionTest, ALayerByteGoesToTheEditedLayerOrToAllFour) {
    model.CurrentLayer = 2;
    edits.set(params::AEGAtkTime, 88);
    EXPECT_EQ(model.image.layerData(2, 19), 88);
    for (int layer : {1, 3, 4}) EXPECT_EQ(model.image.layerData(layer, 19), 64);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x02, 0x13, 0x58)}));
    EXPECT_TRUE(model.PerfModified);

    platform.sent.clear();
    model.AffectAllLayers = true;
    edits.set(params::AEGAtkTime, 5);
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(model.image.layerData(layer, 19), 5);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x01, 0x13, 5), change(0x02, 0x13, 5), change(0x03, 0x13, 5),
                                          change(0x04, 0x13, 5)}));
    // The voice row is one parameter change as well.
    platform.sent.clear();
    model.AffectAllLayers = true;
    edits.set(params::PatchVoiceNumber, 5);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x01, 0x02, 5), change(0x02, 0x02, 5), change(0x03, 0x02, 5),
                                          change(0x04, 0x02, 5)}));
}

TEST_F(SessionTest, CommonEffectAndControllerBytesAtTheirAddresses) {
    edits.set(params::CommonVolume, 100);
    edits.set(params::ChorusToReverb, 33);
    edits.set(params::PortaTime, 7);
    edits.set(params::EffectVariation, 0); // a layer flag, for contrast: to layer 1
    edits.set(params::ArpMode, 5);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x00, 0x09, 100), change(0x00, 0x44, 33), change(0x00, 0x58, 7),
                                          change(0x01, 0x0F, 0), change(0x00, 0x2D, 5)}));
    EXPECT_EQ(model.image.data(Block::Effect, 20), 33);
    EXPECT_EQ(model.image.data(Block::Controller, 8), 7);
    EXPECT_EQ(model.image.data(Block::Common, 45), 5);
}

TEST_F(SessionTest, PairsTravelAsOneTwoByteChange) {
    edits.set(params::ArpTempo, 201);       // 240 bpm: 1, 73
    edits.set(params::ArpTempo, 0);         // MIDI clock
    edits.set(params::assign2Para(1), 5);   // with its layer byte, at 60 00 1C
    edits.set(params::assign2Layer(4), 2);  // parameter 4 at 60 00 22
    edits.set(params::ReverbType, 11);      // "Basement" 13 00
    edits.set(params::ChorusType, 11);      // "Flanger 3" 43 08
    edits.set(params::VPara1, 7150);        // 55, 110
    edits.set(params::assign2Level(3), 40); // alone, at 60 00 26
    EXPECT_EQ(sent(), (std::vector<Bytes>{wide(0x29, 1, 73), wide(0x29, 0, 0), wide(0x1C, 0, 5), wide(0x22, 2, 0),
                                          wide(0x30, 0x13, 0x00), wide(0x32, 0x43, 0x08), wide(0x36, 55, 110),
                                          change(0x00, 0x26, 40)}));
    EXPECT_EQ(model.image.data(Block::Common, 38), 40);
    EXPECT_EQ(model.image.data(Block::Common, 34), 2);
}

TEST_F(SessionTest, AVariationTypeBringsItsDefaultsAsOneEffectBlock) {
    model.image.setData(Block::Effect, 20, 33); // travels along unchanged
    edits.set(params::VariType, 1);             // "Hall 1"
    const auto out = sent();
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0].size(), 34u);
    EXPECT_THAT(Bytes(out[0].begin(), out[0].begin() + 9),
                ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x17, 0x60, 0x00, 0x30));
    EXPECT_EQ(out[0][9 + 4], 0x01);
    EXPECT_EQ(out[0][9 + 5], 0x00);
    EXPECT_EQ(out[0][9 + 20], 33);
    const int defaults[6] = {18, 10, 8, 13, 49, 40};
    const int offsets[6] = {6, 8, 10, 12, 14, 16};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(128 * model.image.data(Block::Effect, offsets[k]) + model.image.data(Block::Effect, offsets[k] + 1),
                  defaults[k]);
    }
    EXPECT_EQ(out[0].back(), 0xF7);
}

TEST_F(SessionTest, NameDetuneBankAndVelocityDefaultsTravelAsDumps) {
    edits.setName(u"Pad");
    auto out = sent();
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0].size(), 57u);
    EXPECT_THAT(Bytes(out[0].begin(), out[0].begin() + 17), ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00,
                                                                        0x00, 'P', 'a', 'd', ' ', ' ', ' ', ' ', ' '));

    platform.sent.clear();
    model.CurrentLayer = 3;
    model.image.setLayerData(3, 2, 3); // program 3 stays with the new bank
    edits.set(params::PatchBankNumber, 1);
    out = sent();
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0].size(), 52u);
    EXPECT_EQ(out[0][7], 0x03);
    EXPECT_EQ(out[0][9 + 2], 3);
    EXPECT_EQ(model.image.layerData(3, 2), 3);

    platform.sent.clear();
    model.AffectAllLayers = true;
    edits.set(params::NoteDetune, 255);
    out = sent();
    ASSERT_EQ(out.size(), 4u);
    for (int layer = 1; layer <= 4; ++layer) {
        EXPECT_EQ(out[static_cast<std::size_t>(layer - 1)][7], layer);
        EXPECT_EQ(model.image.layerData(layer, 5), 15);
        EXPECT_EQ(model.image.layerData(layer, 6), 15);
    }

    platform.sent.clear();
    model.AffectAllLayers = false;
    model.CurrentLayer = 2;
    for (int offset : {8, 9, 27, 28}) model.image.setLayerData(2, offset, 20);
    edits.setVelocityDefaults();
    EXPECT_EQ(model.image.layerData(2, 27), 1);
    EXPECT_EQ(model.image.layerData(2, 28), 127);
    EXPECT_EQ(model.image.layerData(2, 8), 64);
    EXPECT_EQ(model.image.layerData(2, 9), 64);
    out = sent();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].size(), 52u);
    EXPECT_EQ(out[0][7], 0x02);
}

TEST_F(SessionTest, AMutedLayerKeepsItsVolumeAside) {
    model.CurrentLayer = 1;
    model.image.setLayerData(2, 7, 90);
    edits.setMuted(2, true);
    EXPECT_EQ(model.image.layerData(2, 7), 0);
    EXPECT_EQ(edits.mute(2).savedVolume, 90);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x02, 0x07, 0)}));

    // Editing the muted layer's volume changes what it gets back and sends the image's 0.
    platform.sent.clear();
    model.CurrentLayer = 2;
    EXPECT_EQ(edits.shownValue(params::LayerVolume), 90);
    edits.set(params::LayerVolume, 70);
    EXPECT_EQ(model.image.layerData(2, 7), 0);
    EXPECT_EQ(edits.shownValue(params::LayerVolume), 70);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x02, 0x07, 0)}));

    // With all layers edited each layer gets its own byte: the muted one stays silent.
    platform.sent.clear();
    model.AffectAllLayers = true;
    edits.set(params::LayerVolume, 110);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x01, 0x07, 110), change(0x02, 0x07, 0), change(0x03, 0x07, 110),
                                          change(0x04, 0x07, 110)}));

    // Released: the saved volume comes back, to that layer alone.
    platform.sent.clear();
    edits.setMuted(2, false);
    EXPECT_EQ(model.image.layerData(2, 7), 110);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x02, 0x07, 110)}));
}

TEST_F(SessionTest, PasteWritesAndSendsTheEditedLayerOnly) {
    model.CurrentLayer = 1;
    model.image.setLayerData(1, 17, 99);
    edits.copyLayer();
    model.CurrentLayer = 3;
    model.AffectAllLayers = true;
    edits.pasteLayer();
    for (int k = 0; k < kLayerDataBytes; ++k) EXPECT_EQ(model.image.layerData(3, k), model.image.layerData(1, k)) << k;
    EXPECT_EQ(model.image.layerData(2, 17), 64);
    // The block keeps its own header.
    EXPECT_EQ(model.image.layerMessage(3)[7], 0x03);
    const auto out = sent();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].size(), 52u);
    EXPECT_EQ(out[0][7], 0x03);
}

TEST_F(SessionTest, QuietScopesWriteNothingAndSendNothingUntilTheOutermostEnds) {
    const PerformanceImage before = model.image;
    {
        const EditSession::Quiet outer(edits);
        {
            const EditSession::Quiet inner(edits);
            EXPECT_TRUE(edits.quiet());
            EXPECT_FALSE(model.SendEnabled);
        }
        // Still inside the outer refresh.
        EXPECT_TRUE(edits.quiet());
        EXPECT_FALSE(model.SendEnabled);
        edits.set(params::CommonVolume, 3);
        edits.set(params::AEGAtkTime, 3);
        edits.write(params::FilterCutoff, 3);
        edits.set(params::VariType, 20);
        edits.setName(u"Quiet");
        edits.setVelocityDefaults();
        edits.setMuted(2, true);
        edits.pasteLayer();
        EXPECT_EQ(model.image, before);
        EXPECT_FALSE(edits.mute(2).muted);
    }
    EXPECT_FALSE(edits.quiet());
    EXPECT_TRUE(model.SendEnabled);
    EXPECT_TRUE(sent().empty());
    EXPECT_FALSE(model.PerfModified);
    // Afterwards edits work again.
    edits.set(params::CommonVolume, 3);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x00, 0x09, 3)}));
}

TEST_F(SessionTest, WithSendingOffTheImageIsStillWritten) {
    model.SendEnabled = false;
    edits.set(params::FilterCutoff, 10);
    edits.set(params::ArpTempo, 100);
    EXPECT_EQ(model.image.layerData(1, 17), 10);
    EXPECT_EQ(model.image.data(Block::Common, 42), 100);
    EXPECT_TRUE(sent().empty());
}

TEST_F(SessionTest, WrittenWithoutSendingForKnobTurns) {
    model.AffectAllLayers = true;
    edits.write(params::FilterResonance, 30);
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(model.image.layerData(layer, 18), 30);
    EXPECT_TRUE(sent().empty());
}

TEST_F(SessionTest, BadValuesNeverReachTheWireWithBitSeven) {
    const PerformanceImage before = model.image;
    // A row past a list: nothing written, nothing sent.
    edits.set(params::ReverbType, 12);
    edits.set(params::VariType, -1);
    edits.set(params::PatchBankNumber, 58);
    EXPECT_EQ(model.image, before);
    EXPECT_TRUE(sent().empty());
    // Values past a byte are cut to what the bytes hold.
    edits.set(params::CommonVolume, 300);
    edits.set(params::ArpTempo, 40000);
    edits.set(params::NoteDetune, 999);
    edits.set(params::PanPot, -4);
    for (const Bytes& m : sent())
        for (std::size_t i = 1; i + 1 < m.size(); ++i) EXPECT_LT(m[i], 0x80) << i;
    EXPECT_EQ(model.image.data(Block::Common, 9), 127);
    EXPECT_EQ(model.image.layerData(1, 10), 0);

    // A damaged byte beside the edited one goes out as 7F; the image keeps it.
    platform.sent.clear();
    model.image.setData(Block::Common, 29, 0x90); // target of assign-knob-2 parameter 1
    edits.set(params::assign2Layer(1), 3);
    EXPECT_EQ(sent(), (std::vector<Bytes>{wide(0x1C, 3, 0x7F)}));
    EXPECT_EQ(model.image.data(Block::Common, 29), 0x90);
}

TEST_F(SessionTest, TheRefreshStartsFromLayerOneUnmutedAndUnmodified) {
    model.CurrentLayer = 3;
    model.AffectAllLayers = true;
    model.PerfModified = true;
    model.muteOf(2) = {20, true};
    edits.resetEditingState();
    EXPECT_EQ(edits.currentLayer(), 1);
    EXPECT_FALSE(edits.allLayers());
    EXPECT_FALSE(edits.modified());
    EXPECT_EQ(edits.mute(2).savedVolume, 127);
    EXPECT_FALSE(edits.mute(2).muted);
    edits.setCurrentLayer(9);
    EXPECT_EQ(edits.currentLayer(), 4);
}

// ---- history ----------------------------------------------------------------

TEST_F(SessionTest, AVolumeSetWhileMutedGoesBackAsTheVolumeOnceReleased) {
    edits.startHistory();
    edits.setMuted(2, true);
    model.CurrentLayer = 2;
    edits.set(params::LayerVolume, 80); // the saved volume only
    EXPECT_EQ(model.muteOf(2).savedVolume, 80);
    edits.setMuted(2, false); // no step: 80 sounds now
    EXPECT_EQ(edits.undoSteps(), 1u);
    platform.sent.clear();
    model.CurrentLayer = 1;
    ASSERT_TRUE(edits.undo());
    // Released since: the volume it had before the edit is its volume again,
    // sent to layer 2 as the edit was.
    EXPECT_EQ(model.image.layerData(2, 7), 100);
    EXPECT_EQ(sent(), (std::vector<Bytes>{change(0x02, 0x07, 100)}));
    EXPECT_EQ(model.CurrentLayer, 1) << "the edited layer is the user's";
    ASSERT_TRUE(edits.redo());
    EXPECT_EQ(model.image.layerData(2, 7), 80);
}

TEST_F(SessionTest, TheKeystrokesOfANameAreOneStepUntilTheBoxIsLeft) {
    edits.startHistory();
    edits.setName(u"A");
    edits.setName(u"AB");
    edits.setName(u"ABC");
    EXPECT_EQ(edits.undoSteps(), 1u);
    edits.endTyping();
    edits.setName(u"ABCD");
    EXPECT_EQ(edits.undoSteps(), 2u);
    // Typed back to what it was: that step is gone.
    edits.setName(u"ABC");
    EXPECT_EQ(edits.undoSteps(), 1u);
    ASSERT_TRUE(edits.undo());
    EXPECT_EQ(nameText(model.image), "InitPerf");
    EXPECT_FALSE(model.PerfModified) << "back at the original";
    EXPECT_FALSE(edits.undo());
}

TEST_F(SessionTest, RandomizeIsOneStepSentAsBlocksAndAMutedLayerStaysSilent) {
    edits.startHistory();
    edits.setMuted(1, true);
    const PerformanceImage before = model.image;
    platform.sent.clear();
    RandomizeChoice choice;
    choice.strength = 100;
    choice.groups = {ParamGroup::LayerVoice, ParamGroup::Effects};
    edits.seedRandom(5);
    edits.randomize(choice);
    EXPECT_EQ(edits.undoSteps(), 1u);
    EXPECT_EQ(model.image.layerData(1, 7), 0) << "muted";
    // Effect block, then layer 1: only what changed, as bulk dumps.
    ASSERT_EQ(sent().size(), 2u);
    EXPECT_EQ(sent()[0].size(), 34u);
    EXPECT_EQ(sent()[1].size(), 52u);
    EXPECT_EQ(sent()[1][7], 0x01);
    for (int layer = 2; layer <= 4; ++layer) EXPECT_EQ(model.image.layerData(layer, 2), before.layerData(layer, 2));
    platform.sent.clear();
    ASSERT_TRUE(edits.undo());
    EXPECT_EQ(model.image, before);
    EXPECT_EQ(model.muteOf(1).savedVolume, 100);
    ASSERT_EQ(sent().size(), 2u);
    EXPECT_EQ(sent()[0].size(), 52u) << "undo sends in reverse order";
}

TEST_F(SessionTest, NothingIsUndoneWhileQuiet) {
    edits.startHistory();
    edits.set(params::FilterCutoff, 3);
    {
        const EditSession::Quiet quiet(edits);
        EXPECT_FALSE(edits.undo());
        edits.setComparing(true);
        EXPECT_FALSE(edits.comparing());
    }
    EXPECT_TRUE(edits.undo());
}
