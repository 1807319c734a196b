#pragma once
// The MIDI system of the running program, over RtMidi: every API RtMidi was
// built with (ALSA and JACK on Linux, WinMM on Windows, CoreMIDI on macOS)
// contributes its ports to one list per direction. An API that cannot be
// used on this machine (no sequencer device, no JACK server) simply adds no
// devices.
//
// All operations are meant to be called from one thread (the GUI thread);
// input events are delivered on RtMidi's own thread.

#include "midi/MidiPlatform.h"

#include <RtMidi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace patchsmith::midi {

// The name under which the device list shows a port: RtMidi's name without
// the numbers that change from run to run (ALSA's " client:port", WinMM's
// appended device number), so that a stored name finds the device again.
std::string normalizeDeviceName(RtMidi::Api api, const std::string& rtmidiName);

// Copies a name into a device name field: at most 31 bytes, cut on a UTF-8
// character boundary, NUL-terminated, the rest NUL.
void fillDeviceNameField(const std::string& name, DeviceNameField& field);

// The result code for an error RtMidi reports.
MidiResult resultFromRtMidiError(RtMidiError::Type type);

// Number of bytes of the short message with this status (0 for statuses that
// do not begin a short message: data bytes, F0, F7).
unsigned shortMessageLength(Byte status);

// Turns a message RtMidi delivered into an event of the given input: SysEx
// whole, anything else of 1..3 bytes packed; nothing for anything else.
std::optional<MidiInputEvent> eventFromMessage(InputHandle input, const std::vector<unsigned char>& message);

class RtMidiPlatform : public MidiPlatform {
public:
    // How long a send may wait for room in a full output queue before it
    // gives up with MIDIERR_NOTREADY.
    static constexpr int kSendWaitMs = 3000;

    // Enumerates the devices at once.
    RtMidiPlatform();
    ~RtMidiPlatform() override;
    RtMidiPlatform(const RtMidiPlatform&) = delete;
    RtMidiPlatform& operator=(const RtMidiPlatform&) = delete;

    // Reads the device lists anew. Device numbers given out before may then
    // name other devices; open devices stay open.
    void rescan();

    unsigned inputDeviceCount() override;
    unsigned outputDeviceCount() override;
    MidiResult inputDeviceName(unsigned device, DeviceNameField& name) override;
    MidiResult outputDeviceName(unsigned device, DeviceNameField& name) override;

    MidiResult openInput(unsigned device, MidiInputSink sink, InputHandle& handle) override;
    MidiResult prepareInputBuffer(InputHandle handle) override;
    MidiResult addInputBuffer(InputHandle handle) override;
    MidiResult startInput(InputHandle handle) override;
    MidiResult stopInput(InputHandle handle) override;
    MidiResult resetInput(InputHandle handle) override;
    MidiResult unprepareInputBuffer(InputHandle handle) override;
    MidiResult closeInput(InputHandle handle) override;

    MidiResult openOutput(unsigned device, OutputHandle& handle) override;
    MidiResult prepareOutputBuffer(OutputHandle handle) override;
    MidiResult unprepareOutputBuffer(OutputHandle handle) override;
    MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) override;
    MidiResult sendShort(OutputHandle handle, std::uint32_t packed) override;
    MidiResult closeOutput(OutputHandle handle) override;

    struct ErrorLog;
    struct InputState;

private:
    struct Port {
        RtMidi::Api api = RtMidi::UNSPECIFIED;
        std::string rtmidiName; // as RtMidi lists it, to find the port again when opening
        std::string name;       // as the device list shows it
    };
    struct OpenInput {
        std::unique_ptr<ErrorLog> errors;
        std::shared_ptr<InputState> state;
        std::unique_ptr<RtMidiIn> in;
        bool prepared = false;
    };
    struct OpenOutput {
        std::unique_ptr<ErrorLog> errors;
        std::unique_ptr<RtMidiOut> out;
        bool prepared = false;
    };

    MidiResult send(OpenOutput& output, const Byte* bytes, std::size_t size);

    std::vector<Port> inputs_;
    std::vector<Port> outputs_;
    std::map<InputHandle, OpenInput> openInputs_;
    std::map<OutputHandle, OpenOutput> openOutputs_;
    std::uint32_t nextHandle_ = 1;
};

} // namespace patchsmith::midi
