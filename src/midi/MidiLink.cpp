#include "midi/MidiLink.h"

#include <algorithm>
#include <array>

namespace patchsmith {

int answerLength(int kind) {
    switch (kind) {
    case 1: return 15;
    case 5: return 57;
    case 6: return 34;
    case 7: return 20;
    case 8:
    case 9:
    case 10:
    case 11: return 52;
    case 12: return 57;
    case 13: return 32;
    case 14: return 20;
    case 15:
    case 16:
    case 17:
    case 18: return 52;
    default: return 0;
    }
}

std::optional<Address> blockAddress(int kind, Byte userPerf) {
    const Byte nn = static_cast<Byte>(userPerf & 0x7F);
    switch (kind) {
    case 5: return Address{0x60, 0x00, 0x00};
    case 6: return Address{0x60, 0x00, 0x30};
    case 7: return Address{0x60, 0x00, 0x50};
    case 8:
    case 9:
    case 10:
    case 11: return Address{0x60, static_cast<Byte>(kind - 7), 0x00};
    case 12: return Address{0x70, nn, 0x00};
    case 13: return Address{0x70, nn, 0x30};
    case 14: return Address{0x70, nn, 0x50};
    case 15:
    case 16:
    case 17:
    case 18: return Address{static_cast<Byte>(0x70 + (kind - 14)), nn, 0x00};
    default: return std::nullopt;
    }
}

bool answersRequest(std::span<const Byte> message, int kind, Address address) {
    if (message.size() < 6 || message[0] != 0xF0) return false;
    if (kind == 1) return message[1] == 0x7E && message[3] == 0x06 && message[4] == 0x02;
    if (answerLength(kind) == 0 || message.size() < kHeaderBytes + 1) return false;
    // Bulk dump status with any device number; the model and the address
    // must be the requested block's.
    return message[1] == 0x43 && (message[2] & 0xF0) == 0x00 && message[3] == 0x4B && message[6] == address.high &&
           message[7] == address.mid && message[8] == address.low;
}

MidiLink::MidiLink(Model& model, MidiDevices& devices) : model_(model), devices_(devices) {}

void MidiLink::SendParamChange(Byte high, Byte mid, Byte low, Byte data) {
    if (!devices_.MidiOutOpen || !model_.SendEnabled) return;
    model_.PerfModified = true;
    const std::array<Byte, 9> msg{0xF0, 0x43, 0x10, 0x4B, high, mid, low, data, 0xF7};
    devices_.SendLongMessage(msg);
}

void MidiLink::SendParamChangeWide(Byte high, Byte mid, Byte low, Byte data1, Byte data2) {
    if (!devices_.MidiOutOpen || !model_.SendEnabled) return;
    model_.PerfModified = true;
    const std::array<Byte, 10> msg{0xF0, 0x43, 0x10, 0x4B, high, mid, low, data1, data2, 0xF7};
    devices_.SendLongMessage(msg);
}

void MidiLink::SendLayerParam(Byte high, Byte low, Byte data) {
    if (!model_.SendEnabled) return;
    if (model_.AffectAllLayers) {
        for (Byte layer = 1; layer <= 4; ++layer) SendParamChange(high, layer, low, data);
    } else {
        SendParamChange(high, static_cast<Byte>(model_.CurrentLayer), low, data);
    }
}

std::span<Byte> MidiLink::storedMessage(int kind) {
    if (kind == 5) return model_.image.message(Block::Common);
    if (kind == 6) return model_.image.message(Block::Effect);
    if (kind == 7) return model_.image.message(Block::Controller);
    if (kind >= 8 && kind <= 11) return model_.image.layerMessage(kind - 7);
    if (kind >= 12 && kind <= 18) return model_.userPerfBuffer.message(kind - 12);
    return {};
}

Byte MidiLink::SysExChecksum(std::span<const Byte> message) {
    if (message.size() < 6) return 0;
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < message.size(); ++i) sum += message[i];
    return static_cast<Byte>((128 - (sum % 128)) % 128);
}

void MidiLink::SendBulkBlock(int kind) {
    if (!devices_.MidiOutOpen || !model_.SendEnabled) return;
    std::span<Byte> stored = storedMessage(kind);
    if (stored.empty()) return;

    // Header template: device 0, data byte count, start address.
    const int dataBytes = static_cast<int>(stored.size()) - kFramingBytes;
    const Address at = *blockAddress(kind, UserPerfSendNumber);
    const std::array<Byte, kHeaderBytes> header{
        0xF0,    0x43,   0x00,  0x4B, static_cast<Byte>((dataBytes >> 7) & 0x7F), static_cast<Byte>(dataBytes & 0x7F),
        at.high, at.mid, at.low};
    std::copy(header.begin(), header.end(), stored.begin());
    stored[stored.size() - 1] = 0xF7;

    model_.PerfModified = true;

    // Only the outgoing copy carries the fresh checksum; the stored block
    // keeps whatever checksum byte it came with.
    std::copy(stored.begin(), stored.end(), outgoing_.begin());
    std::span<Byte> out(outgoing_.data(), stored.size());
    out[out.size() - 2] = SysExChecksum(out);
    devices_.SendLongMessage(out);
}

void MidiLink::SendLayerDumps(bool allLayers) {
    if (!model_.SendEnabled) return;
    if (allLayers) {
        for (int kind = 8; kind <= 11; ++kind) SendBulkBlock(kind);
    } else {
        SendBulkBlock(7 + model_.CurrentLayer);
    }
}

void MidiLink::SendRequest(int kind) {
    if (!devices_.MidiOutOpen) return;
    if (kind == 1) {
        PendingRequest = kind;
        pendingAddress = {};
        static constexpr std::array<Byte, 6> kIdentityRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};
        devices_.SendLongMessage(kIdentityRequest);
    } else if (const auto at = blockAddress(kind, static_cast<Byte>(UserPerfNumber))) {
        PendingRequest = kind;
        pendingAddress = *at;
        const std::array<Byte, 8> msg{0xF0, 0x43, 0x20, 0x4B, at->high, at->mid, at->low, 0xF7};
        devices_.SendLongMessage(msg);
    } else {
        PendingRequest = 0;
        return;
    }
    if (StartRequestTimeout) StartRequestTimeout();
}

} // namespace patchsmith
