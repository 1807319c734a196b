#include "cli/Sources.h"

#include "cli/Commands.h"
#include "storage/DumpImport.h"
#include "storage/MidiFileReader.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>

namespace patchsmith::cli {

namespace {

// Problems of one document printed before the rest are summed up.
constexpr std::size_t kProblemsShown = 20;

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// Seven bulk dumps of the CS1x, as far as their framing goes. The storage
// readers go by size alone; a viewer should not present 317 bytes of
// something else as a performance.
bool framedAsPerformance(const PerformanceRecord& record) {
    for (int i = 0; i < kRecordMessages; ++i) {
        const std::span<const Byte> m = record.message(i);
        if (m[0] != 0xF0 || m[1] != 0x43 || m[3] != 0x4B || m[m.size() - 1] != 0xF7) return false;
    }
    return true;
}

// All performances of a file, or nothing after an error was reported.
std::optional<std::vector<PerformanceRecord>> performancesOf(const std::string& path, CliIo& io) {
    CliNotifier notifier(io);
    notifier.setFile(path);
    std::vector<PerformanceRecord> found;
    PerformanceBank bank;
    switch (kindOfFile(path)) {
    case FileKind::Unreadable: ShowLoadError(LoadError::UnableToOpen, notifier); return std::nullopt;
    case FileKind::Performance: {
        UserPerfBuffer record;
        if (!ReadPerformanceFile(path, record, notifier)) {
            if (notifier.count() == 0) ShowLoadError(LoadError::UnableToOpen, notifier);
            return std::nullopt;
        }
        if (!framedAsPerformance(record)) {
            io.fileError(path, kInvalidPerformanceFile);
            return std::nullopt;
        }
        found.push_back(record);
        return found;
    }
    case FileKind::Json: {
        const auto document = readPerformanceJsonFile(path, io);
        if (!document) return std::nullopt;
        found.push_back(makeRecordFromImage(document->image, document->number.value_or(1) - 1));
        return found;
    }
    case FileKind::Bank:
        if (!loadBankIntoSlots(path, bank, notifier)) {
            if (notifier.count() == 0) ShowLoadError(LoadError::UnableToOpen, notifier);
            return std::nullopt;
        }
        break;
    case FileKind::Dump: {
        ImportResult result;
        if (!importDumpFile(path, bank, notifier, result)) return std::nullopt;
        // Skipped messages may be why a performance is missing.
        if (result.counts.foreign > 0 || result.counts.damaged > 0)
            io.err << path << ": " << importSummaryText(result.counts) << '\n';
        if (result.counts.imported == 0) {
            io.fileError(path, kInvalidPerformanceFile);
            return std::nullopt;
        }
        break;
    }
    }
    for (int s = 0; s < kBankSlots; ++s)
        if (bank.occupied(s)) found.push_back(bank.slot(s));
    return found;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

} // namespace

FileKind kindOfFile(const std::string& path) {
    InputFile file;
    if (!file.open(path)) return FileKind::Unreadable;
    std::array<Byte, 64> head{};
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), head.size()));
    if (!file.read(std::span<Byte>(head).first(n))) return FileKind::Unreadable;
    const std::span<const Byte> start = std::span<const Byte>(head).first(n);
    const bool bankHeader =
        n >= kBankHeader.size() && std::equal(kBankHeader.begin(), kBankHeader.end(), head.begin(),
                                              [](char a, Byte b) { return static_cast<Byte>(a) == b; });
    if (bankHeader || lowerExtension(path) == ".pfb") return FileKind::Bank;
    const auto first = std::find_if(start.begin(), start.end(),
                                    [](Byte b) { return b != ' ' && b != '\t' && b != '\r' && b != '\n'; });
    if ((first != start.end() && *first == '{') || lowerExtension(path) == ".json") return FileKind::Json;
    if (file.size() == static_cast<std::uint64_t>(kRecordBytes) && !looksLikeMidiFile(start))
        return FileKind::Performance;
    return FileKind::Dump;
}

std::optional<JsonPerformance> readPerformanceJsonFile(const std::string& path, CliIo& io) {
    InputFile file;
    if (!file.open(path)) {
        io.fileError(path, loadErrorText(LoadError::UnableToOpen));
        return std::nullopt;
    }
    if (file.size() > kMaxPerformanceJsonBytes) {
        io.fileError(path, "too large for a performance document (at most " +
                               std::to_string(kMaxPerformanceJsonBytes / 1024) + " kB)");
        return std::nullopt;
    }
    std::vector<Byte> bytes(static_cast<std::size_t>(file.size()));
    if (!file.read(bytes)) {
        io.fileError(path, loadErrorText(LoadError::UnableToOpen));
        return std::nullopt;
    }
    std::vector<std::string> problems;
    auto document =
        readPerformanceJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), problems);
    for (std::size_t k = 0; k < std::min(problems.size(), kProblemsShown); ++k) io.fileError(path, problems[k]);
    if (problems.size() > kProblemsShown)
        io.fileError(path, "... and " + std::to_string(problems.size() - kProblemsShown) + " more problems");
    return document;
}

PerformanceSource readPerformanceSource(const std::string& operand, CliIo& io) {
    PerformanceSource source;
    std::string path = operand;
    std::optional<int> number;
    // FILE:N, unless a file has that very name.
    std::error_code ec;
    const std::size_t colon = operand.rfind(':');
    if (colon != std::string::npos && colon > 0 && allDigits(std::string_view(operand).substr(colon + 1)) &&
        !std::filesystem::exists(operand, ec)) {
        path = operand.substr(0, colon);
        number = parsePerformanceNumber(std::string_view(operand).substr(colon + 1));
        if (!number) {
            source.status = PerformanceSource::Status::UsageError;
            source.usageError = "'" + operand + "': the performance number must be 1..128";
            return source;
        }
    }
    const auto found = performancesOf(path, io);
    if (!found) {
        source.status = PerformanceSource::Status::FileError;
        return source;
    }
    if (number) {
        const auto it = std::find_if(found->begin(), found->end(),
                                     [&](const PerformanceRecord& r) { return r.recordNumber() == *number - 1; });
        if (it == found->end()) {
            io.fileError(path, "no performance " + slotNumberText(*number - 1));
            source.status = PerformanceSource::Status::FileError;
            return source;
        }
        source.record = *it;
        return source;
    }
    if (found->size() != 1) {
        io.fileError(path, found->empty() ? std::string("holds no performance")
                                          : "holds " + std::to_string(found->size()) +
                                                " performances: name one as FILE:N (N = 1..128)");
        source.status = PerformanceSource::Status::FileError;
        return source;
    }
    source.record = found->front();
    return source;
}

} // namespace patchsmith::cli
