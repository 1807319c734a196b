#pragma once
// The performance name box takes only what the synth can store: printable
// ASCII (20..7E hex), at most 8 characters. Accented letters typed or pasted
// become their base letter ("é" -> "e"); anything else is left out.

#include "model/Parameters.h"

#include <QValidator>

namespace patchsmith::editor {

inline constexpr int kPerformanceNameLength = kNameLength;

constexpr bool isStorableNameCharacter(char16_t c) { return isNameCharacter(c); }

// The text as the synth can store it, and the cursor moved along with it.
QString storableName(const QString& text, int& cursor);

class PerformanceNameValidator : public QValidator {
public:
    explicit PerformanceNameValidator(QObject* parent = nullptr) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

} // namespace patchsmith::editor
