#pragma once
// The edit handlers: every layer and common control and the effect page turn
// a position into the stored value and the read-out label, and hand the
// value to the editing interface, which writes the image and sends it; knob
// turns reported by the synth move the controls.
//
// The plain parameters (model/Parameters.h) share one handler; the controls
// with their own logic have their own. Handlers read their control's state,
// so they can be run from code as well as by the signals. While the window
// refreshes its controls from the image the editing interface is quiet: a
// handler raised by that refresh leaves the image alone and sends nothing.

#include "model/Bytes.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QListWidget;
class QSlider;

namespace patchsmith {
class EditSession;
struct Parameter;
enum class Envelope;
} // namespace patchsmith

namespace patchsmith::editor {

class TMainWindow;
struct ParameterControls;

class EditHandlers {
public:
    explicit EditHandlers(TMainWindow& window);
    ~EditHandlers();
    EditHandlers(const EditHandlers&) = delete;
    EditHandlers& operator=(const EditHandlers&) = delete;
    // Connects every control's change or click signal to its handler.
    void connectControls();

    // A plain parameter's control changed: a bar moved or a check box
    // clicked; radio button or list row `choice` chosen.
    void parameterChange(const ParameterControls& controls, int choice = -1);

    // Layer controls with their own logic.
    void VelocityDefaultsClick();
    void NoteDetuneChange();
    void NoteLimitLowChange();
    void NoteLimitHighChange();
    void PanPotChange();
    void RandomPanClick();
    void LayerVolumeChange();
    // A click on a wave picture: checks its radio button (whose handler then
    // runs, nested, if it was not checked yet) and runs the wave handler.
    void lfoWavePictureClick(int wave);

    // Common controls with their own logic.
    void ArpTempoChange();
    void ArpTempoMidiClick();
    void ArpModeClick();
    void PerformanceNameChange();

    // Assign knob 2: parameter q = selected tab + 1.
    void Assign2ParaClick();
    void Assign2Layer1Click();
    void assign2Layer2Click();
    void assign2Layer3Click();
    void Assign2Layer4Click();
    void Assign2LevelChange();
    // Shows parameter q in the list, the radio buttons and the bar; sends nothing.
    void Assign2TabChange();

    // Effect page.
    void ReverbTypeClick();
    void ChorusTypeClick();
    void VariTypeClick();
    void VPara1Change();
    void VPara2Change();
    void VPara3Change();
    void VPara4Change();
    void VPara5Change();
    void VPara10Change();
    // Captions, ranges and enabling of the six variation bars for the
    // selected VariType row.
    void SetupVariationControls();
    // Range minimum..maximum of bar p (1..5, 10; others do nothing), its
    // position at the maximum, the bar never holding minimum > maximum.
    void SetVariationRange(int p, int minimum, bool enabled, int maximum);
    // showing: image value to bar; otherwise bar to image (and to the synth).
    // Then the value label.
    void ShowVariationValue(int p, bool showing);

    // Knob turns reported by the synth (controllers 71..74): move the
    // control, write the image, send nothing.
    void HandleSynthKnob(int controller, int value);

private:
    // The two note limits: moving one past the other pushes the partner along.
    void noteLimitChange(const Parameter& own, const Parameter& partner, bool isLow);
    void connectEffectPage();
    // Runs `handler` for every row the user chooses in a list of the window
    // (clicks, also on the row shown, drags and keys), not for rows set by code.
    void onChoice(QListWidget* list, std::function<void(int)> handler);
    bool quiet() const;
    void redraw(Envelope envelope);
    // The read-out text of a bar at `position`.
    static QString readout(const Parameter& p, int position);
    int assignParam() const; // q = 1..4
    void assign2LayerClick(int layer);
    void typeClick(const Parameter& type, int row);
    void vParaChange(int p);
    QSlider* variationBar(int p) const;

    TMainWindow& w_;
    EditSession& edits_;
    // Receiver of every connection: they end with the handlers.
    QObject context_;
};

} // namespace patchsmith::editor
