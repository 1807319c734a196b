#pragma once
// Choosing what the synth plays: a layer's bank and voice, and the user
// performance (switched on the synth, then fetched into the editor).

namespace patchsmith::editor {

class TMainWindow;

class VoiceSelection {
public:
    explicit VoiceSelection(TMainWindow& window);
    void connectControls();

private:
    TMainWindow& w_;
};

} // namespace patchsmith::editor
