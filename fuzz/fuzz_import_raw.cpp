// Fuzz target: the raw SysEx reader of the dump import, and the placing of
// what it finds into a bank. Aborts when a found performance is not one a
// bank may hold.

#include "storage/DumpImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

using namespace patchsmith;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const Byte> bytes(data, size);
    const DumpScan scan = scanRawSysEx(bytes);
    require(scan.foreign >= 0 && scan.damaged >= 0);
    // Every whole performance takes at least its seven messages.
    require(scan.performances.size() * static_cast<std::size_t>(kRecordBytes) <= size);
    for (const FoundPerformance& p : scan.performances) {
        if (!p.number) continue;
        require(*p.number >= 0 && *p.number <= 127);
        for (int i = 0; i < kRecordMessages; ++i) {
            const auto m = p.record.message(i);
            require(m.front() == 0xF0 && m.back() == 0xF7 && m[7] == *p.number);
            for (std::size_t k = 1; k + 1 < m.size(); ++k) require(m[k] < 0x80);
        }
    }
    PerformanceBank bank;
    const ImportResult result = placeIntoBank(scan, bank);
    require(result.counts.imported + result.counts.noFreeSlot == static_cast<int>(scan.performances.size()));
    for (const int slot : result.filledSlots) require(slot >= 0 && slot < kBankSlots && bank.occupied(slot));
    return 0;
}
