// The virtual CS1x on its own thread: answers in order, never on the
// caller's stack, and no sooner than the cable allows with the wire model.

#include "synth/SynthRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace patchsmith;
using namespace patchsmith::synth;
using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<Byte>;

struct Recorder {
    std::mutex mutex;
    std::vector<Bytes> messages;
    std::vector<std::thread::id> threads;

    SynthRunner::Sink sink() {
        return [this](const Message& m) {
            std::lock_guard<std::mutex> lock(mutex);
            messages.push_back(m);
            threads.push_back(std::this_thread::get_id());
        };
    }
    std::vector<Bytes> taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return messages;
    }
};

Bytes request(Byte high, Byte mid, Byte low) { return {0xF0, 0x43, 0x20, 0x4B, high, mid, low, 0xF7}; }
const Bytes kIdentityRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};

} // namespace

TEST(SynthRunner, AnswersGoOutInOrderOnTheRunnersOwnThread) {
    Recorder rec;
    SynthRunner runner(rec.sink());
    const std::vector<Bytes> requests{request(0x60, 0, 0x00), request(0x60, 0, 0x30), request(0x60, 0, 0x50),
                                      request(0x60, 1, 0x00), request(0x60, 2, 0x00), request(0x60, 3, 0x00),
                                      request(0x60, 4, 0x00), kIdentityRequest};
    for (const Bytes& r : requests) runner.receive(r);
    ASSERT_TRUE(runner.waitIdle());
    const auto got = rec.taken();
    ASSERT_EQ(got.size(), requests.size());
    const std::vector<std::size_t> lengths{57, 34, 20, 52, 52, 52, 52, 15};
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].size(), lengths[i]) << i;
        if (i < 7) {
            EXPECT_EQ(got[i][6], requests[i][4]);
            EXPECT_EQ(got[i][7], requests[i][5]);
            EXPECT_EQ(got[i][8], requests[i][6]);
        }
    }
    for (const auto& id : rec.threads) EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_EQ(runner.receivedCount(), requests.size());
    EXPECT_EQ(runner.sentCount(), requests.size());
}

TEST(SynthRunner, StateChangesAreSeenByLaterRequestsAndByInspection) {
    Recorder rec;
    SynthRunner runner(rec.sink());
    runner.receive(Bytes{0xB0, 0x00, 0x3F});
    runner.receive(Bytes{0xB0, 0x20, 0x41});
    runner.receive(Bytes{0xC0, 0x7F});
    runner.receive(request(0x60, 0, 0));
    ASSERT_TRUE(runner.waitIdle());
    const auto got = rec.taken();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(std::string(got[0].begin() + 9, got[0].begin() + 17), "EuroKit ");
    EXPECT_EQ(runner.withSynth([](VirtualCs1x& s) { return s.editBuffer().name(); }), "EuroKit ");
}

TEST(SynthRunner, PanelEventsQueueBehindAnswersAlreadyOnTheirWay) {
    Recorder rec;
    SynthRunner runner(rec.sink(), true);
    runner.receive(kIdentityRequest);
    // Wait until the request has been handled, then turn a knob: the reply
    // is still on the cable and goes first.
    for (int i = 0; i < 200 && runner.receivedCount() == 0; ++i) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(runner.turnKnob(74, 10, 1));
    EXPECT_FALSE(runner.turnKnob(80, 10, 1));
    EXPECT_TRUE(runner.programChange(3, 1));
    EXPECT_TRUE(runner.note(60, 90, 2));
    ASSERT_TRUE(runner.waitIdle());
    const auto got = rec.taken();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].size(), 15u);
    EXPECT_EQ(got[1], (Bytes{0xB0, 74, 10}));
    EXPECT_EQ(got[2], (Bytes{0xC0, 3}));
    EXPECT_EQ(got[3], (Bytes{0x91, 60, 90}));
}

TEST(SynthRunner, WireModelTakesTheCablesTimeBothWays) {
    Recorder rec;
    SynthRunner runner(rec.sink(), true);
    EXPECT_TRUE(runner.wireModel());
    const auto start = SynthRunner::Clock::now();
    runner.receive(request(0x60, 0, 0)); // 8 bytes in, 57 out
    ASSERT_TRUE(runner.waitIdle());
    const auto elapsed = SynthRunner::Clock::now() - start;
    EXPECT_GE(elapsed, SynthRunner::kByteTime * (8 + 57));
    ASSERT_EQ(rec.taken().size(), 1u);
}

TEST(SynthRunner, SinkMayTalkBackToTheRunner) {
    SynthRunner* self = nullptr;
    std::atomic<int> calls{0};
    SynthRunner runner([&](const Message& m) {
        // The first answer triggers one more request from inside the sink.
        if (calls++ == 0 && m.size() == 15) self->receive(request(0x60, 0, 0x50));
    });
    self = &runner;
    runner.receive(kIdentityRequest);
    ASSERT_TRUE(runner.waitIdle());
    EXPECT_EQ(calls.load(), 2);
}

TEST(SynthRunner, MessagesWithoutASinkAreDroppedAndDestructionIsClean) {
    auto runner = std::make_unique<SynthRunner>();
    for (int i = 0; i < 50; ++i) runner->receive(request(0x70, static_cast<Byte>(i), 0));
    ASSERT_TRUE(runner->waitIdle());
    EXPECT_EQ(runner->sentCount(), 50u);
    // Destroyed with work still queued on a slow cable.
    runner->setWireModel(true);
    for (int i = 0; i < 50; ++i) runner->receive(request(0x70, static_cast<Byte>(i), 0));
    runner.reset();
}
