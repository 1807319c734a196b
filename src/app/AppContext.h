#pragma once
// The process-wide state of one run: the performance model, the two MIDI
// devices, the SysEx link and the settings values. The application owns one
// instance for the whole run; the windows get a reference to it.

#include "app/Settings.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/MidiPlatform.h"
#include "midi/Notifier.h"
#include "model/Model.h"

#include <array>
#include <string>

namespace patchsmith::app {

struct AppContext {
    AppContext(midi::MidiPlatform& platform, Notifier& notifier);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Notifier& notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    SettingsValues settings;
    // "001".."128": the slot numbers of the bank manager.
    std::array<std::string, 128> PerfNumberTexts{};
};

// "001".."128".
std::array<std::string, 128> MakePerfNumberTexts();

} // namespace patchsmith::app
