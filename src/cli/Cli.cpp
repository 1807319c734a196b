#include "cli/Cli.h"

#include "cli/Commands.h"

#include <algorithm>
#include <array>

#ifndef PATCHSMITH_VERSION
#define PATCHSMITH_VERSION "unknown"
#endif

namespace patchsmith::cli {

void CliIo::error(std::string_view text) { err << kProgramName << ": " << text << '\n'; }

void CliIo::fileError(std::string_view file, std::string_view text) {
    err << kProgramName << ": " << file << ": " << text << '\n';
}

void CliNotifier::showMessage(const std::string& text) {
    ++count_;
    if (file_.empty()) {
        io_.error(text);
    } else {
        io_.fileError(file_, text);
    }
}

std::span<const Subcommand> subcommands() {
    // Built on first use, after every row is initialised. New subcommands
    // take their place here.
    static const std::array<Subcommand, 6> kTable{
        kListCommand, kShowCommand, kDiffCommand, kExtractCommand, kBuildCommand, kImportCommand,
    };
    return kTable;
}

namespace {

const Subcommand* findCommand(std::string_view name) {
    for (const Subcommand& c : subcommands())
        if (c.name == name) return &c;
    return nullptr;
}

void printOverview(std::ostream& out) {
    out << "Usage: " << kProgramName << " COMMAND [ARGUMENTS...]\n"
        << "       " << kProgramName << " COMMAND --help\n\n"
        << "The file commands of Patchsmith, the YAMAHA CS1x editor and librarian:\n"
        << ".SYX performances, .PFB banks, raw SysEx dumps and MIDI files.\n\n"
        << "Commands:\n";
    std::size_t width = 0;
    for (const Subcommand& c : subcommands()) width = std::max(width, c.name.size());
    for (const Subcommand& c : subcommands())
        out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << c.summary << '\n';
    out << "\nExit status: 0 done, 1 a file could not be read or written, 2 the command\n"
        << "line was not understood; diff: 0 equal, 1 different, 2 trouble.\n";
}

void printCommandHelp(const Subcommand& c, std::ostream& out) {
    out << "Usage: " << kProgramName << ' ' << c.usage << "\n\n" << c.summary << '\n';
    if (!c.details.empty()) out << '\n' << c.details;
    if (!c.details.empty() && c.details.back() != '\n') out << '\n';
    out << "\nOptions:\n";
    std::vector<std::pair<std::string, std::string_view>> rows;
    for (const OptionDef& o : c.options) {
        std::string left = o.shortName ? std::string("-") + o.shortName + ", " : std::string("    ");
        left += "--" + std::string(o.longName);
        if (!o.valueName.empty()) left += " " + std::string(o.valueName);
        rows.emplace_back(left, o.help);
    }
    rows.emplace_back("-h, --help", "show this help");
    std::size_t width = 0;
    for (const auto& r : rows) width = std::max(width, r.first.size());
    for (const auto& r : rows)
        out << "  " << r.first << std::string(width - r.first.size() + 2, ' ') << r.second << '\n';
}

} // namespace

int usageError(const Subcommand& command, std::string_view text, CliIo& io) {
    io.err << kProgramName << ' ' << command.name << ": " << text << '\n'
           << "Try '" << kProgramName << ' ' << command.name << " --help'.\n";
    return kExitUsage;
}

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err, char decimalPoint) {
    CliIo io(out, err);
    io.decimalPoint = decimalPoint;
    if (args.empty()) {
        printOverview(err);
        return kExitUsage;
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h") {
        printOverview(out);
        return kExitOk;
    }
    if (first == "--version") {
        out << kProgramName << ' ' << PATCHSMITH_VERSION << '\n';
        return kExitOk;
    }
    if (first == "help") {
        if (args.size() == 1) {
            printOverview(out);
            return kExitOk;
        }
        if (const Subcommand* c = findCommand(args[1])) {
            printCommandHelp(*c, out);
            return kExitOk;
        }
        io.error("no command '" + args[1] + "'; '" + std::string(kProgramName) + " --help' lists them");
        return kExitUsage;
    }
    const Subcommand* command = findCommand(first);
    if (!command) {
        io.error("no command '" + first + "'; '" + std::string(kProgramName) + " --help' lists them");
        return kExitUsage;
    }
    const ParsedArgs parsed = parseArguments(args.subspan(1), command->options);
    // Help wins over every other mistake on the line.
    if (parsed.switches.count("help") > 0) {
        printCommandHelp(*command, out);
        return kExitOk;
    }
    if (!parsed.error.empty()) return usageError(*command, parsed.error, io);
    return command->run(parsed, io);
}

} // namespace patchsmith::cli
