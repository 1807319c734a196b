#pragma once
// The few widgets of the editor window that Qt does not offer as they are:
// paint boxes, clickable pictures, a tab strip over one shared area (the
// assign-knob tabs) and the MIDI activity lamps.

#include <QColor>
#include <QFrame>
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

} // namespace patchsmith::editor
