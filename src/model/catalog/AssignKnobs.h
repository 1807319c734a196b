#pragma once
// The parameters the two assign knobs can control, as listed in the
// Assign1Para and Assign2Para boxes. List row = the target byte stored in
// PerfCommon; row 0 is "Off". Generated from the published target lists.

#include <array>
#include <string_view>

namespace patchsmith {

inline constexpr int kAssignParamCount = 30;

extern const std::array<std::string_view, kAssignParamCount> Assign1Para; // knob 1
extern const std::array<std::string_view, kAssignParamCount> Assign2Para; // knob 2

} // namespace patchsmith
