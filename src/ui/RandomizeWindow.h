#pragma once
// Edit > Randomize...: how far the parameters may move (0..100 % of their
// ranges) and which groups of them move.

#include "model/Randomize.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QPushButton;
class QSlider;
class QSpinBox;

namespace patchsmith {

class TRandomizeWindow : public QDialog {
public:
    explicit TRandomizeWindow(const RandomizeChoice& start, QWidget* parent = nullptr);

    // The strength and the groups checked (the layers are the editor's).
    RandomizeChoice choice() const;
    bool confirmed() const { return confirmed_; }

    QSlider* strength = nullptr;
    QSpinBox* strengthValue = nullptr;
    // In the order of kRandomGroups.
    std::array<QCheckBox*, 5> groups{};
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    void updateOK();
    bool confirmed_ = false;
};

// Shows the dialog with `start`; the choice when it is confirmed.
std::optional<RandomizeChoice> chooseRandomize(const RandomizeChoice& start, QWidget* parent = nullptr);

} // namespace patchsmith
