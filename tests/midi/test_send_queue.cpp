// The queue of one output: order, failures reported with the message that
// failed, a driver that stops taking messages.

#include "midi/SendQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

using namespace patchsmith;
using namespace patchsmith::midi;

namespace {

// A driver whose answers the test decides; it can be held so that nothing
// moves until the test lets go.
struct Driver : std::enable_shared_from_this<Driver> {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::vector<Byte>> taken;
    std::vector<std::pair<MidiResult, std::vector<Byte>>> failures;
    bool held = false;
    int entered = 0;
    MidiResult failSecond = MMSYSERR_NOERROR;

    SendQueue::Transmit transmit() {
        // Shared with the queue's thread, which may outlive the test's frame.
        return [this, keep = shared_from_this()](const std::vector<Byte>& m) {
            std::unique_lock lock(mutex);
            ++entered;
            cv.notify_all();
            cv.wait(lock, [this] { return !held; });
            taken.push_back(m);
            cv.notify_all();
            return taken.size() == 2 ? failSecond : MMSYSERR_NOERROR;
        };
    }
    MidiSendFailureSink sink() {
        return [this, keep = shared_from_this()](MidiResult rc, std::span<const Byte> m) {
            std::lock_guard lock(mutex);
            failures.emplace_back(rc, std::vector<Byte>(m.begin(), m.end()));
            cv.notify_all();
        };
    }
    void release() {
        std::lock_guard lock(mutex);
        held = false;
        cv.notify_all();
    }
    bool waitEntered() {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(20), [&] { return entered > 0; });
    }
    bool waitTaken(std::size_t n) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(20), [&] { return taken.size() >= n; });
    }
};

std::vector<Byte> message(Byte n) { return {0xF0, 0x43, 0x10, n, 0xF7}; }

} // namespace

TEST(SendQueue, MessagesLeaveInOrderAndAFailureComesWithItsOwnMessage) {
    auto shared = std::make_shared<Driver>();
    Driver& driver = *shared;
    driver.failSecond = MIDIERR_NOTREADY;
    auto queue = SendQueue::start(driver.transmit(), driver.sink(), {});
    for (Byte n = 0; n < 50; ++n) {
        const auto m = message(n);
        // Every send call is accepted: the failure of message 1 belongs to
        // message 1 and is not handed to a later caller.
        EXPECT_EQ(queue->enqueue(m.data(), m.size()), MMSYSERR_NOERROR) << int(n);
    }
    EXPECT_TRUE(queue->close());
    ASSERT_EQ(driver.taken.size(), 50u);
    for (Byte n = 0; n < 50; ++n) EXPECT_EQ(driver.taken[n], message(n));
    ASSERT_EQ(driver.failures.size(), 1u);
    EXPECT_EQ(driver.failures[0].first, MIDIERR_NOTREADY);
    EXPECT_EQ(driver.failures[0].second, message(1));
}

TEST(SendQueue, AFullQueueWithAStalledDriverGivesUpAndCloseDoesNotHang) {
    auto shared = std::make_shared<Driver>();
    Driver& driver = *shared;
    driver.held = true;
    SendQueue::Limits limits;
    limits.queueBytes = 15; // counts the message with the driver too
    limits.stallLimit = std::chrono::milliseconds(50);
    auto queue = SendQueue::start(driver.transmit(), driver.sink(), limits);
    const auto m = message(1);
    EXPECT_EQ(queue->enqueue(m.data(), m.size()), MMSYSERR_NOERROR);
    ASSERT_TRUE(driver.waitEntered());                               // the first is with the held driver
    EXPECT_EQ(queue->enqueue(m.data(), m.size()), MMSYSERR_NOERROR); // 10 of 15 bytes
    EXPECT_EQ(queue->enqueue(m.data(), m.size()), MMSYSERR_NOERROR); // 15
    EXPECT_EQ(queue->enqueue(m.data(), m.size()), MIDIERR_NOTREADY); // 20 would not fit
    // The driver never comes back: close leaves the thread to itself.
    EXPECT_FALSE(queue->close());
    const auto late = message(2);
    EXPECT_EQ(queue->enqueue(late.data(), late.size()), MMSYSERR_INVALHANDLE);
    queue.reset();
    // Let go: the thread left behind finishes what was queued, on what it kept.
    driver.release();
    EXPECT_TRUE(driver.waitTaken(3));
    EXPECT_TRUE(driver.failures.empty());
}
