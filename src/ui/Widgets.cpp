#include "ui/Widgets.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace patchsmith::editor {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

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

void TabControl::resizeEvent(QResizeEvent*) { tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height()); }

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

ChoiceList::ChoiceList(QWidget* parent) : QListWidget(parent) { setSelectionMode(QAbstractItemView::SingleSelection); }

int ChoiceList::chosenRow() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? currentRow() : -1;
}

void ChoiceList::keyPressEvent(QKeyEvent* event) {
    const int before = chosenRow();
    QListWidget::keyPressEvent(event);
    // A move, or Space selecting the row the view had only marked.
    const int row = chosenRow();
    if (row >= 0 && row != before) emit rowChosen(row);
}

void ChoiceList::pressed(const QMouseEvent* event) {
    pressing_ = true;
    rowBeforePress_ = chosenRow();
    const QListWidgetItem* item = itemAt(event->position().toPoint());
    pressedRow_ = item ? row(item) : -1;
}

void ChoiceList::mousePressEvent(QMouseEvent* event) {
    pressed(event);
    QListWidget::mousePressEvent(event);
}

void ChoiceList::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the pair was told already.
    pressed(event);
    doubleClick_ = true;
    QListWidget::mouseDoubleClickEvent(event);
}

// Whatever the buttons did between press and release (a drag across rows,
// the right button), the row selected when the last button comes up is the
// user's choice; a click on the chosen row chooses it again.
void ChoiceList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (!pressing_ || event->buttons() != Qt::NoButton) return;
    pressing_ = false;
    const bool secondOfDouble = doubleClick_;
    doubleClick_ = false;
    const int row = chosenRow();
    if (row < 0) return;
    const QListWidgetItem* under = itemAt(event->position().toPoint());
    const bool clickedOnRow = pressedRow_ == row && under && this->row(under) == row;
    if (row != rowBeforePress_ || (clickedOnRow && !secondOfDouble)) emit rowChosen(row);
}

QItemSelectionModel::SelectionFlags ChoiceList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect) || command.testFlag(QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

Lamp::Lamp(QWidget* parent) : QFrame(parent), color_(0, 128, 0) { setFrameStyle(QFrame::Box | QFrame::Plain); }

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

namespace {

class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            const QString name = box()->accessibleName();
            return name.isEmpty() ? entry() : name;
        }
        case QAccessible::Value: return entry();
        default: return QAccessibleWidget::text(t);
        }
    }
    // The entries are read from the list of the popup, as Qt's own reading does.
    int childCount() const override { return box()->view() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && box()->view() ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && box()->view() && child->object() == box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            if (box()->view() && box()->view()->isVisible())
                box()->hidePopup();
            else
                box()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(object()); }
    QString entry() const {
        return box()->isEditable() && box()->lineEdit() ? box()->lineEdit()->text() : box()->currentText();
    }
};

QAccessibleInterface* comboNameFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QComboBox") || !object || !object->isWidgetType()) return nullptr;
    return new AccessibleComboBox(static_cast<QComboBox*>(object));
}

} // namespace

void installAccessibleComboNames() {
    // The factories installed last are asked first.
    static const bool kInstalled = [] {
        QAccessible::installFactory(&comboNameFactory);
        return true;
    }();
    (void)kInstalled;
}

} // namespace patchsmith::editor
