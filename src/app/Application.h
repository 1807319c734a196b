#pragma once
// Start-up and shutdown of the program, in their fixed order, around the
// application's one AppContext and its editor window. The MIDI system, the
// way messages reach the user and the settings store are handed in, so that
// the whole sequence runs in tests with a scripted MIDI system, a recording
// notifier and a temporary settings file.

#include "ui/AppContext.h"

#include <QSettings>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace patchsmith {
class PortWatch;
class TMessageWindow;
} // namespace patchsmith
namespace patchsmith::editor {
class TMainWindow;
}

namespace patchsmith::app {

struct StartupOptions {
    // Directory of the executable and the user's documents directory: the
    // defaults of "Last-Dir" and "PerfBank-Dir".
    QString executableDir;
    QString documentsDir;
    // A device opened on each side when the settings name no device that is
    // present (the built-in virtual CS1x); empty for none. The settings keep
    // the names they had.
    std::string fallbackDevice;
    // How often ports are looked at (Application::kPortPollMs in the
    // program); 0 for never by itself, only by pollPortsNow().
    int portPollMs = 0;
    // The window's first frame before its hidden pages are built (the
    // program); the rest is built before the devices open.
    bool hiddenPagesLater = false;
};

using SettingsOpener = std::function<std::unique_ptr<QSettings>()>;

class Application {
public:
    Application(midi::MidiPlatform& platform, Notifier& notifier, SettingsOpener openSettings, StartupOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up up to the event loop: initial state, settings, the editor
    // window (created, not shown), the MIDI devices with the identity
    // request. Returns what InitMidiDevices returned: false when there is no
    // input or no output device at all, and the window must not be shown.
    // The two halves below, one after the other.
    bool start();
    // Start-up up to showing the window: initial state, settings, the editor
    // window (created, not shown), and whether there is an input and an
    // output device at all. False (after the message) when there is not:
    // the window must not be shown.
    bool startWindow();
    // The rest, run once the window is on screen so that the window does not
    // wait for the MIDI systems: enumerates and opens the devices, sends the
    // identity request, starts watching the ports. What InitMidiDevices
    // returned: false only when the devices went away since startWindow().
    bool openDevices();

    // Opens a file named on the command line, once the window is shown: a
    // performance as File > Open > Actual Performance does (loaded, sent,
    // shown), a name list as File > Open > Performance-names, a bank in the
    // bank manager. A file that cannot be read or is of another kind is
    // reported and the editor goes on as it is.
    void openFile(const QString& path);

    // Writes the eight settings back, closes the settings store, then the
    // MIDI input and output. Settings that cannot be written (a read-only
    // file, a full disk) are reported. Safe to call once after start().
    void shutdown();

    AppContext& context() { return context_; }

    // Ports are looked at this often, off the GUI thread, while nothing runs
    // that must not be disturbed (see busy()).
    static constexpr int kPortPollMs = 1000;
    // What the poll timer does, for tests: starts one look at the ports;
    // its result is applied on the GUI thread. False when none started (a
    // look is under way, or busy()).
    bool pollPortsNow();
    // A transfer to disk, a names request or performance fetch waiting for
    // its answer, or a bank send runs: ports are not looked at then.
    bool busy() const;
    editor::TMainWindow* window() { return window_.get(); }
    // The two-button message window, made once at start-up and reused.
    TMessageWindow* messageWindow() { return messageWindow_.get(); }

    // Hint colour for the whole application: yellow.
    static void setHintColour();
    // Names, style and the 8-point sans-serif font of the toolkit; once,
    // right after the QApplication is made.
    static void setupToolkit();

private:
    midi::MidiPlatform& platform_;
    SettingsOpener openSettings_;
    StartupOptions options_;
    AppContext context_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<editor::TMainWindow> window_;
    std::unique_ptr<TMessageWindow> messageWindow_;
    std::unique_ptr<PortWatch> portWatch_;
    QTimer portTimer_;
    bool shutDown_ = false;
};

} // namespace patchsmith::app
