// The File, Bulk-Dump and About commands of the main window, the button that
// saves into a user performance, and the windows these open.

#include "ui/AboutWindow.h"
#include "ui/BankEditWindow.h"
#include "ui/DialogKit.h"
#include "ui/MainWindow.h"
#include "ui/MidiWindow.h"

#include <QAction>
#include <QPushButton>

namespace patchsmith::editor {

void TMainWindow::connectMenuCommands() {
    auto on = [this](QAction* action, void (BulkTransfers::*command)()) {
        connect(action, &QAction::triggered, this, [this, command] { (transfers.*command)(); });
    };
    on(MenuFileOpenActPerf, &BulkTransfers::MenuFileOpenActPerfClick);
    on(MenuFileOpenPerfNames, &BulkTransfers::MenuFileOpenPerfNamesClick);
    // What is saved is the edited performance, also while the original sounds.
    connect(MenuFileSaveActPerf, &QAction::triggered, this, [this] {
        app_.edits.setComparing(false);
        transfers.MenuFileSaveActPerfClick();
    });
    on(MenuFileSavePerfNames, &BulkTransfers::MenuFileSavePerfNamesClick);
    on(MenuBulkPerfNames, &BulkTransfers::MenuBulkPerfNamesClick);
    on(MenuBulkSinglePerfSynth, &BulkTransfers::MenuBulkSinglePerfSynthClick);
    on(MenuBulkPerfBankSynth, &BulkTransfers::MenuBulkPerfBankSynthClick);
    on(MenuBulkSinglePerfHD, &BulkTransfers::MenuBulkSinglePerfHDClick);
    on(MenuBulkAllPerfHD, &BulkTransfers::MenuBulkAllPerfHDClick);
    connect(SaveToSynth, &QPushButton::clicked, this, [this] {
        app_.edits.setComparing(false);
        transfers.SaveToSynthClick();
    });

    connect(MenuFilePreferences, &QAction::triggered, this, [this] {
        AppContext& app = app_;
        showMidiSettings(
            app.devices, SynthSwitchRefs{app.settings.SynthKnobs, app.settings.ProgramChanges, app.settings.ShowHints},
            app.notifier, [&app] { app.link.SendRequest(TransferKind::Identity); }, &TMainWindow::applyShowHints, this,
            TestNoteRefs{app.settings.TestNotePitch, app.settings.TestNoteVelocity, app.settings.TestNoteLength});
    });

    connect(MenuBulkBankEdit, &QAction::triggered, this, [this] { openBankManager(); });

    // " &About " is an entry of the menu bar itself: choosing it opens the
    // about window, as a click on the picture does.
    connect(MenuAbout, &QAction::triggered, this, [this] { showAbout(this); });
    connect(Image2, &PictureBox::clicked, this, [this] { showAbout(this); });
}

void TMainWindow::openBankManager(const std::string& bankFile) {
    AppContext& app = app_;
    // Over this window, the bank manager saves banks and chooses dumps to
    // import through this window's one save and one open dialog.
    TBankEditWindow window(app.bank, app.slotLabels, app.settings.PerfBankDir, app.notifier, this);
    if (!bankFile.empty()) window.openBankFile(QString::fromStdString(bankFile));
    dialogs::runModal(window);
}

void TMainWindow::openActPerfFile(const std::string& path) {
    presetOpenFile_ = path;
    transfers.MenuFileOpenActPerfClick();
    presetOpenFile_.reset();
}

void TMainWindow::openPerfNamesFile(const std::string& path) {
    presetOpenFile_ = path;
    transfers.MenuFileOpenPerfNamesClick();
    presetOpenFile_.reset();
}

} // namespace patchsmith::editor
