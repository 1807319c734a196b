#pragma once
// The edit handlers: every layer and common control and the effect page turn
// a position into the stored byte, the read-out label, the image write and
// the message at once; knob turns reported by the synth move the controls.

namespace patchsmith::editor {

class TMainWindow;

class EditHandlers {
public:
    explicit EditHandlers(TMainWindow& window);
    // Connects every control's change or click signal to its handler.
    void connectControls();

    void HandleSynthKnob(int controller, int value);

private:
    TMainWindow& w_;
};

} // namespace patchsmith::editor
