#include "midi/ReceiveDispatcher.h"

#include "model/Names.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cstdio>

namespace patchsmith {

namespace {

std::string hex2(Byte b) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(b));
    return buf;
}

std::string threeDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return buf;
}

} // namespace

std::optional<std::string> shortMessageText(Byte status, Byte data1, Byte data2) {
    const std::string prefix = "<" + std::to_string((status & 0x0F) + 1) + "> ";
    switch (status & 0xF0) {
    case 0x90:
        if (data2 > 0) return prefix + "Note-ON  [" + noteName(data1) + "]  Vel " + std::to_string(data2);
        return prefix + "Note-OFF [" + noteName(data1) + "]";
    case 0xB0: {
        const int centred = data2 - 64;
        switch (data1) {
        case 1: return prefix + "M-Wheel " + std::to_string(data2);
        case 17: return prefix + "Assign 1 " + std::to_string(centred);
        case 18: return prefix + "Assign 2 " + std::to_string(centred);
        case 71: return prefix + "Resonance " + std::to_string(centred);
        case 72: return prefix + "Release " + std::to_string(centred);
        case 73: return prefix + "Attack " + std::to_string(centred);
        case 74: return prefix + "Cutoff " + std::to_string(centred);
        default: return prefix;
        }
    }
    case 0xE0: return prefix + "Pitch-Bend " + std::to_string(data2 * 128 + data1 - 8192);
    case 0xC0: return std::nullopt;
    default: return prefix + hex2(status) + " " + hex2(data1) + " " + hex2(data2);
    }
}

std::string namesRequestLine(std::span<const Byte> commonMessage, int k) {
    std::string line = threeDigits(k + 1) + "  ";
    const std::size_t categoryAt = messageOffset(params::PerformanceType);
    const std::size_t nameAt = messageOffset(params::PerformanceName);
    const int category = commonMessage.size() > categoryAt ? commonMessage[categoryAt] : 0;
    line += std::string(categoryAbbreviation(category)) + " ";
    for (std::size_t i = nameAt; i < nameAt + kNameLength && i < commonMessage.size(); ++i) {
        const Byte c = commonMessage[i];
        // The list shows text: bytes a foreign dump may carry outside
        // printable ASCII become blanks.
        line += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : ' ';
    }
    if (line.size() > 16) line.resize(16);
    return line;
}

ReceiveDispatcher::ReceiveDispatcher(MidiLink& link, ReceiveUi& ui) : link_(link), ui_(ui) {
    link_.StartRequestTimeout = [this] { ui_.startRequestTimer(requestTimeoutMs); };
}

ReceiveDispatcher::~ReceiveDispatcher() {
    // The link outlives the window that owns this dispatcher.
    link_.StartRequestTimeout = nullptr;
}

void ReceiveDispatcher::AppMessage(const midi::MidiInputEvent& event) {
    if (!event.isSysEx && event.shortMessage == 0xFE) return; // active sensing
    link_.devices().PulseMidiInLed();
    if (event.isSysEx) {
        if (link_.PendingRequest != 0)
            ProcessIncomingSysEx(event.sysex);
        else
            ui_.ShowStatus("Received Bullshit...");
        return;
    }
    handleShort(event.shortMessage);
}

void ReceiveDispatcher::handleShort(std::uint32_t packed) {
    const auto status = static_cast<Byte>(packed & 0xFF);
    const auto d1 = static_cast<Byte>((packed >> 8) & 0xFF);
    const auto d2 = static_cast<Byte>((packed >> 16) & 0xFF);
    if ((status & 0xF0) == 0xC0) {
        followProgramChange(d1);
        return;
    }
    if ((status & 0xF0) == 0xB0) ui_.HandleSynthKnob(d1, d2);
    if (auto text = shortMessageText(status, d1, d2)) ui_.ShowStatus(*text);
}

bool ReceiveDispatcher::mayStartRequestChain() {
    if (!exclusiveChainRunning()) return true;
    refuse();
    return false;
}

bool ReceiveDispatcher::mayStartExclusiveChain() { return mayStartRequestChain(); }

void ReceiveDispatcher::refuse() {
    ui_.ShowStatus(sendingBank ? "Busy: Performance-bank is being sent" : "Busy: transfer to disk running");
}

void ReceiveDispatcher::endRequestChains() {
    endCurrentPerformanceFetch();
    endNamesRequest();
}

void ReceiveDispatcher::endCurrentPerformanceFetch() {
    if (!ReceivingCurrentPerf) return;
    ReceivingCurrentPerf = false;
    BlocksToGo = 0;
    // A late answer of the ended chain finds nothing awaited.
    if (TransferKind::isCurrent(link_.PendingRequest)) {
        link_.PendingRequest = 0;
        ui_.stopRequestTimer();
    }
    ui_.setNormalCursor();
}

void ReceiveDispatcher::endNamesRequest() {
    if (!ReceivingAllNames) return;
    ReceivingAllNames = false;
    if (link_.PendingRequest == TransferKind::UserCommon) {
        link_.PendingRequest = 0;
        ui_.stopRequestTimer();
    }
    ui_.setNormalCursor();
}

void ReceiveDispatcher::followProgramChange(Byte program) {
    if (!programChangesOn || !programChangesOn()) return;
    MidiDevices& devices = link_.devices();
    if (!devices.MidiOutOpen || !devices.MidiInOpen) return;
    // A transfer to disk or a bank send owns the cycle: nothing goes out.
    if (!mayStartRequestChain()) return;
    const int p = program & 0x7F;
    link_.model().ActiveUserPerf = p;
    ui_.setBusyCursor();
    ui_.selectUserPerfRow(p);
    devices.SendShortMessage(0xB0, 0x00, 0x3F);
    devices.SendShortMessage(0xB0, 0x20, 0x41);
    devices.SendShortMessage(0xC0, static_cast<Byte>(p), 0x00);
    FetchCurrentPerformance();
}

void ReceiveDispatcher::FetchCurrentPerformance() {
    if (!mayStartRequestChain()) return;
    endRequestChains();
    // Ending a chain that ran restored the arrow; the fetch shows the hourglass.
    ui_.setBusyCursor();
    BlocksToGo = 6;
    ReceivingCurrentPerf = true;
    link_.SendRequest(TransferKind::CurrentCommon);
    ui_.ShowStatus("Receiving Perf-COMMON");
}

void ReceiveDispatcher::requestAllNames() {
    const MidiDevices& devices = link_.devices();
    if (!devices.MidiOutOpen || !devices.MidiInOpen) return;
    if (!mayStartRequestChain()) return;
    endRequestChains();
    ReceivingAllNames = true;
    link_.UserPerfNumber = 0;
    link_.SendRequest(TransferKind::UserCommon);
    ui_.setBusyCursor();
}

void ReceiveDispatcher::ProcessIncomingSysEx(std::span<const Byte> message) {
    const int kind = link_.PendingRequest;
    const int required = answerLength(kind);
    if (required == 0) {
        // Nothing we know is awaited; keep the chains as they are.
        ui_.stopRequestTimer();
        lastAnswerStored = false;
        link_.PendingRequest = 0;
        return;
    }
    // Only the answer to the request awaited moves its chain: an answer to an
    // earlier request still on its way, a foreign message or an identity
    // reply must never be stored as this block.
    if (!answersRequest(message, kind, link_.pendingAddress)) {
        ui_.ShowStatus("Received Bullshit...");
        return;
    }
    ui_.stopRequestTimer();
    lastAnswerStored = static_cast<int>(message.size()) == required;
    if (!lastAnswerStored) {
        ui_.showMessage("Receive-Error - Wrong blocksize");
    } else if (kind == TransferKind::Identity) {
        std::copy(message.begin(), message.end(), IdentityReply.begin());
        link_.PendingRequest = 0;
        ui_.showMessage("CS1x responding... Device-Code: " + hex2(IdentityReply[8]) + " " + hex2(IdentityReply[9]) +
                        " - TG-Level: " + hex2(IdentityReply[13]));
    } else {
        // The block the request named (its address was checked above).
        std::span<Byte> stored = link_.storedMessage(kind);
        std::copy(message.begin(), message.end(), stored.begin());
        if (TransferKind::isCurrent(kind) && currentBlockStored) currentBlockStored();
    }
    link_.PendingRequest = 0;

    // Each chain moves on its own answers only.
    if (ReceivingCurrentPerf && TransferKind::isCurrent(kind)) {
        if (BlocksToGo > 0) {
            --BlocksToGo;
            ui_.wait(5);
            switch (BlocksToGo) {
            case 5: link_.SendRequest(6); break;
            case 4: link_.SendRequest(7); break;
            case 3:
                link_.SendRequest(8);
                ui_.ShowStatus("Receiving LAYER-1");
                break;
            case 2:
                link_.SendRequest(9);
                ui_.ShowStatus("Receiving LAYER-2");
                break;
            case 1:
                link_.SendRequest(10);
                ui_.ShowStatus("Receiving LAYER-3");
                break;
            default:
                link_.SendRequest(11);
                ui_.ShowStatus("Receiving LAYER-4");
                break;
            }
        } else {
            ReceivingCurrentPerf = false;
            ui_.ShowPerformance();
        }
    }

    if (ReceivingAllNames && kind == TransferKind::UserCommon) {
        const int k = std::clamp(link_.UserPerfNumber, 0, 127);
        ui_.ShowStatus("Received User-Performance-Name #" + std::to_string(k + 1));
        // A block of the wrong size left the buffer with the previous
        // performance's name: the row keeps its text instead.
        if (lastAnswerStored) ui_.setUserPerfRow(k, namesRequestLine(link_.model().userPerfBuffer.message(0), k));
        if (k >= 127) {
            ReceivingAllNames = false;
            ui_.setNormalCursor();
            if (link_.model().ActiveUserPerf >= 0) ui_.selectUserPerfRow(link_.model().ActiveUserPerf);
        } else {
            link_.UserPerfNumber = k + 1;
            link_.SendRequest(TransferKind::UserCommon);
        }
    }

    if ((UserPerfToDisk || AllUserPerfsToDisk) && TransferKind::isUser(kind) && DiskTransferStep) DiskTransferStep();
}

void ReceiveDispatcher::requestTimeout() {
    ui_.stopRequestTimer();
    if (link_.PendingRequest == TransferKind::Identity)
        ui_.showMessage("CS1x does not respond on selected MIDI-device!\nPlease check cabling and/or device-settings");
    else if (link_.PendingRequest != 0)
        ui_.showMessage("MIDI-Data receive-timeout!");
    ui_.setNormalCursor();
    if (onTimeoutReported) onTimeoutReported();
}

} // namespace patchsmith
