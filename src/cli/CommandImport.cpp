// import: raw SysEx dumps and MIDI files into a new bank, as a batch.

#include "cli/Commands.h"
#include "storage/DumpImport.h"
#include "storage/PerformanceFiles.h"

#include <array>

namespace patchsmith::cli {

namespace {
const std::array<OptionDef, 1> kImportOptions{kOutputOption};
} // namespace

const Subcommand kImportCommand{
    "import",
    "import FILE... -o BANK.PFB",
    "import raw SysEx dumps and MIDI files into a new .PFB bank",
    "Every complete CS1x performance in the files is imported as the bank\n"
    "manager's import does it: a user performance's dump into the slot of its\n"
    "number, exactly as received; the current performance's dump into the first\n"
    "free slot. Files are read in the order given; a later performance for a\n"
    "slot replaces an earlier one. A file that is a .PFB bank is loaded as the\n"
    "bank manager loads one.\n"
    "\n"
    "For each file a line with its counts goes to standard output:\n"
    "  FILE: Imported: 128, skipped as foreign: 0, skipped as damaged: 0\n"
    "Nothing is written when a file cannot be read or nothing was imported.\n",
    kImportOptions,
    commandImport,
};

int commandImport(const ParsedArgs& args, CliIo& io) {
    const auto output = args.value("output");
    if (!output) return usageError(kImportCommand, "-o BANK.PFB missing", io);
    if (args.operands.empty()) return usageError(kImportCommand, "FILE missing", io);

    PerformanceBank bank;
    CliNotifier notifier(io);
    ImportCounts total;
    for (const std::string& path : args.operands) {
        notifier.setFile(path);
        ImportResult result;
        if (!importDumpFile(path, bank, notifier, result)) return kExitFailure;
        io.out << path << ": " << importSummaryText(result.counts) << '\n';
        total.imported += result.counts.imported;
        total.foreign += result.counts.foreign;
        total.damaged += result.counts.damaged;
        total.noFreeSlot += result.counts.noFreeSlot;
    }
    if (args.operands.size() > 1) io.out << "Total: " << importSummaryText(total) << '\n';
    if (total.imported == 0) {
        io.fileError(*output, "not written: no performance was imported");
        return kExitFailure;
    }
    if (!saveBank(*output, bank)) {
        io.fileError(*output, loadErrorText(LoadError::UnableToSave));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace patchsmith::cli
