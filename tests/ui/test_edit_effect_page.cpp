// The effect page: type lists against the exact messages, the variation bars
// set up per type (captions, ranges, enabling, value labels), moving a bar,
// and values the tables have no entry for.

#include "test_edit_fixture.h"

#include "model/catalog/EffectCatalog.h"
#include "model/catalog/VoiceCatalog.h"
#include "ui/EditHandlers.h"

#include <QListWidget>
#include <QLocale>

#include <gmock/gmock.h>

#include <cstdio>

using namespace patchsmith;
using namespace patchsmith::test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

class EffectPage : public EditWindow {
protected:
    void chooseVariation(int row) { chooseRow(w->VariType, row); }
    QSlider* bar(int p) { return find<QSlider>("VPara" + std::to_string(p)); }
    QString caption(int p) { return find<QLabel>("Text_VPara" + std::to_string(p))->text(); }
    QString value(int p) { return label("VPara" + std::to_string(p)); }
    int effectValue(int offset) {
        return 128 * image().data(Block::Effect, offset) + image().data(Block::Effect, offset + 1);
    }
    // PerfEffect offset of the high byte of parameters 1, 2, 3, 4, 5, 10.
    static constexpr int kOffsets[6] = {6, 8, 10, 12, 14, 16};
    // Puts value v of parameter p into the image and shows it.
    void show(int p, int v) {
        const int offset = kOffsets[static_cast<std::size_t>(*variationParamIndex(p))];
        image().setData(Block::Effect, offset, static_cast<Byte>(v / 128));
        image().setData(Block::Effect, offset + 1, static_cast<Byte>(v % 128));
        w->edit->ShowVariationValue(p, true);
    }
    // Moves bar p to the position of value v, as the user does.
    void move(int p, int v) {
        QSlider* b = bar(p);
        drag(b, b->minimum() + b->maximum() - v);
    }
};

TEST_F(EffectPage, ListsShowTheCatalogueRows) {
    ASSERT_EQ(w->ReverbType->count(), 12);
    ASSERT_EQ(w->ChorusType->count(), 12);
    ASSERT_EQ(w->VariType->count(), 44);
    EXPECT_EQ(w->ReverbType->item(11)->text(), "Basement");
    EXPECT_EQ(w->ChorusType->item(11)->text(), "Flanger 3");
    EXPECT_EQ(w->VariType->item(1)->text(), "Hall 1");
    EXPECT_EQ(w->VariType->item(43)->text(), "THRU");
}

TEST_F(EffectPage, ReverbAndChorusTypesSendTheirPairs) {
    chooseRow(w->ReverbType, 11);
    EXPECT_EQ(image().data(Block::Effect, 0), 0x13);
    EXPECT_EQ(image().data(Block::Effect, 1), 0x00);
    chooseRow(w->ChorusType, 11);
    EXPECT_EQ(image().data(Block::Effect, 2), 0x43);
    EXPECT_EQ(image().data(Block::Effect, 3), 0x08);
    EXPECT_THAT(sent(), ElementsAre(wide(0x30, 0x13, 0x00), wide(0x32, 0x43, 0x08)));

    model().SendEnabled = false;
    clearSent();
    chooseRow(w->ReverbType, 0);
    EXPECT_EQ(image().data(Block::Effect, 0), 0x00);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(EffectPage, ClickingTheTypeShownSendsItAgainAndReloadsItsDefaults) {
    chooseRow(w->ReverbType, 3);
    chooseRow(w->ChorusType, 5);
    clearSent();
    chooseRow(w->ReverbType, 3);
    chooseRow(w->ChorusType, 5);
    EXPECT_THAT(sent(), ElementsAre(wide(0x30, image().data(Block::Effect, 0), image().data(Block::Effect, 1)),
                                    wide(0x32, image().data(Block::Effect, 2), image().data(Block::Effect, 3))));

    // A variation parameter moved away from its default comes back.
    chooseVariation(1);
    const PerformanceImage defaults = image();
    move(1, 40);
    ASSERT_EQ(effectValue(6), 40);
    clearSent();
    chooseVariation(1);
    EXPECT_EQ(w->VariType->currentRow(), 1);
    EXPECT_EQ(effectValue(6), 18);
    EXPECT_EQ(image(), defaults);
    EXPECT_EQ(bar(1)->value(), 69 - 18);
    EXPECT_EQ(value(1), "2,1s");
    ASSERT_THAT(sent(), SizeIs(1));
    EXPECT_EQ(sent()[0].size(), 34u);
}

TEST_F(EffectPage, Hall1SetsDefaultsLabelsAndSendsTheEffectBlock) {
    image().setData(Block::Effect, 20, 33); // the send level travels along unchanged
    chooseVariation(1);
    EXPECT_EQ(image().data(Block::Effect, 4), 0x01);
    EXPECT_EQ(image().data(Block::Effect, 5), 0x00);
    const int defaults[6] = {18, 10, 8, 13, 49, 40};
    for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(effectValue(kOffsets[k]), defaults[k]) << k;

    EXPECT_EQ(caption(1), "REVERB TIME");
    EXPECT_EQ(caption(2), "DIFFUS");
    EXPECT_EQ(caption(3), "INITIAL DELAY");
    EXPECT_EQ(caption(4), "HPF CUTOFF");
    EXPECT_EQ(caption(5), "LPF CUTOFF");
    EXPECT_EQ(caption(10), "DRY WET");
    EXPECT_EQ(value(1), "2,1s");
    EXPECT_EQ(value(2), "10");
    EXPECT_EQ(value(3), "12,7ms");
    EXPECT_EQ(value(4), "90Hz");
    EXPECT_EQ(value(5), "5,6kHz");
    EXPECT_EQ(value(10), "D24 > W");
    // Bars show the values: position = minimum + maximum - value.
    EXPECT_EQ(bar(1)->minimum(), 0);
    EXPECT_EQ(bar(1)->maximum(), 69);
    EXPECT_EQ(bar(1)->value(), 69 - 18);
    EXPECT_EQ(bar(5)->minimum(), 34);
    EXPECT_EQ(bar(5)->maximum(), 60);
    EXPECT_EQ(bar(5)->value(), 34 + 60 - 49);
    for (int p : kVariationParams) EXPECT_TRUE(bar(p)->isEnabled()) << p;

    // One 34-byte bulk message, no parameter change.
    ASSERT_THAT(sent(), SizeIs(1));
    const Bytes m = sent()[0];
    ASSERT_EQ(m.size(), 34u);
    EXPECT_THAT(Bytes(m.begin(), m.begin() + 9), ElementsAre(0xF0, 0x43, 0x00, 0x4B, 0x00, 0x17, 0x60, 0x00, 0x30));
    const auto data = image().message(Block::Effect);
    EXPECT_EQ(Bytes(m.begin() + 9, m.end() - 2), Bytes(data.begin() + 9, data.end() - 2));
    EXPECT_EQ(m[9 + 20], 33);
    EXPECT_TRUE(sevenBitData(m));
}

TEST_F(EffectPage, DelayLcrShowsTenthsOfMilliseconds) {
    chooseVariation(9);
    EXPECT_EQ(caption(1), "LEFT CHAN DELAY");
    EXPECT_EQ(bar(1)->minimum(), 1);
    EXPECT_EQ(bar(1)->maximum(), 7150);
    EXPECT_EQ(value(1), "333" + dp() + "3ms");
    EXPECT_EQ(value(2), "166" + dp() + "7ms");
    EXPECT_EQ(value(3), "500ms");
    EXPECT_EQ(value(5), "10"); // feedback level 74, signed
    EXPECT_EQ(value(10), "D32 > W");

    // The longest delay: 7150 = 55 x 128 + 110.
    clearSent();
    move(1, 7150);
    EXPECT_EQ(bar(1)->value(), 1);
    EXPECT_EQ(image().data(Block::Effect, 6), 55);
    EXPECT_EQ(image().data(Block::Effect, 7), 110);
    EXPECT_EQ(value(1), "715ms");
    EXPECT_THAT(sent(), ElementsAre(wide(0x36, 55, 110)));

    clearSent();
    move(10, 100);
    EXPECT_EQ(effectValue(16), 100);
    EXPECT_EQ(value(10), "D < W36");
    EXPECT_THAT(sent(), ElementsAre(wide(0x40, 0, 100)));
}

TEST_F(EffectPage, TenthsFollowTheLocalesDecimalSeparator) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    chooseVariation(9);
    EXPECT_EQ(value(1), "333,3ms");
    drag(w->NoteDetune, 128);
    EXPECT_EQ(label("NoteDetune"), "-12,8 Hz");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    chooseVariation(9);
    EXPECT_EQ(value(1), "333.3ms");
    drag(w->NoteDetune, -15);
    EXPECT_EQ(label("NoteDetune"), "+1.5 Hz");
    // The table texts keep their decimal comma whatever the locale.
    chooseVariation(1);
    EXPECT_EQ(value(1), "2,1s");
    QLocale::setDefault(saved);
}

TEST_F(EffectPage, OffAndThruDisableEveryBar) {
    chooseVariation(1);
    for (int row : {0, 43}) {
        SCOPED_TRACE(row);
        chooseVariation(row);
        for (int p : kVariationParams) {
            EXPECT_FALSE(bar(p)->isEnabled()) << p;
            EXPECT_EQ(caption(p), "--") << p;
            EXPECT_EQ(value(p), "0") << p;
            EXPECT_EQ(bar(p)->minimum(), 0);
            EXPECT_EQ(bar(p)->maximum(), 1);
        }
    }
}

TEST_F(EffectPage, ThreeBandEqGainsAndOffParameters) {
    chooseVariation(40);
    EXPECT_EQ(caption(1), "EQ  LOW GAIN");
    EXPECT_FALSE(bar(10)->isEnabled());
    EXPECT_EQ(value(10), "0");
    move(1, 52);
    EXPECT_EQ(value(1), "-12dB");
    move(1, 64);
    EXPECT_EQ(value(1), QString::fromUtf8("\u00B10dB"));
    move(1, 76);
    EXPECT_EQ(value(1), "+12dB");
    EXPECT_EQ(effectValue(6), 76);
    show(4, 15);
    EXPECT_EQ(value(4), "1" + dp() + "5");
}

TEST_F(EffectPage, DryWetBalance) {
    chooseVariation(20);
    move(10, 1);
    EXPECT_EQ(value(10), "D63 > W");
    move(10, 64);
    EXPECT_EQ(value(10), "D = W");
    move(10, 127);
    EXPECT_EQ(value(10), "D < W63");
}

TEST_F(EffectPage, ValuesWithoutATableEntryShowTheStoredNumber) {
    chooseVariation(1); // reverb time 0..69
    show(1, 100);
    EXPECT_EQ(value(1), "100");
    EXPECT_EQ(bar(1)->value(), 0); // clamped to the top of the bar
    show(1, 69);
    EXPECT_EQ(value(1), "30,0s");
    show(5, 61); // past the EQ frequency table
    EXPECT_EQ(value(5), "61");

    chooseVariation(13); // early reflection: type 0..5, room size 0..44
    show(1, 6);
    EXPECT_EQ(value(1), "6");
    show(2, 45);
    EXPECT_EQ(value(2), "45");
    show(2, 44);
    EXPECT_EQ(value(2), "7,0");

    chooseVariation(42); // auto wah: cutoff offset 0..127
    show(3, 128);
    EXPECT_EQ(value(3), "128");
    show(3, 46);
    EXPECT_EQ(value(3), "1,00kHz");

    chooseVariation(40); // EQ gain below its table
    show(1, 30);
    EXPECT_EQ(value(1), "30");
    EXPECT_THAT(sent(), SizeIs(4)); // the four type changes only
}

TEST_F(EffectPage, RangeChangesNeverRunTheBarHandlers) {
    chooseVariation(9);
    move(1, 100); // position 7051
    clearSent();
    const PerformanceImage before = image();
    // From 1..7150 at 7051 to 0..1 and back, above and below the new range.
    w->edit->SetVariationRange(1, 34, true, 60);
    EXPECT_EQ(bar(1)->minimum(), 34);
    EXPECT_EQ(bar(1)->maximum(), 60);
    EXPECT_EQ(bar(1)->value(), 60);
    editor::TMainWindow::setPosition(bar(1), 34);
    w->edit->SetVariationRange(1, 100, false, 7150);
    EXPECT_EQ(bar(1)->minimum(), 100);
    EXPECT_EQ(bar(1)->value(), 7150);
    EXPECT_FALSE(bar(1)->isEnabled());
    w->edit->SetVariationRange(1, 0, true, 1);
    EXPECT_EQ(bar(1)->value(), 1);
    w->edit->SetVariationRange(7, 0, true, 99); // no such parameter
    w->edit->ShowVariationValue(6, false);
    EXPECT_EQ(image(), before);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(EffectPage, SendLevelsAreOneByteChanges) {
    drag(w->ChorusToReverb, 27);
    drag(w->VariOnRev, 0);
    drag(w->VariOnCho, 127);
    EXPECT_EQ(label("ChorusToReverb"), "100");
    EXPECT_EQ(label("VariOnRev"), "127");
    EXPECT_EQ(label("VariOnCho"), "0");
    EXPECT_THAT(sent(), ElementsAre(param(0, 0x44, 100), param(0, 0x45, 127), param(0, 0x46, 0)));
}

// The voice list the window shows for a layer's bank.
TEST_F(EffectPage, VoiceListRowsOfTheTellingBanks) {
    auto rows = [&] {
        std::vector<std::string> out;
        for (int i = 0; i < w->PatchVoiceNumber->count(); ++i)
            out.push_back(w->PatchVoiceNumber->item(i)->text().toStdString());
        return out;
    };
    auto showBank = [&](int bank) {
        image().setLayerData(1, 0, BankSelectTable[static_cast<std::size_t>(bank)].msb);
        image().setLayerData(1, 1, BankSelectTable[static_cast<std::size_t>(bank)].lsb);
        w->ShowLayer();
        return rows();
    };
    auto r = showBank(0);
    ASSERT_THAT(r, SizeIs(128));
    EXPECT_EQ(r.front(), "001 GrandPno");
    EXPECT_EQ(r.back(), "128 Gunshot");
    r = showBank(1);
    ASSERT_THAT(r, SizeIs(128));
    EXPECT_EQ(r[3], "004 HnkyTnkK");
    EXPECT_EQ(r[8], "009 --");
    r = showBank(23);
    ASSERT_THAT(r, SizeIs(128));
    EXPECT_EQ(r[61], "062 BrssFall");
    EXPECT_EQ(r[0], "001 --");
    r = showBank(57);
    ASSERT_THAT(r, SizeIs(128));
    EXPECT_EQ(r[0], "001 TechKt A");
    EXPECT_EQ(r[5], "006 909KitA");
    EXPECT_EQ(r[6], "007 --");
    for (int bank = 0; bank < kBankCount; ++bank) {
        r = showBank(bank);
        ASSERT_THAT(r, SizeIs(128)) << bank;
        for (int k = 0; k < 128; ++k) {
            char number[8];
            std::snprintf(number, sizeof number, "%03d ", k + 1);
            EXPECT_EQ(r[static_cast<std::size_t>(k)].substr(0, 4), number) << bank;
        }
    }
    EXPECT_THAT(sent(), IsEmpty());
}

} // namespace
