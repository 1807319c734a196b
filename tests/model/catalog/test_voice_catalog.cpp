#include "model/catalog/VoiceCatalog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace patchsmith;

namespace {

bool named(const std::string& entry) { return entry.substr(4) != "--"; }

std::vector<std::string> namedEntries(int bank) {
    std::vector<std::string> out;
    for (const auto& e : voiceNames(bank))
        if (named(e)) out.push_back(e);
    return out;
}

} // namespace

TEST(BankSelectTable, RowTextsAndPairsOfTheBankBox) {
    ASSERT_EQ(BankSelectTable.size(), 58u);
    EXPECT_EQ(BankSelectTable[0].text, "XG 000");
    EXPECT_EQ(BankSelectTable[1].text, "XG 001 (KSP)");
    EXPECT_EQ(BankSelectTable[2].text, "XG 003 (Stereo)");
    EXPECT_EQ(BankSelectTable[23].text, "XG 039 (Bend)");
    EXPECT_EQ(BankSelectTable[28].text, "XG 045 (Velo-Xfade)");
    EXPECT_EQ(BankSelectTable[29].text, "XG 064 (other wave)");
    EXPECT_EQ(BankSelectTable[43].text, "XG 101");
    EXPECT_EQ(BankSelectTable[44].text, "XG SFX");
    EXPECT_EQ(BankSelectTable[45].text, "PRE 00");
    EXPECT_EQ(BankSelectTable[56].text, "PRE 11");
    EXPECT_EQ(BankSelectTable[57].text, "PRE 12 (Drum Kits)");
    // XG banks select MSB 0 with the LSB written in the row text.
    for (int b = 0; b < 44; ++b) {
        const auto& e = BankSelectTable[static_cast<std::size_t>(b)];
        EXPECT_EQ(e.msb, 0) << b;
        EXPECT_EQ(std::stoi(std::string(e.text.substr(3, 3))), e.lsb) << e.text;
    }
    EXPECT_EQ(BankSelectTable[44].msb, 64);
    EXPECT_EQ(BankSelectTable[44].lsb, 0);
    for (int b = 45; b < 58; ++b) {
        EXPECT_EQ(BankSelectTable[static_cast<std::size_t>(b)].msb, 63);
        EXPECT_EQ(BankSelectTable[static_cast<std::size_t>(b)].lsb, b - 45);
    }
}

TEST(BankSelectTable, LookupByPair) {
    EXPECT_EQ(findBank(0, 0), 0);
    EXPECT_EQ(findBank(0, 45), 28);
    EXPECT_EQ(findBank(64, 0), 44);
    EXPECT_EQ(findBank(63, 11), 56);
    EXPECT_EQ(findBank(63, 12), 57);
    EXPECT_EQ(findBank(127, 0), std::nullopt);
    EXPECT_EQ(findBank(0, 2), std::nullopt);
    EXPECT_EQ(displayBank(63, 11), 56);
    EXPECT_EQ(displayBank(127, 0), 57);
    EXPECT_EQ(displayBank(63, 13), 57);
    // Every pair is unique, so each bank finds itself.
    for (int b = 0; b < kBankCount; ++b) {
        const auto& e = BankSelectTable[static_cast<std::size_t>(b)];
        EXPECT_EQ(findBank(e.msb, e.lsb), b);
    }
}

TEST(VoiceNameTable, EntryByteLayout) {
    ASSERT_EQ(VoiceNameTable.size(), 111360u);
    const std::string grand = "001 GrandPno";
    EXPECT_EQ(VoiceNameTable[0], grand.size());
    for (std::size_t i = 0; i < grand.size(); ++i) EXPECT_EQ(VoiceNameTable[1 + i], static_cast<Byte>(grand[i]));
    EXPECT_EQ(VoiceNameTable[13], 0);
    EXPECT_EQ(VoiceNameTable[14], 0);
    // Entry 1 of bank 0 starts 15 bytes in; bank 45 at 45 * 1920.
    EXPECT_EQ(VoiceNameTable[15], 12);
    EXPECT_EQ(voiceEntryOffset(45, 0), 86400);
    const std::string drum = "001 DrumTrx1 A"; // fills all 14 characters
    ASSERT_EQ(VoiceNameTable[86400], 14);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&VoiceNameTable[86401]), 14), drum);
    // An empty program: "009 --" in bank 1 is 6 characters and zero padding.
    const auto at = static_cast<std::size_t>(voiceEntryOffset(1, 8));
    EXPECT_EQ(VoiceNameTable[at], 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&VoiceNameTable[at + 1]), 6), "009 --");
    // No entry claims more than 14 characters or leaves junk in its padding.
    for (int b = 0; b < kBankCount; ++b)
        for (int k = 0; k < kProgramCount; ++k) {
            const auto e = static_cast<std::size_t>(voiceEntryOffset(b, k));
            const int length = VoiceNameTable[e];
            ASSERT_GE(length, 6);
            ASSERT_LE(length, 14);
            for (int i = length + 1; i < kVoiceEntryBytes; ++i)
                ASSERT_EQ(VoiceNameTable[e + static_cast<std::size_t>(i)], 0) << b << "/" << k;
        }
}

TEST(VoiceNameTable, TellingRowsOfTheBanks) {
    const auto xg = voiceNames(0);
    EXPECT_EQ(xg[0], "001 GrandPno");
    EXPECT_EQ(xg[127], "128 Gunshot");

    const auto ksp = voiceNames(1);
    EXPECT_EQ(ksp[0], "001 GrndPnoK");
    EXPECT_EQ(ksp[3], "004 HnkyTnkK");
    EXPECT_EQ(ksp[8], "009 --");
    EXPECT_EQ(ksp[12], "013 MarimbaK");

    EXPECT_EQ(namedEntries(23), std::vector<std::string>{"062 BrssFall"});

    const auto wave = namedEntries(29);
    ASSERT_EQ(wave.size(), 50u);
    EXPECT_EQ(wave.front(), "005 60sEl.P");
    EXPECT_EQ(wave.back(), "120 Rev Cym2");

    const auto sfx = namedEntries(44);
    ASSERT_EQ(sfx.size(), 42u);
    EXPECT_EQ(sfx.front(), "001 CuttngNz");
    EXPECT_EQ(sfx.back(), "116 FireWork");

    const auto pre00 = voiceNames(45);
    EXPECT_EQ(pre00[0], "001 DrumTrx1 A");
    EXPECT_EQ(pre00[127], "128 Elctrc A");

    const auto pre03 = namedEntries(48);
    ASSERT_EQ(pre03.size(), 24u);
    EXPECT_EQ(pre03.front(), "013 Rezlne D");
    EXPECT_EQ(pre03.back(), "127 Jungly D");

    const auto pre08 = voiceNames(53);
    EXPECT_EQ(pre08[0], "001 Wrltza A");
    EXPECT_EQ(pre08[127], "128 LfiAna A");

    const auto kits = voiceNames(57);
    EXPECT_EQ(kits[0], "001 TechKt A");
    EXPECT_EQ(kits[5], "006 909KitA");
    EXPECT_EQ(kits[6], "007 --");
    for (int k = 6; k < 128; ++k)
        EXPECT_FALSE(named(kits[static_cast<std::size_t>(k)])) << kits[static_cast<std::size_t>(k)];

    // A name with a double quote survives generation unchanged.
    EXPECT_EQ(voiceEntryText(24, 16), "017 16+2\"2/3");
}

TEST(VoiceNameTable, NamedVoicesPerBankAsPublished) {
    const std::vector<int> expected{
        128, 10,  3,  4,  7,   4,   3,  7,  2,   13,  4,  4,  7, 3, 7, 2,  18, 4, 3, 14, 2, 4,  2,
        1,   27,  15, 4,  7,   12,  50, 29, 15,  8,   3,  3,  2, 2, 2, 27, 11, 5, 2, 2,  2, 42, // XG banks 0..44
        128, 111, 51, 24, 128, 103, 47, 22, 128, 111, 51, 25, 6,                                // PRE 00..12
    };
    ASSERT_EQ(expected.size(), 58u);
    for (int b = 0; b < kBankCount; ++b)
        EXPECT_EQ(static_cast<int>(namedEntries(b).size()), expected[static_cast<std::size_t>(b)]) << "bank " << b;
}

TEST(VoiceNameTable, EveryBankHas128NumberedRows) {
    for (int b = 0; b < kBankCount; ++b) {
        const auto names = voiceNames(b);
        for (int k = 0; k < kProgramCount; ++k) {
            const auto& e = names[static_cast<std::size_t>(k)];
            char number[16];
            std::snprintf(number, sizeof number, "%03d ", k + 1);
            ASSERT_EQ(e.substr(0, 4), number) << b << "/" << k;
            ASSERT_LE(e.size(), 14u);
        }
    }
}

TEST(VoiceNameTable, OutOfRangeBankAndProgramAreClamped) {
    EXPECT_EQ(voiceEntryText(-1, 0), "001 GrandPno");
    EXPECT_EQ(voiceEntryText(0, -5), "001 GrandPno");
    EXPECT_EQ(voiceEntryText(0, 128), "128 Gunshot");
    EXPECT_EQ(voiceEntryText(58, 0), "001 TechKt A");
    EXPECT_EQ(voiceEntryText(1000, 1000), "128 --");
    EXPECT_EQ(voiceNames(-3), voiceNames(0));
    EXPECT_EQ(voiceNames(99), voiceNames(57));
}
