// Fuzz target: the Standard MIDI File reader and the dump import over it.
// Aborts when the reader hands out bytes from outside the input or a
// channel message that is not one.

#include "storage/DumpImport.h"
#include "storage/MidiFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

using namespace patchsmith;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Checks that every span lies inside the input.
class BoundsVisitor : public MidiFileVisitor {
public:
    explicit BoundsVisitor(std::span<const Byte> input) : input_(input) {}

    void sysEx(std::uint64_t, std::span<const Byte> data, bool) override { inside(data); }
    void meta(std::uint64_t, Byte, std::span<const Byte> data) override { inside(data); }
    void channel(std::uint64_t, std::span<const Byte> m) override {
        require(m.size() == 2 || m.size() == 3);
        require(m[0] >= 0x80 && m[0] < 0xF0);
        for (std::size_t i = 1; i < m.size(); ++i) require(m[i] < 0x80);
    }
    void trackStart(int track) override {
        require(track == tracks_);
        require(!inTrack_);
        inTrack_ = true;
    }
    void trackEnd(int track, bool) override {
        require(track == tracks_ && inTrack_);
        inTrack_ = false;
        ++tracks_;
    }
    int tracks() const { return tracks_; }

private:
    void inside(std::span<const Byte> s) {
        if (s.empty()) return;
        require(s.data() >= input_.data() && s.data() + s.size() <= input_.data() + input_.size());
    }
    std::span<const Byte> input_;
    int tracks_ = 0;
    bool inTrack_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const Byte> bytes(data, size);
    BoundsVisitor visitor(bytes);
    const MidiFileInfo info = readMidiFile(bytes, visitor);
    require(info.tracks == visitor.tracks());

    const DumpScan scan = scanMidiFile(bytes);
    require(scan.foreign >= 0 && scan.damaged >= 0);
    PerformanceBank bank;
    const ImportResult result = placeIntoBank(scan, bank);
    for (const int slot : result.filledSlots) require(slot >= 0 && slot < kBankSlots && bank.occupied(slot));
    return 0;
}
