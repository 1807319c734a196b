#pragma once
// A reader of Standard MIDI Files (format 0, 1 and 2): the header chunk and
// the events of each track, handed to a visitor with their absolute tick.
// It never reads past the data it is given: a chunk length beyond the end, a
// length or delta time past the end of a track, an over-long variable-length
// number or an unknown status byte end that track, which is then reported
// as broken; the other tracks are still read.

#include "model/Bytes.h"

#include <cstdint>
#include <span>

namespace patchsmith {

class MidiFileVisitor {
public:
    virtual ~MidiFileVisitor() = default;
    virtual void trackStart(int /*track*/) {}
    // An F0 event (`escape` false: `data` follows the F0 and usually ends in
    // F7, or is the first packet of a message continued by F7 events) or an
    // F7 event (`escape` true: a continuation packet, or bytes sent as they
    // are).
    virtual void sysEx(std::uint64_t tick, std::span<const Byte> data, bool escape) = 0;
    // A channel message, running status already resolved: status, then 1 or
    // 2 data bytes.
    virtual void channel(std::uint64_t /*tick*/, std::span<const Byte> /*message*/) {}
    virtual void meta(std::uint64_t /*tick*/, Byte /*type*/, std::span<const Byte> /*data*/) {}
    // `broken`: the track ended inside an event or at bytes that are not one.
    virtual void trackEnd(int /*track*/, bool /*broken*/) {}
};

struct MidiFileInfo {
    enum class Status {
        Ok,
        NotAMidiFile, // does not begin with "MThd"
        BadHeader,    // header chunk shorter than 6 bytes or cut off
    };
    Status status = Status::Ok;
    int format = 0;
    int declaredTracks = 0; // as the header says
    int tracks = 0;         // "MTrk" chunks found and read
    int division = 0;
    bool ok() const { return status == Status::Ok; }
};

// True when `bytes` begin like a Standard MIDI File.
bool looksLikeMidiFile(std::span<const Byte> bytes);

// Reads the header and every "MTrk" chunk in file order; other chunks are
// skipped. Tracks are reported one after another, each from trackStart to
// trackEnd; the visitor sorts by tick when it needs the playing order.
MidiFileInfo readMidiFile(std::span<const Byte> bytes, MidiFileVisitor& visitor);

} // namespace patchsmith
