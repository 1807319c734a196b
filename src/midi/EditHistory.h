#pragma once
// The steps of the edit history: what one step changed (the image before
// and after it, and the volumes that muted layers get back) and how it
// reached the synth (the sends of the editing interface, in order). Undo
// puts back the bytes a step changed and makes the same sends again, so the
// synth gets exactly the messages the edit itself would send for them.

#include "model/Model.h"
#include "model/Parameters.h"

#include <array>
#include <vector>

namespace patchsmith {

// What an edit changes: the image, and the saved volumes of the layers
// (with whether each was muted at the time).
struct EditState {
    PerformanceImage image;
    std::array<LayerMute, 4> mutes{};

    static EditState of(const Model& model) { return EditState{model.image, model.LayerMuteTable}; }
    friend bool operator==(const EditState&, const EditState&) = default;
};

// One send of the editing interface. Made again with the image as it is
// then, it puts the same kind of messages to the same addresses on the wire.
struct SendAction {
    enum class Kind {
        Parameter,       // the parameter's own message(s), to the edited layer or all four
        EachLayerVolume, // each layer its own volume byte (volume with "edit all layers")
        LayerDumps,      // the edited layer's block, or all four
        BlockDump,       // one block of the current performance (bulk kind 5..11)
    };
    Kind kind = Kind::Parameter;
    const Parameter* param = nullptr;
    int layer = 1;          // the edited layer at the time
    bool allLayers = false; // "edit all layers" at the time
    int bulkKind = 0;

    friend bool operator==(const SendAction&, const SendAction&) = default;
};

struct EditStep {
    EditState before;
    EditState after;
    // In the order of the edit, each send once (at its last place: a note
    // limit that pushed its partner sends the partner first).
    std::vector<SendAction> sends;
    // Steps with the same tag that follow each other directly become one
    // (the keystrokes of a name); nullptr never merges.
    const void* tag = nullptr;
};

// Takes the send into a step's list: a send made again moves to the end.
void recordSend(std::vector<SendAction>& sends, const SendAction& action);

// Whether two states differ in any byte a step can change.
bool stepChanges(const EditState& from, const EditState& to);

// Writes into the model the bytes that differ between `from` and `to`, as
// they are in `to`; every other byte stays as it is now (a knob turned on
// the synth meanwhile, say). A volume follows the mute state of its layer
// now: a layer muted since keeps 0 and gets the volume as its saved one, a
// layer released since gets it as its volume.
void restoreState(Model& model, const EditState& from, const EditState& to);

// Whether the data bytes of two images are the same (headers and checksum
// bytes mean nothing).
bool sameData(const PerformanceImage& a, const PerformanceImage& b);

} // namespace patchsmith
