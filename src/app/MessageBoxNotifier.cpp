#include "app/MessageBoxNotifier.h"

#include "app/Settings.h"

#include <QApplication>
#include <QMessageBox>

namespace patchsmith::app {

void MessageBoxNotifier::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace patchsmith::app
