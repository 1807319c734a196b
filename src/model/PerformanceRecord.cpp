#include "model/PerformanceRecord.h"

namespace patchsmith {

std::span<Byte> PerformanceRecord::message(int i) {
    if (i < 0 || i >= kRecordMessages) i = 0;
    const auto k = static_cast<std::size_t>(i);
    return std::span<Byte>(bytes_).subspan(static_cast<std::size_t>(kRecordMessageOffsets[k]),
                                           static_cast<std::size_t>(kRecordMessageLengths[k]));
}

std::span<const Byte> PerformanceRecord::message(int i) const {
    if (i < 0 || i >= kRecordMessages) i = 0;
    const auto k = static_cast<std::size_t>(i);
    return std::span<const Byte>(bytes_).subspan(static_cast<std::size_t>(kRecordMessageOffsets[k]),
                                                 static_cast<std::size_t>(kRecordMessageLengths[k]));
}

} // namespace patchsmith
