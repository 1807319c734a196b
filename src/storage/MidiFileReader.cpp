#include "storage/MidiFileReader.h"

#include <algorithm>
#include <array>
#include <optional>

namespace patchsmith {

namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr int kMaxVlqBytes = 4; // the format allows values up to 0FFFFFFF
constexpr Byte kEndOfTrack = 0x2F;

bool tagIs(std::span<const Byte> bytes, std::size_t at, const char (&tag)[5]) {
    if (bytes.size() < at + 4) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (bytes[at + i] != static_cast<Byte>(tag[i])) return false;
    return true;
}

std::uint32_t bigEndian32(std::span<const Byte> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

int bigEndian16(std::span<const Byte> bytes, std::size_t at) { return (bytes[at] << 8) | bytes[at + 1]; }

// Reading position inside one track's data; every read checks the end.
class TrackCursor {
public:
    explicit TrackCursor(std::span<const Byte> data) : data_(data) {}

    bool atEnd() const { return pos_ >= data_.size(); }
    std::optional<Byte> peek() const {
        if (atEnd()) return std::nullopt;
        return data_[pos_];
    }
    std::optional<Byte> byte() {
        if (atEnd()) return std::nullopt;
        return data_[pos_++];
    }
    std::optional<std::uint32_t> vlq() {
        std::uint32_t value = 0;
        for (int i = 0; i < kMaxVlqBytes; ++i) {
            const auto b = byte();
            if (!b) return std::nullopt;
            value = (value << 7) | (*b & 0x7Fu);
            if ((*b & 0x80) == 0) return value;
        }
        return std::nullopt; // a fifth byte would be needed: not a valid number
    }
    // `length` bytes, or nothing when fewer are left (the length is never
    // added to the position before this test, so it cannot overflow).
    std::optional<std::span<const Byte>> take(std::uint64_t length) {
        if (length > data_.size() - pos_) return std::nullopt;
        const auto n = static_cast<std::size_t>(length);
        std::span<const Byte> out = data_.subspan(pos_, n);
        pos_ += n;
        return out;
    }

private:
    std::span<const Byte> data_;
    std::size_t pos_ = 0;
};

int channelDataBytes(Byte status) {
    const Byte kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one track's events; false when it broke off.
bool readTrack(std::span<const Byte> data, MidiFileVisitor& visitor) {
    TrackCursor in(data);
    std::uint64_t tick = 0;
    Byte running = 0;
    while (!in.atEnd()) {
        const auto delta = in.vlq();
        if (!delta) return false;
        tick += *delta;
        const auto first = in.peek();
        if (!first) return false;
        Byte status = *first;
        if (status >= 0x80) {
            in.byte();
        } else if (running != 0) {
            status = running; // running status: the data byte stays in place
        } else {
            return false;
        }

        if (status < 0xF0) {
            running = status;
            std::array<Byte, 3> message{status, 0, 0};
            const int count = channelDataBytes(status);
            for (int i = 1; i <= count; ++i) {
                const auto b = in.byte();
                if (!b || *b >= 0x80) return false;
                message[static_cast<std::size_t>(i)] = *b;
            }
            visitor.channel(tick, std::span<const Byte>(message).first(static_cast<std::size_t>(count) + 1));
        } else if (status == 0xF0 || status == 0xF7) {
            const auto length = in.vlq();
            if (!length) return false;
            const auto payload = in.take(*length);
            if (!payload) return false;
            visitor.sysEx(tick, *payload, status == 0xF7);
        } else if (status == 0xFF) {
            const auto type = in.byte();
            if (!type) return false;
            const auto length = in.vlq();
            if (!length) return false;
            const auto payload = in.take(*length);
            if (!payload) return false;
            visitor.meta(tick, *type, *payload);
            if (*type == kEndOfTrack) return true; // whatever follows is not part of the track
        } else {
            return false; // F1..F6, F8..FE have no place in a file
        }
    }
    // A track without its end-of-track event is taken as it is.
    return true;
}

} // namespace

bool looksLikeMidiFile(std::span<const Byte> bytes) { return tagIs(bytes, 0, "MThd"); }

MidiFileInfo readMidiFile(std::span<const Byte> bytes, MidiFileVisitor& visitor) {
    MidiFileInfo info;
    if (!looksLikeMidiFile(bytes)) {
        info.status = MidiFileInfo::Status::NotAMidiFile;
        return info;
    }
    if (bytes.size() < kChunkHeaderBytes) {
        info.status = MidiFileInfo::Status::BadHeader;
        return info;
    }
    const std::uint32_t headerLength = bigEndian32(bytes, 4);
    if (headerLength < 6 || headerLength > bytes.size() - kChunkHeaderBytes) {
        info.status = MidiFileInfo::Status::BadHeader;
        return info;
    }
    info.format = bigEndian16(bytes, 8);
    info.declaredTracks = bigEndian16(bytes, 10);
    info.division = bigEndian16(bytes, 12);

    std::size_t pos = kChunkHeaderBytes + headerLength;
    int track = 0;
    while (bytes.size() - pos >= kChunkHeaderBytes) {
        const bool isTrack = tagIs(bytes, pos, "MTrk");
        const std::uint64_t declared = bigEndian32(bytes, pos + 4);
        pos += kChunkHeaderBytes;
        const std::size_t left = bytes.size() - pos;
        // A chunk said to run past the end of the file holds what is there.
        const bool cut = declared > left;
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(declared, left));
        if (isTrack) {
            visitor.trackStart(track);
            const bool whole = readTrack(bytes.subspan(pos, length), visitor);
            visitor.trackEnd(track, !whole);
            ++track;
        }
        pos += length;
        if (cut) break;
    }
    // Fewer than 8 bytes after the last chunk (padding) are ignored.
    info.tracks = track;
    return info;
}

} // namespace patchsmith
