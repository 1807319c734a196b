#include "ui/MainWindow.h"

#include "ui/DialogKit.h"
#include "ui/FileDialogs.h"

#include "storage/NameListFile.h"
#include "ui/ControlTable.h"
#include "ui/DisplayRefresh.h"
#include "ui/EditHandlers.h"
#include "ui/EnvelopeGraph.h"
#include "ui/LayerOperations.h"
#include "ui/Pictures.h"
#include "ui/TestNote.h"
#include "ui/VoiceSelection.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <utility>

namespace patchsmith::editor {

const QColor TMainWindow::kLampOn(0, 255, 0);
const QColor TMainWindow::kLampOff(0, 128, 0);
const QColor TMainWindow::kLampLost(192, 0, 0);

namespace {

void paintEnvelope(QPainter& p, const QSize& size, const EnvelopeGeometry& g) {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    if (g.empty()) return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    for (int x : g.markerX) p.drawLine(x, g.markerTop, x, g.markerBottom);
    p.setPen(QPen(QColor(0, 255, 0), 1));
    for (std::size_t i = 1; i < g.line.size(); ++i)
        p.drawLine(g.line[i - 1].x, g.line[i - 1].y, g.line[i].x, g.line[i].y);
}

} // namespace

TMainWindow::TMainWindow(AppContext& app, QWidget* parent) : TMainWindow(app, parent, true) {}

TMainWindow::TMainWindow(AppContext& app, QWidget* parent, bool showImage)
    : TMainWindow(app, parent, showImage, true) {}

TMainWindow::TMainWindow(AppContext& app, HiddenPagesLater) : TMainWindow(app, nullptr, true, false) {}

TMainWindow::TMainWindow(AppContext& app, QWidget* parent, bool showImage, bool wholeNow)
    : QMainWindow(parent), dispatcher(app.link, *this),
      transfers(app.link, dispatcher, *this, app.notifier,
                TransferPaths{app.settings.LastDir, app.settings.PerfBankDir, app.settings.PerfListFile}),
      app_(app), showImage_(showImage) {
    setObjectName(QStringLiteral("MainWindow"));
    // A single, fixed border. Set before any child exists: changing the
    // flags of a window re-polishes every widget in it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildLayout(wholeNow);
    bindControls();
    buildMenu();
    setupTimers();
    setupPictures();

    fileDialogs = new dialogs::SharedFileDialogs(this);

    edit = std::make_unique<EditHandlers>(*this);
    refresh = std::make_unique<DisplayRefresh>(*this);
    layers = std::make_unique<LayerOperations>(*this);
    selection = std::make_unique<VoiceSelection>(*this);

    // The client area is 632 x 411 below the menu bar.
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, kClientHeight + menuHeight);

    FormCreate();
    if (wholeNow) {
        completeWindow();
        return;
    }
    // The first frame shows the performance on what is built.
    if (showImage_) refresh->showBuiltControls();
    qApp->installEventFilter(this);
}

void TMainWindow::completeWindow() {
    if (complete_) return;
    complete_ = true;
    qApp->removeEventFilter(this);
    buildLayout(true);
    bindControls();
    setupPictures();

    connect(MenuFileExit, &QAction::triggered, this, &TMainWindow::MenuFileExitClick);
    edit->connectControls();
    layers->connectControls();
    selection->connectControls();
    connectReceiveSide();
    connectMenuCommands();
    connectEditCommands();

    // Voice list of the first bank, first row, first bank selected.
    PatchBankNumber->setCurrentIndex(0);
    PatchVoiceNumber->setCurrentRow(0);
    // The first original Compare returns to, also before anything is shown.
    app_.edits.startHistory();
    if (showImage_) ShowPerformance();
    app_.perfNumberTexts = makePerfNumberTexts();
    if (!startMessage_.empty()) app_.notifier.showMessage(std::exchange(startMessage_, std::string()));
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Input of any window of the program: what it reaches must be there and
    // connected.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::ContextMenu: completeWindow(); break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

TMainWindow::~TMainWindow() {
    if (!complete_) qApp->removeEventFilter(this);
    // A drag still open ends with the window, before the handlers go; the
    // editing interface outlives the window and calls it no more.
    dragStep_.reset();
    app_.edits.imageRestored = nullptr;
    app_.edits.historyChanged = nullptr;
    app_.edits.pause = nullptr;
}

void TMainWindow::setPosition(QSlider* bar, int position) {
    const QSignalBlocker quiet(bar);
    bar->setValue(position);
}

char TMainWindow::decimalPoint() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? static_cast<char>(point.at(0).unicode()) : '.';
}

const ParameterControls& TMainWindow::controlsOf(const Parameter& p) const {
    for (const ParameterControls& c : parameterControls_)
        if (c.param == &p) return c;
    // Every parameter of the table has an entry (bindControls).
    static const ParameterControls kNone;
    return kNone;
}

void TMainWindow::FormCreate() {
    setWindowTitle(QStringLiteral(" ") + QString::fromLatin1(kApplicationTitle));
    applyShowHints(app_.settings.ShowHints);

    // The default performance into the image (and layer 1 into the clipboard).
    app_.model.fillDefaults();

    if (!app_.settings.PerfListFile.empty()) {
        QString error;
        if (!loadUserPerfList(QString::fromStdString(app_.settings.PerfListFile), error))
            startMessage_ = error.toStdString();
    }
}

void TMainWindow::setupTimers() {
    auto timer = [this](const char* name) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setTimerType(Qt::PreciseTimer);
        return t;
    };
    MidiInTimer = timer("MidiInTimer");
    MidiOutTimer = timer("MidiOutTimer");
    MidiRequestTimer = timer("MidiRequestTimer");
    StatusTimer = timer("StatusTimer");
    MidiInLED->setColor(kLampOff);
    MidiOutLED->setColor(kLampOff);
    connect(MidiInTimer, &QTimer::timeout, this, [this] {
        MidiInTimer->stop();
        MidiInLED->setColor(midiInLost_ ? kLampLost : kLampOff);
    });
    connect(MidiOutTimer, &QTimer::timeout, this, [this] {
        MidiOutTimer->stop();
        MidiOutLED->setColor(midiOutLost_ ? kLampLost : kLampOff);
    });
    connect(StatusTimer, &QTimer::timeout, this, [this] {
        StatusTimer->stop();
        StatusLabel->setText(restingStatus());
    });
    // The status line settles to "OK" shortly after start.
    StatusTimer->start(500);
}

void TMainWindow::setupPictures() {
    Image2->setPainter(&paintTechnoSynth);
    // The rest are on pages built later at start-up.
    if (!PaintAEG) return;
    ImageTriangle->setPainter(&paintTriangleWave);
    ImageSawtooth->setPainter(&paintSawtoothWave);
    Image1->setPainter(&paintSampleHoldWave);
    PaintAEG->setPainter([this](QPainter& p, const QSize& size) {
        paintEnvelope(p, size,
                      adsrEnvelope(size.width(), size.height(), AEGAtkTime->value(), AEGDcyTime->value(),
                                   AEGSusLevel->value(), AEGRelTime->value()));
    });
    PaintFEG->setPainter([this](QPainter& p, const QSize& size) {
        paintEnvelope(p, size,
                      adsrEnvelope(size.width(), size.height(), FEGAtkTime->value(), FEGDcyTime->value(),
                                   FEGSusLevel->value(), FEGRelTime->value()));
    });
    PaintPEG->setPainter([this](QPainter& p, const QSize& size) {
        paintEnvelope(p, size,
                      pitchEnvelope(size.width(), size.height(), PEGInitLevel->value(), PEGAtkTime->value(),
                                    PEGAtkLevel->value(), PEGDcyTime->value(), PEGRelTime->value(),
                                    PEGRelLevel->value()));
    });
}

QWidget* TMainWindow::control(std::string_view name) const {
    const auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

void TMainWindow::ShowStatus(const QString& text) {
    StatusLabel->setText(text);
    StatusTimer->start(750);
}

void TMainWindow::PulseMidiInLed() {
    MidiInLED->setColor(kLampOn);
    MidiInTimer->start(50);
}

void TMainWindow::PulseMidiOutLed() {
    MidiOutLED->setColor(kLampOn);
    // A bank going to the synth keeps the lamp lit until its end.
    if (bankProgress_) return;
    MidiOutTimer->start(50);
}

void TMainWindow::showMidiDeviceLost(bool input, bool lost) {
    Lamp* lamp = input ? MidiInLED : MidiOutLED;
    QTimer* timer = input ? MidiInTimer : MidiOutTimer;
    bool& shown = input ? midiInLost_ : midiOutLost_;
    // The name that assistive tools read: the lamp's caption, and the state
    // while it is not the usual one. The description stays the control's name.
    static const QString kCaption[2] = {QStringLiteral("OUT"), QStringLiteral("IN")};
    const QString& caption = kCaption[input ? 1 : 0];
    shown = lost;
    lamp->setAccessibleName(lost ? caption + QStringLiteral(" - device lost") : caption);
    if (!timer->isActive()) lamp->setColor(lost ? kLampLost : kLampOff);
}

void TMainWindow::DrawAEGEnvelope() { PaintAEG->update(); }
void TMainWindow::DrawFEGEnvelope() { PaintFEG->update(); }
void TMainWindow::DrawPEGEnvelope() { PaintPEG->update(); }

bool TMainWindow::loadUserPerfList(const QString& path, QString& error) {
    std::vector<std::string> rows;
    const FileResult result = readNameListFile(path.toStdString(), rows);
    if (!result) {
        error = QString::fromStdString(result.message);
        return false;
    }
    setUserPerfRows(rows);
    return true;
}

void TMainWindow::applyShowHints(bool on) { dialogs::showApplicationHints(on); }

void TMainWindow::MenuFileExitClick() {
    // Ends the event loop at once; unsaved changes are not asked about.
    QCoreApplication::quit();
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // WindowResize: the bevel spans the window's width.
    if (TitleBevel) TitleBevel->setFixedWidth(width());
}

void TMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

} // namespace patchsmith::editor
