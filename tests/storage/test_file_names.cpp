#include "StorageTestSupport.h"

#include "storage/FileNames.h"

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

TEST(ReplaceExtension, WindowsAndPosixExamples) {
    EXPECT_EQ(ReplaceExtension("C:\\dir.x\\bank", ".PFB"), "C:\\dir.x\\bank.PFB");
    EXPECT_EQ(ReplaceExtension("perf.syx", ".SYX"), "perf.SYX");
    EXPECT_EQ(ReplaceExtension("a.syx", ".SYX"), "a.SYX");
    EXPECT_EQ(ReplaceExtension("names", ".PFN"), "names.PFN");
    EXPECT_EQ(ReplaceExtension("C:\\dir\\bank.old.pfb", ".PFB"), "C:\\dir\\bank.old.PFB");
    EXPECT_EQ(ReplaceExtension("D:bank", ".PFB"), "D:bank.PFB");
    EXPECT_EQ(ReplaceExtension("/home/u/dir.x/bank", ".PFB"), "/home/u/dir.x/bank.PFB");
    EXPECT_EQ(ReplaceExtension("/home/u/perf.Syx", ".SYX"), "/home/u/perf.SYX");
    EXPECT_EQ(ReplaceExtension("/home/u/perf.", ".SYX"), "/home/u/perf.SYX");
    EXPECT_EQ(ReplaceExtension("", ".SYX"), ".SYX");
}

TEST(directoryOf, UpToLastSeparatorRootsKeepTheirs) {
    EXPECT_EQ(directoryOf("C:\\dir\\perf.SYX"), "C:\\dir");
    EXPECT_EQ(directoryOf("C:\\perf.SYX"), "C:\\");
    EXPECT_EQ(directoryOf("C:perf.SYX"), "C:");
    EXPECT_EQ(directoryOf("C:\\dir.x\\sub\\bank.PFB"), "C:\\dir.x\\sub");
    EXPECT_EQ(directoryOf("/home/u/perf.SYX"), "/home/u");
    EXPECT_EQ(directoryOf("/perf.SYX"), "/");
    EXPECT_EQ(directoryOf("perf.SYX"), "");
    EXPECT_EQ(directoryOf("\\\\server\\share"), "\\\\server");
}

TEST(joinPath, OneSeparatorBetween) {
    EXPECT_EQ(joinPath("/tmp", "a.SYX"), "/tmp/a.SYX");
    EXPECT_EQ(joinPath("/", "a.SYX"), "/a.SYX");
    EXPECT_EQ(joinPath("C:\\", "a.SYX"), "C:\\a.SYX");
    EXPECT_EQ(joinPath("", "a.SYX"), "a.SYX");
}

TEST(FileNamesFromRecords, NormalNamesAreKept) {
    EXPECT_EQ(proposedSaveName(common(1, "GrandPno")), "PF_GrandPno.SYX");
    EXPECT_EQ(diskTransferName(common(1, "GrandPno")), "PF_GrandPno.SYX");
    EXPECT_EQ(proposedSaveName(common(3, " Organ  ")), "OR_Organ.SYX");
    EXPECT_EQ(proposedSaveName(common(0, "InitPerf")), "--  _InitPerf.SYX");
    EXPECT_EQ(proposedSaveName(common(10, "Pipe")), "PI _Pipe.SYX");
}

TEST(FileNamesFromRecords, FifteenCharacterCutNeverCutsTheExtension) {
    const std::string name = diskTransferName(common(0, "InitPerf"));
    EXPECT_EQ(name, "--  _InitPe.SYX");
    EXPECT_EQ(name.size(), 15u);
    EXPECT_EQ(diskTransferName(common(10, "LongName")), "PI _LongNam.SYX");
    EXPECT_EQ(diskTransferName(common(1, "")), "PF_.SYX");
}

TEST(FileNamesFromRecords, UnsafeCharactersAndCategoryAbove22AreMadeSafe) {
    EXPECT_EQ(proposedSaveName(common(1, "A/B\\C:D")), "PF_A_B_C_D.SYX");
    EXPECT_EQ(proposedSaveName(common(1, "<>\"|?*ab")), "PF_______ab.SYX");
    EXPECT_EQ(proposedSaveName(common(1, std::string("a\x01"
                                                     "b\x7F"
                                                     "c",
                                                     5))),
              "PF_a b c.SYX"); // controls in a name read as blanks
    EXPECT_EQ(proposedSaveName(common(1, "..\\..\\x")), "PF_.._.._x.SYX");
    EXPECT_EQ(proposedSaveName(common(1, "\xE4\xF6")), "PF___.SYX");
    EXPECT_EQ(proposedSaveName(common(200, "Name")), "___Name.SYX"); // "??" + "_" + name, made safe
    const std::string transfer = diskTransferName(common(99, "../../x"));
    EXPECT_EQ(transfer.find_first_of("/\\:"), std::string::npos);
    EXPECT_LE(transfer.size(), 15u);
}

TEST(safeFileStem, EmptyOrOnlyDotsBecomesUnnamed) {
    EXPECT_EQ(safeFileStem(""), "Unnamed");
    EXPECT_EQ(safeFileStem(".."), "Unnamed");
    EXPECT_EQ(safeFileStem(". ."), "Unnamed");
    EXPECT_EQ(safeFileStem("a.b"), "a.b");
    EXPECT_EQ(safeFileStem("/"), "_");
}

TEST(uniqueFileName, SuffixWithinFifteenCharactersCaseInsensitive) {
    std::set<std::string> taken;
    EXPECT_EQ(uniqueFileName("PF_GrandPno.SYX", taken), "PF_GrandPno.SYX");
    taken.insert("PF_GrandPno.SYX");
    EXPECT_EQ(uniqueFileName("PF_GrandPno.SYX", taken), "PF_GrandP_2.SYX");
    EXPECT_EQ(uniqueFileName("pf_grandpno.syx", taken).size(), 15u);
    taken.insert("PF_GrandP_2.SYX");
    EXPECT_EQ(uniqueFileName("PF_GrandPno.SYX", taken), "PF_GrandP_3.SYX");
    taken = {"OR_A.SYX"};
    EXPECT_EQ(uniqueFileName("or_a.SYX", taken), "or_a_2.SYX");
}

TEST(DiskTransferNames, SameCategoryAndNameNeverShareAFileInOneRun) {
    DiskTransferNames names;
    std::set<std::string> paths;
    for (int i = 0; i < 128; ++i) {
        const std::string p = names.claim("/music", common(1, "GrandPno"));
        EXPECT_TRUE(paths.insert(p).second) << p;
        EXPECT_EQ(p.rfind("/music/", 0), 0u);
        EXPECT_LE(p.size() - 7, 15u) << p;
        EXPECT_EQ(p.substr(p.size() - 4), ".SYX");
    }
    EXPECT_EQ(*paths.begin(), "/music/PF_Gran_100.SYX");
    EXPECT_TRUE(paths.count("/music/PF_Grand_10.SYX"));
    EXPECT_TRUE(paths.count("/music/PF_GrandPno.SYX"));
    EXPECT_TRUE(paths.count("/music/PF_GrandP_2.SYX"));
    EXPECT_TRUE(paths.count("/music/PF_Gran_128.SYX"));
    // Another directory or a new run starts afresh.
    EXPECT_EQ(names.claim("/other", common(1, "GrandPno")), "/other/PF_GrandPno.SYX");
    names.reset();
    EXPECT_EQ(names.claim("/music", common(1, "GrandPno")), "/music/PF_GrandPno.SYX");
}
