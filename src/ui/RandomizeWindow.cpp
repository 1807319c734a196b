#include "ui/RandomizeWindow.h"

#include "ui/DialogKit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace patchsmith {

using namespace dialogs;

namespace {

struct GroupText {
    const char* caption;
    const char* hint;
    const char* name;
};
constexpr GroupText kGroupTexts[5] = {
    {"Layer voices", "Bank, voice, tuning, velocity, pan, levels of the layer", "RandomLayerVoices"},
    {"Filter and envelopes", "Filter and the amplitude, filter and pitch envelopes", "RandomFilterEnvelopes"},
    {"LFO", "LFO wave, sync, speed and depths", "RandomLfo"},
    {"Effects", "Effect types, variation parameters and effect levels", "RandomEffects"},
    {"Arpeggio", "Arpeggiator type, tempo, sub-divide and mode", "RandomArpeggio"},
};

} // namespace

TRandomizeWindow::TRandomizeWindow(const RandomizeChoice& start, QWidget* parent) : QDialog(parent) {
    setObjectName("TRandomizeWindow");
    PrepareDialog(this, " Randomize", 260, 236);

    auto* strengthLabel = new QLabel("Strength", this);
    strengthLabel->setGeometry(8, 10, 60, 16);
    Strength = new QSlider(Qt::Horizontal, this);
    SetHint(Strength, "How far each parameter may move", "Strength");
    Strength->setRange(0, 100);
    Strength->setPageStep(10);
    Strength->setGeometry(70, 8, 118, 20);
    StrengthValue = new QSpinBox(this);
    SetHint(StrengthValue, "How far each parameter may move", "StrengthValue");
    StrengthValue->setRange(0, 100);
    StrengthValue->setSuffix(" %");
    StrengthValue->setGeometry(194, 6, 58, 22);
    connect(Strength, &QSlider::valueChanged, StrengthValue, &QSpinBox::setValue);
    connect(StrengthValue, &QSpinBox::valueChanged, Strength, &QSlider::setValue);
    Strength->setValue(std::clamp(start.strength, 0, 100));
    StrengthValue->setValue(Strength->value());

    auto* box = new QGroupBox(" Groups ", this);
    StyleBoldNavy(box);
    box->setGeometry(8, 36, 244, 160);
    for (std::size_t k = 0; k < Groups.size(); ++k) {
        QCheckBox* c = new QCheckBox(kGroupTexts[k].caption, box);
        StylePlain(c);
        SetHint(c, kGroupTexts[k].hint, kGroupTexts[k].name);
        // The hint says what it holds; the accessible name is the caption.
        c->setAccessibleName(kGroupTexts[k].caption);
        c->setGeometry(12, 22 + 26 * static_cast<int>(k), 220, 20);
        c->setChecked(std::find(start.groups.begin(), start.groups.end(), kRandomGroups[k]) != start.groups.end());
        connect(c, &QCheckBox::toggled, this, [this] { updateOK(); });
        Groups[k] = c;
    }

    OKButton = new QPushButton("Randomize", this);
    SetAccessible(OKButton, "Randomize", "OKButton");
    OKButton->setGeometry(8, 205, 118, 23);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    SetAccessible(CancelButton, "Cancel", "CancelButton");
    CancelButton->setGeometry(134, 205, 118, 23);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        confirmed_ = true;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
    updateOK();
}

void TRandomizeWindow::updateOK() {
    // Nothing to move, nothing to confirm.
    OKButton->setEnabled(std::any_of(Groups.begin(), Groups.end(), [](QCheckBox* c) { return c->isChecked(); }));
}

RandomizeChoice TRandomizeWindow::choice() const {
    RandomizeChoice c;
    c.strength = Strength->value();
    for (std::size_t k = 0; k < Groups.size(); ++k)
        if (Groups[k]->isChecked()) c.groups.push_back(kRandomGroups[k]);
    return c;
}

std::optional<RandomizeChoice> ChooseRandomize(const RandomizeChoice& start, QWidget* parent) {
    TRandomizeWindow window(start, parent);
    RunModal(window);
    if (!window.confirmed()) return std::nullopt;
    return window.choice();
}

} // namespace patchsmith
