// The control table on its own: consistent enough to build a window from.

#include "ui/ControlTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace patchsmith::editor;

TEST(ControlTable, NamesAreUniqueAndParentsComeFirst) {
    std::set<std::string_view> seen;
    for (const ControlSpec& s : controlTable()) {
        SCOPED_TRACE(std::string(s.name));
        EXPECT_FALSE(s.name.empty());
        if (!s.parent.empty()) { EXPECT_TRUE(seen.count(s.parent)) << "parent " << s.parent << " not defined before"; }
        EXPECT_TRUE(seen.insert(s.name).second) << "duplicate";
    }
}

TEST(ControlTable, TrackBarsStartInsideTheirRangeAndHaveAReadout) {
    int bars = 0;
    for (const ControlSpec& s : controlTable()) {
        if (s.kind != ControlKind::VTrackBar && s.kind != ControlKind::HTrackBar) continue;
        ++bars;
        SCOPED_TRACE(std::string(s.name));
        EXPECT_LE(s.min, s.start);
        EXPECT_LE(s.start, s.max);
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
