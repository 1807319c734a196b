#include "support/ScriptedMidiPlatform.h"

#include <algorithm>

namespace patchsmith::midi {

MidiResult ScriptedMidiPlatform::call(const std::string& operation) {
    calls.push_back(operation);
    const auto it = failures_.find(operation);
    return it == failures_.end() ? MMSYSERR_NOERROR : it->second;
}

std::vector<std::string> ScriptedMidiPlatform::listed(const std::vector<std::string>& names) const {
    if (!nameFields) return names;
    std::vector<std::string> out;
    for (const std::string& name : names) {
        DeviceNameField field{};
        std::copy_n(name.begin(), std::min(name.size(), field.size()), field.begin());
        out.push_back(nameFromField(field));
    }
    return out;
}

void ScriptedMidiPlatform::failLater(MidiResult code, std::vector<Byte> message) {
    if (openOut_ != 0 && failureSink_) failureSink_(code, message);
}

std::vector<std::vector<Byte>> ScriptedMidiPlatform::longMessages() const {
    std::vector<std::vector<Byte>> out;
    for (const auto& s : sent)
        if (s.isLong) out.push_back(s.bytes);
    return out;
}

void ScriptedMidiPlatform::injectShort(Byte status, Byte d1, Byte d2, InputHandle input) {
    if (!sink_ || openIn_ == 0) return;
    MidiInputEvent ev;
    ev.input = input ? input : openIn_;
    ev.shortMessage = packShort(status, d1, d2);
    sink_(ev);
}

void ScriptedMidiPlatform::injectSysEx(std::vector<Byte> bytes, InputHandle input) {
    if (!sink_ || openIn_ == 0) return;
    MidiInputEvent ev;
    ev.input = input ? input : openIn_;
    ev.isSysEx = true;
    ev.sysex = std::move(bytes);
    sink_(ev);
}

std::vector<std::string> ScriptedMidiPlatform::inputPortNames() {
    calls.emplace_back("inputPortNames");
    return listed(inputs);
}

std::vector<std::string> ScriptedMidiPlatform::outputPortNames() {
    calls.emplace_back("outputPortNames");
    return listed(outputs);
}

MidiResult ScriptedMidiPlatform::openInput(unsigned port, const std::string& name, MidiInputSink sink,
                                           InputHandle& handle) {
    const MidiResult rc = call("openInput");
    if (rc != MMSYSERR_NOERROR) return rc;
    const int index = resolvePort(listed(inputs), port, name);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    sink_ = std::move(sink);
    openIn_ = handle = nextHandle_++;
    openInDevice_ = static_cast<unsigned>(index);
    return MMSYSERR_NOERROR;
}

MidiResult ScriptedMidiPlatform::closeInput(InputHandle handle) {
    const MidiResult rc = call("closeInput");
    if (rc != MMSYSERR_NOERROR) return rc;
    if (handle != openIn_) return MMSYSERR_INVALHANDLE;
    openIn_ = 0;
    sink_ = nullptr;
    return MMSYSERR_NOERROR;
}

MidiResult ScriptedMidiPlatform::openOutput(unsigned port, const std::string& name, MidiSendFailureSink onFailure,
                                            OutputHandle& handle) {
    const MidiResult rc = call("openOutput");
    if (rc != MMSYSERR_NOERROR) return rc;
    const int index = resolvePort(listed(outputs), port, name);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    failureSink_ = std::move(onFailure);
    openOut_ = handle = nextHandle_++;
    openOutDevice_ = static_cast<unsigned>(index);
    return MMSYSERR_NOERROR;
}

MidiResult ScriptedMidiPlatform::sendLong(OutputHandle handle, std::span<const Byte> message) {
    const MidiResult rc = call("sendLong");
    if (rc != MMSYSERR_NOERROR) return rc;
    if (handle != openOut_ || openOut_ == 0) return MMSYSERR_INVALHANDLE;
    sent.push_back({handle, true, std::vector<Byte>(message.begin(), message.end())});
    return MMSYSERR_NOERROR;
}

MidiResult ScriptedMidiPlatform::sendShort(OutputHandle handle, std::uint32_t packed) {
    const MidiResult rc = call("sendShort");
    if (rc != MMSYSERR_NOERROR) return rc;
    if (handle != openOut_ || openOut_ == 0) return MMSYSERR_INVALHANDLE;
    sent.push_back({handle,
                    false,
                    {static_cast<Byte>(packed & 0xFF), static_cast<Byte>((packed >> 8) & 0xFF),
                     static_cast<Byte>((packed >> 16) & 0xFF)}});
    return MMSYSERR_NOERROR;
}

MidiResult ScriptedMidiPlatform::closeOutput(OutputHandle handle) {
    const MidiResult rc = call("closeOutput");
    if (rc != MMSYSERR_NOERROR) return rc;
    if (handle != openOut_) return MMSYSERR_INVALHANDLE;
    openOut_ = 0;
    failureSink_ = nullptr;
    return MMSYSERR_NOERROR;
}

} // namespace patchsmith::midi
