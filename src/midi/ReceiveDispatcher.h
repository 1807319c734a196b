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
std::optional<std::string> shortMessageText(Byte status, Byte data1, Byte data2);

// The user-performance row that the names request builds from a received
// common block: number, two blanks, category, blank, the 8 name characters
// untrimmed, cut to 16 characters.
std::string namesRequestLine(std::span<const Byte> commonMessage, int k);

// The request cycle has one owner at a time: a current-performance fetch,
// the names request, a transfer to disk or a bank going to the synth. A fetch
// or names request that starts ends a fetch or names request that runs (or
// stalled after a time-out); a transfer to disk or a bank send is never
// interrupted, and nothing else starts while it runs. An answer is taken
// only when it carries the address of the request awaited.
class ReceiveDispatcher {
public:
    ReceiveDispatcher(MidiLink& link, ReceiveUi& ui);
    ~ReceiveDispatcher();
    ReceiveDispatcher(const ReceiveDispatcher&) = delete;
    ReceiveDispatcher& operator=(const ReceiveDispatcher&) = delete;

    // Handles one event of the open input (the application-wide hook).
    void AppMessage(const midi::MidiInputEvent& event);
    void ProcessIncomingSysEx(std::span<const Byte> message);
    // Starts the seven-block fetch; refused (with a status text) while a
    // transfer to disk or a bank send runs.
    void FetchCurrentPerformance();
    // Starts the fetch of all 128 names (both devices must be open); refused
    // like a fetch.
    void requestAllNames();
    // MidiRequestTimer fired.
    void requestTimeout();

    // A transfer to disk or a bank send owns the request cycle.
    bool exclusiveChainRunning() const { return UserPerfToDisk || AllUserPerfsToDisk || sendingBank; }
    // Any chain owns it, running or stalled.
    bool chainRunning() const { return exclusiveChainRunning() || ReceivingCurrentPerf || ReceivingAllNames; }
    // Whether a fetch, names request or switch of performance may start now;
    // when not, the status line says why.
    bool mayStartRequestChain();
    // Whether a transfer to disk or a bank send may start now (none of the
    // two runs); when not, the status line says why. A fetch or names
    // request that runs is ended by the caller's start (endRequestChains).
    bool mayStartExclusiveChain();
    // Ends a fetch or names request, running or stalled: no answer is awaited
    // any more and a late one is ignored.
    void endRequestChains();
    // The same for one of the two: a performance opened from disk ends a
    // fetch (its answers would overwrite the image), a name list opened
    // from disk ends the names request (its answers would overwrite rows).
    void endCurrentPerformanceFetch();
    void endNamesRequest();

    // State.
    std::array<Byte, 15> IdentityReply{};
    bool ReceivingCurrentPerf = false;
    int BlocksToGo = 0;
    bool ReceivingAllNames = false;
    bool UserPerfToDisk = false;
    bool AllUserPerfsToDisk = false;
    // A performance bank goes to the synth: nothing else may go out meanwhile.
    bool sendingBank = false;
    // Whether the last processed answer had the awaited length and was stored.
    bool lastAnswerStored = false;

    // How long an answer may take (1000 ms). Tests over real MIDI stacks on
    // a loaded machine raise it: they check data, not the synth's speed.
    int requestTimeoutMs = 1000;

    // Settings consulted here.
    std::function<bool()> programChangesOn;
    // Runs after each processed answer while a transfer to disk is under way.
    std::function<void()> DiskTransferStep;
    // Runs after a time-out was reported (a transfer to disk winds up there).
    std::function<void()> onTimeoutReported;
    // Runs after a block of the current performance was stored into the
    // image (the edit history no longer applies to it).
    std::function<void()> currentBlockStored;

private:
    void handleShort(std::uint32_t packed);
    void followProgramChange(Byte program);
    void refuse();

    MidiLink& link_;
    ReceiveUi& ui_;
};

} // namespace patchsmith
