#include "ui/DisplayRefresh.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "model/catalog/EffectCatalog.h"
#include "model/catalog/VoiceCatalog.h"
#include "ui/EditHandlers.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>
#include <QToolButton>

#include <algorithm>
#include <set>

namespace patchsmith::editor {

namespace {

// Controls are set with their signals live: the handlers they raise find
// the editing interface quiet and change nothing.
void setChecked(QAbstractButton* button, bool checked) {
    if (button) button->setChecked(checked);
}

// Selects a row of a list (none for a value past its rows).
void selectRow(QListWidget* list, int row, bool scrollToTop) {
    if (!list) return;
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
        if (scrollToTop) list->scrollToItem(list->item(row), QAbstractItemView::PositionAtTop);
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
}

void selectIndex(QComboBox* box, int index) {
    if (box) box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void setTextColour(QWidget* w, const QColor& colour) {
    if (!w) return;
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

// Number 1..5, 10 of a variation parameter; 0 for any other parameter.
int variationNumber(const Parameter& p) {
    for (std::size_t k = 0; k < params::kVariationParameters.size(); ++k)
        if (params::kVariationParameters[k] == &p) return kVariationParams[k];
    return 0;
}

} // namespace

DisplayRefresh::DisplayRefresh(TMainWindow& window) : w_(window) {}

const QColor& DisplayRefresh::layerOnColour() {
    static const QColor kBlue(0, 0, 255);
    return kBlue;
}

const QColor& DisplayRefresh::layerOffColour() {
    static const QColor kBlack(0, 0, 0);
    return kBlack;
}

void DisplayRefresh::fillVoiceList(QListWidget* list, int bank) {
    if (!list) return;
    // The names are collected off-screen and handed over in one step.
    QStringList rows;
    rows.reserve(kProgramCount);
    for (const std::string& name : voiceNames(bank)) rows << QString::fromStdString(name);
    list->clear();
    list->addItems(rows);
}

void DisplayRefresh::colourLayerSelectors(bool blackWhenOff) {
    const EditSession& edits = w_.edits();
    QRadioButton* selectors[4] = {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4};
    for (int layer = 1; layer <= 4; ++layer) {
        if (edits.value(params::LayerOn, layer) != 0)
            setTextColour(selectors[layer - 1], layerOnColour());
        else if (blackWhenOff)
            setTextColour(selectors[layer - 1], layerOffColour());
    }
}

QString DisplayRefresh::perfNameText() const {
    const int row = w_.UserPerf->currentRow();
    const bool selected = row >= 0 && w_.UserPerf->item(row) && w_.UserPerf->item(row)->isSelected();
    return QStringLiteral("Program ") + (selected ? QString::number(row) : QStringLiteral("---")) +
           QStringLiteral(", Bank MSB 63, LSB 65");
}

void DisplayRefresh::ShowPerformance() {
    EditSession& edits = w_.edits();
    {
        const EditSession::Quiet quiet(edits);
        edits.resetEditingState();
        for (QRadioButton* b : {w_.EditLayer1, w_.EditLayer2, w_.EditLayer3, w_.EditLayer4})
            setTextColour(b, layerOffColour());

        // Layer 1 edited. Checking EditLayer1 runs its handler (and with it a
        // layer refresh) when it was not checked yet.
        w_.EditLayer1->setChecked(true);
        setChecked(w_.AffectAllLayers, false);
        for (QToolButton* b : {w_.MuteLayer1, w_.MuteLayer2, w_.MuteLayer3, w_.MuteLayer4}) setChecked(b, false);

        showParameters(false);
        ShowLayer();
        w_.edit->Assign2TabChange();
    }
    edits.markUnmodified();
    // A user-performance switch showed the hourglass until now.
    w_.setNormalCursor();
}

void DisplayRefresh::showImage() {
    const EditSession::Quiet quiet(w_.edits());
    showParameters(false);
    ShowLayer();
    w_.edit->Assign2TabChange();
    colourLayerSelectors(true);
}

void DisplayRefresh::showBuiltControls() {
    const EditSession::Quiet quiet(w_.edits());
    for (const ParameterControls& c : w_.parameterControls()) {
        // Those whose display depends on other controls are on later pages.
        if (c.param->depends != ParamDepends::None) continue;
        const bool built = c.bar || c.check || c.companion || c.list || c.combo || c.edit ||
                           std::any_of(c.choices.begin(), c.choices.end(), [](auto* b) { return b != nullptr; });
        if (built) showParameter(c);
    }
    colourLayerSelectors(true);
}

void DisplayRefresh::ShowLayer() {
    const EditSession::Quiet quiet(w_.edits());
    w_.Label_PerfName->setText(perfNameText());
    showParameters(true);
    colourLayerSelectors(false);
}

void DisplayRefresh::showParameters(bool layer) {
    std::set<Envelope> graphs;
    for (const ParameterControls& c : w_.parameterControls()) {
        const Parameter& p = *c.param;
        if (p.layer() != layer || p.depends == ParamDepends::Assign2Tab) continue;
        showParameter(c);
        if (p.envelope != Envelope::None) graphs.insert(p.envelope);
    }
    if (graphs.count(Envelope::Filter)) w_.DrawFEGEnvelope();
    if (graphs.count(Envelope::Amplitude)) w_.DrawAEGEnvelope();
    if (graphs.count(Envelope::Pitch)) w_.DrawPEGEnvelope();
}

void DisplayRefresh::showParameter(const ParameterControls& c) {
    const EditSession& edits = w_.edits();
    const Parameter& p = *c.param;
    const int v = edits.shownValue(p);
    switch (p.control) {
    case ParamControl::VBar:
    case ParamControl::HBar:
        if (p.depends == ParamDepends::VariationType) {
            // Ranged and printed by the variation type shown before it.
            w_.edit->ShowVariationValue(variationNumber(p), true);
            return;
        }
        if (c.companion) setChecked(c.companion, p.zeroChecksCompanion && v == 0);
        if (c.bar) TMainWindow::setPosition(c.bar, positionOf(p, v));
        if (c.readout) c.readout->setText(QString::fromStdString(readoutText(p, v, TMainWindow::decimalPoint())));
        return;
    case ParamControl::CheckBox: setChecked(c.check, v != 0); return;
    case ParamControl::Choices: {
        if (c.choices.empty()) return;
        // The last button stands for any other value.
        const std::size_t index = v >= 0 && static_cast<std::size_t>(v) < c.choices.size() ? static_cast<std::size_t>(v)
                                                                                           : c.choices.size() - 1;
        setChecked(c.choices[index], true);
        return;
    }
    case ParamControl::ModeChecks: {
        const ArpModeBoxes boxes = arpModeBoxes(v);
        if (c.choices.size() < 3) return;
        setChecked(c.choices[0], boxes.on);
        setChecked(c.choices[1], boxes.hold);
        setChecked(c.choices[2], boxes.split);
        return;
    }
    case ParamControl::List:
        if (p.depends == ParamDepends::Bank) {
            // The voices of the layer's bank; an unlisted pair shows the drum kits.
            const int bank = edits.value(params::PatchBankNumber);
            fillVoiceList(c.list, bank >= 0 ? bank : kFallbackBank);
        }
        // A pair in no row leaves the list as it was.
        if (p.encoding != ParamEncoding::Pair || v >= 0) selectRow(c.list, v, p.scrollToTop);
        // The variation bars follow the type shown (or the one shown before).
        if (&p == &params::VariType) w_.edit->SetupVariationControls();
        return;
    case ParamControl::Combo:
        if (p.encoding != ParamEncoding::Pair || v >= 0) selectIndex(c.combo, v);
        return;
    case ParamControl::EditBox: {
        if (!c.edit) return;
        // The name as stored, trailing blanks included.
        QString name;
        for (const char ch : nameText(edits.image()))
            name += QChar(static_cast<char16_t>(static_cast<unsigned char>(ch)));
        c.edit->setText(name);
        return;
    }
    }
}

} // namespace patchsmith::editor
