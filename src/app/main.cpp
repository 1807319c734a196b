// Patchsmith: editor and librarian for the YAMAHA CS1x.
//
//   patchsmith [--virtual-synth] [--screenshot DIR] [FILE]
//
// --virtual-synth   lists the built-in virtual CS1x after the MIDI devices of
//                   the computer and opens it when the settings name no
//                   device that is present.
// --screenshot DIR  writes a picture of each page of the window, of the Edit
//                   menu and of the randomize dialog into DIR and quits (for
//                   the documentation).
// FILE              a performance (.SYX), bank (.PFB) or name list (.PFN),
//                   opened once the window is shown.

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/FirstFrame.h"
#include "app/MessageBoxNotifier.h"
#include "app/Settings.h"
#include "app/StartHelpers.h"
#include "midi/CompositeMidiPlatform.h"
#include "midi/RtMidiPlatform.h"
#include "synth/VirtualMidiPlatform.h"
#include "ui/MainWindow.h"
#include "ui/RandomizeWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace patchsmith;

namespace {

// A window the window system never exposes (started minimised) still gets
// its devices.
constexpr int kFirstFrameFallbackMs = 1000;

void writeScreenshots(editor::TMainWindow& w, const QString& dir) {
    w.completeWindow();
    QDir().mkpath(dir);
    for (int i = 0; i < w.PageControl1->count(); ++i) {
        w.PageControl1->setCurrentIndex(i);
        QApplication::processEvents();
        w.grab().save(QDir(dir).filePath(QStringLiteral("page%1.png").arg(i + 1)));
    }
    w.PageControl1->setCurrentIndex(0);
    QApplication::processEvents();
    w.grab().save(QDir(dir).filePath(QStringLiteral("main.png")));

    // The Edit menu open below its title, drawn over the window.
    QPixmap shot = w.grab();
    const QPoint at = w.menuBar()->mapTo(&w, w.menuBar()->actionGeometry(w.MenuEdit->menuAction()).bottomLeft());
    w.MenuEdit->popup(w.mapToGlobal(at));
    QApplication::processEvents();
    {
        QPainter painter(&shot);
        painter.drawPixmap(at, w.MenuEdit->grab());
    }
    w.MenuEdit->hide();
    shot.save(QDir(dir).filePath(QStringLiteral("edit-menu.png")));

    TRandomizeWindow randomize(w.randomizeSettings, &w);
    randomize.show();
    QApplication::processEvents();
    randomize.grab().save(QDir(dir).filePath(QStringLiteral("randomize.png")));
    randomize.hide();
}

} // namespace

int main(int argc, char* argv[]) {
    // Help is answered before the toolkit starts, so it needs no display.
    // Mistakes are judged after: the toolkit takes its own options first.
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i) rawArgs << QString::fromLocal8Bit(argv[i]);
    if (app::parseCommandLine(rawArgs).help) {
        std::fputs(app::kUsage, stdout);
        return 0;
    }

    // Beside the toolkit's start, on the other processor.
    app::StartHelpers helpers;
    QApplication qapp(argc, argv);
    helpers.finish();
    app::Application::setupToolkit();

    const app::CommandLine command = app::parseCommandLine(QApplication::arguments());
    if (command.help) {
        std::fputs(app::kUsage, stdout);
        return 0;
    }
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "patchsmith: %s\n%s", command.error.toLocal8Bit().constData(), app::kUsage);
        return 2;
    }
    const bool virtualSynth = command.virtualSynth;
    const QString screenshotDir = command.screenshotDir;
    // Named as the user saw it, resolved against the directory started in.
    const QString file = command.file.isEmpty() ? QString() : QFileInfo(command.file).absoluteFilePath();

    midi::RtMidiPlatform rtmidi;
    std::unique_ptr<synth::VirtualMidiPlatform> virtualCs1x;
    std::unique_ptr<midi::CompositeMidiPlatform> merged;
    midi::MidiPlatform* platform = &rtmidi;
    app::StartupOptions options;
    options.executableDir = app::directoryOfExecutable(QApplication::applicationFilePath());
    options.documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    options.portPollMs = app::Application::kPortPollMs;
    options.hiddenPagesLater = true;
    if (virtualSynth) {
        virtualCs1x = std::make_unique<synth::VirtualMidiPlatform>();
        merged =
            std::make_unique<midi::CompositeMidiPlatform>(std::vector<midi::MidiPlatform*>{&rtmidi, virtualCs1x.get()});
        platform = merged.get();
        options.fallbackDevice = synth::VirtualMidiPlatform::kDeviceName;
    }

    app::MessageBoxNotifier notifier;
    app::Application application(
        *platform, notifier,
        [] {
            return std::make_unique<QSettings>(QString::fromLatin1(app::kOrganisation),
                                               QString::fromLatin1(app::kApplicationName));
        },
        options);

    if (application.startWindow()) {
        editor::TMainWindow& w = *application.window();
        w.show();
        // Once the window is on screen and painted: the rest of the window
        // and the devices (looking at JACK's ports alone keeps a window
        // waiting), then the file, so that whatever it
        // brings up (a message, the bank manager) opens over the window and
        // a performance goes to the synth.
        app::runAfterFirstFrame(w, kFirstFrameFallbackMs, [&application, file] {
            if (!application.openDevices()) {
                QCoreApplication::quit();
                return;
            }
            if (!file.isEmpty()) application.openFile(file);
        });
        if (!screenshotDir.isEmpty()) {
            QTimer::singleShot(400, &w, [&w, screenshotDir] {
                writeScreenshots(w, screenshotDir);
                QCoreApplication::quit();
            });
        }
        QApplication::exec();
    }
    application.shutdown();
    return 0;
}
