#pragma once
// The stored form of one user performance: the seven bulk-dump messages with
// user-performance addresses (70 nn 00, 70 nn 30, 70 nn 50, 7L nn 00), 317
// bytes back to back. `UserPerfBuffer` holds one of these in memory.

#include "model/Bytes.h"
#include "model/PerformanceImage.h"

#include <array>
#include <span>

namespace patchsmith {

inline constexpr int kRecordMessages = 7;
inline constexpr int kRecordBytes = 317;
inline constexpr std::array<int, kRecordMessages> kRecordMessageLengths{57, 32, 20, 52, 52, 52, 52};
inline constexpr std::array<int, kRecordMessages> kRecordMessageOffsets{0, 57, 89, 109, 161, 213, 265};
inline constexpr int kRecordNumberOffset = 7;

class PerformanceRecord {
public:
    // Message i (0 common, 1 effect, 2 controller, 3..6 layers 1..4).
    std::span<Byte> message(int i);
    std::span<const Byte> message(int i) const;

    std::span<Byte, kRecordBytes> bytes() { return bytes_; }
    std::span<const Byte, kRecordBytes> bytes() const { return bytes_; }

    // The record number byte (offset 7), as stored.
    Byte recordNumber() const { return bytes_[kRecordNumberOffset]; }

    friend bool operator==(const PerformanceRecord&, const PerformanceRecord&) = default;

private:
    std::array<Byte, kRecordBytes> bytes_{};
};

// One user performance in memory: the source of bulk kinds 12..18 and the
// destination of their answers.
using UserPerfBuffer = PerformanceRecord;

} // namespace patchsmith
