#pragma once
// The messages of one output, handed one after the other to the MIDI system
// by a thread of their own: a driver that waits while its own queue is full
// must never hang the caller. A message that the driver refuses after its
// send call has returned is reported through the failure sink at once, with
// that message.

#include "midi/MidiPlatform.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace patchsmith::midi {

class SendQueue : public std::enable_shared_from_this<SendQueue> {
public:
    using Clock = std::chrono::steady_clock;
    // Hands one message to the driver; runs on the queue's thread.
    using Transmit = std::function<MidiResult(const std::vector<Byte>&)>;

    struct Limits {
        // Bytes queued at most; a send that finds the queue full waits while
        // the driver makes progress.
        std::size_t queueBytes = 65536;
        // A send or a close gives up once the driver has taken nothing for
        // this long.
        std::chrono::milliseconds stallLimit{1000};
        // Pace: at most burstBytes at once, then bytesPerMs (each message
        // counted with `overheadBytes` more); 0 for no pacing.
        std::size_t bytesPerMs = 0;
        std::size_t burstBytes = 0;
        std::size_t overheadBytes = 0;
    };

    // Starts the thread.
    static std::shared_ptr<SendQueue> start(Transmit transmit, MidiSendFailureSink onFailure, Limits limits);
    ~SendQueue();
    SendQueue(const SendQueue&) = delete;
    SendQueue& operator=(const SendQueue&) = delete;

    // Queues a copy of the message. MIDIERR_NOTREADY when the queue stays
    // full because the driver has stopped taking messages. The first message
    // always fits, however long.
    MidiResult enqueue(const Byte* bytes, std::size_t size);

    // Sends what is queued and ends the thread. A driver that has stopped
    // taking messages cannot be waited for: the thread is then left to
    // itself, keeping what it uses alive, and the result is false.
    bool close();

private:
    SendQueue(Transmit transmit, MidiSendFailureSink onFailure, Limits limits);
    static void run(std::shared_ptr<SendQueue> self);
    void pace(std::size_t size);

    Transmit transmit_;
    MidiSendFailureSink onFailure_;
    Limits limits_;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Byte>> queue_;
    std::size_t queuedBytes_ = 0;
    bool busy_ = false;     // a message is with the driver
    bool stop_ = false;     // closing: send what is queued, then end
    bool finished_ = false; // the thread has ended
    // When the thread last took up or finished a message.
    Clock::time_point lastProgress_ = Clock::now();
    // Pacing, used by the thread alone.
    double paceAllowance_ = 0;
    Clock::time_point paceTime_ = Clock::now();
};

} // namespace patchsmith::midi
