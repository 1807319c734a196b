// Randomize: every byte it writes stays inside the range and the list the
// synth accepts. The ranges and lists here are written down from the
// published tables (the effect pairs) and read from the maker's voice lists,
// not taken from the parameter table the randomizer uses.

#include "model/Parameters.h"
#include "model/PerformanceImage.h"
#include "model/Randomize.h"
#include "model/catalog/EffectCatalog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

using namespace patchsmith;

namespace {

using Pair = std::pair<int, int>;

const std::set<Pair> kReverbPairs{{0x00, 0}, {0x01, 0}, {0x01, 1}, {0x02, 0}, {0x02, 1}, {0x02, 2},
                                  {0x03, 0}, {0x03, 1}, {0x04, 0}, {0x10, 0}, {0x11, 0}, {0x13, 0}};
const std::set<Pair> kChorusPairs{{0x00, 0}, {0x41, 0}, {0x41, 1}, {0x41, 2}, {0x41, 8}, {0x42, 0},
                                  {0x42, 1}, {0x42, 2}, {0x42, 8}, {0x43, 0}, {0x43, 1}, {0x43, 8}};
const std::set<Pair> kVariationPairs{
    {0x00, 0}, {0x01, 0}, {0x01, 1}, {0x02, 0}, {0x02, 1}, {0x02, 2}, {0x03, 0}, {0x03, 1}, {0x04, 0},
    {0x05, 0}, {0x06, 0}, {0x07, 0}, {0x08, 0}, {0x09, 0}, {0x09, 1}, {0x0A, 0}, {0x0B, 0}, {0x14, 0},
    {0x14, 1}, {0x14, 2}, {0x41, 0}, {0x41, 1}, {0x41, 2}, {0x41, 8}, {0x42, 0}, {0x42, 1}, {0x42, 2},
    {0x42, 8}, {0x43, 0}, {0x43, 1}, {0x43, 8}, {0x44, 0}, {0x45, 0}, {0x46, 0}, {0x47, 0}, {0x48, 0},
    {0x48, 8}, {0x49, 0}, {0x4A, 0}, {0x4B, 0}, {0x4C, 0}, {0x4D, 0}, {0x4E, 0}, {0x40, 0}};

// Bank select pairs: the XG banks of the XG voice list and the CS1x preset
// banks (MSB 63) of the preset list.
std::set<Pair> bankPairs() {
    std::set<Pair> pairs;
    std::ifstream xg(std::string(PS_DATA_DIR) + "/xg-voices.tsv");
    std::string line;
    std::getline(xg, line);
    while (std::getline(xg, line)) {
        std::istringstream in(line);
        int index = 0, msb = 0, lsb = 0;
        if (in >> index >> msb >> lsb) pairs.insert({msb, lsb});
    }
    std::ifstream presets(std::string(PS_DATA_DIR) + "/cs1x-preset-voices.tsv");
    std::getline(presets, line);
    while (std::getline(presets, line)) {
        std::istringstream in(line);
        int lsb = 0;
        if (in >> lsb) pairs.insert({63, lsb});
    }
    return pairs;
}

// Layer bytes: the values the synth accepts (carried = not moved at all).
struct Span {
    int min, max;
};
const std::map<int, Span> kLayerRanges{
    {2, {0, 127}},  {4, {40, 88}},  {5, {0, 15}},   {6, {0, 15}},   {7, {0, 127}},  {8, {0, 127}},
    {9, {0, 127}},  {10, {0, 127}}, {11, {0, 127}}, {12, {0, 127}}, {13, {0, 127}}, {14, {0, 127}},
    {16, {0, 2}},   {17, {0, 127}}, {18, {0, 127}}, {19, {1, 127}}, {20, {1, 127}}, {21, {1, 127}},
    {23, {0, 127}}, {24, {1, 127}}, {25, {1, 127}}, {26, {0, 127}}, {27, {1, 127}}, {28, {1, 127}},
    {29, {0, 127}}, {30, {1, 127}}, {31, {0, 3}},   {32, {33, 95}}, {33, {1, 127}}, {34, {49, 79}},
    {35, {1, 127}}, {36, {1, 127}}, {37, {0, 127}}, {38, {1, 127}}, {39, {0, 127}}, {40, {1, 127}}};

RandomizeChoice everything(int strength) {
    RandomizeChoice c;
    c.strength = strength;
    c.groups.assign(std::begin(kRandomGroups), std::end(kRandomGroups));
    c.firstLayer = 1;
    c.lastLayer = 4;
    return c;
}

Pair pairAt(const PerformanceImage& image, Block b, int offset) {
    return {image.data(b, offset), image.data(b, offset + 1)};
}

} // namespace

TEST(Randomize, TenThousandFullStrengthRunsKeepEveryByteInItsRangeAndList) {
    const std::set<Pair> banks = bankPairs();
    ASSERT_EQ(banks.size(), 58u);
    PerformanceImage image;
    image.fillDefaults();
    const PerformanceImage start = image;
    std::mt19937 random(1234);
    // Lowest and highest value seen of each layer byte, and the pairs seen.
    std::map<int, Span> seen;
    std::set<Pair> banksSeen, variationsSeen;
    for (int run = 0; run < 10000; ++run) {
        randomize(image, everything(100), random);
        // Name, category, volume, scenes, assign knobs, controllers: not chosen.
        for (int k = 0; k <= 40; ++k) ASSERT_EQ(image.data(Block::Common, k), start.data(Block::Common, k)) << k;
        for (int k = 0; k < kControllerDataBytes; ++k)
            ASSERT_EQ(image.data(Block::Controller, k), start.data(Block::Controller, k));
        ASSERT_EQ(image.data(Block::Effect, 18), start.data(Block::Effect, 18));
        ASSERT_EQ(image.data(Block::Effect, 19), start.data(Block::Effect, 19)); // a controller
        // Arpeggio.
        const int tempo = 128 * image.data(Block::Common, 41) + image.data(Block::Common, 42);
        ASSERT_LE(image.data(Block::Common, 41), 1);
        ASSERT_LE(tempo, 201);
        ASSERT_LE(image.data(Block::Common, 43), 29);
        ASSERT_LE(image.data(Block::Common, 44), 9);
        ASSERT_TRUE(std::set<int>({0, 1, 2, 4, 5, 6}).count(image.data(Block::Common, 45)));
        // Effects.
        ASSERT_TRUE(kReverbPairs.count(pairAt(image, Block::Effect, 0)));
        ASSERT_TRUE(kChorusPairs.count(pairAt(image, Block::Effect, 2)));
        ASSERT_TRUE(kVariationPairs.count(pairAt(image, Block::Effect, 4)));
        variationsSeen.insert(pairAt(image, Block::Effect, 4));
        const auto row = variationTypeRow(image);
        ASSERT_TRUE(row.has_value());
        const auto setups = variationSetup(*row);
        for (std::size_t k = 0; k < 6; ++k) {
            const int hi = image.data(Block::Effect, 6 + 2 * static_cast<int>(k));
            const int lo = image.data(Block::Effect, 7 + 2 * static_cast<int>(k));
            ASSERT_LT(hi, 128);
            ASSERT_LT(lo, 128);
            // A parameter the type does not use keeps its default.
            if (!setups[k].enabled) continue;
            ASSERT_GE(128 * hi + lo, setups[k].minimum);
            ASSERT_LE(128 * hi + lo, setups[k].maximum);
        }
        for (int k = 20; k <= 22; ++k) ASSERT_LT(image.data(Block::Effect, k), 128);
        // Layers.
        for (int layer = 1; layer <= 4; ++layer) {
            SCOPED_TRACE(layer);
            ASSERT_TRUE(banks.count({image.layerData(layer, 0), image.layerData(layer, 1)}));
            banksSeen.insert({image.layerData(layer, 0), image.layerData(layer, 1)});
            ASSERT_LE(image.layerData(layer, 3), 1);
            ASSERT_TRUE(image.layerData(layer, 15) == 0 || image.layerData(layer, 15) == 127);
            ASSERT_EQ(image.layerData(layer, 22), 1) << "the layer switch never moves";
            for (const auto& [offset, span] : kLayerRanges) {
                const int v = image.layerData(layer, offset);
                ASSERT_GE(v, span.min) << offset;
                ASSERT_LE(v, span.max) << offset;
                auto [it, fresh] = seen.try_emplace(offset, Span{v, v});
                it->second.min = std::min(it->second.min, v);
                it->second.max = std::max(it->second.max, v);
            }
            ASSERT_LE(image.layerData(layer, 11), image.layerData(layer, 12));
            ASSERT_LE(image.layerData(layer, 27), image.layerData(layer, 28));
        }
        // Headers stay: each block still names itself.
        for (int b = 0; b < kBlockCount; ++b) {
            const auto m = image.message(static_cast<Block>(b));
            ASSERT_EQ(m[0], 0xF0);
            ASSERT_EQ(m.back(), 0xF7);
        }
    }
    // The whole ranges are reached, no more and no less.
    for (const auto& [offset, span] : kLayerRanges) {
        EXPECT_EQ(seen[offset].min, span.min) << offset;
        EXPECT_EQ(seen[offset].max, span.max) << offset;
    }
    EXPECT_EQ(banksSeen, banks);
    EXPECT_EQ(variationsSeen, kVariationPairs);
}

TEST(Randomize, StrengthBoundsEachMoveAndZeroChangesNothing) {
    PerformanceImage image;
    image.fillDefaults();
    std::mt19937 random(99);
    for (int run = 0; run < 50; ++run) randomize(image, everything(100), random);

    const PerformanceImage before = image;
    randomize(image, everything(0), random);
    EXPECT_EQ(image, before);

    // At 10 % a bar of 0..127 moves by at most 13, LFO FMod (49..79) by 3.
    for (int run = 0; run < 500; ++run) {
        const PerformanceImage was = image;
        RandomizeChoice filter = everything(10);
        filter.groups = {ParamGroup::FilterEnvelopes, ParamGroup::Lfo};
        randomize(image, filter, random);
        for (int layer = 1; layer <= 4; ++layer) {
            ASSERT_LE(std::abs(image.layerData(layer, 17) - was.layerData(layer, 17)), 13);
            ASSERT_LE(std::abs(image.layerData(layer, 34) - was.layerData(layer, 34)), 3);
            // Voice bytes belong to another group.
            ASSERT_EQ(image.layerData(layer, 2), was.layerData(layer, 2));
        }
        ASSERT_TRUE(std::equal(image.message(Block::Effect).begin(), image.message(Block::Effect).end(),
                               was.message(Block::Effect).begin()));
    }
}
