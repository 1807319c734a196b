#include "ui/VoiceSelection.h"

#include "ui/DisplayRefresh.h"
#include "ui/MainWindow.h"
#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "model/catalog/VoiceCatalog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace patchsmith::editor {

namespace {

// Tells the user's own moves in a list from everything else that moves its
// current row (code, or the view itself picking a row when it gets the
// focus): a key held on the list moves the row and counts at once; a row
// pressed with the mouse counts when the click completes, so that a click on
// the row already selected counts as well and no click counts twice.
class RowChoiceWatch : public QObject {
public:
    using QObject::QObject;
    bool keyDown = false;
    bool mouseDown = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress: keyDown = true; break;
        case QEvent::KeyRelease:
        case QEvent::FocusOut: keyDown = false; break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: mouseDown = true; break;
        case QEvent::MouseButtonRelease: mouseDown = false; break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }
    bool byKeyboard() const { return keyDown && !mouseDown; }
};

} // namespace

VoiceSelection::VoiceSelection(TMainWindow& window) : w_(window) {
    askYesNo = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(&w_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    };
}

void VoiceSelection::connectRowChoice(QListWidget* list, std::function<void(int)> handler) {
    auto* watch = new RowChoiceWatch(list);
    list->installEventFilter(watch);           // keys
    list->viewport()->installEventFilter(watch); // mouse
    QObject::connect(list, &QListWidget::currentRowChanged, &w_, [watch, handler](int row) {
        if (watch->byKeyboard() && row >= 0) handler(row);
    });
    QObject::connect(list, &QListWidget::itemClicked, &w_, [list, handler](QListWidgetItem* item) {
        const int row = list->row(item);
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
    DisplayRefresh::FillVoiceList(voices, bank);
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
    if (!w_.Dispatcher.MayStartRequestChain()) {
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
    w_.Dispatcher.FetchCurrentPerformance();
}

} // namespace patchsmith::editor
