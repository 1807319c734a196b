#pragma once
// Import of the dumps CS1x owners already keep: raw SysEx files as a MIDI
// monitor or sequencer records them (any number of bulk dumps back to back)
// and Standard MIDI Files whose SysEx events carry the dumps.
//
// Every complete performance is found by the addresses of its seven blocks:
// user performance nn (70 nn 00, 70 nn 30, 70 nn 50, 7L nn 00) or the current
// performance (60 00 00, 60 00 30, 60 00 50, 60 0L 00). A user performance
// goes into slot nn exactly as the synthesizer sent it, which is what a
// transfer to disk writes; the current performance goes into the first free
// slot as a record made from an image. Messages that are none of these
// blocks count as foreign; a performance with a block of the wrong length,
// byte count or checksum, a cut-off message or a missing block counts as
// damaged. No slot changes unless its performance was read whole.
//
// One checksum pattern is not damage: the bank manager renumbers a dropped
// .SYX file without recomputing its checksums, so a performance whose seven
// checksums all hold for one and the same other number is taken as it is.

#include "midi/Notifier.h"
#include "model/PerformanceImage.h"
#include "model/PerformanceRecord.h"
#include "storage/PerformanceBank.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace patchsmith {

// How much of a SysEx message is kept: more than the longest block (57), so
// a longer message is known to be foreign without holding all of it.
inline constexpr std::size_t kSysExHeadBytes = 64;

// One item of a MIDI byte stream: a SysEx message ended by F7, one cut off
// (by another status byte, a new F0 or the end of the data), or a run of
// bytes between messages.
struct SysExItem {
    enum class Kind { Complete, Truncated, Stray };
    Kind kind = Kind::Complete;
    std::span<const Byte> head; // the message's first bytes (F0 included), at most kSysExHeadBytes
    std::size_t length = 0;     // the whole message's (or run's) length
};

// Cuts a MIDI byte stream into SysEx messages. Real-time bytes (F8..FF) are
// dropped wherever they stand, as a MIDI receiver does.
class SysExSplitter {
public:
    using Sink = std::function<void(const SysExItem&)>;
    // `reportStray`: runs of bytes outside messages are handed on as Stray.
    SysExSplitter(Sink sink, bool reportStray);

    void feed(std::span<const Byte> bytes);
    // Another message comes between: an open SysEx message is cut off.
    void interrupt();
    // End of the data: an open SysEx message is cut off.
    void finish();
    bool inMessage() const { return inMessage_; }

private:
    void finishItem(SysExItem::Kind kind);
    void endStray();

    Sink sink_;
    bool reportStray_ = false;
    bool inMessage_ = false;
    std::size_t strayLength_ = 0;
    std::array<Byte, kSysExHeadBytes> head_{};
    std::size_t length_ = 0;
};

// A performance read whole.
struct FoundPerformance {
    // The user-performance number; nothing for the current performance.
    std::optional<int> number;
    // A user performance: its seven messages as received.
    PerformanceRecord record;
    // The current performance: its seven blocks.
    PerformanceImage current;
};

struct DumpScan {
    std::vector<FoundPerformance> performances; // in the order they were completed
    int foreign = 0;
    int damaged = 0;
};

// The blocks of one performance received so far.
struct PerformanceAssembly {
    PerformanceRecord record; // a user performance's messages
    PerformanceImage image;   // the current performance's messages
    unsigned seen = 0;        // one bit per block
    bool damaged = false;
    // Per block, the number for which its checksum holds (a user
    // performance's blocks must agree on one).
    std::array<int, kRecordMessages> checksumNumber{};
};

// Collects the blocks of the messages it is given into performances. Blocks
// of different performances may come interleaved; a block that arrives a
// second time before its performance is complete starts that performance
// anew (the unfinished one counts as damaged).
class DumpAssembler {
public:
    DumpAssembler();
    void take(const SysExItem& item);
    // A piece of a bulk dump too short to name its block: it spoils the
    // performance last added to, or counts on its own.
    void damagedFragment();
    // Container data that could not be read (a broken track of a MIDI file).
    void damagedData() { ++scan_.damaged; }
    // Messages counted as foreign before they reached the assembler.
    void countForeign(int count) { scan_.foreign += count; }
    // Performances still incomplete count as damaged.
    DumpScan finish();

private:
    static constexpr int kCurrentKey = 128;

    // `checksumNumber`: the number its checksum holds for; nothing when the
    // block is not whole.
    void addBlock(int key, int block, std::span<const Byte> message, std::optional<int> checksumNumber);
    void close(int key);

    std::array<std::optional<PerformanceAssembly>, kCurrentKey + 1> open_;
    int lastKey_ = -1;
    DumpScan scan_;
};

// A raw SysEx file: runs of bytes between messages count as foreign.
DumpScan scanRawSysEx(std::span<const Byte> bytes);
// A Standard MIDI File: the SysEx messages of all tracks in playing order
// (format 2: track after track). Other events are skipped; a broken track or
// header counts as damaged.
DumpScan scanMidiFile(std::span<const Byte> bytes);
// Either of the two, told apart by the content.
DumpScan scanDump(std::span<const Byte> bytes);

struct ImportCounts {
    int imported = 0;
    int foreign = 0;
    int damaged = 0;
    int noFreeSlot = 0; // current performances for which the bank had no room
};

struct ImportResult {
    ImportCounts counts;
    std::vector<int> filledSlots; // the slots filled, in the order filled
};

// Puts the performances into the bank: user performances into their slots,
// a later one over an earlier one; then each current performance into the
// first slot that is still free.
ImportResult placeIntoBank(const DumpScan& scan, PerformanceBank& bank);

// "Imported: 3, skipped as foreign: 1, skipped as damaged: 0", with
// ", no free slot: n" when the bank was full.
std::string importSummaryText(const ImportCounts& counts);

// Largest file an import reads (a full bank dump is 40 kB).
inline constexpr std::uint64_t kMaxImportFileBytes = 16u * 1024u * 1024u;

// Imports a raw SysEx file or a Standard MIDI File into the bank; a file
// that begins like a .PFB bank is loaded as the bank manager loads it.
// False after "Load-Error : Unable to open file" when the file cannot be
// opened, "Load-Error : Wrong filesize" when it is larger than an import
// takes, a read-error message, or a bank file's load error.
bool importDumpFile(const std::string& path, PerformanceBank& bank, Notifier& notifier, ImportResult& result);

} // namespace patchsmith
