// show and diff: a performance parameter by parameter, over the parameter
// table, as text for people or JSON for programs.

#include "cli/Commands.h"
#include "cli/PerformanceJson.h"
#include "cli/PerformanceView.h"
#include "cli/Sources.h"

#include <array>

namespace patchsmith::cli {

namespace {

const std::array<OptionDef, 1> kJsonOptions{{
    {"json", 0, "", "write a JSON document for programs (docs/cli-json.md)"},
}};

// JSON texts are for programs: the same on every machine.
constexpr char kJsonDecimalPoint = '.';

} // namespace

const Subcommand kShowCommand{
    "show",
    "show [--json] FILE[:N]",
    "print every parameter of a performance with its value and text",
    "FILE is a .SYX performance, a performance written by 'show --json', or a\n"
    "raw SysEx dump or MIDI file that holds one performance. FILE:N is\n"
    "performance N of a .PFB bank or of a dump, numbered 1..128 as 'list' and\n"
    "the bank manager show them (BANK.PFB:17 is the 17th).\n"
    "\n"
    "One line per parameter, block by block (Common, Effect, Controller,\n"
    "Layer 1..4): the name the editor gives it, its stored value and the text\n"
    "the editor window shows for it; then the bytes the editor never shows.\n"
    "The variation sends to reverb and chorus are not part of a stored\n"
    "performance and so are not listed.\n"
    "\n"
    "With --json the same as a JSON document, which 'build' takes back as\n"
    "FILE.json:N: show it, edit a \"value\", build it into a bank.\n",
    kJsonOptions,
    commandShow,
};

int commandShow(const ParsedArgs& args, CliIo& io) {
    if (args.operands.size() != 1)
        return usageError(kShowCommand, args.operands.empty() ? "FILE missing" : "one FILE only", io);
    const PerformanceSource source = readPerformanceSource(args.operands.front(), io);
    switch (source.status) {
    case PerformanceSource::Status::UsageError: return usageError(kShowCommand, source.usageError, io);
    case PerformanceSource::Status::FileError: return kExitFailure;
    case PerformanceSource::Status::Ok: break;
    }
    if (args.has("json")) {
        io.out << showJson(viewPerformance(source.record, kJsonDecimalPoint));
    } else {
        io.out << showText(viewPerformance(source.record, io.decimalPoint));
    }
    return kExitOk;
}

const Subcommand kDiffCommand{
    "diff",
    "diff [--json] A B",
    "list the parameters in which two performances differ",
    "A and B are named as for 'show': FILE or FILE:N. One line per parameter\n"
    "whose bytes differ: its name (and layer), value and text in A, \"->\",\n"
    "value and text in B. Carried bytes that differ follow (\"Common byte 23\").\n"
    "The performance numbers are not compared. With --json a JSON document.\n"
    "\n"
    "Exit status, as diff(1) has it: 0 the performances are equal, 1 they\n"
    "differ, 2 a file could not be read or the command line was not understood.\n",
    kJsonOptions,
    commandDiff,
};

int commandDiff(const ParsedArgs& args, CliIo& io) {
    constexpr int kEqual = 0;
    constexpr int kDifferent = 1;
    constexpr int kTrouble = 2;
    if (args.operands.size() != 2)
        return usageError(kDiffCommand, args.operands.size() < 2 ? "A and B needed" : "too many arguments", io);
    std::array<PerformanceSource, 2> sources;
    for (std::size_t k = 0; k < 2; ++k) {
        sources[k] = readPerformanceSource(args.operands[k], io);
        if (sources[k].status == PerformanceSource::Status::UsageError)
            return usageError(kDiffCommand, sources[k].usageError, io);
        if (sources[k].status == PerformanceSource::Status::FileError) return kTrouble;
    }
    const bool json = args.has("json");
    const char point = json ? kJsonDecimalPoint : io.decimalPoint;
    const PerformanceView a = viewPerformance(sources[0].record, point);
    const PerformanceView b = viewPerformance(sources[1].record, point);
    const PerformanceDiff diff = diffPerformances(a, b);
    if (json) {
        io.out << diffJson(diff, a, args.operands[0], b, args.operands[1]);
    } else {
        io.out << diffText(diff);
    }
    return diff.empty() ? kEqual : kDifferent;
}

} // namespace patchsmith::cli
