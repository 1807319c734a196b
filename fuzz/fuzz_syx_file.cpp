// Fuzz target: a .SYX file as "Open > Actual Performance", "Single
// User-Performance (to CS1x)" and the bank manager's drop read it, then what
// the program does with the record it read: load it into the image, send
// its blocks, save it again.

#include "FuzzSupport.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "model/Model.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedMidiPlatform.h"

#include <algorithm>
#include <array>
#include <numeric>

using namespace patchsmith;
using namespace patchsmith::fuzz;

namespace {

constexpr std::array<int, 7> kNumberOffsets{7, 64, 96, 116, 168, 220, 272};

bool checksumValid(std::span<const Byte> m) { return std::accumulate(m.begin() + 4, m.end() - 1, 0u) % 128 == 0; }

void checkSent(const midi::ScriptedMidiPlatform& platform, std::size_t expected) {
    const auto sent = platform.longMessages();
    FUZZ_CHECK(sent.size() == expected);
    for (const auto& m : sent) {
        FUZZ_CHECK(wellFramed(m));
        FUZZ_CHECK(checksumValid(m));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TempDir dir;
    const std::string path = dir.file("PF_Input.SYX");
    writeFile(path, std::span<const Byte>(data, size));

    // The menu commands' reader: the whole file or nothing.
    test::RecordingNotifier notifier;
    UserPerfBuffer buffer;
    std::fill(buffer.bytes().begin(), buffer.bytes().end(), Byte{0x55});
    const UserPerfBuffer before = buffer;
    const bool ok = ReadPerformanceFile(path, buffer, notifier);
    FUZZ_CHECK(ok == (size == static_cast<std::size_t>(kRecordBytes)));
    if (!ok) {
        FUZZ_CHECK(buffer == before);
        FUZZ_CHECK(notifier.messages.size() == 1 && notifier.messages[0] == kInvalidPerformanceFile);
    } else {
        FUZZ_CHECK(notifier.messages.empty());
        FUZZ_CHECK(std::equal(buffer.bytes().begin(), buffer.bytes().end(), data));
    }

    // The bank manager's drop: renumbered to its slot, or refused by size.
    const int slot = size > 0 ? data[0] & 0x7F : 0;
    PerformanceBank bank;
    test::RecordingNotifier dropNotifier;
    const bool dropped = dropFileIntoSlot(path, slot, bank, dropNotifier);
    FUZZ_CHECK(dropped == ok);
    if (dropped) {
        const auto stored = bank.slot(slot).bytes();
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const bool numberByte =
                std::find(kNumberOffsets.begin(), kNumberOffsets.end(), static_cast<int>(i)) != kNumberOffsets.end();
            if (numberByte) {
                FUZZ_CHECK(stored[i] == slot);
            } else if (i != 6 && i != 8 && i != 63 && i != 65 && i != 95 && i != 97 && i != 115 && i != 117 &&
                       i != 167 && i != 169 && i != 219 && i != 221 && i != 271 && i != 273) {
                FUZZ_CHECK(stored[i] == data[i]); // only the address triples are rewritten
            }
        }
    } else {
        FUZZ_CHECK(dropNotifier.messages.size() == 1 && dropNotifier.messages[0] == "Load-Error : Wrong filesize");
        FUZZ_CHECK(bank.occupiedCount() == 0);
    }
    if (!ok) return 0;

    // List texts and the number the record belongs to.
    const std::string line = PerformanceLine(buffer);
    FUZZ_CHECK(line.size() <= 20 && line.size() >= 7);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    const auto slotOfRecord = recordSlot(buffer);
    FUZZ_CHECK(slotOfRecord.has_value() == (data[kRecordNumberOffset] <= 127));

    // Open > Actual Performance: into the image and out to the synth.
    midi::ScriptedMidiPlatform platform;
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    Model model;
    model.fillDefaults();
    MidiDevices devices(platform, notifier);
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    MidiLink link(model, devices);
    loadRecordIntoImage(buffer, model.image);
    FUZZ_CHECK(model.image.data(Block::Effect, 21) == 0 && model.image.data(Block::Effect, 22) == 0);
    for (int kind = 5; kind <= 11; ++kind) link.SendBulkBlock(kind);
    checkSent(platform, 7);
    platform.sent.clear();

    // Single User-Performance (to CS1x): the record's blocks to its number.
    model.userPerfBuffer = buffer;
    link.UserPerfSendNumber = static_cast<Byte>(slotOfRecord.value_or(0));
    for (int kind = 12; kind <= 18; ++kind) link.SendBulkBlock(kind);
    checkSent(platform, 7);
    const auto sent = platform.longMessages();
    for (int i = 0; i < kRecordMessages; ++i) {
        const auto m = buffer.message(i);
        FUZZ_CHECK(sent[static_cast<std::size_t>(i)].size() == m.size());
        FUZZ_CHECK(sent[static_cast<std::size_t>(i)][7] == link.UserPerfSendNumber);
        for (std::size_t k = 9; k + 2 < m.size(); ++k)
            FUZZ_CHECK(sent[static_cast<std::size_t>(i)][k] == (m[k] & 0x7F));
    }
    FUZZ_CHECK(notifier.messages.empty());

    // Save > Actual Performance and open it again: the same record.
    const PerformanceRecord made = makeRecordFromImage(model.image, slotOfRecord.value_or(0));
    for (int i = 0; i < kRecordMessages; ++i) FUZZ_CHECK(checksumValid(made.message(i)));
    const std::string saved = dir.file("Saved.SYX");
    FUZZ_CHECK(WritePerformanceFile(saved, made).ok);
    UserPerfBuffer reread;
    FUZZ_CHECK(ReadPerformanceFile(saved, reread, notifier));
    FUZZ_CHECK(reread == made);
    return 0;
}
