// The virtual CS1x model alone: answers byte for byte, where received data
// lands, what is ignored.

#include "synth/VirtualCs1x.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace patchsmith;
using namespace patchsmith::synth;

namespace {

using Bytes = std::vector<Byte>;

// Count + address + data + checksum must be a multiple of 128.
bool checksumValid(const Bytes& m) {
    unsigned sum = 0;
    for (std::size_t i = 4; i + 1 < m.size(); ++i) sum += m[i];
    return sum % 128 == 0;
}

Bytes request(Byte high, Byte mid, Byte low) { return {0xF0, 0x43, 0x20, 0x4B, high, mid, low, 0xF7}; }

// A bulk dump with a correct checksum, built here independently of the model.
Bytes dump(Byte high, Byte mid, Byte low, const Bytes& data) {
    Bytes m(9 + data.size());
    const Byte header[9] = {
        0xF0, 0x43, 0x00, 0x4B, static_cast<Byte>(data.size() >> 7), static_cast<Byte>(data.size() & 0x7F),
        high, mid,  low};
    std::copy(std::begin(header), std::end(header), m.begin());
    std::copy(data.begin(), data.end(), m.begin() + 9);
    unsigned sum = 0;
    for (std::size_t i = 4; i < m.size(); ++i) sum += m[i];
    m.push_back(static_cast<Byte>((128 - sum % 128) % 128));
    m.push_back(0xF7);
    return m;
}

std::string nameIn(const Bytes& commonDump) { return std::string(commonDump.begin() + 9, commonDump.begin() + 17); }

template <std::size_t N>
Bytes asBytes(const std::array<Byte, N>& a) {
    return Bytes(a.begin(), a.end());
}

} // namespace

TEST(VirtualCs1xIdentity, AnswersTheUniversalRequestForDevice0AndForAll) {
    VirtualCs1x synth;
    const Bytes expected{0xF0,        0x7E,        0x00,        0x06,        0x02,
                         0x43,        kFamilyLow,  kFamilyHigh, kMemberLow,  kMemberHigh,
                         kVersion[0], kVersion[1], kVersion[2], kVersion[3], 0xF7};
    for (Byte device : {Byte{0x00}, Byte{0x7F}}) {
        const auto answers = synth.receive(Bytes{0xF0, 0x7E, device, 0x06, 0x01, 0xF7});
        ASSERT_EQ(answers.size(), 1u) << int(device);
        EXPECT_EQ(answers[0], expected);
        EXPECT_EQ(answers[0].size(), 15u);
        for (std::size_t i = 1; i + 1 < answers[0].size(); ++i) EXPECT_LT(answers[0][i], 0x80);
    }
    // Another device number, or a request that is not an inquiry: silence.
    EXPECT_TRUE(synth.receive(Bytes{0xF0, 0x7E, 0x05, 0x06, 0x01, 0xF7}).empty());
    EXPECT_TRUE(synth.receive(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7}).empty());
    EXPECT_TRUE(synth.receive(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01, 0x00, 0xF7}).empty());
}

TEST(VirtualCs1xPowerOn, UserPerformancesCarryTheFactoryNamesAndTheEditBufferHoldsTheFirst) {
    VirtualCs1x synth;
    EXPECT_EQ(synth.userPerformance(0).name(), "umTrax2 ");
    EXPECT_EQ(synth.userPerformance(0).category(), 17); // DR
    EXPECT_EQ(synth.userPerformance(4).name(), "Superarp");
    EXPECT_EQ(synth.userPerformance(4).category(), 22); // SQ
    EXPECT_EQ(synth.userPerformance(127).name(), "EuroKit ");
    EXPECT_EQ(synth.userPerformance(127).category(), 20); // CO

    // Apart from name and category, every user performance is the initial one
    // without the variation sends, which a stored performance does not have.
    PerformanceData expected = initialPerformance();
    expected.effect[21] = 0;
    expected.effect[22] = 0;
    for (int n = 0; n < kUserPerformanceCount; ++n) {
        PerformanceData p = synth.userPerformance(n);
        EXPECT_LE(p.category(), 22) << n;
        for (int k = 0; k < 8; ++k) EXPECT_LT(p.common[k], 0x80);
        p.setName("InitPerf");
        p.common[8] = 0;
        EXPECT_EQ(p, expected) << "user performance " << n + 1;
    }
    EXPECT_EQ(synth.editBuffer(), synth.userPerformance(0));
    EXPECT_EQ(synth.editBuffer().common[9], 100);    // volume
    EXPECT_EQ(synth.editBuffer().effect[2], 0x41);   // Chorus 1
    EXPECT_EQ(synth.editBuffer().controller[3], 66); // pitch bend +2
    EXPECT_EQ(synth.editBuffer().layers[3][14], 40); // reverb send
    EXPECT_EQ(synth.editBuffer().layers[3][31], 3);  // LFO wave element
}

TEST(VirtualCs1xPowerOn, CategoryListAndNamePadding) {
    EXPECT_EQ(categoryIndex("--"), 0);
    EXPECT_EQ(categoryIndex("PF"), 1);
    EXPECT_EQ(categoryIndex("PI"), 10);
    EXPECT_EQ(categoryIndex("SQ"), 22);
    EXPECT_FALSE(categoryIndex("XX"));
    EXPECT_FALSE(categoryIndex(""));
    PerformanceData p;
    p.setName("Abc");
    EXPECT_EQ(p.name(), "Abc     ");
    p.setName("LongerThanEight");
    EXPECT_EQ(p.name(), "LongerTh");
    p.setName("\xC3\xA9t\xC3\xA9"); // non-ASCII never becomes a byte with bit 7
    for (int k = 0; k < 8; ++k) EXPECT_LT(p.common[k], 0x80);
}

TEST(VirtualCs1xDumpRequest, EditBufferBlocksComeBackByteExact) {
    VirtualCs1x synth;
    const PerformanceData& e = synth.editBuffer();
    struct Case {
        Byte mid, low;
        Bytes data;
        std::size_t length;
    };
    const std::vector<Case> cases{
        {0x00, 0x00, asBytes(e.common), 57},     {0x00, 0x30, asBytes(e.effect), 34},
        {0x00, 0x50, asBytes(e.controller), 20}, {0x01, 0x00, asBytes(e.layers[0]), 52},
        {0x02, 0x00, asBytes(e.layers[1]), 52},  {0x03, 0x00, asBytes(e.layers[2]), 52},
        {0x04, 0x00, asBytes(e.layers[3]), 52},
    };
    for (const Case& c : cases) {
        const auto answers = synth.receive(request(0x60, c.mid, c.low));
        ASSERT_EQ(answers.size(), 1u);
        const Bytes& a = answers[0];
        EXPECT_EQ(a, dump(0x60, c.mid, c.low, c.data));
        EXPECT_EQ(a.size(), c.length);
        EXPECT_TRUE(checksumValid(a));
    }
    EXPECT_EQ(nameIn(synth.receive(request(0x60, 0x00, 0x00))[0]), "umTrax2 ");
}

TEST(VirtualCs1xDumpRequest, UserPerformanceBlocksComeBackWithTheirAddressAnd21EffectBytes) {
    VirtualCs1x synth;
    for (Byte nn : {Byte{0}, Byte{9}, Byte{127}}) {
        const PerformanceData& p = synth.userPerformance(nn);
        auto common = synth.receive(request(0x70, nn, 0x00));
        ASSERT_EQ(common.size(), 1u);
        EXPECT_EQ(common[0], dump(0x70, nn, 0x00, asBytes(p.common)));
        EXPECT_EQ(common[0].size(), 57u);

        auto effect = synth.receive(request(0x70, nn, 0x30));
        ASSERT_EQ(effect.size(), 1u);
        EXPECT_EQ(effect[0], dump(0x70, nn, 0x30, Bytes(p.effect.begin(), p.effect.begin() + 21)));
        EXPECT_EQ(effect[0].size(), 32u);
        EXPECT_EQ(effect[0][4], 0x00);
        EXPECT_EQ(effect[0][5], 0x15);

        auto controller = synth.receive(request(0x70, nn, 0x50));
        ASSERT_EQ(controller.size(), 1u);
        EXPECT_EQ(controller[0], dump(0x70, nn, 0x50, asBytes(p.controller)));

        for (Byte layer = 1; layer <= 4; ++layer) {
            auto l = synth.receive(request(static_cast<Byte>(0x70 + layer), nn, 0x00));
            ASSERT_EQ(l.size(), 1u);
            EXPECT_EQ(l[0], dump(static_cast<Byte>(0x70 + layer), nn, 0x00, asBytes(p.layers[layer - 1])));
            EXPECT_TRUE(checksumValid(l[0]));
        }
    }
    EXPECT_EQ(nameIn(synth.receive(request(0x70, 0x7F, 0x00))[0]), "EuroKit ");
}

TEST(VirtualCs1xDumpRequest, UnknownAddressesAndOtherDevicesGetNoAnswer) {
    VirtualCs1x synth;
    const std::vector<Bytes> unanswered{
        request(0x60, 0x00, 0x01), // inside a block, not its start
        request(0x60, 0x00, 0x10),
        request(0x60, 0x05, 0x00),
        request(0x60, 0x00, 0x40),
        request(0x70, 0x00, 0x40),
        request(0x70, 0x00, 0x01),
        request(0x71, 0x00, 0x30),
        request(0x75, 0x00, 0x00),
        request(0x6F, 0x00, 0x00),
        request(0x00, 0x00, 0x00),
        {0xF0, 0x43, 0x21, 0x4B, 0x60, 0x00, 0x00, 0xF7},       // device 1
        {0xF0, 0x43, 0x20, 0x4C, 0x60, 0x00, 0x00, 0xF7},       // another model
        {0xF0, 0x44, 0x20, 0x4B, 0x60, 0x00, 0x00, 0xF7},       // another maker
        {0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x00, 0x00, 0xF7}, // one byte too many
        {0xF0, 0x43, 0x30, 0x4B, 0x60, 0x00, 0x00, 0xF7},       // no such status
    };
    for (const Bytes& m : unanswered) EXPECT_TRUE(synth.receive(m).empty());
    EXPECT_EQ(synth.ignoredCount(), unanswered.size());
}

TEST(VirtualCs1xParameterChange, OneOrTwoBytesLandAtTheirOffsetsInTheEditBuffer) {
    VirtualCs1x synth;
    // Layer 2 amp-EG attack (offset 19).
    EXPECT_TRUE(synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x02, 0x13, 0x58, 0xF7}).empty());
    EXPECT_EQ(synth.editBuffer().layers[1][19], 0x58);
    EXPECT_EQ(synth.editBuffer().layers[0][19], 64);
    // Arpeggio tempo, two bytes at 41 and 42.
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x29, 0x01, 0x49, 0xF7});
    EXPECT_EQ(synth.editBuffer().common[41], 1);
    EXPECT_EQ(synth.editBuffer().common[42], 0x49);
    // Variation to chorus, the effect block's last byte.
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x46, 0x22, 0xF7});
    EXPECT_EQ(synth.editBuffer().effect[22], 0x22);
    // Variation parameter 10, a pair at 40/41.
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x40, 0x03, 0x7F, 0xF7});
    EXPECT_EQ(synth.editBuffer().effect[16], 0x03);
    EXPECT_EQ(synth.editBuffer().effect[17], 0x7F);
    // Portamento time, the controller block's last byte; layer 4's last byte.
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x58, 0x11, 0xF7});
    EXPECT_EQ(synth.editBuffer().controller[8], 0x11);
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x04, 0x28, 0x12, 0xF7});
    EXPECT_EQ(synth.editBuffer().layers[3][40], 0x12);
    // The change shows in the next dump.
    EXPECT_EQ(synth.receive(request(0x60, 0x02, 0x00))[0][9 + 19], 0x58);
    // The stored performance is untouched.
    EXPECT_EQ(synth.userPerformance(0).layers[1][19], 64);
    EXPECT_EQ(synth.ignoredCount(), 0u);
}

TEST(VirtualCs1xParameterChange, AddressesOutsideTheEditBufferAreIgnored) {
    VirtualCs1x synth;
    const PerformanceData before = synth.editBuffer();
    const PerformanceData userBefore = synth.userPerformance(3);
    const std::vector<Bytes> ignored{
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x2E, 0x01, 0xF7},       // gap after the common block
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x47, 0x01, 0xF7},       // gap after the effect block
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x59, 0x01, 0xF7},       // after the controller block
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x01, 0x29, 0x01, 0xF7},       // after layer 1
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x05, 0x00, 0x01, 0xF7},       // no layer 5
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x2D, 0x01, 0x02, 0xF7}, // second byte past the end
        {0xF0, 0x43, 0x10, 0x4B, 0x70, 0x03, 0x00, 0x41, 0xF7},       // a user performance
        {0xF0, 0x43, 0x11, 0x4B, 0x60, 0x00, 0x09, 0x01, 0xF7},       // device 1
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0xF7},             // no data
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 1, 2, 3, 0xF7},    // three bytes
    };
    for (const Bytes& m : ignored) EXPECT_TRUE(synth.receive(m).empty());
    EXPECT_EQ(synth.editBuffer(), before);
    EXPECT_EQ(synth.userPerformance(3), userBefore);
    EXPECT_EQ(synth.ignoredCount(), ignored.size());
}

TEST(VirtualCs1xBulkDump, LandsInTheEditBufferOrTheAddressedUserPerformance) {
    VirtualCs1x synth;
    Bytes common = asBytes(synth.editBuffer().common);
    const std::string name = "NewSound";
    std::copy(name.begin(), name.end(), common.begin());
    common[8] = 11;
    EXPECT_TRUE(synth.receive(dump(0x60, 0x00, 0x00, common)).empty());
    EXPECT_EQ(synth.editBuffer().name(), "NewSound");
    EXPECT_EQ(synth.editBuffer().category(), 11);
    EXPECT_EQ(nameIn(synth.receive(request(0x60, 0x00, 0x00))[0]), "NewSound");

    Bytes layer(41);
    for (int k = 0; k < 41; ++k) layer[static_cast<std::size_t>(k)] = static_cast<Byte>(k + 1);
    synth.receive(dump(0x60, 0x03, 0x00, layer));
    EXPECT_EQ(asBytes(synth.editBuffer().layers[2]), layer);

    // A user performance: the 21-byte effect block leaves the two sends alone.
    Bytes effect(21, 0x11);
    synth.receive(dump(0x70, 0x09, 0x30, effect));
    EXPECT_EQ(Bytes(synth.userPerformance(9).effect.begin(), synth.userPerformance(9).effect.begin() + 21), effect);
    EXPECT_EQ(synth.userPerformance(9).effect[21], 0);
    EXPECT_EQ(synth.userPerformance(9).effect[22], 0);
    synth.receive(dump(0x74, 0x7F, 0x00, layer));
    EXPECT_EQ(asBytes(synth.userPerformance(127).layers[3]), layer);
    EXPECT_EQ(asBytes(synth.userPerformance(127).layers[2]), asBytes(synth.userPerformance(0).layers[2]));
    Bytes controller(9, 0x05);
    synth.receive(dump(0x70, 0x00, 0x50, controller));
    EXPECT_EQ(asBytes(synth.userPerformance(0).controller), controller);
    // The stored one changed; the edit buffer recalled from it before did not.
    EXPECT_NE(asBytes(synth.editBuffer().controller), controller);
    // And a dump request returns what was written, with a valid checksum.
    const auto back = synth.receive(request(0x70, 0x09, 0x30));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], dump(0x70, 0x09, 0x30, effect));
    EXPECT_EQ(synth.ignoredCount(), 0u);
}

TEST(VirtualCs1xBulkDump, WrongChecksumCountOrSizeIsIgnored) {
    VirtualCs1x synth;
    const PerformanceData before = synth.editBuffer();
    const PerformanceData userBefore = synth.userPerformance(2);
    Bytes common = asBytes(before.common);
    common[0] = 'X';

    Bytes badChecksum = dump(0x60, 0x00, 0x00, common);
    badChecksum[badChecksum.size() - 2] = static_cast<Byte>((badChecksum[badChecksum.size() - 2] + 1) & 0x7F);

    Bytes countTooHigh = dump(0x60, 0x00, 0x00, common);
    countTooHigh[5] = 0x2F; // says 47, carries 46
    Bytes countTooLow = dump(0x60, 0x00, 0x00, common);
    countTooLow[5] = 0x2D;
    Bytes shortOne = dump(0x60, 0x00, 0x00, Bytes(common.begin(), common.end() - 1)); // 45 bytes, consistent
    Bytes effect23 = dump(0x70, 0x02, 0x30, Bytes(23, 0x01)); // the edit buffer's size to a stored one
    Bytes effect21 = dump(0x60, 0x00, 0x30, Bytes(21, 0x01)); // and the other way round
    Bytes wrongAddress = dump(0x60, 0x00, 0x01, Bytes(46, 0x01));
    Bytes highBit = dump(0x70, 0x02, 0x00, common);
    highBit[20] = 0x80;
    Bytes noEnd = dump(0x70, 0x02, 0x00, common);
    noEnd.pop_back();
    Bytes otherDevice = dump(0x70, 0x02, 0x00, common);
    otherDevice[2] = 0x03;

    for (const Bytes* m : {&badChecksum, &countTooHigh, &countTooLow, &shortOne, &effect23, &effect21, &wrongAddress,
                           &highBit, &noEnd, &otherDevice})
        EXPECT_TRUE(synth.receive(*m).empty());
    EXPECT_EQ(synth.editBuffer(), before);
    EXPECT_EQ(synth.userPerformance(2), userBefore);
    EXPECT_EQ(synth.ignoredCount(), 10u);
}

TEST(VirtualCs1xProgramChange, BankSelect63And65ThenProgramRecallsTheUserPerformance) {
    VirtualCs1x synth;
    synth.userPerformance(5).layers[0][2] = 33;
    // Without the user bank selected a program change switches nothing.
    synth.receive(Bytes{0xC0, 0x05});
    EXPECT_EQ(synth.editBuffer().name(), "umTrax2 ");

    synth.receive(Bytes{0xB0, 0x00, 0x3F});
    synth.receive(Bytes{0xB0, 0x20, 0x41});
    synth.receive(Bytes{0xC0, 0x05});
    EXPECT_EQ(synth.editBuffer().name(), synth.userPerformance(5).name());
    EXPECT_EQ(synth.editBuffer().layers[0][2], 33);
    EXPECT_EQ(synth.editBuffer().effect[21], 0);

    // The bank stays selected; other channels do not switch.
    synth.receive(Bytes{0xC1, 0x7F});
    EXPECT_EQ(synth.editBuffer().name(), synth.userPerformance(5).name());
    synth.receive(Bytes{0xC0, 0x7F});
    EXPECT_EQ(synth.editBuffer().name(), "EuroKit ");

    // Another bank: the program change leaves the edit buffer alone.
    synth.receive(Bytes{0xB0, 0x20, 0x40});
    synth.receive(Bytes{0xC0, 0x01});
    EXPECT_EQ(synth.editBuffer().name(), "EuroKit ");
    // Edits to the edit buffer are lost by a switch, the stored one stays.
    synth.receive(Bytes{0xB0, 0x20, 0x41});
    synth.receive(Bytes{0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x05, 0xF7});
    synth.receive(Bytes{0xC0, 0x7F});
    EXPECT_EQ(synth.editBuffer().common[9], 100);
}

TEST(VirtualCs1xPanel, KnobsProgramChangesAndNotesGoOutOnTheirChannel) {
    VirtualCs1x synth;
    EXPECT_EQ(synth.turnKnob(74, 0, 1), (Bytes{0xB0, 74, 0}));
    EXPECT_EQ(synth.turnKnob(71, 127, 16), (Bytes{0xBF, 71, 127}));
    EXPECT_FALSE(synth.turnKnob(70, 0, 1));
    EXPECT_FALSE(synth.turnKnob(75, 0, 1));
    EXPECT_FALSE(synth.turnKnob(72, 128, 1));
    EXPECT_FALSE(synth.turnKnob(72, -1, 1));
    EXPECT_FALSE(synth.turnKnob(72, 1, 0));
    EXPECT_FALSE(synth.turnKnob(72, 1, 17));

    EXPECT_EQ(synth.programChange(9, 3), (Bytes{0xC2, 9}));
    EXPECT_EQ(synth.editBuffer().name(), synth.userPerformance(9).name());
    EXPECT_FALSE(synth.programChange(128, 1));
    EXPECT_FALSE(synth.programChange(-1, 1));
    EXPECT_EQ(synth.editBuffer().name(), synth.userPerformance(9).name());

    EXPECT_EQ(synth.note(60, 100, 10), (Bytes{0x99, 60, 100}));
    EXPECT_EQ(synth.note(60, 0, 1), (Bytes{0x90, 60, 0}));
    EXPECT_FALSE(synth.note(128, 1, 1));
    EXPECT_FALSE(synth.note(1, 128, 1));
}

TEST(VirtualCs1xRobustness, ForeignAndGarbledInputIsIgnored) {
    VirtualCs1x synth;
    const PerformanceData before = synth.editBuffer();
    const std::vector<Bytes> garbage{
        {},
        {0xF0},
        {0xF0, 0xF7},
        {0xF7},
        {0x00, 0x01, 0x02},
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x05},                   // no F7
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, 0x09, 0x85, 0xF7},             // data byte with bit 7
        {0xF0, 0x43, 0x10, 0x4B, 0x60, 0xF7, 0x09, 0x05, 0xF7},             // F7 inside
        {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}, // another maker's reset
        {0xB0, 0x00},                                                       // controller cut short
        {0xB0, 0x00, 0x3F, 0x00},                                           // one byte too many
        {0xC0, 0x85},                                                       // program with bit 7
        {0xF8},                                                             // clock
        {0xFE},                                                             // active sensing
        {0x90, 0x3C},
    };
    for (const Bytes& m : garbage) EXPECT_TRUE(synth.receive(m).empty());
    EXPECT_EQ(synth.editBuffer(), before);

    // Random input never crashes, and anything said back is a whole SysEx message.
    std::mt19937 rng(1234);
    for (int i = 0; i < 2000; ++i) {
        Bytes m(static_cast<std::size_t>(rng() % 70));
        for (Byte& b : m) b = static_cast<Byte>(rng());
        if (!m.empty() && i % 2 == 0) m[0] = 0xF0;
        if (m.size() > 1 && i % 4 == 0) m.back() = 0xF7;
        for (const Message& a : synth.receive(m)) {
            ASSERT_GE(a.size(), 6u);
            EXPECT_EQ(a.front(), 0xF0);
            EXPECT_EQ(a.back(), 0xF7);
        }
    }
}
