#include "midi/CompositeMidiPlatform.h"

namespace patchsmith::midi {

using namespace midi;

CompositeMidiPlatform::CompositeMidiPlatform(std::vector<MidiPlatform*> parts) : parts_(std::move(parts)) {}

std::vector<std::string> CompositeMidiPlatform::inputPortNames() {
    std::vector<std::string> names;
    for (MidiPlatform* p : parts_) {
        const auto part = p->inputPortNames();
        names.insert(names.end(), part.begin(), part.end());
    }
    return names;
}

std::vector<std::string> CompositeMidiPlatform::outputPortNames() {
    std::vector<std::string> names;
    for (MidiPlatform* p : parts_) {
        const auto part = p->outputPortNames();
        names.insert(names.end(), part.begin(), part.end());
    }
    return names;
}

CompositeMidiPlatform::Local CompositeMidiPlatform::locateInput(unsigned device) {
    for (MidiPlatform* p : parts_) {
        const auto count = static_cast<unsigned>(p->inputPortNames().size());
        if (device < count) return {p, device};
        device -= count;
    }
    return {};
}

CompositeMidiPlatform::Local CompositeMidiPlatform::locateOutput(unsigned device) {
    for (MidiPlatform* p : parts_) {
        const auto count = static_cast<unsigned>(p->outputPortNames().size());
        if (device < count) return {p, device};
        device -= count;
    }
    return {};
}

const CompositeMidiPlatform::Target* CompositeMidiPlatform::input(InputHandle handle) const {
    const auto it = inputs_.find(handle);
    return it == inputs_.end() ? nullptr : &it->second;
}

const CompositeMidiPlatform::Target* CompositeMidiPlatform::output(OutputHandle handle) const {
    const auto it = outputs_.find(handle);
    return it == outputs_.end() ? nullptr : &it->second;
}


MidiResult CompositeMidiPlatform::openInput(unsigned device, MidiInputSink sink, InputHandle& handle) {
    const Local l = locateInput(device);
    if (!l.part) return MMSYSERR_BADDEVICEID;
    const InputHandle mine = nextHandle_++;
    // Events carry the part's handle; the device layer knows only ours.
    MidiInputSink relabel = [mine, sink = std::move(sink)](MidiInputEvent event) {
        event.input = mine;
        if (sink) sink(std::move(event));
    };
    InputHandle theirs = 0;
    const MidiResult rc = l.part->openInput(l.device, std::move(relabel), theirs);
    if (rc != MMSYSERR_NOERROR) return rc;
    inputs_[mine] = {l.part, theirs};
    handle = mine;
    return rc;
}

#define PS_FORWARD_INPUT(method)                                                                                       \
    MidiResult CompositeMidiPlatform::method(InputHandle handle) {                                                     \
        const Target* t = input(handle);                                                                               \
        if (!t) return MMSYSERR_INVALHANDLE;                                                                           \
        return t->part->method(t->handle);                                                                             \
    }
PS_FORWARD_INPUT(prepareInputBuffer)
PS_FORWARD_INPUT(addInputBuffer)
PS_FORWARD_INPUT(startInput)
PS_FORWARD_INPUT(stopInput)
PS_FORWARD_INPUT(resetInput)
PS_FORWARD_INPUT(unprepareInputBuffer)
#undef PS_FORWARD_INPUT

MidiResult CompositeMidiPlatform::closeInput(InputHandle handle) {
    const Target* t = input(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    const MidiResult rc = t->part->closeInput(t->handle);
    if (rc == MMSYSERR_NOERROR) inputs_.erase(handle);
    return rc;
}

MidiResult CompositeMidiPlatform::openOutput(unsigned device, MidiSendFailureSink onFailure, OutputHandle& handle) {
    const Local l = locateOutput(device);
    if (!l.part) return MMSYSERR_BADDEVICEID;
    OutputHandle theirs = 0;
    const MidiResult rc = l.part->openOutput(l.device, std::move(onFailure), theirs);
    if (rc != MMSYSERR_NOERROR) return rc;
    const OutputHandle mine = nextHandle_++;
    outputs_[mine] = {l.part, theirs};
    handle = mine;
    return rc;
}

MidiResult CompositeMidiPlatform::prepareOutputBuffer(OutputHandle handle) {
    const Target* t = output(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    return t->part->prepareOutputBuffer(t->handle);
}

MidiResult CompositeMidiPlatform::unprepareOutputBuffer(OutputHandle handle) {
    const Target* t = output(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    return t->part->unprepareOutputBuffer(t->handle);
}

MidiResult CompositeMidiPlatform::sendLong(OutputHandle handle, std::span<const Byte> message) {
    const Target* t = output(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    return t->part->sendLong(t->handle, message);
}

MidiResult CompositeMidiPlatform::sendShort(OutputHandle handle, std::uint32_t packed) {
    const Target* t = output(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    return t->part->sendShort(t->handle, packed);
}

MidiResult CompositeMidiPlatform::closeOutput(OutputHandle handle) {
    const Target* t = output(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    const MidiResult rc = t->part->closeOutput(t->handle);
    if (rc == MMSYSERR_NOERROR) outputs_.erase(handle);
    return rc;
}

} // namespace patchsmith::midi
