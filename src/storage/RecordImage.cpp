#include "storage/RecordImage.h"

#include "midi/MidiLink.h"
#include "model/Parameters.h"

#include <algorithm>
#include <array>

namespace patchsmith {

namespace {

struct RecordHeader {
    Byte addressHigh;
    Byte addressLow;
};

// Address high and low of the seven messages; the mid byte is the number.
constexpr std::array<RecordHeader, kRecordMessages> kRecordHeaders{{
    {0x70, 0x00},
    {0x70, 0x30},
    {0x70, 0x50},
    {0x71, 0x00},
    {0x72, 0x00},
    {0x73, 0x00},
    {0x74, 0x00},
}};

Byte clampNumber(int n) { return static_cast<Byte>(std::clamp(n, 0, 127)); }

void writeRecordHeader(std::span<Byte> message, std::size_t index, Byte number) {
    const std::size_t dataBytes = message.size() - kFramingBytes;
    message[0] = 0xF0;
    message[1] = 0x43;
    message[2] = 0x00;
    message[3] = 0x4B;
    message[4] = static_cast<Byte>((dataBytes >> 7) & 0x7F);
    message[5] = static_cast<Byte>(dataBytes & 0x7F);
    message[6] = kRecordHeaders[index].addressHigh;
    message[7] = number;
    message[8] = kRecordHeaders[index].addressLow;
    message[message.size() - 1] = 0xF7;
    message[message.size() - 2] = MidiLink::SysExChecksum(message);
}

std::span<const Byte> imageMessageFor(const PerformanceImage& image, int index) {
    switch (index) {
    case 0: return image.message(Block::Common);
    case 1: return image.message(Block::Effect);
    case 2: return image.message(Block::Controller);
    default: return image.layerMessage(index - 2);
    }
}

std::span<Byte> imageMessageFor(PerformanceImage& image, int index) {
    switch (index) {
    case 0: return image.message(Block::Common);
    case 1: return image.message(Block::Effect);
    case 2: return image.message(Block::Controller);
    default: return image.layerMessage(index - 2);
    }
}

} // namespace

PerformanceRecord makeRecordFromImage(const PerformanceImage& image, int n) {
    PerformanceRecord record;
    const Byte number = clampNumber(n);
    for (int i = 0; i < kRecordMessages; ++i) {
        std::span<Byte> out = record.message(i);
        std::span<const Byte> in = imageMessageFor(image, i);
        // The effect message is the only one shorter in the record: its
        // first 32 bytes are taken, the last two get header/checksum/F7.
        std::copy_n(in.begin(), out.size(), out.begin());
        writeRecordHeader(out, static_cast<std::size_t>(i), number);
    }
    return record;
}

void loadRecordIntoImage(const PerformanceRecord& record, PerformanceImage& image) {
    for (int i = 0; i < kRecordMessages; ++i) {
        std::span<const Byte> in = record.message(i);
        std::span<Byte> out = imageMessageFor(image, i);
        std::copy(in.begin(), in.end(), out.begin());
    }
    // The stored form has no variation sends to reverb and chorus.
    writeValue(params::VariOnRev, image, 0);
    writeValue(params::VariOnCho, image, 0);
}

void RenumberRecord(PerformanceRecord& record, int n) {
    const Byte number = clampNumber(n);
    for (int i = 0; i < kRecordMessages; ++i) {
        std::span<Byte> message = record.message(i);
        message[6] = kRecordHeaders[static_cast<std::size_t>(i)].addressHigh;
        message[7] = number;
        message[8] = kRecordHeaders[static_cast<std::size_t>(i)].addressLow;
    }
}

std::optional<int> recordSlot(const PerformanceRecord& record) {
    const int n = record.recordNumber();
    if (n > 127) return std::nullopt;
    return n;
}

} // namespace patchsmith
