#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Settings.h"

#include "midi/PortWatch.h"
#include "ui/MainWindow.h"
#include "ui/MessageWindow.h"
#include "ui/TestNote.h"

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QMetaObject>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QToolTip>

#include <algorithm>

namespace patchsmith::app {

Application::Application(midi::MidiPlatform& platform, Notifier& notifier, SettingsOpener openSettings,
                         StartupOptions options)
    : platform_(platform), openSettings_(std::move(openSettings)), options_(std::move(options)),
      context_(platform, notifier) {}

Application::~Application() {
    // The windows go before the state they show; nothing may call into them
    // once they are gone.
    portTimer_.stop();
    portWatch_.reset();
    MidiDevices& devices = context_.devices;
    devices.onInputEvent = nullptr;
    devices.onPulseMidiInLed = nullptr;
    devices.onPulseMidiOutLed = nullptr;
    devices.onDeviceLost = nullptr;
    devices.onDeviceReconnected = nullptr;
    devices.onDeviceStateChanged = nullptr;
    devices.busy = nullptr;
    messageWindow_.reset();
    window_.reset();
}

void Application::setHintColour() {
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

namespace {

// An icon of a style, read when it is first drawn or measured.
class DeferredStyleIcon : public QIconEngine {
public:
    DeferredStyleIcon(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Not null without reading it: the style has this icon.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DeferredStyleIcon(style_, which_); }
    QString key() const override { return QStringLiteral("DeferredStyleIcon"); }

private:
    const QIcon& icon() {
        if (!loaded_) {
            loaded_ = true;
            if (style_) icon_ = style_->standardIcon(which_);
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    bool loaded_ = false;
    QIcon icon_;
};

// Fusion, except that the icon of a menu bar's overflow button is read only
// when the button is drawn: the editor's menu bar never overflows, and
// reading the icon's pictures is a good part of building the window.
class PatchsmithStyle : public QProxyStyle {
public:
    PatchsmithStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredStyleIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void Application::setupToolkit() {
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setStyle(new PatchsmithStyle);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

bool Application::start() { return startWindow() && openDevices(); }

bool Application::startWindow() {
    setHintColour();

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
    const QString defaultDir = defaultDirectoryOnDisk(options_.executableDir, options_.documentsDir);
    readSettings(*settings_, defaultDir.toStdString(), context_.devices.MidiInDeviceName,
                 context_.devices.MidiOutDeviceName, context_.settings);

    // The editor window.
    window_ = options_.hiddenPagesLater
                  ? std::make_unique<editor::TMainWindow>(context_, editor::TMainWindow::HiddenPagesLater{})
                  : std::make_unique<editor::TMainWindow>(context_);
    editor::TMainWindow* w = window_.get();

    // MIDI: events reach the GUI thread in arrival order; the lamps; the
    // identity request of the enumeration.
    MidiDevices& devices = context_.devices;
    devices.postToGuiThread = [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    };
    devices.onPulseMidiInLed = [w] { w->PulseMidiInLed(); };
    devices.onPulseMidiOutLed = [w] { w->PulseMidiOutLed(); };
    devices.onIdentityRequest = [this] { context_.link.SendRequest(1); };
    devices.onInputEvent = [w](const midi::MidiInputEvent& event) { w->dispatcher.AppMessage(event); };

    // Ports that come and go: a lost device is shown by its lamp and on the
    // status line, and reopened once its port is back.
    devices.busy = [this] { return busy(); };
    devices.onDeviceStateChanged = [w, &devices] {
        w->showMidiDeviceLost(true, devices.midiInLost());
        w->showMidiDeviceLost(false, devices.midiOutLost());
    };
    devices.onDeviceLost = [w](bool input, const std::string& name) {
        w->ShowStatus(std::string(input ? "MIDI-IN" : "MIDI-OUT") + " device <" + name + "> lost");
    };
    devices.onDeviceReconnected = [w](bool input, const std::string& name) {
        w->ShowStatus(std::string(input ? "MIDI-IN" : "MIDI-OUT") + " device <" + name + "> connected again");
    };

    // The fallback stands in for an absent device without taking its name:
    // the user's choice is what is saved.
    devices.fallbackDeviceName = options_.fallbackDevice;
    return devices.hasMidiDevices();
}

bool Application::openDevices() {
    if (!window_ || shutDown_) return false;
    // No MIDI event reaches a window still being built.
    window_->completeWindow();
    // Built after the first frame: nothing asks before the devices are open
    // but a command of the user's, and that builds one of its own.
    if (!window_->messageWindow) {
        messageWindow_ = std::make_unique<TMessageWindow>(window_.get());
        window_->messageWindow = messageWindow_.get();
    }
    MidiDevices& devices = context_.devices;
    const bool started = devices.InitMidiDevices();
    if (started) {
        portWatch_ = std::make_unique<PortWatch>(devices);
        if (options_.portPollMs > 0) {
            portTimer_.setInterval(options_.portPollMs);
            QObject::connect(&portTimer_, &QTimer::timeout, [this] { pollPortsNow(); });
            portTimer_.start();
        }
    }
    return started;
}

bool Application::busy() const {
    // The one place that knows what runs. A request chain counts while its
    // request waits for the answer; once it has timed out it has stalled and
    // is left alone.
    const editor::TMainWindow* w = window_.get();
    if (!w) return false;
    const ReceiveDispatcher& d = w->dispatcher;
    return (d.chainRunning() && w->MidiRequestTimer->isActive()) || d.sendingBank;
}

bool Application::pollPortsNow() {
    if (!portWatch_ || shutDown_) return false;
    return portWatch_->poll();
}

void Application::openFile(const QString& path) {
    if (!window_) return;
    window_->completeWindow();
    Notifier& notifier = context_.notifier;
    const QString unreadable = unreadableFileMessage(path);
    if (!unreadable.isEmpty()) {
        notifier.showMessage(unreadable.toStdString());
        return;
    }
    const std::string name = path.toStdString();
    switch (kindOfFile(path)) {
    case FileKind::Performance: window_->openActPerfFile(name); break;
    case FileKind::Bank: window_->openBankManager(name); break;
    case FileKind::NameList: window_->openPerfNamesFile(name); break;
    case FileKind::Other: notifier.showMessage(otherFileMessage(path).toStdString()); break;
    }
}

void Application::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    portTimer_.stop();
    portWatch_.reset();
    if (!settings_) settings_ = openSettings_();
    const QSettings::Status status = writeSettings(*settings_, context_.devices.MidiInDeviceName,
                                                   context_.devices.MidiOutDeviceName, context_.settings);
    const QString file = settings_->fileName();
    settings_.reset();
    if (status != QSettings::NoError) context_.notifier.showMessage(settingsNotSavedText(file, status));
    // A test note still sounding ends before the output closes.
    if (window_) window_->testNote().release();
    context_.devices.CloseMidiIn();
    context_.devices.CloseMidiOut();
}

} // namespace patchsmith::app
