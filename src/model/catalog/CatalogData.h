#pragma once
// Numeric value tables of the variation parameters, generated from the XG
// effect-parameter list: display texts with a decimal comma, no unit. The
// sizes are the XG table sizes; the generator refuses a list of another size.

#include <array>
#include <string_view>

namespace patchsmith::catalog_data {

extern const std::array<std::string_view, 128> kLfoFrequency;
extern const std::array<std::string_view, 70> kReverbTime;
extern const std::array<std::string_view, 128> kShortDelay;
extern const std::array<std::string_view, 45> kRoomSize;
extern const std::array<std::string_view, 128> kLongDelay;
extern const std::array<std::string_view, 128> kDelayOffset;
extern const std::array<std::string_view, 61> kEqFrequency;
extern const std::array<std::string_view, 128> kWahCutoffOffset;
extern const std::array<std::string_view, 25> kEqGain; // index = value - 52

} // namespace patchsmith::catalog_data
