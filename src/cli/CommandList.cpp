// list FILE: the bank manager's lines for the performances of a file.

#include "cli/Commands.h"
#include "storage/DumpImport.h"
#include "storage/MidiFileReader.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>

namespace patchsmith::cli {

namespace {

const std::array<OptionDef, 1> kListOptions{{
    {"all", 0, "", "print all 128 rows, the empty ones as their number"},
}};

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

enum class FileKind { Unreadable, Bank, Performance, Dump };

// What a file is, by its first bytes and size (and a .PFB name for a bank
// whose header is wrong, which then gets the bank's load error).
FileKind kindOf(const std::string& path) {
    InputFile file;
    if (!file.open(path)) return FileKind::Unreadable;
    std::array<Byte, kBankHeaderBytes> head{};
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), head.size()));
    if (!file.read(std::span<Byte>(head).first(n))) return FileKind::Unreadable;
    const std::span<const Byte> start = std::span<const Byte>(head).first(n);
    const bool bankHeader = n == head.size() && std::equal(kBankHeader.begin(), kBankHeader.end(), head.begin(),
                                                           [](char a, Byte b) { return static_cast<Byte>(a) == b; });
    if (bankHeader || lowerExtension(path) == ".pfb") return FileKind::Bank;
    if (file.size() == static_cast<std::uint64_t>(kRecordBytes) && !LooksLikeMidiFile(start))
        return FileKind::Performance;
    return FileKind::Dump;
}

} // namespace

const Subcommand kListCommand{
    "list",
    "list [--all] FILE",
    "print the bank manager's lines for the performances in FILE",
    "FILE is a .PFB bank, a .SYX performance (317 bytes), a raw SysEx dump or a\n"
    "Standard MIDI File. One line per performance in slot order, as the bank\n"
    "manager shows it: number, two blanks, category, blank, name\n"
    "(\"001  PF GrandPno\"). Records of a bank go to the slots their numbers name;\n"
    "a dump is imported as the bank manager imports it, and its counts of\n"
    "imported, foreign and damaged messages go to standard error.\n",
    kListOptions,
    CommandList,
};

int CommandList(const ParsedArgs& args, CliIo& io) {
    if (args.operands.size() != 1)
        return UsageError(kListCommand, args.operands.empty() ? "FILE missing" : "one FILE only", io);
    const std::string& path = args.operands.front();
    CliNotifier notifier(io);
    notifier.setFile(path);

    PerformanceBank bank;
    switch (kindOf(path)) {
    case FileKind::Unreadable:
        ShowLoadError(LoadError::UnableToOpen, notifier);
        return kExitFailure;
    case FileKind::Bank:
        if (!LoadBankIntoSlots(path, bank, notifier)) {
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
    case FileKind::Dump: {
        ImportResult result;
        if (!ImportDumpFile(path, bank, notifier, result)) return kExitFailure;
        io.err << path << ": " << ImportSummaryText(result.counts) << '\n';
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
            io.out << SlotNumberText(s) << '\n';
        }
    }
    return kExitOk;
}

} // namespace patchsmith::cli
