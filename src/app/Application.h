#pragma once
// Start-up and shutdown of the program, in their fixed order, around the
// application's one AppContext and its editor window. The MIDI system, the
// way messages reach the user and the settings store are handed in, so that
// the whole sequence runs in tests with a scripted MIDI system, a recording
// notifier and a temporary settings file.

#include "ui/AppContext.h"

#include <QSettings>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace patchsmith {
class TMessageWindow;
}
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
    // present (the built-in virtual CS1x); empty for none.
    std::string fallbackDevice;
};

using SettingsOpener = std::function<std::unique_ptr<QSettings>()>;

// The device to open on one side: the configured name when a device of that
// name is present, else the fallback when it is present, else the configured
// name unchanged (nothing is opened then).
std::string ChooseDevice(const std::string& configured, const std::vector<std::string>& present,
                         const std::string& fallback);

class Application {
public:
    Application(midi::MidiPlatform& platform, Notifier& notifier, SettingsOpener openSettings,
                StartupOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up up to the event loop: initial state, settings, the editor
    // window (created, not shown), the MIDI devices with the identity
    // request. Returns what InitMidiDevices returned: false when there is no
    // input or no output device at all, and the window must not be shown.
    bool start();

    // Opens a file named on the command line, once the window is shown: a
    // performance as File > Open > Actual Performance does (loaded, sent,
    // shown), a name list as File > Open > Performance-names, a bank in the
    // bank manager. A file that cannot be read or is of another kind is
    // reported and the editor goes on as it is.
    void openFile(const QString& path);

    // Writes the eight settings back, closes the settings store, then the
    // MIDI input and output. Safe to call once after start().
    void shutdown();

    AppContext& context() { return context_; }
    editor::TMainWindow* window() { return window_.get(); }
    // The two-button message window, made once at start-up and reused.
    TMessageWindow* messageWindow() { return messageWindow_.get(); }

    // Hint colour for the whole application: yellow.
    static void SetHintColour();
    // Names, style and the 8-point sans-serif font of the toolkit; once,
    // right after the QApplication is made.
    static void SetupToolkit();

private:
    midi::MidiPlatform& platform_;
    SettingsOpener openSettings_;
    StartupOptions options_;
    AppContext context_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<editor::TMainWindow> window_;
    std::unique_ptr<TMessageWindow> messageWindow_;
    bool shutDown_ = false;
};

} // namespace patchsmith::app
