#pragma once
// .PFN files: the texts of the user-performance list, one per line, each
// ended by CR LF.

#include "storage/FileIO.h"

#include <span>
#include <string>
#include <vector>

namespace patchsmith {

inline constexpr int kNameListRows = 128;

// Reads the lines of a list file (ended by CR LF or LF, the last one with or
// without an end) into exactly 128 rows: lines past the 128th are dropped,
// missing rows get their plain number ("097".."128") as in a fresh list.
// `rows` is replaced only on success.
FileResult readNameListFile(const std::string& path, std::vector<std::string>& rows);

// Writes each row followed by CR LF, whole or not at all. A CR or LF inside a
// row is written as a blank so that every row stays one line.
FileResult writeNameListFile(const std::string& path, std::span<const std::string> rows);

} // namespace patchsmith
