#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Settings.h"

#include "ui/MessageWindow.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QMetaObject>
#include <QPalette>
#include <QToolTip>

#include <algorithm>

namespace patchsmith::app {

std::string ChooseDevice(const std::string& configured, const std::vector<std::string>& present,
                         const std::string& fallback) {
    auto has = [&](const std::string& name) { return std::find(present.begin(), present.end(), name) != present.end(); };
    if (has(configured) || fallback.empty() || !has(fallback)) return configured;
    return fallback;
}

namespace {

// The names of one side's devices, as the enumeration reads them.
std::vector<std::string> deviceNames(midi::MidiPlatform& platform, bool inputs) {
    std::vector<std::string> names;
    const unsigned n = (inputs ? platform.inputDeviceCount() : platform.outputDeviceCount()) & 0xFF;
    for (unsigned i = 0; i < n; ++i) {
        midi::DeviceNameField field{};
        if (inputs)
            platform.inputDeviceName(i, field);
        else
            platform.outputDeviceName(i, field);
        names.push_back(MidiDevices::nameFromField(field));
    }
    return names;
}

} // namespace

Application::Application(midi::MidiPlatform& platform, Notifier& notifier, SettingsOpener openSettings,
                         StartupOptions options)
    : platform_(platform), openSettings_(std::move(openSettings)), options_(std::move(options)),
      context_(platform, notifier) {}

Application::~Application() {
    // The windows go before the state they show; nothing may call into them
    // once they are gone.
    MidiDevices& devices = context_.devices;
    devices.onInputEvent = nullptr;
    devices.onPulseMidiInLed = nullptr;
    devices.onPulseMidiOutLed = nullptr;
    messageWindow_.reset();
    window_.reset();
}

void Application::SetHintColour() {
    QPalette p = QToolTip::palette();
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 0));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Inactive, QPalette::ToolTipBase, QColor(255, 255, 0));
    p.setColor(QPalette::Inactive, QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(p);
    QPalette app = QApplication::palette();
    app.setColor(QPalette::All, QPalette::ToolTipBase, QColor(255, 255, 0));
    app.setColor(QPalette::All, QPalette::ToolTipText, Qt::black);
    QApplication::setPalette(app);
}

void Application::SetupToolkit() {
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

bool Application::start() {
    SetHintColour();

    // Initial state of the link and the editor.
    Model& model = context_.model;
    model.CurrentLayer = 1;
    model.AffectAllLayers = false;
    model.LayerMuteTable = {};
    model.ActiveUserPerf = -1;
    model.PerfModified = false;
    model.SendEnabled = true;
    context_.link.PendingRequest = 0;
    context_.link.UserPerfNumber = 0;
    context_.devices.MidiInDeviceIndex = -1;
    context_.devices.MidiOutDeviceIndex = -1;
    context_.settings.PerfListFile.clear();

    // Settings.
    settings_ = openSettings_();
    const QString defaultDir = DefaultDirectoryOnDisk(options_.executableDir, options_.documentsDir);
    ReadSettings(*settings_, defaultDir.toStdString(), context_.devices.MidiInDeviceName,
                 context_.devices.MidiOutDeviceName, context_.settings);

    // The editor window.
    window_ = std::make_unique<editor::TMainWindow>(context_);
    editor::TMainWindow* w = window_.get();
    messageWindow_ = std::make_unique<TMessageWindow>(w);
    w->MessageWindow = messageWindow_.get();

    // MIDI: events reach the GUI thread in arrival order; the lamps; the
    // identity request of the enumeration.
    MidiDevices& devices = context_.devices;
    devices.postToGuiThread = [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    };
    devices.onPulseMidiInLed = [w] { w->PulseMidiInLed(); };
    devices.onPulseMidiOutLed = [w] { w->PulseMidiOutLed(); };
    devices.onIdentityRequest = [this] { context_.link.SendRequest(1); };
    devices.onInputEvent = [w](const midi::MidiInputEvent& event) { w->Dispatcher.AppMessage(event); };

    if (!options_.fallbackDevice.empty()) {
        devices.MidiInDeviceName =
            ChooseDevice(devices.MidiInDeviceName, deviceNames(platform_, true), options_.fallbackDevice);
        devices.MidiOutDeviceName =
            ChooseDevice(devices.MidiOutDeviceName, deviceNames(platform_, false), options_.fallbackDevice);
    }
    return devices.InitMidiDevices();
}

void Application::openFile(const QString& path) {
    if (!window_) return;
    Notifier& notifier = context_.notifier;
    const QString unreadable = UnreadableFileMessage(path);
    if (!unreadable.isEmpty()) {
        notifier.showMessage(unreadable.toStdString());
        return;
    }
    const std::string name = path.toStdString();
    switch (KindOfFile(path)) {
    case FileKind::Performance:
        window_->OpenActPerfFile(name);
        break;
    case FileKind::Bank:
        window_->OpenBankManager(name);
        break;
    case FileKind::NameList:
        window_->OpenPerfNamesFile(name);
        break;
    case FileKind::Other:
        notifier.showMessage(OtherFileMessage(path).toStdString());
        break;
    }
}

void Application::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (!settings_) settings_ = openSettings_();
    WriteSettings(*settings_, context_.devices.MidiInDeviceName, context_.devices.MidiOutDeviceName,
                  context_.settings);
    settings_.reset();
    context_.devices.CloseMidiIn();
    context_.devices.CloseMidiOut();
}

} // namespace patchsmith::app
