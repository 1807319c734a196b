#include "ui/MidiWindow.h"

#include "ui/DialogKit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "model/Names.h"

#include <algorithm>
#include <tuple>

namespace patchsmith {

using namespace dialogs;

namespace {

QLabel* titleLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    setAccessible(label, text, name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    styleBoldNavy(label);
    label->setGeometry(geometry);
    return label;
}

QListWidget* deviceList(QWidget* parent, const QString& name, const QString& title, QRect geometry) {
    auto* list = new QListWidget(parent);
    setAccessible(list, title, name);
    styleLimeOnBlack(list);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setGeometry(geometry);
    return list;
}

QGroupBox* groupBox(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
    auto* box = new QGroupBox(caption, parent);
    setAccessible(box, caption, name);
    styleBoldNavy(box);
    box->setGeometry(geometry);
    return box;
}

QCheckBox* checkBox(QGroupBox* parent, const QString& name, const QString& caption, const QString& hint,
                    QRect geometry) {
    auto* check = new QCheckBox(caption, parent);
    setHint(check, hint, name);
    // The group caption is bold navy; its check boxes keep the normal look.
    stylePlain(check);
    check->setGeometry(geometry);
    return check;
}

void fillDeviceList(QListWidget* list, const std::vector<std::string>& names, int index) {
    list->clear();
    for (const auto& name : names) list->addItem(QString::fromStdString(name));
    if (index >= 0 && index < list->count()) {
        list->setCurrentRow(index);
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
}

// The row chosen in a list and its text; -1 and empty without a selection.
std::pair<int, std::string> chosenRow(const QListWidget* list) {
    const auto selected = list->selectedItems();
    if (selected.isEmpty()) return {-1, {}};
    return {list->row(selected.front()), selected.front()->text().toStdString()};
}

} // namespace

TMidiWindow::TMidiWindow(MidiDevices& devices, SynthSwitches& switches, Notifier& notifier,
                         std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints,
                         QWidget* parent)
    : TMidiWindow(devices, SynthSwitchRefs{switches.SynthKnobs, switches.ProgramChanges, switches.ShowHints}, notifier,
                  std::move(sendIdentityRequest), std::move(applyHints), parent) {}

TMidiWindow::TMidiWindow(MidiDevices& devices, SynthSwitchRefs switches, Notifier& notifier,
                         std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints,
                         QWidget* parent)
    : QDialog(parent), devices_(devices), switches_(switches), notifier_(notifier),
      sendIdentityRequest_(std::move(sendIdentityRequest)), applyHints_(std::move(applyHints)) {
    setObjectName("TMidiWindow");
    prepareDialog(this, " Patchsmith - Settings", 344, 241);

    Label1 = titleLabel(this, "Label1", "MIDI-IN device", {8, 8, 160, 16});
    Label2 = titleLabel(this, "Label2", "MIDI-OUT device", {176, 8, 160, 16});
    ListMidiInDevice = deviceList(this, "ListMidiInDevice", "MIDI-IN device", {8, 26, 160, 105});
    ListMidiOutDevice = deviceList(this, "ListMidiOutDevice", "MIDI-OUT device", {176, 26, 160, 105});

    GroupBox1 = groupBox(this, "GroupBox1", " Notice Synth-events ", {8, 138, 160, 64});
    CheckNoticeKnobs = checkBox(GroupBox1, "CheckNoticeKnobs", "Knob turns",
                                "React on Knob-turns and adjust corresponding parameters", {10, 18, 144, 18});
    CheckNoticePgm = checkBox(GroupBox1, "CheckNoticePgm", "Program-changes",
                              "On Program-change, request the actual performance-data", {10, 39, 144, 18});
    GroupBox2 = groupBox(this, "GroupBox2", " Common ", {176, 138, 160, 64});
    CheckShowHints = checkBox(GroupBox2, "CheckShowHints", "Show hints", "Guess what...", {10, 18, 144, 18});

    MidiDeviceOK = new QPushButton("OK", this);
    setAccessible(MidiDeviceOK, "OK", "MidiDeviceOK");
    MidiDeviceOK->setGeometry(176, 208, 76, 25);
    MidiDeviceOK->setDefault(true);
    MidiDeviceCancel = new QPushButton("Cancel", this);
    setAccessible(MidiDeviceCancel, "Cancel", "MidiDeviceCancel");
    MidiDeviceCancel->setGeometry(260, 208, 76, 25);

    connect(MidiDeviceOK, &QPushButton::clicked, this, [this] { midiDeviceOkClick(); });
    connect(MidiDeviceCancel, &QPushButton::clicked, this, [this] { midiDeviceCancelClick(); });

    FormCreate();
}

void TMidiWindow::attachTestNote(TestNoteRefs refs) {
    if (testNote_) return;
    testNote_.emplace(refs);
    groupTestNote = groupBox(this, "GroupTestNote", " Test note ", {8, 208, 328, 50});
    auto spin = [this](const char* name, const char* hint, int min, int max, int value, QRect geometry) {
        auto* box = new QSpinBox(groupTestNote);
        setHint(box, hint, name);
        stylePlain(box);
        box->setRange(min, max);
        box->setValue(std::clamp(value, min, max));
        box->setGeometry(geometry);
        return box;
    };
    auto caption = [this](const char* text, QRect geometry) {
        auto* label = new QLabel(text, groupTestNote);
        stylePlain(label);
        label->setGeometry(geometry);
    };
    caption("Note", {10, 22, 30, 18});
    TestNotePitch = spin("TestNotePitch", "Note number of the test note", 0, 127, refs.pitch, {40, 20, 50, 22});
    labelTestNotePitch = new QLabel(groupTestNote);
    setReadout(labelTestNotePitch, "Label_TestNotePitch");
    stylePlain(labelTestNotePitch);
    labelTestNotePitch->setGeometry(94, 22, 30, 18);
    auto showName = [this](int note) { labelTestNotePitch->setText(QString::fromStdString(noteName(note))); };
    connect(TestNotePitch, &QSpinBox::valueChanged, this, showName);
    showName(TestNotePitch->value());
    caption("Vel.", {128, 22, 26, 18});
    TestNoteVelocity = spin("TestNoteVelocity", "Velocity of the test note", 1, 127, refs.velocity, {154, 20, 50, 22});
    caption("Length", {210, 22, 40, 18});
    TestNoteLength =
        spin("TestNoteLength", "How long the button holds the test note", 50, 10000, refs.length, {250, 20, 70, 22});
    TestNoteLength->setSingleStep(50);
    TestNoteLength->setSuffix(" ms");

    MidiDeviceOK->move(176, 266);
    MidiDeviceCancel->move(260, 266);
    setFixedSize(344, 299);
}

void TMidiWindow::FormCreate() {
    fillDeviceList(ListMidiInDevice, devices_.MidiInDeviceNames, devices_.MidiInDeviceIndex);
    fillDeviceList(ListMidiOutDevice, devices_.MidiOutDeviceNames, devices_.MidiOutDeviceIndex);
    CheckNoticeKnobs->setChecked(switches_.SynthKnobs);
    CheckNoticePgm->setChecked(switches_.ProgramChanges);
    CheckShowHints->setChecked(switches_.ShowHints);
}

void TMidiWindow::midiDeviceOkClick() {
    DeviceChoice choice;
    std::tie(choice.inRow, choice.inText) = chosenRow(ListMidiInDevice);
    std::tie(choice.outRow, choice.outText) = chosenRow(ListMidiOutDevice);
    const bool close = applyDeviceChoice(devices_, choice, notifier_, sendIdentityRequest_);

    // The switches are taken over even when the window stays open.
    switches_.SynthKnobs = CheckNoticeKnobs->isChecked();
    switches_.ProgramChanges = CheckNoticePgm->isChecked();
    switches_.ShowHints = CheckShowHints->isChecked();
    if (testNote_) {
        testNote_->pitch = TestNotePitch->value();
        testNote_->velocity = TestNoteVelocity->value();
        testNote_->length = TestNoteLength->value();
    }
    if (applyHints_) {
        applyHints_(switches_.ShowHints);
    } else {
        showApplicationHints(switches_.ShowHints);
    }
    if (close) accept();
}

void TMidiWindow::midiDeviceCancelClick() { reject(); }

void showMidiSettings(MidiDevices& devices, SynthSwitchRefs switches, Notifier& notifier,
                      std::function<void()> sendIdentityRequest, std::function<void(bool)> applyHints, QWidget* parent,
                      std::optional<TestNoteRefs> testNote) {
    // Ports plugged in or gone since the lists were last read are shown as
    // they are.
    devices.refreshDeviceLists();
    TMidiWindow window(devices, switches, notifier, std::move(sendIdentityRequest), std::move(applyHints), parent);
    if (testNote) window.attachTestNote(*testNote);
    runModal(window);
}

} // namespace patchsmith
