#pragma once
// The whole program started offscreen over a scripted MIDI system whose two
// devices are the configured ones: incoming events are injected, posted to
// the GUI thread as the real device layer posts them, and run by processing
// the event queue. Message boxes go to a recording notifier.

#include "TestApp.h"

#include "app/Application.h"
#include "model/PerformanceImage.h"
#include "support/ScriptedMidiPlatform.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace patchsmith::test {

class RecordingNotifier : public Notifier {
public:
    std::vector<std::string> messages;
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

using Bytes = std::vector<Byte>;

// A complete bulk message of a current-performance block with the given data
// bytes (checksum 0: nothing checks it on receipt).
inline Bytes blockMessage(Block b, const std::vector<Byte>& data) {
    Bytes m(static_cast<std::size_t>(messageLength(b)), 0);
    writeCurrentHeader(m, b);
    for (std::size_t i = 0; i < data.size() && 9 + i < m.size() - 2; ++i) m[9 + i] = data[i];
    return m;
}

struct EditorSession : ::testing::Test {
    QTemporaryDir temp;
    midi::ScriptedMidiPlatform platform;
    RecordingNotifier notifier;
    std::unique_ptr<app::Application> application;
    editor::TMainWindow* w = nullptr;

    // Settings of the run; a test may change them before start().
    bool synthKnobs = true;
    bool programChanges = true;
    bool openDevices = true;

    void SetUp() override {
        testApp();
        ASSERT_TRUE(temp.isValid());
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
    }

    void TearDown() override {
        if (application) application->shutdown();
        application.reset();
    }

    // Starts the program; with `settleAfter` what start-up sent is forgotten.
    void start(bool settleAfter = true) {
        const QString path = temp.filePath("Patchsmith.conf");
        {
            QSettings s(path, QSettings::IniFormat);
            s.beginGroup("CS1x");
            s.setValue("Midi-IN", openDevices ? "CS1x In" : "");
            s.setValue("Midi-OUT", openDevices ? "CS1x Out" : "");
            s.setValue("SynthKnobs", synthKnobs ? "1" : "0");
            s.setValue("ProgramChanges", programChanges ? "1" : "0");
        }
        app::StartupOptions options;
        options.executableDir = temp.path();
        options.documentsDir = temp.path();
        application = std::make_unique<app::Application>(
            platform, notifier, [path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }, options);
        ASSERT_TRUE(application->start());
        w = application->window();
        ASSERT_NE(w, nullptr);
        if (settleAfter) settle();
    }

    AppContext& ctx() { return application->context(); }
    Model& model() { return ctx().model; }
    MidiLink& link() { return ctx().link; }

    // Forgets what start-up sent and awaits, so a test sees only its own traffic.
    void settle() {
        run();
        platform.sent.clear();
        notifier.messages.clear();
        link().PendingRequest = 0;
        w->MidiRequestTimer->stop();
    }

    // Runs the posted events (the MIDI events among them) until none is left.
    static void run() {
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    void injectShort(Byte status, Byte d1, Byte d2) {
        platform.injectShort(status, d1, d2);
        run();
    }
    void injectSysEx(const Bytes& bytes) {
        platform.injectSysEx(bytes);
        run();
    }

    QString status() const { return w->StatusLabel->text(); }

    // A user's click on a row of a list.
    static void clickRow(QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }

    std::vector<Bytes> sentBytes() const {
        std::vector<Bytes> out;
        for (const auto& s : platform.sent) out.push_back(s.bytes);
        return out;
    }
};

// Hex text of a message, for readable failures.
inline std::string hex(const Bytes& b) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (Byte x : b) {
        if (!s.empty()) s += ' ';
        s += digits[x >> 4];
        s += digits[x & 15];
    }
    return s;
}

} // namespace patchsmith::test
