#include "model/catalog/VoiceCatalog.h"

#include "model/catalog/BankRows.h"

#include <algorithm>

namespace patchsmith {

const std::array<BankSelectEntry, kBankCount> BankSelectTable = catalog_detail::kBankRows;

std::string voiceEntryText(int bank, int program) {
    bank = std::clamp(bank, 0, kBankCount - 1);
    program = std::clamp(program, 0, kProgramCount - 1);
    const auto at = static_cast<std::size_t>(voiceEntryOffset(bank, program));
    // The length byte is never above 14 in the generated table; the clamp keeps
    // a read inside the entry whatever it says.
    const auto length = std::min<std::size_t>(VoiceNameTable[at], kVoiceEntryMaxText);
    const auto* text = reinterpret_cast<const char*>(VoiceNameTable.data() + at + 1);
    return std::string(text, length);
}

std::array<std::string, kProgramCount> voiceNames(int bank) {
    std::array<std::string, kProgramCount> names;
    for (int k = 0; k < kProgramCount; ++k) names[static_cast<std::size_t>(k)] = voiceEntryText(bank, k);
    return names;
}

std::optional<int> findBank(Byte msb, Byte lsb) {
    for (int b = 0; b < kBankCount; ++b) {
        const auto& e = BankSelectTable[static_cast<std::size_t>(b)];
        if (e.msb == msb && e.lsb == lsb) return b;
    }
    return std::nullopt;
}

int displayBank(Byte msb, Byte lsb) { return findBank(msb, lsb).value_or(kFallbackBank); }

} // namespace patchsmith
