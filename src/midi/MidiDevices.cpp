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

namespace {
constexpr const char* kNoDevices = "You should have at least ONE MIDI-Device in your Computer I think!";
}

bool MidiDevices::hasMidiDevices() {
    if (platform_.hasPorts(true) && platform_.hasPorts(false)) return true;
    notifier_.showMessage(kNoDevices);
    return false;
}

bool MidiDevices::InitMidiDevices() {
    std::vector<std::string> inputs = platform_.inputPortNames();
    std::vector<std::string> outputs = platform_.outputPortNames();
    if (inputs.empty() || outputs.empty()) {
        notifier_.showMessage(kNoDevices);
        return false;
    }
    MidiInDeviceNames = std::move(inputs);
    MidiOutDeviceNames = std::move(outputs);

    // Every device of the configured name is opened in turn (each open
    // closes the one before), so the last of them stays open. Without one of
    // that exact name, the device whose name differs only in ALSA's numbers
    // stands for it; without that, the fallback.
    auto openSide = [this](const std::vector<std::string>& names, const std::string& configured, int& index, Side& side,
                           const bool& isOpen,
                           bool (MidiDevices::*open)(int, const std::string&, const std::string&, bool)) {
        bool found = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] != configured) continue;
            index = static_cast<int>(i);
            (this->*open)(index, names[i], configured, false);
            found = true;
        }
        if (!found) {
            if (const int row = findDevice(names, configured); row >= 0) {
                index = row;
                found = true;
                (this->*open)(row, names[static_cast<std::size_t>(row)], configured, false);
            } else if (const int fallback = fallbackDeviceName.empty() ? -1 : lastRowNamed(names, fallbackDeviceName);
                       fallback >= 0) {
                index = fallback;
                (this->*open)(fallback, fallbackDeviceName, fallbackDeviceName, false);
            }
        }
        // A configured device that is not there, or would not open, is
        // waited for.
        side.waiting = !configured.empty() && !(found && isOpen);
        if (side.waiting && !found) side.lostName = configured;
    };
    openSide(MidiInDeviceNames, MidiInDeviceName, MidiInDeviceIndex, inSide_, MidiInOpen, &MidiDevices::openInput);
    openSide(MidiOutDeviceNames, MidiOutDeviceName, MidiOutDeviceIndex, outSide_, MidiOutOpen,
             &MidiDevices::openOutput);
    stateChanged();
    if (onIdentityRequest) onIdentityRequest();
    return true;
}

MidiDevices::PortLists MidiDevices::listPorts() {
    PortLists lists;
    lists.inputs = platform_.inputPortNames();
    lists.outputs = platform_.outputPortNames();
    return lists;
}

bool MidiDevices::pollPorts() {
    if (busy && busy()) return false;
    applyPortLists(listPorts());
    return true;
}

void MidiDevices::refreshDeviceLists() {
    PortLists lists = listPorts();
    MidiInDeviceNames = std::move(lists.inputs);
    MidiOutDeviceNames = std::move(lists.outputs);
    updateIndexes();
}

int MidiDevices::wantedRow(const std::vector<std::string>& names, const std::string& configured,
                           const Side& side) const {
    if (!configured.empty()) return findDevice(names, configured);
    return side.lostName.empty() ? -1 : lastRowNamed(names, side.lostName);
}

void MidiDevices::updateIndexes() {
    // The open device's row, else the row the configured name stands for.
    auto index = [](const std::vector<std::string>& names, bool open, const Side& side, const std::string& configured) {
        if (open) return lastRowNamed(names, side.openName);
        return findDevice(names, configured);
    };
    MidiInDeviceIndex = index(MidiInDeviceNames, MidiInOpen, inSide_, MidiInDeviceName);
    MidiOutDeviceIndex = index(MidiOutDeviceNames, MidiOutOpen, outSide_, MidiOutDeviceName);
}

void MidiDevices::stateChanged() {
    if (onDeviceStateChanged) onDeviceStateChanged();
}

void MidiDevices::closeQuietly(bool input) {
    // The port has gone: whatever the platform says about closing it, the
    // handle is done with, and there is nobody to tell.
    if (input) {
        if (MidiInOpen) (void)platform_.closeInput(inHandle_);
        MidiInOpen = false;
        inHandle_ = 0;
        inSide_.openName.clear();
    } else {
        if (MidiOutOpen) (void)platform_.closeOutput(outHandle_);
        MidiOutOpen = false;
        outHandle_ = 0;
        outSide_.openName.clear();
    }
}

void MidiDevices::applyPortLists(PortLists lists) {
    if (busy && busy()) return;
    MidiInDeviceNames = std::move(lists.inputs);
    MidiOutDeviceNames = std::move(lists.outputs);
    bool changed = false;

    auto listed = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    // Gone: closed and waited for.
    auto loseGone = [&](bool input) {
        const bool open = input ? MidiInOpen : MidiOutOpen;
        Side& side = input ? inSide_ : outSide_;
        const auto& names = input ? MidiInDeviceNames : MidiOutDeviceNames;
        if (!open || listed(names, side.openName)) return;
        const std::string name = side.openName;
        closeQuietly(input);
        side.waiting = true;
        side.lostName = name;
        side.retryBlocked = false;
        changed = true;
        if (onDeviceLost) onDeviceLost(input, name);
    };
    loseGone(true);
    loseGone(false);

    // Back: opened again, without a message when that fails.
    bool reconnected = false;
    auto reopen = [&](bool input) {
        Side& side = input ? inSide_ : outSide_;
        const auto& names = input ? MidiInDeviceNames : MidiOutDeviceNames;
        const std::string& configured = input ? MidiInDeviceName : MidiOutDeviceName;
        if (!side.waiting) return;
        const int row = wantedRow(names, configured, side);
        if (row < 0) {
            side.retryBlocked = false;
            return;
        }
        const std::string name = names[static_cast<std::size_t>(row)];
        // Standing in with the fallback on that very port already.
        if ((input ? MidiInOpen : MidiOutOpen) && side.openName == name) return;
        if (side.retryBlocked) return;
        const bool opened = input ? openInput(row, name, name, true) : openOutput(row, name, name, true);
        changed = true;
        if (!opened) {
            side.waiting = true;
            side.retryBlocked = true;
            return;
        }
        reconnected = true;
        if (onDeviceReconnected) onDeviceReconnected(input, name);
    };
    reopen(true);
    reopen(false);

    updateIndexes();
    if (changed) stateChanged();
    if (reconnected && MidiOutOpen && onIdentityRequest) onIdentityRequest();
}

void MidiDevices::OpenMidiIn(int device, const std::string& portName) {
    openInput(device, portName.empty() ? rowName(MidiInDeviceNames, device) : portName, MidiInDeviceName);
    stateChanged();
}

bool MidiDevices::openInput(int device, const std::string& portName, const std::string& shownName, bool quiet) {
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
    const MidiResult rc = platform_.openInput(port, portName, std::move(sink), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        // Tried again once the port has gone and come back.
        inSide_.waiting = !MidiInDeviceName.empty();
        inSide_.lostName = portName;
        inSide_.retryBlocked = true;
        if (!quiet) notifier_.showMessage("Unable to open MIDI-IN-Device <" + shownName + "> : " + std::to_string(rc));
        return false;
    }
    // The platform delivers from the open on: there is no receive buffer to
    // register and no start, so kCreateInBufferFailed cannot arise.
    inHandle_ = handle;
    MidiInOpen = true;
    inSide_.openName = portName;
    inSide_.waiting = false;
    inSide_.retryBlocked = false;
    return true;
}

bool MidiDevices::CloseMidiIn() {
    if (!MidiInOpen) return true;
    const MidiResult rc = platform_.closeInput(inHandle_);
    LastMidiResult = rc;
    // Closed or not, the handle is of no further use: keeping the device
    // counted as open would refuse every later open for good.
    MidiInOpen = false;
    inHandle_ = 0;
    inSide_.openName.clear();
    if (rc == MMSYSERR_NOERROR) return true;
    notifier_.showMessage("Unable to close MIDI-IN-Device <" + MidiInDeviceName + "> : " + std::to_string(rc));
    return false;
}

void MidiDevices::OpenMidiOut(int device, const std::string& portName) {
    openOutput(device, portName.empty() ? rowName(MidiOutDeviceNames, device) : portName, MidiOutDeviceName);
    stateChanged();
}

bool MidiDevices::openOutput(int device, const std::string& portName, const std::string& shownName, bool quiet) {
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
    const MidiResult rc = platform_.openOutput(port, portName, std::move(onFailure), handle);
    LastMidiResult = rc;
    if (rc != MMSYSERR_NOERROR) {
        outSide_.waiting = !MidiOutDeviceName.empty();
        outSide_.lostName = portName;
        outSide_.retryBlocked = true;
        if (!quiet) notifier_.showMessage("Unable to open MIDI-OUT-Device <" + shownName + "> : " + std::to_string(rc));
        return false;
    }
    outHandle_ = handle;
    MidiOutOpen = true;
    outSide_.openName = portName;
    outSide_.waiting = false;
    outSide_.retryBlocked = false;
    // Nothing to register either: kCreateOutBufferFailed cannot arise.
    return true;
}

bool MidiDevices::CloseMidiOut() {
    if (!MidiOutOpen) return true;
    const MidiResult rc = platform_.closeOutput(outHandle_);
    LastMidiResult = rc;
    MidiOutOpen = false;
    outHandle_ = 0;
    outSide_.openName.clear();
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
