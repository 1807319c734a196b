#include "synth/VirtualMidiPlatform.h"

#include <algorithm>
#include <cstring>

namespace patchsmith::synth {

using namespace midi;

VirtualMidiPlatform::VirtualMidiPlatform(bool wireModel)
    : runner_([this](const Message& m) { deliver(m); }, wireModel) {}

VirtualMidiPlatform::~VirtualMidiPlatform() = default;

std::vector<std::string> VirtualMidiPlatform::inputPortNames() { return {kDeviceName}; }
std::vector<std::string> VirtualMidiPlatform::outputPortNames() { return {kDeviceName}; }

MidiResult VirtualMidiPlatform::checkInput(InputHandle handle) const {
    return (handle == 0 || handle != in_) ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::checkOutput(OutputHandle handle) const {
    return (handle == 0 || handle != out_) ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::openInput(unsigned port, const std::string& name, MidiInputSink sink,
                                          InputHandle& handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (resolvePort({kDeviceName}, port, name) < 0) return MMSYSERR_BADDEVICEID;
    if (in_ != 0) return MMSYSERR_ALLOCATED;
    in_ = handle = nextHandle_++;
    sink_ = std::move(sink);
    return MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::closeInput(InputHandle handle) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (const MidiResult rc = checkInput(handle)) return rc;
    in_ = 0;
    sink_ = nullptr;
    // After a close the old sink is not running any more, unless the close
    // comes from inside that very call.
    if (std::this_thread::get_id() != deliveryThread_) delivered_.wait(lock, [this] { return !delivering_; });
    return MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::openOutput(unsigned port, const std::string& name, MidiSendFailureSink,
                                           OutputHandle& handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (resolvePort({kDeviceName}, port, name) < 0) return MMSYSERR_BADDEVICEID;
    if (out_ != 0) return MMSYSERR_ALLOCATED;
    out_ = handle = nextHandle_++;
    return MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::sendLong(OutputHandle handle, std::span<const Byte> message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const MidiResult rc = checkOutput(handle)) return rc;
        if (message.empty() || message.size() > kMaxLong) return MMSYSERR_INVALPARAM;
    }
    // The runner copies the bytes, so the caller may reuse its buffer at once.
    runner_.receive(message);
    return MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::sendShort(OutputHandle handle, std::uint32_t packed) {
    const Byte status = static_cast<Byte>(packed & 0xFF);
    const Byte d1 = static_cast<Byte>((packed >> 8) & 0xFF);
    const Byte d2 = static_cast<Byte>((packed >> 16) & 0xFF);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const MidiResult rc = checkOutput(handle)) return rc;
    }
    if (status < 0x80) return MMSYSERR_INVALPARAM;
    std::size_t length = 3;
    if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 || status == 0xF1 || status == 0xF3)
        length = 2;
    else if (status >= 0xF4)
        length = 1;
    const Byte bytes[3] = {status, d1, d2};
    runner_.receive(std::span<const Byte>(bytes, length));
    return MMSYSERR_NOERROR;
}

MidiResult VirtualMidiPlatform::closeOutput(OutputHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const MidiResult rc = checkOutput(handle)) return rc;
    out_ = 0;
    return MMSYSERR_NOERROR;
}

void VirtualMidiPlatform::deliver(const Message& message) {
    if (message.empty()) return;
    MidiInputEvent event;
    MidiInputSink sink;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool sysex = message[0] == 0xF0;
        // Nobody listening: what the instrument sends is lost, as on a cable.
        if (in_ == 0 || !sink_) return;
        event.input = in_;
        event.isSysEx = sysex;
        if (sysex) {
            event.sysex = message;
        } else {
            event.shortMessage =
                packShort(message[0], message.size() > 1 ? message[1] : 0, message.size() > 2 ? message[2] : 0);
        }
        sink = sink_;
        delivering_ = true;
        deliveryThread_ = std::this_thread::get_id();
    }
    sink(std::move(event));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        delivering_ = false;
    }
    delivered_.notify_all();
}

} // namespace patchsmith::synth
