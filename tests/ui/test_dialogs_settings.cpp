// The settings window: device lists, the OK rules (reopen only what changed,
// identity requests, the "both devices" message), the switches and hints.

#include "DialogTestSupport.h"
#include "support/RecordingNotifier.h"

#include "midi/MidiLink.h"
#include "model/Model.h"
#include "support/ScriptedMidiPlatform.h"
#include "ui/MidiWindow.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolTip>

#include <algorithm>

namespace patchsmith {
namespace {

using test::ControlRow;
using test::ModalScript;

const std::vector<Byte> kIdentityRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() : devices(platform, notifier), link(model, devices) {
        test::testApp();
        platform.inputs = {"USB In", "CS1x In", "Loop In"};
        platform.outputs = {"USB Out", "CS1x Out"};
        devices.MidiInDeviceName = "USB In";
        devices.MidiOutDeviceName = "USB Out";
        EXPECT_TRUE(devices.InitMidiDevices());
        platform.calls.clear();
        platform.sent.clear();
        dialogs::showApplicationHints(true);
    }
    ~SettingsWindowTest() override { dialogs::showApplicationHints(true); }

    std::unique_ptr<TMidiWindow> makeWindow() {
        auto window = std::make_unique<TMidiWindow>(
            devices, switches, notifier, [this] { link.SendRequest(TransferKind::Identity); },
            [this](bool on) {
                hintCalls.push_back(on);
                dialogs::showApplicationHints(on);
            });
        window->show();
        return window;
    }

    int opens(const std::string& operation) const {
        return static_cast<int>(std::count(platform.calls.begin(), platform.calls.end(), operation));
    }
    std::vector<midi::ScriptedMidiPlatform::Sent> identityRequests() const {
        std::vector<midi::ScriptedMidiPlatform::Sent> out;
        for (const auto& s : platform.sent)
            if (s.isLong && s.bytes == kIdentityRequest) out.push_back(s);
        return out;
    }

    ModalScript noModal;
    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    MidiDevices devices;
    Model model;
    MidiLink link;
    SynthSwitches switches;
    std::vector<bool> hintCalls;
};

TEST_F(SettingsWindowTest, ControlsTextsAndAccessibility) {
    auto w = makeWindow();
    EXPECT_EQ(w->windowTitle().toStdString(), " Patchsmith - Settings");
    EXPECT_EQ(w->size(), QSize(344, 241));
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "fixed size";
    const ControlRow rows[] = {
        {"Label1", "QLabel", "MIDI-IN device", "", "MIDI-IN device"},
        {"Label2", "QLabel", "MIDI-OUT device", "", "MIDI-OUT device"},
        {"ListMidiInDevice", "QListWidget", nullptr, "", "MIDI-IN device"},
        {"ListMidiOutDevice", "QListWidget", nullptr, "", "MIDI-OUT device"},
        {"MidiDeviceOK", "QPushButton", "OK", "", "OK"},
        {"MidiDeviceCancel", "QPushButton", "Cancel", "", "Cancel"},
        {"GroupBox1", "QGroupBox", " Notice Synth-events ", "", " Notice Synth-events "},
        {"CheckNoticeKnobs", "QCheckBox", "Knob turns", "React on Knob-turns and adjust corresponding parameters",
         "React on Knob-turns and adjust corresponding parameters"},
        {"CheckNoticePgm", "QCheckBox", "Program-changes", "On Program-change, request the actual performance-data",
         "On Program-change, request the actual performance-data"},
        {"GroupBox2", "QGroupBox", " Common ", "", " Common "},
        {"CheckShowHints", "QCheckBox", "Show hints", "Guess what...", "Guess what..."},
    };
    for (const auto& row : rows) test::expectControl(w.get(), row);
    EXPECT_TRUE(w->MidiDeviceOK->isDefault());
    EXPECT_EQ(w->CheckNoticeKnobs->parentWidget(), w->GroupBox1);
    EXPECT_EQ(w->CheckNoticePgm->parentWidget(), w->GroupBox1);
    EXPECT_EQ(w->CheckShowHints->parentWidget(), w->GroupBox2);
    // Lime bold on black lists, bold navy titles.
    EXPECT_EQ(w->ListMidiInDevice->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(w->ListMidiInDevice->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_TRUE(w->ListMidiOutDevice->font().bold());
    EXPECT_EQ(w->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_TRUE(w->Label2->font().bold());
    EXPECT_EQ(w->Label1->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_TRUE(w->GroupBox1->font().bold());
    EXPECT_EQ(w->GroupBox2->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    // The check boxes inside keep the plain look.
    for (QCheckBox* check : {w->CheckNoticeKnobs, w->CheckNoticePgm, w->CheckShowHints}) {
        EXPECT_FALSE(check->font().bold());
        EXPECT_EQ(check->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
}

TEST_F(SettingsWindowTest, OpensWithDeviceRowsAndSwitches) {
    switches = {false, true, false};
    auto w = makeWindow();
    ASSERT_EQ(w->ListMidiInDevice->count(), 3);
    EXPECT_EQ(w->ListMidiInDevice->item(1)->text().toStdString(), "CS1x In");
    ASSERT_EQ(w->ListMidiOutDevice->count(), 2);
    EXPECT_EQ(w->ListMidiInDevice->selectedItems().size(), 1);
    EXPECT_EQ(w->ListMidiInDevice->currentRow(), 0);
    EXPECT_EQ(w->ListMidiOutDevice->currentRow(), 0);
    EXPECT_FALSE(w->CheckNoticeKnobs->isChecked());
    EXPECT_TRUE(w->CheckNoticePgm->isChecked());
    EXPECT_FALSE(w->CheckShowHints->isChecked());
}

TEST_F(SettingsWindowTest, ShowsWholePortNames) {
    // Two ports of one interface that agree in their first 31 characters.
    const std::string port1 = "Roland UM-ONE mk2:UM-ONE mk2 MIDI 1 24:0";
    const std::string port2 = "Roland UM-ONE mk2:UM-ONE mk2 MIDI 2 24:1";
    platform.inputs = {port1, port2};
    platform.outputs = {port1, port2};
    devices.MidiInDeviceName = port2;
    devices.MidiOutDeviceName = port1;
    ASSERT_TRUE(devices.InitMidiDevices());
    auto w = makeWindow();
    ASSERT_EQ(w->ListMidiInDevice->count(), 2);
    EXPECT_EQ(w->ListMidiInDevice->item(0)->text().toStdString(), port1);
    EXPECT_EQ(w->ListMidiInDevice->item(1)->text().toStdString(), port2);
    EXPECT_EQ(w->ListMidiInDevice->currentRow(), 1);
    EXPECT_EQ(w->ListMidiOutDevice->currentRow(), 0);
}

TEST_F(SettingsWindowTest, MissingInputDeviceShowsNoRowAndOkAsksForBoth) {
    devices.MidiInDeviceName = "Gone";
    devices.MidiInDeviceIndex = -1;
    switches = {true, true, true};
    auto w = makeWindow();
    EXPECT_TRUE(w->ListMidiInDevice->selectedItems().isEmpty());
    w->CheckNoticePgm->setChecked(false);
    w->MidiDeviceOK->click();

    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "Please choose BOTH MIDI-Devices before editing!");
    EXPECT_TRUE(w->isVisible()) << "the window stays open";
    EXPECT_EQ(opens("openInput") + opens("openOutput"), 0);
    EXPECT_TRUE(platform.sent.empty());
    // The switches are taken over all the same.
    EXPECT_FALSE(switches.ProgramChanges);
    EXPECT_EQ(hintCalls, std::vector<bool>{true});

    // Choosing the input now closes the window and opens only the input.
    w->ListMidiInDevice->setCurrentRow(1);
    w->MidiDeviceOK->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(opens("openInput"), 1);
    EXPECT_EQ(opens("openOutput"), 0);
    EXPECT_EQ(devices.MidiInDeviceName, "CS1x In");
    EXPECT_EQ(devices.MidiInDeviceIndex, 1);
}

TEST_F(SettingsWindowTest, NoOutputRowAlsoAsks) {
    devices.MidiOutDeviceIndex = -1;
    auto w = makeWindow();
    w->MidiDeviceOK->click();
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Please choose BOTH MIDI-Devices before editing!"});
    EXPECT_TRUE(w->isVisible());
}

TEST_F(SettingsWindowTest, OnlySwitchesChangedReopensNothing) {
    switches = {true, true, true};
    auto w = makeWindow();
    w->CheckNoticeKnobs->setChecked(false);
    w->CheckNoticePgm->setChecked(false);
    w->MidiDeviceOK->click();
    EXPECT_TRUE(platform.calls.empty()) << "no device touched";
    EXPECT_TRUE(platform.sent.empty()) << "no identity request";
    EXPECT_FALSE(switches.SynthKnobs);
    EXPECT_FALSE(switches.ProgramChanges);
    EXPECT_TRUE(switches.ShowHints);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SettingsWindowTest, SameOutputUnderUnchangedNameIsNotReopened) {
    auto w = makeWindow();
    w->ListMidiInDevice->setCurrentRow(1);  // changed
    w->ListMidiOutDevice->setCurrentRow(0); // the same device again
    w->MidiDeviceOK->click();
    EXPECT_EQ(opens("openInput"), 1);
    EXPECT_EQ(opens("closeInput"), 1);
    EXPECT_EQ(opens("openOutput"), 0);
    EXPECT_EQ(opens("closeOutput"), 0);
    const auto ids = identityRequests();
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.openedInputDevice(), 1u);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 0);
}

TEST_F(SettingsWindowTest, BothChangedSendsTwoIdentityRequestsOldOutputFirst) {
    const midi::OutputHandle oldOutput = platform.openOutputHandle();
    auto w = makeWindow();
    w->ListMidiInDevice->setCurrentRow(2);
    w->ListMidiOutDevice->setCurrentRow(1);
    w->MidiDeviceOK->click();

    const auto ids = identityRequests();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0].handle, oldOutput) << "the first leaves through the output still open";
    EXPECT_EQ(ids[1].handle, platform.openOutputHandle());
    EXPECT_NE(ids[1].handle, oldOutput);
    EXPECT_EQ(devices.MidiInDeviceName, "Loop In");
    EXPECT_EQ(devices.MidiOutDeviceName, "CS1x Out");
    EXPECT_EQ(devices.MidiInDeviceIndex, 2);
    EXPECT_EQ(devices.MidiOutDeviceIndex, 1);
    EXPECT_EQ(platform.openedInputDevice(), 2u);
    EXPECT_EQ(platform.openedOutputDevice(), 1u);
    EXPECT_EQ(link.PendingRequest, TransferKind::Identity);
}

TEST_F(SettingsWindowTest, FailedOpenKeepsTheChosenNameAndIndex) {
    platform.failWith("openInput", midi::MIDIERR_NOTREADY);
    auto w = makeWindow();
    w->ListMidiInDevice->setCurrentRow(1);
    w->MidiDeviceOK->click();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "Unable to open MIDI-IN-Device <CS1x In> : 67");
    EXPECT_FALSE(devices.MidiInOpen);
    EXPECT_EQ(devices.MidiInDeviceName, "CS1x In");
    EXPECT_EQ(devices.MidiInDeviceIndex, 1);
    EXPECT_EQ(identityRequests().size(), 1u) << "the output is still open";
}

TEST_F(SettingsWindowTest, HintsSwitchedOffAtOnce) {
    QWidget target;
    target.setToolTip("a hint");
    target.resize(50, 50);
    target.show();
    auto showTip = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), target.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&target, &help);
        return QToolTip::isVisible();
    };
    EXPECT_TRUE(showTip());
    QToolTip::hideText();

    switches.ShowHints = true;
    auto w = makeWindow();
    w->CheckShowHints->setChecked(false);
    w->MidiDeviceOK->click();
    EXPECT_FALSE(switches.ShowHints);
    EXPECT_EQ(hintCalls, std::vector<bool>{false});
    EXPECT_FALSE(dialogs::applicationHintsShown());
    EXPECT_FALSE(showTip());

    dialogs::showApplicationHints(true);
    EXPECT_TRUE(showTip());
    QToolTip::hideText();
}

TEST_F(SettingsWindowTest, CancelKeepsEverything) {
    switches = {true, true, true};
    auto w = makeWindow();
    w->ListMidiInDevice->setCurrentRow(2);
    w->ListMidiOutDevice->setCurrentRow(1);
    w->CheckShowHints->setChecked(false);
    w->CheckNoticeKnobs->setChecked(false);
    w->MidiDeviceCancel->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Rejected);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(switches.ShowHints);
    EXPECT_TRUE(switches.SynthKnobs);
    EXPECT_TRUE(hintCalls.empty());
    EXPECT_TRUE(dialogs::applicationHintsShown());
    EXPECT_EQ(devices.MidiInDeviceName, "USB In");
}

TEST_F(SettingsWindowTest, OkOnUnchangedNamesReopensALostDevice) {
    // The input's port went away and came back; the program has not
    // reopened it yet (the poll waits while a transfer runs).
    platform.inputs = {"CS1x In", "Loop In"};
    devices.pollPorts();
    ASSERT_FALSE(devices.MidiInOpen);
    ASSERT_TRUE(devices.midiInLost());
    platform.inputs = {"USB In", "CS1x In", "Loop In"};
    devices.refreshDeviceLists(); // as File > Preferences does
    platform.calls.clear();
    platform.sent.clear();

    auto w = makeWindow();
    EXPECT_EQ(w->ListMidiInDevice->currentRow(), 0) << "the configured device is offered";
    w->MidiDeviceOK->click();
    EXPECT_TRUE(devices.MidiInOpen);
    EXPECT_FALSE(devices.midiInLost());
    EXPECT_EQ(opens("openInput"), 1);
    EXPECT_EQ(opens("openOutput"), 0) << "the working output is left alone";
    EXPECT_EQ(identityRequests().size(), 1u);
    EXPECT_EQ(devices.MidiInDeviceName, "USB In");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SettingsWindowTest, OkOpensThePortTheRowShowedEvenWhenTheListHasChangedSince) {
    auto w = makeWindow();
    w->ListMidiInDevice->setCurrentRow(2); // "Loop In"
    // Meanwhile a port appeared before it.
    platform.inputs = {"USB In", "New In", "CS1x In", "Loop In"};
    devices.refreshDeviceLists();
    w->MidiDeviceOK->click();
    EXPECT_EQ(devices.MidiInDeviceName, "Loop In");
    EXPECT_EQ(platform.openedInputDevice(), 3u);
}

TEST(applyDeviceChoice, ComparesNamesExactly) {
    midi::ScriptedMidiPlatform platform;
    platform.inputs = {"cs1x in"};
    platform.outputs = {"CS1x Out"};
    test::RecordingNotifier notifier;
    MidiDevices devices(platform, notifier);
    devices.MidiInDeviceName = "CS1x In";
    devices.MidiOutDeviceName = "CS1x Out";
    devices.InitMidiDevices();
    platform.calls.clear();
    int requests = 0;
    EXPECT_TRUE(applyDeviceChoice(devices, {0, "cs1x in", 0, "CS1x Out"}, notifier, [&] { ++requests; }));
    EXPECT_EQ(requests, 1) << "a name differing only in case counts as changed";
    EXPECT_EQ(devices.MidiInDeviceName, "cs1x in");
    EXPECT_TRUE(devices.MidiInOpen);
}

TEST_F(SettingsWindowTest, ShownModallyByPreferences) {
    int shown = 0;
    ModalScript script([&](QDialog& d) {
        ++shown;
        auto& w = dynamic_cast<TMidiWindow&>(d);
        EXPECT_TRUE(w.isModal() || w.isVisible());
        w.CheckNoticeKnobs->setChecked(false);
        w.MidiDeviceOK->click();
    });
    showMidiSettings(
        devices, {switches.SynthKnobs, switches.ProgramChanges, switches.ShowHints}, notifier,
        [this] { link.SendRequest(1); }, [](bool) {});
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(switches.SynthKnobs);
}

TEST_F(SettingsWindowTest, TheTestNoteSettingsAreTakenOverByOKOnly) {
    int pitch = 60, velocity = 100, length = 500;
    auto run = [&](bool ok) {
        ModalScript script([&](QDialog& d) {
            auto& w = dynamic_cast<TMidiWindow&>(d);
            ASSERT_NE(w.groupTestNote, nullptr);
            EXPECT_EQ(w.size(), QSize(344, 299));
            EXPECT_EQ(w.labelTestNotePitch->text(), QStringLiteral("C3"));
            EXPECT_EQ(w.TestNoteLength->accessibleName(), QStringLiteral("How long the button holds the test note"));
            w.TestNotePitch->setValue(200); // the box keeps it in 0..127
            EXPECT_EQ(w.labelTestNotePitch->text(), QStringLiteral("G8"));
            w.TestNoteVelocity->setValue(0);
            w.TestNoteLength->setValue(20);
            (ok ? w.MidiDeviceOK : w.MidiDeviceCancel)->click();
        });
        showMidiSettings(
            devices, {switches.SynthKnobs, switches.ProgramChanges, switches.ShowHints}, notifier, [] {}, [](bool) {},
            nullptr, TestNoteRefs{pitch, velocity, length});
    };
    run(false);
    EXPECT_EQ(pitch, 60);
    run(true);
    EXPECT_EQ(pitch, 127);
    EXPECT_EQ(velocity, 1);
    EXPECT_EQ(length, 50);
}

} // namespace
} // namespace patchsmith
