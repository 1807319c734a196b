#pragma once
// The editing interface over the performance: what the windows read of the
// image and the editing state, and every change they make to it. A change
// is written into the image first and then sent to the synth the way the
// parameter table says (one-byte change, two-byte change, layer or block
// dump). Layer parameters go to the edited layer, or to all four.
//
// While the controls are set from the image (a display refresh), the
// session is quiet: nothing is written into the image and nothing is sent,
// whatever handlers the refresh raises. Quiet scopes nest; sending resumes
// when the outermost one ends.
//
// Every edit is a step of the history: undo and redo put the bytes it
// changed back and send them as the edit did. "Compare" switches the synth
// and the image between the edited performance and the original one (the
// last fetched, opened or stored); any edit first returns to the edited one.

#include "midi/EditHistory.h"
#include "midi/MidiLink.h"
#include "model/Model.h"
#include "model/Parameters.h"
#include "model/Randomize.h"

#include <functional>
#include <random>
#include <string_view>
#include <vector>

namespace patchsmith {

class EditSession {
public:
    EditSession(Model& model, MidiLink& link);
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // ---- reading ----
    const PerformanceImage& image() const { return model_.image; }
    int currentLayer() const { return model_.CurrentLayer; }
    bool allLayers() const { return model_.AffectAllLayers; }
    bool modified() const { return model_.PerfModified; }
    const LayerMute& mute(int layer) const { return model_.muteOf(clampLayer(layer)); }
    // The stored value in the image (layer parameters: of the edited layer,
    // or of `layer`).
    int value(const Parameter& p) const { return storedValue(p, model_.image, model_.CurrentLayer); }
    int value(const Parameter& p, int layer) const { return storedValue(p, model_.image, clampLayer(layer)); }
    // The value the controls show: the volume of a muted layer is the one it
    // gets back.
    int shownValue(const Parameter& p) const;

    // ---- editing state ----
    void setCurrentLayer(int layer) { model_.CurrentLayer = clampLayer(layer); }
    void setAllLayers(bool on) { model_.AffectAllLayers = on; }
    // What a full display refresh starts from: layer 1 edited, not all
    // layers, no layer muted (saved volumes 127), the performance unmodified.
    void resetEditingState();
    void markUnmodified() { model_.PerfModified = false; }

    // ---- edits (nothing happens while quiet) ----
    // Writes the value and sends it. The layer volume of a muted layer goes
    // to its saved volume; a variation type brings its parameters' defaults.
    // A pair row outside its list changes and sends nothing.
    void set(const Parameter& p, int value);
    // Writes without sending: a knob turned on the synth. Not an edit: the
    // synth has the value already, and undo leaves it alone.
    void write(const Parameter& p, int value);
    // Sends the parameter's bytes as they are in the image.
    void send(const Parameter& p);
    // The name: at most 8 characters, padded with blanks; sent as the common block.
    void setName(std::u16string_view text);
    // The velocity limits and sense of the default performance into the edited
    // layer (or all four), sent as layer dumps.
    void setVelocityDefaults();
    // Mutes layer 1..4 (volume 0, the volume kept) or restores it, and sends
    // that layer's volume to that layer alone. A live switch, not an edit.
    void setMuted(int layer, bool muted);
    // The edited layer into the clipboard, and the clipboard onto it (sent as
    // its layer dump, whatever "all layers" says).
    void copyLayer();
    void pasteLayer();
    // Moves the chosen parameters at random (layer parameters: of the edited
    // layer, or all four) and sends the blocks that changed as bulk dumps.
    void randomize(RandomizeChoice choice);
    void seedRandom(unsigned seed) { random_.seed(seed); }

    // ---- history ----
    // Everything done while a step is open is one step of the history (a
    // drag of a bar, a handler that sets two values); each edit opens one of
    // its own. Steps nest; the outermost one counts.
    class Step {
    public:
        explicit Step(EditSession& session);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        EditSession& session_;
    };
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoSteps() const { return undo_.size(); }
    // Puts back the bytes of the last step (redo: of the last one undone),
    // sends them as the step did (undo: the step's sends in reverse order,
    // each as it was made), and tells the window. False when there is none,
    // while quiet or while a step is open.
    bool undo();
    bool redo();
    // The keystrokes of a name are one step until the name box is left.
    void endTyping() { typing_ = false; }
    // A new performance in the image (fetched, opened, switched to): no
    // history, not comparing, and it is the original now.
    void startHistory();
    // The image was replaced in part (a block of a fetch arrived): the
    // history no longer applies to it.
    void dropHistory();
    // The image was stored to the synth: it is the original now.
    void storedAsOriginal() { original_ = model_.image; }
    const PerformanceImage& original() const { return original_; }

    // ---- compare ----
    // On: the original into the image and all seven blocks to the synth; off:
    // the edited performance back, seven blocks again. Muted layers stay
    // silent in both.
    void setComparing(bool on);
    bool comparing() const { return comparing_; }

    // The window shows the image again (after undo, redo and compare), and
    // offers what the history holds.
    std::function<void()> imageRestored;
    std::function<void()> historyChanged;
    // The pause between the blocks of a whole performance on the wire.
    std::function<void(int milliseconds)> pause;

    // ---- refresh ----
    class Quiet {
    public:
        explicit Quiet(EditSession& session);
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        EditSession& session_;
    };
    bool quiet() const { return quietDepth_ > 0; }

private:
    static int clampLayer(int layer) { return layer < 1 ? 1 : layer > 4 ? 4 : layer; }
    void beginStep();
    void endStep();
    // Sends, and takes the send into the open step.
    void dispatch(const SendAction& action);
    // Makes a send again as it was made (edited layer, "all layers").
    void perform(const SendAction& action);
    SendAction parameterSend(const Parameter& p) const;
    void sendParameter(const Parameter& p);
    void muteLayer(int layer, bool muted);
    // A change that is no edit while a step is open: the step starts from it.
    template <class Change>
    void outsideStep(Change change);
    void replay(const std::vector<SendAction>& sends, bool backwards);
    void sendWholePerformance();
    void afterRestore();
    void notifyHistory() {
        if (historyChanged) historyChanged();
    }
    // Writes into the edited layer or all four (common parameters: once).
    void writeTargets(const Parameter& p, int value);
    void setLayerVolume(int value);

    Model& model_;
    MidiLink& link_;
    int quietDepth_ = 0;

    std::vector<EditStep> undo_;
    std::vector<EditStep> redo_;
    int stepDepth_ = 0;
    EditState stepBefore_;
    std::vector<SendAction> stepSends_;
    const void* stepTag_ = nullptr;
    bool typing_ = false;
    bool leftCompareInStep_ = false;

    PerformanceImage original_;
    bool comparing_ = false;
    EditState compared_; // the edited performance while the original sounds
    bool comparedModified_ = false;

    std::mt19937 random_{std::random_device{}()};
};

} // namespace patchsmith
