#include "ui/MidiSettings.h"

namespace patchsmith {

bool applyDeviceChoice(MidiDevices& devices, const DeviceChoice& choice, Notifier& notifier,
                       const std::function<void()>& sendIdentityRequest) {
    if (choice.inRow < 0 || choice.outRow < 0) {
        notifier.showMessage(kChooseBothDevices);
        return false;
    }
    // The name is stored before opening, so that a failure message names the
    // device just chosen and that name is kept for the next start.
    if (choice.inText != devices.MidiInDeviceName || !devices.MidiInOpen) {
        devices.MidiInDeviceName = choice.inText;
        devices.OpenMidiIn(choice.inRow, choice.inText);
        if (sendIdentityRequest) sendIdentityRequest();
        devices.MidiInDeviceIndex = choice.inRow;
    }
    if (choice.outText != devices.MidiOutDeviceName || !devices.MidiOutOpen) {
        devices.MidiOutDeviceName = choice.outText;
        devices.OpenMidiOut(choice.outRow, choice.outText);
        if (sendIdentityRequest) sendIdentityRequest();
        devices.MidiOutDeviceIndex = choice.outRow;
    }
    return true;
}

} // namespace patchsmith
