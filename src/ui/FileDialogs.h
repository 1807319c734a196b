#pragma once
// The one open dialog and the one save dialog that every file command of a
// window shares. They are built when first needed: a file dialog costs more
// to build than anything else in the window, and most runs never open one.
// Each command sets title, filter and initial directory, and says what the
// dialog proposes as the file name: nothing, a name, or the name it had
// last.

#include <QObject>
#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

namespace patchsmith::dialogs {

// What a dialog proposes as the file name when it opens.
struct ProposedName {
    enum class Kind { Empty, Given, Kept };
    Kind kind = Kind::Empty;
    QString name;

    static ProposedName empty() { return {}; }
    static ProposedName given(const QString& n) { return {Kind::Given, n}; }
    // The name the dialog last showed stays.
    static ProposedName kept() { return {Kind::Kept, {}}; }
};

class SharedFileDialogs : public QObject {
    Q_OBJECT
public:
    // The dialogs are children of `owner` (modal over it) and end with it.
    explicit SharedFileDialogs(QWidget* owner);

    // The pair of the nearest window up from `widget` (itself included)
    // that has one; when none has, a pair is made for the window of
    // `widget`.
    static SharedFileDialogs& of(QWidget* widget);

    // Built on first use. The open dialog accepts existing files only;
    // neither asks before an existing file is overwritten.
    QFileDialog* openDialog();
    QFileDialog* saveDialog();
    // Either one without building it: nullptr until first used.
    QFileDialog* openDialogIfBuilt() const { return open_; }
    QFileDialog* saveDialogIfBuilt() const { return save_; }

    // Runs a dialog with title, filter ("text|pattern|text|pattern") and
    // initial directory; the chosen path, or nothing when cancelled. The
    // open dialog always starts without a name.
    std::optional<QString> chooseOpenFile(const QString& title, const QString& filter, const QString& directory);
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter, const QString& directory,
                                          const ProposedName& proposed);

private:
    QWidget* owner_;
    QFileDialog* open_ = nullptr;
    QFileDialog* save_ = nullptr;
};

} // namespace patchsmith::dialogs
