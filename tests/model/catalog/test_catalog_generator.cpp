// Runs the catalogue generator on edited copies of the published lists: a
// corrected list must go through without code changes, a damaged one must
// stop the build with the file and line at fault.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kLists{"xg-voices.tsv", "cs1x-preset-voices.tsv", "cs1x-assign-knob-params.tsv",
                                      "cs1x-factory-performances.tsv", "xg-effect-tables.tsv"};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CatalogGenerator : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("ps_catalog_gen_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const auto& f : kLists) fs::copy_file(fs::path(PS_CATALOG_DATA_DIR) / f, dir_ / f);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Edits the lines of one list (line 0 is the header).
    void edit(const std::string& file, const std::function<void(std::vector<std::string>&)>& change) {
        std::vector<std::string> lines;
        {
            std::ifstream in(dir_ / file);
            for (std::string l; std::getline(in, l);) lines.push_back(l);
        }
        change(lines);
        std::ofstream out(dir_ / file, std::ios::trunc);
        for (const auto& l : lines) out << l << "\n";
    }

    // Runs the generator; returns its exit code and keeps its messages in err_.
    int run() {
        const std::string cmd = "'" + std::string(PS_CATALOG_GEN) + "' '" + dir_.string() + "' '" + out().string() +
                                "' 2> '" + (dir_ / "err.txt").string() + "'";
        const int status = std::system(cmd.c_str());
        err_ = slurp(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    fs::path out() const { return dir_ / "CatalogData.cpp"; }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // The run fails, names `where` and says `what`, and writes no output.
    void expectRejected(const std::string& where, const std::string& what) {
        EXPECT_EQ(run(), 1);
        EXPECT_NE(err_.find(where + ": error: "), std::string::npos) << err_;
        EXPECT_NE(err_.find(what), std::string::npos) << err_;
        EXPECT_FALSE(fs::exists(out()));
    }

    fs::path dir_;
    std::string err_;
};

} // namespace

TEST_F(CatalogGenerator, PublishedListsGenerate) {
    ASSERT_EQ(run(), 0) << err_;
    EXPECT_TRUE(err_.empty());
    const auto src = slurp(out());
    EXPECT_NE(src.find("\"017 16+2\\\"2/3\""), std::string::npos); // quote escaped in the comment text
    EXPECT_NE(src.find("\"\\302\\2610\""), std::string::npos);     // "±0" as octal escapes
}

TEST_F(CatalogGenerator, CorrectedProvisionalListsDropIn) {
    edit("cs1x-assign-knob-params.tsv", [](auto& l) {
        l[2] = "1\t1\tMasterVol";
        std::swap(l[40], l[41]); // order of the rows does not matter
    });
    edit("xg-effect-tables.tsv", [](auto& l) {
        for (auto& line : l)
            if (line.rfind("wah_cutoff_offset\t127\t", 0) == 0) line = "wah_cutoff_offset\t127\t13,9k";
    });
    ASSERT_EQ(run(), 0) << err_;
    const auto src = slurp(out());
    EXPECT_NE(src.find("\"MasterVol\""), std::string::npos);
    EXPECT_NE(src.find("\"13,9k\""), std::string::npos);
}

TEST_F(CatalogGenerator, ListsSavedOnWindowsDropIn) {
    edit("cs1x-assign-knob-params.tsv", [](auto& l) {
        l[0] = "\xEF\xBB\xBF" + l[0];
        for (auto& line : l) line += "\r";
    });
    ASSERT_EQ(run(), 0) << err_;
    EXPECT_NE(slurp(out()).find("\"VariCntrl\",\n"), std::string::npos); // no CR carried into a name
}

TEST_F(CatalogGenerator, RejectsAVoiceNameTooLong) {
    edit("xg-voices.tsv", [](auto& l) { l[1] = "0\t0\t0\t1\tGrandPiano1"; });
    expectRejected(file("xg-voices.tsv") + ":2", "longer than 10");
}

TEST_F(CatalogGenerator, RejectsAProgramThatIsNotANumber) {
    edit("cs1x-preset-voices.tsv", [](auto& l) { l[3] = "0\tx3\tSq\tKirmes A\tKirmes A"; });
    expectRejected(file("cs1x-preset-voices.tsv") + ":4", "'x3' is not a number");
}

TEST_F(CatalogGenerator, RejectsAMissingColumn) {
    edit("xg-voices.tsv", [](auto& l) { l[5] = "0\t0\t0\t5"; });
    expectRejected(file("xg-voices.tsv") + ":6", "expected 5 tab-separated columns, found 4");
}

TEST_F(CatalogGenerator, RejectsAWrongHeader) {
    edit("cs1x-factory-performances.tsv", [](auto& l) { l[0] = "number\tcategory\tname"; });
    expectRejected(file("cs1x-factory-performances.tsv") + ":1", "header must be");
}

TEST_F(CatalogGenerator, RejectsAProgramNamedTwice) {
    edit("xg-voices.tsv", [](auto& l) { l.push_back("0\t0\t0\t1\tPiano"); });
    expectRejected(file("xg-voices.tsv") + ":528", "already named on line 2");
}

TEST_F(CatalogGenerator, RejectsABankSelectPairThatDoesNotMatchTheBank) {
    edit("xg-voices.tsv", [](auto& l) { l[1] = "0\t0\t1\t1\tGrandPno"; });
    expectRejected(file("xg-voices.tsv") + ":2", "the row says 0/1");
}

TEST_F(CatalogGenerator, RejectsAProgramOutOfRange) {
    edit("cs1x-preset-voices.tsv", [](auto& l) { l[1] = "0\t129\tDr\tumTrx1 A\tDrumTrx1 A"; });
    expectRejected(file("cs1x-preset-voices.tsv") + ":2", "program 129 is outside 1..128");
}

TEST_F(CatalogGenerator, RejectsAWahTableOfAnotherSize) {
    edit("xg-effect-tables.tsv", [](auto& l) {
        std::erase_if(l, [](const std::string& line) { return line.rfind("wah_cutoff_offset\t127\t", 0) == 0; });
    });
    expectRejected(file("xg-effect-tables.tsv"), "table wah_cutoff_offset has 127 entries, it needs 128");
}

TEST_F(CatalogGenerator, RejectsAValueTableEntryPastTheEnd) {
    edit("xg-effect-tables.tsv", [](auto& l) { l.push_back("wah_cutoff_offset\t128\t15,0k"); });
    expectRejected(file("xg-effect-tables.tsv") + ":843", "index 128 is past the end of table wah_cutoff_offset");
}

TEST_F(CatalogGenerator, RejectsAnUnknownValueTable) {
    edit("xg-effect-tables.tsv", [](auto& l) { l[1] = "lfo_freq\t0\t0,00"; });
    expectRejected(file("xg-effect-tables.tsv") + ":2", "unknown table 'lfo_freq'");
}

TEST_F(CatalogGenerator, RejectsAnAssignListOfAnotherSize) {
    edit("cs1x-assign-knob-params.tsv", [](auto& l) { l.push_back("1\t30\tExtra"); });
    expectRejected(file("cs1x-assign-knob-params.tsv") + ":62", "each knob lists exactly 30 entries");
}

TEST_F(CatalogGenerator, RejectsAnAssignListWithAGap) {
    edit("cs1x-assign-knob-params.tsv", [](auto& l) { l.erase(l.begin() + 40); }); // knob 2 entry 9
    expectRejected(file("cs1x-assign-knob-params.tsv"), "knob 2 has no entry 9");
}

TEST_F(CatalogGenerator, RejectsAnAssignListWhoseFirstEntryIsNotOff) {
    edit("cs1x-assign-knob-params.tsv", [](auto& l) {
        l[1] = "1\t0\tVolume";
        l[2] = "1\t1\toff";
    });
    expectRejected(file("cs1x-assign-knob-params.tsv") + ":2", "entry 0 of knob 1 must be 'off'");
}

TEST_F(CatalogGenerator, RejectsAMissingFactoryPerformance) {
    edit("cs1x-factory-performances.tsv", [](auto& l) { l.pop_back(); });
    expectRejected(file("cs1x-factory-performances.tsv"), "performance 128 is missing");
}

TEST_F(CatalogGenerator, RejectsAControlCharacterInAName) {
    edit("cs1x-factory-performances.tsv", [](auto& l) { l[1] = "1\tDR\tum Trax2\tum\x01Trax"; });
    expectRejected(file("cs1x-factory-performances.tsv") + ":2", "control character");
}

TEST_F(CatalogGenerator, RejectsAMissingList) {
    fs::remove(dir_ / "xg-voices.tsv");
    expectRejected(file("xg-voices.tsv"), "cannot open");
}
