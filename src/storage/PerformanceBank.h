#pragma once
// The bank of the bank manager: 128 slots of one PerformanceRecord each,
// filled from dropped .SYX files or loaded .PFB files and saved as a .PFB.

#include "midi/Notifier.h"
#include "model/PerformanceRecord.h"
#include "storage/FileIO.h"
#include "storage/PerformanceText.h"

#include <array>
#include <string>
#include <vector>

namespace patchsmith {

class PerformanceBank {
public:
    // A slot is occupied when its first byte is not 0 (records begin with F0).
    bool occupied(int slot) const;
    // The record in a slot (317 zero bytes when empty or outside 0..127).
    const PerformanceRecord& slot(int slot) const;
    // Puts a record into slot 0..127 as it is; false (nothing changed) for
    // any other slot.
    bool setSlot(int slot, const PerformanceRecord& record);
    // Empties slot n - 1 (n = 1..128); other values change nothing.
    void ClearSlot(int n);
    void clearAll();
    int occupiedCount() const;
    // The occupied slots' records in ascending slot order.
    std::vector<PerformanceRecord> occupiedRecords() const;

private:
    std::array<PerformanceRecord, kBankSlots> slots_{};
};

// Drops a .SYX file on a slot: "Load-Error : Unable to open file" when it
// cannot be opened (or read), "Load-Error : Wrong filesize" when it is not
// 317 bytes; otherwise its record goes into the slot, renumbered to it.
// A slot outside 0..127 changes nothing and returns false.
bool dropFileIntoSlot(const std::string& path, int slot, PerformanceBank& bank, Notifier& notifier);

// Loads a bank file: each record goes into the slot its number byte names
// (the bank is not cleared first). `loadedSlots`, when given, receives the
// slots in file order so the caller can show their PerformanceLines.
bool loadBankIntoSlots(const std::string& path, PerformanceBank& bank, Notifier& notifier,
                       std::vector<int>* loadedSlots = nullptr);

// Writes the header and every occupied slot in ascending order; on failure
// nothing is left behind (the bank manager shows "Load-Error : Unable to
// save file").
FileResult saveBank(const std::string& path, const PerformanceBank& bank);

} // namespace patchsmith
