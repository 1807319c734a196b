#include "model/catalog/EffectCatalog.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace patchsmith;

namespace {

// What the six value labels show for the given values of a row.
std::vector<std::optional<std::string>> labels(int row, const std::array<int, 6>& values, char separator = ',') {
    const auto setup = variationSetup(row);
    std::vector<std::optional<std::string>> out;
    for (std::size_t i = 0; i < 6; ++i) out.push_back(formatVariationValue(setup[i], values[i], separator));
    return out;
}

std::array<int, 6> defaultsOf(int row) {
    std::array<int, 6> v{};
    for (std::size_t i = 0; i < 6; ++i) v[i] = VariationDefaults[static_cast<std::size_t>(row)][i];
    return v;
}

using Labels = std::vector<std::optional<std::string>>;

} // namespace

TEST(EffectTypes, TablesAndTheirTypeNumbers) {
    EXPECT_EQ(ReverbTypeTable[0].name, "OFF");
    EXPECT_EQ(ReverbTypeTable[11].name, "Basement");
    EXPECT_EQ(ReverbTypeTable[11].msb, 0x13);
    EXPECT_EQ(ReverbTypeTable[11].lsb, 0x00);
    EXPECT_EQ(ChorusTypeTable[11].name, "Flanger 3");
    EXPECT_EQ(ChorusTypeTable[11].msb, 0x43);
    EXPECT_EQ(ChorusTypeTable[11].lsb, 0x08);
    EXPECT_EQ(VariationTypeTable[9].name, "Delay L-C-R");
    EXPECT_EQ(VariationTypeTable[41].name, "2-Band EG (Stereo)");
    EXPECT_EQ(VariationTypeTable[43].name, "THRU");
    EXPECT_EQ(VariationTypeTable[43].msb, 0x40);
    EXPECT_EQ(VariationTypeTable[36].lsb, 0x08);

    EXPECT_EQ(findReverbType(0x13, 0x00), 11);
    EXPECT_EQ(findChorusType(0x41, 0x00), 1);
    EXPECT_EQ(findVariationType(0x05, 0x00), 9);
    EXPECT_EQ(findVariationType(0x4E, 0x00), 42);
    EXPECT_EQ(findReverbType(0x41, 0x00), std::nullopt);
    EXPECT_EQ(findVariationType(0x7F, 0x7F), std::nullopt);
    for (int i = 0; i < kVariationTypeCount; ++i) {
        const auto& t = VariationTypeTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(findVariationType(t.msb, t.lsb), i) << t.name;
    }
}

TEST(EffectTypes, ParameterPlaces) {
    EXPECT_EQ(variationParamIndex(1), 0);
    EXPECT_EQ(variationParamIndex(10), 5);
    EXPECT_EQ(variationParamIndex(6), std::nullopt);
    EXPECT_EQ(variationParamIndex(0), std::nullopt);
}

TEST(VariationSetup, Hall1DefaultsAndLabels) {
    EXPECT_EQ(defaultsOf(1), (std::array<int, 6>{18, 10, 8, 13, 49, 40}));
    const auto setup = variationSetup(1);
    EXPECT_EQ(setup[0].caption, "REVERB TIME");
    EXPECT_EQ(setup[1].caption, "DIFFUS");
    EXPECT_EQ(setup[2].caption, "INITIAL DELAY");
    EXPECT_EQ(setup[3].caption, "HPF CUTOFF");
    EXPECT_EQ(setup[4].caption, "LPF CUTOFF");
    EXPECT_EQ(setup[5].caption, "DRY WET");
    EXPECT_EQ(setup[0].maximum, 69);
    EXPECT_EQ(setup[4].minimum, 34);
    EXPECT_EQ(setup[4].maximum, 60);
    for (const auto& s : setup) {
        EXPECT_TRUE(s.enabled);
        EXPECT_FALSE(s.labelZero);
    }
    EXPECT_EQ(labels(1, defaultsOf(1)), (Labels{"2,1s", "10", "12,7ms", "90Hz", "5,6kHz", "D24 > W"}));
    // Table texts keep their decimal comma whatever the system separator.
    EXPECT_EQ(labels(1, defaultsOf(1), '.'), (Labels{"2,1s", "10", "12,7ms", "90Hz", "5,6kHz", "D24 > W"}));
}

TEST(VariationSetup, DelayLcrTenthMilliseconds) {
    const auto setup = variationSetup(9);
    EXPECT_EQ(setup[0].caption, "LEFT CHAN DELAY");
    EXPECT_EQ(setup[2].caption, "CENTER CHAN DELAY");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(setup[static_cast<std::size_t>(i)].minimum, 1);
        EXPECT_EQ(setup[static_cast<std::size_t>(i)].maximum, 7150);
        EXPECT_EQ(setup[static_cast<std::size_t>(i)].format, ValueFormat::TenthMs);
    }
    EXPECT_EQ(formatVariationValue(setup[0], 3333, ','), "333,3ms");
    EXPECT_EQ(formatVariationValue(setup[0], 3333, '.'), "333.3ms");
    EXPECT_EQ(formatVariationValue(setup[0], 10, ','), "1ms");
    EXPECT_EQ(formatVariationValue(setup[0], 1, ','), "0,1ms");
    EXPECT_EQ(formatVariationValue(setup[0], 7150, ','), "715ms");
    EXPECT_EQ(labels(9, defaultsOf(9), '.'), (Labels{"333.3ms", "166.7ms", "500ms", "500ms", "10", "D32 > W"}));
    EXPECT_EQ(variationSetup(11)[0].maximum, 3550);
    EXPECT_EQ(formatVariationValue(variationSetup(11)[4], 10, ','), "1"); // HIGH DAMP, tenth without unit
    EXPECT_EQ(formatVariationValue(variationSetup(11)[4], 5, ','), "0,5");
}

TEST(VariationSetup, OffAndThruDisableEverything) {
    for (int row : {0, 43, -1, 44, 1000, INT_MIN}) {
        const auto setup = variationSetup(row);
        for (const auto& s : setup) {
            EXPECT_EQ(s.caption, "--") << row;
            EXPECT_FALSE(s.enabled) << row;
            EXPECT_EQ(s.minimum, 0);
            EXPECT_EQ(s.maximum, 1);
            EXPECT_TRUE(s.labelZero);
            EXPECT_EQ(formatVariationValue(s, 1, ','), std::nullopt);
        }
    }
}

TEST(VariationSetup, ThreeBandEqGains) {
    const auto setup = variationSetup(40);
    EXPECT_EQ(setup[0].caption, "EQ  LOW GAIN");
    EXPECT_EQ(setup[1].caption, "EQ  MID FREQ");
    EXPECT_EQ(setup[3].caption, "EQ  MID WIDTH");
    EXPECT_EQ(setup[4].caption, "EQ  HIGH GAIN");
    EXPECT_EQ(setup[0].minimum, 52);
    EXPECT_EQ(setup[0].maximum, 76);
    EXPECT_EQ(formatVariationValue(setup[0], 52, ','), "-12dB");
    EXPECT_EQ(formatVariationValue(setup[0], 64, ','), "\u00b10dB");
    EXPECT_EQ(formatVariationValue(setup[0], 76, ','), "+12dB");
    EXPECT_EQ(formatVariationValue(setup[3], 10, ','), "1");
    EXPECT_EQ(formatVariationValue(setup[3], 125, '.'), "12.5");
    EXPECT_EQ(setup[5].caption, "--");
    EXPECT_FALSE(setup[5].enabled);
    EXPECT_EQ(VariationTypeTable[41].name, "2-Band EG (Stereo)");
    EXPECT_EQ(variationSetup(41)[2].caption, "EQ  HIGH FREQ");
    EXPECT_EQ(variationSetup(41)[2].maximum, 58);
}

TEST(VariationSetup, DryWetBalance) {
    const auto bar = variationSetup(20)[5];
    EXPECT_EQ(bar.caption, "DRY WET");
    EXPECT_EQ(bar.minimum, 1);
    EXPECT_EQ(bar.maximum, 127);
    EXPECT_EQ(formatVariationValue(bar, 1, ','), "D63 > W");
    EXPECT_EQ(formatVariationValue(bar, 63, ','), "D1 > W");
    EXPECT_EQ(formatVariationValue(bar, 64, ','), "D = W");
    EXPECT_EQ(formatVariationValue(bar, 65, ','), "D < W1");
    EXPECT_EQ(formatVariationValue(bar, 127, ','), "D < W63");
    // Rows whose tenth parameter is not a dry/wet balance.
    for (int row : {33, 34, 40, 41}) EXPECT_EQ(variationSetup(row)[5].caption, "--") << row;
    for (int row : {1, 9, 12, 19, 27, 30, 31, 32, 35, 38, 42})
        EXPECT_EQ(variationSetup(row)[5].format, ValueFormat::DryWet) << row;
}

TEST(VariationSetup, AmpSimulatorSpecialCases) {
    const auto setup = variationSetup(39);
    EXPECT_EQ(setup[1].caption, "AMP TYPE");
    EXPECT_EQ(formatVariationValue(setup[1], 3, ','), "Tube");
    // Parameter 5 is unused, yet its label shows the stored number.
    EXPECT_EQ(setup[4].caption, "--");
    EXPECT_FALSE(setup[4].enabled);
    EXPECT_TRUE(setup[4].labelZero);
    EXPECT_EQ(formatVariationValue(setup[4], 0, ','), "0");
    EXPECT_EQ(formatVariationValue(setup[4], 17, ','), "17");
    // Parameter 10 is a dry/wet bar whose label is not rewritten.
    EXPECT_EQ(setup[5].caption, "DRY WET");
    EXPECT_TRUE(setup[5].enabled);
    EXPECT_EQ(setup[5].minimum, 1);
    EXPECT_EQ(setup[5].maximum, 127);
    EXPECT_EQ(formatVariationValue(setup[5], 127, ','), std::nullopt);
}

TEST(VariationSetup, OtherRowsCaptionsAndFormats) {
    EXPECT_EQ(labels(12, defaultsOf(12)), (Labels{"170ms", "175ms", "47", "R", "1", "D32 > W"}));
    EXPECT_EQ(labels(13, defaultsOf(13)), (Labels{"S-H", "3,1", "5", "25,3ms", "0", "D32 > W"}));
    EXPECT_EQ(labels(15, defaultsOf(15)), (Labels{"Type A", "2,5", "6", "3,2ms", "0", "D32 > W"}));
    EXPECT_EQ(variationSetup(17)[4].caption, "--");
    EXPECT_EQ(labels(34, defaultsOf(34))[3], "L / R");
    EXPECT_EQ(variationSetup(34)[3].caption, "PAN DIRECT");
    EXPECT_EQ(variationSetup(28)[3].maximum, 63);
    EXPECT_EQ(variationSetup(20)[3].maximum, 127);
    EXPECT_EQ(variationSetup(42)[2].caption, "CUTOFF FREQ OFFSET");
    EXPECT_EQ(variationSetup(42)[2].table, ValueTable::WahCutoffOffset);
    EXPECT_EQ(formatVariationValue(variationSetup(42)[2], 46, ','), "1,00kHz");
    EXPECT_EQ(variationSetup(37)[1].caption, "EQ  LOW FREQ");
    EXPECT_EQ(variationSetup(37)[2].caption, "EQ  LOW GAIN");
    EXPECT_EQ(formatVariationValue(variationSetup(20)[0], 64, ','), "2,69Hz");
    EXPECT_EQ(formatVariationValue(variationSetup(20)[2], 0, ','), "-64");
}

TEST(VariationSetup, DefaultsLieInTheirBarsAndTables) {
    for (int row = 1; row <= 42; ++row) {
        const auto setup = variationSetup(row);
        for (std::size_t i = 0; i < 6; ++i) {
            const int v = VariationDefaults[static_cast<std::size_t>(row)][i];
            const auto& s = setup[i];
            EXPECT_LE(s.minimum, s.maximum);
            // The plate's diffusion default (20) is above the bar's 0..10 as
            // published; the bar shows it clamped and the label prints 20.
            if (row == 8 && i == 1) {
                EXPECT_EQ(v, 20);
                continue;
            }
            if (s.enabled) {
                EXPECT_GE(v, s.minimum) << row << " p" << kVariationParams[i];
                EXPECT_LE(v, s.maximum) << row << " p" << kVariationParams[i];
            }
            if (s.format == ValueFormat::Table) {
                EXPECT_FALSE(valueTableText(s.table, valueTableIndex(s.table, v)).empty()) << row;
            }
        }
    }
}

TEST(ValueTables, SizesUnitsAndTellingRows) {
    using T = ValueTable;
    const std::vector<std::pair<T, int>> sizes{
        {T::LfoFrequency, 128}, {T::ReverbTime, 70},         {T::ShortDelay, 128}, {T::RoomSize, 45},
        {T::LongDelay, 128},    {T::DelayOffset, 128},       {T::EqFrequency, 61}, {T::WahCutoffOffset, 128},
        {T::EqGain, 25},        {T::EarlyReflectionType, 6}, {T::GateType, 2},     {T::AmpType, 4},
        {T::InputSelect, 3},    {T::PanDirection, 6}};
    for (const auto& [t, n] : sizes) {
        EXPECT_EQ(valueTableSize(t), n);
        for (int i = 0; i < n; ++i) EXPECT_FALSE(valueTableText(t, i).empty());
    }
    EXPECT_EQ(valueTableUnit(T::LfoFrequency), "Hz");
    EXPECT_EQ(valueTableUnit(T::ReverbTime), "s");
    EXPECT_EQ(valueTableUnit(T::LongDelay), "ms");
    EXPECT_EQ(valueTableUnit(T::DelayOffset), "ms");
    EXPECT_EQ(valueTableUnit(T::RoomSize), "");
    EXPECT_EQ(valueTableUnit(T::EqGain), "dB");
    EXPECT_EQ(valueTableUnit(T::PanDirection), "");

    EXPECT_EQ(valueTableText(T::LfoFrequency, 0), "0,00");
    EXPECT_EQ(valueTableText(T::LfoFrequency, 64), "2,69");
    EXPECT_EQ(valueTableText(T::LfoFrequency, 127), "39,70");
    EXPECT_EQ(valueTableText(T::ReverbTime, 0), "0,3");
    EXPECT_EQ(valueTableText(T::ReverbTime, 47), "5,0");
    EXPECT_EQ(valueTableText(T::ReverbTime, 57), "10,0");
    EXPECT_EQ(valueTableText(T::ReverbTime, 69), "30,0");
    EXPECT_EQ(valueTableText(T::ShortDelay, 8), "12,7");
    EXPECT_EQ(valueTableText(T::ShortDelay, 127), "200,0");
    EXPECT_EQ(valueTableText(T::RoomSize, 0), "0,1");
    EXPECT_EQ(valueTableText(T::RoomSize, 44), "7,0");
    EXPECT_EQ(valueTableText(T::LongDelay, 127), "400,0");
    EXPECT_EQ(valueTableText(T::DelayOffset, 0), "0,0");
    EXPECT_EQ(valueTableText(T::DelayOffset, 127), "50,0");
    EXPECT_EQ(valueTableText(T::EqFrequency, 0), "20");
    EXPECT_EQ(valueTableText(T::EqFrequency, 8), "50");
    EXPECT_EQ(valueTableText(T::EqFrequency, 34), "1,0k");
    EXPECT_EQ(valueTableText(T::EqFrequency, 40), "2,0k");
    EXPECT_EQ(valueTableText(T::EqFrequency, 52), "8,0k");
    EXPECT_EQ(valueTableText(T::EqFrequency, 60), "20,0k");
    EXPECT_EQ(valueTableText(T::WahCutoffOffset, 0), "50");
    EXPECT_EQ(valueTableText(T::WahCutoffOffset, 46), "1,00k");
    EXPECT_EQ(valueTableText(T::WahCutoffOffset, 127), "14,0k");
    EXPECT_EQ(valueTableText(T::EqGain, 0), "-12");
    EXPECT_EQ(valueTableText(T::EqGain, 12), "\u00b10");
    EXPECT_EQ(valueTableText(T::EqGain, 24), "+12");
    EXPECT_EQ(valueTableIndex(T::EqGain, 52), 0);
    EXPECT_EQ(valueTableIndex(T::EqFrequency, 52), 52);

    const std::vector<std::string_view> er{"S-H", "L-H", "Rdm", "Rvs", "Plt", "Spr"};
    const std::vector<std::string_view> pan{"L <-> R", "L -> R", "L <- R", "Lturn", "Rturn", "L / R"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(valueTableText(T::EarlyReflectionType, i), er[static_cast<std::size_t>(i)]);
        EXPECT_EQ(valueTableText(T::PanDirection, i), pan[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(valueTableText(T::GateType, 1), "Type B");
    EXPECT_EQ(valueTableText(T::AmpType, 0), "Off");
    EXPECT_EQ(valueTableText(T::InputSelect, 2), "L & R");
}

TEST(ValueTables, ValuesPastATableShowTheStoredNumber) {
    using T = ValueTable;
    EXPECT_TRUE(valueTableText(T::ReverbTime, 70).empty());
    EXPECT_TRUE(valueTableText(T::ReverbTime, -1).empty());
    EXPECT_TRUE(valueTableText(T::RoomSize, 45).empty());
    EXPECT_TRUE(valueTableText(T::WahCutoffOffset, 128).empty());
    EXPECT_TRUE(valueTableText(T::EqGain, 25).empty());
    EXPECT_TRUE(valueTableText(T::AmpType, 4).empty());
    EXPECT_TRUE(valueTableText(T::LfoFrequency, INT_MAX).empty());
    EXPECT_TRUE(valueTableText(static_cast<ValueTable>(99), 0).empty());

    EXPECT_EQ(formatVariationValue(variationSetup(1)[0], 70, ','), "70");       // reverb time
    EXPECT_EQ(formatVariationValue(variationSetup(1)[0], 16383, ','), "16383"); // largest 14-bit value
    EXPECT_EQ(formatVariationValue(variationSetup(13)[1], 45, ','), "45");      // room size
    EXPECT_EQ(formatVariationValue(variationSetup(13)[0], 6, ','), "6");        // reflection type
    EXPECT_EQ(formatVariationValue(variationSetup(39)[1], 4, ','), "4");        // amp type
    EXPECT_EQ(formatVariationValue(variationSetup(42)[2], 128, ','), "128");    // wah cutoff
    EXPECT_EQ(formatVariationValue(variationSetup(1)[4], 61, ','), "61");       // EQ frequency
    EXPECT_EQ(formatVariationValue(variationSetup(40)[0], 51, ','), "51");      // EQ gain below 52
    EXPECT_EQ(formatVariationValue(variationSetup(40)[0], 77, ','), "77");      // EQ gain above 76
    EXPECT_EQ(formatVariationValue(variationSetup(40)[0], 0, ','), "0");
    EXPECT_EQ(formatVariationValue(variationSetup(40)[0], INT_MIN, ','), std::to_string(INT_MIN));
    // The other formats take any int without overflow.
    EXPECT_EQ(formatVariationValue(variationSetup(9)[4], INT_MIN, ','),
              std::to_string(static_cast<long long>(INT_MIN) - 64));
    EXPECT_EQ(formatVariationValue(variationSetup(9)[0], -5, ','), "-0,5ms");
    EXPECT_EQ(formatVariationValue(variationSetup(9)[0], INT_MIN, '.'), "-214748364.8ms");
    EXPECT_EQ(formatVariationValue(variationSetup(9)[5], INT_MIN, ','), "D2147483712 > W");
}
