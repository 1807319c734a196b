#pragma once
// A MIDI system for tests: devices with given names, a record of every
// platform call and every message sent, scripted failures, and injected
// input events delivered on the calling thread.

#include "midi/MidiPlatform.h"

#include <map>
#include <string>
#include <vector>

namespace patchsmith::midi {

class ScriptedMidiPlatform : public MidiPlatform {
public:
    struct Sent {
        OutputHandle handle = 0;
        bool isLong = false;
        std::vector<Byte> bytes; // long: the message; short: status, data 1, data 2
    };

    // Devices, in device-number order.
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    // Names travel through a 32-character name field, as with the original
    // platform: a name of 32 characters or more fills it with no NUL and
    // reads as empty.
    bool nameFields = false;

    // Makes the named operation ("openInput", "sendLong", "closeOutput", ...)
    // return `code` from now on (0 to succeed again).
    // Opens find their port as a real system does: the number when the list
    // still shows the name there, else the last port of that name.
    void failWith(const std::string& operation, MidiResult code) { failures_[operation] = code; }

    // Every platform call, by operation name, in order.
    std::vector<std::string> calls;
    // Every message sent, in order.
    std::vector<Sent> sent;
    std::vector<std::vector<Byte>> longMessages() const;

    // Delivers an event to the open input with the given handle (the current
    // one when 0). Does nothing when no input is open.
    void injectShort(Byte status, Byte d1, Byte d2, InputHandle input = 0);
    void injectSysEx(std::vector<Byte> bytes, InputHandle input = 0);

    // Reports a message of the open output as failed after its send call
    // had succeeded, as a driver with a queue of its own does.
    void failLater(MidiResult code, std::vector<Byte> message);

    InputHandle openInputHandle() const { return openIn_; }
    OutputHandle openOutputHandle() const { return openOut_; }
    unsigned openedInputDevice() const { return openInDevice_; }
    unsigned openedOutputDevice() const { return openOutDevice_; }

    std::vector<std::string> inputPortNames() override;
    std::vector<std::string> outputPortNames() override;
    MidiResult openInput(unsigned port, const std::string& name, MidiInputSink sink, InputHandle& handle) override;
    MidiResult openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                          OutputHandle& handle) override;
    MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) override;
    MidiResult sendShort(OutputHandle handle, std::uint32_t packed) override;
    MidiResult closeInput(InputHandle handle) override;
    MidiResult closeOutput(OutputHandle handle) override;

private:
    MidiResult call(const std::string& operation);
    std::vector<std::string> listed(const std::vector<std::string>& names) const;

    std::map<std::string, MidiResult> failures_;
    MidiInputSink sink_;
    MidiSendFailureSink failureSink_;
    InputHandle openIn_ = 0;
    OutputHandle openOut_ = 0;
    unsigned openInDevice_ = 0;
    unsigned openOutDevice_ = 0;
    std::uint32_t nextHandle_ = 1;
};

} // namespace patchsmith::midi
