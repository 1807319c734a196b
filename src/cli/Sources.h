#pragma once
// What the commands read: the kind of a file by its content, and the one
// performance an operand names (FILE or FILE:N).

#include "cli/Cli.h"
#include "cli/PerformanceJson.h"
#include "model/PerformanceRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace patchsmith::cli {

enum class FileKind {
    Unreadable,
    Bank,        // begins with "Patchsmith PFB", or is named .PFB
    Performance, // 317 bytes: a .SYX record
    Json,        // a performance document (begins with '{', or is named .json)
    Dump,        // anything else: a raw SysEx dump or a MIDI file
};

// What a file is, by its first bytes, its size and its name.
FileKind kindOfFile(const std::string& path);

// Reads a performance document; its problems go to standard error, one
// line each, prefixed with the file.
std::optional<JsonPerformance> readPerformanceJsonFile(const std::string& path, CliIo& io);

struct PerformanceSource {
    enum class Status { Ok, FileError, UsageError };
    Status status = Status::Ok;
    PerformanceRecord record;
    std::string usageError; // for UsageError: what was wrong with the operand
};

// The performance an operand names: FILE, a .SYX performance, a performance
// document or any file that holds exactly one performance, or FILE:N,
// performance N (1..128) of a bank, a dump or a file of one performance.
// File errors are reported here; a usage error is handed back.
PerformanceSource readPerformanceSource(const std::string& operand, CliIo& io);

} // namespace patchsmith::cli
