#pragma once
// The virtual CS1x as a MIDI system of its own: one input and one output
// device, both named "Virtual CS1x". What the program sends to the output
// reaches the model; the model's answers come back on the input. Answers
// arrive asynchronously, as from a real instrument: the input sink is called
// on the runner's own thread, never inside sendLong/sendShort.
//
// Self-contained and thread-safe, so that a platform that merges several MIDI
// systems can list it after the real devices (its device number here is
// always 0 on each side).
//
// Follows the result codes of the device layer: a bad handle gives
// MMSYSERR_INVALHANDLE, a port other than its one MMSYSERR_BADDEVICEID, a
// second open of the same side MMSYSERR_ALLOCATED. Answers reach the input
// from its open to its close.

#include "midi/MidiPlatform.h"
#include "synth/SynthRunner.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace patchsmith::synth {

class VirtualMidiPlatform : public midi::MidiPlatform {
public:
    static constexpr const char* kDeviceName = "Virtual CS1x";
    static constexpr midi::MidiResult MMSYSERR_ALLOCATED = 4;

    explicit VirtualMidiPlatform(bool wireModel = false);
    ~VirtualMidiPlatform() override;

    // The instrument: panel events, inspection, wire model.
    SynthRunner& synth() { return runner_; }
    // All messages sent so far handled and their answers delivered.
    bool waitIdle(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000)) {
        return runner_.waitIdle(timeout);
    }

    std::vector<std::string> inputPortNames() override;
    std::vector<std::string> outputPortNames() override;
    midi::MidiResult openInput(unsigned port, const std::string& name, midi::MidiInputSink sink,
                               midi::InputHandle& handle) override;
    midi::MidiResult openOutput(unsigned port, const std::string& name, midi::MidiSendFailureSink onFailure,
                                midi::OutputHandle& handle) override;
    midi::MidiResult sendLong(midi::OutputHandle handle, std::span<const Byte> message) override;
    midi::MidiResult sendShort(midi::OutputHandle handle, std::uint32_t packed) override;
    midi::MidiResult closeInput(midi::InputHandle handle) override;
    midi::MidiResult closeOutput(midi::OutputHandle handle) override;

private:
    static constexpr std::size_t kMaxLong = 8192;

    void deliver(const Message& message); // on the runner's thread
    midi::MidiResult checkInput(midi::InputHandle handle) const;
    midi::MidiResult checkOutput(midi::OutputHandle handle) const;

    mutable std::mutex mutex_;
    std::condition_variable delivered_;
    midi::MidiInputSink sink_;
    midi::InputHandle in_ = 0;
    midi::OutputHandle out_ = 0;
    std::uint32_t nextHandle_ = 1;
    bool delivering_ = false;
    std::thread::id deliveryThread_;
    SynthRunner runner_; // last: its thread stops before the state above goes
};

} // namespace patchsmith::synth
