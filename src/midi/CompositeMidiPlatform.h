#pragma once
// Several MIDI systems as one: the ports of each part in turn, numbered by
// their position in the merged lists, with handles of its own mapped to the
// part's handles. Used to list the built-in virtual CS1x after the real
// devices.

#include "midi/MidiPlatform.h"

#include <map>
#include <optional>
#include <vector>

namespace patchsmith::midi {

class CompositeMidiPlatform : public MidiPlatform {
public:
    // The parts, in list order; they must outlive this object.
    explicit CompositeMidiPlatform(std::vector<MidiPlatform*> parts);

    std::vector<std::string> inputPortNames() override;
    std::vector<std::string> outputPortNames() override;
    bool hasPorts(bool inputs) override;
    MidiResult openInput(unsigned port, const std::string& name, MidiInputSink sink, InputHandle& handle) override;
    MidiResult openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                          OutputHandle& handle) override;
    MidiResult sendLong(OutputHandle handle, std::span<const Byte> message) override;
    MidiResult sendShort(OutputHandle handle, std::uint32_t packed) override;
    MidiResult closeInput(InputHandle handle) override;
    MidiResult closeOutput(OutputHandle handle) override;

private:
    struct Target {
        MidiPlatform* part = nullptr;
        std::uint32_t handle = 0;
    };
    struct Local {
        MidiPlatform* part = nullptr;
        unsigned port = 0;
    };
    // The part and its own number of a merged port, from the lists as they
    // are now.
    std::optional<Local> locate(bool input, unsigned port, const std::string& name);
    const Target* input(InputHandle handle) const;
    const Target* output(OutputHandle handle) const;

    std::vector<MidiPlatform*> parts_;
    std::map<InputHandle, Target> inputs_;
    std::map<OutputHandle, Target> outputs_;
    std::uint32_t nextHandle_ = 1;
};

} // namespace patchsmith::midi
