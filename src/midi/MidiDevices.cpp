#include "midi/MidiDevices.h"

#include <algorithm>
#include <cstring>

namespace patchsmith {

using namespace midi;

MidiDevices::MidiDevices(MidiPlatform& platform, Notifier& notifier)
    : platform_(platform), notifier_(notifier), alive_(std::make_shared<Alive>(Alive{this})) {}

MidiDevices::~MidiDevices() { alive_->self = nullptr; }

namespace {

bool allDigits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to) return false;
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.begin() + static_cast<std::ptrdiff_t>(to),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The name a row of a device list shows; empty for a row that is not there.
std::string rowName(const std::vector<std::string>& names, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < names.size() ? names[static_cast<std::size_t>(row)]
                                                                      : std::string();
}

int lastRowNamed(const std::vector<std::string>& names, const std::string& wanted) {
    for (std::size_t i = names.size(); i-- > 0;)
        if (names[i] == wanted) return static_cast<int>(i);
    return -1;
}

} // namespace

std::string midi::nameFromField(const DeviceNameField& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    if (end == field.end()) return {};
    return std::string(field.begin(), end);
}

std::string MidiDevices::baseDeviceName(const std::string& name) {
    // "Client:Port 20:0": the sequencer hands out the numbers in the order
    // in which devices appear.
    const std::size_t blank = name.rfind(' ');
    if (blank == std::string::npos) return name;
    const std::size_t colon = name.find(':', blank);
    if (colon == std::string::npos || !allDigits(name, blank + 1, colon) || !allDigits(name, colon + 1, name.size()))
        return name;
    return name.substr(0, blank);
}

int MidiDevices::findDevice(const std::vector<std::string>& names, const std::string& wanted) {
    const int exact = lastRowNamed(names, wanted);
    if (exact >= 0 || wanted.empty()) return exact;
    const std::string base = baseDeviceName(wanted);
    for (std::size_t i = names.size(); i-- > 0;)
        if (baseDeviceName(names[i]) == base) return static_cast<int>(i);
    return -1;
}

bool MidiDevices::InitMidiDevices() {
    std::vector<std::string> inputs = platform_.inputPortNames();
    std::vector<std::string> outputs = platform_.outputPortNames();
    if (inputs.empty() || outputs.empty()) {
        notifier_.showMessage("You should have at least ONE MIDI-Device in your Computer I think!");
        return false;
    }
    MidiInDeviceNames = std::move(inputs);
    MidiOutDeviceNames = std::move(outputs);

    // Every device of the configured name is opened in turn (each open
    // closes the one before), so the last of them stays open. Without one of
    // that exact name, the device whose name differs only in ALSA's numbers
    // stands for it; without that, the fallback.
    auto openSide = [this](const std::vector<std::string>& names, const std::string& configured, int& index,
                           void (MidiDevices::*open)(int, const std::string&)) {
        bool found = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] != configured) continue;
            index = static_cast<int>(i);
            (this->*open)(index, configured);
            found = true;
        }
        if (found) return;
        if (const int row = findDevice(names, configured); row >= 0) {
            index = row;
            (this->*open)(row, configured);
        } else if (const int fallback = FallbackDeviceName.empty() ? -1 : lastRowNamed(names, FallbackDeviceName);
                   fallback >= 0) {
            index = fallback;
            (this->*open)(fallback, FallbackDeviceName);
        }
    };
    openSide(MidiInDeviceNames, MidiInDeviceName, MidiInDeviceIndex, &MidiDevices::openInput);
    openSide(MidiOutDeviceNames, MidiOutDeviceName, MidiOutDeviceIndex, &MidiDevices::openOutput);
    if (onIdentityRequest) onIdentityRequest();
    return true;
}

void MidiDevices::OpenMidiIn(int device) { openInput(device, MidiInDeviceName); }

void MidiDevices::openInput(int device, const std::string& shownName) {
    // A device that refused to close has been reported and is given up; the
    // new one is opened all the same.
    CloseMidiIn();
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
    const auto port = static_cast<unsigned>(std::max(device, 0));
    const MidiResult rc = platform_.openInput(port, rowName(MidiInDeviceNames, device), std::move(sink), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        notifier_.showMessage("Unable to open MIDI-IN-Device <" + shownName + "> : " + std::to_string(rc));
        return;
    }
    // The platform delivers from the open on: there is no receive buffer to
    // register and no start, so kCreateInBufferFailed cannot arise.
    inHandle_ = handle;
    MidiInOpen = true;
}

bool MidiDevices::CloseMidiIn() {
    if (!MidiInOpen) return true;
    const MidiResult rc = platform_.closeInput(inHandle_);
    LastMidiResult = rc;
    // Closed or not, the handle is of no further use: keeping the device
    // counted as open would refuse every later open for good.
    MidiInOpen = false;
    inHandle_ = 0;
    if (rc == MMSYSERR_NOERROR) return true;
    notifier_.showMessage("Unable to close MIDI-IN-Device <" + MidiInDeviceName + "> : " + std::to_string(rc));
    return false;
}

void MidiDevices::OpenMidiOut(int device) { openOutput(device, MidiOutDeviceName); }

void MidiDevices::openOutput(int device, const std::string& shownName) {
    CloseMidiOut();
    std::weak_ptr<Alive> alive = alive_;
    // A message the platform had taken and could not send after all is
    // reported when that happens, not with whatever is sent next.
    MidiSendFailureSink onFailure = [alive](MidiResult rc, std::span<const Byte>) {
        auto a = alive.lock();
        if (!a || !a->self) return;
        MidiDevices* self = a->self;
        if (!self->postToGuiThread) {
            self->reportLateSendFailure(rc);
            return;
        }
        self->postToGuiThread([alive, rc] {
            auto b = alive.lock();
            if (b && b->self) b->self->reportLateSendFailure(rc);
        });
    };
    OutputHandle handle = 0;
    const auto port = static_cast<unsigned>(std::max(device, 0));
    const MidiResult rc =
        platform_.openOutput(port, rowName(MidiOutDeviceNames, device), std::move(onFailure), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        notifier_.showMessage("Unable to open MIDI-OUT-Device <" + shownName + "> : " + std::to_string(rc));
        return;
    }
    outHandle_ = handle;
    MidiOutOpen = true;
    // Nothing to register either: kCreateOutBufferFailed cannot arise.
}

bool MidiDevices::CloseMidiOut() {
    if (!MidiOutOpen) return true;
    const MidiResult rc = platform_.closeOutput(outHandle_);
    LastMidiResult = rc;
    MidiOutOpen = false;
    outHandle_ = 0;
    if (rc == MMSYSERR_NOERROR) return true;
    notifier_.showMessage("Unable to close MIDI-Device <" + MidiOutDeviceName + "> : " + std::to_string(rc));
    return false;
}

void MidiDevices::SendLongMessage(std::span<const Byte> message) {
    if (message.size() > sendBuffer_.size()) {
        LastMidiResult = MMSYSERR_INVALPARAM;
    } else if (!MidiOutOpen) {
        // Nothing to send through: the text a send through an unregistered
        // buffer gave.
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

void MidiDevices::reportLateSendFailure(MidiResult rc) {
    LastMidiResult = rc;
    ReportMidiOutError();
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
