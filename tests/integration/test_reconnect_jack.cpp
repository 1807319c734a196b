// Ports that come and go under the whole editor, over a private JACK server:
// the standalone virtual CS1x is stopped and started again under the same
// names, and then the JACK server itself is restarted. The editor notices
// each loss, shows it, and reconnects with no user action; a click on a user
// performance then fetches it. The polls that a timer makes once a second in
// the program are made here through Application::pollPortsNow(), so that no
// test waits for the timer.

#include "JackServer.h"
#include "RecordingNotifier.h"
#include "SynthProcess.h"
#include "ui/TestApp.h"

#include "app/Application.h"
#include "midi/RtMidiPlatform.h"
#include "ui/MainWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using namespace patchsmith;
using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 30000;
const std::string kClient = "Virtual CS1x";
const std::string kIdentityRequestLine = "<- F0 7E 00 06 01 F7";

std::unique_ptr<test::SynthProcess> startSynth() {
    auto child = std::make_unique<test::SynthProcess>(
        std::vector<std::string>{PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient});
    if (!child->started() || !child->waitForLine("ready")) return nullptr;
    return child;
}

struct Editor {
    QTemporaryDir temp;
    test::RecordingNotifier notifier;
    midi::RtMidiPlatform platform;
    std::unique_ptr<app::Application> application;

    bool start(const std::string& in, const std::string& out) {
        const QString settingsPath = temp.filePath("Patchsmith.conf");
        {
            QSettings s(settingsPath, QSettings::IniFormat);
            s.beginGroup("CS1x");
            s.setValue("Midi-IN", QString::fromStdString(in));
            s.setValue("Midi-OUT", QString::fromStdString(out));
        }
        app::StartupOptions options;
        options.executableDir = temp.path();
        options.documentsDir = temp.path();
        application = std::make_unique<app::Application>(
            platform, notifier,
            [settingsPath] { return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat); }, options);
        return application->start();
    }
    editor::TMainWindow& window() { return *application->window(); }
    MidiDevices& devices() { return application->context().devices; }
    bool connected() { return devices().MidiInOpen && devices().MidiOutOpen; }
    bool lost() { return devices().midiInLost() && devices().midiOutLost(); }

    // Polls as the timer does until `done`; the time it took.
    bool pollUntil(const std::function<bool()>& done, double& seconds) {
        const auto t0 = Clock::now();
        const bool ok = QTest::qWaitFor(
            [&] {
                application->pollPortsNow();
                return done();
            },
            kWaitMs);
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        return ok;
    }

    // A click on user performance `row` fetches it; true when the fetch ends
    // and the synth saw the request for layer 4.
    bool fetchByClick(int row, test::SynthProcess& synth) {
        QListWidget* list = window().UserPerf;
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        const bool ended = QTest::qWaitFor(
            [&] {
                return !window().dispatcher.ReceivingCurrentPerf && application->context().link.PendingRequest == 0;
            },
            kWaitMs);
        return ended && synth.waitForLine("<- F0 43 20 4B 60 04 00 F7") &&
               application->context().model.ActiveUserPerf == row;
    }
};

int countLines(test::SynthProcess& synth, const std::string& line) {
    int n = 0;
    for (const auto& l : synth.received()) n += l == line;
    return n;
}

} // namespace

TEST(ReconnectOverJack, PeerAndServerComeBackAndTheEditorReconnectsByItself) {
    test::testApp();
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();
    auto synth = startSynth();
    ASSERT_TRUE(synth) << "the virtual CS1x did not start";

    Editor e;
    std::string in, out;
    {
        in = test::findDevice(e.platform.inputPortNames(), kClient);
        out = test::findDevice(e.platform.outputPortNames(), kClient);
        ASSERT_FALSE(in.empty());
        ASSERT_FALSE(out.empty());
    }
    ASSERT_TRUE(e.start(in, out));
    editor::TMainWindow& w = e.window();
    w.show();
    ASSERT_TRUE(e.connected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e.notifier.messages.empty(); }, kWaitMs)) << "no identity reply";
    EXPECT_EQ(e.notifier.messages.front().rfind("CS1x responding...", 0), 0u) << e.notifier.messages.front();

    // --- The peer stops: noticed, shown by the lamps, nothing sent. ----------
    synth->stop();
    double seconds = 0;
    ASSERT_TRUE(e.pollUntil([&] { return e.lost(); }, seconds)) << "the loss was not noticed";
    EXPECT_FALSE(e.connected());
    EXPECT_TRUE(w.midiDeviceShownLost(true));
    EXPECT_TRUE(w.midiDeviceShownLost(false));
    EXPECT_EQ(w.MidiInLED->color(), editor::TMainWindow::kLampLost);
    EXPECT_EQ(w.MidiOutLED->accessibleName(), QStringLiteral("OUT - device lost"));
    EXPECT_EQ(w.MidiOutLED->accessibleDescription(), QStringLiteral("MidiOutLED"));
    EXPECT_TRUE(w.StatusLabel->text().endsWith(QStringLiteral("> lost"))) << w.StatusLabel->text().toStdString();
    EXPECT_EQ(e.notifier.messages.size(), 1u) << "a lost port is no message box";

    // --- The peer starts again under the same names. -------------------------
    synth = startSynth();
    ASSERT_TRUE(synth);
    double reconnect = 0;
    ASSERT_TRUE(e.pollUntil([&] { return e.connected(); }, reconnect)) << "no reconnection";
    EXPECT_FALSE(w.midiDeviceShownLost(true));
    EXPECT_EQ(w.MidiInLED->accessibleName(), QStringLiteral("IN"));
    EXPECT_EQ(e.devices().MidiInDeviceName, in) << "the saved names stay";
    // As at start, the identity request goes out and is answered.
    ASSERT_TRUE(synth->waitForLine(kIdentityRequestLine));
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.notifier.messages.size() == 2; }, kWaitMs));
    EXPECT_EQ(e.notifier.messages.back().rfind("CS1x responding...", 0), 0u) << e.notifier.messages.back();
    EXPECT_TRUE(e.fetchByClick(4, *synth));

    // --- The JACK server itself stops and starts again. ----------------------
    synth->stop();
    server.stopServer();
    ASSERT_TRUE(e.pollUntil([&] { return e.lost(); }, seconds)) << "the lost server was not noticed";
    ASSERT_TRUE(server.restart()) << server.why();
    synth = startSynth();
    ASSERT_TRUE(synth);
    double afterServer = 0;
    ASSERT_TRUE(e.pollUntil([&] { return e.connected(); }, afterServer)) << "no reconnection after the server";
    ASSERT_TRUE(synth->waitForLine(kIdentityRequestLine));
    EXPECT_EQ(countLines(*synth, kIdentityRequestLine), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.notifier.messages.size() == 3; }, kWaitMs));
    EXPECT_TRUE(e.fetchByClick(6, *synth));

    std::printf("reconnection after the synth came back: %.3f s; after the JACK server came back: %.3f s "
                "(polled continuously; the program polls once a second)\n",
                reconnect, afterServer);
    e.application->shutdown();
    EXPECT_EQ(e.notifier.messages.size(), 3u) << e.notifier.messages.back();
}
