#pragma once
// The editor window over a scripted MIDI system with its output open, for
// the tests of the edit handlers: every message sent is recorded, and the
// controls are moved as a user moves them (signals live).

#include "TestApp.h"

#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace patchsmith::test {

using Bytes = std::vector<Byte>;

class EditRecordingNotifier : public Notifier {
public:
    std::vector<std::string> messages;
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

struct EditWindow : ::testing::Test {
    midi::ScriptedMidiPlatform platform;
    EditRecordingNotifier notifier;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<editor::TMainWindow> window;
    editor::TMainWindow* w = nullptr;

    void SetUp() override {
        testApp();
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
        context = std::make_unique<AppContext>(platform, notifier);
        window = std::make_unique<editor::TMainWindow>(*context);
        w = window.get();
        context->devices.OpenMidiOut(0);
        ASSERT_TRUE(context->devices.MidiOutOpen);
        // Every test starts from the default performance, layer 1, nothing sent.
        model().fillDefaults();
        model().CurrentLayer = 1;
        model().AffectAllLayers = false;
        model().SendEnabled = true;
        platform.sent.clear();
    }

    void TearDown() override {
        window.reset();
        context.reset();
    }

    Model& model() { return context->model; }
    PerformanceImage& image() { return context->model.image; }
    std::vector<Bytes> sent() const { return platform.longMessages(); }
    void clearSent() { platform.sent.clear(); }

    template <class T>
    T* find(const std::string& name) {
        T* widget = window->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString label(const std::string& name) {
        const QLabel* l = find<QLabel>("Label_" + name);
        return l ? l->text() : QString();
    }

    // Moves a bar as the user does: its handler runs even when the bar was
    // already at that position.
    static void drag(QSlider* bar, int position) {
        editor::TMainWindow::setPosition(bar, position == bar->minimum() ? bar->maximum() : bar->minimum());
        bar->setValue(position);
    }
    // Sets a check box or radio button with its handlers live, starting from
    // the other state so that the handler runs.
    static void click(QAbstractButton* button, bool checked) {
        if (button->isChecked() == checked) {
            const bool exclusive = button->autoExclusive();
            button->setAutoExclusive(false);
            const QSignalBlocker quiet(button);
            button->setChecked(!checked);
            button->setAutoExclusive(exclusive);
        }
        button->setChecked(checked);
    }

    // Chooses a row of a list as the user does, with a click on it.
    void chooseRow(QListWidget* list, int row) {
        if (!window->isVisible()) window->show();
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    // A 9-byte parameter change F0 43 10 4B 60 mid low data F7.
    static Bytes param(Byte mid, Byte low, Byte data) { return {0xF0, 0x43, 0x10, 0x4B, 0x60, mid, low, data, 0xF7}; }
    // A 10-byte parameter change carrying two bytes.
    static Bytes wide(Byte low, Byte d1, Byte d2) { return {0xF0, 0x43, 0x10, 0x4B, 0x60, 0x00, low, d1, d2, 0xF7}; }

    static QString dp() { return QString(QChar(editor::TMainWindow::decimalPoint())); }
};

// No data byte of a SysEx message has bit 7 set (F0 and F7 frame it).
inline ::testing::AssertionResult sevenBitData(const Bytes& m) {
    for (std::size_t i = 1; i + 1 < m.size(); ++i)
        if (m[i] & 0x80) return ::testing::AssertionFailure() << "byte " << i << " is " << int(m[i]);
    if (m.empty() || m.front() != 0xF0 || m.back() != 0xF7) return ::testing::AssertionFailure() << "not framed";
    return ::testing::AssertionSuccess();
}

} // namespace patchsmith::test
