#pragma once
// The edit handlers: every layer and common control and the effect page turn
// a position into the stored byte, the read-out label, the image write and
// the message at once; knob turns reported by the synth move the controls.
//
// The plain controls (ParameterTable.h) share one handler per kind; the
// controls with their own logic have their own handler. Handlers read their
// control's state, so they can be run from code as well as by the signals.
// While the window refreshes its controls from the image, a handler raised by
// that refresh leaves the image alone (and sends nothing).

#include "model/Bytes.h"

#include <QObject>
#include <QString>

#include <string_view>

class QLabel;
class QSlider;

namespace patchsmith::editor {

class TMainWindow;
struct TrackBarParam;
struct CheckBoxParam;
struct RadioGroupParam;
struct ListParam;
enum class Envelope;

class EditHandlers {
public:
    explicit EditHandlers(TMainWindow& window);
    ~EditHandlers();
    EditHandlers(const EditHandlers&) = delete;
    EditHandlers& operator=(const EditHandlers&) = delete;
    // Connects every control's change or click signal to its handler.
    void connectControls();

    // Plain controls, driven by the parameter table.
    void TrackBarChange(const TrackBarParam& param);
    void CheckBoxClick(const CheckBoxParam& param);
    // Button `index` of a radio group became checked.
    void RadioGroupClick(const RadioGroupParam& group, int index);
    void ListClick(const ListParam& param, int row);

    // Layer controls with their own logic.
    void VelocityDefaultsClick();
    void NoteShiftChange();
    void NoteDetuneChange();
    void NoteLimitLowChange();
    void NoteLimitHighChange();
    void PanPotChange();
    void RandomPanClick();
    void LayerVolumeChange();
    // A click on a wave picture: checks its radio button (whose handler then
    // runs, nested, if it was not checked yet) and runs the wave handler.
    void LFOWavePictureClick(int wave);

    // Common controls with their own logic.
    void ArpTempoChange();
    void ArpTempoMidiClick();
    void ArpModeClick();
    void PerformanceNameChange();

    // Assign knob 2: parameter q = selected tab + 1.
    void Assign2ParaClick();
    void Assign2Layer1Click();
    void Assign2Layer2Click();
    void Assign2Layer3Click();
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
    // showing: image value to bar; otherwise bar to image. Then the value label.
    void ShowVariationValue(int p, bool showing);

    // Knob turns reported by the synth (controllers 71..74): move the
    // control, write the image, send nothing.
    void HandleSynthKnob(int controller, int value);

private:
    // The two note limits: moving one past the other pushes the partner along.
    void noteLimitChange(QSlider* own, QLabel* ownLabel, int ownOffset, QSlider* partner, QLabel* partnerLabel,
                         int partnerOffset, bool isLow);
    void connectEffectPage();
    bool quiet() const;
    void redraw(Envelope envelope);
    QSlider* bar(std::string_view name) const;
    QLabel* readout(std::string_view name) const;
    void writeLayer(int offset, Byte value);
    void sendLayer(int offset);
    void writeCommon(int offset, Byte value);
    int assignParam() const; // q = 1..4
    void Assign2LayerClick(int layer);
    void sendAssign2Pair(int q);
    void VParaChange(int p);
    QSlider* variationBar(int p) const;

    TMainWindow& w_;
    // Receiver of every connection: they end with the handlers.
    QObject context_;
};

} // namespace patchsmith::editor
