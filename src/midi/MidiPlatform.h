#pragma once
// The operations the device layer needs of a MIDI system, with the result
// codes it tells apart. Implemented over RtMidi, by the built-in virtual CS1x
// and by a scripted test double.

#include "model/Bytes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace patchsmith::midi {

using MidiResult = int;
inline constexpr MidiResult MMSYSERR_NOERROR = 0;
inline constexpr MidiResult MMSYSERR_ERROR = 1;       // unspecified failure, no text of its own
inline constexpr MidiResult MMSYSERR_BADDEVICEID = 2; // no text of its own
inline constexpr MidiResult MMSYSERR_INVALHANDLE = 5;
inline constexpr MidiResult MMSYSERR_INVALPARAM = 11;
inline constexpr MidiResult MIDIERR_UNPREPARED = 64;
inline constexpr MidiResult MIDIERR_NOTREADY = 67;

// A device's name where a system reports it in a fixed field of 32
// characters: the name ends at the first NUL, and a field with no NUL gives
// an empty name (nameFromField). Systems without such a field report whole
// names.
using DeviceNameField = std::array<char, 32>;
std::string nameFromField(const DeviceNameField& field);

// Handles of open devices; 0 is never a valid handle.
using InputHandle = std::uint32_t;
using OutputHandle = std::uint32_t;

// Packs a short message: status in bits 0..7, data 1 in 8..15, data 2 in 16..23.
constexpr std::uint32_t packShort(Byte status, Byte d1, Byte d2) {
    return static_cast<std::uint32_t>(status) | (static_cast<std::uint32_t>(d1) << 8) |
           (static_cast<std::uint32_t>(d2) << 16);
}

// One incoming event of an open input: a short message or a complete
// system-exclusive message (F0 .. F7, any length).
struct MidiInputEvent {
    InputHandle input = 0;
    bool isSysEx = false;
    std::uint32_t shortMessage = 0; // packed as packShort
    std::vector<Byte> sysex;
};

// Receives the events of an open input, in arrival order, on whatever thread
// the MIDI system delivers them.
using MidiInputSink = std::function<void(MidiInputEvent)>;

// Told, on whatever thread the MIDI system finds out, that a message whose
// send call had already returned success could not be sent after all: the
// result code and the message.
using MidiSendFailureSink = std::function<void(MidiResult, std::span<const Byte>)>;

class MidiPlatform {
public:
    virtual ~MidiPlatform() = default;

    // The names of the input and output devices, in device-number order.
    virtual std::vector<std::string> inputPortNames() = 0;
    virtual std::vector<std::string> outputPortNames() = 0;

    virtual MidiResult openInput(unsigned device, MidiInputSink sink, InputHandle& handle) = 0;
    virtual MidiResult prepareInputBuffer(InputHandle handle) = 0;
    virtual MidiResult addInputBuffer(InputHandle handle) = 0;
    virtual MidiResult startInput(InputHandle handle) = 0;
    virtual MidiResult stopInput(InputHandle handle) = 0;
    virtual MidiResult resetInput(InputHandle handle) = 0;
    virtual MidiResult unprepareInputBuffer(InputHandle handle) = 0;
    virtual MidiResult closeInput(InputHandle handle) = 0;

    virtual MidiResult openOutput(unsigned device, MidiSendFailureSink onFailure, OutputHandle& handle) = 0;
    virtual MidiResult prepareOutputBuffer(OutputHandle handle) = 0;
    virtual MidiResult unprepareOutputBuffer(OutputHandle handle) = 0;
    // Sends one complete system-exclusive message. Must not lose, cut or mix
    // messages sent back to back. Fails with MIDIERR_UNPREPARED while the
    // output buffer is not prepared.
    virtual MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) = 0;
    virtual MidiResult sendShort(OutputHandle handle, std::uint32_t packed) = 0;
    virtual MidiResult closeOutput(OutputHandle handle) = 0;
};

} // namespace patchsmith::midi
