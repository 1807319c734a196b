#pragma once
// The subcommands of patchsmith-cli, one function each, and the rows that
// describe them in the table of subcommands.

#include "cli/Cli.h"

namespace patchsmith::cli {

int CommandList(const ParsedArgs& args, CliIo& io);
int CommandShow(const ParsedArgs& args, CliIo& io);
int CommandDiff(const ParsedArgs& args, CliIo& io);
int CommandExtract(const ParsedArgs& args, CliIo& io);
int CommandBuild(const ParsedArgs& args, CliIo& io);
int CommandImport(const ParsedArgs& args, CliIo& io);

extern const Subcommand kListCommand;
extern const Subcommand kShowCommand;
extern const Subcommand kDiffCommand;
extern const Subcommand kExtractCommand;
extern const Subcommand kBuildCommand;
extern const Subcommand kImportCommand;

// The option every writing command has: -o FILE, --output FILE.
extern const OptionDef kOutputOption;

// A performance number as the user sees it, 1..128, or nothing.
std::optional<int> ParsePerformanceNumber(std::string_view text);

} // namespace patchsmith::cli
