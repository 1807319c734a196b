// Fuzz target: the names made from records and from what the user types:
// ReplaceExtension, directories and joined paths, the names proposed and
// used for .SYX files, and the unique names of a transfer of all user
// performances to disk.
//
// Input: a name (length byte, bytes), an extension choice, up to three
// common blocks (57 bytes each, fewer at the end of the input), then one
// byte per claim naming the block whose file is claimed.

#include "FuzzSupport.h"
#include "storage/FileNames.h"
#include "storage/PerformanceText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string_view>

using namespace patchsmith;
using namespace patchsmith::fuzz;

namespace {

constexpr std::string_view kUnsafe = "/\\:<>\"|?*";

bool isSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }

bool safeName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7F && kUnsafe.find(c) == std::string_view::npos;
    });
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void checkReplaceExtension(const std::string& name, std::string_view ext) {
    const std::string result = ReplaceExtension(name, ext);
    FUZZ_CHECK(result.size() >= ext.size() && result.compare(result.size() - ext.size(), ext.size(), ext) == 0);
    const std::string kept = result.substr(0, result.size() - ext.size());
    FUZZ_CHECK(name.compare(0, kept.size(), kept) == 0);
    // What was cut is an extension: a dot and no separator, or nothing.
    const std::string cut = name.substr(kept.size());
    FUZZ_CHECK(cut.empty() || cut.front() == '.');
    FUZZ_CHECK(std::none_of(cut.begin(), cut.end(), isSeparator));
    // Nothing after the last separator was a dot before the cut, or the cut is the last dot.
    const std::size_t lastSep = name.find_last_of("/\\:");
    const std::size_t lastDot = name.rfind('.');
    const bool hasExt = lastDot != std::string::npos && (lastSep == std::string::npos || lastDot > lastSep);
    FUZZ_CHECK(cut.size() == (hasExt ? name.size() - lastDot : 0));
    if (!ext.empty() && ext.front() == '.' &&
        std::none_of(ext.begin() + 1, ext.end(), [](char c) { return c == '.' || isSeparator(c); }))
        FUZZ_CHECK(ReplaceExtension(result, ext) == result);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::vector<Byte> nameBytes = in.bytes(in.byte());
    const std::string name(nameBytes.begin(), nameBytes.end());
    static constexpr std::array<std::string_view, 5> kExts{".SYX", ".PFB", ".PFN", "", ".x.y"};
    const std::string_view ext = kExts[in.byte() % kExts.size()];

    checkReplaceExtension(name, ext);

    const std::string dir = directoryOf(name);
    FUZZ_CHECK(name.compare(0, dir.size(), dir) == 0);
    FUZZ_CHECK(dir.empty() == (name.find_first_of("/\\:") == std::string::npos));
    const std::string joined = joinPath(dir, "PF_GrandPno.SYX");
    FUZZ_CHECK(joined.compare(0, dir.size(), dir) == 0);
    FUZZ_CHECK(joined.size() >= 15 && joined.compare(joined.size() - 15, 15, "PF_GrandPno.SYX") == 0);

    const std::string stem = safeFileStem(name);
    FUZZ_CHECK(safeName(stem) && !stem.empty());
    FUZZ_CHECK(stem == "Unnamed" || stem.size() == name.size());

    std::vector<std::vector<Byte>> commons;
    for (int i = 0; i < 3 && !in.empty(); ++i) {
        std::vector<Byte> common = in.bytes(57);
        commons.push_back(common);
        const std::string proposed = proposedSaveName(common);
        FUZZ_CHECK(safeName(proposed) && proposed.size() > 4);
        FUZZ_CHECK(proposed.compare(proposed.size() - 4, 4, ".SYX") == 0);
        const std::string transfer = diskTransferName(common);
        FUZZ_CHECK(safeName(transfer));
        FUZZ_CHECK(transfer.size() > 4 && transfer.size() <= kTransferNameLength);
        FUZZ_CHECK(transfer.compare(transfer.size() - 4, 4, ".SYX") == 0);
        FUZZ_CHECK(transfer.find_first_not_of(". ") != std::string::npos);
        const std::string line = PerformanceLine(common, in.byte());
        FUZZ_CHECK(line.size() <= 20 && line.find_first_of("\r\n") == std::string::npos);
    }
    if (commons.empty()) return 0;

    // One transfer of all user performances: never two files of one name in
    // one directory, whatever the names and however often they repeat.
    DiskTransferNames names;
    std::set<std::string> seen;
    const std::string target = dir.empty() ? std::string("/transfer") : dir;
    for (int claims = 0; claims < 16 && !in.empty(); ++claims) {
        const auto& common = commons[in.byte() % commons.size()];
        const std::string path = names.claim(target, common);
        FUZZ_CHECK(directoryOf(path) == directoryOf(joinPath(target, "x")));
        const std::string file = path.substr(path.find_last_of("/\\:") + 1);
        FUZZ_CHECK(safeName(file) && file.size() <= kTransferNameLength && !file.empty());
        FUZZ_CHECK(seen.insert(lower(path)).second);
    }
    // Names a user already has, as uniqueFileName sees them.
    std::set<std::string> taken;
    for (const std::string& p : seen) taken.insert(p.substr(p.find_last_of("/\\:") + 1));
    taken.insert(name);
    const std::string unique = uniqueFileName(name, taken, in.byte() % 32);
    for (const std::string& t : taken) FUZZ_CHECK(lower(t) != lower(unique));
    return 0;
}
