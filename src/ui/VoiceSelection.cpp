#include "ui/VoiceSelection.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "model/catalog/VoiceCatalog.h"
#include "ui/DisplayRefresh.h"
#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace patchsmith::editor {

VoiceSelection::VoiceSelection(TMainWindow& window) : w_(window) {
    askYesNo = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(&w_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    };
}

void VoiceSelection::connectRowChoice(QListWidget* list, std::function<void(int)> handler) {
    auto* choices = qobject_cast<ChoiceList*>(list);
    Q_ASSERT(choices);
    QObject::connect(choices, &ChoiceList::rowChosen, &w_, [handler](int row) {
        if (row >= 0) handler(row);
    });
}

void VoiceSelection::connectControls() {
    // A bank chosen by the user, also the one already shown.
    QObject::connect(w_.PatchBankNumber, &QComboBox::activated, &w_, [this](int bank) {
        if (bank >= 0) PatchBankNumberChange(bank);
    });
    connectRowChoice(w_.PatchVoiceNumber, [this](int row) { PatchVoiceNumberClick(row); });
    connectRowChoice(w_.UserPerf, [this](int row) { UserPerfClick(row); });
}

void VoiceSelection::PatchBankNumberChange(int bank) {
    const Parameter& banks = params::PatchBankNumber;
    if (bank < 0 || bank >= banks.entries) return;
    // A bank change always travels as the whole layer; the program stays.
    EditSession& edits = w_.edits();
    edits.set(banks, bank);

    // The list shows the new bank at the row where the user was looking.
    QListWidget* voices = w_.PatchVoiceNumber;
    const int top = voices->verticalScrollBar()->value();
    DisplayRefresh::fillVoiceList(voices, bank);
    {
        const QSignalBlocker quiet(voices);
        const int program = edits.value(params::PatchVoiceNumber);
        if (program < voices->count()) voices->setCurrentRow(program);
        voices->verticalScrollBar()->setValue(top);
    }
}

void VoiceSelection::PatchVoiceNumberClick(int row) {
    const Parameter& voice = params::PatchVoiceNumber;
    if (row < 0 || row >= voice.entries) return;
    w_.edits().set(voice, storedOf(voice, row));
}

void VoiceSelection::UserPerfClick(int row) {
    if (row < 0 || row > 127) return;
    Model& model = w_.app().model;
    QListWidget* list = w_.UserPerf;
    // A transfer to disk owns the request chain until it ends: a switch now
    // would put the wrong performance into its file.
    if (!w_.dispatcher.mayStartRequestChain()) {
        const QSignalBlocker quiet(list);
        if (model.ActiveUserPerf >= 0 && model.ActiveUserPerf < list->count())
            list->setCurrentRow(model.ActiveUserPerf);
        else
            list->setCurrentRow(-1);
        return;
    }
    if (w_.edits().modified() && list->currentRow() >= 0) {
        if (!askYesNo(QStringLiteral("Caution"),
                      QStringLiteral("Changes on actual Performance will be lost - continue?"))) {
            // The list goes back to the performance that is still active.
            const QSignalBlocker quiet(list);
            if (model.ActiveUserPerf >= 0 && model.ActiveUserPerf < list->count()) {
                list->setCurrentRow(model.ActiveUserPerf);
            } else {
                list->setCurrentRow(-1);
                list->clearSelection();
            }
            return;
        }
    }
    MidiDevices& devices = w_.app().devices;
    if (!devices.MidiOutOpen || !devices.MidiInOpen) return;

    model.ActiveUserPerf = row;
    const QListWidgetItem* item = list->item(row);
    w_.ShowStatus(QStringLiteral("Patch-Change ") + (item ? item->text() : QString()));

    // Bank select 63/65 (the user performances), then the program, channel 1.
    devices.SendShortMessage(0xB0, 0x00, 0x3F);
    devices.SendShortMessage(0xB0, 0x20, 0x41);
    devices.SendShortMessage(0xC0, static_cast<Byte>(row), 0x00);

    w_.setBusyCursor();
    w_.dispatcher.FetchCurrentPerformance();
}

} // namespace patchsmith::editor
