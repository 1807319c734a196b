#pragma once
// The test note: a note on channel 1 at the pitch and velocity of the
// settings, so that an edit can be heard without reaching for the keyboard.
// The button holds it for the set length; Ctrl+T holds it until the key is
// released.

#include "midi/MidiDevices.h"
#include "ui/AppContext.h"

#include <QObject>
#include <QTimer>

class QWidget;

namespace patchsmith::editor {

class TestNotePlayer : public QObject {
public:
    TestNotePlayer(MidiDevices& devices, const SettingsValues& settings, QWidget* window);
    ~TestNotePlayer() override;

    // Note on; without `held` it is released after the set length. A note
    // still sounding is released first.
    void play(bool held);
    void release();
    bool sounding() const { return note_ >= 0; }

    // Ranges of the settings.
    static constexpr int kMinLength = 50;
    static constexpr int kMaxLength = 10000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MidiDevices& devices_;
    const SettingsValues& settings_;
    QWidget* window_;
    QTimer timer_;
    int note_ = -1;
    bool byKey_ = false;
};

} // namespace patchsmith::editor
