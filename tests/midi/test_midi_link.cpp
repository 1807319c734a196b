#include "../support/RecordingNotifier.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "support/ScriptedMidiPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

using namespace patchsmith;
using midi::ScriptedMidiPlatform;
using Bytes = std::vector<Byte>;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class LinkTest : public ::testing::Test {
protected:
    LinkTest() : devices(platform, notifier), link(model, devices) {
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
        devices.MidiInDeviceName = "CS1x In";
        devices.MidiOutDeviceName = "CS1x Out";
        model.fillDefaults();
        devices.InitMidiDevices();
        platform.sent.clear();
        link.StartRequestTimeout = [this] { ++timeoutsStarted; };
    }

    std::vector<Bytes> sent() const { return platform.longMessages(); }

    static unsigned sumMod128(const Bytes& msg) { return std::accumulate(msg.begin() + 4, msg.end() - 1, 0u) % 128; }

    ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    int timeoutsStarted = 0;
};

} // namespace

TEST_F(LinkTest, ParameterChangesAreNineAndTenBytesAndMarkTheImageModified) {
    link.SendParamChange(0x60, 0x02, 0x13, 0x58);
    link.SendParamChangeWide(0x60, 0x00, 0x29, 1, 73);
    ASSERT_EQ(sent().size(), 2u);
    EXPECT_THAT(sent()[0], ElementsAre(0xF0, 0x43, 0x10, 0x4B, 0x60, 0x02, 0x13, 0x58, 0xF7));
    EXPECT_THAT(sent()[1], ElementsAre(0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x29, 0x01, 0x49, 0xF7));
    EXPECT_TRUE(model.PerfModified);
}

TEST_F(LinkTest, NothingIsSentWhileSendingIsDisabledOrTheOutputIsClosed) {
    model.SendEnabled = false;
    link.SendParamChange(0x60, 0x00, 0x09, 1);
    link.SendParamChangeWide(0x60, 0x00, 0x29, 0, 0);
    link.SendLayerParam(0x60, 0x07, 1);
    link.SendBulkBlock(5);
    link.SendLayerDumps(true);
    EXPECT_TRUE(sent().empty());
    EXPECT_FALSE(model.PerfModified);

    model.SendEnabled = true;
    ASSERT_TRUE(devices.CloseMidiOut());
    link.SendParamChange(0x60, 0x00, 0x09, 1);
    link.SendBulkBlock(5);
    link.SendRequest(5);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(link.PendingRequest, 0);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(LinkTest, LayerParameterGoesToTheCurrentLayerOrFansOutToLayersOneToFour) {
    model.CurrentLayer = 2;
    link.SendLayerParam(0x60, 0x13, 0x58);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_THAT(sent()[0], ElementsAre(0xF0, 0x43, 0x10, 0x4B, 0x60, 0x02, 0x13, 0x58, 0xF7));

    platform.sent.clear();
    model.AffectAllLayers = true;
    link.SendLayerParam(0x60, 0x0A, 0x40);
    ASSERT_EQ(sent().size(), 4u);
    for (Byte layer = 1; layer <= 4; ++layer)
        EXPECT_THAT(sent()[layer - 1u], ElementsAre(0xF0, 0x43, 0x10, 0x4B, 0x60, layer, 0x0A, 0x40, 0xF7));
}

TEST_F(LinkTest, BulkDumpOfEachCurrentBlockHasItsHeaderAndAValidChecksum) {
    const std::vector<std::pair<int, Bytes>> headers{
        {5, {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00, 0x00}},
        {6, {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x17, 0x60, 0x00, 0x30}},
        {7, {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x09, 0x60, 0x00, 0x50}},
        {8, {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, 0x60, 0x01, 0x00}},
        {11, {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, 0x60, 0x04, 0x00}},
    };
    for (const auto& [kind, header] : headers) {
        SCOPED_TRACE(kind);
        platform.sent.clear();
        link.SendBulkBlock(kind);
        ASSERT_EQ(sent().size(), 1u);
        const Bytes msg = sent()[0];
        EXPECT_EQ(static_cast<int>(msg.size()), answerLength(kind));
        EXPECT_TRUE(std::equal(header.begin(), header.end(), msg.begin()));
        EXPECT_EQ(msg.back(), 0xF7);
        EXPECT_EQ(sumMod128(msg), 0u);
    }
    EXPECT_TRUE(model.PerfModified);
}

TEST_F(LinkTest, UserBlocksCarryTheSendNumberAndTheEffectBlockIs32Bytes) {
    // The effect block copied from the 34-byte current one still goes out as
    // 32 bytes with count 00 15.
    const auto effect = model.image.message(Block::Effect);
    std::copy_n(effect.begin(), 32, model.userPerfBuffer.message(1).begin());
    link.UserPerfSendNumber = 9;
    for (int kind = 12; kind <= 18; ++kind) link.SendBulkBlock(kind);
    const auto msgs = sent();
    ASSERT_EQ(msgs.size(), 7u);
    EXPECT_EQ(msgs[1].size(), 32u);
    EXPECT_THAT(Bytes(msgs[1].begin(), msgs[1].begin() + 9),
                ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x15, 0x70, 0x09, 0x30));
    EXPECT_THAT(Bytes(msgs[0].begin() + 4, msgs[0].begin() + 9), ElementsAre(0x00, 0x2E, 0x70, 0x09, 0x00));
    EXPECT_THAT(Bytes(msgs[2].begin() + 4, msgs[2].begin() + 9), ElementsAre(0x00, 0x09, 0x70, 0x09, 0x50));
    for (int layer = 1; layer <= 4; ++layer) {
        const Bytes& m = msgs[static_cast<std::size_t>(2 + layer)];
        EXPECT_EQ(m.size(), 52u);
        EXPECT_THAT(Bytes(m.begin() + 4, m.begin() + 9),
                    ElementsAre(0x00, 0x29, static_cast<Byte>(0x70 + layer), 0x09, 0x00));
    }
    for (const auto& m : msgs) {
        EXPECT_EQ(sumMod128(m), 0u);
        EXPECT_EQ(m.back(), 0xF7);
    }
}

TEST_F(LinkTest, StaleStoredChecksumIsLeftAndTheOutgoingCopyGetsAFreshOne) {
    auto stored = model.image.message(Block::Controller);
    stored[18] = 0x55;                             // whatever came with the block
    model.image.setData(Block::Controller, 8, 99); // an edit since
    link.SendBulkBlock(7);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sumMod128(sent()[0]), 0u);
    EXPECT_NE(sent()[0][18], 0x55);
    EXPECT_EQ(stored[18], 0x55);
}

TEST_F(LinkTest, ForeignDeviceNumberIsSentBackAsDeviceZeroAndStoredSo) {
    auto stored = model.image.message(Block::Common);
    stored[2] = 0x03; // received as F0 43 03 4B ...
    stored[5] = 0x11; // and with a wrong count
    link.SendBulkBlock(5);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][2], 0x00);
    EXPECT_EQ(sent()[0][5], 0x2E);
    EXPECT_EQ(stored[2], 0x00);
    EXPECT_EQ(stored[5], 0x2E);
}

TEST_F(LinkTest, DataBytesWithBitSevenNeverReachTheCable) {
    // A block read from a damaged file.
    model.image.setData(Block::Common, 3, 0xC5);
    model.image.setData(Block::Common, 45, 0xFF);
    link.SendBulkBlock(5);
    ASSERT_EQ(sent().size(), 1u);
    const Bytes msg = sent()[0];
    EXPECT_EQ(msg[9 + 3], 0x45);
    EXPECT_EQ(msg[9 + 45], 0x7F);
    for (std::size_t i = 1; i + 1 < msg.size(); ++i) EXPECT_LT(msg[i], 0x80) << "byte " << i;
    EXPECT_EQ(sumMod128(msg), 0u);                       // the checksum still holds for the masked bytes
    EXPECT_EQ(model.image.data(Block::Common, 3), 0xC5); // the image keeps what it holds

    platform.sent.clear();
    link.SendParamChange(0x60, 0x00, 0x09, 0x90);
    EXPECT_THAT(sent()[0], ElementsAre(0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x10, 0xF7));
}

TEST_F(LinkTest, LayerDumpsAreTheCurrentLayerOrAllFourInOrder) {
    model.CurrentLayer = 3;
    link.SendLayerDumps(false);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][7], 3);
    platform.sent.clear();
    link.SendLayerDumps(true);
    ASSERT_EQ(sent().size(), 4u);
    for (Byte layer = 1; layer <= 4; ++layer) EXPECT_EQ(sent()[layer - 1u][7], layer);
}

TEST_F(LinkTest, RequestsForEveryKind) {
    link.UserPerfNumber = 127;
    const std::vector<std::pair<int, Bytes>> expected{
        {1, {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}},
        {5, {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x00, 0xF7}},
        {6, {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x30, 0xF7}},
        {7, {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x50, 0xF7}},
        {8, {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x01, 0x00, 0xF7}},
        {11, {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x04, 0x00, 0xF7}},
        {12, {0xF0, 0x43, 0x20, 0x4B, 0x70, 0x7F, 0x00, 0xF7}},
        {13, {0xF0, 0x43, 0x20, 0x4B, 0x70, 0x7F, 0x30, 0xF7}},
        {14, {0xF0, 0x43, 0x20, 0x4B, 0x70, 0x7F, 0x50, 0xF7}},
        {15, {0xF0, 0x43, 0x20, 0x4B, 0x71, 0x7F, 0x00, 0xF7}},
        {18, {0xF0, 0x43, 0x20, 0x4B, 0x74, 0x7F, 0x00, 0xF7}},
    };
    for (const auto& [kind, bytes] : expected) {
        SCOPED_TRACE(kind);
        platform.sent.clear();
        link.SendRequest(kind);
        ASSERT_EQ(sent().size(), 1u);
        EXPECT_EQ(sent()[0], bytes);
        EXPECT_EQ(link.PendingRequest, kind);
    }
    EXPECT_EQ(timeoutsStarted, static_cast<int>(expected.size()));
    EXPECT_FALSE(model.PerfModified); // a request changes nothing
}

TEST_F(LinkTest, UnknownRequestKindClearsThePendingOneAndSendsNothing) {
    link.SendRequest(6);
    platform.sent.clear();
    for (int kind : {0, 2, 3, 4, 19, 200, -1}) {
        link.PendingRequest = 6;
        link.SendRequest(kind);
        EXPECT_EQ(link.PendingRequest, 0) << kind;
    }
    EXPECT_TRUE(sent().empty());
    link.SendBulkBlock(3);
    link.SendBulkBlock(19);
    EXPECT_TRUE(sent().empty());
}

TEST_F(LinkTest, RequestsAreStillSentWhileSendingIsDisabled) {
    model.SendEnabled = false;
    link.SendRequest(1);
    link.SendRequest(5);
    EXPECT_EQ(sent().size(), 2u);
    EXPECT_EQ(link.PendingRequest, 5);
}

TEST_F(LinkTest, FailedSendIsReportedAndTheStateChangesStay) {
    platform.failWith("sendLong", midi::MIDIERR_NOTREADY);
    link.SendBulkBlock(6);
    link.SendRequest(7);
    EXPECT_THAT(notifier.messages, ElementsAre("MIDIERR_NOTREADY", "MIDIERR_NOTREADY"));
    EXPECT_TRUE(model.PerfModified);
    EXPECT_EQ(link.PendingRequest, 7);
    EXPECT_EQ(devices.LastMidiResult, midi::MIDIERR_NOTREADY);
}

TEST(SysExChecksum, MakesCountAddressDataAndChecksumAMultipleOf128) {
    // The YAMAHA example: count 00 09, address 60 00 50, nine data bytes.
    Bytes msg{0xF0, 0x43, 0x00, 0x4B, 0x00, 0x09, 0x60, 0x00, 0x50, 64, 10, 0, 66, 64, 0, 0, 0, 0, 0, 0xF7};
    const Byte cs = MidiLink::SysExChecksum(msg);
    EXPECT_LT(cs, 128);
    msg[18] = cs;
    EXPECT_EQ(std::accumulate(msg.begin() + 4, msg.end() - 1, 0u) % 128, 0u);
    // A sum that is already a multiple of 128 gives 0, not 128.
    Bytes zero{0xF0, 0x43, 0x00, 0x4B, 0x00, 0x01, 0x60, 0x00, 0x00, 0x1F, 0x00, 0xF7};
    EXPECT_EQ(MidiLink::SysExChecksum(zero), 0);
}
