#pragma once
// Short texts that give image bytes a name: notes and performance categories.

#include <array>
#include <string>
#include <string_view>

namespace patchsmith {

// "C-2" .. "G8": pitch class and octave (note div 12 - 2).
extern const std::array<std::string, 128> NoteNameTable;
// Name of a note; values outside 0..127 are clamped.
const std::string& noteName(int note);

inline constexpr int kCategoryCount = 23;
// The 23 category abbreviations, trailing blanks included ("--  ", "PI ").
extern const std::array<std::string_view, kCategoryCount> CategoryAbbreviations;
// Text shown for a category byte that has no abbreviation (above 22): such a
// byte only comes from a damaged or foreign dump, and the list shows it as such.
inline constexpr std::string_view kUnknownCategory = "??";
// The abbreviation of a category byte; kUnknownCategory above 22.
std::string_view categoryAbbreviation(int category);

} // namespace patchsmith
