// The main window as the user interface of the receive side.

#include "ui/DisplayRefresh.h"
#include "ui/EditHandlers.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>

namespace patchsmith::editor {

void TMainWindow::connectReceiveSide() {
    dispatcher.programChangesOn = [this] { return app_.settings.ProgramChanges; };
    dispatcher.DiskTransferStep = [this] { transfers.DiskTransferStep(); };
    dispatcher.onTimeoutReported = [this] {
        if (transfers.transferRunning()) transfers.windUp("the CS1x does not answer.");
    };
    connect(MidiRequestTimer, &QTimer::timeout, this, [this] { dispatcher.requestTimeout(); });
    dispatcher.currentBlockStored = [this] {
        app_.edits.dropHistory();
        showCompareState();
    };
}

void TMainWindow::showMessage(const std::string& text) { app_.notifier.showMessage(text); }

void TMainWindow::setBusyCursor() {
    // One hourglass however often it is asked for: a single normal cursor
    // call must restore the arrow.
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMainWindow::setNormalCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void TMainWindow::selectUserPerfRow(int row) {
    if (row < 0 || row >= UserPerf->count()) return;
    const QSignalBlocker quiet(UserPerf);
    UserPerf->setCurrentRow(row);
}

void TMainWindow::setUserPerfRow(int row, const std::string& text) {
    if (row < 0 || row >= UserPerf->count()) return;
    UserPerf->item(row)->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TMainWindow::ShowPerformance() {
    refresh->ShowPerformance();
    // A performance fetched, opened or shown at start: a fresh history, and
    // the original that Compare returns to.
    app_.edits.startHistory();
    showCompareState();
}

void TMainWindow::ShowLayer() { refresh->ShowLayer(); }

void TMainWindow::HandleSynthKnob(int controller, int value) { edit->HandleSynthKnob(controller, value); }

void TMainWindow::startRequestTimer(int milliseconds) { MidiRequestTimer->start(milliseconds); }

void TMainWindow::stopRequestTimer() { MidiRequestTimer->stop(); }

void TMainWindow::wait(int milliseconds) {
    // A blocking wait: the pacing of the request chains and block sends.
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace patchsmith::editor
