#pragma once
// Every system-exclusive message the program sends to the CS1x: parameter
// changes, the layer fan-out, bulk dumps of single blocks, layer dumps, dump
// requests and the identity request, with the YAMAHA bulk checksum.

#include "midi/MidiDevices.h"
#include "model/Model.h"

#include <functional>
#include <optional>
#include <span>

namespace patchsmith {

// Names a block in requests, answers and bulk dumps.
namespace TransferKind {
inline constexpr int Identity = 1;
inline constexpr int CurrentCommon = 5;
inline constexpr int CurrentEffect = 6;
inline constexpr int CurrentController = 7;
inline constexpr int CurrentLayer1 = 8; // 8..11: layers 1..4
inline constexpr int UserCommon = 12;
inline constexpr int UserEffect = 13;
inline constexpr int UserController = 14;
inline constexpr int UserLayer1 = 15; // 15..18: layers 1..4

constexpr bool isCurrent(int kind) { return kind >= 5 && kind <= 11; }
constexpr bool isUser(int kind) { return kind >= 12 && kind <= 18; }
} // namespace TransferKind

// Length of the complete answer to a request of `kind`; 0 for no such kind.
int answerLength(int kind);

// Start address of the block of a bulk kind (5..18), for user kinds of user
// performance `userPerf`; nothing for any other kind.
std::optional<Address> blockAddress(int kind, Byte userPerf);

// Whether a received message is the synth's answer to a request of `kind`
// whose block starts at `address`: an identity reply for kind 1, else a
// CS1x bulk dump (any device number) carrying that address. Its length is
// not looked at.
bool answersRequest(std::span<const Byte> message, int kind, Address address);

class MidiLink {
public:
    MidiLink(Model& model, MidiDevices& devices);

    void SendParamChange(Byte high, Byte mid, Byte low, Byte data);
    void SendParamChangeWide(Byte high, Byte mid, Byte low, Byte data1, Byte data2);
    void SendLayerParam(Byte high, Byte low, Byte data);
    void SendBulkBlock(int kind);
    void SendLayerDumps(bool allLayers);
    void SendRequest(int kind);

    // 7-bit checksum of a bulk dump: makes count + address + data + checksum
    // a multiple of 128 (bytes 4 .. length-3 are summed).
    static Byte SysExChecksum(std::span<const Byte> message);

    // The stored message of a bulk kind (5..18); empty for any other kind.
    std::span<Byte> storedMessage(int kind);

    Model& model() { return model_; }
    MidiDevices& devices() { return devices_; }

    // The TransferKind whose answer is awaited, 0 when none.
    int PendingRequest = 0;
    // The block address that request named (for user kinds, the user
    // performance it was sent for): only a dump carrying it answers it.
    Address pendingAddress{};
    // The user performance that requests of kinds 12..18 address.
    int UserPerfNumber = 0;
    // The user performance that bulk dumps of kinds 12..18 address.
    Byte UserPerfSendNumber = 0;

    // Restarts the answer time-out; every request calls it after sending.
    std::function<void()> StartRequestTimeout;

private:
    Model& model_;
    MidiDevices& devices_;
    std::array<Byte, 64> outgoing_{};
};

} // namespace patchsmith
