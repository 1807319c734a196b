#include "StorageTestSupport.h"

#include "storage/NameListFile.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceFiles.h"

using namespace patchsmith;
using namespace patchsmith::test;

namespace {

class BankTest : public TempDirTest {};
class NameListTest : public TempDirTest {};

std::vector<Byte> bankBytes(const std::vector<PerformanceRecord>& records) {
    std::vector<Byte> bytes = bytesOf("Patchsmith PFB");
    for (const auto& r : records) append(bytes, r);
    return bytes;
}

} // namespace

TEST(PerformanceBank, SlotsClearAndOccupied) {
    PerformanceBank bank;
    EXPECT_EQ(bank.occupiedCount(), 0);
    EXPECT_TRUE(bank.setSlot(0, makeRecord(0, 1, "A")));
    EXPECT_TRUE(bank.setSlot(127, makeRecord(127, 1, "B")));
    EXPECT_FALSE(bank.setSlot(128, makeRecord(0, 1, "C")));
    EXPECT_FALSE(bank.setSlot(-1, makeRecord(0, 1, "C")));
    EXPECT_TRUE(bank.occupied(0));
    EXPECT_TRUE(bank.occupied(127));
    EXPECT_FALSE(bank.occupied(128));
    EXPECT_EQ(bank.occupiedCount(), 2);

    bank.ClearSlot(128); // slot 127
    EXPECT_FALSE(bank.occupied(127));
    EXPECT_EQ(bank.slot(127), PerformanceRecord{});
    bank.ClearSlot(0);
    bank.ClearSlot(129);
    EXPECT_TRUE(bank.occupied(0));
    bank.clearAll();
    EXPECT_EQ(bank.occupiedCount(), 0);
    // A record whose first byte is 0 counts as an empty slot.
    PerformanceRecord odd = makeRecord(3, 1, "X");
    odd.bytes()[0] = 0;
    bank.setSlot(3, odd);
    EXPECT_FALSE(bank.occupied(3));
}

TEST_F(BankTest, EmptyBankSavesFourteenBytesFullBank40590) {
    PerformanceBank bank;
    ASSERT_TRUE(saveBank(path("e.PFB"), bank));
    EXPECT_EQ(readBytes(path("e.PFB")), bytesOf("Patchsmith PFB"));

    for (int s = 0; s < 128; ++s) bank.setSlot(s, makeRecord(s, 1, "Full"));
    ASSERT_TRUE(saveBank(path("f.PFB"), bank));
    EXPECT_EQ(readBytes(path("f.PFB")).size(), 40590u);
}

TEST_F(BankTest, SaveSkipsEmptySlotsInAscendingOrder) {
    PerformanceBank bank;
    const auto r9 = makeRecord(9, 2, "Nine");
    const auto r2 = makeRecord(2, 3, "Two");
    bank.setSlot(9, r9);
    bank.setSlot(2, r2);
    ASSERT_TRUE(saveBank(path("s.PFB"), bank));
    EXPECT_EQ(readBytes(path("s.PFB")), bankBytes({r2, r9}));
}

TEST_F(BankTest, DropRenumbersToTheSlot) {
    const auto r = makeRecord(77, 1, "GrandPno");
    writeBytes(path("PF_GrandPno.SYX"), std::vector<Byte>(r.bytes().begin(), r.bytes().end()));
    PerformanceBank bank;
    RecordingNotifier notifier;
    ASSERT_TRUE(dropFileIntoSlot(path("PF_GrandPno.SYX"), 4, bank, notifier));
    EXPECT_TRUE(notifier.messages.empty());
    for (int offset : {7, 64, 96, 116, 168, 220, 272})
        EXPECT_EQ(bank.slot(4).bytes()[static_cast<std::size_t>(offset)], 4) << offset;
    EXPECT_EQ(bank.slot(4).bytes()[9], 'G');
    EXPECT_EQ(dropLabel(4, "PF_GrandPno.SYX"), "005  PF GrandPno");
}

TEST_F(BankTest, FailedDropsReportAndKeepTheSlot) {
    PerformanceBank bank;
    const auto old = makeRecord(4, 2, "Old");
    bank.setSlot(4, old);
    RecordingNotifier notifier;
    EXPECT_FALSE(dropFileIntoSlot(path("missing.SYX"), 4, bank, notifier));
    writeBytes(path("big.PFB"), std::vector<Byte>(331, 0xF0));
    EXPECT_FALSE(dropFileIntoSlot(path("big.PFB"), 4, bank, notifier));
    EXPECT_EQ(notifier.messages,
              (std::vector<std::string>{"Load-Error : Unable to open file", "Load-Error : Wrong filesize"}));
    EXPECT_EQ(bank.slot(4), old);

    // No slot under the pointer: nothing is touched, nothing shown.
    const auto r = makeRecord(1, 1, "R");
    writeBytes(path("r.SYX"), std::vector<Byte>(r.bytes().begin(), r.bytes().end()));
    notifier.messages.clear();
    EXPECT_FALSE(dropFileIntoSlot(path("r.SYX"), 128, bank, notifier));
    EXPECT_FALSE(dropFileIntoSlot(path("r.SYX"), -1, bank, notifier));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(bank.occupiedCount(), 1);
}

TEST_F(BankTest, LoadPlacesRecordsByNumberLaterOnesWin) {
    PerformanceBank bank;
    const auto keep = makeRecord(6, 1, "Keep");
    bank.setSlot(6, keep);
    const auto a = makeRecord(5, 1, "First", 1);
    const auto b = makeRecord(5, 2, "Second", 2);
    const auto c = makeRecord(7, 3, "Third", 3);
    writeBytes(path("b.PFB"), bankBytes({a, b, c}));
    RecordingNotifier notifier;
    std::vector<int> loaded;
    ASSERT_TRUE(loadBankIntoSlots(path("b.PFB"), bank, notifier, &loaded));
    EXPECT_EQ(loaded, (std::vector<int>{5, 5, 7}));
    EXPECT_EQ(bank.slot(5), b);
    EXPECT_EQ(bank.slot(7), c);
    EXPECT_EQ(bank.slot(6), keep);
    EXPECT_EQ(bank.occupiedCount(), 3);
    EXPECT_EQ(PerformanceLine(bank.slot(5)), "006  CP Second");
}

TEST_F(BankTest, LoadNeverTouchesASlotOutside0To127) {
    PerformanceBank bank;
    writeBytes(path("d.PFB"),
               bankBytes({makeRecord(200, 1, "Bad"), makeRecord(0, 1, "Zero"), makeRecord(128, 1, "Bad")}));
    RecordingNotifier notifier;
    std::vector<int> loaded;
    ASSERT_TRUE(loadBankIntoSlots(path("d.PFB"), bank, notifier, &loaded));
    EXPECT_EQ(loaded, std::vector<int>{0});
    EXPECT_EQ(bank.occupiedCount(), 1);
    EXPECT_EQ(bank.slot(0).bytes()[9], 'Z');
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(BankTest, RefusedBankLeavesTheBankUnchanged) {
    PerformanceBank bank;
    bank.setSlot(1, makeRecord(1, 1, "One"));
    const PerformanceRecord before = bank.slot(1);
    std::vector<Byte> bytes = bankBytes({makeRecord(1, 2, "Other")});
    bytes.push_back(0);
    writeBytes(path("bad.PFB"), bytes);
    RecordingNotifier notifier;
    EXPECT_FALSE(loadBankIntoSlots(path("bad.PFB"), bank, notifier));
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Load-Error : Wrong filesize"});
    EXPECT_EQ(bank.slot(1), before);
}

TEST_F(BankTest, FailedSaveReported) {
    writeBytes(path("f"), {1});
    PerformanceBank bank;
    EXPECT_FALSE(saveBank(path("f") + "/x.PFB", bank));
}

TEST_F(NameListTest, WriteEndsEveryLineWithCrLf) {
    std::vector<std::string> rows;
    for (int k = 0; k < 128; ++k) rows.push_back(threeDigits(k + 1) + "  PF Name");
    ASSERT_TRUE(writeNameListFile(path("n.PFN"), rows));
    const std::vector<Byte> bytes = readBytes(path("n.PFN"));
    EXPECT_EQ(bytes.size(), 128u * (12 + 2));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 28), "001  PF Name\r\n002  PF Name\r\n");
    EXPECT_EQ(bytes[bytes.size() - 2], '\r');
    EXPECT_EQ(bytes.back(), '\n');

    std::vector<std::string> back;
    ASSERT_TRUE(readNameListFile(path("n.PFN"), back));
    EXPECT_EQ(back, rows);
}

TEST_F(NameListTest, LineBreaksInsideARowDoNotSplitIt) {
    ASSERT_TRUE(writeNameListFile(path("n.PFN"), std::vector<std::string>{"a\r\nb", "c"}));
    EXPECT_EQ(readBytes(path("n.PFN")), bytesOf("a  b\r\nc\r\n"));
}

TEST_F(NameListTest, LfEndsAndMissingLastEndAreRead) {
    writeBytes(path("lf.PFN"), bytesOf("one\ntwo\r\nthree"));
    std::vector<std::string> rows;
    ASSERT_TRUE(readNameListFile(path("lf.PFN"), rows));
    ASSERT_EQ(rows.size(), 128u);
    EXPECT_EQ(rows[0], "one");
    EXPECT_EQ(rows[1], "two");
    EXPECT_EQ(rows[2], "three");
    EXPECT_EQ(rows[3], "004");
    EXPECT_EQ(rows[127], "128");
}

TEST_F(NameListTest, ShortAndEmptyFilesArePaddedLongOnesCut) {
    std::vector<std::string> rows;
    writeBytes(path("empty.PFN"), {});
    ASSERT_TRUE(readNameListFile(path("empty.PFN"), rows));
    ASSERT_EQ(rows.size(), 128u);
    EXPECT_EQ(rows[0], "001");

    std::string text;
    for (int k = 0; k < 200; ++k) text += "L" + std::to_string(k) + "\r\n";
    writeBytes(path("long.PFN"), bytesOf(text));
    ASSERT_TRUE(readNameListFile(path("long.PFN"), rows));
    ASSERT_EQ(rows.size(), 128u);
    EXPECT_EQ(rows[127], "L127");

    // An empty line is a line of its own; a final CR LF adds no extra one.
    writeBytes(path("blank.PFN"), bytesOf("a\r\n\r\nc\r\n"));
    ASSERT_TRUE(readNameListFile(path("blank.PFN"), rows));
    EXPECT_EQ(rows[1], "");
    EXPECT_EQ(rows[2], "c");
    EXPECT_EQ(rows[3], "004");
}

TEST_F(NameListTest, FailuresGiveMessagesAndKeepRows) {
    std::vector<std::string> rows{"kept"};
    FileResult r = readNameListFile(path("none.PFN"), rows);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message, "Unable to open file " + path("none.PFN"));
    EXPECT_EQ(rows, std::vector<std::string>{"kept"});

    writeBytes(path("f"), {1});
    r = writeNameListFile(path("f") + "/n.PFN", rows);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message, "Unable to save file " + path("f") + "/n.PFN");
}
