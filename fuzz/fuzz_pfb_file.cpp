// Fuzz target: a .PFB bank file through the bank-file checks, as the bank
// manager loads it (then saves the bank again) and as "Performance-Bank (to
// CS1x)" sends it.

#include "FuzzSupport.h"
#include "FuzzUi.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "storage/BulkTransfers.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedMidiPlatform.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace patchsmith;
using namespace patchsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TempDir dir;
    const std::string path = dir.file("Input.PFB");
    writeFile(path, std::span<const Byte>(data, size));

    // What the file holds, worked out from the format alone.
    const bool header = size >= 14 && std::memcmp(data, "Patchsmith PFB", 14) == 0;
    const bool wholeRecords = header && (size - 14) % kRecordBytes == 0;
    std::vector<PerformanceRecord> expected;
    int skipped = 0;
    if (wholeRecords) {
        for (std::size_t at = 14; at < size; at += kRecordBytes) {
            PerformanceRecord r;
            std::copy(data + at, data + at + kRecordBytes, r.bytes().begin());
            if (r.recordNumber() <= 127)
                expected.push_back(r);
            else
                ++skipped;
        }
    }

    test::RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    const bool ok = readBankFile(path, notifier, records);
    FUZZ_CHECK(ok == wholeRecords);
    if (!header) {
        FUZZ_CHECK(notifier.messages == std::vector<std::string>{"Load-Error : Not a valid Performance-bank file"});
    } else if (!wholeRecords) {
        FUZZ_CHECK(notifier.messages == std::vector<std::string>{"Load-Error : Wrong filesize"});
    } else {
        FUZZ_CHECK(records == expected);
        FUZZ_CHECK(notifier.messages.size() == (skipped > 0 ? 1u : 0u));
    }
    if (!ok) {
        FUZZ_CHECK(records.empty());
        return 0;
    }

    // The bank manager: each record into the slot its number names, a later
    // one over an earlier one; the slots it does not name keep theirs.
    PerformanceBank bank;
    PerformanceRecord keep;
    keep.bytes()[0] = 0xF0;
    keep.bytes()[1] = 0x11;
    bank.setSlot(127, keep);
    std::vector<int> loaded;
    test::RecordingNotifier loadNotifier;
    FUZZ_CHECK(loadBankIntoSlots(path, bank, loadNotifier, &loaded));
    FUZZ_CHECK(loaded.size() == expected.size());
    std::map<int, PerformanceRecord> last;
    for (const PerformanceRecord& r : expected) last[r.recordNumber()] = r;
    for (int s = 0; s < 128; ++s) {
        const auto it = last.find(s);
        if (it != last.end())
            FUZZ_CHECK(bank.slot(s) == it->second);
        else if (s == 127)
            FUZZ_CHECK(bank.slot(s) == keep);
        else
            FUZZ_CHECK(!bank.occupied(s));
    }

    // Saved again: the occupied slots in ascending order, read back alike.
    const std::string saved = dir.file("Saved.PFB");
    FUZZ_CHECK(saveBank(saved, bank).ok);
    std::vector<PerformanceRecord> again;
    FUZZ_CHECK(readBankFile(saved, loadNotifier, again));
    FUZZ_CHECK(again == bank.occupiedRecords());
    FUZZ_CHECK(readFile(saved).size() == 14 + again.size() * kRecordBytes);

    // Performance-Bank (to CS1x): seven well-formed blocks per record, to the
    // user performance its number names.
    midi::ScriptedMidiPlatform platform;
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    Model model;
    model.fillDefaults();
    MidiDevices devices(platform, notifier);
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();
    MidiLink link(model, devices);
    FuzzUi ui;
    ReceiveDispatcher dispatcher(link, ui);
    std::string lastDir = dir.path().string(), bankDir = lastDir, listFile;
    BulkTransfers transfers(link, dispatcher, ui, notifier, TransferPaths{lastDir, bankDir, listFile});
    ui.openAnswer = path;
    transfers.MenuBulkPerfBankSynthClick();
    FUZZ_CHECK(!ui.inBankSend);
    const auto sent = platform.longMessages();
    FUZZ_CHECK(sent.size() == 7 * expected.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        FUZZ_CHECK(wellFramed(sent[i]));
        FUZZ_CHECK(sent[i][7] == expected[i / 7].recordNumber());
        FUZZ_CHECK(sent[i].size() == expected[i / 7].message(static_cast<int>(i % 7)).size());
    }
    return 0;
}
