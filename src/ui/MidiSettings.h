#pragma once
// What OK in the settings window does, without the window: reopen the MIDI
// devices whose chosen names differ from the configured ones (each followed
// by an identity request) and take over the three switches.

#include "midi/MidiDevices.h"
#include "midi/Notifier.h"

#include <functional>
#include <string>

namespace patchsmith {

// The three switches of the settings window.
struct SynthSwitches {
    bool SynthKnobs = true;     // react on knob turns of the synthesizer
    bool ProgramChanges = true; // fetch the performance on a program change
    bool ShowHints = true;      // tool-tip hints
};

// The same switches where the application keeps them.
struct SynthSwitchRefs {
    bool& SynthKnobs;
    bool& ProgramChanges;
    bool& ShowHints;
};

// The test note's settings where the application keeps them.
struct TestNoteRefs {
    int& pitch;    // 0..127
    int& velocity; // 1..127
    int& length;   // milliseconds
};

// The rows chosen in the two device lists; -1 for no selection.
struct DeviceChoice {
    int inRow = -1;
    std::string inText;
    int outRow = -1;
    std::string outText;
};

inline constexpr const char* kChooseBothDevices = "Please choose BOTH MIDI-Devices before editing!";

// Applies a device choice. Without a row on either side it shows
// kChooseBothDevices and opens nothing (false: the window stays open).
// Otherwise a side whose row text differs from the configured name, or whose
// device is not open (its port went away, or it would not open), is renamed,
// reopened on that row and announced with an identity request, input first;
// sides that work under an unchanged name are left alone. True: the window
// closes.
bool applyDeviceChoice(MidiDevices& devices, const DeviceChoice& choice, Notifier& notifier,
                       const std::function<void()>& sendIdentityRequest);

} // namespace patchsmith
