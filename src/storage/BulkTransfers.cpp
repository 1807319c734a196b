#include "storage/BulkTransfers.h"

#include "storage/NameListFile.h"
#include "storage/PerformanceFiles.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"

#include <algorithm>

namespace patchsmith {

BulkTransfers::BulkTransfers(MidiLink& link, ReceiveDispatcher& dispatcher, TransferUi& ui, Notifier& notifier,
                             TransferPaths paths)
    : link_(link), dispatcher_(dispatcher), ui_(ui), notifier_(notifier), paths_(paths) {}

bool BulkTransfers::transferRunning() const { return dispatcher_.UserPerfToDisk || dispatcher_.AllUserPerfsToDisk; }

void BulkTransfers::MenuFileOpenActPerfClick() {
    const auto path = ui_.openFileDialog("Select User-Performance file", kSysExFilter, paths_.LastDir);
    if (!path) return;
    // Read apart from the transfer buffer, which a chain may be filling.
    PerformanceRecord record;
    if (!ReadPerformanceFile(*path, record, notifier_)) return;
    paths_.LastDir = directoryOf(*path);
    // A fetch still under way would overwrite the opened performance.
    dispatcher_.endCurrentPerformanceFetch();
    loadRecordIntoImage(record, link_.model().image);
    for (int kind = 5; kind <= 11; ++kind) {
        link_.SendBulkBlock(kind);
        if (kind < 11) ui_.wait(10);
    }
    ui_.ShowPerformance();
}

void BulkTransfers::MenuFileSaveActPerfClick() {
    const Model& model = link_.model();
    const auto path = ui_.saveFileDialog("Save actual Performance as ...", kSysExFilter, paths_.LastDir,
                                         proposedSaveName(model.image.message(Block::Common)));
    if (!path) return;
    paths_.LastDir = directoryOf(*path);
    UserPerfBuffer& buffer = link_.model().userPerfBuffer;
    buffer = makeRecordFromImage(model.image, std::max(model.ActiveUserPerf, 0));
    const FileResult result = WritePerformanceFile(ReplaceExtension(*path, ".SYX"), buffer);
    if (!result) ui_.showMessage(result.message);
}

void BulkTransfers::MenuFileOpenPerfNamesClick() {
    const auto path = ui_.openFileDialog("Select Performance-name file", kNamesFilter, paths_.LastDir);
    if (!path) return;
    paths_.LastDir = directoryOf(*path);
    std::vector<std::string> rows;
    const FileResult result = readNameListFile(*path, rows);
    if (!result) {
        ui_.showMessage(result.message);
        return;
    }
    // A names request still under way would overwrite the opened rows.
    dispatcher_.endNamesRequest();
    ui_.setUserPerfRows(rows);
    paths_.PerfListFile = *path;
}

void BulkTransfers::MenuFileSavePerfNamesClick() {
    const auto path = ui_.saveFileDialog("Save Performance-names as ...", kNamesFilter, paths_.LastDir, std::string());
    if (!path) return;
    paths_.LastDir = directoryOf(*path);
    const std::string target = ReplaceExtension(*path, ".PFN");
    const FileResult result = writeNameListFile(target, ui_.userPerfRows());
    if (!result) {
        ui_.showMessage(result.message);
        return;
    }
    paths_.PerfListFile = target;
}

void BulkTransfers::MenuBulkPerfNamesClick() { dispatcher_.requestAllNames(); }

void BulkTransfers::sendUserBlocks(int pauseMs) {
    for (int kind = 12; kind <= 18; ++kind) {
        link_.SendBulkBlock(kind);
        if (kind < 18) ui_.wait(pauseMs);
    }
}

void BulkTransfers::MenuBulkSinglePerfSynthClick() {
    if (!link_.devices().MidiOutOpen) return;
    // The synth streams its memory to disk meanwhile: no writes into it.
    if (!dispatcher_.mayStartExclusiveChain()) return;
    const auto path = ui_.openFileDialog("Select User-Performance file", kSysExFilter, paths_.LastDir);
    if (!path) return;
    // The file's bytes stay apart from the transfer buffer, which answers
    // arriving while the chooser is open may fill.
    PerformanceRecord record;
    if (!ReadPerformanceFile(*path, record, notifier_)) return;
    paths_.LastDir = directoryOf(*path);
    // A number byte above 127 comes from a damaged file: offer entry 001.
    link_.UserPerfSendNumber = static_cast<Byte>(recordSlot(record).value_or(0));
    const auto chosen = ui_.chooseUserPerf("Select dest. Perf", "Send", link_.UserPerfSendNumber);
    if (!chosen || *chosen < 0 || *chosen > 127) return;
    if (!dispatcher_.mayStartExclusiveChain()) return;
    link_.model().userPerfBuffer = record;
    link_.UserPerfSendNumber = static_cast<Byte>(*chosen);
    sendUserBlocks(10);
}

void BulkTransfers::MenuBulkPerfBankSynthClick() {
    if (!dispatcher_.mayStartExclusiveChain()) return;
    const auto path = ui_.openFileDialog("Select Performance-bank file", kBankFilter, paths_.PerfBankDir);
    if (!path) return;
    std::vector<PerformanceRecord> records;
    if (!readBankFile(*path, notifier_, records)) return;
    // Nothing else goes out between the dumps: no chain request, no
    // program-change following.
    dispatcher_.endRequestChains();
    dispatcher_.sendingBank = true;
    ui_.beginBankSend(static_cast<int>(records.size()));
    int done = 0;
    for (const PerformanceRecord& record : records) {
        const auto slot = recordSlot(record);
        if (!slot) continue; // the reader already reported such records
        const std::string line = PerformanceLine(record);
        ui_.setUserPerfRow(*slot, line);
        ui_.bankSendProgress(done, "Transferring Performance #" + std::to_string(*slot + 1) + " : " + line.substr(5));
        link_.UserPerfSendNumber = static_cast<Byte>(*slot);
        link_.model().userPerfBuffer = record;
        for (int kind = 12; kind <= 18; ++kind) {
            link_.SendBulkBlock(kind);
            ui_.wait(20);
        }
        ++done;
    }
    dispatcher_.sendingBank = false;
    ui_.endBankSend();
}

void BulkTransfers::SaveToSynthClick() {
    if (!link_.devices().MidiOutOpen) return;
    if (!dispatcher_.mayStartExclusiveChain()) return;
    Model& model = link_.model();
    // What is saved is the image as it stands, not one a fetch still under
    // way finishes while the chooser is open.
    dispatcher_.endCurrentPerformanceFetch();
    const auto chosen = ui_.chooseUserPerf("Select dest.-Perf", "Send", model.ActiveUserPerf);
    if (!chosen || *chosen < 0 || *chosen > 127) return;
    if (!dispatcher_.mayStartExclusiveChain()) return;
    model.userPerfBuffer = makeRecordFromImage(model.image, *chosen);
    link_.UserPerfSendNumber = static_cast<Byte>(*chosen);
    sendUserBlocks(10);
    model.PerfModified = false;
    ui_.performanceStored();
    ui_.setUserPerfRow(*chosen, PerformanceLine(model.userPerfBuffer.message(0), *chosen));
}

void BulkTransfers::MenuBulkSinglePerfHDClick() {
    // One transfer at a time: a second would share the chain and the file.
    if (!dispatcher_.mayStartExclusiveChain()) return;
    const auto chosen = ui_.chooseUserPerf("", "Request", -1);
    if (!chosen || *chosen < 0 || *chosen > 127) return;
    const MidiDevices& devices = link_.devices();
    if (!devices.MidiOutOpen || !devices.MidiInOpen) return;
    if (!ui_.ChooseLastDir(paths_.LastDir)) return;
    if (!dispatcher_.mayStartExclusiveChain()) return;
    WriteToBankFile = false;
    names_.reset();
    // A fetch or names request running or stalled would take the
    // transfer's answers as its own: the transfer replaces it.
    dispatcher_.endRequestChains();
    dispatcher_.UserPerfToDisk = true;
    link_.UserPerfNumber = *chosen;
    dispatcher_.BlocksToGo = 6;
    link_.SendRequest(TransferKind::UserCommon);
}

void BulkTransfers::MenuBulkAllPerfHDClick() {
    if (!dispatcher_.mayStartExclusiveChain()) return;
    // Without both devices no answer can come, and the transfer would never end.
    const MidiDevices& devices = link_.devices();
    if (!devices.MidiOutOpen || !devices.MidiInOpen) return;
    const int choice = ui_.AskTwoChoices("Please select the format to store the received\nBulk-data on your harddisk",
                                         "Perf.-bank", "SysEx files");
    if (choice == 1) {
        const auto path =
            ui_.saveFileDialog("Save Performance-bank as ...", kBankFilter, paths_.PerfBankDir, std::nullopt);
        if (!path) return;
        WriteToBankFile = true;
        BankFileName = ReplaceExtension(*path, ".PFB");
        paths_.PerfBankDir = directoryOf(*path);
    } else if (choice == 2) {
        if (!ui_.ChooseLastDir(paths_.LastDir)) return;
        WriteToBankFile = false;
    } else {
        return;
    }
    if (!dispatcher_.mayStartExclusiveChain()) return;
    names_.reset();
    dispatcher_.endRequestChains();
    dispatcher_.AllUserPerfsToDisk = true;
    link_.UserPerfNumber = 0;
    dispatcher_.BlocksToGo = 6;
    link_.SendRequest(TransferKind::UserCommon);
    ui_.setBusyCursor();
}

bool BulkTransfers::openTransferFile() {
    if (writer_.isOpen() && writer_.kind() == TransferFileWriter::Kind::Bank) return true;
    FileResult result;
    if (WriteToBankFile) {
        if (BankFileName.empty()) {
            windUp("The bank file is no longer open.");
            return false;
        }
        bankPath_ = BankFileName;
        result = writer_.openBank(BankFileName);
        BankFileName.clear();
    } else {
        const auto common = link_.model().userPerfBuffer.message(0);
        result = writer_.openSingle(names_.claim(paths_.LastDir, common));
    }
    if (!result) {
        windUp(result.message);
        return false;
    }
    return true;
}

void BulkTransfers::DiskTransferStep() {
    if (!transferRunning()) return;
    // An answer of the wrong size would put the previous block's bytes into
    // the file as if they were this performance's: stop instead.
    if (!dispatcher_.lastAnswerStored) {
        windUp("A block of the wrong size arrived.");
        return;
    }
    const UserPerfBuffer& buffer = link_.model().userPerfBuffer;
    if (dispatcher_.BlocksToGo > 0) {
        --dispatcher_.BlocksToGo;
        ui_.wait(5);
        // The block just stored is message 5 - BlocksToGo: common when 5 are left.
        const int message = 5 - dispatcher_.BlocksToGo;
        if (message == 0) {
            if (!openTransferFile()) return;
            const auto common = buffer.message(0);
            const std::string line = PerformanceLine(common, link_.UserPerfNumber);
            ui_.ShowStatus("Receiving User-Performance #" + std::to_string(link_.UserPerfNumber + 1) + " : " +
                           line.substr(5));
        }
        const FileResult result = writer_.appendMessage(buffer.message(message));
        if (!result) {
            windUp(result.message);
            return;
        }
        link_.SendRequest(TransferKind::UserCommon + message + 1);
        return;
    }
    const FileResult result = writer_.appendMessage(buffer.message(6));
    if (!result) {
        windUp(result.message);
        return;
    }
    finishPerformance();
}

void BulkTransfers::finishPerformance() {
    dispatcher_.UserPerfToDisk = false;
    if (WriteToBankFile) {
        ui_.wait(10);
    } else {
        const FileResult closed = writer_.close();
        if (!closed) {
            windUp(closed.message);
            return;
        }
    }
    if (!dispatcher_.AllUserPerfsToDisk) return;
    if (link_.UserPerfNumber < 127) {
        ++link_.UserPerfNumber;
        dispatcher_.BlocksToGo = 6;
        link_.SendRequest(TransferKind::UserCommon);
        return;
    }
    if (WriteToBankFile) {
        const FileResult closed = writer_.close();
        if (!closed) {
            windUp(closed.message);
            return;
        }
    }
    WriteToBankFile = false;
    dispatcher_.AllUserPerfsToDisk = false;
    ui_.setNormalCursor();
}

void BulkTransfers::windUp(const std::string& reason) {
    if (!transferRunning() && !writer_.isOpen()) return;
    const bool bank = writer_.kind() == TransferFileWriter::Kind::Bank;
    const int complete = writer_.recordsWritten();
    writer_.abort();
    dispatcher_.UserPerfToDisk = false;
    dispatcher_.AllUserPerfsToDisk = false;
    dispatcher_.BlocksToGo = 0;
    WriteToBankFile = false;
    BankFileName.clear();
    // A late answer must not restart the chain.
    link_.PendingRequest = 0;
    ui_.setNormalCursor();
    std::string text = "Transfer to disk stopped: " + reason;
    if (bank && complete > 0)
        text += "\n" + bankPath_ + " holds the " + std::to_string(complete) + " complete performances received.";
    ui_.showMessage(text);
}

} // namespace patchsmith
