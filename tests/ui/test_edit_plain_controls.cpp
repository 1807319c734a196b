// Every plain control of the editor (track bars, check boxes, radio groups,
// lists) at its minimum, maximum and a middle position: the stored byte in the
// right block and offset, the read-out, and exactly the messages it must send.
// The expectations are written out here, independently of the parameter table
// the handlers are driven by.

#include "test_edit_fixture.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <gmock/gmock.h>

#include <set>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::ElementsAre;

namespace {

enum class Where { Layer, Common, Effect, Controller };

struct BarExpect {
    const char* name;
    Where where;
    int offset;
    int k; // stored = k - position
    int l; // shown = l - position
};

const std::vector<BarExpect> kBars = {
    {"VelocitySenseDepth", Where::Layer, 8, 127, 127},
    {"VelocitySenseOffset", Where::Layer, 9, 127, 63},
    {"EffectChorus", Where::Layer, 13, 127, 127},
    {"EffectReverb", Where::Layer, 14, 127, 127},
    {"FilterCutoff", Where::Layer, 17, 127, 63},
    {"FilterResonance", Where::Layer, 18, 127, 63},
    {"AEGAtkTime", Where::Layer, 19, 128, 64},
    {"AEGDcyTime", Where::Layer, 20, 128, 64},
    {"AEGRelTime", Where::Layer, 21, 128, 64},
    {"PEGInitLevel", Where::Layer, 23, 127, 63},
    {"PEGAtkTime", Where::Layer, 24, 128, 64},
    {"PEGRelTime", Where::Layer, 25, 128, 64},
    {"PEGRelLevel", Where::Layer, 26, 127, 63},
    {"VelocityLimitLow", Where::Layer, 27, 127, 127},
    {"VelocityLimitHigh", Where::Layer, 28, 127, 127},
    {"AEGSusLevel", Where::Layer, 29, 127, 63},
    {"LFOSpeed", Where::Layer, 30, 128, 64},
    {"LFOAMod", Where::Layer, 32, 128, 64},
    {"LFOPMod", Where::Layer, 33, 128, 64},
    {"LFOFMod", Where::Layer, 34, 128, 64},
    {"FEGAtkTime", Where::Layer, 35, 128, 64},
    {"FEGDcyTime", Where::Layer, 36, 128, 64},
    {"FEGSusLevel", Where::Layer, 37, 127, 63},
    {"FEGRelTime", Where::Layer, 38, 128, 64},
    {"PEGAtkLevel", Where::Layer, 39, 127, 63},
    {"PEGDcyTime", Where::Layer, 40, 128, 64},
    {"CommonVolume", Where::Common, 9, 127, 127},
    {"Scene1Knob1", Where::Common, 10, 127, 63},
    {"Scene1Knob2", Where::Common, 11, 127, 63},
    {"Scene1Knob3", Where::Common, 12, 127, 63},
    {"Scene1Knob4", Where::Common, 13, 127, 63},
    {"Scene1Knob5", Where::Common, 14, 127, 63},
    {"Scene1Knob6", Where::Common, 15, 127, 63},
    {"Scene2Knob1", Where::Common, 16, 127, 63},
    {"Scene2Knob2", Where::Common, 17, 127, 63},
    {"Scene2Knob3", Where::Common, 18, 127, 63},
    {"Scene2Knob4", Where::Common, 19, 127, 63},
    {"Scene2Knob5", Where::Common, 20, 127, 63},
    {"Scene2Knob6", Where::Common, 21, 127, 63},
    {"FCVariCtl", Where::Effect, 19, 127, 63},
    {"ChorusToReverb", Where::Effect, 20, 127, 127},
    {"VariOnRev", Where::Effect, 21, 127, 127},
    {"VariOnCho", Where::Effect, 22, 127, 127},
    {"MWFilterCtl", Where::Controller, 0, 127, 63},
    {"MWLFOPMod", Where::Controller, 1, 127, 127},
    {"MWLFOFMod", Where::Controller, 2, 127, 127},
    {"PitchBend", Where::Controller, 3, 128, 64},
    {"FCFilterCtl", Where::Controller, 4, 127, 63},
    {"FCLFOFMod", Where::Controller, 6, 127, 127},
    {"PortaTime", Where::Controller, 8, 127, 127},
};

int offsetOf(const char* name) {
    for (const BarExpect& e : kBars)
        if (std::string(e.name) == name) return e.offset;
    return -1;
}

Block blockOf(Where where) {
    switch (where) {
    case Where::Common: return Block::Common;
    case Where::Effect: return Block::Effect;
    case Where::Controller: return Block::Controller;
    case Where::Layer: break;
    }
    return Block::Layer1;
}

Byte addressLow(Where where, int offset) {
    switch (where) {
    case Where::Effect: return static_cast<Byte>(0x30 + offset);
    case Where::Controller: return static_cast<Byte>(0x50 + offset);
    default: return static_cast<Byte>(offset);
    }
}

class PlainControls : public EditWindow {
protected:
    // The messages one edit of (where, offset) with byte v must send.
    std::vector<Bytes> expectedMessages(Where where, int offset, Byte v) const {
        if (!context->model.SendEnabled) return {};
        if (where != Where::Layer) return {param(0x00, addressLow(where, offset), v)};
        if (!context->model.AffectAllLayers)
            return {param(static_cast<Byte>(context->model.CurrentLayer), static_cast<Byte>(offset), v)};
        std::vector<Bytes> four;
        for (Byte layer = 1; layer <= 4; ++layer) four.push_back(param(layer, static_cast<Byte>(offset), v));
        return four;
    }

    // The image after an edit of (where, offset) with byte v, from the image before it.
    PerformanceImage expectedImage(const PerformanceImage& before, Where where, int offset, Byte v) const {
        PerformanceImage after = before;
        if (where != Where::Layer) {
            after.setData(blockOf(where), offset, v);
        } else if (context->model.AffectAllLayers) {
            for (int layer = 1; layer <= 4; ++layer) after.setLayerData(layer, offset, v);
        } else {
            after.setLayerData(context->model.CurrentLayer, offset, v);
        }
        return after;
    }
};

// Sets (layer, all, send) for one pass over the controls.
struct Mode {
    const char* name;
    int layer;
    bool all;
    bool send;
};
const Mode kModes[] = {
    {"layer 2", 2, false, true},
    {"all layers", 3, true, true},
    {"send off", 4, false, false},
};

TEST_F(PlainControls, TheTableCoversEveryPlainTrackBar) {
    std::set<std::string> expected;
    for (const BarExpect& e : kBars) expected.insert(e.name);
    // The plain bars of the table: one byte, a read-out that is a number.
    std::set<std::string> table;
    for (const Parameter* p : allParameters())
        if (p->plain() && p->bar() && p->readout == ParamReadout::Number) table.insert(std::string(p->name));
    EXPECT_EQ(table, expected);
}

TEST_F(PlainControls, TrackBarsAtMinimumMaximumAndMiddle) {
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        model().CurrentLayer = mode.layer;
        model().AffectAllLayers = mode.all;
        model().SendEnabled = mode.send;
        for (const BarExpect& e : kBars) {
            QSlider* bar = find<QSlider>(e.name);
            ASSERT_NE(bar, nullptr);
            for (int position : {bar->minimum(), bar->maximum(), (bar->minimum() + bar->maximum()) / 2}) {
                const std::string what = std::string(e.name) + " at " + std::to_string(position);
                SCOPED_TRACE(what);
                const PerformanceImage start = image();
                clearSent();
                drag(bar, position);
                // drag() first moves the bar quietly, so exactly one edit ran.
                const Byte v = static_cast<Byte>(e.k - position);
                ASSERT_LE(e.k - position, 127);
                ASSERT_GE(e.k - position, 0);
                EXPECT_EQ(image(), expectedImage(start, e.where, e.offset, v));
                EXPECT_EQ(sent(), expectedMessages(e.where, e.offset, v));
                EXPECT_EQ(label(e.name), QString::number(e.l - position));
            }
        }
    }
}

TEST_F(PlainControls, TimeBarsNeverStoreZero) {
    for (const char* name : {"AEGAtkTime", "AEGDcyTime", "AEGRelTime", "FEGAtkTime", "FEGDcyTime", "FEGRelTime",
                             "PEGAtkTime", "PEGDcyTime", "PEGRelTime", "LFOSpeed", "LFOPMod"}) {
        SCOPED_TRACE(name);
        QSlider* bar = find<QSlider>(name);
        drag(bar, 1);
        EXPECT_EQ(image().layerData(1, offsetOf(name)), 127);
        drag(bar, 127);
        EXPECT_EQ(image().layerData(1, offsetOf(name)), 1);
    }
}

struct CheckExpect {
    const char* name;
    Where where;
    int offset;
    int on;
};
const std::vector<CheckExpect> kChecks = {
    {"PlayPoly", Where::Layer, 3, 1},
    {"EffectVariation", Where::Layer, 15, 127},
    {"PortaOn", Where::Controller, 7, 1},
};

TEST_F(PlainControls, CheckBoxesBothWays) {
    std::size_t plainChecks = 0;
    for (const Parameter* p : allParameters()) plainChecks += p->plain() && p->control == ParamControl::CheckBox;
    ASSERT_EQ(plainChecks, kChecks.size());
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        model().CurrentLayer = mode.layer;
        model().AffectAllLayers = mode.all;
        model().SendEnabled = mode.send;
        for (const CheckExpect& e : kChecks) {
            auto* box = find<QCheckBox>(e.name);
            for (bool checked : {true, false}) {
                SCOPED_TRACE(std::string(e.name) + (checked ? " checked" : " unchecked"));
                {
                    const QSignalBlocker quiet(box);
                    box->setChecked(!checked);
                }
                const PerformanceImage start = image();
                clearSent();
                box->setChecked(checked);
                const Byte v = static_cast<Byte>(checked ? e.on : 0);
                EXPECT_EQ(image(), expectedImage(start, e.where, e.offset, v));
                EXPECT_EQ(sent(), expectedMessages(e.where, e.offset, v));
            }
        }
    }
}

TEST_F(PlainControls, RadioGroupsStoreTheButtonIndex) {
    const std::vector<std::pair<std::vector<const char*>, int>> groups = {
        {{"LFOSyncFree", "LFOSyncRetrigger", "LFOSyncElement"}, 16},
        {{"LFOWaveSaw", "LFOWaveTriangle", "LFOWaveSH", "LFOWaveElement"}, 31},
    };
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        model().CurrentLayer = mode.layer;
        model().AffectAllLayers = mode.all;
        model().SendEnabled = mode.send;
        for (const auto& [names, offset] : groups) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                SCOPED_TRACE(names[i]);
                // Start from another button of the group.
                find<QRadioButton>(names[(i + 1) % names.size()])->setChecked(true);
                const PerformanceImage start = image();
                clearSent();
                find<QRadioButton>(names[i])->setChecked(true);
                EXPECT_EQ(image(), expectedImage(start, Where::Layer, offset, static_cast<Byte>(i)));
                EXPECT_EQ(sent(), expectedMessages(Where::Layer, offset, static_cast<Byte>(i)));
            }
        }
    }
}

TEST_F(PlainControls, ListsAndCombosStoreTheRow) {
    struct ListExpect {
        const char* name;
        int offset;
        int rows;
    };
    const std::vector<ListExpect> lists = {
        {"PerformanceType", 8, 23}, {"ArpeggioType", 43, 30}, {"ArpeggioSubdiv", 44, 10}, {"Assign1Para", 40, 30}};
    for (bool send : {true, false}) {
        model().SendEnabled = send;
        for (const ListExpect& e : lists) {
            for (int row : {0, e.rows - 1, e.rows / 2}) {
                SCOPED_TRACE(std::string(e.name) + " row " + std::to_string(row));
                auto select = [&](int r) {
                    if (auto* l = window->findChild<QListWidget*>(e.name)) {
                        ASSERT_EQ(l->count(), e.rows);
                        chooseRow(l, r);
                    } else {
                        auto* c = find<QComboBox>(e.name);
                        ASSERT_EQ(c->count(), e.rows);
                        c->setCurrentIndex(r);
                    }
                };
                select(row == 0 ? 1 : 0);
                const PerformanceImage start = image();
                clearSent();
                select(row);
                EXPECT_EQ(image(), expectedImage(start, Where::Common, e.offset, static_cast<Byte>(row)));
                EXPECT_EQ(sent(), expectedMessages(Where::Common, e.offset, static_cast<Byte>(row)));
            }
        }
    }
}

TEST_F(PlainControls, TabbingIntoAListThatShowsNoRowStoresNothing) {
    // Values the lists have no row for: the lists show none.
    image().setData(Block::Common, 43, 0x50); // arpeggio type
    image().setData(Block::Common, 40, 0x50); // assign knob 1
    image().setData(Block::Common, 29, 0x50); // assign knob 2, parameter 1
    window->ShowPerformance();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const PerformanceImage start = image();
    clearSent();

    struct Case {
        const char* name;
        int page;
    };
    for (const Case& c : {Case{"ArpeggioType", 0}, Case{"Assign1Para", 1}, Case{"Assign2Para", 1}}) {
        SCOPED_TRACE(c.name);
        auto* list = find<QListWidget>(c.name);
        window->PageControl1->setCurrentIndex(c.page);
        ASSERT_TRUE(list->selectedItems().isEmpty());
        list->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(list->hasFocus());
        EXPECT_EQ(list->currentRow(), 0) << "the view marks its first row";
        EXPECT_TRUE(list->selectedItems().isEmpty());
    }
    EXPECT_EQ(image(), start);
    EXPECT_TRUE(sent().empty());

    // The keys choose: Space takes the marked row, a move the next one.
    QTest::keyClick(find<QListWidget>("Assign2Para"), Qt::Key_Space);
    EXPECT_EQ(image().data(Block::Common, 29), 0);
    EXPECT_THAT(sent(), ElementsAre(wide(0x1C, image().data(Block::Common, 28), 0)));
    window->PageControl1->setCurrentIndex(0);
    auto* arpeggio = find<QListWidget>("ArpeggioType");
    arpeggio->setFocus(Qt::TabFocusReason);
    clearSent();
    QTest::keyClick(arpeggio, Qt::Key_Down);
    EXPECT_EQ(image().data(Block::Common, 43), 1);
    EXPECT_THAT(sent(), ElementsAre(param(0, 0x2B, 1)));
}

TEST_F(PlainControls, ARefreshRaisingHandlersChangesNothing) {
    // Check boxes, radio buttons and lists set while the window shows the
    // image run their handlers; these must leave the image and the cable alone.
    const PerformanceImage start = image();
    {
        const EditSession::Quiet refresh(context->edits);
        find<QCheckBox>("PlayPoly")->toggle();
        find<QCheckBox>("EffectVariation")->toggle();
        find<QCheckBox>("PortaOn")->toggle();
        find<QRadioButton>("LFOSyncFree")->setChecked(true);
        find<QRadioButton>("LFOWaveSaw")->setChecked(true);
        find<QListWidget>("ArpeggioType")->setCurrentRow(20);
        find<QComboBox>("PerformanceType")->setCurrentIndex(5);
        find<QCheckBox>("RandomPan")->toggle();
        find<QCheckBox>("ArpTempoMidi")->toggle();
        find<QCheckBox>("ArpModeOn")->toggle();
        find<QCheckBox>("ArpModeHold")->toggle();
        find<QCheckBox>("ArpModeSplit")->toggle();
        find<QRadioButton>("Assign2Layer3")->setChecked(true);
        find<QListWidget>("Assign2Para")->setCurrentRow(7);
        find<QListWidget>("ReverbType")->setCurrentRow(4);
        find<QListWidget>("ChorusType")->setCurrentRow(4);
        find<QListWidget>("VariType")->setCurrentRow(4);
        drag(find<QSlider>("AEGAtkTime"), 3);
    }
    EXPECT_EQ(image(), start);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(model().SendEnabled);
}

} // namespace
