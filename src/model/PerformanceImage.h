#pragma once
// The editor's byte-exact copy of the CS1x's current performance: seven
// blocks, each kept as the complete bulk-dump message that carries it, so
// receiving, sending and copying a block are plain copies of whole messages.

#include "model/Bytes.h"

#include <array>
#include <span>

namespace patchsmith {

enum class Block : int { Common = 0, Effect, Controller, Layer1, Layer2, Layer3, Layer4 };

inline constexpr int kBlockCount = 7;
inline constexpr int kHeaderBytes = 9;   // F0 43 0n 4B count(2) address(3)
inline constexpr int kFramingBytes = 11; // header + checksum + F7

inline constexpr int kCommonDataBytes = 46;
inline constexpr int kEffectDataBytes = 23;
inline constexpr int kControllerDataBytes = 9;
inline constexpr int kLayerDataBytes = 41;
inline constexpr int kUserEffectDataBytes = 21;

inline constexpr int kCommonMessageBytes = kCommonDataBytes + kFramingBytes;         // 57
inline constexpr int kEffectMessageBytes = kEffectDataBytes + kFramingBytes;         // 34
inline constexpr int kControllerMessageBytes = kControllerDataBytes + kFramingBytes; // 20
inline constexpr int kLayerMessageBytes = kLayerDataBytes + kFramingBytes;           // 52
inline constexpr int kUserEffectMessageBytes = kUserEffectDataBytes + kFramingBytes; // 32

// Layer n (1..4) as a block.
constexpr Block layerBlock(int layer) { return static_cast<Block>(static_cast<int>(Block::Layer1) + layer - 1); }
constexpr bool isLayerBlock(Block b) { return static_cast<int>(b) >= static_cast<int>(Block::Layer1); }
constexpr int layerOf(Block b) { return static_cast<int>(b) - static_cast<int>(Block::Layer1) + 1; }

// Number of data bytes of a block of the current performance.
int dataLength(Block b);
// Message length (data + 11) of a block of the current performance.
int messageLength(Block b);
// Parameter address of the block's data byte 0 (60 00 00, 60 00 30, 60 00 50, 60 0n 00).
Address baseAddress(Block b);

using LayerMessage = std::array<Byte, kLayerMessageBytes>;

class PerformanceImage {
public:
    static constexpr int kTotalBytes =
        kCommonMessageBytes + kEffectMessageBytes + kControllerMessageBytes + 4 * kLayerMessageBytes;

    PerformanceImage() = default;

    std::span<Byte> message(Block b);
    std::span<const Byte> message(Block b) const;
    std::span<Byte> layerMessage(int layer) { return message(layerBlock(layer)); }
    std::span<const Byte> layerMessage(int layer) const { return message(layerBlock(layer)); }

    // Data byte at `offset` of a block (message byte 9 + offset). An offset
    // outside the block reads 0 and writes nothing.
    Byte data(Block b, int offset) const;
    void setData(Block b, int offset, Byte value);
    Byte layerData(int layer, int offset) const { return data(layerBlock(layer), offset); }
    void setLayerData(int layer, int offset, Byte value) { setData(layerBlock(layer), offset, value); }

    // The whole image, blocks in transfer order, for comparisons and tests.
    std::span<const Byte, kTotalBytes> bytes() const { return bytes_; }
    friend bool operator==(const PerformanceImage&, const PerformanceImage&) = default;

    // Puts the default performance ("InitPerf") into the data bytes of all
    // seven blocks and writes each block's header and end byte.
    void fillDefaults();

private:
    std::array<Byte, kTotalBytes> bytes_{};
};

// The default data bytes of each block (the "InitPerf" performance).
extern const std::array<Byte, kCommonDataBytes> kDefaultCommon;
extern const std::array<Byte, kEffectDataBytes> kDefaultEffect;
extern const std::array<Byte, kControllerDataBytes> kDefaultController;
extern const std::array<Byte, kLayerDataBytes> kDefaultLayer;

// Writes the bulk-dump header of a current-performance block (device 0,
// byte count, address; layer number in byte 7) and F7 into the last byte.
void writeCurrentHeader(std::span<Byte> message, Block b);

} // namespace patchsmith
