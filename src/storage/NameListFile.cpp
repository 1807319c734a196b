#include "storage/NameListFile.h"

#include "storage/PerformanceText.h"

#include <algorithm>
#include <array>

namespace patchsmith {

namespace {
// A list text is at most 20 characters; anything far longer is not a list
// file, and capping the line keeps a wrong choice of file from filling memory.
constexpr std::size_t kMaxLineBytes = 256;
} // namespace

FileResult readNameListFile(const std::string& path, std::vector<std::string>& rows) {
    InputFile file;
    if (!file.open(path)) return FileResult::failure(openErrorText(path));

    std::vector<std::string> lines;
    std::string line;
    bool pending = false; // a line has begun that has not ended yet
    std::array<Byte, 4096> chunk{};
    std::uint64_t left = file.size();
    while (left > 0 && static_cast<int>(lines.size()) < kNameListRows) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
        if (!file.read(std::span<Byte>(chunk).first(n))) return FileResult::failure(readErrorText(path));
        left -= n;
        for (std::size_t i = 0; i < n && static_cast<int>(lines.size()) < kNameListRows; ++i) {
            const char c = static_cast<char>(chunk[i]);
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines.push_back(std::move(line));
                line.clear();
                pending = false;
            } else {
                if (line.size() < kMaxLineBytes) line += c;
                pending = true;
            }
        }
    }
    if (pending && static_cast<int>(lines.size()) < kNameListRows) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    for (int k = static_cast<int>(lines.size()); k < kNameListRows; ++k) lines.push_back(threeDigits(k + 1));
    rows = std::move(lines);
    return FileResult::success();
}

FileResult writeNameListFile(const std::string& path, std::span<const std::string> rows) {
    std::vector<Byte> bytes;
    for (const std::string& row : rows) {
        for (char c : row) bytes.push_back(c == '\r' || c == '\n' ? Byte{' '} : static_cast<Byte>(c));
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return writeFileAtomically(path, bytes);
}

} // namespace patchsmith
