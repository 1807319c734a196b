#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"

#include <algorithm>
#include <array>

namespace patchsmith {

std::string loadErrorText(int code) {
    static constexpr std::array<std::string_view, 6> kTexts{
        "",
        "File not found",
        "Unable to open file",
        "Unable to save file",
        "Wrong filesize",
        "Not a valid Performance-bank file",
    };
    const int c = code & 0x7F;
    if (c == 0) return {};
    const std::string_view text =
        c < static_cast<int>(kTexts.size()) ? kTexts[static_cast<std::size_t>(c)] : std::string_view("Unknown error");
    return "Load-Error : " + std::string(text);
}

void ShowLoadError(int code, Notifier& notifier) {
    const std::string text = loadErrorText(code);
    if (!text.empty()) notifier.showMessage(text);
}

bool ReadPerformanceFile(const std::string& path, UserPerfBuffer& buffer, Notifier& notifier) {
    InputFile file;
    if (!file.open(path)) return false;
    if (file.size() != static_cast<std::uint64_t>(kRecordBytes)) {
        notifier.showMessage(std::string(kInvalidPerformanceFile));
        return false;
    }
    PerformanceRecord record;
    if (!file.read(record.bytes())) {
        notifier.showMessage(readErrorText(path));
        return false;
    }
    buffer = record;
    return true;
}

FileResult WritePerformanceFile(const std::string& path, const UserPerfBuffer& buffer) {
    return writeFileAtomically(path, buffer.bytes());
}

std::string skippedRecordsText(const std::string& path, int count) {
    return std::to_string(count) + (count == 1 ? " record" : " records") + " of " + path +
           " with a performance number above 128 skipped (damaged or foreign file)";
}

bool readBankFile(const std::string& path, Notifier& notifier,
                  const std::function<void(const PerformanceRecord&)>& onRecord) {
    InputFile file;
    if (!file.open(path)) return false;
    std::array<Byte, kBankHeaderBytes> header{};
    if (file.size() < static_cast<std::uint64_t>(kBankHeaderBytes)) {
        ShowLoadError(LoadError::NotABank, notifier);
        return false;
    }
    if (!file.read(header)) {
        notifier.showMessage(readErrorText(path));
        return false;
    }
    if (!std::equal(header.begin(), header.end(), kBankHeader.begin(), kBankHeader.end(),
                    [](Byte a, char b) { return a == static_cast<Byte>(b); })) {
        ShowLoadError(LoadError::NotABank, notifier);
        return false;
    }
    const std::uint64_t body = file.size() - kBankHeaderBytes;
    // More records than a bank has slots: a damaged or foreign file, which
    // must not be read (or held) whole.
    if (body % kRecordBytes != 0 || body / kRecordBytes > static_cast<std::uint64_t>(kBankSlots)) {
        ShowLoadError(LoadError::WrongFileSize, notifier);
        return false;
    }
    int skipped = 0;
    PerformanceRecord record;
    for (std::uint64_t n = body / kRecordBytes; n > 0; --n) {
        if (!file.read(record.bytes())) {
            notifier.showMessage(readErrorText(path));
            return false;
        }
        // A number byte above 127 would name a user performance, list entry
        // or slot that does not exist.
        if (record.recordNumber() > 127) {
            ++skipped;
            continue;
        }
        if (onRecord) onRecord(record);
    }
    if (skipped > 0) notifier.showMessage(skippedRecordsText(path, skipped));
    return true;
}

bool readBankFile(const std::string& path, Notifier& notifier, std::vector<PerformanceRecord>& records) {
    std::vector<PerformanceRecord> read;
    if (!readBankFile(path, notifier, [&read](const PerformanceRecord& r) { read.push_back(r); })) return false;
    records.insert(records.end(), read.begin(), read.end());
    return true;
}

FileResult writeBankFile(const std::string& path, std::span<const PerformanceRecord> records) {
    std::vector<Byte> bytes(kBankHeader.begin(), kBankHeader.end());
    bytes.reserve(kBankHeaderBytes + records.size() * kRecordBytes);
    for (const PerformanceRecord& r : records) bytes.insert(bytes.end(), r.bytes().begin(), r.bytes().end());
    return writeFileAtomically(path, bytes);
}

} // namespace patchsmith
