#pragma once
// The texts that stand for a performance in lists: the user-performance list
// line, the line of the names request, and the bank manager's slot texts.

#include "model/Bytes.h"
#include "model/PerformanceRecord.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace patchsmith {

// The 8 name characters of a common-block message (bytes 9..16) without
// leading and trailing blanks and control characters; control characters
// inside the name become blanks, so a line never breaks in a list or a file.
std::string trimmedName(std::span<const Byte> commonMessage);

// n as three decimal digits, zero-padded ("001").
std::string threeDigits(int n);

// "001  PF GrandPno": number + 1 (number taken as 0..127), two blanks,
// category abbreviation, one blank, trimmed name; the part after the two
// blanks has at most 15 characters.
std::string PerformanceLine(std::span<const Byte> commonMessage, int number);
// The line of a record, numbered by its record number byte.
std::string PerformanceLine(const PerformanceRecord& record);

// The first `count` characters of a UTF-8 text; never splits a character.
std::string utf8Prefix(std::string_view text, std::size_t count);

// The slot texts of the bank manager.
inline constexpr int kBankSlots = 128;
inline constexpr std::size_t kSlotLabelLength = 15;

// "001".."128" for slot 0..127.
std::string slotNumberText(int slot);

// The text shown for a dropped .SYX file: the file name cut to 15
// characters, without its last 4, the third character made a blank when at
// least 3 remain ("PF_GrandPno.SYX" -> "PF GrandPno").
std::string dropLabelText(std::string_view fileName);
// The bank-list entry after a drop on `slot`: "005  PF GrandPno".
std::string dropLabel(int slot, std::string_view fileName);

// The bank list's texts while the bank manager is closed.
class SlotLabels {
public:
    SlotLabels() { reset(); }
    // "001".."128".
    void reset();
    // Stores an entry cut to 15 characters; a slot outside 0..127 is ignored.
    void store(int slot, std::string_view text);
    // The text of a slot; empty outside 0..127.
    const std::string& label(int slot) const;

private:
    std::array<std::string, kBankSlots> labels_;
};

} // namespace patchsmith
