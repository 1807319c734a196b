#include "midi/MidiDevices.h"

#include <algorithm>
#include <cstring>

namespace patchsmith {

using namespace midi;

MidiDevices::MidiDevices(MidiPlatform& platform, Notifier& notifier)
    : platform_(platform), notifier_(notifier), alive_(std::make_shared<Alive>(Alive{this})) {}

MidiDevices::~MidiDevices() { alive_->self = nullptr; }

std::string MidiDevices::nameFromField(const DeviceNameField& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    if (end == field.end()) return {};
    return std::string(field.begin(), end);
}

bool MidiDevices::InitMidiDevices() {
    const unsigned inputs = platform_.inputDeviceCount() & 0xFF;
    const unsigned outputs = platform_.outputDeviceCount() & 0xFF;
    if (inputs == 0 || outputs == 0) {
        notifier_.showMessage("You should have at least ONE MIDI-Device in your Computer I think!");
        return false;
    }
    MidiInDeviceNames.clear();
    MidiOutDeviceNames.clear();
    for (unsigned i = 0; i < inputs; ++i) {
        DeviceNameField field{};
        LastMidiResult = platform_.inputDeviceName(i, field);
        const std::string name = nameFromField(field);
        MidiInDeviceNames.push_back(name);
        if (name == MidiInDeviceName) {
            MidiInDeviceIndex = static_cast<int>(i);
            OpenMidiIn(static_cast<int>(i));
        }
    }
    for (unsigned i = 0; i < outputs; ++i) {
        DeviceNameField field{};
        LastMidiResult = platform_.outputDeviceName(i, field);
        const std::string name = nameFromField(field);
        MidiOutDeviceNames.push_back(name);
        if (name == MidiOutDeviceName) {
            MidiOutDeviceIndex = static_cast<int>(i);
            OpenMidiOut(static_cast<int>(i));
        }
    }
    if (onIdentityRequest) onIdentityRequest();
    return true;
}

void MidiDevices::OpenMidiIn(int device) {
    if (!CloseMidiIn()) return;
    std::weak_ptr<Alive> alive = alive_;
    MidiInputSink sink = [alive](MidiInputEvent event) {
        auto a = alive.lock();
        if (!a || !a->self) return;
        MidiDevices* self = a->self;
        if (!self->postToGuiThread) {
            self->deliver(event);
            return;
        }
        self->postToGuiThread([alive, ev = std::move(event)]() {
            auto b = alive.lock();
            if (b && b->self) b->self->deliver(ev);
        });
    };
    InputHandle handle = 0;
    const MidiResult rc = platform_.openInput(static_cast<unsigned>(std::clamp(device, 0, 255)), std::move(sink), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        notifier_.showMessage("Unable to open MIDI-IN-Device <" + MidiInDeviceName + "> : " + std::to_string(rc));
        return;
    }
    inHandle_ = handle;
    MidiInOpen = true;
    LastMidiResult = platform_.prepareInputBuffer(inHandle_);
    if (LastMidiResult != MMSYSERR_NOERROR) {
        notifier_.showMessage("Unable to Create MIDI-In Buffer!");
        return;
    }
    LastMidiResult = platform_.addInputBuffer(inHandle_);
    LastMidiResult = platform_.startInput(inHandle_);
    inHeaderPrepared_ = true;
}

bool MidiDevices::CloseMidiIn() {
    if (!MidiInOpen) return true;
    LastMidiResult = platform_.resetInput(inHandle_);
    LastMidiResult = platform_.stopInput(inHandle_);
    if (inHeaderPrepared_) {
        LastMidiResult = platform_.unprepareInputBuffer(inHandle_);
        inHeaderPrepared_ = false;
    }
    const MidiResult rc = platform_.closeInput(inHandle_);
    LastMidiResult = rc;
    if (rc == MMSYSERR_NOERROR) {
        MidiInOpen = false;
        return true;
    }
    notifier_.showMessage("Unable to close MIDI-IN-Device <" + MidiInDeviceName + "> : " + std::to_string(rc));
    return false;
}

void MidiDevices::OpenMidiOut(int device) {
    if (!CloseMidiOut()) return;
    OutputHandle handle = 0;
    const MidiResult rc = platform_.openOutput(static_cast<unsigned>(std::clamp(device, 0, 255)), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        notifier_.showMessage("Unable to open MIDI-OUT-Device <" + MidiOutDeviceName + "> : " + std::to_string(rc));
        return;
    }
    outHandle_ = handle;
    MidiOutOpen = true;
    LastMidiResult = platform_.prepareOutputBuffer(outHandle_);
    if (LastMidiResult == MMSYSERR_NOERROR) {
        outHeaderPrepared_ = true;
    } else {
        notifier_.showMessage("Unable to Create MIDI-Out Buffer!");
    }
}

bool MidiDevices::CloseMidiOut() {
    if (!MidiOutOpen) return true;
    if (outHeaderPrepared_) {
        LastMidiResult = platform_.unprepareOutputBuffer(outHandle_);
        outHeaderPrepared_ = false;
    }
    const MidiResult rc = platform_.closeOutput(outHandle_);
    LastMidiResult = rc;
    if (rc == MMSYSERR_NOERROR) {
        MidiOutOpen = false;
        return true;
    }
    notifier_.showMessage("Unable to close MIDI-Device <" + MidiOutDeviceName + "> : " + std::to_string(rc));
    return false;
}

void MidiDevices::SendLongMessage(std::span<const Byte> message) {
    if (message.size() > sendBuffer_.size()) {
        LastMidiResult = MMSYSERR_INVALPARAM;
    } else if (!outHeaderPrepared_) {
        LastMidiResult = MIDIERR_UNPREPARED;
    } else {
        std::copy(message.begin(), message.end(), sendBuffer_.begin());
        // Every byte between F0 and F7 goes out with bit 7 clear: a stored
        // block may come from a damaged or foreign file, and one such byte
        // would end the message on the cable. Clearing bit 7 leaves the sum
        // mod 128, and so a bulk dump's checksum, valid.
        if (message.size() >= 2) {
            for (std::size_t i = 1; i + 1 < message.size(); ++i) sendBuffer_[i] &= 0x7F;
        }
        LastMidiResult = platform_.sendLong(outHandle_, std::span<const Byte>(sendBuffer_.data(), message.size()));
    }
    ReportMidiOutError();
    PulseMidiOutLed();
}

void MidiDevices::SendShortMessage(Byte status, Byte data1, Byte data2) {
    if (!MidiOutOpen) return;
    // The result of a short send is not examined.
    (void)platform_.sendShort(outHandle_, packShort(status, data1 & 0x7F, data2 & 0x7F));
}

void MidiDevices::ReportMidiOutError() {
    switch (LastMidiResult) {
    case MMSYSERR_INVALHANDLE: notifier_.showMessage("MMSYSERR_INVALHANDLE"); break;
    case MMSYSERR_INVALPARAM: notifier_.showMessage("MMSYSERR_INVALPARAM"); break;
    case MIDIERR_UNPREPARED: notifier_.showMessage("MIDIERR_UNPREPARED"); break;
    case MIDIERR_NOTREADY: notifier_.showMessage("MIDIERR_NOTREADY"); break;
    default: break;
    }
}

void MidiDevices::PulseMidiInLed() {
    if (onPulseMidiInLed) onPulseMidiInLed();
}

void MidiDevices::PulseMidiOutLed() {
    if (onPulseMidiOutLed) onPulseMidiOutLed();
}

void MidiDevices::deliver(const MidiInputEvent& event) {
    // Events of a device that is no longer the open input are dropped.
    if (!MidiInOpen || event.input != inHandle_) return;
    if (onInputEvent) onInputEvent(event);
}

} // namespace patchsmith
