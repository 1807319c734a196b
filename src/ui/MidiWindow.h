#pragma once
// The settings window: the MIDI input and output device and the three
// switches (knob turns, program changes, hints).

#include "ui/MidiSettings.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace patchsmith {

class TMidiWindow : public QDialog {
public:
    // `sendIdentityRequest` sends the identity request through the output
    // open at that moment; `applyHints` switches the hints of the whole
    // application (showApplicationHints when empty).
    TMidiWindow(MidiDevices& devices, SynthSwitchRefs switches, Notifier& notifier,
                std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints = {},
                QWidget* parent = nullptr);
    TMidiWindow(MidiDevices& devices, SynthSwitches& switches, Notifier& notifier,
                std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints = {},
                QWidget* parent = nullptr);

    // Adds the group " Test note " below the switches (the window grows);
    // OK takes its three values over.
    void attachTestNote(TestNoteRefs refs);

    // Handlers.
    void FormCreate();
    void midiDeviceOkClick();
    void midiDeviceCancelClick();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* ListMidiInDevice = nullptr;
    QListWidget* ListMidiOutDevice = nullptr;
    QPushButton* MidiDeviceOK = nullptr;
    QPushButton* MidiDeviceCancel = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CheckNoticeKnobs = nullptr;
    QCheckBox* CheckNoticePgm = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckShowHints = nullptr;
    // With attachTestNote only.
    QGroupBox* groupTestNote = nullptr;
    QSpinBox* TestNotePitch = nullptr;
    QLabel* labelTestNotePitch = nullptr;
    QSpinBox* TestNoteVelocity = nullptr;
    QSpinBox* TestNoteLength = nullptr;

private:
    MidiDevices& devices_;
    SynthSwitchRefs switches_;
    Notifier& notifier_;
    std::function<void()> sendIdentityRequest_;
    std::function<void(bool)> applyHints_;
    std::optional<TestNoteRefs> testNote_;
};

// File > Preferences: reads the port lists afresh, creates the settings
// window, shows it modally and destroys it.
// With `testNote` the window offers the test note's settings too.
void showMidiSettings(MidiDevices& devices, SynthSwitchRefs switches, Notifier& notifier,
                      std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints = {},
                      QWidget* parent = nullptr, std::optional<TestNoteRefs> testNote = std::nullopt);

} // namespace patchsmith
