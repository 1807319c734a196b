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
    prepareDialog(this, " Randomize", 260, 236);

    auto* strengthLabel = new QLabel("Strength", this);
    strengthLabel->setGeometry(8, 10, 60, 16);
    strength = new QSlider(Qt::Horizontal, this);
    setHint(strength, "How far each parameter may move", "Strength");
    strength->setRange(0, 100);
    strength->setPageStep(10);
    strength->setGeometry(70, 8, 118, 20);
    strengthValue = new QSpinBox(this);
    setHint(strengthValue, "How far each parameter may move", "StrengthValue");
    strengthValue->setRange(0, 100);
    strengthValue->setSuffix(" %");
    strengthValue->setGeometry(194, 6, 58, 22);
    connect(strength, &QSlider::valueChanged, strengthValue, &QSpinBox::setValue);
    connect(strengthValue, &QSpinBox::valueChanged, strength, &QSlider::setValue);
    strength->setValue(std::clamp(start.strength, 0, 100));
    strengthValue->setValue(strength->value());

    auto* box = new QGroupBox(" Groups ", this);
    styleBoldNavy(box);
    box->setGeometry(8, 36, 244, 160);
    for (std::size_t k = 0; k < groups.size(); ++k) {
        QCheckBox* c = new QCheckBox(kGroupTexts[k].caption, box);
        stylePlain(c);
        setHint(c, kGroupTexts[k].hint, kGroupTexts[k].name);
        // The hint says what it holds; the accessible name is the caption.
        c->setAccessibleName(kGroupTexts[k].caption);
        c->setGeometry(12, 22 + 26 * static_cast<int>(k), 220, 20);
        c->setChecked(std::find(start.groups.begin(), start.groups.end(), kRandomGroups[k]) != start.groups.end());
        connect(c, &QCheckBox::toggled, this, [this] { updateOK(); });
        groups[k] = c;
    }

    OKButton = new QPushButton("Randomize", this);
    setAccessible(OKButton, "Randomize", "OKButton");
    OKButton->setGeometry(8, 205, 118, 23);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    setAccessible(CancelButton, "Cancel", "CancelButton");
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
    OKButton->setEnabled(std::any_of(groups.begin(), groups.end(), [](QCheckBox* c) { return c->isChecked(); }));
}

RandomizeChoice TRandomizeWindow::choice() const {
    RandomizeChoice c;
    c.strength = strength->value();
    for (std::size_t k = 0; k < groups.size(); ++k)
        if (groups[k]->isChecked()) c.groups.push_back(kRandomGroups[k]);
    return c;
}

std::optional<RandomizeChoice> chooseRandomize(const RandomizeChoice& start, QWidget* parent) {
    TRandomizeWindow window(start, parent);
    runModal(window);
    if (!window.confirmed()) return std::nullopt;
    return window.choice();
}

} // namespace patchsmith
