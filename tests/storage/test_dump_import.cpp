#include "MidiFileBuilder.h"
#include "StorageTestSupport.h"
#include "midi/MidiLink.h"
#include "storage/DumpImport.h"
#include "storage/PerformanceFiles.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <numeric>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

ByteVector recordBytes(const PerformanceRecord& r) { return ByteVector(r.bytes().begin(), r.bytes().end()); }

ByteVector messageOf(const PerformanceRecord& r, int i) {
    const auto m = r.message(i);
    return ByteVector(m.begin(), m.end());
}

void add(ByteVector& out, const ByteVector& more) { out.insert(out.end(), more.begin(), more.end()); }

// Count + address + data + checksum of a bulk dump add up to 0 (mod 128).
bool checksumHolds(std::span<const Byte> m) { return std::accumulate(m.begin() + 4, m.end() - 1, 0u) % 128 == 0; }

void fixChecksum(std::span<Byte> m) { m[m.size() - 2] = MidiLink::SysExChecksum(m); }

// The current performance's seven bulk dumps as the synthesizer sends them
// (device byte `device`), from an image with recognisable data.
struct CurrentDump {
    PerformanceImage image;
    ByteVector bytes;
};

CurrentDump currentDump(std::string_view name, Byte device = 0x00) {
    CurrentDump d;
    d.image.fillDefaults();
    for (int i = 0; i < 8; ++i)
        d.image.setData(Block::Common, i,
                        static_cast<Byte>(i < static_cast<int>(name.size()) ? name[static_cast<std::size_t>(i)] : ' '));
    d.image.setData(Block::Common, 8, 11); // LD
    d.image.setData(Block::Effect, 20, 33);
    d.image.setData(Block::Effect, 21, 99); // variation sends: no place in a record
    d.image.setData(Block::Effect, 22, 98);
    d.image.setLayerData(3, 2, 77);
    for (int b = 0; b < kBlockCount; ++b) {
        std::span<Byte> m = d.image.message(static_cast<Block>(b));
        writeCurrentHeader(m, static_cast<Block>(b));
        m[2] = device;
        fixChecksum(m);
        d.bytes.insert(d.bytes.end(), m.begin(), m.end());
    }
    return d;
}

ImportResult importBytes(const ByteVector& bytes, PerformanceBank& bank) {
    return placeIntoBank(scanDump(bytes), bank);
}

// Identity reply, a parameter change, another maker, another YAMAHA model,
// a CS1x bulk dump of a block that is not part of a performance.
const std::vector<ByteVector> kForeign{
    {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x43, 0x00, 0x00, 0x4B, 0x00, 0x00, 0x00, 0x00, 0x01, 0xF7},
    {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x64, 0xF7},
    {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7},
    {0xF0, 0x43, 0x00, 0x4C, 0x00, 0x01, 0x70, 0x00, 0x00, 0x05, 0x0A, 0xF7},
    {0xF0, 0x43, 0x00, 0x4B, 0x00, 0x01, 0x50, 0x00, 0x00, 0x05, 0x2A, 0xF7},
};

class DumpFileTest : public TempDirTest {};

} // namespace

// ---- the byte stream ----

TEST(SysExSplitter, MessagesCutOffMessagesStrayRunsAndRealTimeBytes) {
    std::vector<std::string> log;
    SysExSplitter s(
        [&log](const SysExItem& item) {
            const char* kinds[] = {"complete", "truncated", "stray"};
            std::string line = std::string(kinds[static_cast<int>(item.kind)]) + " " + std::to_string(item.length);
            for (Byte b : item.head) line += " " + std::to_string(b);
            log.push_back(line);
        },
        true);
    s.feed(ByteVector{0x90, 0x3C, 0xF8, 0x40, 0xF0, 0x01, 0xFE, 0x02, 0xF7}); // stray run, message with real time
    s.feed(ByteVector{0xF0, 0x05});
    s.feed(ByteVector{0x06, 0xF7, 0xF0, 0x07, 0xF0, 0x08, 0x80, 0x09, 0xF7, 0xF0});
    s.finish();
    EXPECT_THAT(log, ElementsAre("stray 3", "complete 4 240 1 2 247", "complete 4 240 5 6 247", "truncated 2 240 7",
                                 "truncated 2 240 8", "stray 3", "truncated 1 240"));
}

TEST(SysExSplitter, LongMessageKeepsItsHeadAndCountsItsLength) {
    std::size_t length = 0, head = 0;
    SysExSplitter s(
        [&](const SysExItem& item) {
            length = item.length;
            head = item.head.size();
        },
        false);
    ByteVector m(100000, 0x11);
    m.front() = 0xF0;
    m.back() = 0xF7;
    s.feed(m);
    EXPECT_EQ(length, 100000u);
    EXPECT_EQ(head, kSysExHeadBytes);
}

// ---- raw dumps ----

TEST(DumpImport, UserPerformancesGoToTheirSlotsExactlyAsReceived) {
    PerformanceRecord a = makeRecord(3, 1, "Three", 1);
    PerformanceRecord b = makeRecord(0, 2, "Zero", 2);
    PerformanceRecord c = makeRecord(127, 22, "Last", 3);
    // Device number 5 as another instrument sends it; the checksum does not
    // cover it, and the transfer to disk keeps it.
    for (int i = 0; i < kRecordMessages; ++i) c.message(i)[2] = 0x05;
    ByteVector raw;
    add(raw, recordBytes(a));
    add(raw, recordBytes(b));
    add(raw, recordBytes(c));

    PerformanceBank bank;
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 3);
    EXPECT_EQ(r.counts.foreign, 0);
    EXPECT_EQ(r.counts.damaged, 0);
    EXPECT_THAT(r.filledSlots, ElementsAre(3, 0, 127));
    EXPECT_EQ(bank.slot(3), a);
    EXPECT_EQ(bank.slot(0), b);
    EXPECT_EQ(bank.slot(127), c);
    EXPECT_EQ(bank.slot(127).bytes()[2], 0x05);
    EXPECT_EQ(bank.occupiedCount(), 3);
}

TEST(DumpImport, CurrentPerformanceBecomesARecordInTheFirstFreeSlot) {
    const CurrentDump cur = currentDump("Lead", 0x03);
    PerformanceBank bank;
    bank.setSlot(0, makeRecord(0, 1, "Keep"));
    // The current performance comes first in the file, user performance 1
    // after it: it still does not take slot 1.
    ByteVector raw = cur.bytes;
    add(raw, recordBytes(makeRecord(1, 1, "One")));
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 2);
    EXPECT_THAT(r.filledSlots, ElementsAre(1, 2));
    EXPECT_EQ(trimmedName(bank.slot(0).message(0)), "Keep");

    const PerformanceRecord& rec = bank.slot(2);
    const std::vector<int> lengths{57, 32, 20, 52, 52, 52, 52};
    const std::vector<Byte> highs{0x70, 0x70, 0x70, 0x71, 0x72, 0x73, 0x74};
    const std::vector<Byte> lows{0x00, 0x30, 0x50, 0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < kRecordMessages; ++i) {
        const auto m = rec.message(i);
        const auto k = static_cast<std::size_t>(i);
        EXPECT_EQ(m[0], 0xF0);
        EXPECT_EQ(m[2], 0x00) << "device byte of our own records";
        EXPECT_EQ(m[4] * 128 + m[5], lengths[k] - 11);
        EXPECT_EQ(m[6], highs[k]);
        EXPECT_EQ(m[7], 2) << "number of the slot";
        EXPECT_EQ(m[8], lows[k]);
        EXPECT_EQ(m.back(), 0xF7);
        EXPECT_TRUE(checksumHolds(m)) << i;
    }
    // The effect block keeps the first 21 data bytes and drops the two sends.
    const auto effect = rec.message(1);
    EXPECT_EQ(effect.size(), 32u);
    EXPECT_EQ(effect[9 + 20], 33);
    EXPECT_EQ(trimmedName(rec.message(0)), "Lead");
    EXPECT_EQ(rec.message(5)[9 + 2], 77); // layer 3 program
    EXPECT_EQ(PerformanceLine(rec), "003  LD Lead");
}

TEST(DumpImport, ForeignMessagesAndStrayBytesAreCountedNotImported) {
    ByteVector raw{0x90, 0x3C, 0x40, 0x80, 0x3C, 0x00}; // notes before the first message
    const PerformanceRecord rec = makeRecord(9, 1, "Nine");
    for (int i = 0; i < kRecordMessages; ++i) {
        add(raw, messageOf(rec, i));
        if (i < static_cast<int>(kForeign.size())) add(raw, kForeign[static_cast<std::size_t>(i)]);
    }
    PerformanceBank bank;
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 1);
    EXPECT_EQ(r.counts.foreign, 6);
    EXPECT_EQ(r.counts.damaged, 0);
    EXPECT_EQ(bank.slot(9), rec);
    EXPECT_EQ(bank.occupiedCount(), 1);
}

// Each damage spoils only its own performance: slot 5 keeps what it held,
// performance 6 after it is imported.
TEST(DumpImport, DamagedPerformanceLeavesItsSlotUntouched) {
    const PerformanceRecord five = makeRecord(5, 1, "Five", 5);
    const PerformanceRecord six = makeRecord(6, 1, "Six", 6);
    const PerformanceRecord before = makeRecord(5, 3, "Before");

    struct Damage {
        const char* what;
        std::function<ByteVector()> make;
    };
    const auto spoilMessage = [&](int i, const std::function<void(ByteVector&)>& f) {
        ByteVector raw;
        for (int k = 0; k < kRecordMessages; ++k) {
            ByteVector m = messageOf(five, k);
            if (k == i) f(m);
            add(raw, m);
        }
        return raw;
    };
    const std::vector<Damage> damages{
        {"bad checksum", [&] { return spoilMessage(4, [](ByteVector& m) { m[20] ^= 0x01; }); }},
        {"wrong byte count",
         [&] {
             return spoilMessage(2, [](ByteVector& m) {
                 m[5] = 0x08;
                 fixChecksum(m);
             });
         }},
        {"effect block of the current performance's length",
         [&] {
             return spoilMessage(1, [](ByteVector& m) {
                 m.insert(m.end() - 2, {0x00, 0x00});
                 m[5] = 0x17;
                 fixChecksum(m);
             });
         }},
        {"message longer than its count",
         [&] {
             return spoilMessage(6, [](ByteVector& m) {
                 m.insert(m.end() - 2, Byte{0x00});
                 fixChecksum(m);
             });
         }},
        {"message cut off by the next one", [&] { return spoilMessage(3, [](ByteVector& m) { m.resize(30); }); }},
        {"fragment before the address",
         [&] { return spoilMessage(3, [](ByteVector& m) {
                   m.insert(m.begin(), {0xF0, 0x43, 0x00});
               }); }},
        {"block missing",
         [&] {
             ByteVector raw;
             for (int k = 0; k < kRecordMessages; ++k)
                 if (k != 2) add(raw, messageOf(five, k));
             return raw;
         }},
        {"data byte with bit 7 set", [&] { return spoilMessage(0, [](ByteVector& m) { m[12] = 0x85; }); }},
    };
    for (const Damage& d : damages) {
        ByteVector raw = d.make();
        add(raw, recordBytes(six));
        PerformanceBank bank;
        bank.setSlot(5, before);
        const ImportResult r = importBytes(raw, bank);
        EXPECT_EQ(r.counts.imported, 1) << d.what;
        EXPECT_EQ(r.counts.damaged, 1) << d.what;
        EXPECT_EQ(bank.slot(5), before) << d.what;
        EXPECT_EQ(bank.slot(6), six) << d.what;
        EXPECT_THAT(r.filledSlots, ElementsAre(6)) << d.what;
    }
}

// The bank manager renumbers a dropped .SYX file and keeps its checksums:
// such a file, or several of them put together, still imports; a checksum
// that disagrees with the others does not.
TEST(DumpImport, RenumberedRecordsKeepTheirStaleChecksums) {
    PerformanceRecord moved = makeRecord(12, 1, "Moved", 1);
    RenumberRecord(moved, 40);
    ASSERT_FALSE(checksumHolds(moved.message(0)));
    PerformanceRecord movedTwice = makeRecord(0, 2, "Twice", 2);
    RenumberRecord(movedTwice, 90);
    RenumberRecord(movedTwice, 127);
    PerformanceRecord spoiled = moved;
    RenumberRecord(spoiled, 41);
    spoiled.message(3)[20] ^= 0x02; // this block's checksum now holds for another number

    ByteVector raw = recordBytes(moved);
    add(raw, recordBytes(movedTwice));
    add(raw, recordBytes(spoiled));
    PerformanceBank bank;
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 2);
    EXPECT_EQ(r.counts.damaged, 1);
    EXPECT_EQ(bank.slot(40), moved);
    EXPECT_EQ(bank.slot(127), movedTwice);
    EXPECT_FALSE(bank.occupied(41));
}

TEST(DumpImport, DumpCutOffAtTheEndOfTheFile) {
    const PerformanceRecord one = makeRecord(1, 1, "One");
    const PerformanceRecord two = makeRecord(2, 1, "Two");
    ByteVector raw = recordBytes(one);
    add(raw, recordBytes(two));
    for (std::size_t cut : {std::size_t{1}, std::size_t{5}, std::size_t{40}, std::size_t{317}}) {
        ByteVector part(raw.begin(), raw.end() - static_cast<std::ptrdiff_t>(cut));
        PerformanceBank bank;
        const ImportResult r = importBytes(part, bank);
        EXPECT_EQ(r.counts.imported, 1) << cut;
        EXPECT_EQ(r.counts.damaged, cut == 317 ? 0 : 1) << cut;
        EXPECT_FALSE(bank.occupied(2)) << cut;
        EXPECT_EQ(bank.slot(1), one) << cut;
    }
    // Only "F0 43 00" at the end, after a whole performance: one damaged piece.
    ByteVector tail = recordBytes(one);
    add(tail, {0xF0, 0x43, 0x00});
    PerformanceBank bank;
    const ImportResult r = importBytes(tail, bank);
    EXPECT_EQ(r.counts.imported, 1);
    EXPECT_EQ(r.counts.damaged, 1);
}

TEST(DumpImport, InterleavedPerformancesRepeatedBlocksAndLaterOverEarlier) {
    const PerformanceRecord a = makeRecord(10, 1, "A");
    const PerformanceRecord b = makeRecord(11, 1, "B");
    const PerformanceRecord a2 = makeRecord(10, 2, "A again");
    ByteVector raw;
    for (int i = 0; i < kRecordMessages; ++i) {
        add(raw, messageOf(a, i));
        add(raw, messageOf(b, i));
    }
    // Performance 10 sent again, first only in part, then whole.
    add(raw, messageOf(a2, 0));
    add(raw, messageOf(a2, 1));
    add(raw, recordBytes(a2));
    PerformanceBank bank;
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 3);
    EXPECT_EQ(r.counts.damaged, 1); // the part that was started anew
    EXPECT_THAT(r.filledSlots, ElementsAre(10, 11, 10));
    EXPECT_EQ(bank.slot(10), a2);
    EXPECT_EQ(bank.slot(11), b);
}

TEST(DumpImport, CurrentPerformancesWithoutAFreeSlot) {
    PerformanceBank bank;
    for (int s = 0; s < 127; ++s) bank.setSlot(s, makeRecord(s, 1, "Full"));
    ByteVector raw = currentDump("First").bytes;
    add(raw, currentDump("Second").bytes);
    const ImportResult r = importBytes(raw, bank);
    EXPECT_EQ(r.counts.imported, 1);
    EXPECT_EQ(r.counts.noFreeSlot, 1);
    EXPECT_EQ(trimmedName(bank.slot(127).message(0)), "First");
    EXPECT_EQ(importSummaryText(r.counts),
              "Imported: 1, skipped as foreign: 0, skipped as damaged: 0, no free slot: 1");
}

TEST(DumpImport, EmptyAndNonsenseInput) {
    PerformanceBank bank;
    ImportResult r = importBytes({}, bank);
    EXPECT_EQ(r.counts.imported + r.counts.foreign + r.counts.damaged, 0);
    r = importBytes(bytesOf("just some text\n"), bank);
    EXPECT_EQ(r.counts.foreign, 1);
    EXPECT_EQ(r.counts.damaged, 0);
    EXPECT_EQ(bank.occupiedCount(), 0);
}

// ---- Standard MIDI Files ----

TEST(DumpImport, MidiFileFormat0WithWholeAndEscapedMessages) {
    const PerformanceRecord a = makeRecord(20, 1, "Whole");
    const PerformanceRecord b = makeRecord(21, 1, "Escaped");
    TrackBuilder t;
    t.delta(0).tempo(600000);
    for (int i = 0; i < kRecordMessages; ++i) t.delta(10).sysEx(messageOf(a, i));
    // As some sequencers store it: the whole message, F0 included, as an
    // escape; the second one split over two escapes.
    for (int i = 0; i < 6; ++i) t.delta(10).sysExEvent(0xF7, messageOf(b, i));
    const ByteVector last = messageOf(b, 6);
    t.delta(1).sysExEvent(0xF7, std::span<const Byte>(last).first(20));
    t.delta(1).sysExEvent(0xF7, std::span<const Byte>(last).subspan(20));
    t.delta(0).endOfTrack();
    PerformanceBank bank;
    const ImportResult r = importBytes(midiFile(0, {&t}), bank);
    EXPECT_EQ(r.counts.imported, 2);
    EXPECT_EQ(r.counts.foreign + r.counts.damaged, 0);
    EXPECT_EQ(bank.slot(20), a);
    EXPECT_EQ(bank.slot(21), b);
}

TEST(DumpImport, MidiFileTracksAreMergedInPlayingOrder) {
    // Both tracks send performance 30. Track 0 holds the copy that plays
    // later: merged in playing order it wins, although track 1 comes after
    // it in the file.
    const PerformanceRecord early = makeRecord(30, 1, "Early");
    const PerformanceRecord late = makeRecord(30, 2, "Late");
    TrackBuilder t0, t1;
    t0.delta(5000).sysEx(recordBytes(late)); // seven messages in one F0 event
    t1.delta(100).sysEx(recordBytes(early));
    PerformanceBank bank;
    const ImportResult r = importBytes(midiFile(1, {&t0, &t1}), bank);
    EXPECT_EQ(r.counts.imported, 2);
    EXPECT_EQ(bank.slot(30), late);

    // Format 2: independent sequences, one after another.
    PerformanceBank bank2;
    importBytes(midiFile(2, {&t0, &t1}), bank2);
    EXPECT_EQ(bank2.slot(30), early);
}

TEST(DumpImport, MidiFileChannelMessageBetweenPacketsCutsTheMessage) {
    const PerformanceRecord a = makeRecord(40, 1, "Forty");
    TrackBuilder t;
    for (int i = 0; i < kRecordMessages; ++i) {
        const ByteVector m = messageOf(a, i);
        if (i == 3) {
            t.delta(0).sysExEvent(0xF0, std::span<const Byte>(m).subspan(1, 20));
            t.delta(0).bytes({0x90, 60, 100});
            t.delta(0).sysExEvent(0xF7, std::span<const Byte>(m).subspan(21));
        } else {
            t.delta(0).sysEx(m);
        }
    }
    PerformanceBank bank;
    const ImportResult r = importBytes(midiFile(0, {&t}), bank);
    EXPECT_EQ(r.counts.imported, 0);
    EXPECT_EQ(r.counts.damaged, 1);
    EXPECT_FALSE(bank.occupied(40));
}

TEST(DumpImport, MidiFileWithABrokenTrackKeepsWhatCameBefore) {
    const PerformanceRecord a = makeRecord(50, 1, "Fifty");
    const PerformanceRecord b = makeRecord(51, 1, "Cut");
    TrackBuilder t;
    t.delta(0).sysEx(recordBytes(a));
    for (int i = 0; i < 3; ++i) t.delta(0).sysEx(messageOf(b, i));
    ByteVector file = midiFile(0, {&t});
    file.insert(file.end(), {0x00, 0xF0, 0x81, 0x80}); // a length that never ends
    // The chunk length still names the old end: grow it to cover the tail.
    const std::uint32_t len = static_cast<std::uint32_t>(t.data().size() + 4);
    file[18] = static_cast<Byte>(len >> 24);
    file[19] = static_cast<Byte>(len >> 16);
    file[20] = static_cast<Byte>(len >> 8);
    file[21] = static_cast<Byte>(len);
    PerformanceBank bank;
    const ImportResult r = importBytes(file, bank);
    EXPECT_EQ(r.counts.imported, 1);
    EXPECT_EQ(r.counts.damaged, 2); // the broken track and performance 51
    EXPECT_EQ(bank.slot(50), a);
    EXPECT_FALSE(bank.occupied(51));
}

// The same bytes count the same in a MIDI file as in a raw file: many small
// foreign messages one by one, and a piece of a bulk dump spoils the
// performance being received on its track.
TEST(DumpImport, MidiFileCountsSmallMessagesAndFragmentsAsARawFileDoes) {
    const PerformanceRecord spoiled = makeRecord(60, 1, "Spoiled");
    const PerformanceRecord fine = makeRecord(61, 1, "Fine");
    ByteVector many;
    for (int i = 0; i < 5000; ++i) add(many, {0xF0, 0x7E, 0xF7});
    ByteVector raw;
    TrackBuilder t, other;
    for (int i = 0; i < kRecordMessages; ++i) {
        t.delta(1).sysEx(messageOf(spoiled, i));
        add(raw, messageOf(spoiled, i));
        other.delta(1).sysEx(messageOf(fine, i));
        if (i == 3) {
            t.delta(0).sysExEvent(0xF7, ByteVector{0xF0, 0x43, 0x00}); // cut off by the next message
            add(raw, {0xF0, 0x43, 0x00});
        }
    }
    t.delta(0).sysExEvent(0xF7, many);
    add(raw, many); // the raw file holds track 0's bytes
    PerformanceBank fromMidi, fromRaw;
    const ImportResult m = importBytes(midiFile(1, {&t, &other}), fromMidi);
    const ImportResult r = importBytes(raw, fromRaw);
    EXPECT_EQ(m.counts.foreign, 5000);
    EXPECT_EQ(r.counts.foreign, 5000);
    EXPECT_EQ(m.counts.damaged, 1);
    EXPECT_EQ(r.counts.damaged, 1);
    EXPECT_EQ(m.counts.imported, 1); // performance 61 of the other track
    EXPECT_FALSE(fromMidi.occupied(60));
    EXPECT_EQ(fromMidi.slot(61), fine);
}

TEST(DumpImport, MidiFileWithABrokenHeaderIsOneDamagedItem) {
    PerformanceBank bank;
    const ImportResult r = importBytes(ByteVector{'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 0}, bank);
    EXPECT_EQ(r.counts.imported, 0);
    EXPECT_EQ(r.counts.damaged, 1);
}

// ---- files ----

TEST_F(DumpFileTest, FileErrorsUseTheLoadErrorTexts) {
    RecordingNotifier n;
    PerformanceBank bank;
    ImportResult r;
    EXPECT_FALSE(importDumpFile(path("missing.syx"), bank, n, r));
    EXPECT_FALSE(importDumpFile(dir_.string(), bank, n, r));
    { std::ofstream big(path("big.syx"), std::ios::binary); }
    std::filesystem::resize_file(path("big.syx"), kMaxImportFileBytes + 1);
    EXPECT_FALSE(importDumpFile(path("big.syx"), bank, n, r));
    writeBytes(path("short.PFB"), bytesOf("Patchsmith PFB!"));
    EXPECT_FALSE(importDumpFile(path("short.PFB"), bank, n, r));
    EXPECT_THAT(n.messages, ElementsAre("Load-Error : Unable to open file", "Load-Error : Unable to open file",
                                        "Load-Error : Wrong filesize", "Load-Error : Wrong filesize"));
    EXPECT_EQ(bank.occupiedCount(), 0);
}

TEST_F(DumpFileTest, RawMidiAndBankFilesImport) {
    const PerformanceRecord a = makeRecord(7, 1, "Seven");
    const PerformanceRecord b = makeRecord(8, 1, "Eight");
    writeBytes(path("dump.syx"), recordBytes(a));
    TrackBuilder t;
    t.delta(0).sysEx(recordBytes(b));
    writeBytes(path("song.mid"), midiFile(0, {&t}));
    ByteVector bank = bytesOf("Patchsmith PFB");
    add(bank, recordBytes(makeRecord(9, 1, "Nine")));
    writeBytes(path("bank.bin"), bank);

    RecordingNotifier n;
    PerformanceBank into;
    ImportResult r;
    ASSERT_TRUE(importDumpFile(path("dump.syx"), into, n, r));
    EXPECT_THAT(r.filledSlots, ElementsAre(7));
    ASSERT_TRUE(importDumpFile(path("song.mid"), into, n, r));
    EXPECT_THAT(r.filledSlots, ElementsAre(8));
    ASSERT_TRUE(importDumpFile(path("bank.bin"), into, n, r));
    EXPECT_THAT(r.filledSlots, ElementsAre(9));
    EXPECT_EQ(r.counts.imported, 1);
    EXPECT_THAT(n.messages, IsEmpty());
    EXPECT_EQ(into.slot(7), a);
    EXPECT_EQ(into.slot(8), b);
    EXPECT_EQ(into.occupiedCount(), 3);
}
