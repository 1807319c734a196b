// The effect page: reverb, chorus and variation types, the six variation
// parameter bars (captioned, ranged and printed by the variation type) and
// the three send levels (plain bars of the parameter table).

#include "ui/EditHandlers.h"

#include "ui/MainWindow.h"
#include "model/catalog/EffectCatalog.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace patchsmith::editor {

namespace {

constexpr Byte kHigh = 0x60;
constexpr int kReverbOffset = 0;
constexpr int kChorusOffset = 2;
constexpr int kVariationTypeOffset = 4;

} // namespace

void EditHandlers::connectEffectPage() {
    QObject* ctx = &context_;
    QObject::connect(w_.ReverbType, &QListWidget::currentRowChanged, ctx, [this] { ReverbTypeClick(); });
    QObject::connect(w_.ChorusType, &QListWidget::currentRowChanged, ctx, [this] { ChorusTypeClick(); });
    QObject::connect(w_.VariType, &QListWidget::currentRowChanged, ctx, [this] { VariTypeClick(); });
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

void EditHandlers::ReverbTypeClick() {
    const int row = w_.ReverbType->currentRow();
    if (quiet() || row < 0 || row >= kReverbTypeCount) return;
    const EffectType& type = ReverbTypeTable[static_cast<std::size_t>(row)];
    PerformanceImage& image = w_.app().model.image;
    image.setData(Block::Effect, kReverbOffset, type.msb);
    image.setData(Block::Effect, kReverbOffset + 1, type.lsb);
    w_.app().link.SendParamChangeWide(kHigh, 0x00, 0x30, type.msb, type.lsb);
}

void EditHandlers::ChorusTypeClick() {
    const int row = w_.ChorusType->currentRow();
    if (quiet() || row < 0 || row >= kChorusTypeCount) return;
    const EffectType& type = ChorusTypeTable[static_cast<std::size_t>(row)];
    PerformanceImage& image = w_.app().model.image;
    image.setData(Block::Effect, kChorusOffset, type.msb);
    image.setData(Block::Effect, kChorusOffset + 1, type.lsb);
    w_.app().link.SendParamChangeWide(kHigh, 0x00, 0x32, type.msb, type.lsb);
}

void EditHandlers::VariTypeClick() {
    const int row = w_.VariType->currentRow();
    if (quiet() || row < 0 || row >= kVariationTypeCount) return;
    const auto i = static_cast<std::size_t>(row);
    PerformanceImage& image = w_.app().model.image;
    image.setData(Block::Effect, kVariationTypeOffset, VariationTypeTable[i].msb);
    image.setData(Block::Effect, kVariationTypeOffset + 1, VariationTypeTable[i].lsb);
    for (std::size_t k = 0; k < kVariationParams.size(); ++k) {
        const int d = VariationDefaults[i][k];
        image.setData(Block::Effect, kVariationParamOffsets[k], static_cast<Byte>(d / 128));
        image.setData(Block::Effect, kVariationParamOffsets[k] + 1, static_cast<Byte>(d % 128));
    }
    SetupVariationControls();
    for (int p : kVariationParams) ShowVariationValue(p, true);
    // A new type goes over as the whole effect block, defaults included.
    w_.app().link.SendBulkBlock(6);
}

void EditHandlers::SetupVariationControls() {
    const auto setups = variationSetup(w_.VariType->currentRow());
    QLabel* const captions[6] = {w_.Text_VPara1, w_.Text_VPara2, w_.Text_VPara3,
                                 w_.Text_VPara4, w_.Text_VPara5, w_.Text_VPara10};
    QLabel* const values[6] = {w_.Label_VPara1, w_.Label_VPara2, w_.Label_VPara3,
                               w_.Label_VPara4, w_.Label_VPara5, w_.Label_VPara10};
    for (std::size_t k = 0; k < setups.size(); ++k) {
        const VariationParamSetup& s = setups[k];
        captions[k]->setText(QString::fromStdString(s.caption));
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
    const int offset = kVariationParamOffsets[k];
    PerformanceImage& image = w_.app().model.image;
    int v = 0;
    if (showing) {
        v = 128 * image.data(Block::Effect, offset) + image.data(Block::Effect, offset + 1);
        // The bar clamps a value outside its range; the label shows the value itself.
        TMainWindow::SetPosition(b, b->minimum() + b->maximum() - v);
    } else {
        v = std::clamp(b->minimum() + b->maximum() - b->value(), 0, 128 * 128 - 1);
        image.setData(Block::Effect, offset, static_cast<Byte>(v / 128));
        image.setData(Block::Effect, offset + 1, static_cast<Byte>(v % 128));
    }
    const auto setup = variationSetup(w_.VariType->currentRow())[k];
    // The catalogue prints a value its table has no entry for as the number
    // itself, so no table is read past its end.
    if (const auto text = formatVariationValue(setup, v, TMainWindow::DecimalPoint())) {
        QLabel* const values[6] = {w_.Label_VPara1, w_.Label_VPara2, w_.Label_VPara3,
                                   w_.Label_VPara4, w_.Label_VPara5, w_.Label_VPara10};
        values[k]->setText(QString::fromStdString(*text));
    }
}

void EditHandlers::VParaChange(int p) {
    const auto index = variationParamIndex(p);
    if (quiet() || !index) return;
    ShowVariationValue(p, false);
    const auto k = static_cast<std::size_t>(*index);
    const PerformanceImage& image = w_.app().model.image;
    w_.app().link.SendParamChangeWide(kHigh, 0x00, kVariationParamAddressLow[k],
                                      image.data(Block::Effect, kVariationParamOffsets[k]),
                                      image.data(Block::Effect, kVariationParamOffsets[k] + 1));
}

void EditHandlers::VPara1Change() { VParaChange(1); }
void EditHandlers::VPara2Change() { VParaChange(2); }
void EditHandlers::VPara3Change() { VParaChange(3); }
void EditHandlers::VPara4Change() { VParaChange(4); }
void EditHandlers::VPara5Change() { VParaChange(5); }
void EditHandlers::VPara10Change() { VParaChange(10); }

} // namespace patchsmith::editor
