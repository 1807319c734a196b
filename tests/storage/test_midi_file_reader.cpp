#include "MidiFileBuilder.h"
#include "storage/MidiFileReader.h"

#include <gmock/gmock.h>

#include <string>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::ElementsAre;

namespace {

// Writes every event as one line of text: "track tick kind bytes".
struct LoggingVisitor : MidiFileVisitor {
    std::vector<std::string> log;
    int track = -1;

    static std::string hex(std::span<const Byte> b) {
        std::string s;
        char buf[4];
        for (Byte x : b) {
            std::snprintf(buf, sizeof buf, "%02X", x);
            if (!s.empty()) s += ' ';
            s += buf;
        }
        return s;
    }
    void trackStart(int t) override {
        track = t;
        log.push_back("start " + std::to_string(t));
    }
    void sysEx(std::uint64_t tick, std::span<const Byte> data, bool escape) override {
        log.push_back(std::to_string(tick) + (escape ? " F7 " : " F0 ") + hex(data));
    }
    void channel(std::uint64_t tick, std::span<const Byte> m) override {
        log.push_back(std::to_string(tick) + " ch " + hex(m));
    }
    void meta(std::uint64_t tick, Byte type, std::span<const Byte> data) override {
        log.push_back(std::to_string(tick) + " meta " + hex(std::span<const Byte>(&type, 1)) + " " + hex(data));
    }
    void trackEnd(int t, bool broken) override {
        log.push_back("end " + std::to_string(t) + (broken ? " broken" : ""));
    }
};

ByteVector oneTrack(const TrackBuilder& t) { return midiFile(0, {&t}); }

} // namespace

TEST(MidiFileReader, EventsWithRunningStatusMetaAndSysExPackets) {
    TrackBuilder conductor;
    conductor.delta(0).tempo(500000).delta(960).meta(0x01, ByteVector{'h', 'i'}).delta(0).endOfTrack();
    TrackBuilder music;
    music.delta(0)
        .bytes({0x90, 60, 100})
        .delta(10)
        .bytes({62, 90}) // running status
        .delta(5)
        .bytes({0xC0, 7})
        .delta(1)
        .bytes({8}) // running status, one data byte
        .delta(0)
        .sysExEvent(0xF0, ByteVector{0x43, 0x10})
        .delta(3)
        .sysExEvent(0xF7, ByteVector{0x4B, 0xF7})
        .delta(0)
        .bytes({0xE0, 0x00, 0x40})
        .delta(0)
        .endOfTrack();
    const ByteVector file = midiFile(1, {&conductor, &music});
    LoggingVisitor v;
    const MidiFileInfo info = readMidiFile(file, v);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.format, 1);
    EXPECT_EQ(info.declaredTracks, 2);
    EXPECT_EQ(info.tracks, 2);
    EXPECT_EQ(info.division, 480);
    EXPECT_THAT(v.log, ElementsAre("start 0", "0 meta 51 07 A1 20", "960 meta 01 68 69", "960 meta 2F ", "end 0",
                                   "start 1", "0 ch 90 3C 64", "10 ch 90 3E 5A", "15 ch C0 07", "16 ch C0 08",
                                   "16 F0 43 10", "19 F7 4B F7", "19 ch E0 00 40", "19 meta 2F ", "end 1"));
}

TEST(MidiFileReader, NotAMidiFileAndBadHeaders) {
    LoggingVisitor v;
    EXPECT_EQ(readMidiFile(ByteVector{}, v).status, MidiFileInfo::Status::NotAMidiFile);
    EXPECT_EQ(readMidiFile(ByteVector{0xF0, 0x43, 0x00}, v).status, MidiFileInfo::Status::NotAMidiFile);
    EXPECT_EQ(readMidiFile(ByteVector{'M', 'T', 'h', 'd'}, v).status, MidiFileInfo::Status::BadHeader);
    // Header length 5, and a header length past the end of the file.
    ByteVector shortHeader{'M', 'T', 'h', 'd', 0, 0, 0, 5, 0, 0, 0, 1, 0};
    EXPECT_EQ(readMidiFile(shortHeader, v).status, MidiFileInfo::Status::BadHeader);
    ByteVector huge{'M', 'T', 'h', 'd', 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 1, 0, 96};
    EXPECT_EQ(readMidiFile(huge, v).status, MidiFileInfo::Status::BadHeader);
    EXPECT_TRUE(v.log.empty());
    // A longer header is allowed; its extra bytes are skipped.
    ByteVector longer{'M', 'T', 'h', 'd', 0, 0, 0, 8, 0, 0, 0, 1, 0, 96, 0xAA, 0xBB};
    TrackBuilder t;
    t.delta(0).bytes({0x90, 1, 2});
    appendChunk(longer, "MTrk", t.data());
    EXPECT_TRUE(readMidiFile(longer, v).ok());
    EXPECT_THAT(v.log, ElementsAre("start 0", "0 ch 90 01 02", "end 0"));
}

TEST(MidiFileReader, ForeignChunksAreSkippedAndTrackEndStopsReading) {
    ByteVector file = midiHeader(1, 1);
    appendChunk(file, "XFIH", ByteVector{1, 2, 3, 0x90, 0x90});
    TrackBuilder t;
    t.delta(0).endOfTrack().delta(0).bytes({0x90, 1, 2}); // after the end: not read
    appendChunk(file, "MTrk", t.data());
    file.insert(file.end(), {0, 0, 0}); // padding shorter than a chunk header
    LoggingVisitor v;
    const MidiFileInfo info = readMidiFile(file, v);
    EXPECT_TRUE(info.ok());
    EXPECT_EQ(info.tracks, 1);
    EXPECT_THAT(v.log, ElementsAre("start 0", "0 meta 2F ", "end 0"));
}

TEST(MidiFileReader, TrackWithoutEndIsTakenAsItIs) {
    TrackBuilder t;
    t.delta(4).bytes({0xB0, 7, 100});
    LoggingVisitor v;
    EXPECT_TRUE(readMidiFile(oneTrack(t), v).ok());
    EXPECT_THAT(v.log, ElementsAre("start 0", "4 ch B0 07 64", "end 0"));
}

// Hostile input: every one of these ends the track as broken without
// reading past the data, and later tracks are still read.
TEST(MidiFileReader, BrokenTracksEndSafely) {
    struct Case {
        const char* what;
        ByteVector data;
    };
    const std::vector<Case> cases{
        {"data byte without running status", {0x00, 0x3C, 0x40}},
        {"SysEx length past the end", {0x00, 0xF0, 0x7F, 0x43}},
        {"huge SysEx length", {0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x43}},
        {"five-byte length", {0x00, 0xF7, 0x81, 0x80, 0x80, 0x80, 0x00}},
        {"five-byte delta time", {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 1, 2}},
        {"delta time cut off", {0x81}},
        {"meta length past the end", {0x00, 0xFF, 0x51, 0x03, 0x07}},
        {"meta type missing", {0x00, 0xFF}},
        {"channel message cut off", {0x00, 0x90, 0x3C}},
        {"status byte as data", {0x00, 0x90, 0x3C, 0x80}},
        {"system common status", {0x00, 0xF2, 0x00, 0x00}},
        {"real-time status", {0x00, 0xF8}},
        {"event missing after delta", {0x00}},
    };
    for (const Case& c : cases) {
        ByteVector file = midiHeader(1, 2);
        appendChunk(file, "MTrk", c.data);
        TrackBuilder good;
        good.delta(0).bytes({0x80, 1, 0}).delta(0).endOfTrack();
        appendChunk(file, "MTrk", good.data());
        LoggingVisitor v;
        const MidiFileInfo info = readMidiFile(file, v);
        EXPECT_TRUE(info.ok()) << c.what;
        EXPECT_EQ(info.tracks, 2) << c.what;
        ASSERT_GE(v.log.size(), 2u) << c.what;
        EXPECT_EQ(v.log[v.log.size() - 5], "end 0 broken") << c.what;
        EXPECT_EQ(v.log.back(), "end 1") << c.what;
    }
}

TEST(MidiFileReader, ChunkLengthLargerThanTheFileHoldsWhatIsThere) {
    TrackBuilder t;
    t.delta(0).bytes({0x90, 1, 2}).delta(0).bytes({0x80, 1, 0});
    ByteVector file = midiHeader(0, 1);
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0x7F, 0xFF, 0xFF, 0xFF});
    file.insert(file.end(), t.data().begin(), t.data().end());
    LoggingVisitor v;
    EXPECT_TRUE(readMidiFile(file, v).ok());
    EXPECT_THAT(v.log, ElementsAre("start 0", "0 ch 90 01 02", "0 ch 80 01 00", "end 0"));

    // Cut inside an event: the events before it are read, the track is broken.
    ByteVector cut = file;
    cut.pop_back();
    LoggingVisitor w;
    EXPECT_TRUE(readMidiFile(cut, w).ok());
    EXPECT_THAT(w.log, ElementsAre("start 0", "0 ch 90 01 02", "end 0 broken"));
}

TEST(MidiFileReader, LargestDeltaTimesAddUpWithoutWrapping) {
    TrackBuilder t;
    for (int i = 0; i < 40; ++i) t.delta(0x0FFFFFFF).bytes({0x90, 1, 2});
    LoggingVisitor v;
    EXPECT_TRUE(readMidiFile(oneTrack(t), v).ok());
    EXPECT_EQ(v.log[40], std::to_string(40ull * 0x0FFFFFFFull) + " ch 90 01 02");
}
