// Fetching the current performance (seven request/answer exchanges with the
// 5 ms pacing) and the 128 user-performance names from the virtual CS1x,
// with and without its DIN wire model (31 250 baud, 320 us per byte each
// way). With the wire on, the figures are what a real cable allows.

#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "synth/VirtualMidiPlatform.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace {

using namespace patchsmith;

class SilentNotifier : public Notifier {
public:
    void showMessage(const std::string&) override {}
};

// The receive side's user interface reduced to what pacing needs.
struct PacingUi : ReceiveUi {
    int refreshes = 0;
    void ShowStatus(const std::string&) override {}
    void showMessage(const std::string&) override {}
    void setBusyCursor() override {}
    void setNormalCursor() override {}
    void selectUserPerfRow(int) override {}
    void setUserPerfRow(int, const std::string&) override {}
    void ShowPerformance() override { ++refreshes; }
    void HandleSynthKnob(int, int) override {}
    void startRequestTimer(int) override {}
    void stopRequestTimer() override {}
    void wait(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// The GUI thread's queue: events posted by the synth's thread, run here.
struct GuiQueue {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::function<void()>> tasks;

    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        cv.notify_one();
    }
    bool runUntil(const std::function<bool()>& done) {
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex);
                if (!cv.wait_for(lock, std::chrono::seconds(5), [this] { return !tasks.empty(); })) return false;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
        return true;
    }
};

struct Rig {
    synth::VirtualMidiPlatform platform;
    SilentNotifier notifier;
    Model model;
    MidiDevices devices{platform, notifier};
    MidiLink link{model, devices};
    PacingUi ui;
    ReceiveDispatcher dispatcher{link, ui};
    GuiQueue queue;

    explicit Rig(bool wire) : platform(wire) {
        model.fillDefaults();
        devices.postToGuiThread = [this](std::function<void()> t) { queue.post(std::move(t)); };
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { dispatcher.AppMessage(e); };
        devices.MidiInDeviceName = devices.MidiOutDeviceName = synth::VirtualMidiPlatform::kDeviceName;
        devices.InitMidiDevices();
        queue.runUntil([this] { return link.PendingRequest == 0; });
    }
};

void FetchCurrentPerformance(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    for (auto _ : state) {
        const int before = rig.ui.refreshes;
        rig.dispatcher.FetchCurrentPerformance();
        if (!rig.queue.runUntil([&] { return rig.ui.refreshes > before; })) state.SkipWithError("no answer");
    }
}
BENCHMARK(FetchCurrentPerformance)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void requestAllNames(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    for (auto _ : state) {
        rig.dispatcher.requestAllNames();
        if (!rig.queue.runUntil([&] { return !rig.dispatcher.ReceivingAllNames; })) state.SkipWithError("no answer");
    }
}
BENCHMARK(requestAllNames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
