#pragma once
#include <cstdint>

namespace patchsmith {

using Byte = std::uint8_t;

// A three-byte CS1x parameter address (high, mid, low).
struct Address {
    Byte high = 0;
    Byte mid = 0;
    Byte low = 0;
    friend bool operator==(const Address&, const Address&) = default;
};

} // namespace patchsmith
