#pragma once
// The effect catalogue: reverb, chorus and variation types with their XG type
// numbers, the defaults of the six variation parameters per type, how each
// parameter bar is captioned, ranged and printed, and the value tables the
// value labels are printed from. Texts are UTF-8 ("±0").

#include "model/Bytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace patchsmith {

struct EffectType {
    std::string_view name;
    Byte msb;
    Byte lsb;
};

inline constexpr int kReverbTypeCount = 12;
inline constexpr int kChorusTypeCount = 12;
inline constexpr int kVariationTypeCount = 44;

extern const std::array<EffectType, kReverbTypeCount> ReverbTypeTable;
extern const std::array<EffectType, kChorusTypeCount> ChorusTypeTable;
extern const std::array<EffectType, kVariationTypeCount> VariationTypeTable;
// Default values of parameters 1, 2, 3, 4, 5, 10 for each variation type.
extern const std::array<std::array<std::uint16_t, 6>, kVariationTypeCount> VariationDefaults;

// The first row of a type table whose pair equals (msb, lsb).
std::optional<int> findReverbType(Byte msb, Byte lsb);
std::optional<int> findChorusType(Byte msb, Byte lsb);
std::optional<int> findVariationType(Byte msb, Byte lsb);

// The six variation parameters, in the order used by every per-parameter
// array (their bytes: model/Parameters.h).
inline constexpr std::array<int, 6> kVariationParams{1, 2, 3, 4, 5, 10};
// Index 0..5 of parameter p (1..5, 10) in the arrays above; nullopt for any other p.
std::optional<int> variationParamIndex(int p);

enum class ValueFormat { None, Int, Sgn, TenthMs, Tenth, Table, DryWet };
enum class ValueTable {
    LfoFrequency,
    ReverbTime,
    ShortDelay,
    RoomSize,
    LongDelay,
    DelayOffset,
    EqFrequency,
    WahCutoffOffset,
    EqGain,
    EarlyReflectionType,
    GateType,
    AmpType,
    InputSelect,
    PanDirection,
};
inline constexpr int kValueTableCount = 14;

struct VariationParamSetup {
    std::string caption; // "--" for an unused parameter
    int minimum = 0;
    int maximum = 1;
    bool enabled = false;
    ValueFormat format = ValueFormat::None;      // None: the value label is left unchanged
    ValueTable table = ValueTable::LfoFrequency; // meaningful only when format == Table
    bool labelZero = false;                      // unused ("off") parameters: the value label is set to "0"
};

// The state of the six bars after the variation controls are set up for
// VariType row `row`: the common reset of rows 1..42, the "DRY WET" default of
// parameter 10, then the row's own parameter set. Rows outside 0..43 behave
// as row 0.
std::array<VariationParamSetup, 6> variationSetup(int row);

// The value label text for value v; nullopt where the format leaves the label
// unchanged. `decimalSeparator` is used by the tenth formats; table texts keep
// their decimal comma. A value with no entry in its table prints as its plain
// decimal, without unit, so a damaged or foreign value is still visible.
std::optional<std::string> formatVariationValue(const VariationParamSetup& setup, int value, char decimalSeparator);

// v * 0.1 in its shortest form with at most one decimal ("333,3", "1", "-0,5").
std::string formatTenth(int value, char decimalSeparator);
// "D63 > W", "D = W", "D < W63".
std::string formatDryWet(int value);

// Number of entries of a value table.
int valueTableSize(ValueTable table);
// The unit appended to a table text ("Hz", "s", "ms", "dB" or empty).
std::string_view valueTableUnit(ValueTable table);
// The index into the table for a parameter value (value - 52 for EQ gain).
int valueTableIndex(ValueTable table, int value);
// Entry `index` of a table; an empty view when index is outside the table.
std::string_view valueTableText(ValueTable table, int index);

} // namespace patchsmith
