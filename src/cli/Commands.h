#pragma once
// The subcommands of patchsmith-cli, one function each, and the rows that
// describe them in the table of subcommands.

#include "cli/Cli.h"

namespace patchsmith::cli {

int commandList(const ParsedArgs& args, CliIo& io);
int commandShow(const ParsedArgs& args, CliIo& io);
int commandDiff(const ParsedArgs& args, CliIo& io);
int commandExtract(const ParsedArgs& args, CliIo& io);
int commandBuild(const ParsedArgs& args, CliIo& io);
int commandImport(const ParsedArgs& args, CliIo& io);

extern const Subcommand kListCommand;
extern const Subcommand kShowCommand;
extern const Subcommand kDiffCommand;
extern const Subcommand kExtractCommand;
extern const Subcommand kBuildCommand;
extern const Subcommand kImportCommand;

// The option every writing command has: -o FILE, --output FILE.
extern const OptionDef kOutputOption;

// A performance number as the user sees it, 1..128, or nothing.
std::optional<int> parsePerformanceNumber(std::string_view text);

} // namespace patchsmith::cli
