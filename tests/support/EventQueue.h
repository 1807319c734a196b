#pragma once
// Stands in for the GUI thread's event queue in tests without an event loop:
// RtMidi's thread posts, the test thread runs the tasks in the order posted.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace patchsmith::test {

class EventQueue {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{20000};

    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            ++posted_;
        }
        cv_.notify_all();
    }

    // How many tasks were ever posted.
    std::size_t posted() {
        std::lock_guard lock(mutex_);
        return posted_;
    }

    // Runs posted tasks until `done` holds or the time is up.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kDefaultWait) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            runPending();
            if (done()) return true;
            std::unique_lock lock(mutex_);
            if (!cv_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
                lock.unlock();
                runPending();
                return done();
            }
        }
    }

    // Runs what has been posted so far (tasks never run under the lock, so
    // they may post again).
    void runPending() {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(tasks_);
        }
        for (auto& task : batch) task();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    std::size_t posted_ = 0;
};

} // namespace patchsmith::test
