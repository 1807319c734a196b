// The parameter table against the performance's parameter map and the
// controls' conversions. The expected values are written from the
// instrument's description, not taken from the table.

#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace patchsmith;

namespace {

using A = ParamArea;

struct Place {
    const char* name;
    A area;
    int offset;
    int partner; // -1: one byte
};

// Every parameter with its block and its byte(s).
const std::vector<Place> kPlaces = {
    {"PerformanceName", A::Common, 0, -1},
    {"PerformanceType", A::Common, 8, -1},
    {"CommonVolume", A::Common, 9, -1},
    {"Scene1Knob1", A::Common, 10, -1},
    {"Scene1Knob2", A::Common, 11, -1},
    {"Scene1Knob3", A::Common, 12, -1},
    {"Scene1Knob4", A::Common, 13, -1},
    {"Scene1Knob5", A::Common, 14, -1},
    {"Scene1Knob6", A::Common, 15, -1},
    {"Scene2Knob1", A::Common, 16, -1},
    {"Scene2Knob2", A::Common, 17, -1},
    {"Scene2Knob3", A::Common, 18, -1},
    {"Scene2Knob4", A::Common, 19, -1},
    {"Scene2Knob5", A::Common, 20, -1},
    {"Scene2Knob6", A::Common, 21, -1},
    // Assign knob 2, parameter q: layer at 26 + 2q, target at 27 + 2q, sensitivity at 35 + q.
    {"Assign2Param1Layer", A::Common, 28, 29},
    {"Assign2Param1Para", A::Common, 29, -1},
    {"Assign2Param2Layer", A::Common, 30, 31},
    {"Assign2Param2Para", A::Common, 31, -1},
    {"Assign2Param3Layer", A::Common, 32, 33},
    {"Assign2Param3Para", A::Common, 33, -1},
    {"Assign2Param4Layer", A::Common, 34, 35},
    {"Assign2Param4Para", A::Common, 35, -1},
    {"Assign2Param1Level", A::Common, 36, -1},
    {"Assign2Param2Level", A::Common, 37, -1},
    {"Assign2Param3Level", A::Common, 38, -1},
    {"Assign2Param4Level", A::Common, 39, -1},
    {"Assign1Para", A::Common, 40, -1},
    {"ArpTempo", A::Common, 41, 42},
    {"ArpeggioType", A::Common, 43, -1},
    {"ArpeggioSubdiv", A::Common, 44, -1},
    {"ArpMode", A::Common, 45, -1},
    {"ReverbType", A::Effect, 0, 1},
    {"ChorusType", A::Effect, 2, 3},
    {"VariType", A::Effect, 4, 5},
    {"VPara1", A::Effect, 6, 7},
    {"VPara2", A::Effect, 8, 9},
    {"VPara3", A::Effect, 10, 11},
    {"VPara4", A::Effect, 12, 13},
    {"VPara5", A::Effect, 14, 15},
    {"VPara10", A::Effect, 16, 17},
    {"FCVariCtl", A::Effect, 19, -1},
    {"ChorusToReverb", A::Effect, 20, -1},
    {"VariOnRev", A::Effect, 21, -1},
    {"VariOnCho", A::Effect, 22, -1},
    {"MWFilterCtl", A::Controller, 0, -1},
    {"MWLFOPMod", A::Controller, 1, -1},
    {"MWLFOFMod", A::Controller, 2, -1},
    {"PitchBend", A::Controller, 3, -1},
    {"FCFilterCtl", A::Controller, 4, -1},
    {"FCLFOFMod", A::Controller, 6, -1},
    {"PortaOn", A::Controller, 7, -1},
    {"PortaTime", A::Controller, 8, -1},
    {"PatchBankNumber", A::Layer, 0, 1},
    {"PatchVoiceNumber", A::Layer, 2, -1},
    {"PlayPoly", A::Layer, 3, -1},
    {"NoteShift", A::Layer, 4, -1},
    {"NoteDetune", A::Layer, 5, 6},
    {"LayerVolume", A::Layer, 7, -1},
    {"VelocitySenseDepth", A::Layer, 8, -1},
    {"VelocitySenseOffset", A::Layer, 9, -1},
    {"PanPot", A::Layer, 10, -1},
    {"NoteLimitLow", A::Layer, 11, -1},
    {"NoteLimitHigh", A::Layer, 12, -1},
    {"EffectChorus", A::Layer, 13, -1},
    {"EffectReverb", A::Layer, 14, -1},
    {"EffectVariation", A::Layer, 15, -1},
    {"LFOSync", A::Layer, 16, -1},
    {"FilterCutoff", A::Layer, 17, -1},
    {"FilterResonance", A::Layer, 18, -1},
    {"AEGAtkTime", A::Layer, 19, -1},
    {"AEGDcyTime", A::Layer, 20, -1},
    {"AEGRelTime", A::Layer, 21, -1},
    {"LayerOn", A::Layer, 22, -1},
    {"PEGInitLevel", A::Layer, 23, -1},
    {"PEGAtkTime", A::Layer, 24, -1},
    {"PEGRelTime", A::Layer, 25, -1},
    {"PEGRelLevel", A::Layer, 26, -1},
    {"VelocityLimitLow", A::Layer, 27, -1},
    {"VelocityLimitHigh", A::Layer, 28, -1},
    {"AEGSusLevel", A::Layer, 29, -1},
    {"LFOSpeed", A::Layer, 30, -1},
    {"LFOWave", A::Layer, 31, -1},
    {"LFOAMod", A::Layer, 32, -1},
    {"LFOPMod", A::Layer, 33, -1},
    {"LFOFMod", A::Layer, 34, -1},
    {"FEGAtkTime", A::Layer, 35, -1},
    {"FEGDcyTime", A::Layer, 36, -1},
    {"FEGSusLevel", A::Layer, 37, -1},
    {"FEGRelTime", A::Layer, 38, -1},
    {"PEGAtkLevel", A::Layer, 39, -1},
    {"PEGDcyTime", A::Layer, 40, -1},
};

int dataBytes(A area) {
    switch (area) {
    case A::Common: return 46;
    case A::Effect: return 23;
    case A::Controller: return 9;
    case A::Layer: return 41;
    }
    return 0;
}

PerformanceImage defaults() {
    PerformanceImage image;
    image.fillDefaults();
    return image;
}

} // namespace

TEST(Parameters, EachParameterLivesWhereTheParameterMapPutsIt) {
    std::set<std::string> expected;
    for (const Place& e : kPlaces) {
        SCOPED_TRACE(e.name);
        expected.insert(e.name);
        const Parameter* p = findParameter(e.name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->area, e.area);
        EXPECT_EQ(p->offset, e.offset);
        // The assign-knob-2 layer byte names its target as its partner: the
        // two travel together.
        EXPECT_EQ(p->partner, e.partner);
    }
    std::set<std::string> table;
    for (const Parameter* p : allParameters()) EXPECT_TRUE(table.insert(std::string(p->name)).second) << p->name;
    EXPECT_EQ(table, expected);
    EXPECT_EQ(findParameter("NoSuchParameter"), nullptr);
}

TEST(Parameters, EveryDataByteBelongsToOneParameterOrIsCarried) {
    for (A area : {A::Common, A::Effect, A::Controller, A::Layer}) {
        std::map<int, int> owners;
        for (const Parameter* p : allParameters()) {
            if (p->area != area) continue;
            if (p->encoding == ParamEncoding::Text) {
                for (int k = 0; k < kNameLength; ++k) ++owners[p->offset + k];
            } else {
                ++owners[p->offset];
                // The assign-knob-2 layer byte sends its target along; the
                // target is a parameter of its own.
                if (p->twoBytes() && p->depends != ParamDepends::Assign2Tab) ++owners[p->partner];
            }
        }
        for (const CarriedBytes& c : carriedBytes())
            if (c.area == area)
                for (int k = c.first; k < c.first + c.count; ++k) ++owners[k];
        for (int k = 0; k < dataBytes(area); ++k) EXPECT_EQ(owners[k], 1) << "area " << int(area) << " byte " << k;
        EXPECT_EQ(static_cast<int>(owners.size()), dataBytes(area));
    }
}

// A tool that writes a performance out parameter by parameter (and reads
// it back) needs each value's own bytes: together with the carried bytes
// they are every data byte once, and of the effect block a stored
// performance lacks exactly the two variation sends.
TEST(Parameters, ValueBytesCoverEveryDataByteOnce) {
    EXPECT_EQ(valueBytes(params::PerformanceName), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(valueBytes(params::Assign2Param1Layer), (std::vector<int>{28}));
    EXPECT_EQ(valueBytes(params::Assign2Param1Para), (std::vector<int>{29}));
    EXPECT_EQ(valueBytes(params::ArpTempo), (std::vector<int>{41, 42}));
    EXPECT_EQ(valueBytes(params::VPara10), (std::vector<int>{16, 17}));
    EXPECT_EQ(valueBytes(params::NoteDetune), (std::vector<int>{5, 6}));
    EXPECT_EQ(valueBytes(params::PatchBankNumber), (std::vector<int>{0, 1}));
    EXPECT_EQ(valueBytes(params::PanPot), (std::vector<int>{10}));
    for (A area : {A::Common, A::Effect, A::Controller, A::Layer}) {
        std::map<int, int> owners;
        for (const Parameter* p : allParameters())
            if (p->area == area)
                for (int k : valueBytes(*p)) ++owners[k];
        for (const CarriedBytes& c : carriedBytes())
            if (c.area == area)
                for (int k = c.first; k < c.first + c.count; ++k) ++owners[k];
        for (int k = 0; k < dataBytes(area); ++k) EXPECT_EQ(owners[k], 1) << "area " << int(area) << " byte " << k;
        EXPECT_EQ(static_cast<int>(owners.size()), dataBytes(area));
    }
    std::set<std::string> notStored;
    for (const Parameter* p : allParameters())
        if (!inStoredPerformance(*p)) notStored.insert(std::string(p->name));
    EXPECT_EQ(notStored, (std::set<std::string>{"VariOnRev", "VariOnCho"}));
    std::set<std::string_view> groups;
    for (ParamGroup g : {ParamGroup::Performance, ParamGroup::Controllers, ParamGroup::Arpeggio, ParamGroup::Effects,
                         ParamGroup::LayerVoice, ParamGroup::FilterEnvelopes, ParamGroup::Lfo})
        groups.insert(groupName(g));
    EXPECT_EQ(groups.size(), 7u);
    EXPECT_EQ(groupName(params::AEGAtkTime.group), "filter-envelopes");
    EXPECT_EQ(groupName(params::PatchVoiceNumber.group), "layer-voice");
}

TEST(Parameters, TheBytesTheEditorNeverShowsAreCarried) {
    std::set<std::pair<A, int>> carried;
    for (const CarriedBytes& c : carriedBytes())
        for (int k = c.first; k < c.first + c.count; ++k) carried.insert({c.area, k});
    const std::set<std::pair<A, int>> expected = {{A::Common, 22}, {A::Common, 23},   {A::Common, 24},
                                                  {A::Common, 25}, {A::Common, 26},   {A::Common, 27},
                                                  {A::Effect, 18}, {A::Controller, 5}};
    EXPECT_EQ(carried, expected);
    for (const auto& [area, offset] : expected) EXPECT_EQ(parameterAt(area, offset), nullptr);
    EXPECT_EQ(parameterAt(A::Common, 3), &params::PerformanceName);
    EXPECT_EQ(parameterAt(A::Common, 42), &params::ArpTempo);
    EXPECT_EQ(parameterAt(A::Layer, 6), &params::NoteDetune);
    EXPECT_EQ(parameterAt(A::Layer, 41), nullptr);
}

TEST(Parameters, StableOrderBlockByBlockByOffset) {
    const auto all = allParameters();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), &params::PerformanceName);
    EXPECT_EQ(all.back(), &params::PEGDcyTime);
    for (std::size_t i = 1; i < all.size(); ++i) {
        const Parameter& a = *all[i - 1];
        const Parameter& b = *all[i];
        SCOPED_TRACE(std::string(a.name) + " before " + std::string(b.name));
        EXPECT_TRUE(a.area < b.area || (a.area == b.area && a.offset < b.offset));
    }
}

// The controls of the edit handlers: range, start position, stored = K - p,
// label L - p.
struct BarExpect {
    const char* name;
    int min;
    int max;
    int start;
    int k;
    int l;
};
const std::vector<BarExpect> kBars = {
    {"CommonVolume", 0, 127, 27, 127, 127},
    {"Scene1Knob1", 0, 127, 64, 127, 63},
    {"Scene1Knob6", 0, 127, 64, 127, 63},
    {"Scene2Knob1", 0, 127, 64, 127, 63},
    {"Scene2Knob6", 0, 127, 64, 127, 63},
    {"Assign2Param1Level", 32, 96, 64, 128, 64},
    {"Assign2Param3Level", 32, 96, 64, 128, 64},
    {"FCVariCtl", 0, 127, 64, 127, 63},
    {"ChorusToReverb", 0, 127, 127, 127, 127},
    {"VariOnRev", 0, 127, 87, 127, 127},
    {"VariOnCho", 0, 127, 127, 127, 127},
    {"MWFilterCtl", 0, 127, 64, 127, 63},
    {"MWLFOPMod", 0, 127, 117, 127, 127},
    {"MWLFOFMod", 0, 127, 127, 127, 127},
    {"PitchBend", 40, 88, 62, 128, 64},
    {"FCFilterCtl", 0, 127, 64, 127, 63},
    {"FCLFOFMod", 0, 127, 127, 127, 127},
    {"PortaTime", 0, 127, 127, 127, 127},
    {"LayerVolume", 0, 127, 0, 127, 127},
    {"VelocitySenseDepth", 0, 127, 63, 127, 127},
    {"VelocitySenseOffset", 0, 127, 63, 127, 63},
    {"EffectChorus", 0, 127, 127, 127, 127},
    {"EffectReverb", 0, 127, 86, 127, 127},
    {"FilterCutoff", 0, 127, 64, 127, 63},
    {"FilterResonance", 0, 127, 64, 127, 63},
    {"AEGAtkTime", 1, 127, 64, 128, 64},
    {"AEGDcyTime", 1, 127, 64, 128, 64},
    {"AEGRelTime", 1, 127, 64, 128, 64},
    {"PEGInitLevel", 0, 127, 64, 127, 63},
    {"PEGAtkTime", 1, 127, 64, 128, 64},
    {"PEGRelTime", 1, 127, 64, 128, 64},
    {"PEGRelLevel", 0, 127, 64, 127, 63},
    {"VelocityLimitLow", 0, 126, 126, 127, 127},
    {"VelocityLimitHigh", 0, 126, 0, 127, 127},
    {"AEGSusLevel", 0, 127, 64, 127, 63},
    {"LFOSpeed", 1, 127, 64, 128, 64},
    {"LFOAMod", 33, 95, 64, 128, 64},
    {"LFOPMod", 1, 127, 64, 128, 64},
    {"LFOFMod", 49, 79, 64, 128, 64},
    {"FEGAtkTime", 1, 127, 64, 128, 64},
    {"FEGDcyTime", 1, 127, 64, 128, 64},
    {"FEGSusLevel", 0, 127, 64, 127, 63},
    {"FEGRelTime", 1, 127, 64, 128, 64},
    {"PEGAtkLevel", 0, 127, 64, 127, 63},
    {"PEGDcyTime", 1, 127, 64, 128, 64},
};

TEST(Parameters, TrackBarsConvertPositionsAsTheirHandlers) {
    for (const BarExpect& e : kBars) {
        SCOPED_TRACE(e.name);
        const Parameter* p = findParameter(e.name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->control, ParamControl::VBar);
        EXPECT_EQ(p->min, e.min);
        EXPECT_EQ(p->max, e.max);
        EXPECT_EQ(p->start, e.start);
        for (int position : {e.min, e.max, (e.min + e.max) / 2}) {
            const int stored = storedOf(*p, position);
            EXPECT_EQ(stored, e.k - position);
            // Every position of the bar stores a data byte.
            EXPECT_GE(stored, 0);
            EXPECT_LE(stored, 127);
            EXPECT_EQ(positionOf(*p, stored), position);
            EXPECT_EQ(readoutText(*p, stored, '.'), std::to_string(e.l - position));
        }
    }
}

TEST(Parameters, TimesNeverStoreZeroAndCentredRangesAreWhatTheSynthTakes) {
    struct RangeExpect {
        const char* name;
        int min;
        int max;
    };
    const std::vector<RangeExpect> ranges = {
        {"AEGAtkTime", 1, 127},
        {"FEGRelTime", 1, 127},
        {"PEGDcyTime", 1, 127},
        {"LFOSpeed", 1, 127},
        {"LFOPMod", 1, 127},
        {"LFOAMod", 33, 95},
        {"LFOFMod", 49, 79},
        {"PitchBend", 40, 88},
        {"NoteShift", 40, 88},
        {"Assign2Param2Level", 32, 96},
        {"VelocityLimitLow", 1, 127},
        {"VelocityLimitHigh", 1, 127},
        {"NoteDetune", 0, 255},
        {"ArpTempo", 0, 201},
        {"PanPot", 0, 127},
        {"NoteLimitLow", 0, 127},
        {"CommonVolume", 0, 127},
        {"PerformanceType", 0, 22},
        {"ArpeggioType", 0, 29},
        {"ArpeggioSubdiv", 0, 9},
        {"Assign1Para", 0, 29},
        {"Assign2Param4Para", 0, 29},
        {"Assign2Param4Layer", 0, 3},
        {"LFOWave", 0, 3},
        {"LFOSync", 0, 2},
        {"ReverbType", 0, 11},
        {"ChorusType", 0, 11},
        {"VariType", 0, 43},
        {"PatchBankNumber", 0, 57},
        {"PatchVoiceNumber", 0, 127},
    };
    const PerformanceImage image = defaults();
    for (const RangeExpect& e : ranges) {
        SCOPED_TRACE(e.name);
        const ValueRange r = storedRange(*findParameter(e.name), image);
        EXPECT_TRUE(r.only.empty());
        EXPECT_EQ(r.min, e.min);
        EXPECT_EQ(r.max, e.max);
        EXPECT_TRUE(r.contains(e.min));
        EXPECT_FALSE(r.contains(e.max + 1));
    }
    // Flags store 0 or their "on" value; the arpeggio mode six values.
    EXPECT_EQ(std::vector<int>(storedRange(params::EffectVariation, image).only.begin(),
                               storedRange(params::EffectVariation, image).only.end()),
              (std::vector<int>{0, 127}));
    EXPECT_EQ(std::vector<int>(storedRange(params::PortaOn, image).only.begin(),
                               storedRange(params::PortaOn, image).only.end()),
              (std::vector<int>{0, 1}));
    const ValueRange mode = storedRange(params::ArpMode, image);
    EXPECT_EQ(std::vector<int>(mode.only.begin(), mode.only.end()), (std::vector<int>{0, 1, 2, 4, 5, 6}));
    EXPECT_FALSE(mode.contains(3));
    EXPECT_FALSE(mode.contains(7));
}

TEST(Parameters, VariationParametersFollowTheVariationType) {
    PerformanceImage image = defaults();
    // "Hall 1" (01 00): reverb time 0..69, diffusion 0..10, initial delay
    // 0..63, HPF 0..52, LPF 34..60, dry/wet 1..127.
    writeValue(params::VariType, image, 1);
    const std::vector<std::pair<int, int>> hall = {{0, 69}, {0, 10}, {0, 63}, {0, 52}, {34, 60}, {1, 127}};
    for (std::size_t k = 0; k < 6; ++k) {
        const ValueRange r = storedRange(*params::kVariationParameters[k], image);
        EXPECT_EQ(r.min, hall[k].first) << k;
        EXPECT_EQ(r.max, hall[k].second) << k;
    }
    // "Delay L-C-R": the delays span 1..7150 and print in tenths of a millisecond.
    writeValue(params::VariType, image, 9);
    EXPECT_EQ(storedRange(params::VPara1, image).max, 7150);
    writeValue(params::VPara1, image, 3333);
    EXPECT_EQ(displayText(params::VPara1, image, 1, ','), "333,3ms");
    // "OFF" leaves nothing to edit; so does a type in no row.
    writeValue(params::VariType, image, 0);
    for (const Parameter* p : params::kVariationParameters) EXPECT_TRUE(storedRange(*p, image).empty()) << p->name;
    image.setData(Block::Effect, 4, 0x7F);
    EXPECT_FALSE(variationTypeRow(image).has_value());
    EXPECT_TRUE(storedRange(params::VPara10, image).empty());
    // Karaoke: parameter 5 is unused.
    writeValue(params::VariType, image, 17);
    EXPECT_TRUE(storedRange(params::VPara5, image).empty());
    EXPECT_EQ(storedRange(params::VPara10, image).min, 1);
}

TEST(Parameters, ValuesOfTwoBytesAndPairs) {
    PerformanceImage image = defaults();
    // 7150 = 55 * 128 + 110.
    writeValue(params::VPara1, image, 7150);
    EXPECT_EQ(image.data(Block::Effect, 6), 55);
    EXPECT_EQ(image.data(Block::Effect, 7), 110);
    EXPECT_EQ(storedValue(params::VPara1, image), 7150);
    // Tempo code 201: bytes 1 and 73.
    writeValue(params::ArpTempo, image, 201);
    EXPECT_EQ(image.data(Block::Common, 41), 1);
    EXPECT_EQ(image.data(Block::Common, 42), 73);
    writeValue(params::ArpTempo, image, 127);
    EXPECT_EQ(image.data(Block::Common, 41), 0);
    EXPECT_EQ(image.data(Block::Common, 42), 127);
    // Detune: two 4-bit halves, high half first.
    writeValue(params::NoteDetune, image, 255, 3);
    EXPECT_EQ(image.layerData(3, 5), 15);
    EXPECT_EQ(image.layerData(3, 6), 15);
    EXPECT_EQ(image.layerData(2, 5), 8);
    EXPECT_EQ(storedValue(params::NoteDetune, image, 3), 255);
    EXPECT_EQ(storedValue(params::NoteDetune, image, 2), 128);
    // Reverb "Basement" is 13 00 (hex), chorus "Flanger 3" 43 08.
    writeValue(params::ReverbType, image, 11);
    EXPECT_EQ(image.data(Block::Effect, 0), 0x13);
    EXPECT_EQ(image.data(Block::Effect, 1), 0x00);
    writeValue(params::ChorusType, image, 11);
    EXPECT_EQ(image.data(Block::Effect, 2), 0x43);
    EXPECT_EQ(image.data(Block::Effect, 3), 0x08);
    EXPECT_EQ(storedValue(params::ChorusType, image), 11);
    // "PRE 12 (Drum Kits)" is 63/12.
    writeValue(params::PatchBankNumber, image, 57, 4);
    EXPECT_EQ(image.layerData(4, 0), 63);
    EXPECT_EQ(image.layerData(4, 1), 12);
    // A row past the list writes nothing; a pair in no row reads -1.
    const PerformanceImage before = image;
    writeValue(params::ReverbType, image, 12);
    writeValue(params::PatchBankNumber, image, -1, 1);
    EXPECT_EQ(image, before);
    image.setData(Block::Effect, 0, 0x7F);
    EXPECT_EQ(storedValue(params::ReverbType, image), -1);
}

TEST(Parameters, WrittenValuesNeverSetBitSeven) {
    PerformanceImage image = defaults();
    for (const Parameter* p : allParameters()) {
        for (int v : {-5, 0, 127, 128, 255, 300, 20000}) writeValue(*p, image, v, 2);
    }
    for (int i = 0; i < kBlockCount; ++i) {
        const Block b = static_cast<Block>(i);
        for (int k = 0; k < dataLength(b); ++k) EXPECT_LT(image.data(b, k), 0x80) << i << " " << k;
    }
}

TEST(Parameters, TheNameIsEightPrintableCharacters) {
    PerformanceImage image = defaults();
    EXPECT_EQ(nameText(image), "InitPerf");
    writeName(image, std::string_view("Pad"));
    EXPECT_EQ(nameText(image), "Pad     ");
    writeName(image, std::string_view("TooLongName"));
    EXPECT_EQ(nameText(image), "TooLongN");
    writeName(image, std::u16string_view(u"A\u00E9\tB"));
    EXPECT_EQ(nameText(image), "A  B    ");
    // A damaged name shows its control characters as "?".
    image.setData(Block::Common, 0, 0x01);
    EXPECT_EQ(displayText(params::PerformanceName, image, 1, '.'), "?  B    ");
}

TEST(Parameters, ReadoutsWithRulesOfTheirOwn) {
    // Pan: 1 is L-63, 127 R-63, 64 the centre; 0 is random and rests at the centre.
    EXPECT_EQ(readoutText(params::PanPot, 1, '.'), "L-63");
    EXPECT_EQ(readoutText(params::PanPot, 127, '.'), "R-63");
    EXPECT_EQ(readoutText(params::PanPot, 64, '.'), "CTR");
    EXPECT_EQ(readoutText(params::PanPot, 0, '.'), "CTR");
    EXPECT_EQ(positionOf(params::PanPot, 0), 64);
    // Note shift: byte 64 "±0", 70 "+6", 58 "-6"; the bar at -24 stores 88.
    EXPECT_EQ(readoutText(params::NoteShift, 64, '.'), "\u00B10");
    EXPECT_EQ(readoutText(params::NoteShift, 70, '.'), "+6");
    EXPECT_EQ(readoutText(params::NoteShift, 58, '.'), "-6");
    EXPECT_EQ(storedOf(params::NoteShift, -24), 88);
    EXPECT_EQ(storedOf(params::NoteShift, 24), 40);
    // Detune: 128 is "±0 Hz", 143 "+1.5 Hz", 0 "-12.8 Hz"; the bar at 0 stores 128.
    EXPECT_EQ(readoutText(params::NoteDetune, 128, '.'), "\u00B10 Hz");
    EXPECT_EQ(readoutText(params::NoteDetune, 143, ','), "+1,5 Hz");
    EXPECT_EQ(readoutText(params::NoteDetune, 0, '.'), "-12.8 Hz");
    EXPECT_EQ(storedOf(params::NoteDetune, 0), 128);
    EXPECT_EQ(storedOf(params::NoteDetune, -127), 255);
    EXPECT_EQ(storedOf(params::NoteDetune, 128), 0);
    // Tempo: the bar at 40 is 240 bpm (code 201), at 240 is 40; code 0 (MIDI
    // clock) rests the bar at 140.
    EXPECT_EQ(storedOf(params::ArpTempo, 40), 201);
    EXPECT_EQ(readoutText(params::ArpTempo, 201, '.'), "240");
    EXPECT_EQ(storedOf(params::ArpTempo, 113), 128);
    EXPECT_EQ(readoutText(params::ArpTempo, 128, '.'), "167");
    EXPECT_EQ(readoutText(params::ArpTempo, 1, '.'), "40");
    EXPECT_EQ(readoutText(params::ArpTempo, 0, '.'), "140");
    EXPECT_EQ(positionOf(params::ArpTempo, 0), 140);
    // Note limits by name: 0 "C-2", 60 "C3", 127 "G8".
    EXPECT_EQ(readoutText(params::NoteLimitLow, 0, '.'), "C-2");
    EXPECT_EQ(readoutText(params::NoteLimitHigh, 60, '.'), "C3");
    EXPECT_EQ(readoutText(params::NoteLimitHigh, 127, '.'), "G8");
    // Check boxes store their "on" value.
    EXPECT_EQ(storedOf(params::EffectVariation, 1), 127);
    EXPECT_EQ(storedOf(params::EffectVariation, 0), 0);
    EXPECT_EQ(storedOf(params::LayerOn, 1), 1);
}

TEST(Parameters, ArpeggioModeBoxes) {
    // Values 0 (off, split), 1 (on, split), 2 (hold, split), 4 (off), 5 (on), 6 (hold).
    struct Mode {
        int value;
        bool on, hold, split;
    };
    for (const Mode& m : {Mode{0, false, false, true}, Mode{1, true, false, true}, Mode{2, false, true, true},
                          Mode{4, false, false, false}, Mode{5, true, false, false}, Mode{6, false, true, false}}) {
        SCOPED_TRACE(m.value);
        const ArpModeBoxes b = arpModeBoxes(m.value);
        EXPECT_EQ(b.on, m.on);
        EXPECT_EQ(b.hold, m.hold);
        EXPECT_EQ(b.split, m.split);
        EXPECT_EQ(arpModeValue(b), m.value);
    }
    // Both bits set show as "On"; "On" wins over "Hold" when both are checked.
    EXPECT_TRUE(arpModeBoxes(3).on);
    EXPECT_FALSE(arpModeBoxes(3).hold);
    EXPECT_EQ(arpModeValue({true, true, true}), 1);
}

TEST(Parameters, HowEachEditTravels) {
    struct Travel {
        const char* name;
        ParamSend send;
        Byte address; // address low byte of the change
    };
    const std::vector<Travel> travels = {
        {"PerformanceName", ParamSend::BlockDump, 0x00},
        {"CommonVolume", ParamSend::OneByte, 0x09},
        {"Assign2Param1Layer", ParamSend::TwoByte, 0x1C},
        {"Assign2Param1Para", ParamSend::TwoByte, 0x1C},
        {"Assign2Param4Para", ParamSend::TwoByte, 0x22},
        {"Assign2Param1Level", ParamSend::OneByte, 0x24},
        {"Assign2Param3Level", ParamSend::OneByte, 0x26},
        {"ArpTempo", ParamSend::TwoByte, 0x29},
        {"ArpMode", ParamSend::OneByte, 0x2D},
        {"ReverbType", ParamSend::TwoByte, 0x30},
        {"ChorusType", ParamSend::TwoByte, 0x32},
        {"VariType", ParamSend::BlockDump, 0x34},
        {"VPara1", ParamSend::TwoByte, 0x36},
        {"VPara2", ParamSend::TwoByte, 0x38},
        {"VPara3", ParamSend::TwoByte, 0x3A},
        {"VPara4", ParamSend::TwoByte, 0x3C},
        {"VPara5", ParamSend::TwoByte, 0x3E},
        {"VPara10", ParamSend::TwoByte, 0x40},
        {"FCVariCtl", ParamSend::OneByte, 0x43},
        {"ChorusToReverb", ParamSend::OneByte, 0x44},
        {"VariOnCho", ParamSend::OneByte, 0x46},
        {"MWFilterCtl", ParamSend::OneByte, 0x50},
        {"PortaTime", ParamSend::OneByte, 0x58},
        {"PatchBankNumber", ParamSend::LayerDump, 0x00},
        {"PatchVoiceNumber", ParamSend::OneByte, 0x02},
        {"NoteDetune", ParamSend::LayerDump, 0x05},
        {"LayerOn", ParamSend::OneByte, 0x16},
        {"AEGAtkTime", ParamSend::OneByte, 0x13},
        {"PEGDcyTime", ParamSend::OneByte, 0x28},
    };
    for (const Travel& t : travels) {
        SCOPED_TRACE(t.name);
        const Parameter& p = *findParameter(t.name);
        EXPECT_EQ(p.send, t.send);
        EXPECT_EQ(addressLow(p.area, p.sendOffset), t.address);
    }
    // A variation type writes its type and the defaults of all six parameters.
    std::vector<int> written = bytesWritten(params::VariType);
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(bytesWritten(params::AEGAtkTime), (std::vector<int>{19}));
    EXPECT_EQ(bytesWritten(params::PerformanceName).size(), 8u);
}

TEST(Parameters, PlainParametersAreOneByteOneControlNoRule) {
    std::set<std::string> special;
    for (const Parameter* p : allParameters())
        if (!p->plain()) special.insert(std::string(p->name));
    // Everything with a rule, a pair, a companion box, a tab or a type of its own.
    const std::set<std::string> expected = {"PerformanceName",
                                            "Assign2Param1Layer",
                                            "Assign2Param1Para",
                                            "Assign2Param2Layer",
                                            "Assign2Param2Para",
                                            "Assign2Param3Layer",
                                            "Assign2Param3Para",
                                            "Assign2Param4Layer",
                                            "Assign2Param4Para",
                                            "Assign2Param1Level",
                                            "Assign2Param2Level",
                                            "Assign2Param3Level",
                                            "Assign2Param4Level",
                                            "ArpTempo",
                                            "ArpMode",
                                            "ReverbType",
                                            "ChorusType",
                                            "VariType",
                                            "VPara1",
                                            "VPara2",
                                            "VPara3",
                                            "VPara4",
                                            "VPara5",
                                            "VPara10",
                                            "PatchBankNumber",
                                            "PatchVoiceNumber",
                                            "NoteDetune",
                                            "LayerVolume",
                                            "PanPot",
                                            "NoteLimitLow",
                                            "NoteLimitHigh",
                                            "LayerOn"};
    EXPECT_EQ(special, expected);
}

TEST(Parameters, WhatTheWindowShowsForTheDefaultPerformance) {
    const PerformanceImage image = defaults();
    const std::map<std::string, std::string> expected = {
        {"PerformanceName", "InitPerf"},
        {"PerformanceType", "--"},
        {"CommonVolume", "100"},
        {"Scene1Knob1", "0"},
        {"Assign2Param2Layer", "Layer 2"},
        {"Assign2Param1Para", "Off"},
        {"Assign2Param1Level", "0"},
        {"ArpTempo", "140"},
        {"ArpeggioType", "UpDown B Oct 1"},
        {"ArpeggioSubdiv", "1 / 16"},
        {"ArpMode", "Split"},
        {"ReverbType", "Hall 1"},
        {"ChorusType", "Chorus 1"},
        {"VariType", "Delay L-C-R"},
        {"VPara1", "0ms"},
        {"VPara5", "-64"},
        {"VPara10", "D64 > W"},
        {"VariOnRev", "40"},
        {"MWLFOPMod", "10"},
        {"PitchBend", "2"},
        {"PortaOn", "off"},
        {"PatchBankNumber", "XG 000"},
        {"PatchVoiceNumber", "001 GrandPno"},
        {"PlayPoly", "on"},
        {"NoteShift", "\u00B10"},
        {"NoteDetune", "\u00B10 Hz"},
        {"LayerVolume", "100"},
        {"PanPot", "CTR"},
        {"NoteLimitHigh", "G8"},
        {"EffectVariation", "on"},
        {"LFOSync", "Element"},
        {"LFOWave", "Element"},
        {"VelocityLimitLow", "1"},
        {"AEGAtkTime", "0"},
    };
    for (const auto& [name, text] : expected) {
        SCOPED_TRACE(name);
        const Parameter* p = findParameter(name);
        ASSERT_NE(p, nullptr);
        for (int layer = 1; layer <= 4; ++layer) EXPECT_EQ(displayText(*p, image, layer, '.'), text);
    }
}

TEST(Parameters, ValuesTheWindowCannotShowReadAsSuch) {
    PerformanceImage image = defaults();
    image.setData(Block::Common, params::PerformanceType.offset, 25);
    EXPECT_EQ(displayText(params::PerformanceType, image, 1, '.'), "?25");
    image.setLayerData(2, params::LFOWave.offset, 9);
    EXPECT_EQ(displayText(params::LFOWave, image, 2, '.'), "?9");
    EXPECT_EQ(displayText(params::LFOWave, image, 1, '.'), "Element");
    image.setData(Block::Effect, 0, 0x7F);
    EXPECT_EQ(displayText(params::ReverbType, image, 1, '.'), "?7F/00");
    // An unlisted bank shows the drum-kit names; tempo 0 and pan 0 say what they mean.
    image.setLayerData(3, 0, 127);
    image.setLayerData(3, 2, 0);
    EXPECT_EQ(displayText(params::PatchBankNumber, image, 3, '.'), "?7F/00");
    EXPECT_EQ(displayText(params::PatchVoiceNumber, image, 3, '.'), entryText(ParamList::Voices, 0, 57));
    image.setData(Block::Common, 41, 0);
    image.setData(Block::Common, 42, 0);
    EXPECT_EQ(displayText(params::ArpTempo, image, 1, '.'), "MIDI");
    image.setLayerData(4, params::PanPot.offset, 0);
    EXPECT_EQ(displayText(params::PanPot, image, 4, '.'), "Random");
    // Entries past a list read as empty, never past the table's end.
    EXPECT_EQ(entryText(ParamList::ArpeggioTypes, 30), "");
    EXPECT_EQ(entryText(ParamList::VariationTypes, -1), "");
    EXPECT_EQ(entryText(ParamList::VariationTypes, 43), "THRU");
    EXPECT_EQ(entryText(ParamList::Categories, 22), "SQ  Sequence");
    EXPECT_EQ(entryText(ParamList::ArpeggioSubdivisions, 0), "3 / 8");
}

TEST(Parameters, ListsKnowTheirEntries) {
    const std::vector<std::pair<const char*, int>> counts = {
        {"PerformanceType", 23},   {"ArpeggioType", 30},     {"ArpeggioSubdiv", 10}, {"Assign1Para", 30},
        {"Assign2Param2Para", 30}, {"ReverbType", 12},       {"ChorusType", 12},     {"VariType", 44},
        {"PatchBankNumber", 58},   {"PatchVoiceNumber", 128}};
    for (const auto& [name, count] : counts) {
        SCOPED_TRACE(name);
        const Parameter& p = *findParameter(name);
        EXPECT_EQ(p.entries, count);
        EXPECT_EQ(entryCount(p.list), count);
        EXPECT_FALSE(entryText(p.list, count - 1).empty());
    }
    EXPECT_EQ(params::LFOWave.entries, 4);
    EXPECT_EQ(params::LFOSync.entries, 3);
    EXPECT_EQ(params::assign2Level(3).offset, 38);
    EXPECT_EQ(params::assign2Para(2).offset, 31);
    EXPECT_EQ(params::assign2Layer(4).offset, 34);
    EXPECT_EQ(&params::assign2Layer(9), &params::Assign2Param1Layer);
}

TEST(Parameters, EnvelopeControlsNameTheirGraph) {
    std::map<Envelope, std::set<std::string>> graphs;
    for (const Parameter* p : allParameters())
        if (p->envelope != Envelope::None) graphs[p->envelope].insert(std::string(p->name));
    EXPECT_EQ(graphs[Envelope::Amplitude],
              (std::set<std::string>{"AEGAtkTime", "AEGDcyTime", "AEGRelTime", "AEGSusLevel"}));
    EXPECT_EQ(graphs[Envelope::Filter],
              (std::set<std::string>{"FEGAtkTime", "FEGDcyTime", "FEGRelTime", "FEGSusLevel"}));
    EXPECT_EQ(graphs[Envelope::Pitch], (std::set<std::string>{"PEGInitLevel", "PEGAtkTime", "PEGAtkLevel", "PEGDcyTime",
                                                              "PEGRelTime", "PEGRelLevel"}));
}

// Outside the table no source names a parameter's block and offset by
// number: no image access, message byte or parameter change with a literal
// place. (The virtual synth keeps tables of its own on purpose: it checks the
// editor rather than mirroring it.)
TEST(Parameters, BlocksAndOffsetsAreWrittenInTheTableOnly) {
    const char* root = PS_SOURCE_DIR;
    namespace fs = std::filesystem;
    const fs::path src = fs::path(root) / "src";
    ASSERT_TRUE(fs::is_directory(src));
    const std::vector<std::regex> literalPlaces = {
        std::regex(R"(Block::(Common|Effect|Controller)\s*,\s*[0-9])"),
        std::regex(R"(\b(setLayerData|layerData)\s*\([^,()]+,\s*[0-9]+\s*[,)])"),
        std::regex(R"(\bSend(ParamChange|ParamChangeWide|LayerParam)\s*\(\s*0x)"),
        std::regex(R"(\bSendBulkBlock\s*\(\s*[0-9]+\s*\))"),
        std::regex(R"([cC]ommonMessage\[\s*[0-9]+\s*\])"),
    };
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path& path = entry.path();
        if (!entry.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h")) continue;
        const std::string relative = fs::relative(path, src).generic_string();
        if (relative.rfind("synth/", 0) == 0 || relative == "model/Parameters.cpp") continue;
        ++files;
        std::ifstream in(path);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            for (const std::regex& pattern : literalPlaces)
                if (std::regex_search(line, pattern)) ADD_FAILURE() << relative << ":" << number << ": " << line;
    }
    EXPECT_GT(files, 50);
}
