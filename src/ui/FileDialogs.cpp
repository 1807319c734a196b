#include "ui/FileDialogs.h"

#include "ui/DialogKit.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>

namespace patchsmith::dialogs {

namespace {

// Qt's own dialog, not the desktop's: only there can the proposed name be
// emptied, and it behaves the same on every desktop.
QFileDialog* makeDialog(QWidget* owner, const char* name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(owner);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog->setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    return dialog;
}

// Empties the name field and the selection it would be taken from; Qt's
// selectFile() ignores an empty name.
void clearName(QFileDialog& dialog) {
    if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->clear();
    for (const char* view : {"listView", "treeView"})
        if (auto* v = dialog.findChild<QAbstractItemView*>(QString::fromLatin1(view))) v->clearSelection();
}

std::optional<QString> run(QFileDialog& dialog, const QString& title, const QString& filter, const QString& directory,
                           const ProposedName& proposed) {
    dialog.setWindowTitle(title);
    dialog.setNameFilters(qtFileFilter(filter).split(QStringLiteral(";;")));
    dialog.setDirectory(directory);
    switch (proposed.kind) {
    case ProposedName::Kind::Empty: clearName(dialog); break;
    case ProposedName::Kind::Given:
        clearName(dialog);
        dialog.selectFile(proposed.name);
        break;
    case ProposedName::Kind::Kept: break;
    }
    if (runModal(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

} // namespace

SharedFileDialogs::SharedFileDialogs(QWidget* owner) : QObject(owner), owner_(owner) {
    setObjectName(QStringLiteral("SharedFileDialogs"));
}

SharedFileDialogs& SharedFileDialogs::of(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* pair = w->findChild<SharedFileDialogs*>(QString(), Qt::FindDirectChildrenOnly)) return *pair;
    return *new SharedFileDialogs(widget->window());
}

QFileDialog* SharedFileDialogs::openDialog() {
    if (!open_) open_ = makeDialog(owner_, "OpenDialog", QFileDialog::AcceptOpen);
    return open_;
}

QFileDialog* SharedFileDialogs::saveDialog() {
    if (!save_) save_ = makeDialog(owner_, "SaveDialog", QFileDialog::AcceptSave);
    return save_;
}

std::optional<QString> SharedFileDialogs::chooseOpenFile(const QString& title, const QString& filter,
                                                         const QString& directory) {
    return run(*openDialog(), title, filter, directory, ProposedName::empty());
}

std::optional<QString> SharedFileDialogs::chooseSaveFile(const QString& title, const QString& filter,
                                                         const QString& directory, const ProposedName& proposed) {
    return run(*saveDialog(), title, filter, directory, proposed);
}

} // namespace patchsmith::dialogs
