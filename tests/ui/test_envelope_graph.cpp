#include "ui/EnvelopeGraph.h"

#include <gtest/gtest.h>

#include <vector>

using namespace patchsmith::editor;

namespace {

std::vector<GraphPoint> pts(std::initializer_list<std::pair<int, int>> list) {
    std::vector<GraphPoint> v;
    for (auto [x, y] : list) v.push_back({x, y});
    return v;
}

} // namespace

TEST(AdsrEnvelope, StartPositionsInTheAmplitudeBox) {
    const EnvelopeGeometry g = adsrEnvelope(90, 31, 64, 64, 64, 64);
    EXPECT_EQ(g.attack, 14);
    EXPECT_EQ(g.decay, 14);
    EXPECT_EQ(g.release, 14);
    EXPECT_EQ(g.markerX, (std::vector<int>{15, 29, 75}));
    EXPECT_EQ(g.markerTop, 1);
    EXPECT_EQ(g.markerBottom, 30);
    EXPECT_EQ(g.line, pts({{1, 30}, {15, 1}, {29, 16}, {75, 16}, {89, 30}}));
}

TEST(AdsrEnvelope, ShortestTimesCollapseAttackAndDecayOntoTheLeftEdge) {
    const EnvelopeGeometry g = adsrEnvelope(90, 31, 127, 127, 64, 127);
    EXPECT_EQ(g.attack, 0);
    EXPECT_EQ(g.decay, 0);
    EXPECT_EQ(g.release, 0);
    EXPECT_EQ(g.markerX, (std::vector<int>{1, 1, 89}));
    EXPECT_EQ(g.line, pts({{1, 30}, {1, 1}, {1, 16}, {89, 16}, {89, 30}}));
}

TEST(AdsrEnvelope, LongestTimes) {
    const EnvelopeGeometry g = adsrEnvelope(90, 31, 1, 1, 64, 1);
    EXPECT_EQ(g.attack, 28);
    EXPECT_EQ(g.markerX, (std::vector<int>{29, 57, 61}));
    EXPECT_EQ(g.line, pts({{1, 30}, {29, 1}, {57, 16}, {61, 16}, {89, 30}}));
}

TEST(AdsrEnvelope, SustainBarEnds) {
    EXPECT_EQ(adsrEnvelope(90, 31, 64, 64, 0, 64).line[2], (GraphPoint{29, 1}));
    EXPECT_EQ(adsrEnvelope(90, 31, 64, 64, 127, 64).line[3], (GraphPoint{75, 30}));
}

TEST(AdsrEnvelope, FollowsTheActualBoxSize) {
    // W = 31: xs = 10, H = 11: r = 10.
    const EnvelopeGeometry g = adsrEnvelope(31, 11, 64, 64, 64, 64);
    EXPECT_EQ(g.markerX, (std::vector<int>{6, 11, 25}));
    EXPECT_EQ(g.line, pts({{1, 10}, {6, 1}, {11, 6}, {25, 6}, {30, 10}}));
}

TEST(AdsrEnvelope, PositionsOutsideTheBarsStayInsideTheBox) {
    for (int pos : {-500, 0, 128, 1000}) {
        const EnvelopeGeometry g = adsrEnvelope(90, 31, pos, pos, pos, pos);
        for (const GraphPoint& p : g.line) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 89);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 30);
        }
    }
}

TEST(AdsrEnvelope, NoGeometryForADegenerateBox) {
    EXPECT_TRUE(adsrEnvelope(0, 31, 64, 64, 64, 64).empty());
    EXPECT_TRUE(adsrEnvelope(90, 1, 64, 64, 64, 64).empty());
    EXPECT_TRUE(pitchEnvelope(-3, 31, 64, 64, 64, 64, 64, 64).empty());
}

TEST(PitchEnvelope, StartPositions) {
    const EnvelopeGeometry g = pitchEnvelope(146, 31, 64, 64, 64, 64, 64, 64);
    EXPECT_EQ(g.attack, 14);
    EXPECT_EQ(g.decay, 14);
    EXPECT_EQ(g.release, 14);
    EXPECT_EQ(g.markerX, (std::vector<int>{20, 34, 48, 112, 126}));
    EXPECT_EQ(g.markerBottom, 30);
    EXPECT_EQ(g.line, pts({{1, 16}, {20, 16}, {34, 16}, {48, 15}, {112, 15}, {126, 16}, {146, 16}}));
}

TEST(PitchEnvelope, LevelZeroLiesOnTheMiddleRow) {
    // Position 63 shows the value 0.
    const EnvelopeGeometry g = pitchEnvelope(146, 31, 63, 64, 63, 64, 64, 63);
    EXPECT_EQ(g.line[0].y, 15);
    EXPECT_EQ(g.line[2].y, 15);
    EXPECT_EQ(g.line[6].y, 15);
}

TEST(PitchEnvelope, EachLevelHasItsOwnBar) {
    const EnvelopeGeometry g = pitchEnvelope(146, 31, 0, 127, 127, 1, 1, 64);
    // Attack time 127 (T = 1) is 0 pixels, decay and release (T = 127) 28.
    EXPECT_EQ(g.markerX, (std::vector<int>{20, 20, 48, 98, 126}));
    EXPECT_EQ(g.line, pts({{1, 1}, {20, 1}, {20, 30}, {48, 15}, {98, 15}, {126, 16}, {146, 16}}));
}
