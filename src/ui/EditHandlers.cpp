#include "ui/EditHandlers.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "ui/DisplayRefresh.h"
#include "ui/EditNameValidator.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace patchsmith::editor {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Runs `leave` when the keyboard focus moves from the watched control to
// another control of the window, whether or not its text changed. A popup
// (its context menu) or another window becoming active does not leave it.
class LeaveWatch : public QObject {
public:
    LeaveWatch(QObject* parent, std::function<void()> leave) : QObject(parent), leave_(std::move(leave)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) leave_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> leave_;
};

} // namespace

EditHandlers::EditHandlers(TMainWindow& window) : w_(window), edits_(window.edits()) {}

EditHandlers::~EditHandlers() = default;

bool EditHandlers::quiet() const { return edits_.quiet(); }

void EditHandlers::redraw(Envelope envelope) {
    switch (envelope) {
    case Envelope::Amplitude: w_.DrawAEGEnvelope(); break;
    case Envelope::Filter: w_.DrawFEGEnvelope(); break;
    case Envelope::Pitch: w_.DrawPEGEnvelope(); break;
    case Envelope::None: break;
    }
}

QString EditHandlers::readout(const Parameter& p, int position) {
    return qs(readoutText(p, storedOf(p, position), TMainWindow::decimalPoint()));
}

// ---- connections ------------------------------------------------------------

void EditHandlers::connectControls() {
    QObject* ctx = &context_;
    auto onBar = [&](QSlider* b, auto handler) {
        QObject::connect(b, &QSlider::valueChanged, ctx, [this, handler] { (this->*handler)(); });
    };
    auto onCheck = [&](QAbstractButton* b, auto handler) {
        QObject::connect(b, &QAbstractButton::toggled, ctx, [this, handler] { (this->*handler)(); });
    };
    auto onRadio = [&](QAbstractButton* b, auto handler) {
        QObject::connect(b, &QAbstractButton::toggled, ctx, [this, handler](bool checked) {
            if (checked) (this->*handler)();
        });
    };

    // Every plain parameter, by the kind of its control.
    for (const ParameterControls& c : w_.parameterControls()) {
        if (!c.param->plain()) continue;
        switch (c.param->control) {
        case ParamControl::VBar:
        case ParamControl::HBar:
            QObject::connect(c.bar, &QSlider::valueChanged, ctx, [this, &c] { parameterChange(c); });
            break;
        case ParamControl::CheckBox:
            QObject::connect(c.check, &QAbstractButton::toggled, ctx, [this, &c] { parameterChange(c); });
            break;
        case ParamControl::Choices:
            for (std::size_t i = 0; i < c.choices.size(); ++i)
                QObject::connect(c.choices[i], &QAbstractButton::toggled, ctx, [this, &c, i](bool checked) {
                    if (checked) parameterChange(c, static_cast<int>(i));
                });
            break;
        case ParamControl::List:
            // Only rows the user chooses: the row the view marks when it
            // gets the focus is no edit.
            onChoice(c.list, [this, &c](int row) { parameterChange(c, row); });
            break;
        case ParamControl::Combo:
            QObject::connect(c.combo, &QComboBox::currentIndexChanged, ctx,
                             [this, &c](int row) { parameterChange(c, row); });
            break;
        case ParamControl::ModeChecks:
        case ParamControl::EditBox: break;
        }
    }

    // The wave pictures act as their radio buttons.
    QObject::connect(w_.ImageSawtooth, &PictureBox::clicked, ctx, [this] { lfoWavePictureClick(0); });
    QObject::connect(w_.ImageTriangle, &PictureBox::clicked, ctx, [this] { lfoWavePictureClick(1); });
    QObject::connect(w_.Image1, &PictureBox::clicked, ctx, [this] { lfoWavePictureClick(2); });

    QObject::connect(w_.VelocityDefaults, &QPushButton::clicked, ctx, [this] { VelocityDefaultsClick(); });
    onBar(w_.NoteDetune, &EditHandlers::NoteDetuneChange);
    onBar(w_.NoteLimitLow, &EditHandlers::NoteLimitLowChange);
    onBar(w_.NoteLimitHigh, &EditHandlers::NoteLimitHighChange);
    onBar(w_.PanPot, &EditHandlers::PanPotChange);
    onCheck(w_.RandomPan, &EditHandlers::RandomPanClick);
    onBar(w_.LayerVolume, &EditHandlers::LayerVolumeChange);

    onBar(w_.ArpTempo, &EditHandlers::ArpTempoChange);
    onCheck(w_.ArpTempoMidi, &EditHandlers::ArpTempoMidiClick);
    onCheck(w_.ArpModeOn, &EditHandlers::ArpModeClick);
    onCheck(w_.ArpModeHold, &EditHandlers::ArpModeClick);
    onCheck(w_.ArpModeSplit, &EditHandlers::ArpModeClick);

    // The name box takes printable ASCII only; typing and leaving the box send.
    w_.PerformanceName->setValidator(new PerformanceNameValidator(w_.PerformanceName));
    QObject::connect(w_.PerformanceName, &QLineEdit::textEdited, ctx, [this] { PerformanceNameChange(); });
    // Leaving sends even an unchanged name (editingFinished would not).
    w_.PerformanceName->installEventFilter(new LeaveWatch(ctx, [this] { PerformanceNameChange(); }));

    onChoice(w_.Assign2Para, [this](int) { Assign2ParaClick(); });
    onRadio(w_.Assign2Layer1, &EditHandlers::Assign2Layer1Click);
    onRadio(w_.Assign2Layer2, &EditHandlers::assign2Layer2Click);
    onRadio(w_.Assign2Layer3, &EditHandlers::assign2Layer3Click);
    onRadio(w_.Assign2Layer4, &EditHandlers::Assign2Layer4Click);
    onBar(w_.Assign2Level, &EditHandlers::Assign2LevelChange);
    QObject::connect(w_.Assign2Tab, &TabControl::currentChanged, ctx, [this] { Assign2TabChange(); });

    connectEffectPage();
}

void EditHandlers::onChoice(QListWidget* list, std::function<void(int)> handler) {
    auto* choices = qobject_cast<ChoiceList*>(list);
    Q_ASSERT(choices);
    QObject::connect(choices, &ChoiceList::rowChosen, &context_, [handler = std::move(handler)](int row) {
        if (row >= 0) handler(row);
    });
}

// ---- plain parameters -------------------------------------------------------

void EditHandlers::parameterChange(const ParameterControls& c, int choice) {
    const Parameter& p = *c.param;
    int value = 0;
    switch (p.control) {
    case ParamControl::VBar:
    case ParamControl::HBar: {
        const int position = c.bar->value();
        if (c.readout) c.readout->setText(readout(p, position));
        redraw(p.envelope);
        value = storedOf(p, position);
        break;
    }
    case ParamControl::CheckBox: value = storedOf(p, c.check->isChecked() ? 1 : 0); break;
    case ParamControl::Choices:
    case ParamControl::List:
    case ParamControl::Combo:
        if (choice < 0 || choice >= p.entries) return;
        value = storedOf(p, choice);
        break;
    case ParamControl::ModeChecks:
    case ParamControl::EditBox: return;
    }
    if (quiet()) return;
    edits_.set(p, value);
}

// ---- layer controls with their own logic ----------------------------------

void EditHandlers::VelocityDefaultsClick() {
    if (quiet()) return;
    for (const Parameter* p : {&params::VelocityLimitLow, &params::VelocityLimitHigh, &params::VelocitySenseDepth,
                               &params::VelocitySenseOffset}) {
        const ParameterControls& c = w_.controlsOf(*p);
        TMainWindow::setPosition(c.bar, positionOf(*p, defaultValue(*p)));
        c.readout->setText(readout(*p, c.bar->value()));
    }
    edits_.setVelocityDefaults();
}

void EditHandlers::NoteDetuneChange() {
    const Parameter& p = params::NoteDetune;
    const int position = w_.NoteDetune->value();
    w_.Label_NoteDetune->setText(readout(p, position));
    if (quiet()) return;
    edits_.set(p, storedOf(p, position));
}

// A note limit pushed past its partner moves the partner along. The partner's
// new value is stored and sent too (before the moved limit, so the synth never
// holds a low limit above the high one), so that the image, the synth and the
// two bars agree.
void EditHandlers::NoteLimitLowChange() { noteLimitChange(params::NoteLimitLow, params::NoteLimitHigh, true); }

void EditHandlers::NoteLimitHighChange() { noteLimitChange(params::NoteLimitHigh, params::NoteLimitLow, false); }

void EditHandlers::noteLimitChange(const Parameter& own, const Parameter& partner, bool isLow) {
    const ParameterControls& mine = w_.controlsOf(own);
    const ParameterControls& other = w_.controlsOf(partner);
    const int p = mine.bar->value();
    mine.readout->setText(readout(own, p));
    if (quiet()) return;
    if (isLow ? p > other.bar->value() : p < other.bar->value()) {
        TMainWindow::setPosition(other.bar, p);
        other.readout->setText(readout(partner, p));
        edits_.set(partner, storedOf(partner, p));
    }
    edits_.set(own, storedOf(own, p));
}

void EditHandlers::PanPotChange() {
    const Parameter& pan = params::PanPot;
    const int p = w_.PanPot->value();
    if (quiet()) {
        w_.Label_PanPot->setText(readout(pan, p));
        return;
    }
    // Any position but the centre ends random panning; the box's own handler
    // runs first and stores the new position.
    if (p != pan.restPosition) w_.RandomPan->setChecked(false);
    w_.Label_PanPot->setText(readout(pan, p));
    edits_.set(pan, storedOf(pan, p));
}

void EditHandlers::RandomPanClick() {
    if (quiet()) return;
    const Parameter& pan = params::PanPot;
    int value = 0;
    if (w_.RandomPan->isChecked()) {
        TMainWindow::setPosition(w_.PanPot, pan.restPosition);
        w_.Label_PanPot->setText(qs(readoutText(pan, 0, TMainWindow::decimalPoint())));
    } else {
        value = storedOf(pan, w_.PanPot->value());
    }
    edits_.set(pan, value);
}

// A muted layer keeps 0 in its volume byte; the new volume goes to its saved
// volume (the editing interface knows which layers are muted).
void EditHandlers::LayerVolumeChange() {
    const Parameter& volume = params::LayerVolume;
    const int position = w_.LayerVolume->value();
    w_.Label_LayerVolume->setText(readout(volume, position));
    if (quiet()) return;
    edits_.set(volume, storedOf(volume, position));
}

void EditHandlers::lfoWavePictureClick(int wave) {
    const ParameterControls& c = w_.controlsOf(params::LFOWave);
    // Sawtooth, triangle, sample and hold: the first three buttons.
    if (wave < 0 || wave > 2) return;
    // Checking the button runs its handler (nested) when it was not checked yet.
    c.choices[static_cast<std::size_t>(wave)]->setChecked(true);
    parameterChange(c, wave);
}

// ---- common controls with their own logic ----------------------------------

void EditHandlers::ArpTempoChange() {
    const Parameter& tempo = params::ArpTempo;
    const int position = w_.ArpTempo->value();
    if (quiet()) {
        w_.Label_ArpTempo->setText(readout(tempo, position));
        return;
    }
    // A tempo of its own ends the MIDI clock; when the box was checked, its
    // handler runs this one nested and the message goes out twice.
    w_.ArpTempoMidi->setChecked(false);
    w_.Label_ArpTempo->setText(readout(tempo, position));
    edits_.set(tempo, storedOf(tempo, position));
}

void EditHandlers::ArpTempoMidiClick() {
    if (quiet()) return;
    if (!w_.ArpTempoMidi->isChecked()) {
        ArpTempoChange();
        return;
    }
    // Tempo code 0 follows the MIDI clock; the bar stays where it is.
    edits_.set(params::ArpTempo, 0);
}

void EditHandlers::ArpModeClick() {
    if (quiet()) return;
    const ParameterControls& c = w_.controlsOf(params::ArpMode);
    QAbstractButton* on = c.choices[0];
    QAbstractButton* hold = c.choices[1];
    ArpModeBoxes boxes;
    boxes.split = c.choices[2]->isChecked();
    if (on->isChecked()) {
        hold->setChecked(false); // "On" wins; a nested run follows if Hold was checked
        boxes.on = true;
    } else if (hold->isChecked()) {
        on->setChecked(false);
        boxes.hold = true;
    }
    edits_.set(params::ArpMode, arpModeValue(boxes));
}

void EditHandlers::PerformanceNameChange() {
    if (quiet()) return;
    edits_.setName(w_.PerformanceName->text().toStdU16String());
}

// ---- assign knob 2 ----------------------------------------------------------

int EditHandlers::assignParam() const { return std::clamp(w_.Assign2Tab->currentIndex(), 0, 3) + 1; }

void EditHandlers::Assign2ParaClick() {
    const int row = w_.Assign2Para->currentRow();
    if (quiet() || row < 0) return;
    const Parameter& target = params::assign2Para(assignParam());
    edits_.set(target, storedOf(target, row));
}

void EditHandlers::assign2LayerClick(int layer) {
    if (quiet()) return;
    const Parameter& affected = params::assign2Layer(assignParam());
    edits_.set(affected, storedOf(affected, layer - 1));
}

void EditHandlers::Assign2Layer1Click() { assign2LayerClick(1); }
void EditHandlers::assign2Layer2Click() { assign2LayerClick(2); }
void EditHandlers::assign2Layer3Click() { assign2LayerClick(3); }
void EditHandlers::Assign2Layer4Click() { assign2LayerClick(4); }

void EditHandlers::Assign2LevelChange() {
    const int position = w_.Assign2Level->value();
    const Parameter& level = params::assign2Level(assignParam());
    w_.Label_Assign2Level->setText(readout(level, position));
    if (quiet()) return;
    edits_.set(level, storedOf(level, position));
}

void EditHandlers::Assign2TabChange() {
    // Shows the tab's parameter only: the handlers this raises store nothing
    // and nothing is sent.
    const EditSession::Quiet quietly(edits_);
    const int q = assignParam();

    // A target the list does not know shows none rather than another one.
    w_.refresh->showParameter(w_.controlsOf(params::assign2Para(q)));

    // A layer byte outside 0..3 leaves the buttons as they are.
    const ParameterControls& affected = w_.controlsOf(params::assign2Layer(q));
    const int layer = edits_.value(*affected.param);
    if (layer >= 0 && layer < static_cast<int>(affected.choices.size()))
        affected.choices[static_cast<std::size_t>(layer)]->setChecked(true);

    // The read-out follows the bar, which clamps a value outside its range.
    const ParameterControls& level = w_.controlsOf(params::assign2Level(q));
    TMainWindow::setPosition(level.bar, positionOf(*level.param, edits_.value(*level.param)));
    level.readout->setText(readout(*level.param, level.bar->value()));
}

// ---- knob turns from the synth ----------------------------------------------

void EditHandlers::HandleSynthKnob(int controller, int value) {
    if (!w_.app().settings.SynthKnobs) return;
    const Parameter* p = nullptr;
    switch (controller) {
    case 71: p = &params::FilterResonance; break;
    case 72: p = &params::AEGRelTime; break;
    case 73: p = &params::AEGAtkTime; break;
    case 74: p = &params::FilterCutoff; break;
    default: return;
    }
    const ParameterControls& c = w_.controlsOf(*p);
    // Same conversions as the bar's own handler, clamped by the bar; the
    // change came from the synth, so nothing is sent.
    TMainWindow::setPosition(c.bar, positionOf(*p, std::clamp(value, 0, 127)));
    const int position = c.bar->value();
    c.readout->setText(readout(*p, position));
    redraw(p->envelope);
    edits_.write(*p, storedOf(*p, position));
}

} // namespace patchsmith::editor
