#pragma once
// Choosing what the synth plays: a layer's bank and voice, and the user
// performance (switched on the synth, then fetched into the editor).

#include <QString>

#include <functional>

class QListWidget;

namespace patchsmith::editor {

class TMainWindow;

class VoiceSelection {
public:
    explicit VoiceSelection(TMainWindow& window);
    void connectControls();

    // Bank row b (0..57) for the edited layer (or all four); sent as layer dumps.
    void PatchBankNumberChange(int bank);
    // Voice row k (0..127) for the edited layer (or all four); sent as a
    // parameter change.
    void PatchVoiceNumberClick(int row);
    // Switches the synth to user performance r (0..127) and fetches it.
    void UserPerfClick(int row);

    // The Yes/No question before a modified performance is given up; true
    // for "Yes". A message box unless replaced (tests answer it themselves).
    std::function<bool(const QString& caption, const QString& text)> askYesNo;

private:
    // Runs `handler` for every row the user chooses in `list` (a ChoiceList):
    // clicks (also on the row already selected), drags, other buttons and
    // keys; never for a row set by code or by the list itself when it gets
    // the focus.
    void connectRowChoice(QListWidget* list, std::function<void(int)> handler);

    TMainWindow& w_;
};

} // namespace patchsmith::editor
