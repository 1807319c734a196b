#pragma once
// Looks for ports that come and go (a USB interface unplugged, a JACK server
// restarted): lists them on a thread of its own, since a MIDI system on its
// way out can keep a caller waiting, and hands the lists to the device
// layer on the GUI thread, which closes a device whose port has gone and
// reopens one whose port is back.

#include "midi/MidiDevices.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace patchsmith {

class PortWatch {
public:
    // `devices` must outlive this object; its postToGuiThread must be set.
    explicit PortWatch(MidiDevices& devices);
    // Waits for a listing under way.
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // Starts one listing, unless one is under way or the device layer is
    // busy (a transfer or a request chain runs). False when none started.
    bool poll();
    // A listing has been started and its lists not yet applied.
    bool pending() const;

private:
    struct Shared;
    void run();

    MidiDevices& devices_;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace patchsmith
