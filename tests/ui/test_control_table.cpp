// The control table on its own: consistent enough to build a window from.

#include "ui/ControlTable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace patchsmith::editor;

TEST(ControlTable, NamesAreUniqueAndParentsComeFirst) {
    std::set<std::string_view> seen;
    for (const ControlSpec& s : controlTable()) {
        SCOPED_TRACE(std::string(s.name));
        EXPECT_FALSE(s.name.empty());
        if (!s.parent.empty()) {
            EXPECT_TRUE(seen.count(s.parent)) << "parent " << s.parent << " not defined before";
        }
        EXPECT_TRUE(seen.insert(s.name).second) << "duplicate";
    }
}

TEST(ControlTable, TrackBarsStartInsideTheirRangeAndHaveAReadout) {
    int bars = 0;
    for (const ControlSpec& s : controlTable()) {
        if (s.kind != ControlKind::VTrackBar && s.kind != ControlKind::HTrackBar) continue;
        ++bars;
        SCOPED_TRACE(std::string(s.name));
        // Range and start position are the parameter's.
        const patchsmith::Parameter* p = parameterOf(s);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->bar());
        EXPECT_LE(p->min, p->start);
        EXPECT_LE(p->start, p->max);
        EXPECT_EQ(s.readout, "Label_" + std::string(s.name));
        const ControlSpec* readout = findControl(s.readout);
        ASSERT_NE(readout, nullptr);
        EXPECT_EQ(readout->kind, ControlKind::ReadoutLabel);
        EXPECT_EQ(readout->parent, s.parent);
        EXPECT_FALSE(s.hint.empty());
    }
    // 3 + 4 + 3 + ... : every track bar of the five pages.
    EXPECT_EQ(bars, 64);
}

TEST(ControlTable, FivePagesInOrder) {
    std::vector<std::string_view> pages;
    for (const ControlSpec& s : controlTable())
        if (s.kind == ControlKind::Page) pages.push_back(s.caption);
    EXPECT_EQ(pages, (std::vector<std::string_view>{"Common", "Common / Knobs", "Common / Effects", "Layer Voice",
                                                    "Layer EG's / LFO"}));
}

TEST(ControlTable, StartRowsOfTheFixedLists) {
    EXPECT_EQ(startItems("PerformanceType").size(), 23u);
    EXPECT_EQ(startItems("ArpeggioType").size(), 30u);
    EXPECT_EQ(startItems("ArpeggioSubdiv").size(), 10u);
    EXPECT_EQ(startItems("UserPerf").size(), 128u);
    EXPECT_EQ(startItems("PatchBankNumber").size(), 58u);
    EXPECT_TRUE(startItems("AEGAtkTime").empty());
    EXPECT_TRUE(startItems("NoSuchControl").empty());
    EXPECT_EQ(findControl("NoSuchControl"), nullptr);
}

TEST(ControlTable, EveryParameterIsShownByItsControls) {
    using namespace patchsmith;
    std::map<const Parameter*, std::vector<const ControlSpec*>> shown;
    for (const ControlSpec& s : controlTable()) {
        if (s.parameter.empty()) continue;
        SCOPED_TRACE(std::string(s.name));
        const Parameter* p = parameterOf(s);
        ASSERT_NE(p, nullptr) << s.parameter;
        shown[p].push_back(&s);
        if (s.choice >= 0) {
            EXPECT_LT(s.choice, p->entries);
        }
        if (s.kind == ControlKind::RadioButton) {
            EXPECT_GE(s.choice, 0);
        }
        if (s.companion) {
            EXPECT_TRUE(p->zeroChecksCompanion);
        }
    }
    for (const Parameter* p : allParameters()) {
        SCOPED_TRACE(std::string(p->name));
        // The other three assign-knob-2 parameters share the first one's controls.
        if (p->tab > 1) {
            EXPECT_EQ(shown.count(p), 0u);
            continue;
        }
        ASSERT_EQ(shown.count(p), 1u);
        const auto& controls = shown[p];
        switch (p->control) {
        case ParamControl::Choices:
        case ParamControl::ModeChecks: EXPECT_EQ(static_cast<int>(controls.size()), p->entries); break;
        case ParamControl::VBar:
        case ParamControl::HBar:
            // A companion box beside the bar, or the bar alone.
            EXPECT_EQ(controls.size(), p->zeroChecksCompanion ? 2u : 1u);
            break;
        default: EXPECT_EQ(controls.size(), 1u);
        }
    }
    // Lists start with their parameter's entries.
    EXPECT_EQ(startItems("ReverbType").front(), "OFF");
    EXPECT_EQ(startItems("VariType").back(), "THRU");
    EXPECT_EQ(startItems("Assign2Para").size(), 30u);
    EXPECT_EQ(startItems("PatchVoiceNumber").front(), "001 GrandPno");
}
