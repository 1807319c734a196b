#include "storage/FileNames.h"

#include "model/Names.h"
#include "model/Parameters.h"
#include "storage/PerformanceText.h"

#include <algorithm>
#include <cctype>

namespace patchsmith {

namespace {

constexpr std::string_view kSeparators = "\\:/";

bool isSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string stemFromCommon(std::span<const Byte> commonMessage) {
    const std::size_t at = messageOffset(params::PerformanceType);
    const int category = commonMessage.size() > at ? commonMessage[at] : 0;
    std::string stem(categoryAbbreviation(category));
    stem += '_';
    stem += trimmedName(commonMessage);
    return safeFileStem(stem);
}

} // namespace

std::string ReplaceExtension(std::string_view name, std::string_view ext) {
    std::size_t end = name.size();
    for (std::size_t i = name.size(); i-- > 0;) {
        if (isSeparator(name[i])) break;
        if (name[i] == '.') {
            end = i;
            break;
        }
    }
    std::string result(name.substr(0, end));
    result += ext;
    return result;
}

std::string directoryOf(std::string_view path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string_view::npos) return {};
    std::size_t keep = last + 1;
    // Drop a trailing "\" or "/" unless it is the root itself or follows a
    // drive colon or another separator.
    if (path[last] != ':' && last > 0 && !isSeparator(path[last - 1])) keep = last;
    return std::string(path.substr(0, keep));
}

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string result(directory);
    if (!result.empty() && !isSeparator(result.back())) {
#ifdef _WIN32
        result += '\\';
#else
        result += '/';
#endif
    }
    result += name;
    return result;
}

std::string safeFileStem(std::string_view text) {
    static constexpr std::string_view kRefused = "/\\:<>\"|?*";
    std::string stem;
    stem.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool unsafe = u < 0x20 || u >= 0x7F || kRefused.find(c) != std::string_view::npos;
        stem += unsafe ? '_' : c;
    }
    const bool meaningless = std::all_of(stem.begin(), stem.end(), [](char c) { return c == '.' || c == ' '; });
    if (meaningless) stem = "Unnamed";
    return stem;
}

std::string proposedSaveName(std::span<const Byte> commonMessage) { return stemFromCommon(commonMessage) + ".SYX"; }

std::string diskTransferName(std::span<const Byte> commonMessage) {
    static constexpr std::string_view kExt = ".SYX";
    std::string stem = stemFromCommon(commonMessage);
    stem.resize(std::min(stem.size(), kTransferNameLength - kExt.size()));
    return stem + std::string(kExt);
}

std::string uniqueFileName(std::string_view name, const std::set<std::string>& taken, std::size_t maxLength) {
    auto isTaken = [&taken](const std::string& candidate) {
        const std::string lower = lowerAscii(candidate);
        return std::any_of(taken.begin(), taken.end(),
                           [&lower](const std::string& t) { return lowerAscii(t) == lower; });
    };
    std::string candidate(name);
    if (!isTaken(candidate)) return candidate;

    const std::size_t dot = name.rfind('.');
    const std::string_view ext = dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
    const std::string_view stem = name.substr(0, name.size() - ext.size());
    for (int n = 2;; ++n) {
        const std::string suffix = "_" + std::to_string(n);
        std::size_t room = maxLength > ext.size() + suffix.size() ? maxLength - ext.size() - suffix.size() : 0;
        candidate = std::string(stem.substr(0, std::min(room, stem.size()))) + suffix + std::string(ext);
        if (!isTaken(candidate)) return candidate;
    }
}

std::string DiskTransferNames::claim(std::string_view directory, std::span<const Byte> commonMessage) {
    const std::string prefix = lowerAscii(directory) + "\n";
    std::set<std::string> namesHere;
    for (const std::string& key : taken_)
        if (key.compare(0, prefix.size(), prefix) == 0) namesHere.insert(key.substr(prefix.size()));
    const std::string name = uniqueFileName(diskTransferName(commonMessage), namesHere);
    taken_.insert(prefix + lowerAscii(name));
    return joinPath(directory, name);
}

} // namespace patchsmith
