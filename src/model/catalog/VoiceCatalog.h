#pragma once
// The voice catalogue: the 58 banks of the PatchBankNumber box with their
// bank-select pairs, and the 128 voice names of each bank. The names are
// generated at build time from the published voice lists.

#include "model/Bytes.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace patchsmith {

struct BankSelectEntry {
    std::string_view text; // row text of the bank box
    Byte msb;
    Byte lsb;
};

inline constexpr int kBankCount = 58;
// Bank shown when a layer's bank-select pair is in no entry (the drum kits).
inline constexpr int kFallbackBank = kBankCount - 1;
inline constexpr int kProgramCount = 128;

extern const std::array<BankSelectEntry, kBankCount> BankSelectTable;

// Entry format of VoiceNameTable: one length byte (0..14) followed by that
// many characters, padded with zero bytes to 15; 128 entries per bank.
inline constexpr int kVoiceEntryBytes = 15;
inline constexpr int kVoiceEntryMaxText = kVoiceEntryBytes - 1;
inline constexpr int kBankBytes = kProgramCount * kVoiceEntryBytes; // 1920
inline constexpr int kVoiceNameMaxLength = 10;                      // "001 " + name fills 14
inline constexpr std::string_view kNoVoiceName = "--";

extern const std::array<Byte, kBankCount * kBankBytes> VoiceNameTable;

// Byte offset of entry `program` of bank `bank` in VoiceNameTable.
constexpr int voiceEntryOffset(int bank, int program) { return bank * kBankBytes + program * kVoiceEntryBytes; }

// The list text of one program: "001 GrandPno", "009 --". A bank outside
// 0..57 or a program outside 0..127 is clamped into range.
std::string voiceEntryText(int bank, int program);
// The 128 entry texts of a bank, in program order (bank clamped as above).
std::array<std::string, kProgramCount> voiceNames(int bank);

// The first bank 0..57 whose pair equals (msb, lsb).
std::optional<int> findBank(Byte msb, Byte lsb);
// The bank whose names are shown for a pair: findBank, or 57 when none.
int displayBank(Byte msb, Byte lsb);

} // namespace patchsmith
