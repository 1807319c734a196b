#include "StorageTestSupport.h"

#include "storage/FileNames.h"
#include "storage/PerformanceFiles.h"
#include "storage/TransferFileWriter.h"

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

class TransferWriterTest : public TempDirTest {};

// Feeds a record message by message, as the answers arrive.
void feed(TransferFileWriter& w, const PerformanceRecord& r, int messages = 7) {
    for (int i = 0; i < messages; ++i) ASSERT_TRUE(w.appendMessage(r.message(i))) << i;
}

std::vector<Byte> bankBytes(const std::vector<PerformanceRecord>& records) {
    std::vector<Byte> bytes = bytesOf("Patchsmith PFB");
    for (const auto& r : records) append(bytes, r);
    return bytes;
}

} // namespace

TEST_F(TransferWriterTest, FullBankTransferWrites40590Bytes) {
    TransferFileWriter w;
    ASSERT_TRUE(w.openBank(path("all.PFB")));
    std::vector<PerformanceRecord> all;
    for (int n = 0; n < 128; ++n) {
        all.push_back(makeRecord(n, n % 23, "Perf" + std::to_string(n)));
        feed(w, all.back());
    }
    EXPECT_EQ(w.recordsWritten(), 128);
    ASSERT_TRUE(w.close());
    EXPECT_FALSE(w.isOpen());
    const std::vector<Byte> bytes = readBytes(path("all.PFB"));
    ASSERT_EQ(bytes.size(), 40590u);
    EXPECT_EQ(bytes, bankBytes(all));
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(TransferWriterTest, InterruptedBankKeepsHeaderAndCompleteRecordsOnly) {
    const auto r0 = makeRecord(0, 1, "Zero");
    const auto r1 = makeRecord(1, 1, "One");
    const auto r2 = makeRecord(2, 1, "Two");
    TransferFileWriter w;
    ASSERT_TRUE(w.openBank(path("cut.PFB")));
    feed(w, r0);
    feed(w, r1);
    feed(w, r2, 4); // time-out after layer 1 of the third performance
    EXPECT_EQ(w.pendingMessages(), 4);
    w.abort();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(readBytes(path("cut.PFB")), bankBytes({r0, r1}));
    EXPECT_EQ(entries().size(), 1u);

    // The bank left behind reads back as a valid bank.
    RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    EXPECT_TRUE(readBankFile(path("cut.PFB"), notifier, records));
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(TransferWriterTest, AbortBeforeAnyCompleteRecordKeepsTheOldFile) {
    writeBytes(path("old.PFB"), bytesOf("Patchsmith PFB"));
    TransferFileWriter w;
    ASSERT_TRUE(w.openBank(path("old.PFB")));
    feed(w, makeRecord(0, 1, "A"), 3);
    w.abort();
    EXPECT_EQ(readBytes(path("old.PFB")), bytesOf("Patchsmith PFB"));
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(TransferWriterTest, SingleSyxTransferAndItsAbort) {
    const auto r = makeRecord(12, 1, "GrandPno");
    const std::string target = joinPath(dir_.string(), diskTransferName(r.message(0)));
    TransferFileWriter w;
    ASSERT_TRUE(w.openSingle(target));
    feed(w, r);
    ASSERT_TRUE(w.close());
    const std::vector<Byte> bytes = readBytes(path("PF_GrandPno.SYX"));
    ASSERT_EQ(bytes.size(), 317u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r.bytes().begin()));

    // An interrupted transfer of the same performance keeps the earlier file.
    ASSERT_TRUE(w.openSingle(target));
    feed(w, makeRecord(12, 1, "GrandPno", 9), 6);
    w.abort();
    EXPECT_EQ(readBytes(path("PF_GrandPno.SYX")), bytes);
    EXPECT_EQ(entries().size(), 1u);

    // Closing with the record incomplete writes nothing and says so.
    ASSERT_TRUE(w.openSingle(path("x.SYX")));
    feed(w, r, 2);
    const FileResult result = w.close();
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message.rfind("Unable to save file " + path("x.SYX"), 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(path("x.SYX")));
}

TEST_F(TransferWriterTest, FileThatCannotBeCreatedIsReported) {
    writeBytes(path("plain"), {0});
    TransferFileWriter w;
    const std::string target = path("plain") + "/bank.PFB";
    FileResult result = w.openBank(target);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, "Unable to save file " + target);
    EXPECT_FALSE(w.isOpen());
    EXPECT_FALSE(w.appendMessage(makeRecord(0, 1, "A").message(0)));
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.openSingle("/proc/patchsmith.SYX"));
}

TEST_F(TransferWriterTest, MessageOfWrongLengthIsRefused) {
    TransferFileWriter w;
    ASSERT_TRUE(w.openBank(path("b.PFB")));
    const auto r = makeRecord(0, 1, "A");
    ASSERT_TRUE(w.appendMessage(r.message(0)));
    EXPECT_FALSE(w.appendMessage(r.message(0))); // 57 bytes where the effect block (32) belongs
    EXPECT_EQ(w.pendingMessages(), 1);
}

TEST_F(TransferWriterTest, DestructorOfAnOpenWriterLeavesNoTemporaryFile) {
    {
        TransferFileWriter w;
        ASSERT_TRUE(w.openSingle(path("p.SYX")));
        feed(w, makeRecord(0, 1, "A"), 3);
    }
    EXPECT_TRUE(entries().empty());
}
