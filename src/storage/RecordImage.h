#pragma once
// Conversions between a stored user performance (PerformanceRecord) and the
// editor's image of the current performance.

#include "model/PerformanceImage.h"
#include "model/PerformanceRecord.h"

#include <optional>

namespace patchsmith {

// Builds a record for user performance n (clamped to 0..127) from the image:
// user-performance headers with device 0, n in every address mid byte, F7
// and fresh checksums. The record's effect block holds the first 21 effect
// data bytes, so the image's effect data bytes 21 and 22 are not stored.
PerformanceRecord makeRecordFromImage(const PerformanceImage& image, int n);

// Copies the seven messages of a record into the image: the 32-byte effect
// message over the first 32 bytes of the image's effect message, whose data
// bytes 21 and 22 then become 0.
void loadRecordIntoImage(const PerformanceRecord& record, PerformanceImage& image);

// Makes a record belong to user performance n (clamped to 0..127) by writing
// its seven address triples; the checksums stay as they are.
void RenumberRecord(PerformanceRecord& record, int n);

// The user performance a record belongs to, or nothing when its number byte
// is above 127 (a damaged or foreign record).
std::optional<int> recordSlot(const PerformanceRecord& record);

} // namespace patchsmith
