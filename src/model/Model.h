#pragma once
// The performance model: the image of the current performance, the buffer of
// one user performance, and the editing state kept beside them. One instance
// lives for the whole run, owned by the application; everything on the GUI
// thread reads and writes it through a reference.

#include "model/PerformanceImage.h"
#include "model/PerformanceRecord.h"

#include <array>

namespace patchsmith {

struct LayerMute {
    Byte savedVolume = 127;
    bool muted = false;
    friend bool operator==(const LayerMute&, const LayerMute&) = default;
};

struct Model {
    PerformanceImage image;
    UserPerfBuffer userPerfBuffer;

    // The layer (1..4) that the layer controls show and edit; never 0.
    int CurrentLayer = 1;
    // A layer edit goes to all four layers (sent to 1, 2, 3, 4 in order).
    bool AffectAllLayers = false;
    // Saved volume and muted flag of layers 1..4 (index 0..3).
    std::array<LayerMute, 4> LayerMuteTable{};
    // One layer message for copy and paste.
    LayerMessage LayerClipboard{};
    // Cleared only while the editor sets its controls from the image (the
    // quiet scope of the editing interface, midi/EditSession.h), so that
    // nothing is sent meanwhile.
    bool SendEnabled = true;
    // Set by every parameter change or bulk block sent.
    bool PerfModified = false;
    // The user performance last switched to, -1 for none.
    int ActiveUserPerf = -1;

    LayerMute& muteOf(int layer) { return LayerMuteTable[static_cast<std::size_t>(layer - 1)]; }
    const LayerMute& muteOf(int layer) const { return LayerMuteTable[static_cast<std::size_t>(layer - 1)]; }

    // Start-up filling: the default performance into all blocks and layer 1
    // into the clipboard.
    void fillDefaults();
};

} // namespace patchsmith
