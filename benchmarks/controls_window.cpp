// The second yardstick of the start-up benchmark: a main window with one
// control of each common kind the editor's first frame shows, in the
// editor's style and fonts. What it costs over the bare window is what Qt
// itself takes to start a window with such controls (loading the fonts,
// laying out text, the style, the first item view, the accessibility
// bridge); what the editor costs over it is the editor's own.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolButton>

#include <string_view>

namespace {

QFont font(int points, bool bold = false) {
    QFont f(QStringLiteral("Sans Serif"), points);
    f.setStyleHint(QFont::SansSerif);
    f.setBold(bold);
    return f;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(font(8));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Qt window with controls"));
    for (const char* title : {"File", "Edit", "Bulk-Dump"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        menu->addAction(QStringLiteral("Item"));
    }
    window.menuBar()->addAction(QStringLiteral("About"));

    auto* client = new QWidget(&window);
    client->setFixedSize(632, 411);
    window.setCentralWidget(client);

    auto* list = new QListWidget(client);
    list->setGeometry(2, 18, 150, 160);
    list->setFont(font(8, true));
    QStringList rows;
    for (int i = 1; i <= 128; ++i) rows << QStringLiteral("%1 Performance").arg(i, 3, 10, QLatin1Char('0'));
    list->addItems(rows);
    (new QPushButton(QStringLiteral("Save changes"), client))->setGeometry(2, 184, 150, 22);
    (new QRadioButton(QStringLiteral("Layer 1"), client))->setGeometry(10, 230, 92, 18);
    (new QToolButton(client))->setGeometry(108, 230, 30, 18);

    auto* tabs = new QTabWidget(client);
    tabs->setGeometry(156, 4, 472, 380);
    auto* page = new QWidget;
    for (const char* title : {"Common", "Knobs", "Effects", "Voice", "EG's / LFO"})
        tabs->addTab(title == std::string_view("Common") ? page : new QWidget, QString::fromLatin1(title));

    auto* group = new QGroupBox(QStringLiteral("Performance"), page);
    group->setGeometry(4, 4, 180, 168);
    group->setFont(font(8, true));
    auto* edit = new QLineEdit(QStringLiteral("InitPerf"), group);
    edit->setGeometry(8, 20, 100, 20);
    edit->setFont(font(8));
    auto* combo = new QComboBox(group);
    combo->setGeometry(8, 46, 164, 20);
    combo->setFont(font(8));
    combo->addItems({QStringLiteral("Piano"), QStringLiteral("Organ")});
    auto* caption = new QLabel(QStringLiteral("Volume"), group);
    caption->setGeometry(28, 76, 50, 12);
    caption->setFont(font(7));
    auto* bar = new QSlider(Qt::Vertical, group);
    bar->setGeometry(30, 90, 20, 60);
    auto* readout = new QLabel(QStringLiteral("100"), group);
    readout->setGeometry(28, 150, 30, 14);
    readout->setFont(font(8));
    (new QCheckBox(QStringLiteral("MIDI"), page))->setGeometry(200, 180, 60, 18);

    window.show();
    return QApplication::exec();
}
