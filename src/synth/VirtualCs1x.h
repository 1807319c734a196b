#pragma once
// A software CS1x, as far as its MIDI side goes: the edit buffer (the
// performance being played), the 128 user performances, and the answers the
// instrument gives to identity requests, dump requests, parameter changes,
// bulk dumps and bank select / program change. It exists so that fetching,
// switching and transfers can be tried and tested without an instrument.
//
// This class is plain data and logic, single-threaded and without timing:
// `receive` takes one complete incoming message and returns the messages the
// instrument sends back. SynthRunner adds a thread and the cable's timing.
//
// It deliberately shares no code with the editor's message building: it
// keeps its own layouts, defaults and checksum so that it checks the editor
// rather than repeating its mistakes.

#include "model/Bytes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::synth {

using Message = std::vector<Byte>;

inline constexpr int kUserPerformanceCount = 128;
inline constexpr int kLayerCount = 4;
inline constexpr int kCommonSize = 46;
inline constexpr int kEffectSize = 23;     // edit buffer
inline constexpr int kUserEffectSize = 21; // stored performance: no variation sends
inline constexpr int kControllerSize = 9;
inline constexpr int kLayerSize = 41;

// The device number the instrument answers to (shown as "1" on its panel).
inline constexpr Byte kDeviceNumber = 0x00;

// What the identity reply reports. The family and member codes are the ones
// this model uses for itself; the editor shows member low, member high and
// the last version byte. All seven-bit.
inline constexpr Byte kFamilyLow = 0x00;
inline constexpr Byte kFamilyHigh = 0x00;
inline constexpr Byte kMemberLow = 0x4B; // the CS1x model ID of its SysEx messages
inline constexpr Byte kMemberHigh = 0x00;
inline constexpr std::array<Byte, 4> kVersion{0x00, 0x00, 0x01, 0x01}; // last byte: tone generator level

// Bank through which the 128 user performances are reached on channel 1.
inline constexpr Byte kUserBankMsb = 63;
inline constexpr Byte kUserBankLsb = 65;

// The data bytes of one performance, without any message framing. A user
// performance keeps only the first 21 effect bytes; the last two are 0.
struct PerformanceData {
    std::array<Byte, kCommonSize> common{};
    std::array<Byte, kEffectSize> effect{};
    std::array<Byte, kControllerSize> controller{};
    std::array<std::array<Byte, kLayerSize>, kLayerCount> layers{};

    // The 8 name characters.
    std::string name() const;
    // Sets the name: cut or padded with blanks to 8 characters.
    void setName(std::string_view text);
    Byte category() const { return common[8]; }

    friend bool operator==(const PerformanceData&, const PerformanceData&) = default;
};

// The instrument's initial performance data ("InitPerf", all layers alike).
PerformanceData initialPerformance();

// Factory name and category of user performance n (0..127, clamped), as the
// instrument ships. The name is the list text; storing it pads it to 8.
struct FactoryEntry {
    std::string_view name;
    Byte category;
};
FactoryEntry factoryPerformance(int n);
// The category list index (0..22) of an abbreviation ("--", "PF" .. "SQ");
// nullopt for an unknown text.
std::optional<Byte> categoryIndex(std::string_view abbreviation);

// 7-bit YAMAHA bulk checksum over count, address and data.
Byte bulkChecksum(std::span<const Byte> countAddressAndData);

class VirtualCs1x {
public:
    // Powered on: factory names and categories, edit buffer = user performance 1.
    VirtualCs1x();

    // Back to the power-on state.
    void powerOn();

    // One complete incoming message (a system-exclusive message F0..F7, or a
    // channel message of 1..3 bytes). Returns the instrument's answers, in
    // order; anything it does not understand is ignored.
    std::vector<Message> receive(std::span<const Byte> message);

    // Panel events. Each returns the message the instrument sends, or
    // nullopt when the arguments are out of range (channel 1..16, knob
    // controller 71..74, values 0..127).
    std::optional<Message> turnKnob(int controller, int value, int channel);
    // Selecting user performance `program` (0..127) on the panel: it is
    // recalled into the edit buffer and a program change goes out.
    std::optional<Message> programChange(int program, int channel);
    // A key: velocity 0 is a note off (sent as a note on with velocity 0).
    std::optional<Message> note(int noteNumber, int velocity, int channel);

    PerformanceData& editBuffer() { return edit_; }
    const PerformanceData& editBuffer() const { return edit_; }
    // User performance n, 0..127 (n outside gives performance 1).
    PerformanceData& userPerformance(int n);
    const PerformanceData& userPerformance(int n) const;

    // Copies user performance n into the edit buffer.
    void recall(int n);

    // The bulk dump of the block that starts at `address` (edit buffer or a
    // user performance), as the instrument sends it; nullopt for an address
    // that starts no block.
    std::optional<Message> bulkDump(Address address) const;

    // Messages received but not acted on (foreign, damaged, wrong checksum,
    // unknown address, another device number).
    std::size_t ignoredCount() const { return ignored_; }

private:
    struct BlockRef {
        Byte* data = nullptr;
        int size = 0;
        Address base;
    };
    std::optional<BlockRef> blockAt(Address start);
    std::optional<BlockRef> blockContaining(Address address);

    std::vector<Message> receiveSysEx(std::span<const Byte> message);
    void receiveChannel(std::span<const Byte> message);
    bool parameterChange(std::span<const Byte> message);
    bool bulkDumpIn(std::span<const Byte> message);

    PerformanceData edit_;
    std::array<PerformanceData, kUserPerformanceCount> user_;
    Byte bankMsb_ = 0;
    Byte bankLsb_ = 0;
    std::size_t ignored_ = 0;
};

} // namespace patchsmith::synth
