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
    case 8: case 9: case 10: case 11: return 52;
    case 12: return 57;
    case 13: return 32;
    case 14: return 20;
    case 15: case 16: case 17: case 18: return 52;
    default: return 0;
    }
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
    Byte high = 0x60, mid = 0x00, low = 0x00;
    switch (kind) {
    case 5: low = 0x00; break;
    case 6: low = 0x30; break;
    case 7: low = 0x50; break;
    case 8: case 9: case 10: case 11: mid = static_cast<Byte>(kind - 7); break;
    case 12: high = 0x70; mid = UserPerfSendNumber; low = 0x00; break;
    case 13: high = 0x70; mid = UserPerfSendNumber; low = 0x30; break;
    case 14: high = 0x70; mid = UserPerfSendNumber; low = 0x50; break;
    default: high = static_cast<Byte>(0x70 + (kind - 14)); mid = UserPerfSendNumber; low = 0x00; break;
    }
    const std::array<Byte, kHeaderBytes> header{0xF0, 0x43, 0x00, 0x4B, static_cast<Byte>((dataBytes >> 7) & 0x7F),
                                                static_cast<Byte>(dataBytes & 0x7F), high, mid, low};
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
    PendingRequest = kind;
    const Byte nn = static_cast<Byte>(UserPerfNumber & 0x7F);
    std::array<Byte, 8> msg{0xF0, 0x43, 0x20, 0x4B, 0x60, 0x00, 0x00, 0xF7};
    std::size_t length = 8;
    if (kind == 1) {
        msg = {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7, 0, 0};
        length = 6;
    } else if (kind == 5) {
        msg[6] = 0x00;
    } else if (kind == 6) {
        msg[6] = 0x30;
    } else if (kind == 7) {
        msg[6] = 0x50;
    } else if (kind >= 8 && kind <= 11) {
        msg[5] = static_cast<Byte>(kind - 7);
    } else if (kind == 12 || kind == 13 || kind == 14) {
        msg[4] = 0x70;
        msg[5] = nn;
        msg[6] = kind == 12 ? 0x00 : kind == 13 ? 0x30 : 0x50;
    } else if (kind >= 15 && kind <= 18) {
        msg[4] = static_cast<Byte>(0x70 + (kind - 14));
        msg[5] = nn;
    } else {
        PendingRequest = 0;
        return;
    }
    devices_.SendLongMessage(std::span<const Byte>(msg.data(), length));
    if (StartRequestTimeout) StartRequestTimeout();
}

} // namespace patchsmith
