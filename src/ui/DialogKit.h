#pragma once
// What the small windows and the bank manager share: how a modal window is
// run (replaceable, so that tests never block), the look of lists, titles and
// group captions, accessibility names, fixed-size dialog frames, and the
// application-wide switch for tool-tip hints.

#include <QColor>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace patchsmith::dialogs {

// Runs a dialog modally and returns its result code. By default this is
// QDialog::exec(); tests install a runner that drives the dialog and returns.
using ModalRunner = std::function<int(QDialog&)>;
int runModal(QDialog& dialog);
// Installs a runner; an empty one restores exec().
void setModalRunner(ModalRunner runner);

// Colours of the CS1x look.
inline const QColor kNavy{0, 0, 128};
inline const QColor kLime{0, 255, 0};

// Tool-tip hint and accessible name `hint`, accessible description `specName`.
void setHint(QWidget* widget, const QString& hint, const QString& specName);
// Accessible name (a control without a hint: its caption) and description.
void setAccessible(QWidget* widget, const QString& name, const QString& specName);
// A label that shows live text: no accessible name, only the description.
void setReadout(QWidget* widget, const QString& specName);

// Bold lime text on black: lists, directory trees, drive selectors.
void styleLimeOnBlack(QWidget* widget);
// Bold navy text: titles of lists and captions of group boxes.
void styleBoldNavy(QWidget* widget);
// The normal look whatever the parent has: 8-point, not bold, black text.
void stylePlain(QWidget* widget);
// Navy text in the normal font (buttons that stand out).
void styleNavyText(QWidget* widget);

// The common frame of the small windows: caption, only the system menu (and
// close) among the title-bar buttons, the normal 8-point font, and a client
// area of w x h; fixed unless `sizable`.
void prepareDialog(QDialog* dialog, const QString& caption, int w, int h, bool sizable = false);
// Moves a window to the centre of the screen it is on (or the primary one).
void centreOnScreen(QWidget* widget);

// A file-dialog filter written as "text|pattern|text|pattern" in the form a
// Qt file dialog takes ("text;;text"); a text without its patterns in
// parentheses gets them appended ("Banks (*.PFB)").
QString qtFileFilter(const QString& pipeFilter);

// Switches tool-tip hints on or off for the whole application at once.
void showApplicationHints(bool on);
bool applicationHintsShown();

} // namespace patchsmith::dialogs
