// The effect page: reverb, chorus and variation types, the six variation
// parameter bars (captioned, ranged and printed by the variation type) and
// the three send levels (plain parameters).

#include "ui/EditHandlers.h"

#include "midi/EditSession.h"
#include "model/Parameters.h"
#include "model/catalog/EffectCatalog.h"
#include "ui/MainWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace patchsmith::editor {

void EditHandlers::connectEffectPage() {
    QObject* ctx = &context_;
    // A click on the type shown runs its handler too: the type is sent again
    // and a variation type's parameters go back to their defaults.
    onChoice(w_.ReverbType, [this](int) { ReverbTypeClick(); });
    onChoice(w_.ChorusType, [this](int) { ChorusTypeClick(); });
    onChoice(w_.VariType, [this](int) { VariTypeClick(); });
    QObject::connect(w_.VPara1, &QSlider::valueChanged, ctx, [this] { VPara1Change(); });
    QObject::connect(w_.VPara2, &QSlider::valueChanged, ctx, [this] { VPara2Change(); });
    QObject::connect(w_.VPara3, &QSlider::valueChanged, ctx, [this] { VPara3Change(); });
    QObject::connect(w_.VPara4, &QSlider::valueChanged, ctx, [this] { VPara4Change(); });
    QObject::connect(w_.VPara5, &QSlider::valueChanged, ctx, [this] { VPara5Change(); });
    QObject::connect(w_.VPara10, &QSlider::valueChanged, ctx, [this] { VPara10Change(); });
}

QSlider* EditHandlers::variationBar(int p) const {
    switch (p) {
    case 1: return w_.VPara1;
    case 2: return w_.VPara2;
    case 3: return w_.VPara3;
    case 4: return w_.VPara4;
    case 5: return w_.VPara5;
    case 10: return w_.VPara10;
    default: return nullptr;
    }
}

void EditHandlers::typeClick(const Parameter& type, int row) {
    if (quiet() || row < 0 || row >= type.entries) return;
    edits_.set(type, row);
}

void EditHandlers::ReverbTypeClick() { typeClick(params::ReverbType, w_.ReverbType->currentRow()); }

void EditHandlers::ChorusTypeClick() { typeClick(params::ChorusType, w_.ChorusType->currentRow()); }

// A new type goes over as the whole effect block, with the defaults of its
// parameters; the bars then show the new type.
void EditHandlers::VariTypeClick() {
    const int row = w_.VariType->currentRow();
    if (quiet() || row < 0 || row >= params::VariType.entries) return;
    edits_.set(params::VariType, row);
    SetupVariationControls();
    for (int p : kVariationParams) ShowVariationValue(p, true);
}

void EditHandlers::SetupVariationControls() {
    const auto setups = variationSetup(w_.VariType->currentRow());
    QLabel* const captions[6] = {w_.Text_VPara1, w_.Text_VPara2, w_.Text_VPara3,
                                 w_.Text_VPara4, w_.Text_VPara5, w_.Text_VPara10};
    QLabel* const values[6] = {w_.Label_VPara1, w_.Label_VPara2, w_.Label_VPara3,
                               w_.Label_VPara4, w_.Label_VPara5, w_.Label_VPara10};
    for (std::size_t k = 0; k < setups.size(); ++k) {
        const VariationParamSetup& s = setups[k];
        // Assistive tools read the caption shown, not the one the bar started with.
        const QString caption = QString::fromStdString(s.caption);
        captions[k]->setText(caption);
        captions[k]->setAccessibleName(caption);
        SetVariationRange(kVariationParams[k], s.minimum, s.enabled, s.maximum);
        if (s.labelZero) values[k]->setText(QStringLiteral("0"));
    }
}

void EditHandlers::SetVariationRange(int p, int minimum, bool enabled, int maximum) {
    QSlider* b = variationBar(p);
    if (!b) return;
    maximum = std::max(maximum, minimum);
    b->setEnabled(enabled);
    const QSignalBlocker block(b);
    // Change the range so that the bar never holds a minimum above its
    // maximum; the position ends at the maximum (the bar's minimum value).
    const int position = b->value();
    if (position > maximum) {
        b->setMinimum(minimum);
        b->setValue(maximum);
        b->setMaximum(maximum);
    } else if (position < minimum) {
        b->setMaximum(maximum);
        b->setValue(maximum);
        b->setMinimum(minimum);
    } else {
        b->setMaximum(maximum);
        b->setMinimum(minimum);
        b->setValue(maximum);
    }
}

void EditHandlers::ShowVariationValue(int p, bool showing) {
    const auto index = variationParamIndex(p);
    QSlider* b = variationBar(p);
    if (!index || !b) return;
    const auto k = static_cast<std::size_t>(*index);
    const Parameter& parameter = *params::kVariationParameters[k];
    int v = 0;
    if (showing) {
        v = edits_.value(parameter);
        // The bar clamps a value outside its range; the label shows the value itself.
        TMainWindow::setPosition(b, b->minimum() + b->maximum() - v);
    } else {
        v = std::clamp(b->minimum() + b->maximum() - b->value(), 0, 128 * 128 - 1);
        edits_.set(parameter, v);
    }
    const auto setup = variationSetup(w_.VariType->currentRow())[k];
    // The catalogue prints a value its table has no entry for as the number
    // itself, so no table is read past its end.
    if (const auto text = formatVariationValue(setup, v, TMainWindow::decimalPoint())) {
        QLabel* const values[6] = {w_.Label_VPara1, w_.Label_VPara2, w_.Label_VPara3,
                                   w_.Label_VPara4, w_.Label_VPara5, w_.Label_VPara10};
        values[k]->setText(QString::fromStdString(*text));
    }
}

void EditHandlers::vParaChange(int p) {
    if (quiet()) return;
    // Bar to image, and sent.
    ShowVariationValue(p, false);
}

void EditHandlers::VPara1Change() { vParaChange(1); }
void EditHandlers::VPara2Change() { vParaChange(2); }
void EditHandlers::VPara3Change() { vParaChange(3); }
void EditHandlers::VPara4Change() { vParaChange(4); }
void EditHandlers::VPara5Change() { vParaChange(5); }
void EditHandlers::VPara10Change() { vParaChange(10); }

} // namespace patchsmith::editor
