#include "StorageTestSupport.h"

#include "midi/MidiLink.h"
#include "storage/PerformanceFiles.h"
#include "storage/RecordImage.h"

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

// The header of message i of a record for number n, as this system writes it.
std::vector<Byte> expectedHeader(int i, Byte n) {
    static const Byte kCounts[7] = {0x2E, 0x15, 0x09, 0x29, 0x29, 0x29, 0x29};
    static const Byte kHighs[7] = {0x70, 0x70, 0x70, 0x71, 0x72, 0x73, 0x74};
    static const Byte kLows[7] = {0x00, 0x30, 0x50, 0x00, 0x00, 0x00, 0x00};
    return {0xF0, 0x43, 0x00, 0x4B, 0x00, kCounts[i], kHighs[i], n, kLows[i]};
}

// Sum of byte count, address, data and checksum is a multiple of 128.
bool checksumValid(std::span<const Byte> m) {
    unsigned sum = 0;
    for (std::size_t i = 4; i + 1 < m.size(); ++i) sum += m[i];
    return sum % 128 == 0;
}

PerformanceImage imageWithPattern() {
    PerformanceImage image;
    image.fillDefaults();
    for (int k = 0; k < kCommonDataBytes; ++k) image.setData(Block::Common, k, static_cast<Byte>(k + 1));
    for (int k = 0; k < kEffectDataBytes; ++k) image.setData(Block::Effect, k, static_cast<Byte>(0x40 + k));
    for (int k = 0; k < kControllerDataBytes; ++k) image.setData(Block::Controller, k, static_cast<Byte>(0x60 + k));
    for (int l = 1; l <= 4; ++l)
        for (int k = 0; k < kLayerDataBytes; ++k) image.setLayerData(l, k, static_cast<Byte>((l * 20 + k) & 0x7F));
    return image;
}

} // namespace

TEST(makeRecordFromImage, HeadersNumberEndBytesAndDataOfAllSevenMessages) {
    const PerformanceImage image = imageWithPattern();
    const PerformanceRecord r = makeRecordFromImage(image, 9);
    for (int i = 0; i < 7; ++i) {
        const auto m = r.message(i);
        EXPECT_EQ(std::vector<Byte>(m.begin(), m.begin() + 9), expectedHeader(i, 9)) << "message " << i;
        EXPECT_EQ(m.back(), 0xF7) << i;
        EXPECT_TRUE(checksumValid(m)) << i;
        EXPECT_EQ(m[m.size() - 2], MidiLink::SysExChecksum(m)) << i;
    }
    EXPECT_EQ(r.recordNumber(), 9);
    // Data bytes: the image's, at the record offsets of the table.
    EXPECT_EQ(r.bytes()[9], 1);          // common data 0
    EXPECT_EQ(r.bytes()[9 + 45], 46);    // common data 45
    EXPECT_EQ(r.bytes()[57 + 9], 0x40);  // effect data 0
    EXPECT_EQ(r.bytes()[57 + 29], 0x54); // effect data 20, the last one stored
    EXPECT_EQ(r.bytes()[89 + 9 + 8], 0x68);
    EXPECT_EQ(r.bytes()[265 + 9 + 40], (80 + 40) & 0x7F);
    EXPECT_EQ(r.bytes()[316], 0xF7);
}

TEST(makeRecordFromImage, NumberIsClampedIntoRangeAndNoDataByteHasBit7) {
    PerformanceImage image = imageWithPattern();
    EXPECT_EQ(makeRecordFromImage(image, -1).recordNumber(), 0);
    EXPECT_EQ(makeRecordFromImage(image, 300).recordNumber(), 127);
    const PerformanceRecord r = makeRecordFromImage(image, 127);
    for (int i = 0; i < 7; ++i) {
        const auto m = r.message(i);
        for (std::size_t k = 1; k + 1 < m.size(); ++k) EXPECT_LT(m[k], 0x80) << i << "/" << k;
    }
}

TEST(loadRecordIntoImage, CopiesMessagesAndZeroesVariationSends) {
    PerformanceImage source = imageWithPattern();
    ASSERT_NE(source.data(Block::Effect, 21), 0);
    ASSERT_NE(source.data(Block::Effect, 22), 0);
    const PerformanceRecord r = makeRecordFromImage(source, 4);

    PerformanceImage target;
    target.fillDefaults();
    loadRecordIntoImage(r, target);
    for (int k = 0; k < kCommonDataBytes; ++k) EXPECT_EQ(target.data(Block::Common, k), source.data(Block::Common, k));
    for (int k = 0; k < 21; ++k) EXPECT_EQ(target.data(Block::Effect, k), source.data(Block::Effect, k));
    EXPECT_EQ(target.data(Block::Effect, 21), 0);
    EXPECT_EQ(target.data(Block::Effect, 22), 0);
    for (int k = 0; k < kControllerDataBytes; ++k)
        EXPECT_EQ(target.data(Block::Controller, k), source.data(Block::Controller, k));
    for (int l = 1; l <= 4; ++l)
        for (int k = 0; k < kLayerDataBytes; ++k) EXPECT_EQ(target.layerData(l, k), source.layerData(l, k));
    // Messages are copied whole, headers included.
    const auto common = target.message(Block::Common);
    EXPECT_TRUE(std::equal(common.begin(), common.end(), r.message(0).begin()));
}

class SaveAndOpenTest : public TempDirTest {};

TEST_F(SaveAndOpenTest, VariationSendsSavedNonZeroComeBackAsZero) {
    PerformanceImage image;
    image.fillDefaults();
    image.setData(Block::Effect, 21, 40);
    image.setData(Block::Effect, 22, 33);
    image.setData(Block::Effect, 20, 17);
    ASSERT_TRUE(WritePerformanceFile(path("p.SYX"), makeRecordFromImage(image, 0)));

    UserPerfBuffer buffer;
    RecordingNotifier notifier;
    ASSERT_TRUE(ReadPerformanceFile(path("p.SYX"), buffer, notifier));
    PerformanceImage opened;
    opened.fillDefaults();
    opened.setData(Block::Effect, 21, 99);
    loadRecordIntoImage(buffer, opened);
    EXPECT_EQ(opened.data(Block::Effect, 20), 17);
    EXPECT_EQ(opened.data(Block::Effect, 21), 0);
    EXPECT_EQ(opened.data(Block::Effect, 22), 0);
}

TEST(RenumberRecord, WritesSevenAddressTriplesAndKeepsChecksums) {
    PerformanceRecord r = makeRecord(2, 1, "GrandPno");
    const PerformanceRecord before = r;
    RenumberRecord(r, 4);
    const int highOffsets[7] = {6, 63, 95, 115, 167, 219, 271};
    const Byte highs[7] = {0x70, 0x70, 0x70, 0x71, 0x72, 0x73, 0x74};
    const Byte lows[7] = {0x00, 0x30, 0x50, 0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(r.bytes()[static_cast<std::size_t>(highOffsets[i])], highs[i]);
        EXPECT_EQ(r.bytes()[static_cast<std::size_t>(highOffsets[i] + 1)], 4);
        EXPECT_EQ(r.bytes()[static_cast<std::size_t>(highOffsets[i] + 2)], lows[i]);
    }
    for (int i = 0; i < 7; ++i) {
        const auto m = r.message(i);
        EXPECT_EQ(m[m.size() - 2], before.message(i)[m.size() - 2]) << "checksum of message " << i;
    }
    // Nothing but the number bytes changed.
    int changed = 0;
    for (std::size_t k = 0; k < 317; ++k) changed += r.bytes()[k] != before.bytes()[k] ? 1 : 0;
    EXPECT_EQ(changed, 7);
}

TEST(RenumberRecord, RepairsForeignAddressBytesAndClampsNumber) {
    PerformanceRecord r;
    for (auto& b : r.bytes()) b = 0x7F;
    RenumberRecord(r, 200);
    EXPECT_EQ(r.recordNumber(), 127);
    EXPECT_EQ(r.bytes()[115], 0x71);
    EXPECT_EQ(r.bytes()[65], 0x30);
    RenumberRecord(r, -5);
    EXPECT_EQ(r.recordNumber(), 0);
    EXPECT_EQ(r.bytes()[272], 0);
}

TEST(recordSlot, OnlyNumbersUpTo127NameASlot) {
    EXPECT_EQ(recordSlot(makeRecord(0, 1, "A")), 0);
    EXPECT_EQ(recordSlot(makeRecord(127, 1, "A")), 127);
    EXPECT_FALSE(recordSlot(makeRecord(128, 1, "A")).has_value());
    EXPECT_FALSE(recordSlot(makeRecord(255, 1, "A")).has_value());
}
