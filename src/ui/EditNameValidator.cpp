#include "ui/EditNameValidator.h"

#include <algorithm>

namespace patchsmith::editor {

namespace {

// A character the synth can store standing in for `c`, or 0 for none.
char16_t storableFor(QChar c) {
    if (isStorableNameCharacter(c.unicode())) return c.unicode();
    if (c == u'\t') return u' ';
    // Accented Latin letters decompose into their base letter and marks.
    const QString parts = c.decomposition();
    if (!parts.isEmpty() && isStorableNameCharacter(parts.at(0).unicode())) return parts.at(0).unicode();
    return 0;
}

} // namespace

QString storableName(const QString& text, int& cursor) {
    QString out;
    int newCursor = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (out.size() >= kPerformanceNameLength) break;
        const char16_t c = storableFor(text.at(i));
        if (c == 0) continue;
        out.append(QChar(c));
        if (i < cursor) newCursor = static_cast<int>(out.size());
    }
    cursor = std::min(newCursor, static_cast<int>(out.size()));
    return out;
}

QValidator::State PerformanceNameValidator::validate(QString& input, int& pos) const {
    input = storableName(input, pos);
    return Acceptable;
}

void PerformanceNameValidator::fixup(QString& input) const {
    int cursor = 0;
    input = storableName(input, cursor);
}

} // namespace patchsmith::editor
