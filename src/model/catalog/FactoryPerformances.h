#pragma once
// The synthesizer's factory user performances, as the rows the UserPerf list
// starts with before any names are fetched: "001  DR umTrax2" .. "128  CO EuroKit"
// (number as three digits, two blanks, category in capitals, one blank, name).
// Generated from the published factory list.

#include <array>
#include <string_view>

namespace patchsmith {

inline constexpr int kFactoryPerformanceCount = 128;

extern const std::array<std::string_view, kFactoryPerformanceCount> kFactoryPerformanceLines;

} // namespace patchsmith
