// The whole start-up and shutdown, offscreen, with a scripted MIDI system, a
// recording notifier and a settings file in a temporary directory.

#include "ui/TestApp.h"

#include "app/Application.h"
#include "midi/CompositeMidiPlatform.h"
#include "support/ScriptedMidiPlatform.h"
#include "synth/VirtualMidiPlatform.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <thread>

using namespace patchsmith;

namespace {

class RecordingNotifier : public Notifier {
public:
    std::vector<std::string> messages;
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

const std::vector<Byte> kIdentityRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};

struct StartupFixture : ::testing::Test {
    QTemporaryDir temp;
    QString settingsPath;
    midi::ScriptedMidiPlatform platform;
    RecordingNotifier notifier;
    app::StartupOptions options;

    void SetUp() override {
        test::testApp();
        ASSERT_TRUE(temp.isValid());
        settingsPath = temp.filePath("Patchsmith.conf");
        QDir(temp.path()).mkpath("exe");
        QDir(temp.path()).mkpath("docs");
        options.executableDir = temp.filePath("exe");
        options.documentsDir = temp.filePath("docs");
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
    }

    void store(std::initializer_list<std::pair<const char*, const char*>> values) {
        QSettings s(settingsPath, QSettings::IniFormat);
        s.beginGroup("CS1x");
        for (auto [k, v] : values) s.setValue(k, v);
    }

    QString stored(const char* name) {
        QSettings s(settingsPath, QSettings::IniFormat);
        s.beginGroup("CS1x");
        return s.value(name, QStringLiteral("<missing>")).toString();
    }

    std::unique_ptr<app::Application> make(midi::MidiPlatform& p) {
        const QString path = settingsPath;
        return std::make_unique<app::Application>(
            p, notifier, [path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }, options);
    }
    std::unique_ptr<app::Application> make() { return make(platform); }

    bool sentIdentityRequest(const midi::ScriptedMidiPlatform& p) const {
        for (const auto& m : p.longMessages())
            if (m == kIdentityRequest) return true;
        return false;
    }
};

} // namespace

TEST_F(StartupFixture, FirstRunWithEmptySettings) {
    auto app = make();
    ASSERT_TRUE(app->start());
    const SettingsValues& v = app->context().settings;
    EXPECT_EQ(QString::fromStdString(v.LastDir), options.executableDir);
    EXPECT_EQ(QString::fromStdString(v.PerfBankDir), options.executableDir);
    EXPECT_TRUE(v.PerfListFile.empty());
    EXPECT_TRUE(v.ShowHints);
    EXPECT_TRUE(v.SynthKnobs);
    EXPECT_TRUE(v.ProgramChanges);
    // No device named: nothing opened, so the identity request cannot leave.
    EXPECT_FALSE(app->context().devices.MidiInOpen);
    EXPECT_FALSE(app->context().devices.MidiOutOpen);
    EXPECT_EQ(app->context().devices.MidiInDeviceIndex, -1);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(app->context().devices.MidiInDeviceNames, (std::vector<std::string>{"CS1x In"}));

    app->shutdown();
    EXPECT_EQ(stored("Midi-IN"), QString());
    EXPECT_EQ(stored("Midi-OUT"), QString());
    EXPECT_EQ(stored("Last-Dir"), options.executableDir);
    EXPECT_EQ(stored("PerfBank-Dir"), options.executableDir);
    EXPECT_EQ(stored("AktPerfList"), QString());
    EXPECT_EQ(stored("ShowHints"), QStringLiteral("1"));
    EXPECT_EQ(stored("SynthKnobs"), QStringLiteral("1"));
    EXPECT_EQ(stored("ProgramChanges"), QStringLiteral("1"));
}

TEST_F(StartupFixture, ReadOnlyProgramDirectoryDefaultsToDocuments) {
    options.executableDir = temp.filePath("not-there"); // cannot be written to
    auto app = make();
    ASSERT_TRUE(app->start());
    EXPECT_EQ(QString::fromStdString(app->context().settings.LastDir), options.documentsDir);
    EXPECT_EQ(QString::fromStdString(app->context().settings.PerfBankDir), options.documentsDir);
}

TEST_F(StartupFixture, StoredBooleansAndDirectories) {
    store({{"Last-Dir", "/perfs"},
           {"PerfBank-Dir", ""},
           {"SynthKnobs", "0x0"},
           {"ProgramChanges", "yes"},
           {"ShowHints", "0"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    const SettingsValues& v = app->context().settings;
    EXPECT_EQ(v.LastDir, "/perfs");
    EXPECT_EQ(QString::fromStdString(v.PerfBankDir), options.executableDir);
    EXPECT_FALSE(v.SynthKnobs);
    EXPECT_TRUE(v.ProgramChanges);
    EXPECT_FALSE(v.ShowHints);
    app->shutdown();
    EXPECT_EQ(stored("SynthKnobs"), QStringLiteral("0"));
    EXPECT_EQ(stored("ProgramChanges"), QStringLiteral("1"));
    EXPECT_EQ(stored("ShowHints"), QStringLiteral("0"));
}

TEST_F(StartupFixture, ConfiguredDevicesOpenAndTheIdentityRequestLeaves) {
    platform.outputs = {"Other", "CS1x Out"};
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    MidiDevices& d = app->context().devices;
    EXPECT_TRUE(d.MidiInOpen);
    EXPECT_TRUE(d.MidiOutOpen);
    EXPECT_EQ(d.MidiOutDeviceIndex, 1);
    EXPECT_EQ(platform.openedOutputDevice(), 1u);
    ASSERT_EQ(platform.longMessages().size(), 1u);
    EXPECT_EQ(platform.longMessages()[0], kIdentityRequest);
    EXPECT_EQ(app->context().link.PendingRequest, 1);
    // The send pulsed the MIDI-out lamp.
    EXPECT_EQ(app->window()->MidiOutLED->color(), QColor(0, 255, 0));
    EXPECT_TRUE(app->window()->MidiOutTimer->isActive());

    app->shutdown();
    const auto& calls = platform.calls;
    const auto closeIn = std::find(calls.begin(), calls.end(), "closeInput");
    const auto closeOut = std::find(calls.begin(), calls.end(), "closeOutput");
    ASSERT_NE(closeIn, calls.end());
    ASSERT_NE(closeOut, calls.end());
    EXPECT_LT(closeIn - calls.begin(), closeOut - calls.begin());
    EXPECT_FALSE(d.MidiInOpen);
    EXPECT_FALSE(d.MidiOutOpen);
    EXPECT_EQ(stored("Midi-OUT"), QStringLiteral("CS1x Out"));
}

TEST_F(StartupFixture, NoOutputDeviceAtAll) {
    platform.outputs.clear();
    store({{"Midi-IN", "CS1x In"},
           {"Midi-OUT", "Gone"},
           {"Last-Dir", "/keep"},
           {"AktPerfList", ""},
           {"SynthKnobs", "0"}});
    auto app = make();
    EXPECT_FALSE(app->start());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "You should have at least ONE MIDI-Device in your Computer I think!");
    ASSERT_NE(app->window(), nullptr);
    EXPECT_FALSE(app->window()->isVisible());
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "openInput"), 0);

    app->shutdown();
    EXPECT_EQ(stored("Midi-IN"), QStringLiteral("CS1x In"));
    EXPECT_EQ(stored("Midi-OUT"), QStringLiteral("Gone"));
    EXPECT_EQ(stored("Last-Dir"), QStringLiteral("/keep"));
    EXPECT_EQ(stored("PerfBank-Dir"), options.executableDir);
    EXPECT_EQ(stored("SynthKnobs"), QStringLiteral("0"));
    EXPECT_EQ(stored("ShowHints"), QStringLiteral("1"));
}

TEST_F(StartupFixture, TheWindowIsReadyBeforeAnyDeviceIsOpened) {
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make();
    ASSERT_TRUE(app->startWindow());
    ASSERT_NE(app->window(), nullptr);
    MidiDevices& d = app->context().devices;
    EXPECT_FALSE(d.MidiInOpen);
    EXPECT_FALSE(d.MidiOutOpen);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "openInput"), 0);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "openOutput"), 0);

    ASSERT_TRUE(app->openDevices());
    EXPECT_TRUE(d.MidiInOpen);
    EXPECT_TRUE(d.MidiOutOpen);
    EXPECT_EQ(platform.longMessages(), std::vector<std::vector<Byte>>{kIdentityRequest});
    EXPECT_EQ(app->context().link.PendingRequest, 1);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(StartupFixture, DevicesGoneBeforeTheyAreOpenedEndTheStart) {
    auto app = make();
    ASSERT_TRUE(app->startWindow());
    platform.outputs.clear();
    EXPECT_FALSE(app->openDevices());
    EXPECT_EQ(notifier.messages,
              std::vector<std::string>{"You should have at least ONE MIDI-Device in your Computer I think!"});
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(StartupFixture, TheBuiltInSynthSpeaksForItselfBeforeTheWindowShows) {
    // The computer's MIDI system is not asked until the window is on screen.
    synth::VirtualMidiPlatform virtualSynth;
    midi::CompositeMidiPlatform merged({&platform, &virtualSynth});
    options.fallbackDevice = synth::VirtualMidiPlatform::kDeviceName;
    auto app = make(merged);
    ASSERT_TRUE(app->startWindow());
    EXPECT_TRUE(platform.calls.empty());
    ASSERT_TRUE(app->openDevices());
    EXPECT_NE(std::count(platform.calls.begin(), platform.calls.end(), "inputPortNames"), 0);
    EXPECT_TRUE(app->context().devices.MidiOutOpen);

    // Without it, the computer's system is asked once a side has a port.
    platform.calls.clear();
    midi::CompositeMidiPlatform hardwareOnly({&platform});
    auto second = make(hardwareOnly);
    platform.outputs.clear();
    EXPECT_FALSE(second->startWindow());
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"inputPortNames", "outputPortNames"}));
}

TEST(Toolkit, TheMenuBarOverflowIconIsFusionsReadWhenDrawn) {
    test::testApp();
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    EXPECT_FALSE(icon.isNull());
    const QImage drawn = icon.pixmap(16, 16).toImage();
    EXPECT_FALSE(drawn.isNull());
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    ASSERT_NE(fusion, nullptr);
    EXPECT_EQ(drawn, fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage());
    // Every other icon is Fusion's as it stands.
    EXPECT_EQ(QApplication::style()->standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage(),
              fusion->standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage());
}

TEST_F(StartupFixture, NameListFileFillsTheUserPerformanceList) {
    const QString list = temp.filePath("names.pfn");
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("001  PD Mine\r\n002  LD Yours\r\n003  BA Theirs\r\n");
    }
    store({{"AktPerfList", list.toUtf8().constData()}});
    auto app = make();
    ASSERT_TRUE(app->start());
    QListWidget* rows = app->window()->UserPerf;
    ASSERT_EQ(rows->count(), 128);
    EXPECT_EQ(rows->item(0)->text(), QStringLiteral("001  PD Mine"));
    EXPECT_EQ(rows->item(2)->text(), QStringLiteral("003  BA Theirs"));
    EXPECT_EQ(rows->item(3)->text(), QStringLiteral("004"));
    EXPECT_TRUE(notifier.messages.empty());
    app->shutdown();
    EXPECT_EQ(stored("AktPerfList"), list);
}

TEST_F(StartupFixture, UnreadableNameListIsReportedAndStartUpGoesOn) {
    const QString list = temp.filePath("missing.pfn");
    store({{"AktPerfList", list.toUtf8().constData()}});
    auto app = make();
    ASSERT_TRUE(app->start());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("missing.pfn"), std::string::npos);
    editor::TMainWindow* w = app->window();
    EXPECT_EQ(w->UserPerf->item(0)->text(), QStringLiteral("001  DR umTrax2"));
    EXPECT_EQ(app->context().perfNumberTexts[0], "001");
    EXPECT_EQ(app->context().perfNumberTexts[127], "128");
}

TEST_F(StartupFixture, WindowCreationFillsTheImageAndTheLists) {
    auto app = make();
    ASSERT_TRUE(app->start());
    editor::TMainWindow* w = app->window();
    EXPECT_EQ(w->windowTitle(), QStringLiteral(" Qarn Patchsmith V1.1 - YAMAHA-CX1x"));
    PerformanceImage expected;
    expected.fillDefaults();
    const Model& m = app->context().model;
    EXPECT_TRUE(m.image == expected);
    EXPECT_TRUE(std::equal(m.LayerClipboard.begin(), m.LayerClipboard.end(), expected.layerMessage(1).begin()));
    EXPECT_EQ(m.CurrentLayer, 1);
    EXPECT_EQ(m.ActiveUserPerf, -1);
    EXPECT_TRUE(m.SendEnabled);
    EXPECT_FALSE(m.PerfModified);
    EXPECT_EQ(w->PatchBankNumber->currentIndex(), 0);
    EXPECT_EQ(w->PatchVoiceNumber->currentRow(), 0);
    EXPECT_EQ(app->context().perfNumberTexts[9], "010");
}

TEST_F(StartupFixture, HintsFollowTheSetting) {
    store({{"ShowHints", "0"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    editor::TMainWindow* w = app->window();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    auto askForHint = [&] {
        QToolTip::hideText();
        QHelpEvent e(QEvent::ToolTip, QPoint(5, 5), w->SaveToSynth->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(w->SaveToSynth, &e);
        return QToolTip::isVisible();
    };
    EXPECT_FALSE(askForHint());
    editor::TMainWindow::applyShowHints(true);
    EXPECT_TRUE(askForHint());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Make actual changes permanent"));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 255, 0));
    QToolTip::hideText();
}

TEST_F(StartupFixture, InputEventsReachTheGuiThreadInOrder) {
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    std::vector<std::uint32_t> seen;
    std::vector<std::thread::id> threads;
    app->context().devices.onInputEvent = [&](const midi::MidiInputEvent& e) {
        seen.push_back(e.shortMessage);
        threads.push_back(std::this_thread::get_id());
    };
    std::thread driver([&] {
        for (int i = 0; i < 50; ++i) platform.injectShort(0x90, static_cast<Byte>(i), 100);
    });
    driver.join();
    EXPECT_TRUE(seen.empty()); // posted, not handled on the driver's thread
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], midi::packShort(0x90, static_cast<Byte>(i), 100));
    for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(StartupFixture, VirtualSynthIsOpenedWhenNoConfiguredDeviceIsPresent) {
    midi::ScriptedMidiPlatform virtualSynth;
    virtualSynth.inputs = {"Virtual CS1x"};
    virtualSynth.outputs = {"Virtual CS1x"};
    midi::CompositeMidiPlatform merged({&platform, &virtualSynth});
    options.fallbackDevice = "Virtual CS1x";
    store({{"Midi-IN", "Unplugged"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make(merged);
    ASSERT_TRUE(app->start());
    MidiDevices& d = app->context().devices;
    EXPECT_EQ(d.MidiInDeviceNames, (std::vector<std::string>{"CS1x In", "Virtual CS1x"}));
    EXPECT_EQ(d.MidiInDeviceIndex, 1);  // the virtual synth
    EXPECT_EQ(d.MidiOutDeviceIndex, 0); // the configured device is present
    EXPECT_NE(virtualSynth.openInputHandle(), 0u);
    EXPECT_EQ(virtualSynth.openOutputHandle(), 0u);
    EXPECT_TRUE(sentIdentityRequest(platform));
    // The device that stood in is not the user's choice: one start with the
    // interface unplugged must not replace the saved device for good.
    EXPECT_EQ(d.MidiInDeviceName, "Unplugged");
    app->shutdown();
    EXPECT_EQ(stored("Midi-IN"), QStringLiteral("Unplugged"));
    EXPECT_EQ(stored("Midi-OUT"), QStringLiteral("CS1x Out"));

    // Plugged in again, the saved device is opened at the next start.
    platform.inputs = {"CS1x In", "Unplugged"};
    auto again = make(merged);
    ASSERT_TRUE(again->start());
    EXPECT_EQ(again->context().devices.MidiInDeviceIndex, 1);
    EXPECT_EQ(platform.openedInputDevice(), 1u);
    again->shutdown();
}

TEST_F(StartupFixture, OnlyTheFallbackPresentKeepsBothSavedNames) {
    midi::ScriptedMidiPlatform virtualSynth;
    virtualSynth.inputs = {"Virtual CS1x"};
    virtualSynth.outputs = {"Virtual CS1x"};
    midi::ScriptedMidiPlatform noHardware;
    noHardware.inputs.clear();
    noHardware.outputs.clear();
    midi::CompositeMidiPlatform merged({&noHardware, &virtualSynth});
    options.fallbackDevice = "Virtual CS1x";
    store({{"Midi-IN", "UM-ONE:UM-ONE MIDI 1 24:0"}, {"Midi-OUT", "UM-ONE:UM-ONE MIDI 1 24:0"}});
    auto app = make(merged);
    ASSERT_TRUE(app->start());
    EXPECT_TRUE(app->context().devices.MidiInOpen);
    EXPECT_TRUE(app->context().devices.MidiOutOpen);
    app->shutdown();
    EXPECT_EQ(stored("Midi-IN"), QStringLiteral("UM-ONE:UM-ONE MIDI 1 24:0"));
    EXPECT_EQ(stored("Midi-OUT"), QStringLiteral("UM-ONE:UM-ONE MIDI 1 24:0"));
}

TEST_F(StartupFixture, SettingsThatCannotBeWrittenAreReported) {
    // A settings file below a plain file: no directory can be made there,
    // not even by root.
    QFile blocker(temp.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    settingsPath = temp.filePath("blocker/Patchsmith.conf");
    auto app = make();
    ASSERT_TRUE(app->start());
    EXPECT_TRUE(notifier.messages.empty());
    app->shutdown();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "Unable to save the settings to <" +
                                        QDir::toNativeSeparators(settingsPath).toStdString() +
                                        "> : the file cannot be written");
}

TEST_F(StartupFixture, WrittenSettingsAreNotReported) {
    auto app = make();
    ASSERT_TRUE(app->start());
    app->shutdown();
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(stored("ShowHints"), QStringLiteral("1"));
}

TEST_F(StartupFixture, TalksToTheBuiltInVirtualCs1x) {
    synth::VirtualMidiPlatform virtualCs1x;
    midi::ScriptedMidiPlatform noHardware;
    noHardware.inputs.clear();
    noHardware.outputs.clear();
    midi::CompositeMidiPlatform merged({&noHardware, &virtualCs1x});
    options.fallbackDevice = synth::VirtualMidiPlatform::kDeviceName;
    auto app = make(merged);
    ASSERT_TRUE(app->start());
    EXPECT_NE(app->messageWindow(), nullptr);
    std::vector<midi::MidiInputEvent> events;
    app->context().devices.onInputEvent = [&](const midi::MidiInputEvent& e) { events.push_back(e); };
    // The identity request left at start; the instrument's reply comes back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, 5000));
    ASSERT_TRUE(events[0].isSysEx);
    ASSERT_EQ(events[0].sysex.size(), 15u);
    EXPECT_EQ(events[0].sysex[0], 0xF0);
    EXPECT_EQ(events[0].sysex[1], 0x7E);
    EXPECT_EQ(events[0].sysex[3], 0x06);
    EXPECT_EQ(events[0].sysex[4], 0x02);
    app->shutdown();
    // Nothing was chosen: nothing is saved.
    EXPECT_EQ(stored("Midi-IN"), QString());
    EXPECT_EQ(stored("Midi-OUT"), QString());
}

TEST_F(StartupFixture, ALostDeviceIsShownByItsLampAndTheStatusLineAndComesBack) {
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    editor::TMainWindow& w = *app->window();
    MidiDevices& d = app->context().devices;
    const QColor idle(0, 128, 0);
    EXPECT_EQ(w.MidiInLED->color(), idle);

    platform.inputs.clear();
    ASSERT_TRUE(d.pollPorts());
    EXPECT_EQ(w.MidiInLED->color(), editor::TMainWindow::kLampLost);
    EXPECT_NE(w.MidiInLED->color(), idle);
    EXPECT_EQ(w.MidiInLED->accessibleName(), QStringLiteral("IN - device lost"));
    EXPECT_EQ(w.MidiInLED->accessibleDescription(), QStringLiteral("MidiInLED"));
    EXPECT_NE(w.MidiOutLED->color(), editor::TMainWindow::kLampLost);
    EXPECT_EQ(w.MidiOutLED->accessibleName(), QStringLiteral("OUT"));
    EXPECT_EQ(w.StatusLabel->text(), QStringLiteral("MIDI-IN device <CS1x In> lost"));
    EXPECT_TRUE(notifier.messages.empty());
    // A pulse of the lamp ends in the lost colour, not at rest.
    w.PulseMidiInLed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.MidiInTimer->isActive(); }, 2000));
    EXPECT_EQ(w.MidiInLED->color(), editor::TMainWindow::kLampLost);

    platform.sent.clear();
    platform.inputs = {"CS1x In"};
    ASSERT_TRUE(d.pollPorts());
    EXPECT_EQ(w.MidiInLED->color(), QColor(0, 128, 0));
    EXPECT_EQ(w.MidiInLED->accessibleName(), QStringLiteral("IN"));
    EXPECT_EQ(w.StatusLabel->text(), QStringLiteral("MIDI-IN device <CS1x In> connected again"));
    EXPECT_TRUE(sentIdentityRequest(platform));
    app->shutdown();
    EXPECT_EQ(stored("Midi-IN"), QStringLiteral("CS1x In"));
}

TEST_F(StartupFixture, PortsAreNotLookedAtWhileARequestChainWaitsOrABankIsSent) {
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    auto app = make();
    ASSERT_TRUE(app->start());
    editor::TMainWindow& w = *app->window();
    MidiDevices& d = app->context().devices;
    EXPECT_FALSE(app->busy());

    w.dispatcher.FetchCurrentPerformance();
    ASSERT_TRUE(w.MidiRequestTimer->isActive());
    EXPECT_TRUE(app->busy());
    platform.inputs.clear();
    platform.calls.clear();
    EXPECT_FALSE(d.pollPorts());
    EXPECT_FALSE(app->pollPortsNow());
    EXPECT_TRUE(d.MidiInOpen);
    EXPECT_TRUE(platform.calls.empty());

    // Timed out, the fetch has stalled: it no longer holds the ports up.
    w.dispatcher.requestTimeout();
    w.MidiRequestTimer->stop();
    EXPECT_TRUE(w.dispatcher.ReceivingCurrentPerf);
    EXPECT_FALSE(app->busy());

    w.dispatcher.sendingBank = true; // what the bank send to the synth sets while it runs
    EXPECT_TRUE(app->busy());
    w.dispatcher.sendingBank = false;
    EXPECT_FALSE(app->busy());

    // The poll of the timer: listed on a thread of its own, applied here.
    ASSERT_TRUE(app->pollPortsNow());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.MidiInOpen; }, 10000));
    EXPECT_EQ(w.MidiInLED->color(), editor::TMainWindow::kLampLost);
    app->shutdown();
}

// The program shows its first frame before the hidden pages are built: the
// window is complete before a MIDI device opens, and a name list that cannot
// be read is told only then (a message box would take input before).
TEST_F(StartupFixture, WindowBuiltInTwoStepsIsCompleteBeforeTheDevicesOpen) {
    options.hiddenPagesLater = true;
    store({{"Midi-IN", "CS1x In"}, {"Midi-OUT", "CS1x Out"}});
    store({{"AktPerfList", temp.filePath("missing.pfn").toUtf8().constData()}});
    auto app = make();
    ASSERT_TRUE(app->startWindow());
    editor::TMainWindow* w = app->window();
    EXPECT_FALSE(w->complete());
    EXPECT_EQ(w->AEGAtkTime, nullptr);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(platform.sent.empty());

    ASSERT_TRUE(app->openDevices());
    EXPECT_TRUE(w->complete());
    ASSERT_NE(w->AEGAtkTime, nullptr);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("missing.pfn"), std::string::npos);
    EXPECT_TRUE(sentIdentityRequest(platform));
}
