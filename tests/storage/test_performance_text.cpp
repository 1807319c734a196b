#include "StorageTestSupport.h"

#include "storage/PerformanceText.h"

using namespace patchsmith;
using namespace patchsmith::test;

namespace {
std::vector<Byte> common(int category, std::string_view name8) {
    std::vector<Byte> m(57, 0);
    for (std::size_t i = 0; i < 8; ++i) m[9 + i] = i < name8.size() ? static_cast<Byte>(name8[i]) : ' ';
    m[17] = static_cast<Byte>(category);
    return m;
}
} // namespace

TEST(PerformanceLine, NumberAbbreviationAndTrimmedName) {
    EXPECT_EQ(PerformanceLine(common(1, "GrandPno"), 0), "001  PF GrandPno");
    EXPECT_EQ(PerformanceLine(common(0, "InitPerf"), 127), "128  --   InitPerf");
    EXPECT_EQ(PerformanceLine(common(10, "  Pipe  "), 4), "005  PI  Pipe");
    EXPECT_EQ(PerformanceLine(common(22, "\x01Seq\x02   "), 9), "010  SQ Seq");
    EXPECT_EQ(PerformanceLine(common(1, "        "), 0), "001  PF ");
    EXPECT_EQ(PerformanceLine(makeRecord(4, 1, "GrandPno")), "005  PF GrandPno");
}

TEST(PerformanceLine, LimitsAndDamagedInput) {
    // Category above 22 and a number above 127 stay within their fields.
    EXPECT_EQ(PerformanceLine(common(23, "Name"), 0), "001  ?? Name");
    EXPECT_EQ(PerformanceLine(common(255, "Name"), 200), "073  ?? Name");
    // Control characters inside a name become blanks: a line is one line.
    EXPECT_EQ(PerformanceLine(common(1, "Ab\r\nCd"), 0), "001  PF Ab  Cd");
    // A message too short to hold a name gives an empty name.
    const std::vector<Byte> stub(5, 0);
    EXPECT_EQ(PerformanceLine(stub, 0), "001  --   ");
    for (int cat = 0; cat < 256; ++cat) {
        const std::string line = PerformanceLine(common(cat, "ABCDEFGH"), 127);
        EXPECT_LE(line.size(), 20u);
        EXPECT_EQ(line.substr(0, 5), "128  ");
    }
}

TEST(dropLabel, FileNameRule) {
    EXPECT_EQ(dropLabelText("PF_GrandPno.SYX"), "PF GrandPno");
    EXPECT_EQ(dropLabel(4, "PF_GrandPno.SYX"), "005  PF GrandPno");
    EXPECT_EQ(dropLabelText("AB.SYX"), "AB");
    EXPECT_EQ(dropLabel(4, "AB.SYX"), "005  AB");
    EXPECT_EQ(dropLabelText("ABC.SYX"), "AB ");
    EXPECT_EQ(dropLabelText("a.SYX"), "a");
    EXPECT_EQ(dropLabelText("SYX"), "");
    EXPECT_EQ(dropLabelText(""), "");
    // Cut to 15 first: the last four of the cut text go.
    EXPECT_EQ(dropLabelText("OR_VeryLongName_Here.SYX"), "OR VeryLong");
    EXPECT_LE(dropLabel(127, "OR_VeryLongName_Here.SYX").size(), 20u);
    // Multi-byte characters are never split.
    EXPECT_EQ(dropLabelText("PF_\xC3\xA4\xC3\xB6.SYX"), "PF \xC3\xA4\xC3\xB6");
}

TEST(SlotLabels, DefaultsAndCutToFifteen) {
    SlotLabels labels;
    EXPECT_EQ(labels.label(0), "001");
    EXPECT_EQ(labels.label(127), "128");
    labels.store(4, "005  PF GrandPno");
    EXPECT_EQ(labels.label(4), "005  PF GrandPn");
    labels.store(5, "006  AB");
    EXPECT_EQ(labels.label(5), "006  AB");
    labels.store(128, "x");
    labels.store(-1, "x");
    EXPECT_EQ(labels.label(128), "");
    EXPECT_EQ(labels.label(-1), "");
    labels.reset();
    EXPECT_EQ(labels.label(4), "005");
}

TEST(utf8Prefix, CountsCharacters) {
    EXPECT_EQ(utf8Prefix("abc", 2), "ab");
    EXPECT_EQ(utf8Prefix("abc", 5), "abc");
    EXPECT_EQ(utf8Prefix("\xC3\xA4x", 1), "\xC3\xA4");
    EXPECT_EQ(utf8Prefix("", 0), "");
}
