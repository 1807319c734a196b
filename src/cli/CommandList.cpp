// list FILE: the bank manager's lines for the performances of a file.

#include "cli/Commands.h"
#include "cli/Sources.h"
#include "storage/DumpImport.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"

#include <array>

namespace patchsmith::cli {

namespace {

const std::array<OptionDef, 1> kListOptions{{
    {"all", 0, "", "print all 128 rows, the empty ones as their number"},
}};

} // namespace

const Subcommand kListCommand{
    "list",
    "list [--all] FILE",
    "print the bank manager's lines for the performances in FILE",
    "FILE is a .PFB bank, a .SYX performance (317 bytes), a raw SysEx dump, a\n"
    "Standard MIDI File or a performance written by 'show --json'. One line per performance in slot order, as the "
    "bank\n"
    "manager shows it: number, two blanks, category, blank, name\n"
    "(\"001  PF GrandPno\"). Records of a bank go to the slots their numbers name;\n"
    "a dump is imported as the bank manager imports it, and its counts of\n"
    "imported, foreign and damaged messages go to standard error.\n",
    kListOptions,
    commandList,
};

int commandList(const ParsedArgs& args, CliIo& io) {
    if (args.operands.size() != 1)
        return usageError(kListCommand, args.operands.empty() ? "FILE missing" : "one FILE only", io);
    const std::string& path = args.operands.front();
    CliNotifier notifier(io);
    notifier.setFile(path);

    PerformanceBank bank;
    switch (kindOfFile(path)) {
    case FileKind::Unreadable: ShowLoadError(LoadError::UnableToOpen, notifier); return kExitFailure;
    case FileKind::Bank:
        if (!loadBankIntoSlots(path, bank, notifier)) {
            if (notifier.count() == 0) ShowLoadError(LoadError::UnableToOpen, notifier);
            return kExitFailure;
        }
        break;
    case FileKind::Performance: {
        UserPerfBuffer record;
        if (!ReadPerformanceFile(path, record, notifier)) {
            if (notifier.count() == 0) ShowLoadError(LoadError::UnableToOpen, notifier);
            return kExitFailure;
        }
        // A single performance: its own line, whatever its number.
        if (!args.has("all")) {
            io.out << PerformanceLine(record) << '\n';
            return kExitOk;
        }
        bank.setSlot(record.recordNumber() & 0x7F, record);
        break;
    }
    case FileKind::Json: {
        const auto document = readPerformanceJsonFile(path, io);
        if (!document) return kExitFailure;
        const PerformanceRecord record = makeRecordFromImage(document->image, document->number.value_or(1) - 1);
        if (!args.has("all")) {
            io.out << PerformanceLine(record) << '\n';
            return kExitOk;
        }
        bank.setSlot(record.recordNumber(), record);
        break;
    }
    case FileKind::Dump: {
        ImportResult result;
        if (!importDumpFile(path, bank, notifier, result)) return kExitFailure;
        io.err << path << ": " << importSummaryText(result.counts) << '\n';
        if (result.counts.imported == 0) {
            io.fileError(path, kInvalidPerformanceFile);
            return kExitFailure;
        }
        break;
    }
    }
    for (int s = 0; s < kBankSlots; ++s) {
        if (bank.occupied(s)) {
            io.out << PerformanceLine(bank.slot(s)) << '\n';
        } else if (args.has("all")) {
            io.out << slotNumberText(s) << '\n';
        }
    }
    return kExitOk;
}

} // namespace patchsmith::cli
