// Edit > Undo, Redo, Compare with original and Randomize..., the drag of a
// bar as one step, and the test note. The history itself lives in the
// editing interface; the window offers its commands and shows the image
// they restore.

#include "ui/DisplayRefresh.h"
#include "ui/MainWindow.h"
#include "ui/RandomizeWindow.h"
#include "ui/TestNote.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace patchsmith::editor {

const char* const TMainWindow::kCompareOnText = "Compare: the original performance sounds";
const char* const TMainWindow::kCompareOffText = "Compare: the edited performance sounds";

void TMainWindow::connectEditCommands() {
    EditSession& edits = app_.edits;
    edits.pause = [this](int milliseconds) { wait(milliseconds); };
    edits.imageRestored = [this] {
        refresh->showImage();
        showCompareState();
    };
    edits.historyChanged = [this] { updateEditCommands(); };

    connect(MenuEditUndo, &QAction::triggered, this, [this] { menuEditUndoClick(); });
    connect(MenuEditRedo, &QAction::triggered, this, [this] { menuEditRedoClick(); });
    connect(MenuEditCompare, &QAction::triggered, this, [this] { menuEditCompareClick(); });
    connect(MenuEditRandomize, &QAction::triggered, this, [this] { menuEditRandomizeClick(); });

    // A drag of a bar is one step, however many positions it passes; a key
    // or a click beside the handle moves it one step each time.
    for (QSlider* bar : findChildren<QSlider*>()) {
        connect(bar, &QSlider::sliderPressed, this, [this] { dragStep_.emplace(app_.edits); });
        connect(bar, &QSlider::sliderReleased, this, [this] { dragStep_.reset(); });
    }
    // The keystrokes of one visit to the name box are one step.
    connect(PerformanceName, &QLineEdit::editingFinished, this, [this] { app_.edits.endTyping(); });

    testNote_ = std::make_unique<TestNotePlayer>(app_.devices, app_.settings, this);
    connect(TestNote, &QPushButton::clicked, this, [this] { testNote_->play(false); });

    randomizeSettings.groups.assign(std::begin(kRandomGroups), std::end(kRandomGroups));
    updateEditCommands();
}

void TMainWindow::updateEditCommands() {
    MenuEditUndo->setEnabled(app_.edits.canUndo());
    MenuEditRedo->setEnabled(app_.edits.canRedo());
}

QString TMainWindow::restingStatus() const {
    return app_.edits.comparing() ? QString::fromLatin1(kCompareOnText) : QStringLiteral("OK");
}

void TMainWindow::showCompareState() {
    const bool comparing = app_.edits.comparing();
    MenuEditCompare->setChecked(comparing);
    if (comparing) {
        // Stays while the original sounds; other texts return to it.
        StatusTimer->stop();
        StatusLabel->setText(QString::fromLatin1(kCompareOnText));
    } else if (StatusLabel->text() == QLatin1String(kCompareOnText)) {
        ShowStatus(QString::fromLatin1(kCompareOffText));
    }
}

void TMainWindow::menuEditUndoClick() {
    if (app_.edits.undo()) ShowStatus(QStringLiteral("Undone"));
}

void TMainWindow::menuEditRedoClick() {
    if (app_.edits.redo()) ShowStatus(QStringLiteral("Redone"));
}

void TMainWindow::menuEditCompareClick() {
    app_.edits.setComparing(!app_.edits.comparing());
    showCompareState();
}

void TMainWindow::menuEditRandomizeClick() {
    const auto choice = chooseRandomize(randomizeSettings, this);
    if (!choice) return;
    randomizeSettings = *choice;
    app_.edits.randomize(*choice);
    refresh->showImage();
    ShowStatus(QStringLiteral("Randomized"));
}

void TMainWindow::performanceStored() { app_.edits.storedAsOriginal(); }

} // namespace patchsmith::editor
