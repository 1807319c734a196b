#pragma once
// File names and paths: extensions, directories, and the names under which
// performances are saved. "\" and ":" separate path parts as on Windows; "/"
// does too, for the paths of this platform.

#include "model/Bytes.h"

#include <set>
#include <span>
#include <string>
#include <string_view>

namespace patchsmith {

// The name without its extension (the part from the last "." after the last
// separator) followed by `ext`, which includes its dot (".SYX").
std::string ReplaceExtension(std::string_view name, std::string_view ext);

// The directory of a file: the path up to its last separator, without that
// separator unless it is a root ("C:\", "/") or follows another separator.
// Empty for a bare file name.
std::string directoryOf(std::string_view path);

// `directory` and `name` joined with one separator.
std::string joinPath(std::string_view directory, std::string_view name);

// A file-name stem that every file system accepts: separators, control
// characters, non-ASCII bytes and < > " | ? * become "_"; a stem that is
// empty or only dots and blanks becomes "Unnamed".
std::string safeFileStem(std::string_view text);

// Longest file name the transfer to disk uses ("PF_GrandPno.SYX").
inline constexpr std::size_t kTransferNameLength = 15;

// The name proposed when the actual performance is saved: category
// abbreviation, "_", trimmed name, ".SYX" (made safe). Takes a common-block
// message (name at bytes 9..16, category at 17).
std::string proposedSaveName(std::span<const Byte> commonMessage);

// The name of a performance received to disk as its own .SYX file: as
// proposedSaveName, with the stem cut so that the whole name has at most 15
// characters and still ends in ".SYX".
std::string diskTransferName(std::span<const Byte> commonMessage);

// `name`, or when it is among `taken` (compared without regard to case, as
// Windows and macOS file systems do) the stem with "_2", "_3", ... in place
// of its end, keeping the extension and at most `maxLength` characters.
std::string uniqueFileName(std::string_view name, const std::set<std::string>& taken,
                           std::size_t maxLength = kTransferNameLength);

// The names one "All User-Performances (to HD)" run has written, so that two
// performances with the same category and name never share a file.
class DiskTransferNames {
public:
    // The full path for the performance whose common block is given, unique
    // among the paths handed out since the last reset.
    std::string claim(std::string_view directory, std::span<const Byte> commonMessage);
    void reset() { taken_.clear(); }

private:
    std::set<std::string> taken_; // lower-case directory + "\n" + lower-case name
};

} // namespace patchsmith
