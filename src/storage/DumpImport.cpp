#include "storage/DumpImport.h"

#include "midi/MidiLink.h"
#include "storage/FileIO.h"
#include "storage/MidiFileReader.h"
#include "storage/PerformanceFiles.h"
#include "storage/RecordImage.h"

#include <algorithm>

namespace patchsmith {

// ---- byte stream into messages ----

SysExSplitter::SysExSplitter(Sink sink, bool reportStray) : sink_(std::move(sink)), reportStray_(reportStray) {}

void SysExSplitter::finishItem(SysExItem::Kind kind) {
    inMessage_ = false;
    SysExItem item;
    item.kind = kind;
    item.head = std::span<const Byte>(head_).first(std::min(length_, kSysExHeadBytes));
    item.length = length_;
    length_ = 0;
    if (sink_) sink_(item);
}

void SysExSplitter::endStray() {
    if (strayLength_ == 0) return;
    SysExItem item;
    item.kind = SysExItem::Kind::Stray;
    item.length = strayLength_;
    strayLength_ = 0;
    if (reportStray_ && sink_) sink_(item);
}

void SysExSplitter::feed(std::span<const Byte> bytes) {
    for (const Byte b : bytes) {
        if (b >= 0xF8) continue; // real time: may stand anywhere, even inside a message
        if (inMessage_) {
            if (b < 0x80 || b == 0xF7) {
                if (length_ < kSysExHeadBytes) head_[length_] = b;
                ++length_;
                if (b == 0xF7) finishItem(SysExItem::Kind::Complete);
                continue;
            }
            // Any other status byte ends the message before its F7.
            finishItem(SysExItem::Kind::Truncated);
        }
        if (b == 0xF0) {
            endStray();
            inMessage_ = true;
            head_[0] = b;
            length_ = 1;
        } else {
            ++strayLength_;
        }
    }
}

void SysExSplitter::interrupt() {
    if (inMessage_) finishItem(SysExItem::Kind::Truncated);
    endStray();
}

void SysExSplitter::finish() { interrupt(); }

// ---- messages into performances ----

namespace {

constexpr unsigned kAllBlocks = (1u << kRecordMessages) - 1;
// The key under which the current performance's blocks are collected (user
// performances use their number).
constexpr int kCurrentPerformance = 128;

struct BlockId {
    int key = 0;   // user-performance number, or 128 for the current performance
    int block = 0; // 0 common, 1 effect, 2 controller, 3..6 layers 1..4
    int dataBytes = 0;
};

// What can be seen of F0 43 0n 4B (a CS1x bulk dump, any device number)
// agrees with it.
bool mayBeBulkDump(std::span<const Byte> head) {
    static constexpr std::array<Byte, 4> kStart{0xF0, 0x43, 0x00, 0x4B};
    for (std::size_t i = 0; i < head.size() && i < kStart.size(); ++i) {
        const Byte b = i == 2 ? static_cast<Byte>(head[i] & 0xF0) : head[i];
        if (b != kStart[i]) return false;
    }
    return true;
}

// The block a bulk dump's header names, if it is one of a performance's seven.
std::optional<BlockId> identifyBlock(std::span<const Byte> head) {
    if (head.size() < kHeaderBytes || !mayBeBulkDump(head)) return std::nullopt;
    const Byte high = head[6];
    const Byte mid = head[7];
    const Byte low = head[8];
    if (high == 0x60) {
        constexpr int key = kCurrentPerformance;
        if (mid == 0 && low == 0x00) return BlockId{key, 0, kCommonDataBytes};
        if (mid == 0 && low == 0x30) return BlockId{key, 1, kEffectDataBytes};
        if (mid == 0 && low == 0x50) return BlockId{key, 2, kControllerDataBytes};
        if (mid >= 1 && mid <= 4 && low == 0x00) return BlockId{key, 2 + mid, kLayerDataBytes};
        return std::nullopt;
    }
    if (mid > 127) return std::nullopt;
    if (high == 0x70) {
        if (low == 0x00) return BlockId{mid, 0, kCommonDataBytes};
        if (low == 0x30) return BlockId{mid, 1, kUserEffectDataBytes};
        if (low == 0x50) return BlockId{mid, 2, kControllerDataBytes};
        return std::nullopt;
    }
    if (high >= 0x71 && high <= 0x74 && low == 0x00) return BlockId{mid, 3 + (high - 0x71), kLayerDataBytes};
    return std::nullopt;
}

// Length, byte count and end byte as a bulk dump of `id` must have them.
bool framedBlock(std::span<const Byte> message, std::size_t length, const BlockId& id) {
    const auto expected = static_cast<std::size_t>(id.dataBytes) + kFramingBytes;
    if (length != expected || message.size() != expected) return false;
    if (message[4] * 128 + message[5] != id.dataBytes) return false;
    return message.back() == 0xF7;
}

// The address mid byte for which the block's checksum holds: its own when
// the block is intact. A user-performance block that was renumbered without
// a new checksum names the number it had before.
int checksumNumber(std::span<const Byte> message) {
    const Byte stored = message[message.size() - 2];
    const int error = (MidiLink::SysExChecksum(message) - stored + 128) % 128;
    return (message[7] + error) % 128;
}

Block imageBlock(int block) { return static_cast<Block>(block); }

// What a stream item is to the import.
struct Classified {
    enum class What { Foreign, Fragment, Block };
    What what = What::Foreign;
    BlockId id;
    // For a block: the number its checksum holds for; nothing when it is not whole.
    std::optional<int> checksumNumber;
};

Classified classify(const SysExItem& item) {
    Classified c;
    if (item.kind == SysExItem::Kind::Stray) return c;
    if (const auto id = identifyBlock(item.head)) {
        c.what = Classified::What::Block;
        c.id = *id;
        if (item.kind == SysExItem::Kind::Complete && framedBlock(item.head, item.length, *id))
            c.checksumNumber = checksumNumber(item.head);
        // The current performance is never renumbered: its checksums must
        // hold, and its blocks then agree on the key.
        if (c.checksumNumber && id->key == kCurrentPerformance)
            c.checksumNumber =
                *c.checksumNumber == item.head[7] ? std::optional<int>(kCurrentPerformance) : std::nullopt;
    } else if (item.length < kHeaderBytes && mayBeBulkDump(item.head)) {
        // A CS1x bulk dump too short to carry an address, or cut off before it.
        c.what = Classified::What::Fragment;
    }
    return c;
}

} // namespace

DumpAssembler::DumpAssembler() = default;

void DumpAssembler::take(const SysExItem& item) {
    const Classified c = classify(item);
    switch (c.what) {
    case Classified::What::Foreign: ++scan_.foreign; break;
    case Classified::What::Fragment: damagedFragment(); break;
    case Classified::What::Block: addBlock(c.id.key, c.id.block, item.head, c.checksumNumber); break;
    }
}

void DumpAssembler::addBlock(int key, int block, std::span<const Byte> message, std::optional<int> checksumNumber) {
    auto& slot = open_[static_cast<std::size_t>(key)];
    const unsigned bit = 1u << block;
    // The same block again: the dump was sent anew, the unfinished one is lost.
    if (slot && (slot->seen & bit)) close(key);
    if (!slot) slot.emplace();
    slot->seen |= bit;
    if (!checksumNumber) {
        slot->damaged = true;
    } else {
        slot->checksumNumber[static_cast<std::size_t>(block)] = *checksumNumber;
        std::span<Byte> out = key == kCurrentKey ? slot->image.message(imageBlock(block)) : slot->record.message(block);
        std::copy(message.begin(), message.end(), out.begin());
    }
    lastKey_ = key;
    if (slot->seen == kAllBlocks) close(key);
}

void DumpAssembler::close(int key) {
    auto& slot = open_[static_cast<std::size_t>(key)];
    if (!slot) return;
    const auto& numbers = slot->checksumNumber;
    const bool agree = std::all_of(numbers.begin(), numbers.end(), [&](int n) { return n == numbers.front(); });
    if (slot->seen == kAllBlocks && !slot->damaged && agree) {
        FoundPerformance found;
        if (key == kCurrentKey) {
            found.current = slot->image;
        } else {
            found.number = key;
            found.record = slot->record;
        }
        scan_.performances.push_back(found);
    } else {
        ++scan_.damaged;
    }
    slot.reset();
}

// A piece of a bulk dump that names no block: it spoils the performance
// that was being received, or counts on its own.
void DumpAssembler::damagedFragment() {
    if (lastKey_ >= 0 && open_[static_cast<std::size_t>(lastKey_)]) {
        open_[static_cast<std::size_t>(lastKey_)]->damaged = true;
    } else {
        ++scan_.damaged;
    }
}

DumpScan DumpAssembler::finish() {
    for (int key = 0; key <= kCurrentKey; ++key) close(key);
    lastKey_ = -1;
    DumpScan done = std::move(scan_);
    scan_ = DumpScan{};
    return done;
}

// ---- the two file kinds ----

DumpScan scanRawSysEx(std::span<const Byte> bytes) {
    DumpAssembler assembler;
    SysExSplitter splitter([&assembler](const SysExItem& item) { assembler.take(item); }, true);
    splitter.feed(bytes);
    splitter.finish();
    return assembler.finish();
}

namespace {

// Collects the blocks of every track with the tick at which each began, so
// that the tracks of a format 0 or 1 file can be merged in the order they
// play. Only blocks are kept, and of a block only what the import needs (the
// whole message when it is whole, its header otherwise); everything else is
// counted at once, so that a file of many small messages costs no more
// memory than a few times its size.
class DumpTrackCollector : public MidiFileVisitor {
public:
    struct Timed {
        std::uint64_t tick = 0;
        int track = 0;
        std::uint32_t offset = 0; // into `pool`
        std::uint8_t size = 0;
        bool whole = false;
        // Fragments of bulk dumps that followed it on its track.
        std::uint32_t fragmentsAfter = 0;
    };

    void trackStart(int track) override {
        track_ = track;
        lastOfTrack_ = -1;
        splitter_ = SysExSplitter([this](const SysExItem& item) { keep(item); }, false);
    }
    void sysEx(std::uint64_t tick, std::span<const Byte> data, bool escape) override {
        tick_ = tick;
        if (!splitter_.inMessage()) openTick_ = tick;
        if (!escape) {
            static constexpr std::array<Byte, 1> kStart{0xF0};
            splitter_.feed(kStart);
        }
        splitter_.feed(data);
    }
    // A channel message between the packets of one SysEx message would cut it
    // off on the cable as well.
    void channel(std::uint64_t, std::span<const Byte>) override { splitter_.interrupt(); }
    void trackEnd(int, bool broken) override {
        splitter_.finish();
        if (broken) ++brokenTracks;
    }

    // The block of a kept item, as the stream gave it (a header stands for a
    // block that was not whole).
    SysExItem itemOf(const Timed& t) const {
        SysExItem item;
        item.kind = t.whole ? SysExItem::Kind::Complete : SysExItem::Kind::Truncated;
        item.head = std::span<const Byte>(pool).subspan(t.offset, t.size);
        item.length = t.size;
        return item;
    }

    std::vector<Timed> items;
    std::vector<Byte> pool;
    int foreign = 0;
    int loneFragments = 0;
    int brokenTracks = 0;

private:
    void keep(const SysExItem& item) {
        const std::uint64_t began = openTick_;
        openTick_ = tick_; // the next message can only begin in this event
        const Classified c = classify(item);
        if (c.what == Classified::What::Foreign) {
            ++foreign;
            return;
        }
        if (c.what == Classified::What::Fragment) {
            if (lastOfTrack_ >= 0) {
                ++items[static_cast<std::size_t>(lastOfTrack_)].fragmentsAfter;
            } else {
                ++loneFragments;
            }
            return;
        }
        Timed t;
        t.tick = began;
        t.track = track_;
        t.whole = c.checksumNumber.has_value();
        const std::span<const Byte> bytes = t.whole ? item.head : item.head.first(kHeaderBytes);
        t.offset = static_cast<std::uint32_t>(pool.size());
        t.size = static_cast<std::uint8_t>(bytes.size());
        pool.insert(pool.end(), bytes.begin(), bytes.end());
        lastOfTrack_ = static_cast<int>(items.size());
        items.push_back(t);
    }

    SysExSplitter splitter_{nullptr, false};
    int track_ = 0;
    int lastOfTrack_ = -1;
    std::uint64_t tick_ = 0;
    std::uint64_t openTick_ = 0;
};

} // namespace

DumpScan scanMidiFile(std::span<const Byte> bytes) {
    DumpAssembler assembler;
    DumpTrackCollector collector;
    const MidiFileInfo info = readMidiFile(bytes, collector);
    if (!info.ok()) {
        assembler.damagedData();
        return assembler.finish();
    }
    // Format 2 holds independent sequences, played one after another.
    if (info.format != 2) {
        std::stable_sort(collector.items.begin(), collector.items.end(),
                         [](const auto& a, const auto& b) { return a.tick < b.tick; });
    }
    for (const auto& t : collector.items) {
        assembler.take(collector.itemOf(t));
        for (std::uint32_t i = 0; i < t.fragmentsAfter; ++i) assembler.damagedFragment();
    }
    assembler.countForeign(collector.foreign);
    for (int i = 0; i < collector.loneFragments + collector.brokenTracks; ++i) assembler.damagedData();
    return assembler.finish();
}

DumpScan scanDump(std::span<const Byte> bytes) {
    return looksLikeMidiFile(bytes) ? scanMidiFile(bytes) : scanRawSysEx(bytes);
}

// ---- into the bank ----

ImportResult placeIntoBank(const DumpScan& scan, PerformanceBank& bank) {
    ImportResult result;
    result.counts.foreign = scan.foreign;
    result.counts.damaged = scan.damaged;
    for (const FoundPerformance& p : scan.performances) {
        if (!p.number || !bank.setSlot(*p.number, p.record)) continue;
        result.filledSlots.push_back(*p.number);
        ++result.counts.imported;
    }
    int next = 0;
    for (const FoundPerformance& p : scan.performances) {
        if (p.number) continue;
        while (next < kBankSlots && bank.occupied(next)) ++next;
        if (next >= kBankSlots) {
            ++result.counts.noFreeSlot;
            continue;
        }
        bank.setSlot(next, makeRecordFromImage(p.current, next));
        result.filledSlots.push_back(next);
        ++result.counts.imported;
    }
    return result;
}

std::string importSummaryText(const ImportCounts& counts) {
    std::string text = "Imported: " + std::to_string(counts.imported) +
                       ", skipped as foreign: " + std::to_string(counts.foreign) +
                       ", skipped as damaged: " + std::to_string(counts.damaged);
    if (counts.noFreeSlot > 0) text += ", no free slot: " + std::to_string(counts.noFreeSlot);
    return text;
}

bool importDumpFile(const std::string& path, PerformanceBank& bank, Notifier& notifier, ImportResult& result) {
    InputFile file;
    if (!file.open(path)) {
        ShowLoadError(LoadError::UnableToOpen, notifier);
        return false;
    }
    if (file.size() > kMaxImportFileBytes) {
        ShowLoadError(LoadError::WrongFileSize, notifier);
        return false;
    }
    std::vector<Byte> bytes(static_cast<std::size_t>(file.size()));
    if (!file.read(bytes)) {
        notifier.showMessage(readErrorText(path));
        return false;
    }
    file.close();

    if (bytes.size() >= kBankHeader.size() && std::equal(kBankHeader.begin(), kBankHeader.end(), bytes.begin(),
                                                         [](char a, Byte b) { return static_cast<Byte>(a) == b; })) {
        ImportResult loaded;
        if (!loadBankIntoSlots(path, bank, notifier, &loaded.filledSlots)) return false;
        loaded.counts.imported = static_cast<int>(loaded.filledSlots.size());
        result = loaded;
        return true;
    }
    result = placeIntoBank(scanDump(bytes), bank);
    return true;
}

} // namespace patchsmith
