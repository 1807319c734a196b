#include "ui/DisplayRefresh.h"

#include "ui/EditHandlers.h"
#include "ui/MainWindow.h"
#include "ui/ParameterTable.h"
#include "model/Names.h"
#include "model/catalog/EffectCatalog.h"
#include "model/catalog/VoiceCatalog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStringList>
#include <QToolButton>

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace patchsmith::editor {

namespace {

// Controls are found by their names; the parameter table names them.
QSlider* barNamed(const TMainWindow& w, std::string_view name) { return qobject_cast<QSlider*>(w.control(name)); }

QLabel* labelOf(const TMainWindow& w, std::string_view name) {
    const std::string label = "Label_" + std::string(name);
    return qobject_cast<QLabel*>(w.control(label));
}

void setLabel(QLabel* label, const QString& text) {
    if (label) label->setText(text);
}

void setLabel(QLabel* label, const std::string& text) { setLabel(label, QString::fromStdString(text)); }

// A bar at a position (clamped by the bar; its handler does not run) with its
// read-out.
void showBar(QSlider* bar, QLabel* label, int position, const QString& text) {
    if (bar) TMainWindow::SetPosition(bar, position);
    setLabel(label, text);
}

void setChecked(QAbstractButton* button, bool checked) {
    if (!button) return;
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

// Checks one button of an exclusive group; the buttons that go off on the
// way run no handlers either.
void checkOneOf(const std::vector<QAbstractButton*>& group, QAbstractButton* target) {
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QAbstractButton* b : group)
        if (b) quiet.push_back(std::make_unique<QSignalBlocker>(b));
    if (target) target->setChecked(true);
}

// Selects a row of a list (none for a value past its rows).
void selectRow(QListWidget* list, int row, bool scrollToTop) {
    if (!list) return;
    const QSignalBlocker quiet(list);
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
        if (scrollToTop) list->scrollToItem(list->item(row), QAbstractItemView::PositionAtTop);
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
}

void selectIndex(QComboBox* box, int index) {
    if (!box) return;
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void setTextColour(QWidget* w, const QColor& colour) {
    if (!w) return;
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

// A plain bar from the parameter table, set from its image byte.
void showTableBar(const TMainWindow& w, const TrackBarParam& p, Byte v) {
    showBar(barNamed(w, p.name), labelOf(w, p.name), positionFromStored(p, v),
            QString::number(shownFromStored(p, v)));
}

} // namespace

DisplayRefresh::DisplayRefresh(TMainWindow& window) : w_(window) {}

const QColor& DisplayRefresh::layerOnColour() {
    static const QColor blue(0, 0, 255);
    return blue;
}

const QColor& DisplayRefresh::layerOffColour() {
    static const QColor black(0, 0, 0);
    return black;
}

void DisplayRefresh::FillVoiceList(QListWidget* list, int bank) {
    if (!list) return;
    // The names are collected off-screen and handed over in one step.
    QStringList rows;
    rows.reserve(kProgramCount);
    for (const std::string& name : voiceNames(bank)) rows << QString::fromStdString(name);
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(rows);
}

void DisplayRefresh::ColourLayerSelectors(bool blackWhenOff) {
    const Model& model = w_.app().model;
    QRadioButton* selectors[4] = {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4};
    for (int layer = 1; layer <= 4; ++layer) {
        if (model.image.layerData(layer, 22) != 0)
            setTextColour(selectors[layer - 1], layerOnColour());
        else if (blackWhenOff)
            setTextColour(selectors[layer - 1], layerOffColour());
    }
}

QString DisplayRefresh::PerfNameText() const {
    const int row = w_.UserPerf->currentRow();
    const bool selected = row >= 0 && w_.UserPerf->item(row) && w_.UserPerf->item(row)->isSelected();
    return QStringLiteral("Program ") + (selected ? QString::number(row) : QStringLiteral("---")) +
           QStringLiteral(", Bank MSB 63, LSB 65");
}

void DisplayRefresh::ShowPerformance() {
    Model& model = w_.app().model;
    {
        const TMainWindow::QuietRefresh quiet(w_);
        model.PerfModified = false;

        for (QRadioButton* b : {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4})
            setTextColour(b, layerOffColour());
        model.LayerMuteTable = {};

        // Layer 1 edited. Checking EditLayer1 runs its handler (and with it a
        // layer refresh) when it was not checked yet.
        model.CurrentLayer = 1;
        w_.EditLayer1->setChecked(true);
        model.AffectAllLayers = false;
        setChecked(w_.AffectAllLayers, false);
        for (QToolButton* b : {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4}) setChecked(b, false);

        showCommonControls();
        ShowLayer();
        showFurtherCommonControls();
        w_.Edit->Assign2TabChange();
        showEffectTypes();
        w_.Edit->SetupVariationControls();
        for (int p : kVariationParams) w_.Edit->ShowVariationValue(p, true);
    }
    model.PerfModified = false;
    // A user-performance switch showed the hourglass until now.
    w_.setNormalCursor();
}

void DisplayRefresh::showCommonControls() {
    const PerformanceImage& image = w_.app().model.image;
    auto common = [&](int k) { return image.data(Block::Common, k); };
    auto controller = [&](int k) { return image.data(Block::Controller, k); };

    selectIndex(w_.PerformanceType, common(8));
    {
        // The name as stored, trailing blanks included.
        QString name;
        for (int k = 0; k < 8; ++k) name += QChar(static_cast<char16_t>(common(k)));
        const QSignalBlocker quiet(w_.PerformanceName);
        w_.PerformanceName->setText(name);
    }
    showTableBar(w_, *findTrackBarParam("CommonVolume"), common(9));
    setChecked(w_.PortaOn, controller(7) != 0);
    showTableBar(w_, *findTrackBarParam("PortaTime"), controller(8));
    showTableBar(w_, *findTrackBarParam("PitchBend"), controller(3));
    selectRow(w_.ArpeggioType, common(43), true);
    selectIndex(w_.ArpeggioSubdiv, common(44));

    // Tempo code 0 follows MIDI clock; the bar then rests at 140.
    const int tempo = 128 * common(41) + common(42);
    if (tempo != 0) {
        setChecked(w_.ArpTempoMidi, false);
        showBar(w_.ArpTempo, w_.Label_ArpTempo, 241 - tempo, QString::number(tempo + 39));
    } else {
        setChecked(w_.ArpTempoMidi, true);
        showBar(w_.ArpTempo, w_.Label_ArpTempo, 140, QStringLiteral("140"));
    }

    const Byte mode = common(45);
    const bool on = (mode & 0x01) != 0;
    const bool hold = !on && (mode & 0x02) != 0;
    setChecked(w_.ArpModeOn, on);
    setChecked(w_.ArpModeHold, hold);
    setChecked(w_.ArpModeSplit, (mode & 0x04) == 0);
}

void DisplayRefresh::showFurtherCommonControls() {
    const PerformanceImage& image = w_.app().model.image;
    static constexpr std::array<std::string_view, 21> kBars{
        "MWLFOPMod",   "MWLFOFMod",   "MWFilterCtl", "FCLFOFMod",   "FCFilterCtl",    "FCVariCtl",
        "Scene1Knob1", "Scene1Knob2", "Scene1Knob3", "Scene1Knob4", "Scene1Knob5",    "Scene1Knob6",
        "Scene2Knob1", "Scene2Knob2", "Scene2Knob3", "Scene2Knob4", "Scene2Knob5",    "Scene2Knob6",
        // Not required of a refresh, but a received performance should show
        // its own send levels rather than the last ones the user set.
        "ChorusToReverb", "VariOnRev", "VariOnCho"};
    for (std::string_view name : kBars) {
        const TrackBarParam* p = findTrackBarParam(name);
        if (p) showTableBar(w_, *p, image.data(p->block, p->offset));
    }
    selectRow(w_.Assign1Para, image.data(Block::Common, 40), true);
}

void DisplayRefresh::showEffectTypes() {
    const PerformanceImage& image = w_.app().model.image;
    auto effect = [&](int k) { return image.data(Block::Effect, k); };
    // A pair in no table leaves that list as it was.
    if (auto row = findReverbType(effect(0), effect(1))) selectRow(w_.ReverbType, *row, true);
    if (auto row = findChorusType(effect(2), effect(3))) selectRow(w_.ChorusType, *row, true);
    if (auto row = findVariationType(effect(4), effect(5))) selectRow(w_.VariType, *row, true);
}

void DisplayRefresh::ShowLayer() {
    const TMainWindow::QuietRefresh quiet(w_);
    const Model& model = w_.app().model;
    const int n = model.CurrentLayer;
    auto v = [&](int offset) { return model.image.layerData(n, offset); };

    // Bank and voice. An unlisted pair shows the drum kits and leaves the
    // bank box as it was.
    const std::optional<int> bank = findBank(v(0), v(1));
    w_.Label_PerfName->setText(PerfNameText());
    if (bank) selectIndex(w_.PatchBankNumber, *bank);
    FillVoiceList(w_.PatchVoiceNumber, bank.value_or(kFallbackBank));
    selectRow(w_.PatchVoiceNumber, v(2), true);

    // A muted layer shows the volume it will get back.
    const LayerMute& mute = model.muteOf(n);
    const int volume = mute.muted ? mute.savedVolume : v(7);
    showBar(w_.LayerVolume, w_.Label_LayerVolume, 127 - volume, QString::number(volume));
    setChecked(w_.PlayPoly, v(3) != 0);
    setChecked(w_.LayerOn, v(22) != 0);
    ColourLayerSelectors(false);

    for (std::string_view name : {"VelocityLimitLow", "VelocityLimitHigh", "VelocitySenseDepth",
                                  "VelocitySenseOffset", "EffectReverb", "EffectChorus"}) {
        const TrackBarParam* p = findTrackBarParam(name);
        if (p) showTableBar(w_, *p, v(p->offset));
    }
    setChecked(w_.EffectVariation, v(15) != 0);

    TMainWindow::SetPosition(w_.NoteLimitLow, v(11));
    setLabel(w_.Label_NoteLimitLow, noteName(w_.NoteLimitLow->value()));
    TMainWindow::SetPosition(w_.NoteLimitHigh, v(12));
    setLabel(w_.Label_NoteLimitHigh, noteName(w_.NoteLimitHigh->value()));

    // Pan byte 0 is random panning; the bar then rests at the centre.
    if (v(10) == 0) {
        TMainWindow::SetPosition(w_.PanPot, 64);
        setChecked(w_.RandomPan, true);
    } else {
        TMainWindow::SetPosition(w_.PanPot, v(10));
        setChecked(w_.RandomPan, false);
    }
    setLabel(w_.Label_PanPot, PanText(w_.PanPot->value()));

    showBar(w_.NoteShift, w_.Label_NoteShift, 64 - v(4), QString::fromStdString(NoteShiftText(v(4) - 64)));
    const int detune = 16 * v(5) + v(6);
    showBar(w_.NoteDetune, w_.Label_NoteDetune, 128 - detune,
            QString::fromStdString(DetuneText(detune - 128, TMainWindow::DecimalPoint())));

    // Envelopes and the rest of the layer, in the order of their pages.
    showLayerTrackBars(n);

    // LFO wave and sync: the last button stands for any other value.
    for (const RadioGroupParam& g : radioGroupParams()) {
        std::vector<QAbstractButton*> buttons;
        for (std::string_view name : g.names) buttons.push_back(qobject_cast<QAbstractButton*>(w_.control(name)));
        const int value = v(g.offset);
        const std::size_t index =
            value >= 0 && static_cast<std::size_t>(value) < buttons.size() ? static_cast<std::size_t>(value)
                                                                            : buttons.size() - 1;
        checkOneOf(buttons, buttons[index]);
    }
}

void DisplayRefresh::showLayerTrackBars(int layer) {
    const PerformanceImage& image = w_.app().model.image;
    auto show = [&](std::initializer_list<std::string_view> names) {
        for (std::string_view name : names) {
            const TrackBarParam* p = findTrackBarParam(name);
            if (p) showTableBar(w_, *p, image.layerData(layer, p->offset));
        }
    };
    show({"FEGAtkTime", "FEGDcyTime", "FEGSusLevel", "FEGRelTime"});
    w_.DrawFEGEnvelope();
    show({"AEGAtkTime", "AEGDcyTime", "AEGRelTime", "AEGSusLevel"});
    w_.DrawAEGEnvelope();
    show({"PEGInitLevel", "PEGAtkTime", "PEGAtkLevel", "PEGDcyTime", "PEGRelTime", "PEGRelLevel"});
    w_.DrawPEGEnvelope();
    show({"FilterCutoff", "FilterResonance", "LFOSpeed", "LFOAMod", "LFOPMod", "LFOFMod"});
}

} // namespace patchsmith::editor
