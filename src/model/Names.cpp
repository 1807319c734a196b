#include "model/Names.h"

#include <algorithm>

namespace patchsmith {

namespace {

std::array<std::string, 128> makeNoteNames() {
    static constexpr std::array<const char*, 12> kPitch{"C",  "C#", "D",  "D#", "E",  "F",
                                                        "F#", "G",  "G#", "A",  "A#", "B"};
    std::array<std::string, 128> names;
    for (int n = 0; n < 128; ++n)
        names[static_cast<std::size_t>(n)] =
            std::string(kPitch[static_cast<std::size_t>(n % 12)]) + std::to_string(n / 12 - 2);
    return names;
}

} // namespace

const std::array<std::string, 128> NoteNameTable = makeNoteNames();

const std::string& noteName(int note) { return NoteNameTable[static_cast<std::size_t>(std::clamp(note, 0, 127))]; }

const std::array<std::string_view, kCategoryCount> CategoryAbbreviations{
    "--  ", "PF", "CP", "OR", "GT", "BA", "ST", "EN", "BR", "RD", "PI ", "LD",
    "PD",   "FX", "ET", "PC", "SE", "DR", "SC", "VO", "CO", "WV", "SQ",
};

std::string_view categoryAbbreviation(int category) {
    if (category < 0 || category >= kCategoryCount) return kUnknownCategory;
    return CategoryAbbreviations[static_cast<std::size_t>(category)];
}

} // namespace patchsmith
