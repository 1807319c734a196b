// The main window as the user interface of the File and Bulk-Dump commands:
// the shared file dialogs, the choosers, the message window and the list.

#include "ui/DialogKit.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/MessageWindow.h"
#include "ui/PathWindow.h"
#include "ui/UserPerfSelectWindow.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QSignalBlocker>
#include <QTimer>

namespace patchsmith::editor {

namespace {

QString fromBytes(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

std::optional<std::string> TMainWindow::openFileDialog(const std::string& title, const std::string& filter,
                                                       const std::string& initialDir) {
    if (presetOpenFile_) {
        std::optional<std::string> named;
        named.swap(presetOpenFile_);
        return named;
    }
    const auto chosen = fileDialogs->chooseOpenFile(QString::fromStdString(title), QString::fromStdString(filter),
                                                    QString::fromStdString(initialDir));
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

std::optional<std::string> TMainWindow::saveFileDialog(const std::string& title, const std::string& filter,
                                                       const std::string& initialDir,
                                                       const std::optional<std::string>& proposedName) {
    const dialogs::ProposedName proposed = !proposedName ? dialogs::ProposedName::kept()
                                           : proposedName->empty()
                                               ? dialogs::ProposedName::empty()
                                               : dialogs::ProposedName::given(QString::fromStdString(*proposedName));
    const auto chosen = fileDialogs->chooseSaveFile(QString::fromStdString(title), QString::fromStdString(filter),
                                                    QString::fromStdString(initialDir), proposed);
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

std::optional<int> TMainWindow::chooseUserPerf(const std::string& caption, const std::string& okCaption, int selected) {
    QStringList rows;
    for (int i = 0; i < UserPerf->count(); ++i) rows << UserPerf->item(i)->text();
    return selectUserPerformance(rows, QString::fromStdString(caption), QString::fromStdString(okCaption), selected,
                                 std::max(selected, 0), this);
}

bool TMainWindow::ChooseLastDir(std::string& lastDir) { return ::patchsmith::ChooseLastDir(lastDir, this); }

int TMainWindow::AskTwoChoices(const std::string& text, const std::string& first, const std::string& second) {
    if (!messageWindow) messageWindow = new TMessageWindow(this);
    return messageWindow->AskTwoChoices(QString::fromStdString(text), QString::fromStdString(first),
                                        QString::fromStdString(second));
}

std::vector<std::string> TMainWindow::userPerfRows() {
    std::vector<std::string> rows;
    for (int i = 0; i < UserPerf->count(); ++i) rows.push_back(UserPerf->item(i)->text().toLatin1().toStdString());
    return rows;
}

void TMainWindow::setUserPerfRows(const std::vector<std::string>& rows) {
    const QSignalBlocker quiet(UserPerf);
    const int selected = UserPerf->currentRow();
    UserPerf->clear();
    for (const std::string& r : rows) UserPerf->addItem(fromBytes(r));
    if (selected >= 0 && selected < UserPerf->count()) UserPerf->setCurrentRow(selected);
}

void TMainWindow::beginBankSend(int records) {
    repaint();
    UserPerf->setUpdatesEnabled(false);
    UserPerf->scrollToTop();
    {
        const QSignalBlocker quiet(UserPerf);
        UserPerf->clearSelection();
        UserPerf->setCurrentRow(-1);
    }
    MidiOutTimer->stop();
    MidiOutLED->setColor(kLampOn);
    setBusyCursor();
    // About 20 ms per block: a whole bank takes some 18 seconds, so the
    // window shows how far it is and keeps painting, while input to it stays
    // blocked by the progress window.
    auto* progress = new QProgressDialog(QStringLiteral("Transferring Performance-bank to the CS1x ..."), QString(), 0,
                                         std::max(records, 1), this);
    progress->setObjectName(QStringLiteral("BankSendProgress"));
    dialogs::setAccessible(progress, progress->labelText(), QStringLiteral("BankSendProgress"));
    progress->setWindowTitle(QString::fromLatin1(kApplicationTitle));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setValue(0);
    progress->show();
    bankProgress_ = progress;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainWindow::bankSendProgress(int done, const std::string& status) {
    ShowStatus(status);
    StatusLabel->repaint();
    if (bankProgress_) bankProgress_->setValue(done);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainWindow::endBankSend() {
    if (bankProgress_) {
        bankProgress_->setValue(bankProgress_->maximum());
        // Input that arrived during the send reaches the windows while the
        // progress window still blocks the main window, so it is dropped
        // there instead of running commands after the send.
        QCoreApplication::processEvents();
        bankProgress_->close();
        delete bankProgress_;
        bankProgress_ = nullptr;
    }
    MidiOutLED->setColor(kLampOff);
    StatusTimer->stop();
    StatusLabel->setText(QStringLiteral("OK"));
    UserPerf->setUpdatesEnabled(true);
    setNormalCursor();
}

} // namespace patchsmith::editor
