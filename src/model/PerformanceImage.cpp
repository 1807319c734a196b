#include "model/PerformanceImage.h"

#include <algorithm>
#include <cassert>

namespace patchsmith {

namespace {

struct BlockLayout {
    int start;
    int dataBytes;
    Address base;
};

constexpr std::array<BlockLayout, kBlockCount> kLayout{{
    {0, kCommonDataBytes, {0x60, 0x00, 0x00}},
    {kCommonMessageBytes, kEffectDataBytes, {0x60, 0x00, 0x30}},
    {kCommonMessageBytes + kEffectMessageBytes, kControllerDataBytes, {0x60, 0x00, 0x50}},
    {kCommonMessageBytes + kEffectMessageBytes + kControllerMessageBytes, kLayerDataBytes, {0x60, 0x01, 0x00}},
    {kCommonMessageBytes + kEffectMessageBytes + kControllerMessageBytes + kLayerMessageBytes,
     kLayerDataBytes,
     {0x60, 0x02, 0x00}},
    {kCommonMessageBytes + kEffectMessageBytes + kControllerMessageBytes + 2 * kLayerMessageBytes,
     kLayerDataBytes,
     {0x60, 0x03, 0x00}},
    {kCommonMessageBytes + kEffectMessageBytes + kControllerMessageBytes + 3 * kLayerMessageBytes,
     kLayerDataBytes,
     {0x60, 0x04, 0x00}},
}};

const BlockLayout& layout(Block b) {
    const auto i = static_cast<std::size_t>(b);
    assert(i < kLayout.size());
    return kLayout[i < kLayout.size() ? i : 0];
}

} // namespace

// clang-format off
const std::array<Byte, kCommonDataBytes> kDefaultCommon{
    'I', 'n', 'i', 't', 'P', 'e', 'r', 'f', // name
    0,                                      // category
    100,                                    // volume
    64, 64, 64, 64, 64, 64,                 // scene 1 knobs
    64, 64, 64, 64, 64, 64,                 // scene 2 knobs
    64, 64, 64, 64, 64, 64,                 // unused, carried
    0, 0, 1, 0, 2, 0, 3, 0,                 // assign knob 2: (layer, target) x 4
    64, 64, 64, 64,                         // assign knob 2 sensitivities
    0,                                      // assign knob 1 target
    0, 101,                                 // arpeggio tempo code 101 (140 bpm)
    9,                                      // arpeggio type
    7,                                      // arpeggio subdivide
    0,                                      // arpeggio mode
};
// clang-format on

// clang-format off
const std::array<Byte, kEffectDataBytes> kDefaultEffect{
    0x01, 0x00,                         // reverb Hall 1
    0x41, 0x00,                         // chorus Chorus 1
    0x05, 0x00,                         // variation Delay L-C-R
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // variation parameters 1..5, 10
    64,                                 // unused, carried
    64,                                 // foot-controller variation depth
    0,                                  // chorus to reverb
    40,                                 // variation to reverb
    0,                                  // variation to chorus
};
// clang-format on

const std::array<Byte, kControllerDataBytes> kDefaultController{64, 10, 0, 66, 64, 0, 0, 0, 0};

// clang-format off
const std::array<Byte, kLayerDataBytes> kDefaultLayer{
    0,   0,  0,  1,  64, 8,  0,  100, 64, 64, 64, 0,  127, 0,  40, 127, 2,  64, 64, 64, 64,
    64,  1,  64, 64, 64, 64, 1,  127, 64, 64, 3,  64, 64,  64, 64, 64,  64, 64, 64, 64,
};
// clang-format on

int dataLength(Block b) { return layout(b).dataBytes; }
int messageLength(Block b) { return layout(b).dataBytes + kFramingBytes; }
Address baseAddress(Block b) { return layout(b).base; }

std::span<Byte> PerformanceImage::message(Block b) {
    const auto& l = layout(b);
    return std::span<Byte>(bytes_).subspan(static_cast<std::size_t>(l.start),
                                           static_cast<std::size_t>(l.dataBytes + kFramingBytes));
}

std::span<const Byte> PerformanceImage::message(Block b) const {
    const auto& l = layout(b);
    return std::span<const Byte>(bytes_).subspan(static_cast<std::size_t>(l.start),
                                                 static_cast<std::size_t>(l.dataBytes + kFramingBytes));
}

Byte PerformanceImage::data(Block b, int offset) const {
    const auto& l = layout(b);
    if (offset < 0 || offset >= l.dataBytes) return 0;
    return bytes_[static_cast<std::size_t>(l.start + kHeaderBytes + offset)];
}

void PerformanceImage::setData(Block b, int offset, Byte value) {
    const auto& l = layout(b);
    if (offset < 0 || offset >= l.dataBytes) return;
    bytes_[static_cast<std::size_t>(l.start + kHeaderBytes + offset)] = value;
}

void writeCurrentHeader(std::span<Byte> message, Block b) {
    const auto& l = layout(b);
    if (message.size() < static_cast<std::size_t>(l.dataBytes + kFramingBytes)) return;
    message[0] = 0xF0;
    message[1] = 0x43;
    message[2] = 0x00;
    message[3] = 0x4B;
    message[4] = static_cast<Byte>((l.dataBytes >> 7) & 0x7F);
    message[5] = static_cast<Byte>(l.dataBytes & 0x7F);
    message[6] = l.base.high;
    message[7] = l.base.mid;
    message[8] = l.base.low;
    message[static_cast<std::size_t>(l.dataBytes + kFramingBytes - 1)] = 0xF7;
}

void PerformanceImage::fillDefaults() {
    auto fill = [this](Block b, std::span<const Byte> defaults) {
        auto msg = message(b);
        std::copy(defaults.begin(), defaults.end(), msg.begin() + kHeaderBytes);
        // A header makes the stored block a well-formed message (for the layer
        // clipboard and files); senders rewrite it anyway.
        writeCurrentHeader(msg, b);
    };
    fill(Block::Common, kDefaultCommon);
    fill(Block::Effect, kDefaultEffect);
    fill(Block::Controller, kDefaultController);
    for (int layer = 1; layer <= 4; ++layer) fill(layerBlock(layer), kDefaultLayer);
}

} // namespace patchsmith
