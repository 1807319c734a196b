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

#include "midi/MidiLink.h"
#include "model/Model.h"
#include "model/Parameters.h"

#include <string_view>

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
    // Writes without sending (knob turns reported by the synth).
    void write(const Parameter& p, int value);
    // Sends the parameter's bytes as they are in the image.
    void send(const Parameter& p);
    // The name: at most 8 characters, padded with blanks; sent as the common block.
    void setName(std::u16string_view text);
    // The velocity limits and sense of the default performance into the edited
    // layer (or all four), sent as layer dumps.
    void setVelocityDefaults();
    // Mutes layer 1..4 (volume 0, the volume kept) or restores it, and sends
    // that layer's volume to that layer alone.
    void setMuted(int layer, bool muted);
    // The edited layer into the clipboard, and the clipboard onto it (sent as
    // its layer dump, whatever "all layers" says).
    void copyLayer();
    void pasteLayer();

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
    // Writes into the edited layer or all four (common parameters: once).
    void writeTargets(const Parameter& p, int value);
    void setLayerVolume(int value);

    Model& model_;
    MidiLink& link_;
    int quietDepth_ = 0;
};

} // namespace patchsmith
