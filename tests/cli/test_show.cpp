// show, diff and the way back through build: every parameter of a
// performance with its value and the window's text, the differences of two,
// and a JSON document that builds back into the same bytes.

#include "../storage/StorageTestSupport.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "model/Parameters.h"
#include "storage/RecordImage.h"
#include "synth/VirtualCs1x.h"

#include <gmock/gmock.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ByteVector = std::vector<Byte>;

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome runCli(std::vector<std::string> args, char decimalPoint = '.') {
    std::ostringstream out, err;
    Outcome r;
    r.code = cli::runCli(args, out, err, decimalPoint);
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

void writeText(const std::string& path, const std::string& text) {
    writeBytes(path, ByteVector(text.begin(), text.end()));
}
std::string readText(const std::string& path) {
    const ByteVector b = readBytes(path);
    return std::string(b.begin(), b.end());
}

ByteVector recordBytes(const PerformanceRecord& r) { return ByteVector(r.bytes().begin(), r.bytes().end()); }

PerformanceImage defaultImage() {
    PerformanceImage image;
    image.fillDefaults();
    return image;
}

// The sections of show's text: title -> lines under it; the first line is
// "head".
std::map<std::string, std::vector<std::string>> sectionsOf(const std::string& text) {
    std::map<std::string, std::vector<std::string>> sections;
    std::string title;
    for (const std::string& line : linesOf(text)) {
        if (line.empty()) continue;
        if (line[0] == ' ') {
            sections[title].push_back(line);
        } else if (title.empty()) {
            title = "head";
            sections[title].push_back(line);
        } else {
            title = line;
            sections[title];
        }
    }
    return sections;
}

// A line of show's text as written by hand: the names take 19 columns
// ("VelocitySenseOffset"), the values 10 ("\"InitPerf\"", right-aligned).
std::string row(std::string name, const std::string& value, const std::string& text) {
    name.resize(19, ' ');
    return "  " + name + "  " + std::string(10 - value.size(), ' ') + value + "  " + text;
}

// A performance document with one line edited: in the first line that
// holds `where`, `from` becomes `to`.
std::string edited(const std::string& json, const std::string& where, const std::string& from, const std::string& to) {
    std::string out;
    bool done = false;
    for (std::string line : linesOf(json)) {
        if (!done && line.find(where) != std::string::npos) {
            const std::size_t at = line.find(from);
            EXPECT_NE(at, std::string::npos) << where << ": " << from;
            if (at != std::string::npos) line.replace(at, from.size(), to);
            done = true;
        }
        out += line + "\n";
    }
    EXPECT_TRUE(done) << where;
    return out;
}

std::string layerLine(const std::string& name, int layer) {
    return "\"name\": \"" + name + "\", \"group\": \"" + std::string(groupName(findParameter(name)->group)) +
           "\", \"layer\": " + std::to_string(layer) + ",";
}
std::string commonLine(const std::string& name) { return "\"name\": \"" + name + "\","; }

// The seven dumps of user performance n as the virtual CS1x sends them.
PerformanceRecord synthRecord(const synth::VirtualCs1x& s, int n) {
    const auto nn = static_cast<Byte>(n);
    const Address blocks[] = {{0x70, nn, 0x00}, {0x70, nn, 0x30}, {0x70, nn, 0x50}, {0x71, nn, 0x00},
                              {0x72, nn, 0x00}, {0x73, nn, 0x00}, {0x74, nn, 0x00}};
    PerformanceRecord r;
    std::size_t at = 0;
    for (const Address& a : blocks) {
        const auto m = s.bulkDump(a);
        EXPECT_TRUE(m.has_value());
        if (!m || at + m->size() > r.bytes().size()) break;
        std::copy(m->begin(), m->end(), r.bytes().begin() + static_cast<std::ptrdiff_t>(at));
        at += m->size();
    }
    EXPECT_EQ(at, static_cast<std::size_t>(kRecordBytes));
    return r;
}

class ShowTest : public TempDirTest {
protected:
    std::string save(const std::string& name, const PerformanceImage& image, int number = 0) {
        writeBytes(path(name), recordBytes(makeRecordFromImage(image, number)));
        return path(name);
    }
    std::string showJson(const std::string& source) {
        const Outcome r = runCli({"show", "--json", source});
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
};

} // namespace

// ---- show ----

// The default performance against what the window shows for it, written
// from the instrument's description of each byte and read-out.
TEST_F(ShowTest, TextOfTheDefaultPerformance) {
    const std::string file = save("init.SYX", defaultImage());
    const Outcome r = runCli({"show", file});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    auto sections = sectionsOf(r.out);
    EXPECT_EQ(linesOf(r.out).front(), "001  --   InitPerf");
    std::vector<std::string> titles;
    for (const std::string& line : linesOf(r.out))
        if (!line.empty() && line[0] != ' ') titles.push_back(line);
    EXPECT_THAT(titles, ElementsAre("001  --   InitPerf", "Common", "Effect", "Controller", "Layer 1", "Layer 2",
                                    "Layer 3", "Layer 4", "Carried bytes (never shown by the editor)"));

    const auto& common = sections["Common"];
    EXPECT_EQ(common.front(), row("PerformanceName", "\"InitPerf\"", "InitPerf"));
    for (const std::string& line :
         {row("PerformanceType", "0", "--"), row("CommonVolume", "100", "100"), row("Scene1Knob1", "64", "0"),
          row("Scene2Knob6", "64", "0"), row("Assign2Param2Layer", "1", "Layer 2"),
          row("Assign2Param4Layer", "3", "Layer 4"), row("Assign2Param1Para", "0", "Off"),
          row("Assign2Param3Level", "64", "0"), row("Assign1Para", "0", "Off"), row("ArpTempo", "101", "140"),
          row("ArpeggioType", "9", "UpDown B Oct 1"), row("ArpeggioSubdiv", "7", "1 / 16"),
          row("ArpMode", "0", "Split")})
        EXPECT_THAT(common, Contains(line));
    EXPECT_EQ(common.size(), 32u);

    const auto& effect = sections["Effect"];
    for (const std::string& line :
         {row("ReverbType", "1", "Hall 1"), row("ChorusType", "1", "Chorus 1"), row("VariType", "9", "Delay L-C-R"),
          row("VPara1", "0", "0ms"), row("VPara5", "0", "-64"), row("VPara10", "0", "D64 > W"),
          row("FCVariCtl", "64", "0"), row("ChorusToReverb", "0", "0")})
        EXPECT_THAT(effect, Contains(line));
    // A stored performance has no variation sends.
    for (const std::string& line : linesOf(r.out)) EXPECT_THAT(line, Not(HasSubstr("VariOn")));
    EXPECT_EQ(effect.size(), 11u);

    const auto& controller = sections["Controller"];
    for (const std::string& line : {row("MWLFOPMod", "10", "10"), row("PitchBend", "66", "2"),
                                    row("MWFilterCtl", "64", "0"), row("PortaOn", "0", "off")})
        EXPECT_THAT(controller, Contains(line));
    EXPECT_EQ(controller.size(), 8u);

    for (const char* layer : {"Layer 1", "Layer 2", "Layer 3", "Layer 4"}) {
        SCOPED_TRACE(layer);
        const auto& lines = sections[layer];
        EXPECT_EQ(lines.size(), 39u);
        EXPECT_EQ(lines.front(), row("PatchBankNumber", "0", "XG 000"));
        for (const std::string& line :
             {row("PatchVoiceNumber", "0", "001 GrandPno"), row("PlayPoly", "1", "on"),
              row("NoteShift", "64",
                  "\xC2\xB1"
                  "0"),
              row("NoteDetune", "128",
                  "\xC2\xB1"
                  "0 Hz"),
              row("LayerVolume", "100", "100"), row("PanPot", "64", "CTR"), row("NoteLimitLow", "0", "C-2"),
              row("NoteLimitHigh", "127", "G8"), row("EffectVariation", "127", "on"), row("EffectReverb", "40", "40"),
              row("LFOSync", "2", "Element"), row("AEGAtkTime", "64", "0"), row("AEGSusLevel", "64", "0"),
              row("LayerOn", "1", "on"), row("VelocityLimitLow", "1", "1"), row("VelocityLimitHigh", "127", "127"),
              row("LFOWave", "3", "Element"), row("LFOAMod", "64", "0"), row("PEGDcyTime", "64", "0")})
            EXPECT_THAT(lines, Contains(line));
    }
    EXPECT_THAT(sections["Carried bytes (never shown by the editor)"],
                ElementsAre("  Common 22..27        64 64 64 64 64 64", "  Effect 18            64",
                            "  Controller 5         0"));
}

TEST_F(ShowTest, ReadoutsFollowTheVariationTypeAndTheDecimalSeparator) {
    PerformanceImage delay = defaultImage();
    writeVariationDefaults(delay, 9); // Delay L-C-R
    delay.setLayerData(2, params::NoteDetune.offset, 8);
    delay.setLayerData(2, params::NoteDetune.partner, 15); // code 143: +1.5 Hz
    writeValue(params::ArpTempo, delay, 0);                // MIDI clock
    writeValue(params::PanPot, delay, 0, 3);               // random pan
    writeValue(params::NoteShift, delay, 58, 4);
    const std::string file = save("delay.SYX", delay, 4);

    auto sections = sectionsOf(runCli({"show", file}).out);
    EXPECT_EQ(sections["head"].front(), "005  --   InitPerf");
    EXPECT_THAT(sections["Effect"], Contains(row("VPara1", "3333", "333.3ms")));
    EXPECT_THAT(sections["Effect"], Contains(row("VPara2", "1667", "166.7ms")));
    EXPECT_THAT(sections["Effect"], Contains(row("VPara3", "5000", "500ms")));
    EXPECT_THAT(sections["Effect"], Contains(row("VPara5", "74", "10")));
    EXPECT_THAT(sections["Effect"], Contains(row("VPara10", "32", "D32 > W")));
    EXPECT_THAT(sections["Common"], Contains(row("ArpTempo", "0", "MIDI")));
    EXPECT_THAT(sections["Layer 2"], Contains(row("NoteDetune", "143", "+1.5 Hz")));
    EXPECT_THAT(sections["Layer 1"], Contains(row("NoteDetune", "128",
                                                  "\xC2\xB1"
                                                  "0 Hz")));
    EXPECT_THAT(sections["Layer 3"], Contains(row("PanPot", "0", "Random")));
    EXPECT_THAT(sections["Layer 4"], Contains(row("NoteShift", "58", "-6")));

    // The window takes the locale's separator for tenths.
    auto comma = sectionsOf(runCli({"show", file}, ',').out);
    EXPECT_THAT(comma["Effect"], Contains(row("VPara1", "3333", "333,3ms")));
    EXPECT_THAT(comma["Layer 2"], Contains(row("NoteDetune", "143", "+1,5 Hz")));
    // JSON is the same everywhere.
    const Outcome json = runCli({"show", "--json", file}, ',');
    EXPECT_THAT(json.out, HasSubstr("\"value\": 3333, \"bytes\": [26, 5], \"text\": \"333.3ms\"}"));

    // Hall 1 prints from the effect value tables, which keep their comma.
    PerformanceImage hall = defaultImage();
    writeValue(params::VariType, hall, 1);
    writeVariationDefaults(hall, 1);
    auto hallSections = sectionsOf(runCli({"show", save("hall.SYX", hall)}).out);
    const auto& effect = hallSections["Effect"];
    EXPECT_THAT(effect, Contains(row("VariType", "1", "Hall 1")));
    EXPECT_THAT(effect, Contains(row("VPara1", "18", "2,1s")));
    EXPECT_THAT(effect, Contains(row("VPara2", "10", "10")));
    EXPECT_THAT(effect, Contains(row("VPara3", "8", "12,7ms")));
    EXPECT_THAT(effect, Contains(row("VPara4", "13", "90Hz")));
    EXPECT_THAT(effect, Contains(row("VPara5", "49", "5,6kHz")));
    EXPECT_THAT(effect, Contains(row("VPara10", "40", "D24 > W")));
}

TEST_F(ShowTest, JsonDocumentHoldsTheWholePerformance) {
    const std::string json = showJson(save("init.SYX", defaultImage(), 127));
    cli::JsonError e;
    const auto doc = cli::parseJson(json, e);
    ASSERT_TRUE(doc.has_value()) << e.message;
    EXPECT_EQ(doc->find("format")->text, "patchsmith-performance");
    EXPECT_EQ(doc->find("version")->integer(), 1);
    EXPECT_EQ(doc->find("number")->integer(), 128);
    EXPECT_EQ(doc->find("name")->text, "InitPerf");
    EXPECT_EQ(doc->find("category")->text, "--");
    const auto& parameters = doc->find("parameters")->items;
    ASSERT_EQ(parameters.size(), 51u + 4u * 39u);
    // Every data byte of the record is in the document exactly once.
    int bytes = 0;
    for (const auto& p : parameters) bytes += static_cast<int>(p.find("bytes")->items.size());
    for (const auto& c : doc->find("carried")->items) bytes += static_cast<int>(c.find("bytes")->items.size());
    EXPECT_EQ(bytes, 46 + 21 + 9 + 4 * 41);

    const auto& name = parameters.front();
    EXPECT_EQ(name.find("name")->text, "PerformanceName");
    EXPECT_EQ(name.find("group")->text, "performance");
    EXPECT_TRUE(name.find("layer")->isNull());
    EXPECT_EQ(name.find("value")->text, "InitPerf");
    EXPECT_EQ(name.find("bytes")->items.size(), 8u);
    EXPECT_EQ(name.find("bytes")->items[0].integer(), 'I');

    const auto find = [&](const std::string& n, int layer) -> const cli::JsonValue* {
        for (const auto& p : parameters)
            if (p.find("name")->text == n &&
                (layer == 0 ? p.find("layer")->isNull() : p.find("layer")->integer() == layer))
                return &p;
        return nullptr;
    };
    const cli::JsonValue* tempo = find("ArpTempo", 0);
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(tempo->find("group")->text, "arpeggio");
    EXPECT_EQ(tempo->find("value")->integer(), 101);
    ASSERT_EQ(tempo->find("bytes")->items.size(), 2u);
    EXPECT_EQ(tempo->find("bytes")->items[0].integer(), 0);
    EXPECT_EQ(tempo->find("bytes")->items[1].integer(), 101);
    EXPECT_EQ(tempo->find("text")->text, "140");
    const cli::JsonValue* detune = find("NoteDetune", 3);
    ASSERT_NE(detune, nullptr);
    EXPECT_EQ(detune->find("group")->text, "layer-voice");
    EXPECT_EQ(detune->find("value")->integer(), 128);
    EXPECT_EQ(detune->find("text")->text, "\xC2\xB1"
                                          "0 Hz");
    EXPECT_EQ(find("AEGAtkTime", 4)->find("group")->text, "filter-envelopes");
    EXPECT_EQ(find("AEGAtkTime", 5), nullptr);
    EXPECT_EQ(find("VariOnRev", 0), nullptr);

    const auto& carried = doc->find("carried")->items;
    ASSERT_EQ(carried.size(), 3u);
    EXPECT_EQ(carried[0].find("block")->text, "common");
    EXPECT_EQ(carried[0].find("offset")->integer(), 22);
    EXPECT_EQ(carried[0].find("bytes")->items.size(), 6u);
    EXPECT_EQ(carried[1].find("block")->text, "effect");
    EXPECT_EQ(carried[2].find("block")->text, "controller");
    EXPECT_EQ(carried[2].find("offset")->integer(), 5);

    // One parameter per line, for editing by hand.
    EXPECT_THAT(linesOf(json), Contains("    {\"name\": \"AEGAtkTime\", \"group\": \"filter-envelopes\", \"layer\": 2, "
                                        "\"value\": 64, \"bytes\": [64], \"text\": \"0\"},"));
}

TEST_F(ShowTest, SourcesBankSlotsDumpsAndDocuments) {
    PerformanceImage lead = defaultImage();
    writeName(lead, "Lead");
    writeValue(params::PerformanceType, lead, 11);
    ByteVector bank = bytesOf("Patchsmith PFB");
    append(bank, makeRecordFromImage(defaultImage(), 0));
    append(bank, makeRecordFromImage(lead, 16));
    writeBytes(path("b.PFB"), bank);
    const Outcome slot = runCli({"show", path("b.PFB") + ":17"});
    EXPECT_EQ(slot.code, 0) << slot.err;
    EXPECT_EQ(linesOf(slot.out).front(), "017  LD Lead");
    EXPECT_EQ(linesOf(runCli({"show", path("b.PFB") + ":001"}).out).front(), "001  --   InitPerf");

    // A raw dump of one performance, with a foreign message beside it.
    ByteVector raw = recordBytes(makeRecordFromImage(lead, 40));
    raw.insert(raw.end(), {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    writeBytes(path("dump.syx"), raw);
    const Outcome dump = runCli({"show", path("dump.syx")});
    EXPECT_EQ(dump.code, 0);
    EXPECT_EQ(linesOf(dump.out).front(), "041  LD Lead");
    EXPECT_EQ(dump.err, path("dump.syx") + ": Imported: 1, skipped as foreign: 1, skipped as damaged: 0\n");
    EXPECT_EQ(runCli({"show", path("dump.syx") + ":41"}).code, 0);

    // A document shows as the performance it describes, and lists.
    writeText(path("lead.json"), showJson(path("b.PFB") + ":17"));
    const Outcome doc = runCli({"show", path("lead.json")});
    EXPECT_EQ(doc.code, 0) << doc.err;
    EXPECT_EQ(doc.out, slot.out);
    EXPECT_EQ(runCli({"list", path("lead.json")}).out, "017  LD Lead\n");
    EXPECT_EQ(runCli({"show", path("lead.json") + ":17"}).out, slot.out);
}

TEST_F(ShowTest, BadSourcesAreNamedAndNothingIsPrinted) {
    ByteVector bank = bytesOf("Patchsmith PFB");
    append(bank, makeRecord(0, 1, "One"));
    append(bank, makeRecord(16, 2, "Two"));
    writeBytes(path("b.PFB"), bank);
    const auto expectError = [&](const std::vector<std::string>& args, int code, const std::string& text) {
        const Outcome r = runCli(args);
        EXPECT_EQ(r.code, code) << args.back();
        EXPECT_TRUE(r.out.empty()) << args.back();
        EXPECT_THAT(r.err, HasSubstr(text)) << args.back();
    };
    expectError({"show", path("b.PFB") + ":5"}, 1, "patchsmith-cli: " + path("b.PFB") + ": no performance 005\n");
    expectError({"show", path("b.PFB") + ":129"}, 2,
                "patchsmith-cli show: '" + path("b.PFB") + ":129': the performance number must be 1..128\n");
    expectError({"show", path("b.PFB") + ":0"}, 2, "the performance number must be 1..128");
    expectError({"show", path("b.PFB")}, 1,
                path("b.PFB") + ": holds 2 performances: name one as FILE:N (N = 1..128)\n");
    expectError({"show", path("none.SYX")}, 1, path("none.SYX") + ": Load-Error : Unable to open file\n");
    expectError({"show", path("none.PFB") + ":3"}, 1, path("none.PFB") + ": Load-Error : Unable to open file\n");

    // A .SYX file cut short, and one of the right size that holds no dumps.
    ByteVector cut = recordBytes(makeRecord(3, 1, "Cut"));
    cut.resize(300);
    writeBytes(path("cut.SYX"), cut);
    expectError({"show", path("cut.SYX")}, 1, path("cut.SYX") + ": This is not a valid Performance-file!\n");
    ByteVector text(317, 'x');
    writeBytes(path("text.SYX"), text);
    expectError({"show", path("text.SYX")}, 1, path("text.SYX") + ": This is not a valid Performance-file!\n");
    ByteVector unframed = recordBytes(makeRecord(3, 1, "Bad"));
    unframed[56] = 0x00; // the common block's F7
    writeBytes(path("unframed.SYX"), unframed);
    expectError({"show", path("unframed.SYX")}, 1, "This is not a valid Performance-file!");

    writeBytes(path("empty.PFB"), bytesOf("Patchsmith PFB"));
    expectError({"show", path("empty.PFB")}, 1, path("empty.PFB") + ": holds no performance\n");

    EXPECT_EQ(runCli({"show"}).code, 2);
    EXPECT_EQ(runCli({"show", "a", "b"}).code, 2);
    EXPECT_EQ(runCli({"show", "-o", "x", "a"}).code, 2);
}

// A record whose number byte was damaged still shows; its number is unknown.
TEST_F(ShowTest, ANumberAbove127IsShownAsUnknown) {
    writeBytes(path("odd.SYX"), recordBytes(makeRecord(200, 1, "Odd")));
    const Outcome r = runCli({"show", "--json", path("odd.SYX")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\n  \"number\": null,\n"));
    EXPECT_EQ(runCli({"show", path("odd.SYX") + ":73"}).code, 1);
}

// ---- diff ----

TEST_F(ShowTest, DiffListsExactlyWhatDiffers) {
    const std::string a = save("a.SYX", defaultImage());
    PerformanceImage changed = defaultImage();
    writeValue(params::CommonVolume, changed, 90);
    writeValue(params::ReverbType, changed, 3); // Room 1
    writeValue(params::AEGAtkTime, changed, 70, 3);
    ByteVector bank = bytesOf("Patchsmith PFB");
    append(bank, makeRecordFromImage(defaultImage(), 0));
    append(bank, makeRecordFromImage(changed, 16));
    writeBytes(path("b.PFB"), bank);

    const Outcome r = runCli({"diff", a, path("b.PFB") + ":17"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.empty());
    EXPECT_THAT(linesOf(r.out), ElementsAre("CommonVolume          100  100     ->  90  90",
                                            "ReverbType              1  Hall 1  ->   3  Room 1",
                                            "AEGAtkTime (layer 3)   64  0       ->  70  6"));

    const Outcome back = runCli({"diff", path("b.PFB") + ":17", a});
    EXPECT_EQ(back.code, 1);
    EXPECT_THAT(linesOf(back.out), ElementsAre("CommonVolume          90  90      ->  100  100",
                                               "ReverbType             3  Room 1  ->    1  Hall 1",
                                               "AEGAtkTime (layer 3)  70  6       ->   64  0"));

    // The same performance in another slot is no difference.
    const Outcome same = runCli({"diff", a, path("b.PFB") + ":1"});
    EXPECT_EQ(same.code, 0);
    EXPECT_TRUE(same.out.empty());
    EXPECT_EQ(runCli({"diff", a, a}).code, 0);

    const Outcome json = runCli({"diff", "--json", a, path("b.PFB") + ":17"});
    EXPECT_EQ(json.code, 1);
    cli::JsonError e;
    const auto doc = cli::parseJson(json.out, e);
    ASSERT_TRUE(doc.has_value()) << e.message;
    EXPECT_EQ(doc->find("format")->text, "patchsmith-diff");
    EXPECT_FALSE(doc->find("equal")->boolean);
    EXPECT_EQ(doc->find("a")->find("source")->text, a);
    EXPECT_EQ(doc->find("b")->find("number")->integer(), 17);
    const auto& params = doc->find("parameters")->items;
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0].find("name")->text, "CommonVolume");
    EXPECT_TRUE(params[0].find("layer")->isNull());
    EXPECT_EQ(params[1].find("b")->find("bytes")->items[0].integer(), 2);
    EXPECT_EQ(params[1].find("b")->find("text")->text, "Room 1");
    EXPECT_EQ(params[2].find("name")->text, "AEGAtkTime");
    EXPECT_EQ(params[2].find("layer")->integer(), 3);
    EXPECT_EQ(params[2].find("a")->find("value")->integer(), 64);
    EXPECT_EQ(params[2].find("b")->find("value")->integer(), 70);
    EXPECT_EQ(params[2].find("b")->find("text")->text, "6");
    EXPECT_TRUE(doc->find("carried")->items.empty());
    const Outcome equalJson = runCli({"diff", "--json", a, a});
    EXPECT_EQ(equalJson.code, 0);
    EXPECT_THAT(equalJson.out, HasSubstr("\"equal\": true,"));
    EXPECT_THAT(equalJson.out, HasSubstr("\"parameters\": [],"));
}

TEST_F(ShowTest, DiffListsCarriedBytesAndPairsInNoRow) {
    const std::string a = save("a.SYX", defaultImage());
    PerformanceImage b = defaultImage();
    const CarriedBytes common = carriedBytes()[0];
    b.setData(Block::Common, common.first + 1, 0);
    b.setLayerData(2, params::PatchBankNumber.offset, 127); // 127/0: in no row of the bank list
    const Outcome r = runCli({"diff", a, save("b.SYX", b)});
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(linesOf(r.out), ElementsAre("PatchBankNumber (layer 2)   0  XG 000  ->  -  ?7F/00",
                                            "Common byte 23             64          ->  0"));
    const Outcome json = runCli({"diff", "--json", a, path("b.SYX")});
    EXPECT_THAT(json.out, HasSubstr("\"b\": {\"value\": null, \"bytes\": [127, 0], \"text\": \"?7F/00\"}"));
    EXPECT_THAT(json.out, HasSubstr("{\"block\": \"common\", \"offset\": 23, \"a\": 64, \"b\": 0}"));
}

TEST_F(ShowTest, DiffTroubleIsTwo) {
    const std::string a = save("a.SYX", defaultImage());
    ByteVector bank = bytesOf("Patchsmith PFB");
    append(bank, makeRecord(0, 1, "One"));
    writeBytes(path("b.PFB"), bank);
    const auto trouble = [&](const std::vector<std::string>& args, const std::string& text) {
        const Outcome r = runCli(args);
        EXPECT_EQ(r.code, 2) << text;
        EXPECT_TRUE(r.out.empty()) << text;
        EXPECT_THAT(r.err, HasSubstr(text));
    };
    trouble({"diff", a, path("none.SYX")}, "Load-Error : Unable to open file");
    trouble({"diff", a, path("b.PFB") + ":2"}, ": no performance 002");
    trouble({"diff", path("b.PFB") + ":200", a}, "the performance number must be 1..128");
    trouble({"diff", a}, "A and B needed");
    trouble({"diff", a, a, a}, "too many arguments");
    writeText(path("broken.json"), "{\"format\": ");
    trouble({"diff", a, path("broken.json")}, "broken JSON");
}

// ---- build from JSON ----

// Every factory performance of the virtual CS1x, as it sends them: shown as
// JSON and built back, the bank holds the very records.
TEST_F(ShowTest, FactoryPerformancesBuildBackByteForByte) {
    const synth::VirtualCs1x synth;
    std::vector<std::string> args{"build", "-o", path("all.PFB")};
    ByteVector expected = bytesOf("Patchsmith PFB");
    for (int n = 0; n < 128; ++n) {
        const PerformanceRecord record = synthRecord(synth, n);
        append(expected, record);
        const std::string syx = path("p" + std::to_string(n) + ".SYX");
        writeBytes(syx, recordBytes(record));
        const std::string json = path("p" + std::to_string(n) + ".json");
        writeText(json, showJson(syx));
        args.push_back(json + ":" + std::to_string(n + 1));
    }
    const Outcome r = runCli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_TRUE(readBytes(path("all.PFB")) == expected);
    // The factory list gave the names and categories.
    EXPECT_EQ(linesOf(runCli({"list", path("all.PFB")}).out).size(), 128u);
    EXPECT_EQ(runCli({"diff", path("p5.SYX"), path("p5.json")}).code, 0);
}

// Every data byte at random, also where the window could not set it: pairs
// in no list row, times of 0, name bytes that are control characters. An
// unedited document keeps them all.
TEST_F(ShowTest, AnyPerformanceBuildsBackByteForByte) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 127);
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(n);
        PerformanceImage image;
        for (Block b : {Block::Common, Block::Effect, Block::Controller, Block::Layer1, Block::Layer2, Block::Layer3,
                        Block::Layer4})
            for (int k = 0; k < dataLength(b); ++k) image.setData(b, k, static_cast<Byte>(byte(random)));
        const PerformanceRecord record = makeRecordFromImage(image, n * 3);
        writeBytes(path("r.SYX"), recordBytes(record));
        writeText(path("r.json"), showJson(path("r.SYX")));
        const Outcome r = runCli({"build", "-o", path("r.PFB"), path("r.json") + ":" + std::to_string(n * 3 + 1)});
        ASSERT_EQ(r.code, 0) << r.err;
        const ByteVector bank = readBytes(path("r.PFB"));
        ASSERT_EQ(bank.size(), 14u + 317u);
        EXPECT_TRUE(ByteVector(bank.begin() + 14, bank.end()) == recordBytes(record));
        EXPECT_EQ(runCli({"diff", path("r.SYX"), path("r.json")}).code, 0);
    }
}

TEST_F(ShowTest, EditedValuesAreBuiltAsTheEditorWritesThem) {
    const std::string json = showJson(save("init.SYX", defaultImage()));
    std::string doc = edited(json, commonLine("CommonVolume"), "\"value\": 100", "\"value\": 90");
    doc = edited(doc, commonLine("ReverbType"), "\"value\": 1,", "\"value\": 11,"); // Basement, 13 00
    doc = edited(doc, commonLine("VPara1"), "\"value\": 0,", "\"value\": 7150,");
    doc = edited(doc, layerLine("AEGAtkTime", 3), "\"value\": 64, \"bytes\": [64], ", "\"value\": 70, ");
    doc = edited(doc, commonLine("PerformanceName"), "\"value\": \"InitPerf\"", "\"value\": \"Pad\"");
    doc = edited(doc, "\"name\": \"InitPerf\"", "InitPerf", "Pad");
    writeText(path("e.json"), doc);
    const Outcome r = runCli({"build", "-o", path("e.PFB"), path("e.json") + ":9"});
    ASSERT_EQ(r.code, 0) << r.err;

    PerformanceImage expected = defaultImage();
    expected.setData(Block::Common, params::CommonVolume.offset, 90);
    expected.setData(Block::Effect, params::ReverbType.offset, 0x13);
    expected.setData(Block::Effect, params::ReverbType.partner, 0x00);
    expected.setData(Block::Effect, params::VPara1.offset, 55); // 7150 = 55 * 128 + 110
    expected.setData(Block::Effect, params::VPara1.partner, 110);
    expected.setLayerData(3, params::AEGAtkTime.offset, 70);
    for (int k = 0; k < 8; ++k) expected.setData(Block::Common, k, static_cast<Byte>("Pad     "[k]));
    ByteVector bank = bytesOf("Patchsmith PFB");
    append(bank, makeRecordFromImage(expected, 8));
    EXPECT_TRUE(readBytes(path("e.PFB")) == bank);

    const Outcome d = runCli({"diff", path("init.SYX"), path("e.PFB") + ":9"});
    EXPECT_EQ(d.code, 1);
    EXPECT_EQ(linesOf(d.out).size(), 5u);
}

TEST_F(ShowTest, BadDocumentsAreNamedAndNothingIsWritten) {
    const std::string json = showJson(save("init.SYX", defaultImage()));
    writeBytes(path("old.PFB"), bytesOf("Patchsmith PFB"));
    const auto refused = [&](const std::string& doc, const std::vector<std::string>& problems) {
        writeText(path("bad.json"), doc);
        const Outcome r = runCli({"build", "-o", path("old.PFB"), path("init.SYX") + ":1", path("bad.json") + ":2"});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.empty());
        std::vector<std::string> expected;
        for (const std::string& p : problems) expected.push_back("patchsmith-cli: " + path("bad.json") + ": " + p);
        EXPECT_EQ(linesOf(r.err), expected);
        EXPECT_EQ(readBytes(path("old.PFB")), bytesOf("Patchsmith PFB"));
        EXPECT_THAT(entries(), ::testing::UnorderedElementsAre("init.SYX", "old.PFB", "bad.json"));
    };
    const auto lineOf = [&](const std::string& doc, const std::string& where) {
        const auto lines = linesOf(doc);
        for (std::size_t k = 0; k < lines.size(); ++k)
            if (lines[k].find(where) != std::string::npos) return std::to_string(k + 1);
        return std::string("?");
    };
    const std::string aeg = layerLine("AEGAtkTime", 2);
    const std::string line = lineOf(json, aeg);

    refused(edited(json, aeg, "\"value\": 64", "\"value\": 0"),
            {"line " + line + ": AEGAtkTime (layer 2): value 0 is outside 1..127"});
    refused(edited(json, aeg, "\"value\": 64", "\"value\": 128"),
            {"line " + line + ": AEGAtkTime (layer 2): value 128 is outside 1..127"});
    refused(edited(json, aeg, "\"value\": 64", "\"value\": 6.5"),
            {"line " + line + ": AEGAtkTime (layer 2): \"value\" must be a whole number"});
    refused(edited(json, aeg, "\"bytes\": [64]", "\"bytes\": [192]"),
            {"line " + line + ": AEGAtkTime (layer 2): \"bytes\" must be 1 number from 0 to 127"});
    refused(edited(json, commonLine("ArpMode"), "\"value\": 0", "\"value\": 3"),
            {"line " + lineOf(json, commonLine("ArpMode")) + ": ArpMode: value 3 is not one of 0, 1, 2, 4, 5, 6"});
    refused(edited(json, commonLine("VPara1"), "\"value\": 0", "\"value\": 7151"),
            {"line " + lineOf(json, commonLine("VPara1")) + ": VPara1: value 7151 is outside 1..7150"});
    refused(edited(json, commonLine("ReverbType"), "\"value\": 1, \"bytes\": [1, 0]", "\"value\": null"),
            {"line " + lineOf(json, commonLine("ReverbType")) + ": ReverbType: a null \"value\" needs its \"bytes\""});

    const std::string arrayLine = lineOf(json, "\"parameters\": [");
    refused(edited(json, aeg, "\"AEGAtkTime\"", "\"AEGAtkTim\""),
            {"line " + line + ": unknown parameter \"AEGAtkTim\"",
             "line " + arrayLine + ": missing parameter AEGAtkTime (layer 2)"});
    std::string missing;
    for (const std::string& l : linesOf(json))
        if (l.find(layerLine("LFOWave", 4)) == std::string::npos) missing += l + "\n";
    refused(missing, {"line " + arrayLine + ": missing parameter LFOWave (layer 4)"});
    refused(edited(json, aeg, "\"layer\": 2", "\"layer\": 1"),
            {"line " + line + ": AEGAtkTime (layer 1) given twice",
             "line " + arrayLine + ": missing parameter AEGAtkTime (layer 2)"});
    refused(edited(json, aeg, "\"layer\": 2", "\"layer\": 5"),
            {"line " + line + ": AEGAtkTime: \"layer\" must be 1, 2, 3 or 4",
             "line " + arrayLine + ": missing parameter AEGAtkTime (layer 2)"});
    refused(edited(json, aeg, "\"value\": 64", "\"valu\": 64"),
            {"line " + line + ": AEGAtkTime: unknown key \"valu\"",
             "line " + line + ": AEGAtkTime (layer 2): \"value\" missing"});
    refused(edited(json, commonLine("ChorusToReverb"), "\"ChorusToReverb\"", "\"VariOnRev\""),
            {"line " + lineOf(json, commonLine("ChorusToReverb")) + ": VariOnRev is not part of a stored performance",
             "line " + arrayLine + ": missing parameter ChorusToReverb"});

    const std::string nameLine = lineOf(json, commonLine("PerformanceName"));
    refused(edited(json, commonLine("PerformanceName"), "\"value\": \"InitPerf\"", "\"value\": \"Gr\\u00fcnton\""),
            {"line " + nameLine + ": PerformanceName: character U+00FC is not printable ASCII"});
    refused(edited(json, commonLine("PerformanceName"), "\"value\": \"InitPerf\"", "\"value\": \"Init Perf\""),
            {"line " + nameLine + ": PerformanceName: \"Init Perf\" is longer than 8 characters"});
    refused(edited(json, "\"name\": \"InitPerf\"", "InitPerf", "Renamed"),
            {"line " + lineOf(json, "\"name\": \"InitPerf\"") +
             ": \"name\" differs from PerformanceName \"InitPerf\": the parameters decide, so edit PerformanceName"});
    refused(edited(json, "\"category\": \"--\"", "--", "PF"),
            {"line " + lineOf(json, "\"category\"") +
             ": \"category\" differs from PerformanceType \"--\": the parameters decide, so edit PerformanceType"});
    refused(edited(json, "\"block\": \"effect\"", "\"bytes\": [64]", "\"bytes\": [64, 64]"),
            {"line " + lineOf(json, "\"block\": \"effect\"") +
             ": carried bytes effect 18: \"bytes\" must be 1 number from 0 to 127"});
    refused(edited(json, "\"block\": \"effect\"", "\"offset\": 18", "\"offset\": 19"),
            {"line " + lineOf(json, "\"block\": \"effect\"") + ": no carried bytes begin at effect 19",
             "line " + lineOf(json, "\"carried\": [") + ": missing carried bytes effect 18"});
    refused(edited(json, "\"version\"", "1", "2"),
            {"line " + lineOf(json, "\"version\"") + ": \"version\" 1 is the one this program reads"});
    refused("[1, 2]\n", {"line 1: not a performance document: the text is no JSON object"});
    refused("{\"format\": \"something-else\"}",
            {"line 1: not a performance document: \"format\" is not \"patchsmith-performance\""});

    // Broken JSON: where the reader stopped.
    const std::string noComma = edited(json, aeg, "\"value\": 64,", "\"value\": 64");
    const std::size_t column = linesOf(noComma)[std::stoul(line) - 1].find("\"bytes\"") + 1;
    refused(noComma, {"line " + line + ", column " + std::to_string(column) + ": broken JSON: expected ',' or '}'"});
    writeText(path("cut.json"), json.substr(0, json.size() / 2));
    const Outcome cut = runCli({"build", "-o", path("old.PFB"), path("cut.json") + ":2"});
    EXPECT_EQ(cut.code, 1);
    EXPECT_THAT(cut.err, ::testing::MatchesRegex(".*cut\\.json: line [0-9]+, column [0-9]+: broken JSON: .*\n"));
    EXPECT_EQ(readBytes(path("old.PFB")), bytesOf("Patchsmith PFB"));
}

TEST_F(ShowTest, ManyProblemsAreCutShort) {
    std::string doc = showJson(save("init.SYX", defaultImage()));
    for (int layer = 1; layer <= 4; ++layer)
        for (const char* name : {"AEGAtkTime", "AEGDcyTime", "AEGRelTime", "FEGAtkTime", "FEGDcyTime", "FEGRelTime",
                                 "PEGAtkTime", "PEGRelTime"})
            doc = edited(doc, layerLine(name, layer), "\"value\": 64, \"bytes\": [64]", "\"value\": 0");
    writeText(path("bad.json"), doc);
    const Outcome r = runCli({"build", "-o", path("x.PFB"), path("bad.json") + ":1"});
    EXPECT_EQ(r.code, 1);
    const auto lines = linesOf(r.err);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines.back(), "patchsmith-cli: " + path("bad.json") + ": ... and 12 more problems");
    EXPECT_FALSE(std::filesystem::exists(path("x.PFB")));
}

TEST_F(ShowTest, DocumentsLargerThanAnyPerformanceAreRefused) {
    std::string doc =
        "{\"format\": \"patchsmith-performance\", \"padding\": \"" + std::string(1024 * 1024, 'x') + "\"}";
    writeText(path("huge.json"), doc);
    const Outcome r = runCli({"show", path("huge.json")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "patchsmith-cli: " + path("huge.json") + ": too large for a performance document (at most 1024 kB)\n");
}

// ---- the program itself ----

TEST_F(ShowTest, TheExecutableShowsAndDiffs) {
    const std::string program = PATCHSMITH_CLI_PATH;
    const std::string a = save("a.SYX", defaultImage());
    PerformanceImage changed = defaultImage();
    writeValue(params::PanPot, changed, 40, 2);
    const std::string b = save("b.SYX", changed);
    const auto run = [&](const std::string& args) {
        const std::string command = "'" + program + "' " + args + " >'" + path("o.txt") + "' 2>'" + path("e.txt") + "'";
        const int status = std::system(command.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = readText(path("o.txt"));
        r.err = readText(path("e.txt"));
        return r;
    };
    const Outcome d = run("diff '" + a + "' '" + b + "'");
    EXPECT_EQ(d.code, 1);
    EXPECT_EQ(d.out, "PanPot (layer 2)  64  CTR  ->  40  L-24\n");
    EXPECT_EQ(run("diff '" + a + "' '" + a + "'").code, 0);
    EXPECT_EQ(run("diff '" + a + "' '" + path("none") + "'").code, 2);
    const Outcome s = run("show --json '" + b + "'");
    EXPECT_EQ(s.code, 0);
    writeText(path("b.json"), s.out);
    EXPECT_EQ(run("build -o '" + path("b.PFB") + "' '" + path("b.json") + ":1'").code, 0);
    EXPECT_EQ(run("diff '" + b + "' '" + path("b.PFB") + ":1'").code, 0);
}
