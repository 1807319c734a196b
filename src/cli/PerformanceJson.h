#pragma once
// The JSON forms of show and diff (docs/cli-json.md), and the reading of a
// performance document back into a performance for build.

#include "cli/PerformanceView.h"
#include "model/PerformanceImage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::cli {

inline constexpr std::string_view kPerformanceFormat = "patchsmith-performance";
inline constexpr std::string_view kDiffFormat = "patchsmith-diff";
inline constexpr int kJsonVersion = 1;
// Largest performance document read (show --json writes about 25 kB).
inline constexpr std::size_t kMaxPerformanceJsonBytes = 1024 * 1024;

// The document of show --json: one parameter per line.
std::string showJson(const PerformanceView& view);

// The document of diff --json. `sourceA`, `sourceB`: the operands as given.
std::string diffJson(const PerformanceDiff& diff, const PerformanceView& a, const std::string& sourceA,
                     const PerformanceView& b, const std::string& sourceB);

struct JsonPerformance {
    PerformanceImage image;    // every data byte of a stored performance set
    std::optional<int> number; // "number", 1..128, when given
};

// Reads a performance document. The parameters decide; every one of
// storedParameterSlots and every carried run must be there exactly once.
// A "value" is written as the editor writes it and must be one the editor
// can set, unless it is the value its own "bytes" hold: then those bytes are
// kept as they are, so that an unedited document gives back the very bytes
// it was made from, also where they are outside what the editor sets.
// Problems go to `problems`, each with the line it concerns; nothing is
// returned when there is any.
std::optional<JsonPerformance> readPerformanceJson(std::string_view text, std::vector<std::string>& problems);

} // namespace patchsmith::cli
