#include "storage/PerformanceBank.h"

#include "storage/PerformanceFiles.h"
#include "storage/RecordImage.h"

namespace patchsmith {

namespace {
bool inRange(int slot) { return slot >= 0 && slot < kBankSlots; }
} // namespace

bool PerformanceBank::occupied(int slot) const {
    return inRange(slot) && slots_[static_cast<std::size_t>(slot)].bytes()[0] != 0;
}

const PerformanceRecord& PerformanceBank::slot(int slot) const {
    static const PerformanceRecord kEmpty{};
    return inRange(slot) ? slots_[static_cast<std::size_t>(slot)] : kEmpty;
}

bool PerformanceBank::setSlot(int slot, const PerformanceRecord& record) {
    if (!inRange(slot)) return false;
    slots_[static_cast<std::size_t>(slot)] = record;
    return true;
}

void PerformanceBank::ClearSlot(int n) {
    if (n < 1 || n > kBankSlots) return;
    slots_[static_cast<std::size_t>(n - 1)] = PerformanceRecord{};
}

void PerformanceBank::clearAll() {
    for (int n = 1; n <= kBankSlots; ++n) ClearSlot(n);
}

int PerformanceBank::occupiedCount() const {
    int count = 0;
    for (int s = 0; s < kBankSlots; ++s) count += occupied(s) ? 1 : 0;
    return count;
}

std::vector<PerformanceRecord> PerformanceBank::occupiedRecords() const {
    std::vector<PerformanceRecord> records;
    for (int s = 0; s < kBankSlots; ++s)
        if (occupied(s)) records.push_back(slots_[static_cast<std::size_t>(s)]);
    return records;
}

bool dropFileIntoSlot(const std::string& path, int slot, PerformanceBank& bank, Notifier& notifier) {
    if (!inRange(slot)) return false;
    InputFile file;
    if (!file.open(path)) {
        ShowLoadError(LoadError::UnableToOpen, notifier);
        return false;
    }
    if (file.size() != static_cast<std::uint64_t>(kRecordBytes)) {
        ShowLoadError(LoadError::WrongFileSize, notifier);
        return false;
    }
    PerformanceRecord record;
    if (!file.read(record.bytes())) {
        ShowLoadError(LoadError::UnableToOpen, notifier);
        return false;
    }
    RenumberRecord(record, slot);
    bank.setSlot(slot, record);
    return true;
}

bool loadBankIntoSlots(const std::string& path, PerformanceBank& bank, Notifier& notifier,
                       std::vector<int>* loadedSlots) {
    return readBankFile(path, notifier, [&](const PerformanceRecord& record) {
        // readBankFile hands out numbers 0..127 only; setSlot checks again.
        const int slot = record.recordNumber();
        if (bank.setSlot(slot, record) && loadedSlots) loadedSlots->push_back(slot);
    });
}

FileResult saveBank(const std::string& path, const PerformanceBank& bank) {
    const std::vector<PerformanceRecord> records = bank.occupiedRecords();
    return writeBankFile(path, records);
}

} // namespace patchsmith
