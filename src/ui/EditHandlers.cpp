#include "ui/EditHandlers.h"

#include "ui/MainWindow.h"
#include "ui/ParameterTable.h"
#include "ui/EditNameValidator.h"
#include "model/Names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <array>
#include <string>

namespace patchsmith::editor {

namespace {

constexpr Byte kHigh = 0x60;

Byte toByte(int v) { return static_cast<Byte>(std::clamp(v, 0, 127)); }

QString noteText(int note) { return QString::fromStdString(noteName(note)); }

// Address low byte of a common byte: the block's base plus the offset.
Byte commonAddress(Block block, int offset) { return static_cast<Byte>(baseAddress(block).low + offset); }

} // namespace

EditHandlers::EditHandlers(TMainWindow& window) : w_(window) {}

EditHandlers::~EditHandlers() = default;

bool EditHandlers::quiet() const { return w_.refreshing(); }

void EditHandlers::writeLayer(int offset, Byte value) { w_.app().model.writeLayerByte(offset, value); }

void EditHandlers::sendLayer(int offset) {
    const Model& m = w_.app().model;
    w_.app().link.SendLayerParam(kHigh, static_cast<Byte>(offset), m.image.layerData(m.CurrentLayer, offset));
}

void EditHandlers::writeCommon(int offset, Byte value) { w_.app().model.image.setData(Block::Common, offset, value); }

void EditHandlers::redraw(Envelope envelope) {
    switch (envelope) {
    case Envelope::Amplitude: w_.DrawAEGEnvelope(); break;
    case Envelope::Filter: w_.DrawFEGEnvelope(); break;
    case Envelope::Pitch: w_.DrawPEGEnvelope(); break;
    case Envelope::None: break;
    }
}

QSlider* EditHandlers::bar(std::string_view name) const { return qobject_cast<QSlider*>(w_.control(name)); }

QLabel* EditHandlers::readout(std::string_view name) const {
    return qobject_cast<QLabel*>(w_.control("Label_" + std::string(name)));
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

    for (const TrackBarParam& p : trackBarParams())
        if (QSlider* b = bar(p.name))
            QObject::connect(b, &QSlider::valueChanged, ctx, [this, &p] { TrackBarChange(p); });
    for (const CheckBoxParam& p : checkBoxParams())
        if (auto* c = qobject_cast<QCheckBox*>(w_.control(p.name)))
            QObject::connect(c, &QCheckBox::toggled, ctx, [this, &p] { CheckBoxClick(p); });
    for (const RadioGroupParam& g : radioGroupParams())
        for (std::size_t i = 0; i < g.names.size(); ++i)
            if (auto* r = qobject_cast<QRadioButton*>(w_.control(g.names[i])))
                QObject::connect(r, &QRadioButton::toggled, ctx, [this, &g, i](bool checked) {
                    if (checked) RadioGroupClick(g, static_cast<int>(i));
                });
    for (const ListParam& p : listParams()) {
        if (auto* l = qobject_cast<QListWidget*>(w_.control(p.name)))
            QObject::connect(l, &QListWidget::currentRowChanged, ctx, [this, &p](int row) { ListClick(p, row); });
        else if (auto* c = qobject_cast<QComboBox*>(w_.control(p.name)))
            QObject::connect(c, &QComboBox::currentIndexChanged, ctx, [this, &p](int row) { ListClick(p, row); });
    }

    // The wave pictures act as their radio buttons.
    QObject::connect(w_.ImageSawtooth, &PictureBox::clicked, ctx, [this] { LFOWavePictureClick(0); });
    QObject::connect(w_.ImageTriangle, &PictureBox::clicked, ctx, [this] { LFOWavePictureClick(1); });
    QObject::connect(w_.Image1, &PictureBox::clicked, ctx, [this] { LFOWavePictureClick(2); });

    QObject::connect(w_.VelocityDefaults, &QPushButton::clicked, ctx, [this] { VelocityDefaultsClick(); });
    onBar(w_.NoteShift, &EditHandlers::NoteShiftChange);
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
    QObject::connect(w_.PerformanceName, &QLineEdit::editingFinished, ctx, [this] { PerformanceNameChange(); });

    QObject::connect(w_.Assign2Para, &QListWidget::currentRowChanged, ctx, [this](int row) {
        if (row >= 0) Assign2ParaClick();
    });
    onRadio(w_.Assign2Layer1, &EditHandlers::Assign2Layer1Click);
    onRadio(w_.Assign2Layer2, &EditHandlers::Assign2Layer2Click);
    onRadio(w_.Assign2Layer3, &EditHandlers::Assign2Layer3Click);
    onRadio(w_.Assign2Layer4, &EditHandlers::Assign2Layer4Click);
    onBar(w_.Assign2Level, &EditHandlers::Assign2LevelChange);
    QObject::connect(w_.Assign2Tab, &TabControl::currentChanged, ctx, [this] { Assign2TabChange(); });

    connectEffectPage();
}

// ---- plain controls ---------------------------------------------------------

void EditHandlers::TrackBarChange(const TrackBarParam& p) {
    QSlider* b = bar(p.name);
    if (!b) return;
    const int position = b->value();
    if (QLabel* l = readout(p.name)) l->setText(QString::number(shownFromPosition(p, position)));
    redraw(p.redraw);
    if (quiet()) return;
    const Byte v = toByte(storedFromPosition(p, position));
    if (p.layer) {
        writeLayer(p.offset, v);
        sendLayer(p.offset);
    } else {
        w_.app().model.image.setData(p.block, p.offset, v);
        w_.app().link.SendParamChange(kHigh, 0x00, commonAddress(p.block, p.offset), v);
    }
}

void EditHandlers::CheckBoxClick(const CheckBoxParam& p) {
    if (quiet()) return;
    const auto* c = qobject_cast<QCheckBox*>(w_.control(p.name));
    if (!c) return;
    const Byte v = c->isChecked() ? toByte(p.onValue) : Byte{0};
    if (p.layer) {
        writeLayer(p.offset, v);
        sendLayer(p.offset);
    } else {
        w_.app().model.image.setData(p.block, p.offset, v);
        w_.app().link.SendParamChange(kHigh, 0x00, commonAddress(p.block, p.offset), v);
    }
}

void EditHandlers::RadioGroupClick(const RadioGroupParam& group, int index) {
    if (quiet() || index < 0 || index >= static_cast<int>(group.names.size())) return;
    writeLayer(group.offset, toByte(index));
    sendLayer(group.offset);
}

void EditHandlers::ListClick(const ListParam& p, int row) {
    if (quiet() || row < 0) return;
    const Byte v = toByte(row);
    w_.app().model.image.setData(p.block, p.offset, v);
    w_.app().link.SendParamChange(kHigh, 0x00, commonAddress(p.block, p.offset), v);
}

// ---- layer controls with their own logic ----------------------------------

void EditHandlers::VelocityDefaultsClick() {
    if (quiet()) return;
    struct Default {
        QSlider* bar;
        QLabel* label;
        int position;
        int offset;
        Byte stored;
    };
    const std::array<Default, 4> defaults{{
        {w_.VelocityLimitLow, w_.Label_VelocityLimitLow, 126, 27, 1},
        {w_.VelocityLimitHigh, w_.Label_VelocityLimitHigh, 0, 28, 127},
        {w_.VelocitySenseDepth, w_.Label_VelocitySenseDepth, 63, 8, 64},
        {w_.VelocitySenseOffset, w_.Label_VelocitySenseOffset, 63, 9, 64},
    }};
    for (const Default& d : defaults) {
        TMainWindow::SetPosition(d.bar, d.position);
        const TrackBarParam* p = findTrackBarParam(d.bar->objectName().toStdString());
        d.label->setText(QString::number(p ? shownFromPosition(*p, d.bar->value()) : d.stored));
        writeLayer(d.offset, d.stored);
    }
    w_.app().link.SendLayerDumps(w_.app().model.AffectAllLayers);
}

void EditHandlers::NoteShiftChange() {
    const int p = w_.NoteShift->value();
    w_.Label_NoteShift->setText(QString::fromStdString(NoteShiftText(-p)));
    if (quiet()) return;
    writeLayer(4, toByte(64 - p));
    sendLayer(4);
}

void EditHandlers::NoteDetuneChange() {
    const int d = -w_.NoteDetune->value(); // -128..127 tenths of a hertz
    w_.Label_NoteDetune->setText(QString::fromStdString(DetuneText(d, TMainWindow::DecimalPoint())));
    if (quiet()) return;
    const int v = std::clamp(d + 128, 0, 255);
    // Two 4-bit halves, high half first.
    writeLayer(5, static_cast<Byte>(v / 16));
    writeLayer(6, static_cast<Byte>(v % 16));
    w_.app().link.SendLayerDumps(w_.app().model.AffectAllLayers);
}

// A note limit pushed past its partner moves the partner along. The partner's
// new value is stored and sent too (before the moved limit, so the synth never
// holds a low limit above the high one), so that the image, the synth and the
// two bars agree.
void EditHandlers::NoteLimitLowChange() {
    noteLimitChange(w_.NoteLimitLow, w_.Label_NoteLimitLow, 11, w_.NoteLimitHigh, w_.Label_NoteLimitHigh, 12, true);
}

void EditHandlers::NoteLimitHighChange() {
    noteLimitChange(w_.NoteLimitHigh, w_.Label_NoteLimitHigh, 12, w_.NoteLimitLow, w_.Label_NoteLimitLow, 11, false);
}

void EditHandlers::noteLimitChange(QSlider* own, QLabel* ownLabel, int ownOffset, QSlider* partner,
                                   QLabel* partnerLabel, int partnerOffset, bool isLow) {
    const int p = own->value();
    ownLabel->setText(noteText(p));
    if (quiet()) return;
    if (isLow ? p > partner->value() : p < partner->value()) {
        TMainWindow::SetPosition(partner, p);
        partnerLabel->setText(noteText(p));
        writeLayer(partnerOffset, toByte(p));
        sendLayer(partnerOffset);
    }
    writeLayer(ownOffset, toByte(p));
    sendLayer(ownOffset);
}

void EditHandlers::PanPotChange() {
    const int p = w_.PanPot->value();
    if (quiet()) {
        w_.Label_PanPot->setText(QString::fromStdString(PanText(p)));
        return;
    }
    // Any position but the centre ends random panning; the box's own handler
    // runs first and stores the new position.
    if (p != 64) w_.RandomPan->setChecked(false);
    w_.Label_PanPot->setText(QString::fromStdString(PanText(p)));
    writeLayer(10, toByte(p));
    sendLayer(10);
}

void EditHandlers::RandomPanClick() {
    if (quiet()) return;
    Byte v = 0;
    if (w_.RandomPan->isChecked()) {
        TMainWindow::SetPosition(w_.PanPot, 64);
        w_.Label_PanPot->setText(QStringLiteral("CTR"));
    } else {
        v = toByte(w_.PanPot->value());
    }
    writeLayer(10, v);
    sendLayer(10);
}

// A muted layer keeps 0 in its volume byte; the new volume goes to its saved
// volume. With all layers edited each layer is sent its own volume byte, so
// muted layers stay silent and the others get the new volume.
void EditHandlers::LayerVolumeChange() {
    const int v = 127 - w_.LayerVolume->value();
    w_.Label_LayerVolume->setText(QString::number(v));
    if (quiet()) return;
    Model& m = w_.app().model;
    auto write = [&](int layer) {
        if (m.muteOf(layer).muted)
            m.muteOf(layer).savedVolume = toByte(v);
        else
            m.image.setLayerData(layer, 7, toByte(v));
    };
    if (m.AffectAllLayers) {
        for (int layer = 1; layer <= 4; ++layer) write(layer);
        if (!m.SendEnabled) return;
        for (int layer = 1; layer <= 4; ++layer)
            w_.app().link.SendParamChange(kHigh, static_cast<Byte>(layer), 0x07, m.image.layerData(layer, 7));
    } else {
        write(m.CurrentLayer);
        sendLayer(7);
    }
}

void EditHandlers::LFOWavePictureClick(int wave) {
    QRadioButton* const buttons[3] = {w_.LFOWaveSaw, w_.LFOWaveTriangle, w_.LFOWaveSH};
    if (wave < 0 || wave > 2) return;
    // Checking the button runs its handler (nested) when it was not checked yet.
    buttons[wave]->setChecked(true);
    for (const RadioGroupParam& g : radioGroupParams())
        if (g.offset == 31) RadioGroupClick(g, wave);
}

// ---- common controls with their own logic ----------------------------------

void EditHandlers::ArpTempoChange() {
    const int p = w_.ArpTempo->value();
    const int t = std::clamp(241 - p, 1, 201);
    if (quiet()) {
        w_.Label_ArpTempo->setText(QString::number(t + 39));
        return;
    }
    // A tempo of its own ends the MIDI clock; when the box was checked, its
    // handler runs this one nested and the message goes out twice.
    w_.ArpTempoMidi->setChecked(false);
    w_.Label_ArpTempo->setText(QString::number(t + 39));
    writeCommon(41, t > 127 ? 1 : 0);
    writeCommon(42, static_cast<Byte>(t % 128));
    const PerformanceImage& image = w_.app().model.image;
    w_.app().link.SendParamChangeWide(kHigh, 0x00, 0x29, image.data(Block::Common, 41), image.data(Block::Common, 42));
}

void EditHandlers::ArpTempoMidiClick() {
    if (quiet()) return;
    if (!w_.ArpTempoMidi->isChecked()) {
        ArpTempoChange();
        return;
    }
    writeCommon(41, 0);
    writeCommon(42, 0);
    w_.app().link.SendParamChangeWide(kHigh, 0x00, 0x29, 0, 0);
}

void EditHandlers::ArpModeClick() {
    if (quiet()) return;
    const int base = w_.ArpModeSplit->isChecked() ? 0 : 4;
    int value = base;
    if (w_.ArpModeOn->isChecked()) {
        w_.ArpModeHold->setChecked(false); // "On" wins; a nested run follows if Hold was checked
        value = base + 1;
    } else if (w_.ArpModeHold->isChecked()) {
        w_.ArpModeOn->setChecked(false);
        value = base + 2;
    }
    writeCommon(45, static_cast<Byte>(value));
    w_.app().link.SendParamChange(kHigh, 0x00, 0x2D, static_cast<Byte>(value));
}

void EditHandlers::PerformanceNameChange() {
    if (quiet()) return;
    const QString text = w_.PerformanceName->text();
    for (int i = 0; i < 8; ++i) {
        const char16_t c = i < text.size() ? text.at(i).unicode() : u' ';
        // The synth stores printable ASCII only; the box lets nothing else
        // through, and a blank stands in should anything slip past it.
        writeCommon(i, isStorableNameCharacter(c) ? static_cast<Byte>(c) : Byte{0x20});
    }
    w_.app().link.SendBulkBlock(5);
}

// ---- assign knob 2 ----------------------------------------------------------

int EditHandlers::assignParam() const { return std::clamp(w_.Assign2Tab->currentIndex(), 0, 3) + 1; }

void EditHandlers::sendAssign2Pair(int q) {
    const PerformanceImage& image = w_.app().model.image;
    const int layerOffset = 26 + 2 * q;
    w_.app().link.SendParamChangeWide(kHigh, 0x00, static_cast<Byte>(layerOffset),
                                      image.data(Block::Common, layerOffset),
                                      image.data(Block::Common, layerOffset + 1));
}

void EditHandlers::Assign2ParaClick() {
    const int row = w_.Assign2Para->currentRow();
    if (quiet() || row < 0) return;
    const int q = assignParam();
    writeCommon(27 + 2 * q, toByte(row));
    sendAssign2Pair(q);
}

void EditHandlers::Assign2LayerClick(int layer) {
    if (quiet()) return;
    const int q = assignParam();
    writeCommon(26 + 2 * q, toByte(layer - 1));
    sendAssign2Pair(q);
}

void EditHandlers::Assign2Layer1Click() { Assign2LayerClick(1); }
void EditHandlers::Assign2Layer2Click() { Assign2LayerClick(2); }
void EditHandlers::Assign2Layer3Click() { Assign2LayerClick(3); }
void EditHandlers::Assign2Layer4Click() { Assign2LayerClick(4); }

void EditHandlers::Assign2LevelChange() {
    const int p = w_.Assign2Level->value();
    w_.Label_Assign2Level->setText(QString::number(64 - p));
    if (quiet()) return;
    const int q = assignParam();
    const Byte v = toByte(128 - p);
    writeCommon(35 + q, v);
    w_.app().link.SendParamChange(kHigh, 0x00, static_cast<Byte>(35 + q), v);
}

void EditHandlers::Assign2TabChange() {
    // Shows the tab's parameter only: the handlers this raises store nothing
    // and nothing is sent.
    const TMainWindow::QuietRefresh quietly(w_);
    const PerformanceImage& image = w_.app().model.image;
    const int q = assignParam();

    const int target = image.data(Block::Common, 27 + 2 * q);
    {
        const QSignalBlocker block(w_.Assign2Para);
        if (target < w_.Assign2Para->count()) {
            w_.Assign2Para->setCurrentRow(target);
            w_.Assign2Para->scrollToItem(w_.Assign2Para->item(target), QAbstractItemView::PositionAtTop);
        } else {
            // A target the list does not know: show none rather than another one.
            w_.Assign2Para->setCurrentRow(-1);
        }
    }

    QRadioButton* const layers[4] = {w_.Assign2Layer1, w_.Assign2Layer2, w_.Assign2Layer3, w_.Assign2Layer4};
    const int layer = image.data(Block::Common, 26 + 2 * q);
    if (layer <= 3) layers[layer]->setChecked(true);

    TMainWindow::SetPosition(w_.Assign2Level, 128 - image.data(Block::Common, 35 + q));
    w_.Label_Assign2Level->setText(QString::number(64 - w_.Assign2Level->value()));
}

// ---- knob turns from the synth ----------------------------------------------

void EditHandlers::HandleSynthKnob(int controller, int value) {
    if (!w_.app().settings.SynthKnobs) return;
    std::string_view name;
    switch (controller) {
    case 71: name = "FilterResonance"; break;
    case 72: name = "AEGRelTime"; break;
    case 73: name = "AEGAtkTime"; break;
    case 74: name = "FilterCutoff"; break;
    default: return;
    }
    const TrackBarParam* p = findTrackBarParam(name);
    QSlider* b = bar(name);
    if (!p || !b) return;
    // Same conversions as the bar's own handler, clamped by the bar; the
    // change came from the synth, so nothing is sent.
    TMainWindow::SetPosition(b, positionFromStored(*p, std::clamp(value, 0, 127)));
    const int position = b->value();
    if (QLabel* l = readout(name)) l->setText(QString::number(shownFromPosition(*p, position)));
    redraw(p->redraw);
    writeLayer(p->offset, toByte(storedFromPosition(*p, position)));
}

} // namespace patchsmith::editor
