#pragma once
// The few widgets of the editor window that Qt does not offer as they are:
// paint boxes, clickable pictures, a tab strip over one shared area (the
// assign-knob tabs), the MIDI activity lamps and lists that tell the rows
// the user chooses.

#include <QColor>
#include <QFrame>
#include <QListWidget>
#include <QWidget>

#include <functional>

class QTabBar;

namespace patchsmith::editor {

// A box whose content is painted by a routine the window supplies.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QSize&)>;
    explicit PaintBox(QWidget* parent = nullptr);
    void setPainter(Painter painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter painter_;
};

// A drawn picture that reports clicks.
class PictureBox : public PaintBox {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A strip of tabs above one area whose controls stay the same for every tab
// (only what they show changes with the tab).
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);
    QTabBar* tabBar() const { return tabs_; }
    int addTab(const QString& text);
    int currentIndex() const;
    void setCurrentIndex(int index);
    int count() const;
signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTabBar* tabs_;
};

// A list whose row is chosen by the user. `rowChosen` tells every row the
// user picks: by a click (also on the row already chosen), by a mouse drag or
// a click of another button that ends with another row selected, or by the
// keyboard. A row set by code, or picked by the view itself when it gets the
// focus, is never told. The user cannot take the selection away (Ctrl+click
// keeps the row), so the list always shows the row last chosen or set.
class ChoiceList : public QListWidget {
    Q_OBJECT
public:
    explicit ChoiceList(QWidget* parent = nullptr);
signals:
    void rowChosen(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    // The row shown selected, -1 for none.
    int chosenRow() const;
    void pressed(const QMouseEvent* event);

    bool pressing_ = false;
    bool doubleClick_ = false;
    int rowBeforePress_ = -1;
    int pressedRow_ = -1;
};

// A small filled rectangle.
class Lamp : public QFrame {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

// Assistive tools read a list box by its accessible name, but Qt names a
// combo box on Linux by its current entry. Once installed, a combo box with
// an accessible name is read by that name, its entry being its value; one
// without is named by its entry as before. Idempotent.
void installAccessibleComboNames();

} // namespace patchsmith::editor
