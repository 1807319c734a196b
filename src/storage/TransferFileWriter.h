#pragma once
// The file of a transfer of user performances to disk. It stays open while
// the synthesizer's answers arrive one message at a time, with a handle of
// its own so that other file commands meanwhile do not disturb it.
//
// Messages are collected until a performance's seven messages are complete
// and only whole 317-byte records reach the file, so an interrupted transfer
// never leaves half a performance behind. The file is written beside its
// target and moved into place when closed.

#include "model/PerformanceRecord.h"
#include "storage/FileIO.h"

#include <span>
#include <string>

namespace patchsmith {

class TransferFileWriter {
public:
    enum class Kind { None, Bank, Single };

    TransferFileWriter() = default;
    TransferFileWriter(const TransferFileWriter&) = delete;
    TransferFileWriter& operator=(const TransferFileWriter&) = delete;
    // An open transfer that was never closed is aborted.
    ~TransferFileWriter() { abort(); }

    // Starts a .PFB file: header "Patchsmith PFB", then the records.
    FileResult openBank(const std::string& path);
    // Starts a .SYX file for one performance.
    FileResult openSingle(const std::string& path);

    bool isOpen() const { return kind_ != Kind::None; }
    Kind kind() const { return kind_; }
    const std::string& path() const { return file_.targetPath(); }

    // Takes the next message of the performance being received (common,
    // effect, controller, layers 1..4, in that order, of the lengths a
    // record has). After the seventh, the record is written.
    FileResult appendMessage(std::span<const Byte> message);
    // Writes a whole record at once (no messages may be pending).
    FileResult appendRecord(const PerformanceRecord& record);

    // Ends the transfer normally: the complete records replace the target.
    // A .SYX file without its complete record is not written (failure).
    FileResult close();
    // Ends an interrupted transfer: a bank file keeps its header and the
    // records completed so far (when there is at least one); a .SYX file is
    // not written and an older file of that name stays as it was.
    void abort();

    int recordsWritten() const { return records_; }
    int pendingMessages() const { return pending_; }

private:
    FileResult start(const std::string& path, Kind kind);
    FileResult fail();

    Kind kind_ = Kind::None;
    TempFile file_;
    PerformanceRecord record_{};
    int pending_ = 0;
    int records_ = 0;
};

} // namespace patchsmith
