// The yardstick of the start-up benchmark: a Qt Widgets program that does
// nothing but show an empty main window, so that what Qt itself costs to
// start can be told from what Patchsmith adds.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(640, 430);
    window.show();
    return QApplication::exec();
}
