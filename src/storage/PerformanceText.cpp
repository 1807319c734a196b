#include "storage/PerformanceText.h"

#include "model/Names.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cstdio>

namespace patchsmith {

namespace {

// Message bytes of the name and the category in a common-block message.
const std::size_t kNameOffset = messageOffset(params::PerformanceName);
constexpr std::size_t kNameLength = patchsmith::kNameLength;
const std::size_t kCategoryOffset = messageOffset(params::PerformanceType);

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The 8 name bytes with control characters turned into blanks; missing
// bytes of a short message count as blanks.
std::string rawName(std::span<const Byte> commonMessage) {
    std::string name(kNameLength, ' ');
    for (std::size_t i = 0; i < kNameLength; ++i) {
        if (kNameOffset + i >= commonMessage.size()) break;
        const Byte c = commonMessage[kNameOffset + i];
        name[i] = isControl(c) ? ' ' : static_cast<char>(c);
    }
    return name;
}

std::string_view abbreviationOf(std::span<const Byte> commonMessage) {
    return categoryAbbreviation(commonMessage.size() > kCategoryOffset ? commonMessage[kCategoryOffset] : 0);
}

} // namespace

std::string trimmedName(std::span<const Byte> commonMessage) {
    const std::string name = rawName(commonMessage);
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1);
}

std::string threeDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::string PerformanceLine(std::span<const Byte> commonMessage, int number) {
    std::string rest(abbreviationOf(commonMessage));
    rest += ' ';
    rest += trimmedName(commonMessage);
    rest.resize(std::min<std::size_t>(rest.size(), 15));
    return threeDigits((number & 0x7F) + 1) + "  " + rest;
}

std::string PerformanceLine(const PerformanceRecord& record) {
    return PerformanceLine(record.message(0), record.recordNumber());
}

std::string utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool continuation = (c & 0xC0) == 0x80;
        if (!continuation) {
            if (chars == count) return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

std::string slotNumberText(int slot) { return threeDigits(std::clamp(slot, 0, kBankSlots - 1) + 1); }

std::string dropLabelText(std::string_view fileName) {
    std::string text = utf8Prefix(fileName, 15);
    // Drop the extension's four characters, counted as characters.
    std::size_t chars = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    text = chars > 4 ? utf8Prefix(text, chars - 4) : std::string();
    if (chars >= 4 + 3) {
        // The third character's bytes become one blank.
        const std::string head = utf8Prefix(text, 2);
        const std::string withThird = utf8Prefix(text, 3);
        text = head + " " + text.substr(withThird.size());
    }
    return text;
}

std::string dropLabel(int slot, std::string_view fileName) {
    return slotNumberText(slot) + "  " + dropLabelText(fileName);
}

void SlotLabels::reset() {
    for (int s = 0; s < kBankSlots; ++s) labels_[static_cast<std::size_t>(s)] = slotNumberText(s);
}

void SlotLabels::store(int slot, std::string_view text) {
    if (slot < 0 || slot >= kBankSlots) return;
    labels_[static_cast<std::size_t>(slot)] = utf8Prefix(text, kSlotLabelLength);
}

const std::string& SlotLabels::label(int slot) const {
    static const std::string kNone;
    if (slot < 0 || slot >= kBankSlots) return kNone;
    return labels_[static_cast<std::size_t>(slot)];
}

} // namespace patchsmith
