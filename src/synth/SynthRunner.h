#pragma once
// The virtual CS1x running like an instrument at the end of a cable: incoming
// messages are handled and answers go out on a thread of its own, in order,
// never on the caller's stack. With the wire model on, every byte takes the
// 320 µs of 31 250 baud (ten bits) in each direction, so that figures taken
// against it are honest; off, answers go out as soon as they are made.
//
// Thread-safe. The sink is called on the runner's own thread, one message at
// a time and in order, with no lock held: it may call back into the runner,
// but must not destroy it.

#include "synth/VirtualCs1x.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

namespace patchsmith::synth {

class SynthRunner {
public:
    using Clock = std::chrono::steady_clock;
    // Receives every message the instrument sends.
    using Sink = std::function<void(const Message&)>;
    // One byte on a MIDI cable: 10 bits at 31 250 baud.
    static constexpr std::chrono::microseconds kByteTime{320};

    explicit SynthRunner(Sink sink = {}, bool wireModel = false);
    ~SynthRunner();
    SynthRunner(const SynthRunner&) = delete;
    SynthRunner& operator=(const SynthRunner&) = delete;

    void setSink(Sink sink);
    void setWireModel(bool on);
    bool wireModel() const;

    // A complete message that starts arriving now.
    void receive(std::span<const Byte> message);

    // Panel events (see VirtualCs1x); false, and nothing sent, for arguments
    // out of range. Their messages queue behind answers already on the way.
    bool turnKnob(int controller, int value, int channel);
    bool programChange(int program, int channel);
    bool note(int noteNumber, int velocity, int channel);

    // Waits until every message received so far has been handled and every
    // answer handed to the sink. False when `timeout` passed first.
    bool waitIdle(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

    // Runs f(VirtualCs1x&) under the runner's lock, for inspection and set-up.
    template <class F>
    decltype(auto) withSynth(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(synth_);
    }

    // Counts of messages handled and handed out since the start.
    std::size_t receivedCount() const;
    std::size_t sentCount() const;

private:
    struct Timed {
        Clock::time_point due;
        Message bytes;
    };

    void run();
    // Both called with the lock held.
    Clock::time_point arrival(Clock::time_point& lineFree, std::size_t bytes) const;
    void queueOutgoing(Message message);
    bool idleLocked() const { return inbox_.empty() && outbox_.empty() && !busy_; }

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    VirtualCs1x synth_;
    Sink sink_;
    bool wire_ = false;
    bool busy_ = false;
    bool stop_ = false;
    std::deque<Timed> inbox_;
    std::deque<Timed> outbox_;
    Clock::time_point inLineFree_{};
    Clock::time_point outLineFree_{};
    std::size_t received_ = 0;
    std::size_t sent_ = 0;
    std::thread thread_; // last: starts after everything it uses exists
};

} // namespace patchsmith::synth
