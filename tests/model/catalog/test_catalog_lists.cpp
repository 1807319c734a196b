#include "model/catalog/AssignKnobs.h"
#include "model/catalog/FactoryPerformances.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <string>

using namespace patchsmith;

namespace {

// knob -> index -> name, straight from the published list.
std::map<int, std::map<int, std::string>> readAssignFile() {
    std::ifstream in(std::string(PS_CATALOG_DATA_DIR) + "/cs1x-assign-knob-params.tsv");
    std::map<int, std::map<int, std::string>> out;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto a = line.find('\t'), b = line.find('\t', a + 1);
        out[std::stoi(line.substr(0, a))][std::stoi(line.substr(a + 1, b - a - 1))] = line.substr(b + 1);
    }
    return out;
}

bool contains(const std::array<std::string_view, kAssignParamCount>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

TEST(AssignKnobs, ListsStartWithOffAndKeepThePublishedNames) {
    ASSERT_EQ(Assign1Para.size(), 30u);
    ASSERT_EQ(Assign2Para.size(), 30u);
    EXPECT_EQ(Assign1Para[0], "Off");
    EXPECT_EQ(Assign2Para[0], "Off");
    const auto file = readAssignFile();
    ASSERT_EQ(file.at(1).size(), 30u);
    ASSERT_EQ(file.at(2).size(), 30u);
    for (int i = 1; i < 30; ++i) {
        EXPECT_EQ(Assign1Para[static_cast<std::size_t>(i)], file.at(1).at(i)) << i;
        EXPECT_EQ(Assign2Para[static_cast<std::size_t>(i)], file.at(2).at(i)) << i;
    }
    // Targets known from the factory performances.
    for (auto name : {"ArpgTempo", "VariCntrl", "ChorusSend"}) EXPECT_TRUE(contains(Assign1Para, name)) << name;
    for (auto name : {"LFOAMod", "LFOFMod", "AEGDcyTime", "FEGDcyTime", "FEGAtkTime"})
        EXPECT_TRUE(contains(Assign2Para, name)) << name;
}

TEST(FactoryPerformances, RowsOfTheUserPerformanceList) {
    EXPECT_EQ(kFactoryPerformanceLines[0], "001  DR umTrax2");
    EXPECT_EQ(kFactoryPerformanceLines[127], "128  CO EuroKit");
    for (int i = 0; i < kFactoryPerformanceCount; ++i) {
        const std::string line(kFactoryPerformanceLines[static_cast<std::size_t>(i)]);
        char number[16];
        std::snprintf(number, sizeof number, "%03d  ", i + 1);
        ASSERT_EQ(line.substr(0, 5), number);
        ASSERT_TRUE(std::isupper(static_cast<unsigned char>(line[5])) &&
                    std::isupper(static_cast<unsigned char>(line[6])))
            << line;
        ASSERT_EQ(line[7], ' ') << line;
        ASSERT_GE(line.size(), 9u) << line;
        ASSERT_LE(line.size(), 16u) << line; // names have at most 8 characters
    }
}
