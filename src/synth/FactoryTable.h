#pragma once
// The factory performance list, generated at build time from the maker's
// published list: one row per user performance, in order.

#include "synth/VirtualCs1x.h"

#include <array>
#include <string_view>

namespace patchsmith::synth {

struct FactoryRow {
    std::string_view name;     // list name, up to 8 characters
    std::string_view category; // abbreviation, "--" .. "SQ"
};

extern const std::array<FactoryRow, kUserPerformanceCount> kFactoryRows;

} // namespace patchsmith::synth
