#pragma once
// Numeric value tables of the variation parameters, generated from the XG
// effect-parameter list: display texts with a decimal comma, no unit. The
// sizes are the XG table sizes; the generator refuses a list of another size.

#include <array>
#include <string_view>

namespace patchsmith::catalog_data {

extern const std::array<std::string_view, 128> LfoFrequency;
extern const std::array<std::string_view, 70> ReverbTime;
extern const std::array<std::string_view, 128> ShortDelay;
extern const std::array<std::string_view, 45> RoomSize;
extern const std::array<std::string_view, 128> LongDelay;
extern const std::array<std::string_view, 128> DelayOffset;
extern const std::array<std::string_view, 61> EqFrequency;
extern const std::array<std::string_view, 128> WahCutoffOffset;
extern const std::array<std::string_view, 25> EqGain; // index = value - 52

} // namespace patchsmith::catalog_data
