#include "midi/CompositeMidiPlatform.h"

namespace patchsmith::midi {

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

bool CompositeMidiPlatform::hasPorts(bool inputs) {
    // Last part first: parts added after the computer's MIDI system (the
    // built-in virtual CS1x) answer without asking any system.
    for (auto p = parts_.rbegin(); p != parts_.rend(); ++p)
        if ((*p)->hasPorts(inputs)) return true;
    return false;
}

std::optional<CompositeMidiPlatform::Local> CompositeMidiPlatform::locate(bool input, unsigned port,
                                                                          const std::string& name) {
    // One listing of every part, so that numbers and names agree.
    std::vector<std::string> names;
    std::vector<Local> owners;
    for (MidiPlatform* p : parts_) {
        const auto part = input ? p->inputPortNames() : p->outputPortNames();
        for (std::size_t i = 0; i < part.size(); ++i) {
            names.push_back(part[i]);
            owners.push_back({p, static_cast<unsigned>(i)});
        }
    }
    const int index = resolvePort(names, port, name);
    if (index < 0) return std::nullopt;
    return owners[static_cast<std::size_t>(index)];
}

const CompositeMidiPlatform::Target* CompositeMidiPlatform::input(InputHandle handle) const {
    const auto it = inputs_.find(handle);
    return it == inputs_.end() ? nullptr : &it->second;
}

const CompositeMidiPlatform::Target* CompositeMidiPlatform::output(OutputHandle handle) const {
    const auto it = outputs_.find(handle);
    return it == outputs_.end() ? nullptr : &it->second;
}

MidiResult CompositeMidiPlatform::openInput(unsigned port, const std::string& name, MidiInputSink sink,
                                            InputHandle& handle) {
    const auto l = locate(true, port, name);
    if (!l) return MMSYSERR_BADDEVICEID;
    const InputHandle mine = nextHandle_++;
    // Events carry the part's handle; the device layer knows only ours.
    MidiInputSink relabel = [mine, sink = std::move(sink)](MidiInputEvent event) {
        event.input = mine;
        if (sink) sink(std::move(event));
    };
    InputHandle theirs = 0;
    const MidiResult rc = l->part->openInput(l->port, name, std::move(relabel), theirs);
    if (rc != MMSYSERR_NOERROR) return rc;
    inputs_[mine] = {l->part, theirs};
    handle = mine;
    return rc;
}

MidiResult CompositeMidiPlatform::closeInput(InputHandle handle) {
    const Target* t = input(handle);
    if (!t) return MMSYSERR_INVALHANDLE;
    const MidiResult rc = t->part->closeInput(t->handle);
    // Closed or not, the handle is done with (the device layer gives it up).
    inputs_.erase(handle);
    return rc;
}

MidiResult CompositeMidiPlatform::openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                                             OutputHandle& handle) {
    const auto l = locate(false, port, name);
    if (!l) return MMSYSERR_BADDEVICEID;
    OutputHandle theirs = 0;
    const MidiResult rc = l->part->openOutput(l->port, name, std::move(onFailure), theirs);
    if (rc != MMSYSERR_NOERROR) return rc;
    const OutputHandle mine = nextHandle_++;
    outputs_[mine] = {l->part, theirs};
    handle = mine;
    return rc;
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
    outputs_.erase(handle);
    return rc;
}

} // namespace patchsmith::midi
