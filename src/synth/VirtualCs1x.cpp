#include "synth/VirtualCs1x.h"
#include "synth/FactoryTable.h"

#include <algorithm>

namespace patchsmith::synth {

namespace {

// The instrument's initial performance, byte for byte.
// clang-format off
constexpr std::array<Byte, kCommonSize> kInitCommon{
    'I', 'n', 'i', 't', 'P', 'e', 'r', 'f', // name
    0,                                      // category "--"
    100,                                    // volume
    64, 64, 64, 64, 64, 64,                 // scene 1: six knobs
    64, 64, 64, 64, 64, 64,                 // scene 2: six knobs
    64, 64, 64, 64, 64, 64,                 // reserved
    0, 0, 1, 0, 2, 0, 3, 0,                 // assign knob 2: layer and target, four times
    64, 64, 64, 64,                         // assign knob 2: sensitivities
    0,                                      // assign knob 1 target: off
    0, 101,                                 // arpeggio tempo 140 bpm
    9,                                      // arpeggio type
    7,                                      // arpeggio subdivide
    0,                                      // arpeggio mode
};
// clang-format on

// clang-format off
constexpr std::array<Byte, kEffectSize> kInitEffect{
    0x01, 0x00, // reverb: Hall 1
    0x41, 0x00, // chorus: Chorus 1
    0x05, 0x00, // variation: Delay L-C-R
    0, 0,       // variation parameter 1
    0, 0,       // 2
    0, 0,       // 3
    0, 0,       // 4
    0, 0,       // 5
    0, 0,       // 10
    64,         // reserved
    64,         // foot controller: variation depth
    0,          // chorus to reverb
    40,         // variation to reverb
    0,          // variation to chorus
};
// clang-format on

// clang-format off
constexpr std::array<Byte, kControllerSize> kInitController{
    64, // modulation wheel: filter
    10, // modulation wheel: pitch modulation
    0,  // modulation wheel: filter modulation
    66, // pitch bend range +2
    64, // foot controller: filter
    0,  // reserved
    0,  // foot controller: filter modulation
    0,  // portamento off
    0,  // portamento time
};
// clang-format on

// clang-format off
constexpr std::array<Byte, kLayerSize> kInitLayer{
    0, 0, 0,    // bank MSB, LSB, program
    1,          // poly
    64,         // note shift
    8, 0,       // detune 0
    100,        // volume
    64, 64,     // velocity sense depth, offset
    64,         // pan centre
    0, 127,     // note limits
    0, 40, 127, // chorus, reverb, variation switch
    2,          // LFO sync: element
    64, 64,     // cutoff, resonance
    64, 64, 64, // amp EG attack, decay, release
    1,          // layer on
    64, 64, 64, 64, // pitch EG initial level, attack, release time, release level
    1, 127,     // velocity limits
    64,         // amp EG sustain
    64,         // LFO speed
    3,          // LFO wave: element
    64, 64, 64, // LFO amplitude, pitch, filter modulation
    64, 64, 64, 64, // filter EG attack, decay, sustain, release
    64, 64,     // pitch EG attack level, decay time
};
// clang-format on

constexpr std::array<std::string_view, 23> kCategories{
    "--", "PF", "CP", "OR", "GT", "BA", "ST", "EN", "BR", "RD", "PI", "LD",
    "PD", "FX", "ET", "PC", "SE", "DR", "SC", "VO", "CO", "WV", "SQ",
};

constexpr Byte kSysExStart = 0xF0;
constexpr Byte kSysExEnd = 0xF7;
constexpr Byte kYamaha = 0x43;
constexpr Byte kModelId = 0x4B;

bool sevenBit(std::span<const Byte> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](Byte b) { return b < 0x80; });
}

} // namespace

std::string PerformanceData::name() const { return std::string(common.begin(), common.begin() + 8); }

void PerformanceData::setName(std::string_view text) {
    for (std::size_t i = 0; i < 8; ++i) {
        const Byte c = i < text.size() ? static_cast<Byte>(text[i]) : Byte{' '};
        common[i] = c < 0x80 ? c : Byte{'?'};
    }
}

PerformanceData initialPerformance() {
    PerformanceData p;
    p.common = kInitCommon;
    p.effect = kInitEffect;
    p.controller = kInitController;
    for (auto& layer : p.layers) layer = kInitLayer;
    return p;
}

FactoryEntry factoryPerformance(int n) {
    const FactoryRow& row = kFactoryRows[static_cast<std::size_t>(std::clamp(n, 0, kUserPerformanceCount - 1))];
    // A category the list does not know falls back to "--".
    return FactoryEntry{row.name, categoryIndex(row.category).value_or(0)};
}

std::optional<Byte> categoryIndex(std::string_view abbreviation) {
    for (std::size_t i = 0; i < kCategories.size(); ++i)
        if (kCategories[i] == abbreviation) return static_cast<Byte>(i);
    return std::nullopt;
}

Byte bulkChecksum(std::span<const Byte> countAddressAndData) {
    unsigned sum = 0;
    for (const Byte b : countAddressAndData) sum += b;
    return static_cast<Byte>((128 - (sum & 0x7F)) & 0x7F);
}

VirtualCs1x::VirtualCs1x() { powerOn(); }

void VirtualCs1x::powerOn() {
    for (int n = 0; n < kUserPerformanceCount; ++n) {
        PerformanceData p = initialPerformance();
        // A stored performance has no place for the variation sends.
        p.effect[21] = 0;
        p.effect[22] = 0;
        const FactoryEntry f = factoryPerformance(n);
        p.setName(f.name);
        p.common[8] = f.category;
        user_[static_cast<std::size_t>(n)] = p;
    }
    bankMsb_ = 0;
    bankLsb_ = 0;
    ignored_ = 0;
    recall(0);
}

PerformanceData& VirtualCs1x::userPerformance(int n) {
    return user_[static_cast<std::size_t>(n >= 0 && n < kUserPerformanceCount ? n : 0)];
}

const PerformanceData& VirtualCs1x::userPerformance(int n) const {
    return user_[static_cast<std::size_t>(n >= 0 && n < kUserPerformanceCount ? n : 0)];
}

void VirtualCs1x::recall(int n) {
    const PerformanceData& stored = userPerformance(n);
    edit_ = stored;
    // Not part of a stored performance: recalled as 0.
    edit_.effect[21] = 0;
    edit_.effect[22] = 0;
}

std::optional<VirtualCs1x::BlockRef> VirtualCs1x::blockAt(Address a) {
    if (a.high == 0x60) {
        if (a.mid == 0x00 && a.low == 0x00) return BlockRef{edit_.common.data(), kCommonSize, a};
        if (a.mid == 0x00 && a.low == 0x30) return BlockRef{edit_.effect.data(), kEffectSize, a};
        if (a.mid == 0x00 && a.low == 0x50) return BlockRef{edit_.controller.data(), kControllerSize, a};
        if (a.mid >= 1 && a.mid <= 4 && a.low == 0x00)
            return BlockRef{edit_.layers[static_cast<std::size_t>(a.mid - 1)].data(), kLayerSize, a};
        return std::nullopt;
    }
    if (a.high < 0x70 || a.high > 0x74 || a.mid >= kUserPerformanceCount) return std::nullopt;
    PerformanceData& p = user_[a.mid];
    if (a.high == 0x70) {
        if (a.low == 0x00) return BlockRef{p.common.data(), kCommonSize, a};
        if (a.low == 0x30) return BlockRef{p.effect.data(), kUserEffectSize, a};
        if (a.low == 0x50) return BlockRef{p.controller.data(), kControllerSize, a};
        return std::nullopt;
    }
    if (a.low == 0x00) return BlockRef{p.layers[static_cast<std::size_t>(a.high - 0x71)].data(), kLayerSize, a};
    return std::nullopt;
}

std::optional<VirtualCs1x::BlockRef> VirtualCs1x::blockContaining(Address a) {
    // Parameter changes reach the edit buffer only.
    if (a.high != 0x60) return std::nullopt;
    const Address starts[] = {{0x60, 0x00, 0x00}, {0x60, 0x00, 0x30}, {0x60, 0x00, 0x50}, {0x60, a.mid, 0x00}};
    for (const Address& s : starts) {
        if (s.mid != a.mid || a.low < s.low) continue;
        auto block = blockAt(s);
        if (block && a.low < s.low + block->size) return block;
    }
    return std::nullopt;
}

std::optional<Message> VirtualCs1x::bulkDump(Address address) const {
    auto block = const_cast<VirtualCs1x*>(this)->blockAt(address);
    if (!block) return std::nullopt;
    Message m;
    m.reserve(static_cast<std::size_t>(block->size) + 11);
    m.insert(m.end(), {kSysExStart, kYamaha, static_cast<Byte>(0x00 | kDeviceNumber), kModelId,
                       static_cast<Byte>(block->size >> 7), static_cast<Byte>(block->size & 0x7F), address.high,
                       address.mid, address.low});
    m.insert(m.end(), block->data, block->data + block->size);
    m.push_back(bulkChecksum(std::span<const Byte>(m).subspan(4)));
    m.push_back(kSysExEnd);
    return m;
}

std::vector<Message> VirtualCs1x::receive(std::span<const Byte> message) {
    if (message.empty()) {
        ++ignored_;
        return {};
    }
    if (message[0] == kSysExStart) return receiveSysEx(message);
    receiveChannel(message);
    return {};
}

std::vector<Message> VirtualCs1x::receiveSysEx(std::span<const Byte> m) {
    // A complete message ends with F7 and carries only data bytes between.
    if (m.size() < 4 || m.back() != kSysExEnd || !sevenBit(m.subspan(1, m.size() - 2))) {
        ++ignored_;
        return {};
    }
    // Universal identity request, to this device or to all.
    if (m.size() == 6 && m[1] == 0x7E && (m[2] == kDeviceNumber || m[2] == 0x7F) && m[3] == 0x06 && m[4] == 0x01) {
        return {Message{kSysExStart, 0x7E, kDeviceNumber, 0x06, 0x02, kYamaha, kFamilyLow, kFamilyHigh, kMemberLow,
                        kMemberHigh, kVersion[0], kVersion[1], kVersion[2], kVersion[3], kSysExEnd}};
    }
    if (m.size() < 8 || m[1] != kYamaha || m[3] != kModelId || (m[2] & 0x0F) != kDeviceNumber) {
        ++ignored_;
        return {};
    }
    switch (m[2] & 0xF0) {
    case 0x20: // dump request
        if (m.size() == 8) {
            if (auto dump = bulkDump(Address{m[4], m[5], m[6]})) return {*dump};
        }
        break;
    case 0x10:
        if (parameterChange(m)) return {};
        break;
    case 0x00:
        if (bulkDumpIn(m)) return {};
        break;
    default: break;
    }
    ++ignored_;
    return {};
}

bool VirtualCs1x::parameterChange(std::span<const Byte> m) {
    // F0 43 1n 4B hh mm ll dd [dd] F7
    if (m.size() != 9 && m.size() != 10) return false;
    const Address a{m[4], m[5], m[6]};
    auto block = blockContaining(a);
    if (!block) return false;
    const int offset = a.low - block->base.low;
    const int count = static_cast<int>(m.size()) - 8;
    // A second byte past the block's end has nowhere to go.
    if (offset + count > block->size) return false;
    for (int i = 0; i < count; ++i) block->data[offset + i] = m[7 + static_cast<std::size_t>(i)];
    return true;
}

bool VirtualCs1x::bulkDumpIn(std::span<const Byte> m) {
    // F0 43 0n 4B count-high count-low hh mm ll data... checksum F7
    if (m.size() < 12) return false;
    const int count = m[4] * 128 + m[5];
    if (static_cast<std::size_t>(count) + 11 != m.size()) return false;
    auto block = blockAt(Address{m[6], m[7], m[8]});
    if (!block || block->size != count) return false;
    if (bulkChecksum(m.subspan(4, m.size() - 6)) != m[m.size() - 2]) return false;
    std::copy_n(m.begin() + 9, count, block->data);
    return true;
}

void VirtualCs1x::receiveChannel(std::span<const Byte> m) {
    const Byte status = m[0];
    const Byte kind = status & 0xF0;
    // Only channel 1 switches performances; every data byte must be 7-bit.
    const bool complete = (kind == 0xC0 || kind == 0xD0) ? m.size() == 2 : m.size() == 3;
    if (status < 0x80 || status >= 0xF0 || !complete || !sevenBit(m.subspan(1))) {
        ++ignored_;
        return;
    }
    if ((status & 0x0F) != 0) return; // other channels: played, nothing to keep
    if (kind == 0xB0 && m[1] == 0x00) bankMsb_ = m[2];
    if (kind == 0xB0 && m[1] == 0x20) bankLsb_ = m[2];
    if (kind == 0xC0 && bankMsb_ == kUserBankMsb && bankLsb_ == kUserBankLsb) recall(m[1]);
}

std::optional<Message> VirtualCs1x::turnKnob(int controller, int value, int channel) {
    if (controller < 71 || controller > 74 || value < 0 || value > 127 || channel < 1 || channel > 16)
        return std::nullopt;
    return Message{static_cast<Byte>(0xB0 | (channel - 1)), static_cast<Byte>(controller), static_cast<Byte>(value)};
}

std::optional<Message> VirtualCs1x::programChange(int program, int channel) {
    if (program < 0 || program >= kUserPerformanceCount || channel < 1 || channel > 16) return std::nullopt;
    recall(program);
    return Message{static_cast<Byte>(0xC0 | (channel - 1)), static_cast<Byte>(program)};
}

std::optional<Message> VirtualCs1x::note(int noteNumber, int velocity, int channel) {
    if (noteNumber < 0 || noteNumber > 127 || velocity < 0 || velocity > 127 || channel < 1 || channel > 16)
        return std::nullopt;
    return Message{static_cast<Byte>(0x90 | (channel - 1)), static_cast<Byte>(noteNumber), static_cast<Byte>(velocity)};
}

} // namespace patchsmith::synth
