// extract and build: a performance out of a bank, and a bank out of
// performances, with the bank manager's own storage functions.

#include "cli/Commands.h"
#include "cli/Sources.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"

#include <array>
#include <charconv>

namespace patchsmith::cli {

const OptionDef kOutputOption{"output", 'o', "FILE", "the file to write (written whole or not at all)"};

namespace {

const std::array<OptionDef, 1> kWriteOptions{kOutputOption};

// The output file, or a usage error.
const std::string* outputOf(const ParsedArgs& args) {
    const auto it = args.values.find("output");
    return it == args.values.end() ? nullptr : &it->second;
}

// Loads a bank file into an empty bank; load errors are reported.
bool loadBank(const std::string& path, PerformanceBank& bank, CliIo& io) {
    CliNotifier notifier(io);
    notifier.setFile(path);
    if (loadBankIntoSlots(path, bank, notifier)) return true;
    // The bank manager passes over a file it cannot open in silence; here
    // the caller must learn why nothing happened.
    if (notifier.count() == 0) ShowLoadError(LoadError::UnableToOpen, notifier);
    return false;
}

} // namespace

std::optional<int> parsePerformanceNumber(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > kBankSlots) return std::nullopt;
    return n;
}

const Subcommand kExtractCommand{
    "extract",
    "extract BANK N -o FILE.SYX",
    "write performance N (1..128) of a .PFB bank as a .SYX file",
    "The 317 bytes of the performance in slot N of BANK, exactly as the bank\n"
    "holds them. N is the number the bank manager and 'list' show (001..128;\n"
    "leading zeros may be left out).\n",
    kWriteOptions,
    commandExtract,
};

int commandExtract(const ParsedArgs& args, CliIo& io) {
    if (args.operands.size() != 2)
        return usageError(kExtractCommand, args.operands.size() < 2 ? "BANK and N needed" : "too many arguments", io);
    const std::string* output = outputOf(args);
    if (!output) return usageError(kExtractCommand, "-o FILE.SYX missing", io);
    const auto number = parsePerformanceNumber(args.operands[1]);
    if (!number) return usageError(kExtractCommand, "N must be a number from 1 to 128", io);

    const std::string& bankPath = args.operands[0];
    PerformanceBank bank;
    if (!loadBank(bankPath, bank, io)) return kExitFailure;
    const int slot = *number - 1;
    if (!bank.occupied(slot)) {
        io.fileError(bankPath, "no performance " + slotNumberText(slot));
        return kExitFailure;
    }
    if (!WritePerformanceFile(*output, bank.slot(slot))) {
        io.fileError(*output, loadErrorText(LoadError::UnableToSave));
        return kExitFailure;
    }
    return kExitOk;
}

const Subcommand kBuildCommand{
    "build",
    "build -o BANK.PFB [FILE:N ...]",
    "compose a .PFB bank from .SYX files and JSON performances",
    "Each FILE goes into slot N (1..128). A .SYX file goes in renumbered to the\n"
    "slot, as dropping the file on entry N of the bank manager does. A JSON\n"
    "performance as 'show --json' writes it (FILE.json:N) is built into a\n"
    "performance numbered N, with fresh headers and checksums: unedited, it\n"
    "gives the bytes it was shown from. A later file for the same slot replaces\n"
    "an earlier one. The bank is saved as the bank manager saves it: the header\n"
    "and the occupied slots in ascending order. Nothing is written when a file\n"
    "cannot be read, a .SYX file is not 317 bytes long, or a JSON performance\n"
    "has a problem (each is named: broken JSON, an unknown or missing\n"
    "parameter, a value outside its range).\n",
    kWriteOptions,
    commandBuild,
};

int commandBuild(const ParsedArgs& args, CliIo& io) {
    const std::string* output = outputOf(args);
    if (!output) return usageError(kBuildCommand, "-o BANK.PFB missing", io);

    // Every operand is checked before any file is read.
    std::vector<std::pair<std::string, int>> drops;
    for (const std::string& operand : args.operands) {
        const std::size_t colon = operand.rfind(':');
        const auto number = colon == std::string::npos
                                ? std::nullopt
                                : parsePerformanceNumber(std::string_view(operand).substr(colon + 1));
        if (!number || colon == 0)
            return usageError(kBuildCommand, "'" + operand + "' is not FILE:N with N from 1 to 128", io);
        drops.emplace_back(operand.substr(0, colon), *number - 1);
    }

    PerformanceBank bank;
    CliNotifier notifier(io);
    for (const auto& [path, slot] : drops) {
        notifier.setFile(path);
        if (kindOfFile(path) == FileKind::Json) {
            const auto document = readPerformanceJsonFile(path, io);
            if (!document) return kExitFailure;
            bank.setSlot(slot, makeRecordFromImage(document->image, slot));
            continue;
        }
        if (!dropFileIntoSlot(path, slot, bank, notifier)) return kExitFailure;
    }
    if (!saveBank(*output, bank)) {
        io.fileError(*output, loadErrorText(LoadError::UnableToSave));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace patchsmith::cli
