#include "ui/DialogKit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

namespace patchsmith::dialogs {

namespace {

ModalRunner& runner() {
    static ModalRunner instance;
    return instance;
}

// Swallows every tool-tip request while hints are off.
class HintBlocker : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) return true;
        return QObject::eventFilter(watched, event);
    }
};

HintBlocker* hintBlocker = nullptr;

} // namespace

int runModal(QDialog& dialog) {
    if (runner()) return runner()(dialog);
    return dialog.exec();
}

void setModalRunner(ModalRunner r) { runner() = std::move(r); }

void setHint(QWidget* widget, const QString& hint, const QString& specName) {
    widget->setToolTip(hint);
    setAccessible(widget, hint, specName);
}

void setAccessible(QWidget* widget, const QString& name, const QString& specName) {
    widget->setObjectName(specName);
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(specName);
}

void setReadout(QWidget* widget, const QString& specName) {
    widget->setObjectName(specName);
    widget->setAccessibleName(QString());
    widget->setAccessibleDescription(specName);
}

void styleLimeOnBlack(QWidget* widget) {
    QPalette p = widget->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) p.setColor(role, Qt::black);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) p.setColor(role, kLime);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
    QFont f = widget->font();
    f.setBold(true);
    widget->setFont(f);
}

void styleBoldNavy(QWidget* widget) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, kNavy);
    widget->setPalette(p);
    QFont f = widget->font();
    f.setBold(true);
    widget->setFont(f);
}

void stylePlain(QWidget* widget) {
    // Every attribute is set explicitly, so none is inherited from a bold
    // navy group box around the control.
    QFont f = widget->font();
    f.setPointSize(8);
    f.setBold(false);
    widget->setFont(f);
    QPalette p = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) p.setColor(role, Qt::black);
    widget->setPalette(p);
}

void styleNavyText(QWidget* widget) {
    QPalette p = widget->palette();
    p.setColor(QPalette::ButtonText, kNavy);
    p.setColor(QPalette::WindowText, kNavy);
    widget->setPalette(p);
}

void prepareDialog(QDialog* dialog, const QString& caption, int w, int h, bool sizable) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    QFont f = dialog->font();
    f.setPointSize(8);
    dialog->setFont(f);
    if (sizable) {
        dialog->resize(w, h);
    } else {
        dialog->setFixedSize(w, h);
    }
    centreOnScreen(dialog);
}

void centreOnScreen(QWidget* widget) {
    QScreen* screen = widget->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = widget->frameGeometry().size();
    widget->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QString qtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(';', ' ');
        filters << (text.contains('(') ? text : text + " (" + patterns + ")");
    }
    return filters.join(";;");
}

void showApplicationHints(bool on) {
    if (!qApp) return;
    if (on && hintBlocker) {
        qApp->removeEventFilter(hintBlocker);
        delete hintBlocker;
        hintBlocker = nullptr;
    } else if (!on && !hintBlocker) {
        hintBlocker = new HintBlocker;
        qApp->installEventFilter(hintBlocker);
        QToolTip::hideText();
    }
}

bool applicationHintsShown() { return hintBlocker == nullptr; }

} // namespace patchsmith::dialogs
