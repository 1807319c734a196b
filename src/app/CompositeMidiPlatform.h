#pragma once
// Several MIDI systems as one: the devices of each part in turn, numbered by
// their position in the merged lists, with handles of its own mapped to the
// part's handles. Used to list the built-in virtual CS1x after the real
// devices.

#include "midi/MidiPlatform.h"

#include <map>
#include <vector>

namespace patchsmith::app {

class CompositeMidiPlatform : public midi::MidiPlatform {
public:
    // The parts, in list order; they must outlive this object.
    explicit CompositeMidiPlatform(std::vector<midi::MidiPlatform*> parts);

    unsigned inputDeviceCount() override;
    unsigned outputDeviceCount() override;
    midi::MidiResult inputDeviceName(unsigned device, midi::DeviceNameField& name) override;
    midi::MidiResult outputDeviceName(unsigned device, midi::DeviceNameField& name) override;

    midi::MidiResult openInput(unsigned device, midi::MidiInputSink sink, midi::InputHandle& handle) override;
    midi::MidiResult prepareInputBuffer(midi::InputHandle handle) override;
    midi::MidiResult addInputBuffer(midi::InputHandle handle) override;
    midi::MidiResult startInput(midi::InputHandle handle) override;
    midi::MidiResult stopInput(midi::InputHandle handle) override;
    midi::MidiResult resetInput(midi::InputHandle handle) override;
    midi::MidiResult unprepareInputBuffer(midi::InputHandle handle) override;
    midi::MidiResult closeInput(midi::InputHandle handle) override;

    midi::MidiResult openOutput(unsigned device, midi::OutputHandle& handle) override;
    midi::MidiResult prepareOutputBuffer(midi::OutputHandle handle) override;
    midi::MidiResult unprepareOutputBuffer(midi::OutputHandle handle) override;
    midi::MidiResult sendLong(midi::OutputHandle handle, std::span<const Byte> message) override;
    midi::MidiResult sendShort(midi::OutputHandle handle, std::uint32_t packed) override;
    midi::MidiResult closeOutput(midi::OutputHandle handle) override;

private:
    struct Target {
        midi::MidiPlatform* part = nullptr;
        std::uint32_t handle = 0;
    };
    struct Local {
        midi::MidiPlatform* part = nullptr;
        unsigned device = 0;
    };
    // The part and local number of a merged device number; part nullptr when
    // there is no such device.
    Local locateInput(unsigned device);
    Local locateOutput(unsigned device);
    const Target* input(midi::InputHandle handle) const;
    const Target* output(midi::OutputHandle handle) const;

    std::vector<midi::MidiPlatform*> parts_;
    std::map<midi::InputHandle, Target> inputs_;
    std::map<midi::OutputHandle, Target> outputs_;
    std::uint32_t nextHandle_ = 1;
};

} // namespace patchsmith::app
