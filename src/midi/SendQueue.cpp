#include "midi/SendQueue.h"

#include <algorithm>

namespace patchsmith::midi {

SendQueue::SendQueue(Transmit transmit, MidiSendFailureSink onFailure, Limits limits)
    : transmit_(std::move(transmit)), onFailure_(std::move(onFailure)), limits_(limits),
      paceAllowance_(static_cast<double>(limits.burstBytes)) {}

std::shared_ptr<SendQueue> SendQueue::start(Transmit transmit, MidiSendFailureSink onFailure, Limits limits) {
    std::shared_ptr<SendQueue> queue(new SendQueue(std::move(transmit), std::move(onFailure), limits));
    queue->thread_ = std::thread(&SendQueue::run, queue);
    return queue;
}

SendQueue::~SendQueue() {
    // Only reached once the thread has let go of its reference: it has ended
    // or was detached by close().
    if (thread_.joinable()) thread_.detach();
}

MidiResult SendQueue::enqueue(const Byte* bytes, std::size_t size) {
    std::unique_lock lock(mutex_);
    if (stop_) return MMSYSERR_INVALHANDLE;
    if (queue_.empty() && !busy_) lastProgress_ = Clock::now();
    while (!queue_.empty() && queuedBytes_ + size > limits_.queueBytes) {
        const auto deadline = lastProgress_ + limits_.stallLimit;
        if (Clock::now() >= deadline) return MIDIERR_NOTREADY;
        changed_.wait_until(lock, deadline);
    }
    queue_.emplace_back(bytes, bytes + size);
    queuedBytes_ += size;
    lock.unlock();
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

void SendQueue::run(std::shared_ptr<SendQueue> self) {
    std::unique_lock lock(self->mutex_);
    for (;;) {
        self->changed_.wait(lock, [&] { return self->stop_ || !self->queue_.empty(); });
        if (self->queue_.empty()) break;
        std::vector<Byte> message = std::move(self->queue_.front());
        self->queue_.pop_front();
        self->busy_ = true;
        self->lastProgress_ = Clock::now();
        lock.unlock();
        self->pace(message.size());
        const MidiResult rc = self->transmit_(message);
        if (rc != MMSYSERR_NOERROR && self->onFailure_) self->onFailure_(rc, message);
        lock.lock();
        self->busy_ = false;
        self->queuedBytes_ -= message.size();
        self->lastProgress_ = Clock::now();
        self->changed_.notify_all();
    }
    self->finished_ = true;
    self->changed_.notify_all();
}

void SendQueue::pace(std::size_t size) {
    if (limits_.bytesPerMs == 0) return;
    using Ms = std::chrono::duration<double, std::milli>;
    const double perMs = static_cast<double>(limits_.bytesPerMs);
    const double burst = static_cast<double>(limits_.burstBytes);
    const double cost = static_cast<double>(size + limits_.overheadBytes);
    // A message longer than the burst waits for a full allowance and leaves
    // a debt that the next one waits off.
    const double needed = std::min(cost, burst);
    for (;;) {
        const auto now = Clock::now();
        paceAllowance_ = std::min(burst, paceAllowance_ + Ms(now - paceTime_).count() * perMs);
        paceTime_ = now;
        if (paceAllowance_ >= needed) break;
        std::this_thread::sleep_for(Ms((needed - paceAllowance_) / perMs));
    }
    paceAllowance_ -= cost;
}

bool SendQueue::close() {
    std::unique_lock lock(mutex_);
    stop_ = true;
    changed_.notify_all();
    while (!finished_) {
        const auto deadline = lastProgress_ + limits_.stallLimit;
        if (Clock::now() >= deadline) break;
        changed_.wait_until(lock, deadline);
    }
    const bool ended = finished_;
    lock.unlock();
    if (!thread_.joinable()) return ended;
    if (ended) {
        thread_.join();
    } else {
        thread_.detach();
    }
    return ended;
}

} // namespace patchsmith::midi
