// Build-time generator of the compiled-in catalogues.
//
//   ps_catalog_gen <data-dir> <output.cpp>
//
// Reads the published lists (tab-separated, one header line) from <data-dir>
// and writes one C++ source with the voice-name table, the assign-knob lists,
// the factory performance rows and the numeric effect value tables. Every row
// is checked; the first bad one stops the build with "file:line: error: ...".
// The output is written to a temporary file and renamed, so a failed run
// never leaves a half-written source behind.

#include "model/catalog/AssignKnobs.h"
#include "model/catalog/BankRows.h"
#include "model/catalog/FactoryPerformances.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using patchsmith::Byte;
namespace cd = patchsmith::catalog_detail;

namespace {

struct GenError : std::runtime_error {
    GenError(const std::string& file, int line, const std::string& what)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": error: " + what) {}
};

struct Row {
    int line = 0;
    std::vector<std::string> fields;
};

struct TsvFile {
    std::string path;
    std::vector<Row> rows;
    [[noreturn]] void fail(int line, const std::string& what) const { throw GenError(path, line, what); }
};

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

std::string join(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& f : v) s += (s.empty() ? "" : " ") + f;
    return s;
}

// Reads a list whose first line must name exactly the expected columns.
// Blank lines are skipped; a CR before the line end and a UTF-8 byte-order
// mark before the header are ignored, so a list saved on Windows drops in.
TsvFile readTsv(const fs::path& path, const std::vector<std::string>& header) {
    TsvFile file{path.string(), {}};
    std::ifstream in(path, std::ios::binary);
    if (!in) file.fail(0, "cannot open the file");
    std::string line;
    int number = 0;
    bool haveHeader = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!haveHeader && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (line.empty()) continue;
        auto fields = split(line);
        if (!haveHeader) {
            if (fields != header) file.fail(number, "header must be the columns '" + join(header) + "'");
            haveHeader = true;
            continue;
        }
        if (fields.size() != header.size())
            file.fail(number, "expected " + std::to_string(header.size()) + " tab-separated columns, found " +
                                  std::to_string(fields.size()));
        file.rows.push_back({number, std::move(fields)});
    }
    if (!haveHeader) file.fail(0, "the file is empty (no header line)");
    return file;
}

int parseInt(const TsvFile& f, const Row& r, std::size_t col, const char* what, int lo, int hi) {
    const std::string& s = r.fields[col];
    if (s.empty() || s.size() > 6 || !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); }))
        f.fail(r.line, std::string(what) + " '" + s + "' is not a number");
    const int v = std::stoi(s);
    if (v < lo || v > hi)
        f.fail(r.line, std::string(what) + " " + s + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return v;
}

// A display text: not empty, no control characters, at most maxLength bytes;
// plain ASCII unless the list may carry UTF-8 (the "±" of the gain table).
const std::string& checkText(const TsvFile& f, const Row& r, std::size_t col, const char* what, std::size_t maxLength,
                             bool asciiOnly) {
    const std::string& s = r.fields[col];
    if (s.empty()) f.fail(r.line, std::string(what) + " is empty");
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F) f.fail(r.line, std::string(what) + " contains a control character");
        if (asciiOnly && c > 0x7F) f.fail(r.line, std::string(what) + " '" + s + "' contains a non-ASCII character");
    }
    if (s.size() > maxLength)
        f.fail(r.line, std::string(what) + " '" + s + "' is longer than " + std::to_string(maxLength) + " characters");
    return s;
}

// A C++ string literal for any byte string: quote, backslash and every byte
// outside printable ASCII are escaped (octal, always three digits, so a digit
// that follows cannot extend the escape).
std::string literal(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string threeDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return buf;
}

// ---- voices ---------------------------------------------------------------

using VoiceNames = std::vector<std::array<std::string, patchsmith::kProgramCount>>; // [bank][program-1]

void putVoice(VoiceNames& names, std::map<std::pair<int, int>, int>& seen, const TsvFile& f, const Row& r, int bank,
              int program, const std::string& name) {
    const auto [it, fresh] = seen.emplace(std::pair{bank, program}, r.line);
    if (!fresh)
        f.fail(r.line, "program " + std::to_string(program) + " of bank " + std::to_string(bank) +
                           " is already named on line " + std::to_string(it->second));
    names[static_cast<std::size_t>(bank)][static_cast<std::size_t>(program - 1)] = name;
}

void readXgVoices(const fs::path& dir, VoiceNames& names, std::map<std::pair<int, int>, int>& seen) {
    const auto f = readTsv(dir / "xg-voices.tsv", {"bank_index", "msb", "lsb", "program", "name"});
    for (const auto& r : f.rows) {
        const int bank = parseInt(f, r, 0, "bank_index", 0, cd::kXgBankCount - 1);
        const int msb = parseInt(f, r, 1, "msb", 0, 127);
        const int lsb = parseInt(f, r, 2, "lsb", 0, 127);
        const int program = parseInt(f, r, 3, "program", 1, patchsmith::kProgramCount);
        const auto& name = checkText(f, r, 4, "name", patchsmith::kVoiceNameMaxLength, true);
        const auto& row = cd::kBankRows[static_cast<std::size_t>(bank)];
        if (msb != row.msb || lsb != row.lsb)
            f.fail(r.line, "bank " + std::to_string(bank) + " (" + std::string(row.text) + ") selects " +
                               std::to_string(row.msb) + "/" + std::to_string(row.lsb) + ", the row says " +
                               std::to_string(msb) + "/" + std::to_string(lsb));
        putVoice(names, seen, f, r, bank, program, name);
    }
}

void readPresetVoices(const fs::path& dir, VoiceNames& names, std::map<std::pair<int, int>, int>& seen) {
    const auto f =
        readTsv(dir / "cs1x-preset-voices.tsv", {"bank_lsb", "program", "category", "published_name", "list_name"});
    for (const auto& r : f.rows) {
        const int lsb = parseInt(f, r, 0, "bank_lsb", 0, cd::kPresetBankCount - 1);
        const int program = parseInt(f, r, 1, "program", 1, patchsmith::kProgramCount);
        checkText(f, r, 2, "category", 2, true);
        checkText(f, r, 3, "published_name", 32, true);
        const auto& name = checkText(f, r, 4, "list_name", patchsmith::kVoiceNameMaxLength, true);
        putVoice(names, seen, f, r, cd::kPresetBankFirst + lsb, program, name);
    }
}

void writeVoiceTable(std::ostream& out, const VoiceNames& names) {
    out << "const std::array<Byte, kBankCount * kBankBytes> VoiceNameTable{{\n";
    for (int bank = 0; bank < patchsmith::kBankCount; ++bank) {
        out << "    // bank " << bank << ": " << literal(cd::kBankRows[static_cast<std::size_t>(bank)].text) << "\n";
        for (int k = 0; k < patchsmith::kProgramCount; ++k) {
            const auto& name = names[static_cast<std::size_t>(bank)][static_cast<std::size_t>(k)];
            const std::string text =
                threeDigits(k + 1) + " " + (name.empty() ? std::string(patchsmith::kNoVoiceName) : name);
            out << "    " << text.size() << ",";
            for (int i = 0; i < patchsmith::kVoiceEntryMaxText; ++i)
                out << " "
                    << (i < static_cast<int>(text.size())
                            ? static_cast<unsigned>(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]))
                            : 0u)
                    << ",";
            out << " // " << literal(text) << "\n";
        }
    }
    out << "}};\n\n";
}

// ---- assign knobs ---------------------------------------------------------

void writeAssignLists(std::ostream& out, const fs::path& dir) {
    const auto f = readTsv(dir / "cs1x-assign-knob-params.tsv", {"knob", "index", "name"});
    constexpr int kCount = patchsmith::kAssignParamCount;
    std::array<std::array<std::string, kCount>, 2> lists;
    std::array<std::array<int, kCount>, 2> lineOf{};
    for (const auto& r : f.rows) {
        const int knob = parseInt(f, r, 0, "knob", 1, 2);
        const auto& n = r.fields[1];
        const int index = parseInt(f, r, 1, "index", 0, 999);
        if (index >= kCount)
            f.fail(r.line, "index " + n + " is past the end: each knob lists exactly " + std::to_string(kCount) +
                               " entries, 0.." + std::to_string(kCount - 1));
        const auto& name = checkText(f, r, 2, "name", 32, false);
        auto& line = lineOf[static_cast<std::size_t>(knob - 1)][static_cast<std::size_t>(index)];
        if (line != 0)
            f.fail(r.line, "knob " + std::to_string(knob) + " entry " + n + " is already given on line " +
                               std::to_string(line));
        line = r.line;
        auto& list = lists[static_cast<std::size_t>(knob - 1)];
        for (int i = 0; i < kCount; ++i)
            if (list[static_cast<std::size_t>(i)] == name)
                f.fail(r.line, "knob " + std::to_string(knob) + " lists '" + name + "' twice (entries " +
                                   std::to_string(i) + " and " + n + ")");
        list[static_cast<std::size_t>(index)] = name;
    }
    for (int knob = 1; knob <= 2; ++knob) {
        auto& list = lists[static_cast<std::size_t>(knob - 1)];
        for (int i = 0; i < kCount; ++i)
            if (lineOf[static_cast<std::size_t>(knob - 1)][static_cast<std::size_t>(i)] == 0)
                f.fail(0, "knob " + std::to_string(knob) + " has no entry " + std::to_string(i) +
                              " (each knob lists entries 0.." + std::to_string(kCount - 1) + ")");
        // Target 0 switches the knob off. The published lists write it in
        // lower case; the list boxes start with "Off", so it is spelled so here
        // and only here. The other names are kept as published.
        std::string lower = list[0];
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower != "off")
            f.fail(lineOf[static_cast<std::size_t>(knob - 1)][0],
                   "entry 0 of knob " + std::to_string(knob) + " must be 'off', found '" + list[0] + "'");
        list[0] = "Off";
        out << "const std::array<std::string_view, kAssignParamCount> Assign" << knob << "Para{\n";
        for (const auto& name : list) out << "    " << literal(name) << ",\n";
        out << "};\n\n";
    }
}

// ---- factory performances -------------------------------------------------

void writeFactoryLines(std::ostream& out, const fs::path& dir) {
    const auto f =
        readTsv(dir / "cs1x-factory-performances.tsv", {"number", "category", "transcribed_name", "list_name"});
    constexpr int kCount = patchsmith::kFactoryPerformanceCount;
    std::array<std::string, kCount> lines;
    std::array<int, kCount> lineOf{};
    for (const auto& r : f.rows) {
        const int number = parseInt(f, r, 0, "number", 1, kCount);
        std::string category = checkText(f, r, 1, "category", 2, true);
        if (category.size() != 2 ||
            !std::all_of(category.begin(), category.end(), [](unsigned char c) { return std::isalpha(c); }))
            f.fail(r.line, "category '" + category + "' is not two letters");
        std::transform(category.begin(), category.end(), category.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        checkText(f, r, 2, "transcribed_name", 32, true);
        const auto& name = checkText(f, r, 3, "list_name", 8, true);
        auto& line = lineOf[static_cast<std::size_t>(number - 1)];
        if (line != 0)
            f.fail(r.line,
                   "performance " + std::to_string(number) + " is already given on line " + std::to_string(line));
        line = r.line;
        lines[static_cast<std::size_t>(number - 1)] = threeDigits(number) + "  " + category + " " + name;
    }
    for (int i = 0; i < kCount; ++i)
        if (lineOf[static_cast<std::size_t>(i)] == 0)
            f.fail(0, "performance " + std::to_string(i + 1) + " is missing (the list needs 1.." +
                          std::to_string(kCount) + ")");
    out << "const std::array<std::string_view, kFactoryPerformanceCount> kFactoryPerformanceLines{\n";
    for (const auto& l : lines) out << "    " << literal(l) << ",\n";
    out << "};\n\n";
}

// ---- effect value tables --------------------------------------------------

struct NumericTable {
    std::string_view fileName;
    std::string_view cxxName;
    int count;
};

// The XG table sizes; CatalogData.h declares the same.
constexpr std::array<NumericTable, 9> kNumericTables{{
    {"lfo_frequency", "kLfoFrequency", 128},
    {"reverb_time", "kReverbTime", 70},
    {"short_delay", "kShortDelay", 128},
    {"room_size", "kRoomSize", 45},
    {"long_delay", "kLongDelay", 128},
    {"delay_offset", "kDelayOffset", 128},
    {"eq_frequency", "kEqFrequency", 61},
    {"wah_cutoff_offset", "kWahCutoffOffset", 128},
    {"eq_gain", "kEqGain", 25},
}};

void writeValueTables(std::ostream& out, const fs::path& dir) {
    const auto f = readTsv(dir / "xg-effect-tables.tsv", {"table", "index", "text"});
    std::map<std::string_view, std::map<int, std::pair<std::string, int>>> tables; // name -> index -> (text, line)
    for (const auto& r : f.rows) {
        const auto* t = std::find_if(kNumericTables.begin(), kNumericTables.end(),
                                     [&](const NumericTable& n) { return n.fileName == r.fields[0]; });
        if (t == kNumericTables.end()) f.fail(r.line, "unknown table '" + r.fields[0] + "'");
        const int index = parseInt(f, r, 1, "index", 0, 999);
        if (index >= t->count)
            f.fail(r.line, "index " + r.fields[1] + " is past the end of table " + std::string(t->fileName) +
                               ", which has " + std::to_string(t->count) + " entries (0.." +
                               std::to_string(t->count - 1) + ")");
        const auto& text = checkText(f, r, 2, "text", 12, false);
        const auto [it, fresh] = tables[t->fileName].emplace(index, std::pair{text, r.line});
        if (!fresh)
            f.fail(r.line, "table " + std::string(t->fileName) + " index " + r.fields[1] +
                               " is already given on line " + std::to_string(it->second.second));
    }
    out << "namespace catalog_data {\n\n";
    for (const auto& t : kNumericTables) {
        const auto& entries = tables[t.fileName];
        if (static_cast<int>(entries.size()) != t.count)
            f.fail(0, "table " + std::string(t.fileName) + " has " + std::to_string(entries.size()) +
                          " entries, it needs " + std::to_string(t.count) + " (0.." + std::to_string(t.count - 1) +
                          ")");
        out << "const std::array<std::string_view, " << t.count << "> " << t.cxxName << "{\n";
        for (const auto& [index, entry] : entries) out << "    " << literal(entry.first) << ", // " << index << "\n";
        out << "};\n\n";
    }
    out << "} // namespace catalog_data\n\n";
}

void generate(const fs::path& dir, const fs::path& output) {
    std::ostringstream out;
    out << "// Generated by ps_catalog_gen from the lists in the data folder. Do not edit.\n"
           "#include \"model/catalog/AssignKnobs.h\"\n"
           "#include \"model/catalog/CatalogData.h\"\n"
           "#include \"model/catalog/FactoryPerformances.h\"\n"
           "#include \"model/catalog/VoiceCatalog.h\"\n\n"
           "namespace patchsmith {\n\n";

    VoiceNames names(patchsmith::kBankCount);
    std::map<std::pair<int, int>, int> seen;
    readXgVoices(dir, names, seen);
    readPresetVoices(dir, names, seen);
    writeVoiceTable(out, names);
    writeAssignLists(out, dir);
    writeFactoryLines(out, dir);
    writeValueTables(out, dir);
    out << "} // namespace patchsmith\n";

    const fs::path temp = output.string() + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file.flush()) throw GenError(temp.string(), 0, "cannot write the output");
    }
    std::error_code ec;
    fs::rename(temp, output, ec);
    if (ec) throw GenError(output.string(), 0, "cannot replace the output: " + ec.message());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: ps_catalog_gen <data-dir> <output.cpp>\n";
        return 2;
    }
    try {
        generate(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
