#include "model/Model.h"
#include "model/Names.h"
#include "model/PerformanceImage.h"
#include "model/PerformanceRecord.h"

#include <gtest/gtest.h>

#include <string>

using namespace patchsmith;

namespace {

std::string nameOf(const PerformanceImage& img) {
    std::string s;
    for (int k = 0; k < 8; ++k) s += static_cast<char>(img.data(Block::Common, k));
    return s;
}

} // namespace

TEST(PerformanceImage, BlocksHaveTheMessageLengthsAndAddressesOfTheirDumps) {
    EXPECT_EQ(messageLength(Block::Common), 57);
    EXPECT_EQ(messageLength(Block::Effect), 34);
    EXPECT_EQ(messageLength(Block::Controller), 20);
    for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(messageLength(layerBlock(layer)), 52);
    EXPECT_EQ(baseAddress(Block::Effect), (Address{0x60, 0x00, 0x30}));
    EXPECT_EQ(baseAddress(Block::Controller), (Address{0x60, 0x00, 0x50}));
    EXPECT_EQ(baseAddress(layerBlock(3)), (Address{0x60, 0x03, 0x00}));

    PerformanceImage img;
    // Layers lie 52 bytes apart, one after another.
    EXPECT_EQ(img.layerMessage(2).data() - img.layerMessage(1).data(), 52);
    EXPECT_EQ(img.layerMessage(4).data() - img.layerMessage(3).data(), 52);
    // Data byte k is message byte 9 + k.
    img.setData(Block::Controller, 3, 77);
    EXPECT_EQ(img.message(Block::Controller)[12], 77);
}

TEST(PerformanceImage, OffsetsOutsideABlockNeitherReadNorWrite) {
    PerformanceImage img;
    img.fillDefaults();
    const PerformanceImage before = img;
    img.setData(Block::Controller, 9, 55); // one past the last controller byte
    img.setData(Block::Common, -1, 55);
    img.setData(Block::Layer4, 41, 55); // one past the end of the whole image
    EXPECT_EQ(img, before);
    EXPECT_EQ(img.data(Block::Effect, 23), 0);
    EXPECT_EQ(img.data(Block::Layer1, 41), 0);
}

TEST(PerformanceImage, DefaultPerformanceIsInitPerf) {
    PerformanceImage img;
    img.fillDefaults();
    EXPECT_EQ(nameOf(img), "InitPerf");
    EXPECT_EQ(img.data(Block::Common, 8), 0);   // category
    EXPECT_EQ(img.data(Block::Common, 9), 100); // volume
    EXPECT_EQ(img.data(Block::Common, 28), 0);  // assign 2 layers 0..3
    EXPECT_EQ(img.data(Block::Common, 30), 1);
    EXPECT_EQ(img.data(Block::Common, 32), 2);
    EXPECT_EQ(img.data(Block::Common, 34), 3);
    EXPECT_EQ(img.data(Block::Common, 36), 64);
    // Tempo code 101 = 140 beats per minute.
    EXPECT_EQ(128 * img.data(Block::Common, 41) + img.data(Block::Common, 42) + 39, 140);
    EXPECT_EQ(img.data(Block::Common, 43), 9);
    EXPECT_EQ(img.data(Block::Common, 44), 7);
    // Hall 1 / Chorus 1 / Delay L-C-R
    EXPECT_EQ(img.data(Block::Effect, 0), 0x01);
    EXPECT_EQ(img.data(Block::Effect, 1), 0x00);
    EXPECT_EQ(img.data(Block::Effect, 2), 0x41);
    EXPECT_EQ(img.data(Block::Effect, 4), 0x05);
    EXPECT_EQ(img.data(Block::Effect, 19), 64);
    EXPECT_EQ(img.data(Block::Effect, 21), 40);
    EXPECT_EQ(img.data(Block::Controller, 1), 10);
    EXPECT_EQ(img.data(Block::Controller, 3), 66);
    for (int layer = 1; layer <= 4; ++layer) {
        SCOPED_TRACE(layer);
        EXPECT_EQ(img.layerData(layer, 0), 0);
        EXPECT_EQ(img.layerData(layer, 1), 0);
        EXPECT_EQ(img.layerData(layer, 2), 0);
        EXPECT_EQ(img.layerData(layer, 5), 8); // detune 8/0 = no detune
        EXPECT_EQ(img.layerData(layer, 6), 0);
        EXPECT_EQ(img.layerData(layer, 7), 100);
        EXPECT_EQ(img.layerData(layer, 12), 127);
        EXPECT_EQ(img.layerData(layer, 14), 40);
        EXPECT_EQ(img.layerData(layer, 15), 127);
        EXPECT_EQ(img.layerData(layer, 16), 2);
        EXPECT_EQ(img.layerData(layer, 22), 1);
        EXPECT_EQ(img.layerData(layer, 27), 1);
        EXPECT_EQ(img.layerData(layer, 28), 127);
        EXPECT_EQ(img.layerData(layer, 31), 3);
        EXPECT_EQ(img.layerData(layer, 40), 64);
    }
    // The four layers are alike, apart from the layer number in their header.
    for (int k = 0; k < kLayerDataBytes; ++k) EXPECT_EQ(img.layerData(1, k), img.layerData(4, k));
    EXPECT_EQ(img.layerMessage(3)[7], 3);
    EXPECT_EQ(img.layerMessage(3)[51], 0xF7);
}

TEST(Model, StartUpFillingCopiesLayerOneIntoTheClipboard) {
    Model m;
    m.fillDefaults();
    const auto layer1 = m.image.layerMessage(1);
    EXPECT_TRUE(std::equal(layer1.begin(), layer1.end(), m.LayerClipboard.begin()));
    EXPECT_EQ(m.CurrentLayer, 1);
    EXPECT_FALSE(m.AffectAllLayers);
    EXPECT_TRUE(m.SendEnabled);
    EXPECT_FALSE(m.PerfModified);
    EXPECT_EQ(m.ActiveUserPerf, -1);
    for (const auto& mute : m.LayerMuteTable) {
        EXPECT_EQ(mute.savedVolume, 127);
        EXPECT_FALSE(mute.muted);
    }
}

TEST(PerformanceRecord, SevenMessagesOf317BytesBackToBack) {
    PerformanceRecord rec;
    int total = 0;
    for (int i = 0; i < kRecordMessages; ++i) {
        EXPECT_EQ(rec.message(i).data() - rec.bytes().data(), total);
        total += static_cast<int>(rec.message(i).size());
    }
    EXPECT_EQ(total, 317);
    EXPECT_EQ(rec.message(1).size(), 32u);
    rec.bytes()[7] = 42;
    EXPECT_EQ(rec.recordNumber(), 42);
}

TEST(Names, NoteNames) {
    EXPECT_EQ(NoteNameTable[0], "C-2");
    EXPECT_EQ(NoteNameTable[1], "C#-2");
    EXPECT_EQ(NoteNameTable[60], "C3");
    EXPECT_EQ(NoteNameTable[61], "C#3");
    EXPECT_EQ(NoteNameTable[127], "G8");
    EXPECT_EQ(noteName(200), "G8");
    EXPECT_EQ(noteName(-3), "C-2");
}

TEST(Names, CategoryAbbreviationsKeepTheirBlanksAndUnknownOnesAreMarked) {
    EXPECT_EQ(CategoryAbbreviations.size(), 23u);
    EXPECT_EQ(categoryAbbreviation(0), "--  ");
    EXPECT_EQ(categoryAbbreviation(10), "PI ");
    EXPECT_EQ(categoryAbbreviation(22), "SQ");
    EXPECT_EQ(categoryAbbreviation(23), kUnknownCategory);
    EXPECT_EQ(categoryAbbreviation(127), kUnknownCategory);
    EXPECT_EQ(categoryAbbreviation(-1), kUnknownCategory);
}
