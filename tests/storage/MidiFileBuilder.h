#pragma once
// Builds Standard MIDI Files byte by byte for the import tests: header and
// track chunks, delta times, channel messages with or without running
// status, meta events, and SysEx messages as one F0 event or split into an
// F0 packet and F7 continuation packets.

#include "model/Bytes.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace patchsmith::test {

using ByteVector = std::vector<Byte>;

inline void putVlq(ByteVector& out, std::uint32_t value) {
    Byte groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<Byte>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1) out.push_back(static_cast<Byte>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

inline void put32(ByteVector& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<Byte>((v >> shift) & 0xFF));
}

inline void put16(ByteVector& out, unsigned v) {
    out.push_back(static_cast<Byte>((v >> 8) & 0xFF));
    out.push_back(static_cast<Byte>(v & 0xFF));
}

// One track's event data (without its chunk header).
class TrackBuilder {
public:
    TrackBuilder& delta(std::uint32_t ticks) {
        putVlq(data_, ticks);
        return *this;
    }
    // Raw bytes after a delta time (a channel message, with or without status).
    TrackBuilder& bytes(std::initializer_list<Byte> b) {
        data_.insert(data_.end(), b.begin(), b.end());
        return *this;
    }
    TrackBuilder& meta(Byte type, std::span<const Byte> payload) {
        data_.push_back(0xFF);
        data_.push_back(type);
        putVlq(data_, static_cast<std::uint32_t>(payload.size()));
        data_.insert(data_.end(), payload.begin(), payload.end());
        return *this;
    }
    TrackBuilder& tempo(std::uint32_t microsecondsPerQuarter) {
        const Byte t[3] = {static_cast<Byte>(microsecondsPerQuarter >> 16),
                           static_cast<Byte>(microsecondsPerQuarter >> 8), static_cast<Byte>(microsecondsPerQuarter)};
        return meta(0x51, t);
    }
    TrackBuilder& endOfTrack() { return meta(0x2F, {}); }
    // An event `status` (F0 or F7) carrying `payload` after its length.
    TrackBuilder& sysExEvent(Byte status, std::span<const Byte> payload) {
        data_.push_back(status);
        putVlq(data_, static_cast<std::uint32_t>(payload.size()));
        data_.insert(data_.end(), payload.begin(), payload.end());
        return *this;
    }
    // A whole message F0 ... F7 as one F0 event (delta 0 before it is the caller's).
    TrackBuilder& sysEx(std::span<const Byte> message) { return sysExEvent(0xF0, message.subspan(1)); }
    // The message cut into packets of `packet` bytes: an F0 event with the
    // first, F7 events with the rest, `gap` ticks apart.
    TrackBuilder& splitSysEx(std::span<const Byte> message, std::size_t packet, std::uint32_t gap) {
        std::span<const Byte> rest = message.subspan(1);
        bool first = true;
        while (!rest.empty()) {
            const std::size_t n = std::min(packet, rest.size());
            if (!first) delta(gap);
            sysExEvent(first ? 0xF0 : 0xF7, rest.first(n));
            rest = rest.subspan(n);
            first = false;
        }
        return *this;
    }
    const ByteVector& data() const { return data_; }

private:
    ByteVector data_;
};

inline ByteVector midiHeader(unsigned format, unsigned tracks, unsigned division = 480) {
    ByteVector out{'M', 'T', 'h', 'd'};
    put32(out, 6);
    put16(out, format);
    put16(out, tracks);
    put16(out, division);
    return out;
}

inline void appendChunk(ByteVector& out, const char (&tag)[5], const ByteVector& data) {
    out.insert(out.end(), tag, tag + 4);
    put32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

inline ByteVector midiFile(unsigned format, std::initializer_list<const TrackBuilder*> tracks) {
    ByteVector out = midiHeader(format, static_cast<unsigned>(tracks.size()));
    for (const TrackBuilder* t : tracks) appendChunk(out, "MTrk", t->data());
    return out;
}

} // namespace patchsmith::test
