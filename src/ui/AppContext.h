#pragma once
// The process-wide state of one run: the performance model, the two MIDI
// devices, the SysEx link, the settings values and the bank of the bank
// manager. The application owns one instance for the whole run; the windows
// get a reference to it.

#include "midi/EditSession.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/MidiPlatform.h"
#include "midi/Notifier.h"
#include "model/Model.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceText.h"

#include <array>
#include <cstddef>
#include <string>

namespace patchsmith {

// Caption of every message box and, after a blank, of the main window.
inline constexpr const char* kApplicationTitle = "Qarn Patchsmith V1.1 - YAMAHA-CX1x";

// The process-wide settings values (the two device names live with the
// device layer).
struct SettingsValues {
    std::string LastDir;
    std::string PerfBankDir;
    std::string PerfListFile;
    bool ShowHints = true;
    bool SynthKnobs = true;
    bool ProgramChanges = true;
    // The test note: pitch and velocity, and how long the button holds it.
    int TestNotePitch = 60;
    int TestNoteVelocity = 100;
    int TestNoteLength = 500; // milliseconds
};

// The performance-number texts the main window builds when it is created are
// the bank manager's slot texts: assigning them sets the slot labels, reading
// them reads the labels. One store, so the two can never disagree.
class PerfNumberTextsRef {
public:
    explicit PerfNumberTextsRef(SlotLabels& labels) : labels_(labels) {}
    PerfNumberTextsRef(const PerfNumberTextsRef&) = delete;
    PerfNumberTextsRef& operator=(const PerfNumberTextsRef&) = delete;

    PerfNumberTextsRef& operator=(const std::array<std::string, 128>& texts);
    const std::string& operator[](std::size_t slot) const { return labels_.label(static_cast<int>(slot)); }
    static constexpr std::size_t size() { return 128; }

private:
    SlotLabels& labels_;
};

struct AppContext {
    AppContext(midi::MidiPlatform& platform, Notifier& notifier);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Notifier& notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    // Every change the windows make to the performance goes through it.
    EditSession edits;
    SettingsValues settings;
    // The bank manager's 128 slots and their list texts: they outlive every
    // opening of its window, for the whole run.
    PerformanceBank bank;
    SlotLabels slotLabels;
    // "001".."128" when the main window is created: the slot labels above.
    PerfNumberTextsRef perfNumberTexts{slotLabels};
};

// "001".."128".
std::array<std::string, 128> makePerfNumberTexts();

} // namespace patchsmith
