// The whole editor against the standalone virtual CS1x over a real MIDI
// stack: a private JACK server with the dummy driver, the synth program on
// its ports, the editor started as the program starts (RtMidi, settings that
// name the synth's two devices). Checked: the identity reply at start, a
// switch to user performance 5 with the bytes on the wire and the controls
// afterwards, a knob turn on the synth, and the names of all 128 user
// performances.

#include "JackServer.h"
#include "RecordingNotifier.h"
#include "SynthProcess.h"
#include "ui/TestApp.h"

#include "app/Application.h"
#include "midi/RtMidiPlatform.h"
#include "model/Names.h"
#include "model/Parameters.h"
#include "synth/VirtualCs1x.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace patchsmith;

// Generous: a loaded machine may be slow, and a wait ends as soon as it can.
constexpr int kWaitMs = 60000;
const std::string kClient = "Virtual CS1x";

std::string hex2(unsigned b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}

// Every parameter control shows its byte of the image.
void expectControlsShow(editor::TMainWindow& w, const PerformanceImage& image) {
    using namespace editor;
    auto clampTo = [](const QSlider* s, int p) { return std::clamp(p, s->minimum(), s->maximum()); };
    QString name;
    for (int k = 0; k < 8; ++k) name += QChar(static_cast<char16_t>(image.data(Block::Common, k)));
    EXPECT_EQ(w.PerformanceName->text(), name);
    for (const editor::ParameterControls& c : w.parameterControls()) {
        const Parameter& p = *c.param;
        if (!p.plain()) continue;
        SCOPED_TRACE(std::string(p.name));
        const int v = storedValue(p, image, 1);
        switch (p.control) {
        case ParamControl::VBar:
        case ParamControl::HBar:
            ASSERT_NE(c.bar, nullptr);
            ASSERT_NE(c.readout, nullptr);
            EXPECT_EQ(c.bar->value(), clampTo(c.bar, positionOf(p, v)));
            EXPECT_EQ(c.readout->text(), QString::fromStdString(readoutText(p, v, TMainWindow::decimalPoint())));
            break;
        case ParamControl::CheckBox:
            ASSERT_NE(c.check, nullptr);
            EXPECT_EQ(c.check->isChecked(), v != 0);
            break;
        case ParamControl::Choices: {
            // The last button stands for any other value.
            const std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(v), c.choices.size() - 1);
            EXPECT_TRUE(c.choices[index]->isChecked());
            break;
        }
        case ParamControl::List: EXPECT_EQ(c.list->currentRow(), v); break;
        case ParamControl::Combo: EXPECT_EQ(c.combo->currentIndex(), v); break;
        default: break;
        }
    }
    EXPECT_EQ(w.LayerOn->isChecked(), image.layerData(1, 22) != 0);
    EXPECT_EQ(w.LayerVolume->value(), 127 - image.layerData(1, 7));
    EXPECT_EQ(w.NoteLimitLow->value(), image.layerData(1, 11));
    EXPECT_EQ(w.NoteLimitHigh->value(), image.layerData(1, 12));
    EXPECT_EQ(w.PatchVoiceNumber->currentRow(), image.layerData(1, 2));
}

} // namespace

TEST(EditorOverJack, FollowsTheVirtualSynth) {
    test::testApp();
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();

    test::SynthProcess child({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient});
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.waitForLine("ready")) << "the virtual CS1x did not start";

    // The synth as it is after power-on: the reference for what it answers.
    synth::VirtualCs1x reference;

    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString settingsPath = temp.filePath("Patchsmith.conf");
    test::RecordingNotifier notifier;
    {
        midi::RtMidiPlatform platform;
        const std::vector<std::string> ins = platform.inputPortNames();
        const std::vector<std::string> outs = platform.outputPortNames();
        const std::string in = test::findDevice(ins, kClient);
        const std::string out = test::findDevice(outs, kClient);
        ASSERT_FALSE(in.empty()) << "no input of " << kClient;
        ASSERT_FALSE(out.empty()) << "no output of " << kClient;
        {
            QSettings s(settingsPath, QSettings::IniFormat);
            s.beginGroup("CS1x");
            s.setValue("Midi-IN", QString::fromStdString(in));
            s.setValue("Midi-OUT", QString::fromStdString(out));
            s.setValue("SynthKnobs", "1");
            s.setValue("ProgramChanges", "1");
        }

        app::StartupOptions options;
        options.executableDir = temp.path();
        options.documentsDir = temp.path();
        app::Application application(
            platform, notifier,
            [settingsPath] { return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat); }, options);
        ASSERT_TRUE(application.start());
        editor::TMainWindow& w = *application.window();
        AppContext& ctx = application.context();
        // The test checks what arrives, not how fast a loaded machine
        // delivers it: no answer is given up on after the product's second.
        // (The identity request's time-out has not run yet: no event has.)
        w.dispatcher.requestTimeoutMs = 10 * kWaitMs;
        if (w.MidiRequestTimer->isActive()) w.MidiRequestTimer->start(w.dispatcher.requestTimeoutMs);
        ASSERT_TRUE(ctx.devices.MidiInOpen);
        ASSERT_TRUE(ctx.devices.MidiOutOpen);
        w.show();

        // At start the identity request leaves and the reply is shown.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.empty(); }, kWaitMs)) << "no identity reply";
        EXPECT_EQ(notifier.messages.front(), "CS1x responding... Device-Code: " + hex2(synth::kMemberLow) + " " +
                                                 hex2(synth::kMemberHigh) +
                                                 " - TG-Level: " + hex2(synth::kVersion.back()));
        EXPECT_EQ(child.received().front(), "<- F0 7E 00 06 01 F7");

        // Clicking user performance 5 switches the synth and fetches it.
        const std::size_t before = child.received().size();
        QListWidgetItem* row = w.UserPerf->item(4);
        w.UserPerf->scrollToItem(row);
        QTest::mouseClick(w.UserPerf->viewport(), Qt::LeftButton, {}, w.UserPerf->visualItemRect(row).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.dispatcher.ReceivingCurrentPerf && ctx.link.PendingRequest == 0; },
                                    kWaitMs))
            << "the fetch did not end";
        ASSERT_TRUE(child.waitForLine("<- F0 43 20 4B 60 04 00 F7"));
        const std::vector<std::string> all = child.received();
        const std::vector<std::string> sent(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        EXPECT_EQ(sent, (std::vector<std::string>{
                            "<- B0 00 3F", "<- B0 20 41", "<- C0 04", "<- F0 43 20 4B 60 00 00 F7",
                            "<- F0 43 20 4B 60 00 30 F7", "<- F0 43 20 4B 60 00 50 F7", "<- F0 43 20 4B 60 01 00 F7",
                            "<- F0 43 20 4B 60 02 00 F7", "<- F0 43 20 4B 60 03 00 F7", "<- F0 43 20 4B 60 04 00 F7"}));
        EXPECT_EQ(ctx.model.ActiveUserPerf, 4);

        reference.recall(4);
        const Address addresses[kBlockCount] = {{0x60, 0x00, 0x00}, {0x60, 0x00, 0x30}, {0x60, 0x00, 0x50},
                                                {0x60, 0x01, 0x00}, {0x60, 0x02, 0x00}, {0x60, 0x03, 0x00},
                                                {0x60, 0x04, 0x00}};
        for (int b = 0; b < kBlockCount; ++b) {
            const auto dump = reference.bulkDump(addresses[b]);
            ASSERT_TRUE(dump.has_value());
            const auto stored = ctx.model.image.message(static_cast<Block>(b));
            EXPECT_EQ(std::vector<Byte>(stored.begin(), stored.end()), *dump) << "block " << b;
        }
        EXPECT_EQ(w.PerformanceName->text(), QString::fromStdString(reference.userPerformance(4).name()));
        expectControlsShow(w, ctx.model.image);
        EXPECT_FALSE(ctx.model.PerfModified);
        EXPECT_EQ(w.Label_PerfName->text(), QStringLiteral("Program 4, Bank MSB 63, LSB 65"));

        // A knob turn on the synth moves the filter and sends nothing back.
        const std::size_t beforeKnob = child.received().size();
        ASSERT_TRUE(child.type("knob 74 0 1"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.FilterCutoff->value() == 127; }, kWaitMs)) << "knob turn not shown";
        EXPECT_EQ(w.Label_FilterCutoff->text(), QStringLiteral("-64"));
        EXPECT_EQ(ctx.model.image.layerData(1, 17), 0);
        QTest::qWait(200);
        EXPECT_EQ(child.received().size(), beforeKnob);

        // All 128 names from the synth.
        w.MenuBulkPerfNames->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.dispatcher.ReceivingAllNames; }, 3 * kWaitMs))
            << "the names fetch did not end";
        for (int k = 0; k < 128; ++k) {
            const synth::PerformanceData& p = reference.userPerformance(k);
            char number[16];
            std::snprintf(number, sizeof number, "%03d", k + 1);
            std::string line =
                std::string(number) + "  " + std::string(categoryAbbreviation(p.category())) + " " + p.name();
            line.resize(16);
            EXPECT_EQ(w.UserPerf->item(k)->text().toStdString(), line) << k;
        }
        EXPECT_EQ(w.UserPerf->currentRow(), 4);
        EXPECT_EQ(notifier.messages.size(), 1u) << notifier.messages.back();

        application.shutdown();
    }
}

// Edits made on the window and undone again, over the real stack: fetched
// back from the synth, the performance is byte for byte the one it had.
TEST(EditorOverJack, EditsUndoneLeaveTheSynthWithTheOriginalBytes) {
    test::testApp();
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();
    test::SynthProcess child({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient});
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.waitForLine("ready")) << "the virtual CS1x did not start";

    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString settingsPath = temp.filePath("Patchsmith.conf");
    test::RecordingNotifier notifier;
    midi::RtMidiPlatform platform;
    const std::string in = test::findDevice(platform.inputPortNames(), kClient);
    const std::string out = test::findDevice(platform.outputPortNames(), kClient);
    ASSERT_FALSE(in.empty());
    ASSERT_FALSE(out.empty());
    {
        QSettings s(settingsPath, QSettings::IniFormat);
        s.beginGroup("CS1x");
        s.setValue("Midi-IN", QString::fromStdString(in));
        s.setValue("Midi-OUT", QString::fromStdString(out));
    }
    app::StartupOptions options;
    options.executableDir = temp.path();
    options.documentsDir = temp.path();
    app::Application application(
        platform, notifier, [settingsPath] { return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat); },
        options);
    ASSERT_TRUE(application.start());
    editor::TMainWindow& w = *application.window();
    AppContext& ctx = application.context();
    w.dispatcher.requestTimeoutMs = 10 * kWaitMs;
    if (w.MidiRequestTimer->isActive()) w.MidiRequestTimer->start(w.dispatcher.requestTimeoutMs);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.empty(); }, kWaitMs)) << "no identity reply";

    auto fetch = [&] {
        w.dispatcher.FetchCurrentPerformance();
        return QTest::qWaitFor([&] { return !w.dispatcher.ReceivingCurrentPerf && ctx.link.PendingRequest == 0; },
                               kWaitMs);
    };
    // User performance 8 into the synth's edit buffer, and into the editor.
    QListWidgetItem* row = w.UserPerf->item(7);
    w.UserPerf->scrollToItem(row);
    QTest::mouseClick(w.UserPerf->viewport(), Qt::LeftButton, {}, w.UserPerf->visualItemRect(row).center());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !w.dispatcher.ReceivingCurrentPerf && ctx.link.PendingRequest == 0; }, kWaitMs));
    const PerformanceImage original = ctx.model.image;
    ASSERT_FALSE(ctx.edits.canUndo());

    // Edits of several kinds: a drag with all layers, a check box, a bank,
    // a voice, the name, a variation type.
    w.AffectAllLayers->click();
    w.FilterCutoff->setSliderDown(true);
    for (int p : {10, 20, 30}) w.FilterCutoff->setValue(p);
    w.FilterCutoff->setSliderDown(false);
    w.AffectAllLayers->click();
    w.PortaOn->click();
    w.PatchBankNumber->setCurrentIndex(3);
    emit w.PatchBankNumber->activated(3);
    w.PerformanceName->selectAll();
    QTest::keyClicks(w.PerformanceName, "Undo me");
    emit w.PerformanceName->editingFinished();
    QListWidgetItem* type = w.VariType->item(w.VariType->currentRow() == 30 ? 31 : 30);
    w.VariType->scrollToItem(type);
    QTest::mouseClick(w.VariType->viewport(), Qt::LeftButton, {}, w.VariType->visualItemRect(type).center());
    ASSERT_EQ(ctx.edits.undoSteps(), 5u);
    ASSERT_TRUE(fetch());
    ASSERT_NE(ctx.model.image, original) << "the synth took the edits";
    EXPECT_FALSE(ctx.edits.canUndo()) << "a fetch starts a fresh history";
    const PerformanceImage fetched = ctx.model.image;

    // Once more, and undone this time; then the synth is asked.
    w.AffectAllLayers->click();
    w.FilterCutoff->setSliderDown(true);
    for (int p : {100, 110}) w.FilterCutoff->setValue(p);
    w.FilterCutoff->setSliderDown(false);
    w.AffectAllLayers->click();
    w.PortaOn->click();
    QListWidgetItem* voice = w.PatchVoiceNumber->item(9);
    w.PatchVoiceNumber->scrollToItem(voice);
    QTest::mouseClick(w.PatchVoiceNumber->viewport(), Qt::LeftButton, {},
                      w.PatchVoiceNumber->visualItemRect(voice).center());
    ASSERT_EQ(ctx.edits.undoSteps(), 3u);
    while (ctx.edits.canUndo()) w.MenuEditUndo->trigger();
    EXPECT_EQ(ctx.model.image, fetched);
    ASSERT_TRUE(fetch());
    for (int b = 0; b < kBlockCount; ++b) {
        const auto got = ctx.model.image.message(static_cast<Block>(b));
        const auto want = fetched.message(static_cast<Block>(b));
        EXPECT_EQ(std::vector<Byte>(got.begin(), got.end()), std::vector<Byte>(want.begin(), want.end()))
            << "block " << b;
    }
    EXPECT_EQ(notifier.messages.size(), 1u) << notifier.messages.back();
    application.shutdown();
}
