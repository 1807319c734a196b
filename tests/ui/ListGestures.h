#pragma once
// Mouse gestures on a list as a user makes them, for the tests of lists
// that must act on every row the user picks.

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

namespace patchsmith::test {

// Presses on row `from`, drags over the rows between with the button held
// and releases on row `to`.
inline void dragRows(QListWidget* list, int from, int to) {
    QWidget* viewport = list->viewport();
    auto centre = [list](int row) { return list->visualItemRect(list->item(row)).center(); };
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre(from));
    for (int row = from; row != to;) {
        row += to > from ? 1 : -1;
        QMouseEvent move(QEvent::MouseMove, QPointF(centre(row)), viewport->mapToGlobal(QPointF(centre(row))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre(to));
}

} // namespace patchsmith::test
