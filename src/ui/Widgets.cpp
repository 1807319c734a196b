#include "ui/Widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace patchsmith::editor {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void PaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (painter_)
        painter_(p, size());
    else
        p.fillRect(rect(), palette().window());
}

PictureBox::PictureBox(QWidget* parent) : PaintBox(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCursor(Qt::PointingHandCursor);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    PaintBox::mouseReleaseEvent(event);
}

TabControl::TabControl(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
    tabs_->setObjectName(QStringLiteral("Assign2TabBar"));
    tabs_->setExpanding(true);
    tabs_->setDrawBase(false);
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    connect(tabs_, &QTabBar::currentChanged, this, &TabControl::currentChanged);
}

int TabControl::addTab(const QString& text) {
    const int i = tabs_->addTab(text);
    tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height());
    return i;
}
int TabControl::currentIndex() const { return tabs_->currentIndex(); }
void TabControl::setCurrentIndex(int index) { tabs_->setCurrentIndex(index); }
int TabControl::count() const { return tabs_->count(); }

void TabControl::resizeEvent(QResizeEvent*) {
    tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height());
}

void TabControl::paintEvent(QPaintEvent*) {
    // The frame of the shared area below the tabs.
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const int top = tabs_->sizeHint().height() - 1;
    opt.rect = QRect(0, top, width(), height() - top);
    opt.tabBarSize = tabs_->sizeHint();
    opt.shape = QTabBar::RoundedNorth;
    p.drawPrimitive(QStyle::PE_FrameTabWidget, opt);
}

Lamp::Lamp(QWidget* parent) : QFrame(parent), color_(0, 128, 0) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void Lamp::setColor(const QColor& color) {
    if (color_ == color) return;
    color_ = color;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace patchsmith::editor
