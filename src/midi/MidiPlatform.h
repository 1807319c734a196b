#pragma once
// The operations the device layer needs of a MIDI system, in RtMidi's shape:
// list the ports, open an input with a callback, open an output, send bytes,
// close. Failures are told by the result codes the device layer tells apart.
// Implemented over RtMidi, by the built-in virtual CS1x, by several systems
// merged into one and by a scripted test double.

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

// Handles of open ports; 0 is never a valid handle.
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
// the MIDI system delivers them, from the open until the close returns.
using MidiInputSink = std::function<void(MidiInputEvent)>;

// Told, on whatever thread the MIDI system finds out, that a message whose
// send call had already returned success could not be sent after all: the
// result code and the message.
using MidiSendFailureSink = std::function<void(MidiResult, std::span<const Byte>)>;

class MidiPlatform {
public:
    virtual ~MidiPlatform() = default;

    // The names of the ports there are now, in port-number order. Callable
    // from any thread, also while another thread opens, sends or closes.
    virtual std::vector<std::string> inputPortNames() = 0;
    virtual std::vector<std::string> outputPortNames() = 0;
    // Whether there is at least one port of that direction. A system that
    // is slow to ask may stop at the first part that has one.
    virtual bool hasPorts(bool inputs) { return !(inputs ? inputPortNames() : outputPortNames()).empty(); }

    // Open the port that a list showed at number `port` under `name`; when
    // the ports have changed since, the port of that name (the last, should
    // there be several). MMSYSERR_BADDEVICEID when there is none (see
    // resolvePort).
    virtual MidiResult openInput(unsigned port, const std::string& name, MidiInputSink sink, InputHandle& handle) = 0;
    virtual MidiResult openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                                  OutputHandle& handle) = 0;

    // Sends one complete system-exclusive message (F0 .. F7). Must not
    // lose, cut or mix messages sent back to back; the caller may reuse its
    // bytes at once.
    virtual MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) = 0;
    // Sends one short message, packed as packShort.
    virtual MidiResult sendShort(OutputHandle handle, std::uint32_t packed) = 0;

    // Once closeInput returns, the input's sink is not called any more
    // (unless the close comes from inside the sink itself).
    virtual MidiResult closeInput(InputHandle handle) = 0;
    virtual MidiResult closeOutput(OutputHandle handle) = 0;
};

// The port an open call means: `port` when the list still shows `name`
// there, else the last port of that name; -1 when there is none. Without a
// name (a caller that never read the list), `port` as it is.
inline int resolvePort(const std::vector<std::string>& names, unsigned port, const std::string& name) {
    if (port < names.size() && (names[port] == name || name.empty())) return static_cast<int>(port);
    if (name.empty()) return -1;
    for (std::size_t i = names.size(); i-- > 0;)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

} // namespace patchsmith::midi
