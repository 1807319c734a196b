// The device layer's send path: copy into the send buffer, clear bit 7 of
// the data bytes, hand to the platform, report the result. Measured over
// the scripted platform, so the figures are the layer's own cost.

#include "midi/MidiDevices.h"
#include "support/ScriptedMidiPlatform.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace patchsmith;

class SilentNotifier : public Notifier {
public:
    void showMessage(const std::string&) override {}
};

void SendLongMessage(benchmark::State& state) {
    midi::ScriptedMidiPlatform platform;
    platform.inputs = {"In"};
    platform.outputs = {"Out"};
    SilentNotifier notifier;
    MidiDevices devices(platform, notifier);
    devices.MidiOutDeviceName = "Out";
    devices.InitMidiDevices();

    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<Byte> message(size, 0x11);
    message.front() = 0xF0;
    message.back() = 0xF7;

    std::size_t sent = 0;
    for (auto _ : state) {
        devices.SendLongMessage(message);
        // The double keeps a record of everything; keep it small.
        if (++sent % 4096 == 0) {
            state.PauseTiming();
            platform.sent.clear();
            platform.calls.clear();
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
    if (devices.LastMidiResult != 0) state.SkipWithError("send failed");
}
BENCHMARK(SendLongMessage)->Arg(9)->Arg(10)->Arg(20)->Arg(32)->Arg(52)->Arg(57);

} // namespace
