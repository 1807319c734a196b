#include "synth/SynthRunner.h"

#include <algorithm>

namespace patchsmith::synth {

SynthRunner::SynthRunner(Sink sink, bool wireModel)
    : sink_(std::move(sink)), wire_(wireModel), thread_([this] { run(); }) {}

SynthRunner::~SynthRunner() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SynthRunner::setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

void SynthRunner::setWireModel(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    wire_ = on;
}

bool SynthRunner::wireModel() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return wire_;
}

std::size_t SynthRunner::receivedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

std::size_t SynthRunner::sentCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

SynthRunner::Clock::time_point SynthRunner::arrival(Clock::time_point& lineFree, std::size_t bytes) const {
    const auto now = Clock::now();
    if (!wire_) return now;
    // A message starts when the line is free and ends after its last byte.
    lineFree = std::max(now, lineFree) + kByteTime * static_cast<long>(bytes);
    return lineFree;
}

void SynthRunner::queueOutgoing(Message message) {
    const auto due = arrival(outLineFree_, message.size());
    outbox_.push_back(Timed{due, std::move(message)});
}

void SynthRunner::receive(std::span<const Byte> message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        inbox_.push_back(Timed{arrival(inLineFree_, message.size()), Message(message.begin(), message.end())});
    }
    wake_.notify_all();
}

bool SynthRunner::turnKnob(int controller, int value, int channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto m = synth_.turnKnob(controller, value, channel);
    if (!m) return false;
    queueOutgoing(std::move(*m));
    wake_.notify_all();
    return true;
}

bool SynthRunner::programChange(int program, int channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto m = synth_.programChange(program, channel);
    if (!m) return false;
    queueOutgoing(std::move(*m));
    wake_.notify_all();
    return true;
}

bool SynthRunner::note(int noteNumber, int velocity, int channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto m = synth_.note(noteNumber, velocity, channel);
    if (!m) return false;
    queueOutgoing(std::move(*m));
    wake_.notify_all();
    return true;
}

bool SynthRunner::waitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return idleLocked(); });
}

void SynthRunner::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (inbox_.empty() && outbox_.empty()) {
            idle_.notify_all();
            wake_.wait(lock, [this] { return stop_ || !inbox_.empty() || !outbox_.empty(); });
            continue;
        }
        // The earliest event first; on a tie, answers already made go out
        // before new input is looked at.
        const bool takeOut = !outbox_.empty() && (inbox_.empty() || outbox_.front().due <= inbox_.front().due);
        const auto due = takeOut ? outbox_.front().due : inbox_.front().due;
        if (due > Clock::now()) {
            wake_.wait_until(lock, due);
            continue;
        }
        if (!takeOut) {
            Timed in = std::move(inbox_.front());
            inbox_.pop_front();
            ++received_;
            for (Message& answer : synth_.receive(in.bytes)) queueOutgoing(std::move(answer));
            continue;
        }
        Timed out = std::move(outbox_.front());
        outbox_.pop_front();
        ++sent_;
        Sink sink = sink_;
        busy_ = true;
        lock.unlock();
        if (sink) sink(out.bytes);
        lock.lock();
        busy_ = false;
    }
}

} // namespace patchsmith::synth
