#include "ui/TestNote.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace patchsmith::editor {

TestNotePlayer::TestNotePlayer(MidiDevices& devices, const SettingsValues& settings, QWidget* window)
    : devices_(devices), settings_(settings), window_(window) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { release(); });
    // Key presses and releases reach the focused control first: the key is
    // watched for the whole application, for this window only.
    qApp->installEventFilter(this);
}

TestNotePlayer::~TestNotePlayer() {
    if (qApp) qApp->removeEventFilter(this);
    release();
}

void TestNotePlayer::play(bool held) {
    release();
    const int pitch = std::clamp(settings_.TestNotePitch, 0, 127);
    const int velocity = std::clamp(settings_.TestNoteVelocity, 1, 127);
    devices_.SendShortMessage(0x90, static_cast<Byte>(pitch), static_cast<Byte>(velocity));
    note_ = pitch;
    byKey_ = held;
    if (!held) timer_.start(std::clamp(settings_.TestNoteLength, kMinLength, kMaxLength));
}

void TestNotePlayer::release() {
    timer_.stop();
    if (note_ < 0) return;
    devices_.SendShortMessage(0x80, static_cast<Byte>(note_), 0x40);
    note_ = -1;
    byKey_ = false;
}

bool TestNotePlayer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_T && !key->isAutoRepeat() && widget && widget->window() == window_) {
            if (type == QEvent::KeyPress && (key->modifiers() & Qt::ControlModifier)) {
                // A key event travels up through the parents: one note.
                if (!(sounding() && byKey_)) play(true);
                return true;
            }
            if (type == QEvent::KeyRelease && sounding() && byKey_) {
                release();
                return true;
            }
        }
    } else if (type == QEvent::WindowDeactivate && watched == window_ && byKey_) {
        // The release would go to another window: the note ends now.
        release();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace patchsmith::editor
