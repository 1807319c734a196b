#pragma once
// Answers as the CS1x sends them: bulk dumps carrying the address of the
// block a request named. Written out here rather than taken from the code
// under test, so that a wrong address there shows.

#include "model/Bytes.h"

#include <cstddef>
#include <vector>

namespace patchsmith::test {

// The bulk dump answering a request of `kind` (5..18; user kinds for user
// performance `userPerf`): device 0, the block's byte count and address,
// `fill` in every data byte, a valid checksum and F7. A `length` other than
// 0 (11 or more) gives a dump of that many bytes with the same header.
inline std::vector<Byte> bulkAnswer(int kind, Byte fill, int userPerf = 0, std::size_t length = 0) {
    Byte high = 0x60, mid = 0x00, low = 0x00;
    int data = 0;
    const auto nn = static_cast<Byte>(userPerf);
    switch (kind) {
    case 5: data = 46; break;
    case 6:
        data = 23;
        low = 0x30;
        break;
    case 7:
        data = 9;
        low = 0x50;
        break;
    case 8:
    case 9:
    case 10:
    case 11:
        data = 41;
        mid = static_cast<Byte>(kind - 7);
        break;
    case 12:
        data = 46;
        high = 0x70;
        mid = nn;
        break;
    case 13:
        data = 21;
        high = 0x70;
        mid = nn;
        low = 0x30;
        break;
    case 14:
        data = 9;
        high = 0x70;
        mid = nn;
        low = 0x50;
        break;
    default:
        data = 41;
        high = static_cast<Byte>(0x70 + kind - 14);
        mid = nn;
        break;
    }
    std::vector<Byte> m{0xF0, 0x43, 0x00, 0x4B, 0x00, static_cast<Byte>(data), high, mid, low};
    m.resize(static_cast<std::size_t>(data) + 11, fill);
    if (length != 0) m.resize(length, fill);
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < m.size(); ++i) sum += m[i];
    m[m.size() - 2] = static_cast<Byte>((128 - sum % 128) % 128);
    m.back() = 0xF7;
    return m;
}

// The universal identity reply of the CS1x (15 bytes).
inline std::vector<Byte> identityReply() {
    return {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0x00, 0x00, 0x4B, 0x00, 0x00, 0x00, 0x01, 0x01, 0xF7};
}

} // namespace patchsmith::test
