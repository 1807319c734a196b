#pragma once
// The MIDI system of the running program, over RtMidi: every API RtMidi was
// built with (ALSA and JACK on Linux, WinMM on Windows, CoreMIDI on macOS)
// contributes its ports to one list per direction. An API that cannot be
// used on this machine (no sequencer device, no JACK server) simply adds no
// devices.
//
// Opening, sending and closing are meant to be called from one thread (the
// GUI thread), listing from any; input events are delivered on RtMidi's own
// thread.

#include "midi/MidiPlatform.h"

#include <RtMidi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace patchsmith::midi {

// The name under which the device list shows a port: RtMidi's whole name,
// without the device number RtMidi appends to WinMM's names (it tells only
// the position in the list). ALSA's "client:port" numbers stay: they tell
// apart the ports of two identical interfaces; the device layer finds a
// stored name again when they change.
std::string normalizeDeviceName(RtMidi::Api api, const std::string& rtmidiName);

// The result code for an error RtMidi reports.
MidiResult resultFromRtMidiError(RtMidiError::Type type);

// Number of bytes of the short message with this status (0 for statuses that
// do not begin a short message: data bytes, F0, F7).
unsigned shortMessageLength(Byte status);

// Turns a message RtMidi delivered into an event of the given input: a whole
// SysEx message (F0, 7-bit data, F7) as it is, anything else of 1..3 bytes
// packed; nothing for anything else.
std::optional<MidiInputEvent> eventFromMessage(InputHandle input, const std::vector<unsigned char>& message);

class RtMidiPlatform : public MidiPlatform {
public:
    // Sends are queued per output and handed to RtMidi by a thread of the
    // output, in order: RtMidi's JACK output waits without limit while its
    // own queue is full, which must never hang the caller. A send that finds
    // the queue full waits while the driver makes progress and gives up with
    // MIDIERR_NOTREADY once the driver has taken nothing for this long.
    static constexpr int kSendWaitMs = 1000;
    static constexpr std::size_t kQueueBytes = 65536;
    // The longest SysEx message: RtMidi's JACK output drops anything that
    // does not fit its 16384-byte queue (4 bytes of which carry the length).
    static constexpr std::size_t kMaxLongMessageBytes = 16379;
    // Pace of the output thread, counted in bytes of JACK's MIDI port buffer
    // (message plus 12 bytes of event header). RtMidi's JACK output moves
    // everything queued into that 32 KB buffer once per cycle, also what is
    // written while it is doing so, and silently drops what does not fit.
    // Far above what a MIDI cable carries, so no other API notices it.
    static constexpr std::size_t kPaceBytesPerMs = 2048;
    static constexpr std::size_t kPaceBurstBytes = 2048;

    RtMidiPlatform();
    ~RtMidiPlatform() override;
    RtMidiPlatform(const RtMidiPlatform&) = delete;
    RtMidiPlatform& operator=(const RtMidiPlatform&) = delete;

    // Listed afresh on every call, from any thread.
    std::vector<std::string> inputPortNames() override;
    std::vector<std::string> outputPortNames() override;
    // JACK is asked last, and only when no other API has a port: looking at
    // JACK's ports makes this process a client of the JACK server.
    bool hasPorts(bool inputs) override;

    MidiResult openInput(unsigned port, const std::string& name, MidiInputSink sink, InputHandle& handle) override;
    MidiResult openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                          OutputHandle& handle) override;
    MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) override;
    MidiResult sendShort(OutputHandle handle, std::uint32_t packed) override;
    MidiResult closeInput(InputHandle handle) override;
    MidiResult closeOutput(OutputHandle handle) override;

    struct ErrorLog;
    struct InputState;
    struct Sender;

    struct Port {
        RtMidi::Api api = RtMidi::UNSPECIFIED;
        std::string rtmidiName; // as RtMidi lists it, to find the port again when opening
        std::string name;       // as the device list shows it
    };

private:
    // The ports of every API, as they are now; with `firstApiOnly`, those of
    // the first API that has any, JACK after all others.
    static std::vector<Port> listPorts(bool inputs, bool firstApiOnly = false);

    struct OpenInput {
        std::unique_ptr<ErrorLog> errors;
        std::shared_ptr<InputState> state;
        std::unique_ptr<RtMidiIn> in;
        RtMidi::Api api = RtMidi::UNSPECIFIED;
        unsigned server = 0; // the JACK server it was opened on (see closeInput)
    };
    // Gives up an input whose JACK server has gone: see closeInput.
    static void abandon(OpenInput input);
    struct OpenOutput {
        std::shared_ptr<Sender> sender;
    };

    std::map<InputHandle, OpenInput> openInputs_;
    std::map<OutputHandle, OpenOutput> openOutputs_;
    std::uint32_t nextHandle_ = 1;
};

} // namespace patchsmith::midi
