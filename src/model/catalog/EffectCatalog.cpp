#include "model/catalog/EffectCatalog.h"

#include "model/catalog/CatalogData.h"

#include <span>

namespace patchsmith {

const std::array<EffectType, kReverbTypeCount> ReverbTypeTable{{
    {"OFF", 0x00, 0x00},
    {"Hall 1", 0x01, 0x00},
    {"Hall 2", 0x01, 0x01},
    {"Room 1", 0x02, 0x00},
    {"Room 2", 0x02, 0x01},
    {"Room 3", 0x02, 0x02},
    {"Stage 1", 0x03, 0x00},
    {"Stage 2", 0x03, 0x01},
    {"Plate", 0x04, 0x00},
    {"White Room", 0x10, 0x00},
    {"Tunnel", 0x11, 0x00},
    {"Basement", 0x13, 0x00},
}};

const std::array<EffectType, kChorusTypeCount> ChorusTypeTable{{
    {"OFF", 0x00, 0x00},
    {"Chorus 1", 0x41, 0x00},
    {"Chorus 2", 0x41, 0x01},
    {"Chorus 3", 0x41, 0x02},
    {"Chorus 4", 0x41, 0x08},
    {"Celeste 1", 0x42, 0x00},
    {"Celeste 2", 0x42, 0x01},
    {"Celeste 3", 0x42, 0x02},
    {"Celeste 4", 0x42, 0x08},
    {"Flanger 1", 0x43, 0x00},
    {"Flanger 2", 0x43, 0x01},
    {"Flanger 3", 0x43, 0x08},
}};

const std::array<EffectType, kVariationTypeCount> VariationTypeTable{{
    {"OFF", 0x00, 0x00},
    {"Hall 1", 0x01, 0x00},
    {"Hall 2", 0x01, 0x01},
    {"Room 1", 0x02, 0x00},
    {"Room 2", 0x02, 0x01},
    {"Room 3", 0x02, 0x02},
    {"Stage 1", 0x03, 0x00},
    {"Stage 2", 0x03, 0x01},
    {"Plate", 0x04, 0x00},
    {"Delay L-C-R", 0x05, 0x00},
    {"Delay L-R", 0x06, 0x00},
    {"Echo", 0x07, 0x00},
    {"Cross Delay", 0x08, 0x00},
    {"Early Reflection 1", 0x09, 0x00},
    {"Early Reflection 2", 0x09, 0x01},
    {"Gate Reverb", 0x0A, 0x00},
    {"Reverse Gate", 0x0B, 0x00},
    {"Karaoke 1", 0x14, 0x00},
    {"Karaoke 2", 0x14, 0x01},
    {"Karaoke 3", 0x14, 0x02},
    {"Chorus 1", 0x41, 0x00},
    {"Chorus 2", 0x41, 0x01},
    {"Chorus 3", 0x41, 0x02},
    {"Chorus 4", 0x41, 0x08},
    {"Celeste 1", 0x42, 0x00},
    {"Celeste 2", 0x42, 0x01},
    {"Celeste 3", 0x42, 0x02},
    {"Celeste 4", 0x42, 0x08},
    {"Flanger 1", 0x43, 0x00},
    {"Flanger 2", 0x43, 0x01},
    {"Flanger 3", 0x43, 0x08},
    {"Symphonic", 0x44, 0x00},
    {"Rotary Speaker", 0x45, 0x00},
    {"Tremolo", 0x46, 0x00},
    {"Auto Pan", 0x47, 0x00},
    {"Phaser 1", 0x48, 0x00},
    {"Phaser 2", 0x48, 0x08},
    {"Distortion", 0x49, 0x00},
    {"Overdrive", 0x4A, 0x00},
    {"Amp Simulator", 0x4B, 0x00},
    {"3-Band EQ (Mono)", 0x4C, 0x00},
    {"2-Band EG (Stereo)", 0x4D, 0x00},
    {"Auto Wah", 0x4E, 0x00},
    {"THRU", 0x40, 0x00},
}};

const std::array<std::array<std::uint16_t, 6>, kVariationTypeCount> VariationDefaults{{
    {0, 0, 0, 0, 0, 0},               // OFF
    {18, 10, 8, 13, 49, 40},          // Hall 1
    {25, 10, 28, 6, 46, 40},          // Hall 2
    {5, 10, 16, 4, 49, 40},           // Room 1
    {12, 10, 5, 4, 38, 40},           // Room 2
    {9, 10, 47, 5, 36, 40},           // Room 3
    {19, 10, 16, 7, 54, 40},          // Stage 1
    {11, 10, 16, 7, 51, 40},          // Stage 2
    {25, 20, 6, 8, 49, 40},           // Plate
    {3333, 1667, 5000, 5000, 74, 32}, // Delay L-C-R
    {2500, 3750, 3752, 3750, 87, 32}, // Delay L-R
    {1700, 80, 1780, 80, 10, 40},     // Echo
    {1700, 1750, 111, 1, 10, 32},     // Cross Delay
    {0, 19, 5, 16, 64, 32},           // Early Reflection 1
    {2, 7, 10, 16, 64, 32},           // Early Reflection 2
    {0, 15, 6, 2, 64, 32},            // Gate Reverb
    {1, 19, 8, 3, 64, 32},            // Reverse Gate
    {63, 97, 0, 48, 0, 64},           // Karaoke 1
    {55, 105, 0, 50, 0, 64},          // Karaoke 2
    {43, 110, 14, 53, 0, 64},         // Karaoke 3
    {6, 54, 77, 106, 0, 64},          // Chorus 1
    {8, 63, 64, 30, 0, 64},           // Chorus 2
    {4, 44, 64, 110, 0, 64},          // Chorus 3
    {9, 32, 69, 104, 0, 64},          // Chorus 4
    {12, 32, 64, 0, 0, 127},          // Celeste 1
    {28, 18, 90, 2, 0, 84},           // Celeste 2
    {4, 63, 44, 2, 0, 127},           // Celeste 3
    {8, 29, 64, 0, 0, 127},           // Celeste 4
    {14, 14, 104, 2, 0, 96},          // Flanger 1
    {32, 17, 26, 2, 0, 96},           // Flanger 2
    {4, 109, 109, 2, 0, 127},         // Flanger 3
    {12, 25, 16, 0, 0, 127},          // Symphonic
    {81, 35, 0, 0, 0, 127},           // Rotary Speaker
    {83, 56, 0, 0, 0, 0},             // Tremolo
    {76, 80, 32, 5, 0, 0},            // Auto Pan
    {8, 111, 74, 104, 0, 64},         // Phaser 1
    {8, 111, 74, 108, 0, 64},         // Phaser 2
    {40, 20, 72, 53, 48, 127},        // Distortion
    {29, 24, 68, 45, 55, 127},        // Overdrive
    {39, 1, 48, 55, 0, 127},          // Amp Simulator
    {70, 34, 60, 10, 70, 0},          // 3-Band EQ (Mono)
    {28, 70, 46, 70, 0, 0},           // 2-Band EG (Stereo)
    {70, 56, 39, 25, 0, 127},         // Auto Wah
    {0, 0, 0, 0, 0, 0},               // THRU
}};

namespace {

template <std::size_t N>
std::optional<int> findType(const std::array<EffectType, N>& table, Byte msb, Byte lsb) {
    for (std::size_t i = 0; i < N; ++i)
        if (table[i].msb == msb && table[i].lsb == lsb) return static_cast<int>(i);
    return std::nullopt;
}

// ---- value tables ---------------------------------------------------------

constexpr std::array<std::string_view, 6> kEarlyReflectionTypes{"S-H", "L-H", "Rdm", "Rvs", "Plt", "Spr"};
constexpr std::array<std::string_view, 2> kGateTypes{"Type A", "Type B"};
constexpr std::array<std::string_view, 4> kAmpTypes{"Off", "Stack", "Combo", "Tube"};
constexpr std::array<std::string_view, 3> kInputSelects{"L", "R", "L & R"};
constexpr std::array<std::string_view, 6> kPanDirections{"L <-> R", "L -> R", "L <- R", "Lturn", "Rturn", "L / R"};

constexpr int kEqGainBase = 52; // the gain table starts at value 52 (-12 dB)

std::span<const std::string_view> entries(ValueTable table) {
    namespace d = catalog_data;
    switch (table) {
    case ValueTable::LfoFrequency: return d::kLfoFrequency;
    case ValueTable::ReverbTime: return d::kReverbTime;
    case ValueTable::ShortDelay: return d::kShortDelay;
    case ValueTable::RoomSize: return d::kRoomSize;
    case ValueTable::LongDelay: return d::kLongDelay;
    case ValueTable::DelayOffset: return d::kDelayOffset;
    case ValueTable::EqFrequency: return d::kEqFrequency;
    case ValueTable::WahCutoffOffset: return d::kWahCutoffOffset;
    case ValueTable::EqGain: return d::kEqGain;
    case ValueTable::EarlyReflectionType: return kEarlyReflectionTypes;
    case ValueTable::GateType: return kGateTypes;
    case ValueTable::AmpType: return kAmpTypes;
    case ValueTable::InputSelect: return kInputSelects;
    case ValueTable::PanDirection: return kPanDirections;
    }
    return {};
}

// ---- parameter sets -------------------------------------------------------

// One parameter of a row's set. Off: caption "--", disabled, 0..1, label "0".
struct Param {
    bool off = true;
    const char* caption = "--";
    int minimum = 0;
    int maximum = 1;
    ValueFormat format = ValueFormat::None;
    ValueTable table = ValueTable::LfoFrequency;
};

constexpr Param kOff{};
constexpr Param integer(const char* c, int lo, int hi) { return {false, c, lo, hi, ValueFormat::Int}; }
constexpr Param signedLevel(const char* c) { return {false, c, 1, 127, ValueFormat::Sgn}; }
constexpr Param tenthMs(const char* c, int hi) { return {false, c, 1, hi, ValueFormat::TenthMs}; }
constexpr Param tenth(const char* c, int lo, int hi) { return {false, c, lo, hi, ValueFormat::Tenth}; }
constexpr Param table(const char* c, int lo, int hi, ValueTable t) { return {false, c, lo, hi, ValueFormat::Table, t}; }
constexpr Param kDryWet{false, "DRY WET", 1, 127, ValueFormat::DryWet};

using ParamSet = std::array<Param, 6>;

ParamSet parameterSet(int row) {
    using T = ValueTable;
    const Param lfoFreq = table("LFO FREQ", 0, 127, T::LfoFrequency);
    const Param lpfCutoff = table("LPF CUTOFF", 34, 60, T::EqFrequency);
    const Param hpfCutoff = table("HPF CUTOFF", 0, 52, T::EqFrequency);
    const Param initialDelay = table("INITIAL DELAY", 0, 63, T::ShortDelay);
    const Param feedback = signedLevel("FEEDBK LEVEL");
    const Param lowGain = table("EQ  LOW GAIN", 52, 76, T::EqGain);
    const Param lowFreq = table("EQ  LOW FREQ", 8, 40, T::EqFrequency);
    if (row >= 1 && row <= 8)
        return {table("REVERB TIME", 0, 69, T::ReverbTime),
                integer("DIFFUS", 0, 10),
                initialDelay,
                hpfCutoff,
                lpfCutoff,
                kDryWet};
    if (row >= 13 && row <= 16)
        return {row <= 14 ? table("TYPE", 0, 5, T::EarlyReflectionType) : table("TYPE", 0, 1, T::GateType),
                table("ROOM SIZE", 0, 44, T::RoomSize),
                integer("DIFFUS", 0, 10),
                initialDelay,
                feedback,
                kDryWet};
    if (row >= 17 && row <= 19)
        return {table("DELAY TIME", 0, 127, T::LongDelay), feedback, hpfCutoff, lpfCutoff, kOff, kDryWet};
    if (row >= 20 && row <= 27)
        return {lfoFreq,  integer("LFO P-MOD DEPTH", 0, 127),
                feedback, table("DELAY OFFSET", 0, 127, T::DelayOffset),
                kOff,     kDryWet};
    if (row >= 28 && row <= 30)
        return {lfoFreq, integer("LFO DEPTH", 0, 127), feedback, table("DELAY OFFSET", 0, 63, T::DelayOffset), kOff,
                kDryWet};
    switch (row) {
    case 9:
        return {tenthMs("LEFT CHAN DELAY", 7150),
                tenthMs("RIGHT CHAN DELAY", 7150),
                tenthMs("CENTER CHAN DELAY", 7150),
                tenthMs("FEEDBK DELAY", 7150),
                feedback,
                kDryWet};
    case 10:
        return {tenthMs("LEFT CHAN DELAY", 7150),
                tenthMs("RIGHT CHAN DELAY", 7150),
                tenthMs("FEEDBK DELAY1", 7150),
                tenthMs("FEEDBK DELAY2", 7150),
                feedback,
                kDryWet};
    case 11:
        return {tenthMs("LEFT CHAN DELAY", 3550),  signedLevel("L-CHAN FEEDBK LEVEL"),
                tenthMs("RIGHT CHAN DELAY", 3550), signedLevel("R-CHAN FEEDBK LEVEL"),
                tenth("HIGH DAMP", 1, 10),         kDryWet};
    case 12:
        return {tenthMs("L -> R DELAY", 3550),
                tenthMs("R -> L DELAY", 3550),
                feedback,
                table("INPUT SELECT", 0, 2, T::InputSelect),
                tenth("HIGH DAMP", 1, 10),
                kDryWet};
    case 31:
        return {lfoFreq, integer("LFO DEPTH", 0, 127), table("DELAY OFFSET", 0, 127, T::DelayOffset), kOff, kOff,
                kDryWet};
    case 32: return {lfoFreq, integer("LFO DEPTH", 0, 127), kOff, kOff, kOff, kDryWet};
    case 33: return {lfoFreq, integer("A-MOD DEPTH", 0, 127), integer("P-MOD DEPTH", 0, 127), kOff, kOff, kOff};
    case 34:
        return {lfoFreq,
                integer("L / R DEPTH", 0, 127),
                integer("F / R DEPTH", 0, 127),
                table("PAN DIRECT", 0, 5, T::PanDirection),
                kOff,
                kOff};
    case 35:
    case 36:
        return {lfoFreq, integer("LFO DEPTH", 0, 127), integer("PHASE SHIFT OFFSET", 0, 127), feedback, kOff, kDryWet};
    case 37:
    case 38: return {integer("DRIVE", 0, 127), lowFreq, lowGain, lpfCutoff, integer("OUTPUT LEVEL", 0, 127), kDryWet};
    case 39: {
        // The amp simulator has no fifth parameter, yet its label prints the
        // stored value; its dry/wet bar keeps whatever label it had.
        Param unusedShowingValue = kOff;
        unusedShowingValue.format = ValueFormat::Int;
        Param dryWetUnlabelled = kDryWet;
        dryWetUnlabelled.format = ValueFormat::None;
        return {integer("DRIVE", 0, 127),
                table("AMP TYPE", 0, 3, T::AmpType),
                lpfCutoff,
                integer("OUTPUT LEVEL", 0, 127),
                unusedShowingValue,
                dryWetUnlabelled};
    }
    case 40:
        return {lowGain,
                table("EQ  MID FREQ", 28, 54, T::EqFrequency),
                table("EQ  MID GAIN", 52, 76, T::EqGain),
                tenth("EQ  MID WIDTH", 10, 120),
                table("EQ  HIGH GAIN", 52, 76, T::EqGain),
                kOff};
    case 41:
        return {
            lowFreq, lowGain, table("EQ  HIGH FREQ", 28, 58, T::EqFrequency), table("EQ  HIGH GAIN", 52, 76, T::EqGain),
            kOff,    kOff};
    case 42:
        return {lfoFreq,
                integer("LFO DEPTH", 0, 127),
                table("CUTOFF FREQ OFFSET", 0, 127, T::WahCutoffOffset),
                tenth("FILTER RES", 10, 120),
                kOff,
                kDryWet};
    default: return {kOff, kOff, kOff, kOff, kOff, kOff}; // OFF, THRU
    }
}

bool hasDefaultDryWet(int row) { return (row >= 1 && row <= 32) || (row >= 35 && row <= 39) || row == 42; }

} // namespace

std::optional<int> findReverbType(Byte msb, Byte lsb) { return findType(ReverbTypeTable, msb, lsb); }
std::optional<int> findChorusType(Byte msb, Byte lsb) { return findType(ChorusTypeTable, msb, lsb); }
std::optional<int> findVariationType(Byte msb, Byte lsb) { return findType(VariationTypeTable, msb, lsb); }

std::optional<int> variationParamIndex(int p) {
    for (std::size_t i = 0; i < kVariationParams.size(); ++i)
        if (kVariationParams[i] == p) return static_cast<int>(i);
    return std::nullopt;
}

std::array<VariationParamSetup, 6> variationSetup(int row) {
    if (row < 0 || row >= kVariationTypeCount) row = 0;
    std::array<VariationParamSetup, 6> bars;
    for (auto& bar : bars) bar.caption = "--";
    // Step 1: every bar of a real effect starts enabled on 0..1.
    if (row >= 1 && row <= 42)
        for (auto& bar : bars) {
            bar.minimum = 0;
            bar.maximum = 1;
            bar.enabled = true;
        }
    // Step 2: the dry/wet balance on parameter 10.
    if (hasDefaultDryWet(row)) {
        bars[5].caption = "DRY WET";
        bars[5].minimum = 1;
        bars[5].maximum = 127;
        bars[5].format = ValueFormat::DryWet;
    }
    // Step 3: the row's own parameter set.
    const ParamSet set = parameterSet(row);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const Param& p = set[i];
        auto& bar = bars[i];
        bar.caption = p.caption;
        bar.minimum = p.minimum;
        bar.maximum = p.maximum;
        bar.enabled = !p.off;
        bar.format = p.format;
        bar.table = p.table;
        bar.labelZero = p.off;
    }
    return bars;
}

std::string formatTenth(int value, char decimalSeparator) {
    const long long v = value;
    const long long a = v < 0 ? -v : v;
    std::string text = (v < 0 ? "-" : "") + std::to_string(a / 10);
    if (a % 10 != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + a % 10);
    }
    return text;
}

std::string formatDryWet(int value) {
    const long long s = static_cast<long long>(value) - 64;
    if (s < 0) return "D" + std::to_string(-s) + " > W";
    if (s == 0) return "D = W";
    return "D < W" + std::to_string(s);
}

int valueTableSize(ValueTable table) { return static_cast<int>(entries(table).size()); }

std::string_view valueTableUnit(ValueTable table) {
    switch (table) {
    case ValueTable::LfoFrequency:
    case ValueTable::EqFrequency:
    case ValueTable::WahCutoffOffset: return "Hz";
    case ValueTable::ReverbTime: return "s";
    case ValueTable::ShortDelay:
    case ValueTable::LongDelay:
    case ValueTable::DelayOffset: return "ms";
    case ValueTable::EqGain: return "dB";
    default: return "";
    }
}

int valueTableIndex(ValueTable table, int value) {
    if (table != ValueTable::EqGain) return value;
    return value < kEqGainBase ? -1 : value - kEqGainBase;
}

std::string_view valueTableText(ValueTable table, int index) {
    const auto e = entries(table);
    if (index < 0 || static_cast<std::size_t>(index) >= e.size()) return {};
    return e[static_cast<std::size_t>(index)];
}

std::optional<std::string> formatVariationValue(const VariationParamSetup& setup, int value, char decimalSeparator) {
    switch (setup.format) {
    case ValueFormat::None: return std::nullopt;
    case ValueFormat::Int: return std::to_string(value);
    case ValueFormat::Sgn: return std::to_string(static_cast<long long>(value) - 64);
    case ValueFormat::TenthMs: return formatTenth(value, decimalSeparator) + "ms";
    case ValueFormat::Tenth: return formatTenth(value, decimalSeparator);
    case ValueFormat::DryWet: return formatDryWet(value);
    case ValueFormat::Table: {
        const auto text = valueTableText(setup.table, valueTableIndex(setup.table, value));
        // No entry for this value (a damaged or foreign dump): show the stored
        // number itself rather than a wrong or empty text.
        if (text.empty()) return std::to_string(value);
        return std::string(text) + std::string(valueTableUnit(setup.table));
    }
    }
    return std::nullopt;
}

} // namespace patchsmith
