#pragma once
// patchsmith-cli: the librarian's file commands for scripts and batches.
// Each subcommand is one function in the table of subcommands; the table
// also carries its usage, help text and options, so that a new subcommand
// is one more row and one more function.

#include "cli/Arguments.h"
#include "midi/Notifier.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::cli {

inline constexpr std::string_view kProgramName = "patchsmith-cli";

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // a file could not be read or written
inline constexpr int kExitUsage = 2;   // the command line was not understood

// Standard output and error of one run, and the error texts' form.
class CliIo {
public:
    CliIo(std::ostream& out, std::ostream& err) : out(out), err(err) {}
    // "patchsmith-cli: <text>" on standard error.
    void error(std::string_view text);
    // "patchsmith-cli: <file>: <text>" on standard error.
    void fileError(std::string_view file, std::string_view text);

    std::ostream& out;
    std::ostream& err;
    // The separator of texts in tenths ("333.3ms"), as the window takes it
    // from the locale.
    char decimalPoint = '.';
};

// The storage functions' messages (load errors and the like) as errors of
// the file being worked on.
class CliNotifier : public Notifier {
public:
    explicit CliNotifier(CliIo& io) : io_(io) {}
    void showMessage(const std::string& text) override;
    void setFile(std::string file) { file_ = std::move(file); }
    int count() const { return count_; }

private:
    CliIo& io_;
    std::string file_;
    int count_ = 0;
};

struct Subcommand {
    std::string_view name;
    std::string_view usage;   // after the program name: "list [--all] FILE"
    std::string_view summary; // one line for the overview
    std::string_view details; // the rest of its --help
    std::span<const OptionDef> options;
    int (*run)(const ParsedArgs& args, CliIo& io);
};

// All subcommands, in the order the overview lists them.
std::span<const Subcommand> subcommands();

// Runs one command line (without the program name); returns the exit code.
// `decimalPoint`: the locale's separator for the plain texts of show and diff.
int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err, char decimalPoint = '.');

// For the subcommands: reports a usage error with a pointer to the help.
int usageError(const Subcommand& command, std::string_view text, CliIo& io);

} // namespace patchsmith::cli
