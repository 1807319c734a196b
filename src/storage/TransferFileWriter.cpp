#include "storage/TransferFileWriter.h"

#include "storage/PerformanceFiles.h"

#include <algorithm>

namespace patchsmith {

FileResult TransferFileWriter::start(const std::string& path, Kind kind) {
    abort();
    if (!file_.create(path)) return FileResult::failure(saveErrorText(path));
    kind_ = kind;
    pending_ = 0;
    records_ = 0;
    return FileResult::success();
}

FileResult TransferFileWriter::openBank(const std::string& path) {
    FileResult result = start(path, Kind::Bank);
    if (!result) return result;
    const std::span<const Byte> header(reinterpret_cast<const Byte*>(kBankHeader.data()), kBankHeader.size());
    if (!file_.write(header)) return fail();
    return result;
}

FileResult TransferFileWriter::openSingle(const std::string& path) { return start(path, Kind::Single); }

FileResult TransferFileWriter::fail() {
    const std::string target = file_.targetPath();
    file_.discard();
    kind_ = Kind::None;
    pending_ = 0;
    return FileResult::failure(saveErrorText(target));
}

FileResult TransferFileWriter::appendMessage(std::span<const Byte> message) {
    if (!isOpen()) return FileResult::failure("No transfer file is open");
    if (kind_ == Kind::Single && records_ > 0)
        return FileResult::failure(saveErrorText(path()) + " (one performance only)");
    std::span<Byte> slot = record_.message(pending_);
    if (message.size() != slot.size())
        return FileResult::failure(saveErrorText(path()) + " (received block of wrong size)");
    std::copy(message.begin(), message.end(), slot.begin());
    if (++pending_ < kRecordMessages) return FileResult::success();
    pending_ = 0;
    if (!file_.write(record_.bytes())) return fail();
    ++records_;
    return FileResult::success();
}

FileResult TransferFileWriter::appendRecord(const PerformanceRecord& record) {
    for (int i = 0; i < kRecordMessages; ++i) {
        FileResult result = appendMessage(record.message(i));
        if (!result) return result;
    }
    return FileResult::success();
}

FileResult TransferFileWriter::close() {
    if (!isOpen()) return FileResult::failure("No transfer file is open");
    const std::string target = file_.targetPath();
    if (kind_ == Kind::Single && records_ == 0) {
        file_.discard();
        kind_ = Kind::None;
        pending_ = 0;
        return FileResult::failure(saveErrorText(target) + " (incomplete performance)");
    }
    pending_ = 0;
    kind_ = Kind::None;
    if (!file_.commit()) return FileResult::failure(saveErrorText(target));
    return FileResult::success();
}

void TransferFileWriter::abort() {
    if (!isOpen()) return;
    if (kind_ == Kind::Bank && records_ > 0) {
        file_.commit();
    } else {
        file_.discard();
    }
    kind_ = Kind::None;
    pending_ = 0;
}

} // namespace patchsmith
