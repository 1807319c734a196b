#include "StorageTestSupport.h"

#include "storage/PerformanceFiles.h"

#include <filesystem>

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

class SyxFileTest : public TempDirTest {};
class BankFileTest : public TempDirTest {};

std::vector<Byte> bankBytes(const std::vector<PerformanceRecord>& records) {
    std::vector<Byte> bytes = bytesOf("Patchsmith PFB");
    for (const auto& r : records) append(bytes, r);
    return bytes;
}

} // namespace

TEST(LoadErrors, TextsOfTheFiveCodesWithPrefix) {
    EXPECT_EQ(loadErrorText(1), "Load-Error : File not found");
    EXPECT_EQ(loadErrorText(2), "Load-Error : Unable to open file");
    EXPECT_EQ(loadErrorText(3), "Load-Error : Unable to save file");
    EXPECT_EQ(loadErrorText(4), "Load-Error : Wrong filesize");
    EXPECT_EQ(loadErrorText(5), "Load-Error : Not a valid Performance-bank file");
}

TEST(LoadErrors, OnlyLowSevenBitsCountAndZeroOrUnknownAreSafe) {
    EXPECT_EQ(loadErrorText(0x84), "Load-Error : Wrong filesize");
    RecordingNotifier notifier;
    ShowLoadError(0, notifier);
    ShowLoadError(0x80, notifier);
    EXPECT_TRUE(notifier.messages.empty());
    ShowLoadError(6, notifier);
    ShowLoadError(127, notifier);
    ShowLoadError(-1, notifier);
    ASSERT_EQ(notifier.messages.size(), 3u);
    for (const auto& m : notifier.messages) EXPECT_EQ(m, "Load-Error : Unknown error");
    ShowLoadError(5, notifier);
    EXPECT_EQ(notifier.messages.back(), "Load-Error : Not a valid Performance-bank file");
}

TEST_F(SyxFileTest, WriteThenReadGivesTheSame317Bytes) {
    const PerformanceRecord r = makeRecord(9, 1, "GrandPno");
    ASSERT_TRUE(WritePerformanceFile(path("a.SYX"), r));
    const std::vector<Byte> bytes = readBytes(path("a.SYX"));
    ASSERT_EQ(bytes.size(), 317u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r.bytes().begin()));
    EXPECT_EQ(entries().size(), 1u) << "no temporary file is left behind";

    UserPerfBuffer buffer;
    RecordingNotifier notifier;
    ASSERT_TRUE(ReadPerformanceFile(path("a.SYX"), buffer, notifier));
    EXPECT_EQ(buffer, r);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SyxFileTest, WrongSizeIsRefusedWithMessageAndBufferKept) {
    const PerformanceRecord old = makeRecord(3, 2, "Old");
    for (std::size_t size : {0u, 316u, 318u, 634u}) {
        std::vector<Byte> bytes(size, 0x11);
        writeBytes(path("bad.SYX"), bytes);
        UserPerfBuffer buffer = old;
        RecordingNotifier notifier;
        EXPECT_FALSE(ReadPerformanceFile(path("bad.SYX"), buffer, notifier)) << size;
        EXPECT_EQ(notifier.messages, std::vector<std::string>{"This is not a valid Performance-file!"}) << size;
        EXPECT_EQ(buffer, old) << size;
    }
}

TEST_F(SyxFileTest, MissingFileOrDirectoryFailsSilently) {
    const PerformanceRecord old = makeRecord(3, 2, "Old");
    UserPerfBuffer buffer = old;
    RecordingNotifier notifier;
    EXPECT_FALSE(ReadPerformanceFile(path("none.SYX"), buffer, notifier));
    EXPECT_FALSE(ReadPerformanceFile(dir_.string(), buffer, notifier));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(buffer, old);
}

TEST_F(SyxFileTest, FileIsReadAsItIsWithoutCheckingFraming) {
    std::vector<Byte> bytes(317);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<Byte>(i * 7);
    writeBytes(path("raw.SYX"), bytes);
    UserPerfBuffer buffer;
    RecordingNotifier notifier;
    ASSERT_TRUE(ReadPerformanceFile(path("raw.SYX"), buffer, notifier));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), buffer.bytes().begin()));
}

TEST_F(SyxFileTest, FailedSaveIsReportedAndLeavesNothing) {
    writeBytes(path("plain"), {1, 2, 3});
    // The parent of the target is a regular file: nothing can be created
    // there, whatever the user's rights (tests may run as root).
    const std::string target = path("plain") + "/perf.SYX";
    const FileResult result = WritePerformanceFile(target, makeRecord(0, 1, "X"));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, "Unable to save file " + target);

    const FileResult inProc = WritePerformanceFile("/proc/patchsmith-test.SYX", makeRecord(0, 1, "X"));
    EXPECT_FALSE(inProc);
    EXPECT_EQ(inProc.message, "Unable to save file /proc/patchsmith-test.SYX");
}

TEST_F(SyxFileTest, SaveOverADirectoryFailsAndRemovesItsTemporaryFile) {
    std::filesystem::create_directory(path("taken.SYX"));
    EXPECT_FALSE(WritePerformanceFile(path("taken.SYX"), makeRecord(0, 1, "X")));
    EXPECT_EQ(entries(), std::vector<std::string>{"taken.SYX"});
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.SYX")));
}

TEST_F(SyxFileTest, SaveReplacesAnExistingFileCompletely) {
    writeBytes(path("p.SYX"), std::vector<Byte>(1000, 0x55));
    const PerformanceRecord r = makeRecord(1, 1, "New");
    ASSERT_TRUE(WritePerformanceFile(path("p.SYX"), r));
    const std::vector<Byte> bytes = readBytes(path("p.SYX"));
    ASSERT_EQ(bytes.size(), 317u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r.bytes().begin()));
}

TEST_F(BankFileTest, FourteenByteBankIsValidAndEmpty) {
    writeBytes(path("empty.PFB"), bytesOf("Patchsmith PFB"));
    RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    EXPECT_TRUE(readBankFile(path("empty.PFB"), notifier, records));
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankFileTest, RightHeaderWithFifteenTo330BytesIsWrongFilesize) {
    for (std::size_t size : {15u, 16u, 200u, 330u, 332u}) {
        std::vector<Byte> bytes = bytesOf("Patchsmith PFB");
        bytes.resize(size, 0xF0);
        writeBytes(path("b.PFB"), bytes);
        RecordingNotifier notifier;
        int handed = 0;
        EXPECT_FALSE(readBankFile(path("b.PFB"), notifier, [&](const PerformanceRecord&) { ++handed; }));
        EXPECT_EQ(notifier.messages, std::vector<std::string>{"Load-Error : Wrong filesize"}) << size;
        EXPECT_EQ(handed, 0);
    }
}

TEST_F(BankFileTest, ShortFileOrWrongHeaderIsNotABank) {
    const std::string notABank = "Load-Error : Not a valid Performance-bank file";
    std::vector<Byte> thirteen = bytesOf("Patchsmith PF");
    writeBytes(path("short.PFB"), thirteen);
    writeBytes(path("zero.PFB"), {});
    std::vector<Byte> caseDiffers = bytesOf("patchsmith pfb");
    append(caseDiffers, makeRecord(0, 1, "A"));
    writeBytes(path("case.PFB"), caseDiffers);
    std::vector<Byte> otherText = bytesOf("Patchsmith PFX");
    writeBytes(path("other.PFB"), otherText);

    for (const char* name : {"short.PFB", "zero.PFB", "case.PFB", "other.PFB"}) {
        RecordingNotifier notifier;
        std::vector<PerformanceRecord> records;
        EXPECT_FALSE(readBankFile(path(name), notifier, records)) << name;
        EXPECT_EQ(notifier.messages, std::vector<std::string>{notABank}) << name;
        EXPECT_TRUE(records.empty());
    }
}

TEST_F(BankFileTest, MoreRecordsThanABankHoldsAreRefusedWithoutHandingOutAny) {
    std::vector<Byte> full = bytesOf("Patchsmith PFB");
    for (int i = 0; i < 128; ++i) append(full, makeRecord(i, 1, "R"));
    writeBytes(path("full.PFB"), full);
    append(full, makeRecord(0, 1, "Extra"));
    writeBytes(path("over.PFB"), full);

    RecordingNotifier notifier;
    int handed = 0;
    EXPECT_TRUE(readBankFile(path("full.PFB"), notifier, [&](const PerformanceRecord&) { ++handed; }));
    EXPECT_EQ(handed, 128);
    handed = 0;
    EXPECT_FALSE(readBankFile(path("over.PFB"), notifier, [&](const PerformanceRecord&) { ++handed; }));
    EXPECT_EQ(handed, 0);
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Load-Error : Wrong filesize"});
}

TEST_F(BankFileTest, UnopenableBankFailsSilently) {
    RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    EXPECT_FALSE(readBankFile(path("missing.PFB"), notifier, records));
    EXPECT_FALSE(readBankFile(dir_.string(), notifier, records));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BankFileTest, RecordsAreHandedOutInFileOrderUnchanged) {
    const auto a = makeRecord(5, 1, "First", 1);
    const auto b = makeRecord(5, 2, "Second", 2);
    const auto c = makeRecord(7, 3, "Third", 3);
    writeBytes(path("b.PFB"), bankBytes({a, b, c}));
    RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    ASSERT_TRUE(readBankFile(path("b.PFB"), notifier, records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], a);
    EXPECT_EQ(records[1], b);
    EXPECT_EQ(records[2], c);
}

TEST_F(BankFileTest, RecordNumberAbove127IsSkippedWithOneMessage) {
    const auto good = makeRecord(3, 1, "Good", 1);
    writeBytes(path("d.PFB"), bankBytes({makeRecord(128, 1, "Bad"), good, makeRecord(255, 1, "Bad")}));
    RecordingNotifier notifier;
    std::vector<PerformanceRecord> records;
    ASSERT_TRUE(readBankFile(path("d.PFB"), notifier, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], good);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], skippedRecordsText(path("d.PFB"), 2));
    EXPECT_NE(notifier.messages[0].find("2 records"), std::string::npos);
}

TEST_F(BankFileTest, WrittenBankHasHeaderAndRecordsByteForByte) {
    std::vector<PerformanceRecord> all;
    for (int n = 0; n < 128; ++n) all.push_back(makeRecord(n, n % 23, "P" + std::to_string(n)));
    ASSERT_TRUE(writeBankFile(path("full.PFB"), all));
    const std::vector<Byte> bytes = readBytes(path("full.PFB"));
    ASSERT_EQ(bytes.size(), 40590u);
    EXPECT_EQ(static_cast<int>(bytes.size()), kFullBankBytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 14), "Patchsmith PFB");
    EXPECT_EQ(bytes, bankBytes(all));

    ASSERT_TRUE(writeBankFile(path("none.PFB"), {}));
    EXPECT_EQ(readBytes(path("none.PFB")), bytesOf("Patchsmith PFB"));
}

TEST_F(BankFileTest, FailedBankSaveIsReported) {
    writeBytes(path("file"), {0});
    const std::string target = path("file") + "/bank.PFB";
    const FileResult result = writeBankFile(target, {});
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, "Unable to save file " + target);
}
