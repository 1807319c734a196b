#include "../storage/MidiFileBuilder.h"
#include "../storage/StorageTestSupport.h"
#include "cli/Arguments.h"
#include "cli/Cli.h"

#include <gmock/gmock.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome runCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    Outcome r;
    r.code = cli::runCli(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ByteVector recordBytes(const PerformanceRecord& r) { return ByteVector(r.bytes().begin(), r.bytes().end()); }

ByteVector bankOf(std::initializer_list<PerformanceRecord> records) {
    ByteVector b = bytesOf("Patchsmith PFB");
    for (const auto& r : records) append(b, r);
    return b;
}

// A record as the bank manager stores a dropped file: the seven number
// bytes set to the slot, everything else (checksums too) as in the file.
ByteVector renumbered(const PerformanceRecord& r, int slot) {
    ByteVector b = recordBytes(r);
    for (std::size_t at : {7u, 64u, 96u, 116u, 168u, 220u, 272u}) b[at] = static_cast<Byte>(slot);
    return b;
}

class CliTest : public TempDirTest {
protected:
    // A directory in which no file can be created, for root as well.
    std::string unwritableDir() {
        const std::filesystem::path ro = dir_ / "ro";
        std::filesystem::create_directories(ro);
        std::filesystem::permissions(ro, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        std::FILE* probe = std::fopen((ro / "probe").string().c_str(), "wb");
        if (!probe) return ro.string();
        std::fclose(probe);
        std::filesystem::remove(ro / "probe");
        return "/proc"; // permissions do not stop root; this file system does
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_all, ec);
        TempDirTest::TearDown();
    }
    // The entries of the temporary directory apart from the given inputs.
    std::vector<std::string> leftovers(std::initializer_list<std::string> inputs) const {
        std::vector<std::string> names;
        for (const auto& n : entries())
            if (std::find(inputs.begin(), inputs.end(), n) == inputs.end() && n != "ro") names.push_back(n);
        return names;
    }
};

} // namespace

// ---- command line and help ----

TEST(CliArguments, OptionsAnywhereInlineValuesAndMistakes) {
    const std::vector<cli::OptionDef> options{{"output", 'o', "FILE", ""}, {"all", 0, "", ""}};
    const auto parse = [&](std::vector<std::string> a) { return cli::parseArguments(a, options); };
    auto p = parse({"a", "-o", "x.PFB", "b", "--all", "--", "-c"});
    EXPECT_THAT(p.operands, ElementsAre("a", "b", "-c"));
    EXPECT_EQ(p.value("output"), "x.PFB");
    EXPECT_TRUE(p.has("all"));
    EXPECT_TRUE(p.error.empty());
    EXPECT_EQ(parse({"-ox.PFB"}).value("output"), "x.PFB");
    EXPECT_EQ(parse({"--output=y.PFB"}).value("output"), "y.PFB");
    EXPECT_EQ(parse({"-"}).operands, std::vector<std::string>{"-"});
    EXPECT_EQ(parse({"-o"}).error, "option -o needs a value (FILE)");
    EXPECT_EQ(parse({"-o", "a", "--output", "b"}).error, "option --output given twice");
    EXPECT_EQ(parse({"--all=yes"}).error, "option --all takes no value");
    EXPECT_EQ(parse({"--json"}).error, "unknown option --json");
    EXPECT_EQ(parse({"-x"}).error, "unknown option -x");
    EXPECT_TRUE(parse({"-h"}).has("help"));
}

TEST(Cli, OverviewHelpAndVersion) {
    const Outcome none = runCli({});
    EXPECT_EQ(none.code, 2);
    EXPECT_THAT(none.err, StartsWith("Usage: patchsmith-cli COMMAND [ARGUMENTS...]\n"));
    EXPECT_TRUE(none.out.empty());

    const Outcome help = runCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_THAT(help.out, HasSubstr("\n  list     print the bank manager's lines for the performances in FILE\n"));
    EXPECT_THAT(help.out, HasSubstr("\n  import   import raw SysEx dumps and MIDI files into a new .PFB bank\n"));
    EXPECT_EQ(runCli({"help"}).out, help.out);
    EXPECT_EQ(runCli({"-h"}).out, help.out);

    const Outcome version = runCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_THAT(version.out, StartsWith("patchsmith-cli 1."));

    const Outcome unknown = runCli({"shw", "a.SYX"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "patchsmith-cli: no command 'shw'; 'patchsmith-cli --help' lists them\n");
    EXPECT_EQ(runCli({"help", "dif"}).code, 2);
    EXPECT_THAT(help.out, HasSubstr("\n  show     print every parameter of a performance with its value and text\n"));
    EXPECT_THAT(help.out, HasSubstr("\n  diff     list the parameters in which two performances differ\n"));
}

TEST(Cli, EverySubcommandHasItsHelp) {
    for (const cli::Subcommand& c : cli::subcommands()) {
        const Outcome r = runCli({std::string(c.name), "--help"});
        EXPECT_EQ(r.code, 0) << c.name;
        EXPECT_THAT(r.out, StartsWith("Usage: patchsmith-cli " + std::string(c.usage) + "\n")) << c.name;
        EXPECT_THAT(r.out, HasSubstr("  -h, --help")) << c.name;
        EXPECT_TRUE(r.err.empty()) << c.name;
        // Help wins over other mistakes on the line.
        EXPECT_EQ(runCli({std::string(c.name), "--bogus", "-h"}).code, 0) << c.name;
        EXPECT_EQ(runCli({"help", std::string(c.name)}).out, r.out) << c.name;
    }
    EXPECT_THAT(runCli({"extract", "--help"}).out, HasSubstr("  -o, --output FILE  the file to write"));
    EXPECT_THAT(runCli({"list", "-h"}).out, HasSubstr("      --all   print all 128 rows"));
}

// ---- list ----

TEST_F(CliTest, ListBankInSlotOrderLaterRecordsWinAndAllRows) {
    writeBytes(path("b.PFB"), bankOf({makeRecord(5, 1, "First"), makeRecord(0, 11, " Lead  "),
                                      makeRecord(5, 10, "Second"), makeRecord(127, 0, "InitPerf")}));
    const Outcome r = runCli({"list", path("b.PFB")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "001  LD Lead\n006  PI  Second\n128  --   InitPerf\n");
    EXPECT_TRUE(r.err.empty());

    const auto all = linesOf(runCli({"list", "--all", path("b.PFB")}).out);
    ASSERT_EQ(all.size(), 128u);
    EXPECT_EQ(all[0], "001  LD Lead");
    EXPECT_EQ(all[1], "002");
    EXPECT_EQ(all[5], "006  PI  Second");
    EXPECT_EQ(all[126], "127");

    // A bank file found by its header, whatever its name.
    writeBytes(path("bank.dat"), bankOf({makeRecord(2, 1, "Three")}));
    EXPECT_EQ(runCli({"list", path("bank.dat")}).out, "003  PF Three\n");
}

TEST_F(CliTest, ListPerformanceDumpAndMidiFile) {
    writeBytes(path("p.SYX"), recordBytes(makeRecord(9, 1, "GrandPno")));
    const Outcome syx = runCli({"list", path("p.SYX")});
    EXPECT_EQ(syx.code, 0);
    EXPECT_EQ(syx.out, "010  PF GrandPno\n");

    ByteVector raw = recordBytes(makeRecord(3, 4, "Guitar"));
    raw.insert(raw.end(), {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    append(raw, makeRecord(1, 5, "Bass"));
    writeBytes(path("dump.syx"), raw);
    const Outcome dump = runCli({"list", path("dump.syx")});
    EXPECT_EQ(dump.code, 0);
    EXPECT_EQ(dump.out, "002  BA Bass\n004  GT Guitar\n");
    EXPECT_EQ(dump.err, path("dump.syx") + ": Imported: 2, skipped as foreign: 1, skipped as damaged: 0\n");

    TrackBuilder t;
    t.delta(0).tempo(500000).delta(0).splitSysEx(recordBytes(makeRecord(64, 6, "Strings")), 100, 1);
    writeBytes(path("song.mid"), midiFile(0, {&t}));
    const Outcome mid = runCli({"list", path("song.mid")});
    EXPECT_EQ(mid.code, 0);
    EXPECT_EQ(mid.out, "065  ST Strings\n");
}

TEST_F(CliTest, ListErrors) {
    const auto expectError = [&](const std::string& file, const std::string& text) {
        const Outcome r = runCli({"list", path(file)});
        EXPECT_EQ(r.code, 1) << file;
        EXPECT_TRUE(r.out.empty()) << file;
        EXPECT_THAT(r.err, HasSubstr("patchsmith-cli: " + path(file) + ": " + text + "\n")) << file;
    };
    expectError("missing.PFB", "Load-Error : Unable to open file");
    writeBytes(path("short.PFB"), bytesOf("Patchsmith PF"));
    expectError("short.PFB", "Load-Error : Not a valid Performance-bank file");
    ByteVector odd = bytesOf("Patchsmith PFB");
    odd.resize(14 + 20);
    writeBytes(path("odd.dat"), odd);
    expectError("odd.dat", "Load-Error : Wrong filesize");
    writeBytes(path("case.pfb"), bankOf({makeRecord(0, 1, "X")}));
    {
        ByteVector b = readBytes(path("case.pfb"));
        b[0] = 'p';
        writeBytes(path("case.pfb"), b);
    }
    expectError("case.pfb", "Load-Error : Not a valid Performance-bank file");
    writeBytes(path("text.syx"), bytesOf("no dump in here"));
    expectError("text.syx", "This is not a valid Performance-file!");

    EXPECT_EQ(runCli({"list"}).code, 2);
    EXPECT_EQ(runCli({"list", "a", "b"}).code, 2);
    EXPECT_EQ(runCli({"list", "--output", "x", "a"}).code, 2);
}

// ---- extract ----

TEST_F(CliTest, ExtractWritesTheRecordAsTheBankHoldsIt) {
    PerformanceRecord stale = makeRecord(5, 1, "Stale", 9);
    stale.bytes()[100] ^= 0x01; // a checksum the bank manager would not mend
    writeBytes(path("b.PFB"), bankOf({makeRecord(0, 1, "Zero"), stale}));
    const Outcome r = runCli({"extract", path("b.PFB"), "6", "-o", path("out.SYX")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(readBytes(path("out.SYX")), recordBytes(stale));
    EXPECT_EQ(runCli({"extract", path("b.PFB"), "001", "--output=" + path("zero.syx")}).code, 0);
    EXPECT_EQ(readBytes(path("zero.syx")), recordBytes(makeRecord(0, 1, "Zero")));
    EXPECT_THAT(leftovers({"b.PFB", "out.SYX", "zero.syx"}), IsEmpty());
}

TEST_F(CliTest, ExtractErrors) {
    writeBytes(path("b.PFB"), bankOf({makeRecord(0, 1, "Zero")}));
    const Outcome empty = runCli({"extract", path("b.PFB"), "3", "-o", path("x.SYX")});
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.err, "patchsmith-cli: " + path("b.PFB") + ": no performance 003\n");
    for (const char* n : {"0", "129", "abc", "1x", "-1", "0001", ""}) {
        const Outcome bad = runCli({"extract", path("b.PFB"), n, "-o", path("x.SYX")});
        EXPECT_EQ(bad.code, 2) << n;
        EXPECT_THAT(bad.err, StartsWith("patchsmith-cli extract: ")) << n;
    }
    EXPECT_EQ(runCli({"extract", path("b.PFB"), "1"}).code, 2);
    EXPECT_EQ(runCli({"extract", path("b.PFB")}).code, 2);
    const Outcome missing = runCli({"extract", path("none.PFB"), "1", "-o", path("x.SYX")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "patchsmith-cli: " + path("none.PFB") + ": Load-Error : Unable to open file\n");
    EXPECT_THAT(leftovers({"b.PFB"}), IsEmpty());
}

TEST_F(CliTest, ExtractIntoAnUnwritablePlaceLeavesNothing) {
    writeBytes(path("b.PFB"), bankOf({makeRecord(0, 1, "Zero")}));
    const std::string target = unwritableDir() + "/out.SYX";
    const Outcome r = runCli({"extract", path("b.PFB"), "1", "-o", target});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "patchsmith-cli: " + target + ": Load-Error : Unable to save file\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    // A directory in the target's place: written beside it, the rename fails.
    std::filesystem::create_directories(dir_ / "taken.SYX");
    EXPECT_EQ(runCli({"extract", path("b.PFB"), "1", "-o", path("taken.SYX")}).code, 1);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken.SYX"));
    EXPECT_THAT(leftovers({"b.PFB", "taken.SYX"}), IsEmpty());
}

// ---- build ----

TEST_F(CliTest, BuildPutsFilesIntoTheirSlotsAsTheBankManagerSaves) {
    const PerformanceRecord a = makeRecord(9, 1, "Alpha");
    const PerformanceRecord b = makeRecord(40, 2, "Beta");
    const PerformanceRecord c = makeRecord(3, 3, "Gamma");
    writeBytes(path("a.SYX"), recordBytes(a));
    writeBytes(path("b.SYX"), recordBytes(b));
    writeBytes(path("c.SYX"), recordBytes(c));
    const Outcome r = runCli({"build", "-o", path("out.PFB"), path("a.SYX") + ":128", path("b.SYX") + ":1",
                              path("c.SYX") + ":1", path("a.SYX") + ":007"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(r.err.empty());
    ByteVector expected = bytesOf("Patchsmith PFB");
    for (const auto& [rec, slot] : {std::pair{c, 0}, std::pair{a, 6}, std::pair{a, 127}}) {
        const ByteVector bytes = renumbered(rec, slot);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(readBytes(path("out.PFB")), expected);

    EXPECT_EQ(runCli({"build", "-o", path("empty.PFB")}).code, 0);
    EXPECT_EQ(readBytes(path("empty.PFB")), bytesOf("Patchsmith PFB"));
}

TEST_F(CliTest, BuildErrorsWriteNothing) {
    writeBytes(path("a.SYX"), recordBytes(makeRecord(9, 1, "Alpha")));
    ByteVector longer = recordBytes(makeRecord(9, 1, "Long"));
    longer.push_back(0);
    writeBytes(path("long.SYX"), longer);
    writeBytes(path("old.PFB"), bytesOf("Patchsmith PFB"));

    const Outcome wrongSize = runCli({"build", "-o", path("old.PFB"), path("a.SYX") + ":1", path("long.SYX") + ":2"});
    EXPECT_EQ(wrongSize.code, 1);
    EXPECT_EQ(wrongSize.err, "patchsmith-cli: " + path("long.SYX") + ": Load-Error : Wrong filesize\n");
    const Outcome missing = runCli({"build", "-o", path("old.PFB"), path("none.SYX") + ":1"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "patchsmith-cli: " + path("none.SYX") + ": Load-Error : Unable to open file\n");
    EXPECT_EQ(readBytes(path("old.PFB")), bytesOf("Patchsmith PFB")); // untouched

    for (const std::string& operand :
         {path("a.SYX"), path("a.SYX") + ":0", path("a.SYX") + ":129", path("a.SYX") + ":", std::string(":5")}) {
        const Outcome bad = runCli({"build", "-o", path("x.PFB"), operand});
        EXPECT_EQ(bad.code, 2) << operand;
        EXPECT_THAT(bad.err, HasSubstr("is not FILE:N with N from 1 to 128")) << operand;
    }
    EXPECT_EQ(runCli({"build", path("a.SYX") + ":1"}).code, 2);

    const std::string target = unwritableDir() + "/out.PFB";
    const Outcome unwritable = runCli({"build", "-o", target, path("a.SYX") + ":1"});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_EQ(unwritable.err, "patchsmith-cli: " + target + ": Load-Error : Unable to save file\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_THAT(leftovers({"a.SYX", "long.SYX", "old.PFB"}), IsEmpty());
}

// ---- import ----

TEST_F(CliTest, ImportFilesIntoOneBankWithTheirCounts) {
    const PerformanceRecord a = makeRecord(4, 1, "Four");
    const PerformanceRecord b = makeRecord(2, 2, "Two");
    const PerformanceRecord b2 = makeRecord(2, 3, "Two new");
    ByteVector raw = recordBytes(a);
    raw.insert(raw.end(), {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x64, 0xF7}); // a parameter change
    ByteVector spoiled = recordBytes(makeRecord(5, 1, "Five"));
    spoiled[200] ^= 0x01;
    raw.insert(raw.end(), spoiled.begin(), spoiled.end());
    append(raw, b);
    writeBytes(path("dump.syx"), raw);
    TrackBuilder t;
    t.delta(0).tempo(400000).delta(0).sysEx(recordBytes(b2));
    writeBytes(path("song.mid"), midiFile(0, {&t}));

    const Outcome r = runCli({"import", path("dump.syx"), path("song.mid"), "-o", path("out.PFB")});
    EXPECT_EQ(r.code, 0);
    EXPECT_THAT(linesOf(r.out),
                ElementsAre(path("dump.syx") + ": Imported: 2, skipped as foreign: 1, skipped as damaged: 1",
                            path("song.mid") + ": Imported: 1, skipped as foreign: 0, skipped as damaged: 0",
                            "Total: Imported: 3, skipped as foreign: 1, skipped as damaged: 1"));
    EXPECT_TRUE(r.err.empty());
    ByteVector expected = bytesOf("Patchsmith PFB");
    append(expected, b2);
    append(expected, a);
    EXPECT_EQ(readBytes(path("out.PFB")), expected);
}

// A .SYX file out of a bank the bank manager composed carries the
// checksums of its old number; importing it gives back the same record.
TEST_F(CliTest, ImportTakesSysExFilesTheBankManagerRenumbered) {
    writeBytes(path("a.SYX"), recordBytes(makeRecord(9, 1, "Alpha")));
    ASSERT_EQ(runCli({"build", "-o", path("b.PFB"), path("a.SYX") + ":50"}).code, 0);
    ASSERT_EQ(runCli({"extract", path("b.PFB"), "50", "-o", path("x.SYX")}).code, 0);
    const Outcome r = runCli({"import", path("x.SYX"), "-o", path("c.PFB")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, path("x.SYX") + ": Imported: 1, skipped as foreign: 0, skipped as damaged: 0\n");
    EXPECT_EQ(readBytes(path("c.PFB")), readBytes(path("b.PFB")));
}

TEST_F(CliTest, ImportErrorsWriteNothing) {
    writeBytes(path("dump.syx"), recordBytes(makeRecord(4, 1, "Four")));
    writeBytes(path("text.syx"), bytesOf("nothing"));
    writeBytes(path("old.PFB"), bytesOf("Patchsmith PFB"));

    const Outcome missing = runCli({"import", path("dump.syx"), path("none.mid"), "-o", path("old.PFB")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "patchsmith-cli: " + path("none.mid") + ": Load-Error : Unable to open file\n");
    const Outcome nothing = runCli({"import", path("text.syx"), "-o", path("old.PFB")});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_EQ(nothing.out, path("text.syx") + ": Imported: 0, skipped as foreign: 1, skipped as damaged: 0\n");
    EXPECT_EQ(nothing.err, "patchsmith-cli: " + path("old.PFB") + ": not written: no performance was imported\n");
    EXPECT_EQ(readBytes(path("old.PFB")), bytesOf("Patchsmith PFB"));

    EXPECT_EQ(runCli({"import", path("dump.syx")}).code, 2);
    EXPECT_EQ(runCli({"import", "-o", path("x.PFB")}).code, 2);

    const std::string target = unwritableDir() + "/out.PFB";
    const Outcome unwritable = runCli({"import", path("dump.syx"), "-o", target});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_EQ(unwritable.err, "patchsmith-cli: " + target + ": Load-Error : Unable to save file\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_THAT(leftovers({"dump.syx", "text.syx", "old.PFB"}), IsEmpty());
}

// ---- the installed program itself ----

TEST_F(CliTest, TheExecutableReportsThroughItsExitStatusAndStreams) {
    const std::string program = PATCHSMITH_CLI_PATH;
    writeBytes(path("dump.syx"), recordBytes(makeRecord(4, 1, "Four")));
    const auto run = [&](const std::string& args) {
        const std::string command = "'" + program + "' " + args + " >'" + path("o.txt") + "' 2>'" + path("e.txt") + "'";
        const int status = std::system(command.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        const ByteVector out = readBytes(path("o.txt"));
        const ByteVector err = readBytes(path("e.txt"));
        r.out.assign(out.begin(), out.end());
        r.err.assign(err.begin(), err.end());
        return r;
    };
    const Outcome ok = run("import '" + path("dump.syx") + "' -o '" + path("b.PFB") + "'");
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(ok.out, path("dump.syx") + ": Imported: 1, skipped as foreign: 0, skipped as damaged: 0\n");
    const Outcome list = run("list '" + path("b.PFB") + "'");
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "005  PF Four\n");
    const Outcome fail = run("extract '" + path("b.PFB") + "' 1 -o '" + path("x.SYX") + "'");
    EXPECT_EQ(fail.code, 1);
    EXPECT_EQ(fail.err, "patchsmith-cli: " + path("b.PFB") + ": no performance 001\n");
    const Outcome usage = run("frobnicate");
    EXPECT_EQ(usage.code, 2);
    EXPECT_THAT(usage.err, HasSubstr("no command 'frobnicate'"));
}
