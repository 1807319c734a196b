// The bulk transfers of the main window over a real MIDI stack: a private
// JACK server (dummy driver), the standalone virtual CS1x as a separate
// program, the editor over RtMidi with its devices chosen by name.
//
// A bank goes from one instrument to disk and from there into a second,
// freshly started instrument, whose user performances, fetched back to disk,
// equal the first one's in every data byte. Saving and opening the actual
// performance restores the image and reaches the instrument.

#include "../storage/StorageTestSupport.h"
#include "JackServer.h"
#include "SynthProcess.h"
#include "ui/TestApp.h"

#include "app/Application.h"
#include "midi/RtMidiPlatform.h"
#include "storage/FileNames.h"
#include "storage/RecordImage.h"
#include "ui/AppContext.h"
#include "ui/DialogKit.h"
#include "ui/MainWindow.h"
#include "ui/MessageWindow.h"
#include "ui/UserPerfSelectWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace patchsmith;
using Bytes = std::vector<Byte>;

// The editor: its own MIDI system, context and main window, with the devices
// of one instrument opened by the names the lists show.
struct Editor {
    midi::RtMidiPlatform platform;
    test::RecordingNotifier notifier;
    AppContext ctx{platform, notifier};
    editor::TMainWindow window{ctx};

    explicit Editor(const std::string& client) {
        MidiDevices& devices = ctx.devices;
        devices.postToGuiThread = [](std::function<void()> task) {
            QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
        };
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { window.dispatcher.AppMessage(e); };
        devices.InitMidiDevices();
        if (const std::string in = test::findDevice(devices.MidiInDeviceNames, client); !in.empty())
            devices.MidiInDeviceName = in;
        if (const std::string out = test::findDevice(devices.MidiOutDeviceNames, client); !out.empty())
            devices.MidiOutDeviceName = out;
        devices.InitMidiDevices();
        // The test checks what arrives, not how fast a loaded machine
        // delivers it: no answer is given up on after the product's second.
        // (The identity request's time-out has not run yet: no event has.)
        window.dispatcher.requestTimeoutMs = 600000;
        if (window.MidiRequestTimer->isActive()) window.MidiRequestTimer->start(window.dispatcher.requestTimeoutMs);
    }
    ~Editor() {
        ctx.devices.CloseMidiIn();
        ctx.devices.CloseMidiOut();
    }
    bool open() const { return ctx.devices.MidiInOpen && ctx.devices.MidiOutOpen; }

    // Runs the event loop until `done` or the time is up.
    static bool runUntil(const std::function<bool()>& done, int seconds) {
        return QTest::qWaitFor(done, seconds * 1000);
    }
};

// Modal windows answered in order by a script.
class Script {
public:
    Script() {
        dialogs::setModalRunner([this](QDialog& d) {
            if (steps_.empty()) {
                ADD_FAILURE() << "unexpected modal window " << d.windowTitle().toStdString();
                return 0;
            }
            auto step = std::move(steps_.front());
            steps_.pop_front();
            return step(d);
        });
    }
    ~Script() { dialogs::setModalRunner({}); }
    void file(const std::string& path) {
        steps_.push_back([path](QDialog& d) {
            auto* fd = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(fd, nullptr);
            if (!fd) return 0;
            fd->selectFile(QString::fromStdString(path));
            return static_cast<int>(QDialog::Accepted);
        });
    }
    void choice(int answer) {
        steps_.push_back([answer](QDialog& d) {
            auto* m = dynamic_cast<TMessageWindow*>(&d);
            EXPECT_NE(m, nullptr);
            if (!m) return 0;
            if (answer == 1)
                m->okButtonClick();
            else
                m->cancelButtonClick();
            return m->result();
        });
    }
    void chooser(int row) {
        steps_.push_back([row](QDialog& d) {
            auto* c = dynamic_cast<TUserPerfSelectWindow*>(&d);
            EXPECT_NE(c, nullptr);
            if (!c) return 0;
            c->UserPerfSelect->setCurrentRow(row);
            c->userPerfOkClick();
            return c->result();
        });
    }
    bool done() const { return steps_.empty(); }

private:
    std::deque<std::function<int(QDialog&)>> steps_;
};

// All User-Performances (to HD) into a bank file, run to its end.
void fetchAllIntoBank(Editor& e, const std::string& path) {
    Script script;
    script.choice(1);
    script.file(path);
    e.window.MenuBulkAllPerfHD->trigger();
    ASSERT_TRUE(e.window.transfers.transferRunning());
    ASSERT_TRUE(Editor::runUntil([&] { return !e.window.transfers.transferRunning(); }, 240)) << "transfer did not end";
    EXPECT_TRUE(script.done());
}

// Message i of record n of a bank file.
std::span<const Byte> messageOf(const Bytes& bank, int n, int i) {
    const std::size_t at = 14 + 317 * static_cast<std::size_t>(n) +
                           static_cast<std::size_t>(kRecordMessageOffsets[static_cast<std::size_t>(i)]);
    return std::span<const Byte>(bank).subspan(
        at, static_cast<std::size_t>(kRecordMessageLengths[static_cast<std::size_t>(i)]));
}

class TransfersOverJack : public test::TempDirTest {};

TEST_F(TransfersOverJack, BankRoundTripBetweenTwoInstrumentsAndActualPerformanceSaveAndOpen) {
    test::testApp("patchsmith-transfers-jack");
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();
    const std::string bankA = path("first.PFB");
    const std::string bankB = path("second.PFB");

    // The first instrument, changed in two user performances so that its
    // bank differs from a fresh one's.
    PerformanceRecord custom = test::makeRecord(0, 7, "Custom", 0x55);
    {
        test::SynthProcess synth({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--quiet", "--name", "CS1x One"},
                                 test::SynthProcess::Input::Null);
        ASSERT_TRUE(synth.ready());
        Editor e("CS1x One");
        ASSERT_TRUE(e.open()) << "devices of CS1x One not found";
        PerformanceImage& image = e.ctx.model.image;
        for (int i = 0; i < 8; ++i) image.setData(Block::Common, i, static_cast<Byte>("JackTest"[i]));
        image.setData(Block::Common, 8, 3);
        image.setLayerData(3, 19, 99);
        {
            Script script;
            script.chooser(5);
            e.window.SaveToSynth->click();
            const Bytes file(custom.bytes().begin(), custom.bytes().end());
            test::writeBytes(path("custom.SYX"), file);
            script.file(path("custom.SYX"));
            script.chooser(100);
            e.window.MenuBulkSinglePerfSynth->trigger();
            EXPECT_TRUE(script.done());
        }
        fetchAllIntoBank(e, bankA);
        EXPECT_TRUE(e.notifier.messages.empty() || e.notifier.messages.front().rfind("CS1x responding...", 0) == 0)
            << e.notifier.messages.front();
    }
    const Bytes a = test::readBytes(bankA);
    ASSERT_EQ(a.size(), 40590u);
    EXPECT_EQ(std::string(a.begin(), a.begin() + 14), "Patchsmith PFB");
    EXPECT_EQ(std::string(messageOf(a, 5, 0).begin() + 9, messageOf(a, 5, 0).begin() + 17), "JackTest");
    for (int i = 0; i < 7; ++i) {
        const auto want = custom.message(i);
        const auto got = messageOf(a, 100, i);
        EXPECT_TRUE(std::equal(want.begin() + 9, want.end() - 2, got.begin() + 9)) << "message " << i;
    }

    // A second, fresh instrument gets the bank, and is then read back.
    {
        test::SynthProcess synth({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--quiet", "--name", "CS1x Two"},
                                 test::SynthProcess::Input::Null);
        ASSERT_TRUE(synth.ready());
        Editor e("CS1x Two");
        ASSERT_TRUE(e.open()) << "devices of CS1x Two not found";
        {
            Script script;
            script.file(bankA);
            e.window.MenuBulkPerfBankSynth->trigger();
            EXPECT_TRUE(script.done());
        }
        EXPECT_EQ(e.window.UserPerf->item(5)->text().toStdString(), "006  OR JackTest");
        fetchAllIntoBank(e, bankB);

        // Save and open the actual performance: the image comes back with
        // effect bytes 21 and 22 at 0 and the instrument gets all seven blocks.
        PerformanceImage& image = e.ctx.model.image;
        image.fillDefaults();
        for (int i = 0; i < 8; ++i) image.setData(Block::Common, i, static_cast<Byte>("RoundTr "[i]));
        image.setData(Block::Effect, 21, 0x21);
        image.setData(Block::Effect, 22, 0x22);
        image.setLayerData(4, 19, 77);
        const PerformanceImage saved = image;
        {
            Script script;
            script.file(path("actual"));
            e.window.MenuFileSaveActPerf->trigger();
            image.fillDefaults();
            script.file(path("actual.SYX"));
            e.window.MenuFileOpenActPerf->trigger();
            EXPECT_TRUE(script.done());
        }
        PerformanceImage expected = saved;
        expected.setData(Block::Effect, 21, 0);
        expected.setData(Block::Effect, 22, 0);
        auto dataEqual = [](const PerformanceImage& x, const PerformanceImage& y) {
            for (Block b : {Block::Common, Block::Effect, Block::Controller, Block::Layer1, Block::Layer2,
                            Block::Layer3, Block::Layer4}) {
                const auto p = x.message(b);
                const auto q = y.message(b);
                if (!std::equal(p.begin() + 9, p.end() - 2, q.begin() + 9, q.end() - 2)) return false;
            }
            return true;
        };
        EXPECT_TRUE(dataEqual(image, expected));
        // What the instrument now holds in its edit buffer, fetched back.
        image.fillDefaults();
        e.window.dispatcher.FetchCurrentPerformance();
        ASSERT_TRUE(Editor::runUntil([&] { return !e.window.dispatcher.ReceivingCurrentPerf; }, 20));
        EXPECT_TRUE(dataEqual(image, expected));
        for (const auto& m : e.notifier.messages) EXPECT_EQ(m.rfind("CS1x responding...", 0), 0u) << m;
    }
    const Bytes b = test::readBytes(bankB);
    ASSERT_EQ(b.size(), 40590u);
    // Every record alike but for the device byte the instrument sends.
    for (int n = 0; n < 128; ++n) {
        for (int i = 0; i < 7; ++i) {
            const auto x = messageOf(a, n, i);
            const auto y = messageOf(b, n, i);
            EXPECT_TRUE(std::equal(x.begin() + 3, x.end(), y.begin() + 3))
                << "performance " << n + 1 << " message " << i;
            EXPECT_EQ(x[0], y[0]);
            EXPECT_EQ(x[1], y[1]);
        }
    }
}

} // namespace
