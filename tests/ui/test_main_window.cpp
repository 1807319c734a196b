// The editor window against the layout it must have: every control by its
// objectName with its kind, range, start position, caption and hint; the
// accessible texts; the menu; the status line, lamps and timers.

#include "TestApp.h"

#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/DialogKit.h"
#include "ui/EditHandlers.h"
#include "ui/MainWindow.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace patchsmith;
using editor::TMainWindow;

namespace {

class RecordingNotifier : public Notifier {
public:
    std::vector<std::string> messages;
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

struct WindowFixture : ::testing::Test {
    midi::ScriptedMidiPlatform platform;
    RecordingNotifier notifier;
    AppContext context{platform, notifier};
    std::unique_ptr<TMainWindow> window;

    void SetUp() override {
        test::testApp();
        // Before the start-up refresh shows the default performance.
        window = std::make_unique<TMainWindow>(context, nullptr, false);
    }
    template <class T>
    T* find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
};

enum class Kind { VBar, HBar, Check, Radio, List, Combo, Edit, Button, Speed, Paint, Picture, Tab, Group, Lamp };

struct Expect {
    const char* name;
    Kind kind;
    int min;   // bars: minimum; lists and combos: unused
    int max;   // bars: maximum; lists and combos: number of rows
    int start; // bars: position; check/radio/speed: 1 = checked; lists/combos: selected row
    const char* caption;
    const char* hint;
};

// Written from the window's description, not from the control table.
const std::vector<Expect> kExpected = {
    // left column
    {"UserPerf", Kind::List, 0, 128, -1, "", "Select active User-Performance"},
    {"SaveToSynth", Kind::Button, 0, 0, 0, "Save changes to User-Perf", "Make actual changes permanent"},
    {"ActiveEditLayer", Kind::Group, 0, 0, 0, " Active Edit/Audible ", ""},
    {"EditLayer1", Kind::Radio, 0, 0, 1, "Layer 1", "Edit Layer 1"},
    {"EditLayer2", Kind::Radio, 0, 0, 0, "Layer 2", "Edit Layer 2"},
    {"EditLayer3", Kind::Radio, 0, 0, 0, "Layer 3", "Edit Layer 3"},
    {"EditLayer4", Kind::Radio, 0, 0, 0, "Layer 4", "Edit Layer 4"},
    {"MuteLayer1", Kind::Speed, 0, 0, 0, nullptr, "Mute Layer 1"},
    {"MuteLayer2", Kind::Speed, 0, 0, 0, nullptr, "Mute Layer 2"},
    {"MuteLayer3", Kind::Speed, 0, 0, 0, nullptr, "Mute Layer 3"},
    {"MuteLayer4", Kind::Speed, 0, 0, 0, nullptr, "Mute Layer 4"},
    {"AffectAllLayers", Kind::Check, 0, 0, 0, "Edit all Layers simult.", "Affect editing to ALL Layers"},
    {"Image2", Kind::Picture, 0, 0, 0, nullptr, "The amazing Techno-Synth"},
    {"GroupMidiInOut", Kind::Group, 0, 0, 0, nullptr, "Midi In/Out monitor"},
    {"MidiInLED", Kind::Lamp, 0, 0, 0, nullptr, ""},
    {"MidiOutLED", Kind::Lamp, 0, 0, 0, nullptr, ""},
    // Common
    {"PerformanceName", Kind::Edit, 0, 8, 0, "", "Performance name"},
    {"PerformanceType", Kind::Combo, 0, 23, 0, nullptr, "Performance cathegory"},
    {"CommonVolume", Kind::VBar, 0, 127, 27, nullptr, "Common volume"},
    {"ArpTempo", Kind::VBar, 40, 240, 140, nullptr, "Arpeggiator tempo"},
    {"ArpTempoMidi", Kind::Check, 0, 0, 0, "MIDI", "Arpeggio-tempo MIDI"},
    {"ArpeggioType", Kind::List, 0, 30, -1, nullptr, "Arpeggiator-type"},
    {"ArpModeOn", Kind::Check, 0, 0, 0, "On", "Arpeggiator ON/OFF"},
    {"ArpModeHold", Kind::Check, 0, 0, 0, "Hold", "Arpeggiator Hold-mode"},
    {"ArpModeSplit", Kind::Check, 0, 0, 0, "Split", "Arpeggiator Split-mode"},
    {"ArpeggioSubdiv", Kind::Combo, 0, 10, 0, nullptr, "Arpeggiator sub-divide"},
    {"MWLFOPMod", Kind::VBar, 0, 127, 117, nullptr, "Modulation-wheel Pitch-Mod depth"},
    {"MWLFOFMod", Kind::VBar, 0, 127, 127, nullptr, "Modulation-wheel Filter-Mod depth"},
    {"MWFilterCtl", Kind::VBar, 0, 127, 64, nullptr, "Modulation-wheel Filter-control"},
    {"FCLFOFMod", Kind::VBar, 0, 127, 127, nullptr, "Foot-controller Filter-Mod depth"},
    {"FCFilterCtl", Kind::VBar, 0, 127, 64, nullptr, "Foot-controller Filter-control"},
    {"FCVariCtl", Kind::VBar, 0, 127, 64, nullptr, "Foot-controller Variation-depth"},
    {"PortaOn", Kind::Check, 0, 0, 0, "ON", "Portamento ON/OFF"},
    {"PortaTime", Kind::VBar, 0, 127, 127, nullptr, "Portamento time"},
    {"PitchBend", Kind::VBar, 40, 88, 62, nullptr, "Pitch-bend range (semitones)"},
    // Common / Knobs
    {"Scene1Knob1", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Amp-EG Attack-time"},
    {"Scene1Knob2", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Amp-EG Release-time"},
    {"Scene1Knob3", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Assign-Knob 1"},
    {"Scene1Knob4", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Filter Cutoff-frequency"},
    {"Scene1Knob5", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Filter resonance"},
    {"Scene1Knob6", Kind::VBar, 0, 127, 64, nullptr, "Scene 1, Assign-Knob 2"},
    {"Scene2Knob1", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Amp-EG Attack-time"},
    {"Scene2Knob2", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Amp-EG Release-time"},
    {"Scene2Knob3", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Assign-Knob 1"},
    {"Scene2Knob4", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Filter Cutoff-frequency"},
    {"Scene2Knob5", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Filter resonance"},
    {"Scene2Knob6", Kind::VBar, 0, 127, 64, nullptr, "Scene 2, Assign-Knob 2"},
    {"Assign1Para", Kind::List, 0, 30, -1, nullptr, "Assign-Knob 1 parameter"},
    {"Assign2Tab", Kind::Tab, 0, 4, 0, nullptr, "Select Assign-Knob 2 Parameter-bank"},
    {"Assign2Para", Kind::List, 0, 30, -1, nullptr, "Assign-Knob 2 parameter"},
    {"Assign2Level", Kind::VBar, 32, 96, 64, nullptr, "Assign-Knob 2 sensitivity"},
    {"Assign2Layer1", Kind::Radio, 0, 0, 1, "Layer 1", "Assign-Knob 2 Layer select"},
    {"Assign2Layer2", Kind::Radio, 0, 0, 0, "Layer 2", "Assign-Knob 2 Layer select"},
    {"Assign2Layer3", Kind::Radio, 0, 0, 0, "Layer 3", "Assign-Knob 2 Layer select"},
    {"Assign2Layer4", Kind::Radio, 0, 0, 0, "Layer 4", "Assign-Knob 2 Layer select"},
    // Common / Effects
    {"ReverbType", Kind::List, 0, 12, -1, nullptr, "Reverb Type"},
    {"ChorusType", Kind::List, 0, 12, -1, nullptr, "Chorus Type"},
    {"ChorusToReverb", Kind::VBar, 0, 127, 127, nullptr, "Chorus to Reverb send-level"},
    {"VariOnRev", Kind::VBar, 0, 127, 87, nullptr, "Variation on Layer Reverb-send"},
    {"VariOnCho", Kind::VBar, 0, 127, 127, nullptr, "Variation on Layer Chorus-send"},
    {"VariType", Kind::List, 0, 44, -1, nullptr, "Variation Type"},
    // Until a variation type is shown the six bars are as for type "OFF".
    {"VPara1", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 1 (depends on V.-Type)"},
    {"VPara2", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 2 (depends on V.-Type)"},
    {"VPara3", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 3 (depends on V.-Type)"},
    {"VPara4", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 4 (depends on V.-Type)"},
    {"VPara5", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 5 (depends on V.-Type)"},
    {"VPara10", Kind::VBar, 0, 1, 1, nullptr, "Variation Parameter 10 (depends on V.-Type)"},
    // Layer Voice
    {"PatchBankNumber", Kind::Combo, 0, 58, 0, nullptr, "Layer Bank-select"},
    {"PatchVoiceNumber", Kind::List, 0, 128, 0, nullptr, "Layer Voice-select"},
    {"EffectReverb", Kind::VBar, 0, 127, 86, nullptr, "Reverb send level"},
    {"EffectChorus", Kind::VBar, 0, 127, 127, nullptr, "Chorus send level"},
    {"EffectVariation", Kind::Check, 0, 0, 0, "VARI", "Variation send ON/OFF"},
    {"VelocityLimitLow", Kind::VBar, 0, 126, 126, nullptr, "Velocity Limit-LOW level"},
    {"VelocityLimitHigh", Kind::VBar, 0, 126, 0, nullptr, "Velocity Limit-HIGH level"},
    {"VelocitySenseDepth", Kind::VBar, 0, 127, 63, nullptr, "Velocity sense depth"},
    {"VelocitySenseOffset", Kind::VBar, 0, 127, 63, nullptr, "Velocity sense offset"},
    {"VelocityDefaults", Kind::Button, 0, 0, 0, "Set to defaults", "Set all velocity-levels to default values"},
    {"NoteLimitLow", Kind::HBar, 0, 127, 0, nullptr, "Lowest played note"},
    {"NoteLimitHigh", Kind::HBar, 0, 127, 127, nullptr, "Highest played note"},
    {"PanPot", Kind::HBar, 1, 127, 64, nullptr, "Position of played note (L-C-R)"},
    {"RandomPan", Kind::Check, 0, 0, 0, "Random Panning", "Set panpot to random position"},
    {"NoteShift", Kind::VBar, -24, 24, 0, nullptr, "Note shift (semitones)"},
    {"NoteDetune", Kind::VBar, -127, 128, 0, nullptr, "Note detune"},
    {"LayerVolume", Kind::VBar, 0, 127, 0, nullptr, "Layer main volume"},
    {"PlayPoly", Kind::Check, 0, 0, 0, "Poly", "Poly-/monophonic playmode"},
    {"LayerOn", Kind::Check, 0, 0, 0, "Layer", "Enable Layer"},
    // Layer EG's / LFO
    {"AEGAtkTime", Kind::VBar, 1, 127, 64, nullptr, "Amp-EG attack-time"},
    {"AEGDcyTime", Kind::VBar, 1, 127, 64, nullptr, "Amp-EG decay-time"},
    {"AEGRelTime", Kind::VBar, 1, 127, 64, nullptr, "Amp-EG release-time"},
    {"AEGSusLevel", Kind::VBar, 0, 127, 64, nullptr, "Amp-EG sustain-level"},
    {"PaintAEG", Kind::Paint, 0, 0, 0, nullptr, ""},
    {"FEGAtkTime", Kind::VBar, 1, 127, 64, nullptr, "Filter-EG attack-time"},
    {"FEGDcyTime", Kind::VBar, 1, 127, 64, nullptr, "Filter-EG decay-time"},
    {"FEGRelTime", Kind::VBar, 1, 127, 64, nullptr, "Filter-EG release-time"},
    {"FEGSusLevel", Kind::VBar, 0, 127, 64, nullptr, "Filter-EG sustain-level"},
    {"PaintFEG", Kind::Paint, 0, 0, 0, nullptr, ""},
    {"PEGInitLevel", Kind::VBar, 0, 127, 64, nullptr, "Pitch-EG initial level"},
    {"PEGAtkLevel", Kind::VBar, 0, 127, 64, nullptr, "Pitch-EG attack-level"},
    {"PEGRelLevel", Kind::VBar, 0, 127, 64, nullptr, "Pitch-EG release-level"},
    {"PEGAtkTime", Kind::VBar, 1, 127, 64, nullptr, "Pitch-EG attack-time"},
    {"PEGDcyTime", Kind::VBar, 1, 127, 64, nullptr, "Pitch-EG decay-time"},
    {"PEGRelTime", Kind::VBar, 1, 127, 64, nullptr, "Pitch-EG release-time"},
    {"PaintPEG", Kind::Paint, 0, 0, 0, nullptr, ""},
    {"LFOSpeed", Kind::VBar, 1, 127, 64, nullptr, "LFO Speed"},
    {"LFOAMod", Kind::VBar, 33, 95, 64, nullptr, "LFO amplitude-modulation level"},
    {"LFOPMod", Kind::VBar, 1, 127, 64, nullptr, "LFO pitch-modulation level"},
    {"LFOFMod", Kind::VBar, 49, 79, 64, nullptr, "LFO frequency-modulation level"},
    {"LFOWaveTriangle", Kind::Radio, 0, 0, 0, nullptr, "LFO triangle wave"},
    {"LFOWaveSaw", Kind::Radio, 0, 0, 0, nullptr, "LFO sawtooth wave"},
    {"LFOWaveSH", Kind::Radio, 0, 0, 0, nullptr, "LFO sample & hold"},
    {"LFOWaveElement", Kind::Radio, 0, 0, 1, "Element", "LFO wave element-settings"},
    {"ImageTriangle", Kind::Picture, 0, 0, 0, nullptr, "LFO triangle wave"},
    {"ImageSawtooth", Kind::Picture, 0, 0, 0, nullptr, "LFO sawtooth wave"},
    {"Image1", Kind::Picture, 0, 0, 0, nullptr, "LFO sample & hold"},
    {"LFOSyncFree", Kind::Radio, 0, 0, 0, "FreeRun", "LFO no phase-init"},
    {"LFOSyncRetrigger", Kind::Radio, 0, 0, 0, "Retrigger", "LFO phase-init retriggered"},
    {"LFOSyncElement", Kind::Radio, 0, 0, 1, "Element", "LFO sync element-settings"},
    {"FilterCutoff", Kind::VBar, 0, 127, 64, nullptr, "Filter cutoff-frequency"},
    {"FilterResonance", Kind::VBar, 0, 127, 64, nullptr, "Filter resonance-level"},
};

// Page of each parameter control, by page caption.
const std::vector<std::pair<const char*, std::vector<const char*>>> kPages = {
    {"Common",
     {"PerformanceName", "PerformanceType", "CommonVolume", "ArpTempo", "ArpeggioType", "ArpeggioSubdiv", "MWLFOPMod",
      "FCVariCtl", "PortaOn", "PitchBend"}},
    {"Common / Knobs",
     {"Scene1Knob1", "Scene2Knob6", "Assign1Para", "Assign2Tab", "Assign2Para", "Assign2Level", "Assign2Layer4"}},
    {"Common / Effects", {"ReverbType", "ChorusType", "ChorusToReverb", "VariOnCho", "VariType", "VPara10"}},
    {"Layer Voice",
     {"PatchBankNumber", "PatchVoiceNumber", "EffectReverb", "VelocityDefaults", "NoteLimitLow", "PanPot", "NoteDetune",
      "LayerVolume", "LayerOn", "Label_PerfName"}},
    {"Layer EG's / LFO",
     {"AEGAtkTime", "PaintAEG", "FEGRelTime", "PaintFEG", "PEGRelLevel", "PaintPEG", "LFOFMod", "LFOWaveSH", "Image1",
      "LFOSyncElement", "FilterResonance"}},
};

QString expectedAccessibleName(const Expect& e) {
    // The four assign-knob-2 layer buttons share their hint; their captions tell them apart.
    if (std::string(e.name).rfind("Assign2Layer", 0) == 0) return QString::fromUtf8(e.caption);
    if (e.hint && *e.hint) return QString::fromUtf8(e.hint);
    return QString::fromUtf8(e.caption ? e.caption : "").trimmed();
}

} // namespace

TEST_F(WindowFixture, EveryControlHasItsKindRangeStartCaptionAndHint) {
    for (const Expect& e : kExpected) {
        SCOPED_TRACE(e.name);
        QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(e.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(e.hint));
        switch (e.kind) {
        case Kind::VBar:
        case Kind::HBar: {
            auto* b = qobject_cast<QSlider*>(w);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->orientation(), e.kind == Kind::VBar ? Qt::Vertical : Qt::Horizontal);
            // Vertical bars have their minimum at the top.
            EXPECT_EQ(b->invertedAppearance(), e.kind == Kind::VBar);
            EXPECT_EQ(b->minimum(), e.min);
            EXPECT_EQ(b->maximum(), e.max);
            EXPECT_EQ(b->value(), e.start);
            EXPECT_EQ(b->tickPosition(), QSlider::NoTicks);
            EXPECT_EQ(b->singleStep(), 1);
            break;
        }
        case Kind::Check: {
            auto* c = qobject_cast<QCheckBox*>(w);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->isChecked(), e.start == 1);
            if (e.caption) {
                EXPECT_EQ(c->text(), QString::fromUtf8(e.caption));
            }
            break;
        }
        case Kind::Radio: {
            auto* r = qobject_cast<QRadioButton*>(w);
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(r->isChecked(), e.start == 1);
            if (e.caption) {
                EXPECT_EQ(r->text(), QString::fromUtf8(e.caption));
            }
            break;
        }
        case Kind::List: {
            auto* l = qobject_cast<QListWidget*>(w);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->count(), e.max);
            EXPECT_EQ(l->currentRow(), e.start);
            EXPECT_EQ(l->palette().color(QPalette::Base), QColor(Qt::black));
            break;
        }
        case Kind::Combo: {
            auto* c = qobject_cast<QComboBox*>(w);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->count(), e.max);
            EXPECT_EQ(c->currentIndex(), e.start);
            EXPECT_FALSE(c->isEditable());
            EXPECT_EQ(c->palette().color(QPalette::Button), QColor(Qt::black));
            break;
        }
        case Kind::Edit: {
            auto* l = qobject_cast<QLineEdit*>(w);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->maxLength(), e.max);
            break;
        }
        case Kind::Button: {
            auto* b = qobject_cast<QPushButton*>(w);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->text(), QString::fromUtf8(e.caption));
            break;
        }
        case Kind::Speed: {
            auto* b = qobject_cast<QToolButton*>(w);
            ASSERT_NE(b, nullptr);
            EXPECT_TRUE(b->isCheckable());
            EXPECT_EQ(b->isChecked(), e.start == 1);
            break;
        }
        case Kind::Paint: EXPECT_NE(qobject_cast<editor::PaintBox*>(w), nullptr); break;
        case Kind::Picture: EXPECT_NE(qobject_cast<editor::PictureBox*>(w), nullptr); break;
        case Kind::Tab: {
            auto* t = qobject_cast<editor::TabControl*>(w);
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->count(), e.max);
            EXPECT_EQ(t->currentIndex(), e.start);
            break;
        }
        case Kind::Group: {
            auto* g = qobject_cast<QGroupBox*>(w);
            ASSERT_NE(g, nullptr);
            if (e.caption) {
                EXPECT_EQ(g->title(), QString::fromUtf8(e.caption));
            }
            break;
        }
        case Kind::Lamp: EXPECT_NE(qobject_cast<editor::Lamp*>(w), nullptr); break;
        }
        // Assistive tools: the hint (or caption) as the name, the control's
        // own name as the description.
        EXPECT_EQ(w->accessibleDescription(), QString::fromLatin1(e.name));
        if (e.kind != Kind::Lamp && e.kind != Kind::Paint) {
            EXPECT_EQ(w->accessibleName(), expectedAccessibleName(e));
        }
        EXPECT_FALSE(w->accessibleName().isEmpty());
    }
}

TEST_F(WindowFixture, AccessibleInterfaceCarriesNameAndDescription) {
    for (const char* name : {"AEGAtkTime", "UserPerf", "EditLayer2", "SaveToSynth", "Assign2Tab"}) {
        SCOPED_TRACE(name);
        QWidget* w = find<QWidget>(name);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->text(QAccessible::Description), QString::fromLatin1(name));
        EXPECT_EQ(iface->text(QAccessible::Name), w->accessibleName());
    }
    EXPECT_EQ(find<QWidget>("AEGAtkTime")->accessibleName(), QStringLiteral("Amp-EG attack-time"));
    EXPECT_EQ(find<QWidget>("PaintAEG")->accessibleName(), QStringLiteral("Amp-EG graph"));
    EXPECT_EQ(find<QWidget>("PaintPEG")->accessibleName(), QStringLiteral("Pitch-EG graph"));
    EXPECT_EQ(find<QWidget>("StatusPanel")->accessibleName(), QStringLiteral("Status line"));
    EXPECT_EQ(find<QWidget>("MidiInLED")->accessibleName(), QStringLiteral("IN"));
    EXPECT_EQ(find<QWidget>("GroupPitchEG")->accessibleName(), QStringLiteral("Pitch EG"));
    EXPECT_EQ(window->PageControl1->widget(4)->accessibleName(), QStringLiteral("Layer EG's / LFO"));
}

TEST_F(WindowFixture, ScreenReadersHearEachControlByItsCurrentCaptionOrHint) {
    auto nameOf = [](QWidget* w) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        return iface ? iface->text(QAccessible::Name) : QString();
    };
    // Combo boxes by their hint, the entry shown being their value.
    for (const char* name : {"PerformanceType", "ArpeggioSubdiv", "PatchBankNumber"}) {
        SCOPED_TRACE(name);
        auto* box = find<QComboBox>(name);
        box->setCurrentIndex(2);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::ComboBox);
        EXPECT_EQ(iface->text(QAccessible::Name), box->toolTip());
        EXPECT_EQ(iface->text(QAccessible::Value), box->itemText(2));
        EXPECT_EQ(iface->text(QAccessible::Description), QString::fromLatin1(name));
    }
    EXPECT_EQ(nameOf(find<QComboBox>("PerformanceType")), QStringLiteral("Performance cathegory"));

    // The layer buttons of assign knob 2 by their captions.
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(nameOf(find<QRadioButton>(("Assign2Layer" + std::to_string(i)).c_str())),
                  QStringLiteral("Layer %1").arg(i));

    // The captions of the variation bars as the type shown has them.
    window->VariType->setCurrentRow(1); // Hall 1
    window->edit->SetupVariationControls();
    QLabel* const captions[6] = {window->Text_VPara1, window->Text_VPara2, window->Text_VPara3,
                                 window->Text_VPara4, window->Text_VPara5, window->Text_VPara10};
    for (QLabel* l : captions) EXPECT_EQ(nameOf(l), l->text()) << l->objectName().toStdString();
    EXPECT_EQ(nameOf(window->Text_VPara1), QStringLiteral("REVERB TIME"));
    window->VariType->setCurrentRow(0); // OFF
    window->edit->SetupVariationControls();
    EXPECT_EQ(nameOf(window->Text_VPara1), QStringLiteral("--"));

    // Controls that do different things never share a name; a wave picture
    // is clicked as its radio button and may share the button's.
    const std::map<QString, QString> sameControl = {
        {"ImageTriangle", "LFOWaveTriangle"}, {"ImageSawtooth", "LFOWaveSaw"}, {"Image1", "LFOWaveSH"}};
    std::map<QString, QString> holder;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QSlider*>(w) ||
                             qobject_cast<QListWidget*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w) ||
                             qobject_cast<editor::PictureBox*>(w) || qobject_cast<editor::TabControl*>(w);
        if (!control || window->control(w->objectName().toStdString()) != w) continue;
        const QString name = nameOf(w);
        SCOPED_TRACE(w->objectName().toStdString() + " \"" + name.toStdString() + "\"");
        EXPECT_FALSE(name.isEmpty());
        const auto [it, added] = holder.emplace(name, w->objectName());
        if (added) continue;
        const auto pair = sameControl.find(it->second);
        const bool allowed = (pair != sameControl.end() && pair->second == w->objectName()) ||
                             (sameControl.count(w->objectName()) && sameControl.at(w->objectName()) == it->second);
        EXPECT_TRUE(allowed) << "shared with " << it->second.toStdString();
    }
}

TEST_F(WindowFixture, ReadoutsAndStatusLineAreReadByTheirLiveText) {
    QStringList readouts;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->objectName().startsWith(QStringLiteral("Label_"))) readouts << l->objectName();
    // One read-out per track bar, plus the performance line of the voice page.
    EXPECT_EQ(readouts.size(), static_cast<qsizetype>(window->findChildren<QSlider*>().size() + 1));
    readouts << QStringLiteral("StatusLabel");
    for (const QString& name : readouts) {
        SCOPED_TRACE(name.toStdString());
        auto* l = window->findChild<QLabel*>(name);
        ASSERT_NE(l, nullptr);
        EXPECT_TRUE(l->accessibleName().isEmpty());
        EXPECT_EQ(l->accessibleDescription(), name);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(l);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->text(QAccessible::Name), l->text());
    }
    EXPECT_EQ(window->Label_AEGAtkTime->text(), QStringLiteral("0"));
    EXPECT_EQ(window->Label_PerfName->text(), QStringLiteral("--"));
}

TEST_F(WindowFixture, EverySliderHasItsReadoutBesideIt) {
    for (QSlider* s : window->findChildren<QSlider*>()) {
        SCOPED_TRACE(s->objectName().toStdString());
        auto* l = window->findChild<QLabel*>(QStringLiteral("Label_") + s->objectName());
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->parentWidget(), s->parentWidget());
        EXPECT_EQ(l->text(), QStringLiteral("0"));
        EXPECT_EQ(s->pageStep(), s->objectName() == QLatin1String("NoteShift")            ? 3
                                 : s->objectName() == QLatin1String("NoteDetune")         ? 10
                                 : s->objectName().startsWith(QLatin1String("NoteLimit")) ? 12
                                                                                          : 16);
    }
}

TEST_F(WindowFixture, FivePagesInOrderWithTheirControls) {
    QTabWidget* pages = window->PageControl1;
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(kPages[static_cast<std::size_t>(i)].first));
        for (const char* name : kPages[static_cast<std::size_t>(i)].second)
            EXPECT_TRUE(pages->widget(i)->isAncestorOf(find<QWidget>(name))) << name;
    }
    EXPECT_EQ(pages->currentIndex(), 0);
    // The assign-knob 2 controls sit on the tab control.
    EXPECT_TRUE(window->Assign2Tab->isAncestorOf(window->Assign2Para));
    EXPECT_TRUE(window->Assign2Tab->isAncestorOf(window->Assign2Level));
    QStringList tabs;
    for (int i = 0; i < window->Assign2Tab->count(); ++i) tabs << window->Assign2Tab->tabBar()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Param. 1", "Param. 2", "Param. 3", "Param. 4"}));
}

TEST_F(WindowFixture, ListsStartWithTheirCatalogueRows) {
    EXPECT_EQ(window->UserPerf->item(0)->text(), QStringLiteral("001  DR umTrax2"));
    EXPECT_EQ(window->UserPerf->item(127)->text(), QStringLiteral("128  CO EuroKit"));
    EXPECT_EQ(window->PatchVoiceNumber->item(0)->text(), QStringLiteral("001 GrandPno"));
    EXPECT_EQ(window->PatchVoiceNumber->item(127)->text(), QStringLiteral("128 Gunshot"));
    EXPECT_EQ(window->PatchBankNumber->itemText(0), QStringLiteral("XG 000"));
    EXPECT_EQ(window->PatchBankNumber->itemText(1), QStringLiteral("XG 001 (KSP)"));
    EXPECT_EQ(window->PatchBankNumber->itemText(2), QStringLiteral("XG 003 (Stereo)"));
    EXPECT_EQ(window->ReverbType->item(0)->text(), QStringLiteral("OFF"));
    EXPECT_EQ(window->ReverbType->item(11)->text(), QStringLiteral("Basement"));
    EXPECT_EQ(window->ChorusType->item(11)->text(), QStringLiteral("Flanger 3"));
    EXPECT_EQ(window->VariType->item(43)->text(), QStringLiteral("THRU"));
    EXPECT_EQ(window->Assign1Para->item(0)->text(), QStringLiteral("Off"));
    EXPECT_EQ(window->Assign2Para->item(0)->text(), QStringLiteral("Off"));
    EXPECT_EQ(window->PerformanceType->itemText(3), QStringLiteral("OR Organ"));
    EXPECT_EQ(window->PerformanceType->itemText(10), QStringLiteral("PI   Pipe"));
    EXPECT_EQ(window->PerformanceType->itemText(22), QStringLiteral("SQ  Sequence"));
    EXPECT_EQ(window->ArpeggioType->item(22)->text(), QStringLiteral("Echo & Pan"));
    EXPECT_EQ(window->ArpeggioSubdiv->itemText(0), QStringLiteral("3 / 8"));
    EXPECT_EQ(window->ArpeggioSubdiv->itemText(9), QStringLiteral("1 / 32"));
    // The user-performance list draws lime bold text.
    EXPECT_EQ(window->UserPerf->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_TRUE(window->UserPerf->font().bold());
}

TEST_F(WindowFixture, MenuCaptionsAccessKeysAndShortcuts) {
    QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    EXPECT_EQ(top[0]->text(), QStringLiteral(" &File "));
    EXPECT_EQ(top[1]->text(), QStringLiteral(" &Edit "));
    EXPECT_EQ(top[2]->text(), QStringLiteral(" &Bulk-Dump "));
    EXPECT_EQ(top[3]->text(), QStringLiteral(" &About "));
    EXPECT_EQ(top[3]->objectName(), QStringLiteral("MenuAbout"));
    EXPECT_EQ(top[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(window->menuShortcuts.at("MenuFile")->key(), QKeySequence(QStringLiteral("Ctrl+F")));
    EXPECT_EQ(window->menuShortcuts.at("MenuEdit")->key(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(window->menuShortcuts.at("MenuBulk")->key(), QKeySequence(QStringLiteral("Ctrl+B")));

    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    const Item items[] = {
        {"MenuFileOpenActPerf", "Actual Performance", "", true},
        {"MenuFileOpenPerfNames", "Performance-names", "", true},
        {"MenuFileSaveActPerf", "Actual Performance", "", true},
        {"MenuFileSavePerfNames", "Performance-names", "", true},
        {"MenuFilePreferences", "&Preferences", "", true},
        {"MenuFileExit", "E&xit", "", true},
        {"MenuEditUndo", "Undo", "Ctrl+Z", false},
        {"MenuEditRedo", "Redo", "Ctrl+Shift+Z", false},
        {"MenuEditCopyLayer", "&Copy Layerdata", "Ctrl+C", true},
        {"MenuEditPasteLayer", "Paste Layerdata", "Ctrl+V", false},
        {"MenuEditCompare", "Compare with original", "Ctrl+K", true},
        {"MenuBulkPerfNames", "&Request all Performance-names", "", true},
        {"MenuBulkSinglePerfSynth", "Single User-Performance (to CS1x)", "", true},
        {"MenuBulkPerfBankSynth", "Performance-Bank          (to CS1x)", "", true},
        {"MenuBulkSinglePerfHD", "Single User-Performance (to HD)", "", true},
        {"MenuBulkAllPerfHD", "All User-Performances     (to HD)", "", true},
        {"MenuBulkBankEdit", "&Performance-bank manager", "", true},
    };
    for (const Item& it : items) {
        SCOPED_TRACE(it.name);
        auto* a = window->findChild<QAction*>(QString::fromLatin1(it.name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromLatin1(it.caption));
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(it.shortcut)));
        EXPECT_EQ(a->isEnabled(), it.enabled);
    }
    // Menu structure: File > Open / Save submenus, items in order.
    EXPECT_EQ(window->MenuFileOpen->title(), QStringLiteral("&Open"));
    EXPECT_EQ(window->MenuFileSave->title(), QStringLiteral("&Save"));
    EXPECT_EQ(window->MenuFileOpen->actions(),
              (QList<QAction*>{window->MenuFileOpenActPerf, window->MenuFileOpenPerfNames}));
    QList<QAction*> edit;
    for (QAction* a : window->MenuEdit->actions())
        if (!a->isSeparator()) edit << a;
    EXPECT_EQ(edit, (QList<QAction*>{window->MenuEditUndo, window->MenuEditRedo, window->MenuEditCopyLayer,
                                     window->MenuEditPasteLayer, window->MenuEditCompare, window->MenuEditRandomize}));
    EXPECT_EQ(window->MenuEditRedo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
    EXPECT_EQ(window->MenuEditRandomize->text(), QStringLiteral("Randomize\u2026"));
    EXPECT_TRUE(window->MenuEditCompare->isCheckable());
    QList<QAction*> bulk;
    for (QAction* a : window->MenuBulk->actions())
        if (!a->isSeparator()) bulk << a;
    EXPECT_EQ(bulk, (QList<QAction*>{window->MenuBulkPerfNames, window->MenuBulkSinglePerfSynth,
                                     window->MenuBulkPerfBankSynth, window->MenuBulkSinglePerfHD,
                                     window->MenuBulkAllPerfHD, window->MenuBulkBankEdit}));
}

TEST_F(WindowFixture, CtrlLetterOpensItsMenu) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->menuShortcuts.at("MenuBulk")->activated();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->MenuBulk->isVisible(); }, 2000));
    window->MenuBulk->hide();
}

TEST_F(WindowFixture, ExitEndsTheEventLoop) {
    QTimer::singleShot(0, window.get(), [&] { window->MenuFileExit->trigger(); });
    QTimer guard;
    guard.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}

TEST_F(WindowFixture, CaptionAndFixedClientArea) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Qarn Patchsmith V1.1 - YAMAHA-CX1x"));
    EXPECT_EQ(window->centralWidget()->size(), QSize(632, 411));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize before = window->size();
    window->resize(before + QSize(100, 80));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), before);
    EXPECT_EQ(window->centralWidget()->size(), QSize(632, 411));
    // Centred on the screen.
    const QPoint centre = window->screen()->availableGeometry().center();
    EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 2);
    // The bevel along the top follows the window's width.
    EXPECT_EQ(window->TitleBevel->width(), window->width());
    EXPECT_EQ(window->TitleBevel->y(), 0);
}

TEST_F(WindowFixture, StatusLineSettlesToOkAndFallsBackAfterEachText) {
    EXPECT_EQ(window->StatusLabel->text(), QStringLiteral("OK"));
    EXPECT_TRUE(window->StatusLabel->font().bold());
    EXPECT_EQ(window->StatusLabel->palette().color(QPalette::WindowText), QColor(Qt::yellow));
    EXPECT_EQ(window->StatusPanel->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(window->StatusTimer->isActive());
    EXPECT_EQ(window->StatusTimer->interval(), 500);

    window->ShowStatus(std::string("Layerdata copied..."));
    EXPECT_EQ(window->StatusLabel->text(), QStringLiteral("Layerdata copied..."));
    EXPECT_EQ(window->StatusTimer->interval(), 750);
    EXPECT_TRUE(window->StatusTimer->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->StatusLabel->text() == QLatin1String("OK"); }, 3000));
    EXPECT_FALSE(window->StatusTimer->isActive());
}

TEST_F(WindowFixture, LampsPulseLimeAndReturnToGreen) {
    for (QTimer* t : {window->MidiInTimer, window->MidiOutTimer, window->MidiRequestTimer})
        EXPECT_FALSE(t->isActive()) << t->objectName().toStdString();
    EXPECT_EQ(window->MidiInLED->color(), QColor(0, 128, 0));
    EXPECT_EQ(window->MidiOutLED->color(), QColor(0, 128, 0));

    window->PulseMidiInLed();
    EXPECT_EQ(window->MidiInLED->color(), QColor(0, 255, 0));
    EXPECT_EQ(window->MidiOutLED->color(), QColor(0, 128, 0));
    EXPECT_TRUE(window->MidiInTimer->isActive());
    EXPECT_EQ(window->MidiInTimer->interval(), 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->MidiInLED->color() == QColor(0, 128, 0); }, 2000));
    EXPECT_FALSE(window->MidiInTimer->isActive());

    window->PulseMidiOutLed();
    EXPECT_EQ(window->MidiOutLED->color(), QColor(0, 255, 0));
    EXPECT_EQ(window->MidiOutTimer->interval(), 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->MidiOutLED->color() == QColor(0, 128, 0); }, 2000));
}

TEST_F(WindowFixture, ClickingAPictureReportsIt) {
    int clicks = 0;
    QObject::connect(window->Image2, &editor::PictureBox::clicked, [&] { ++clicks; });
    // The click opens the about window: let it close at once.
    dialogs::setModalRunner([](QDialog&) { return 0; });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::mouseClick(window->Image2, Qt::LeftButton);
    dialogs::setModalRunner({});
    EXPECT_EQ(clicks, 1);
}

TEST_F(WindowFixture, EnvelopeBoxesPaintTheirGraphs) {
    EXPECT_EQ(window->PaintAEG->size(), QSize(90, 31));
    EXPECT_EQ(window->PaintFEG->size(), QSize(90, 31));
    EXPECT_EQ(window->PaintPEG->size(), QSize(146, 31));

    const QImage aeg = window->PaintAEG->grab().toImage();
    const QColor black(0, 0, 0), red(255, 0, 0), lime(0, 255, 0);
    EXPECT_EQ(aeg.pixelColor(5, 25), black);
    EXPECT_EQ(aeg.pixelColor(29, 25), red);  // decay marker
    EXPECT_EQ(aeg.pixelColor(75, 5), red);   // release marker
    EXPECT_EQ(aeg.pixelColor(15, 1), lime);  // attack peak
    EXPECT_EQ(aeg.pixelColor(50, 16), lime); // sustain row
    EXPECT_EQ(aeg.pixelColor(50, 15), black);

    // The graph follows the bars.
    window->AEGSusLevel->setValue(0);
    window->DrawAEGEnvelope();
    const QImage moved = window->PaintAEG->grab().toImage();
    EXPECT_EQ(moved.pixelColor(50, 1), lime);
    EXPECT_EQ(moved.pixelColor(50, 16), black);

    const QImage peg = window->PaintPEG->grab().toImage();
    EXPECT_EQ(peg.pixelColor(80, 15), lime); // middle row between decay and release
    EXPECT_EQ(peg.pixelColor(112, 5), red);
    EXPECT_EQ(peg.pixelColor(10, 16), lime); // initial level across the margin
}
