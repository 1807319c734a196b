#include "midi/PortWatch.h"

namespace patchsmith {

struct PortWatch::Shared {
    std::mutex mutex;
    std::condition_variable cv;
    bool requested = false;
    bool pending = false; // requested, listing or waiting to be applied
    bool stop = false;
    bool alive = true; // read on the GUI thread only
};

PortWatch::PortWatch(MidiDevices& devices) : devices_(devices), shared_(std::make_shared<Shared>()) {
    thread_ = std::thread(&PortWatch::run, this);
}

PortWatch::~PortWatch() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        shared_->alive = false;
    }
    shared_->cv.notify_all();
    thread_.join();
}

bool PortWatch::poll() {
    if (devices_.busy && devices_.busy()) return false;
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->pending) return false;
        shared_->pending = shared_->requested = true;
    }
    shared_->cv.notify_all();
    return true;
}

bool PortWatch::pending() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->pending;
}

void PortWatch::run() {
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        shared_->cv.wait(lock, [this] { return shared_->stop || shared_->requested; });
        if (shared_->stop) return;
        shared_->requested = false;
        lock.unlock();
        MidiDevices::PortLists lists = devices_.listPorts();
        lock.lock();
        if (shared_->stop) return;
        // Applied on the GUI thread, after everything posted before: a
        // watch that has gone by then leaves the lists unused.
        devices_.postToGuiThread([this, shared = shared_, lists = std::move(lists)]() mutable {
            {
                std::lock_guard guard(shared->mutex);
                if (!shared->alive) return;
                shared->pending = false;
            }
            devices_.applyPortLists(std::move(lists));
        });
    }
}

} // namespace patchsmith
