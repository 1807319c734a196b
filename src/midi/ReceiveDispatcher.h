#pragma once
// Everything the CS1x sends reaches the program here: complete SysEx
// messages are answers to the pending request and drive the request chains
// (current performance, the 128 names, transfers to disk); short messages go
// to the status line, the knob reaction and program-change following.

#include "midi/MidiLink.h"
#include "midi/MidiPlatform.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace patchsmith {

// What the dispatcher needs of the main window.
class ReceiveUi {
public:
    virtual ~ReceiveUi() = default;
    // Status line; falls back to "OK" 750 ms after the last text.
    virtual void ShowStatus(const std::string& text) = 0;
    // Modal box with the application title and OK.
    virtual void showMessage(const std::string& text) = 0;
    virtual void setBusyCursor() = 0;
    virtual void setNormalCursor() = 0;
    // Selects a row of the user-performance list without running its click handling.
    virtual void selectUserPerfRow(int row) = 0;
    virtual void setUserPerfRow(int row, const std::string& text) = 0;
    // The full display refresh.
    virtual void ShowPerformance() = 0;
    virtual void HandleSynthKnob(int controller, int value) = 0;
    virtual void startRequestTimer(int milliseconds) = 0;
    virtual void stopRequestTimer() = 0;
    // Blocking wait that paces the request chains.
    virtual void wait(int milliseconds) = 0;
};

// Status-line text of a short message; nullopt for a program change (no text).
std::optional<std::string> ShortMessageText(Byte status, Byte data1, Byte data2);

// The user-performance row that the names request builds from a received
// common block: number, two blanks, category, blank, the 8 name characters
// untrimmed, cut to 16 characters.
std::string NamesRequestLine(std::span<const Byte> commonMessage, int k);

class ReceiveDispatcher {
public:
    ReceiveDispatcher(MidiLink& link, ReceiveUi& ui);
    ~ReceiveDispatcher();
    ReceiveDispatcher(const ReceiveDispatcher&) = delete;
    ReceiveDispatcher& operator=(const ReceiveDispatcher&) = delete;

    // Handles one event of the open input (the application-wide hook).
    void AppMessage(const midi::MidiInputEvent& event);
    void ProcessIncomingSysEx(std::span<const Byte> message);
    void FetchCurrentPerformance();
    // Starts the fetch of all 128 names (both devices must be open).
    void RequestAllNames();
    // MidiRequestTimer fired.
    void RequestTimeout();

    // State.
    std::array<Byte, 15> IdentityReply{};
    bool ReceivingCurrentPerf = false;
    int BlocksToGo = 0;
    bool ReceivingAllNames = false;
    bool UserPerfToDisk = false;
    bool AllUserPerfsToDisk = false;
    // Whether the last processed answer had the awaited length and was stored.
    bool LastAnswerStored = false;

    // Settings consulted here.
    std::function<bool()> ProgramChangesOn;
    // Runs after each processed answer while a transfer to disk is under way.
    std::function<void()> DiskTransferStep;
    // Runs after a time-out was reported (a transfer to disk winds up there).
    std::function<void()> onTimeoutReported;

private:
    void handleShort(std::uint32_t packed);
    void followProgramChange(Byte program);

    MidiLink& link_;
    ReceiveUi& ui_;
};

} // namespace patchsmith
