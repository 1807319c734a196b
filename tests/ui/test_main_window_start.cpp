// The window built in two steps at start-up: its first frame, before the
// hidden pages exist, shows what the complete window shows; once complete it
// is the window built in one go, control for control and in its tab order;
// and no input reaches it before it is complete.

#include "TestApp.h"

#include "model/Parameters.h"
#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/ControlTable.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace patchsmith;
using editor::TMainWindow;

namespace {

class SilentNotifier : public Notifier {
public:
    void showMessage(const std::string&) override {}
};

struct Editor {
    midi::ScriptedMidiPlatform platform;
    SilentNotifier notifier;
    AppContext context{platform, notifier};
    std::unique_ptr<TMainWindow> window;
};

// What a control shows and how it is read, in one line.
std::string describe(QWidget* w) {
    if (!w) return "<not built>";
    QString d = QString::fromLatin1(w->metaObject()->className());
    auto add = [&d](const QString& part) { d += QStringLiteral(" | ") + part; };
    const QRect g = w->geometry();
    add(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    add(w->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    add(w->toolTip());
    add(w->accessibleName());
    add(w->accessibleDescription());
    add(w->font().toString());
    add(w->palette().color(QPalette::WindowText).name() + w->palette().color(QPalette::Base).name() +
        w->palette().color(QPalette::Text).name());
    if (auto* l = qobject_cast<QLabel*>(w)) add(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add(g->title());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add(b->text() + (b->isChecked() ? " on" : " off"));
    if (auto* e = qobject_cast<QLineEdit*>(w)) add(e->text());
    if (auto* s = qobject_cast<QSlider*>(w))
        add(QStringLiteral("%1..%2 at %3").arg(s->minimum()).arg(s->maximum()).arg(s->value()));
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        QStringList rows;
        for (int i = 0; i < l->count(); ++i) rows << l->item(i)->text();
        add(rows.join(QLatin1Char('/')) + QStringLiteral(" row %1").arg(l->currentRow()));
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStringList rows;
        for (int i = 0; i < c->count(); ++i) rows << c->itemText(i);
        add(rows.join(QLatin1Char('/')) + QStringLiteral(" index %1").arg(c->currentIndex()));
    }
    return d.toStdString();
}

// The controls of the table in the order Tab visits them across all pages.
std::vector<std::string> tabOrder(TMainWindow& w) {
    std::vector<std::string> order;
    QWidget* start = w.PageControl1;
    for (QWidget* next = start->nextInFocusChain(); next != start; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && editor::findControl(next->objectName().toStdString()))
            order.push_back(next->objectName().toStdString());
    return order;
}

// The first `pages` pages of a window, drawn while it is the one window on
// the screen and active (as at start-up).
std::vector<QImage> pictures(TMainWindow& w, int pages) {
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    std::vector<QImage> shots;
    for (int page = 0; page < pages; ++page) {
        w.PageControl1->setCurrentIndex(page);
        shots.push_back(w.grab().toImage());
    }
    w.PageControl1->setCurrentIndex(0);
    w.hide();
    return shots;
}

struct TwoStepFixture : ::testing::Test {
    Editor later;
    Editor whole;

    void SetUp() override {
        test::testApp();
        later.window = std::make_unique<TMainWindow>(later.context, TMainWindow::HiddenPagesLater{});
        whole.window = std::make_unique<TMainWindow>(whole.context);
    }
};

std::string diffBox(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    return QStringLiteral("%1,%2 %3x%4").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height()).toStdString();
}

} // namespace

TEST_F(TwoStepFixture, FirstFrameShowsThePerformanceAsTheCompleteWindowDoes) {
    TMainWindow& w = *later.window;
    ASSERT_FALSE(w.complete());
    // The controls around the pages, the first page and the page tabs are
    // there; the other pages are empty.
    ASSERT_NE(w.PerformanceName, nullptr);
    ASSERT_NE(w.UserPerf, nullptr);
    EXPECT_EQ(w.PageControl1->count(), 5);
    EXPECT_EQ(w.AEGAtkTime, nullptr);
    EXPECT_EQ(w.VariType, nullptr);
    EXPECT_TRUE(w.pages[4]->children().isEmpty());

    // The default performance is not what the controls start with: the name
    // box and the volume bar show it.
    EXPECT_EQ(w.PerformanceName->text(), whole.window->PerformanceName->text());
    EXPECT_FALSE(w.PerformanceName->text().isEmpty());
    EXPECT_EQ(w.CommonVolume->value(), whole.window->CommonVolume->value());

    // As the program shows it: on the screen and active.
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const QImage first = w.grab().toImage();
    ASSERT_FALSE(w.complete());
    w.completeWindow();
    EXPECT_TRUE(w.complete());
    const QImage completed = w.grab().toImage();
    EXPECT_TRUE(first == completed) << diffBox(first, completed);
    w.hide();
    const QImage built = pictures(*whole.window, 1)[0];
    EXPECT_TRUE(first == built) << diffBox(first, built);
}

TEST_F(TwoStepFixture, CompletedWindowIsTheWindowBuiltInOneGo) {
    later.window->completeWindow();

    for (const editor::ControlSpec& s : editor::controlTable()) {
        SCOPED_TRACE(std::string(s.name));
        EXPECT_EQ(describe(later.window->control(s.name)), describe(whole.window->control(s.name)));
    }
    // Tab visits the controls in the same order, whatever page is shown.
    const std::vector<std::string> order = tabOrder(*whole.window);
    EXPECT_GT(order.size(), 100u);
    EXPECT_EQ(tabOrder(*later.window), order);

    // Every page looks the same, graphs and pictures included.
    const std::vector<QImage> completed = pictures(*later.window, 5);
    const std::vector<QImage> built = pictures(*whole.window, 5);
    for (int page = 0; page < 5; ++page)
        EXPECT_TRUE(completed[page] == built[page]) << "page " << page << ": " << diffBox(completed[page], built[page]);
}

TEST_F(TwoStepFixture, InputBeforeCompletionCompletesTheWindowFirst) {
    TMainWindow& w = *later.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_FALSE(w.complete());
    const int before = later.context.edits.value(params::ArpMode);
    ASSERT_FALSE(w.ArpModeHold->isChecked());

    // The click is taken as the complete window takes it: the box's handler
    // writes the image.
    QTest::mouseClick(w.ArpModeHold, Qt::LeftButton);
    EXPECT_TRUE(w.complete());
    EXPECT_TRUE(w.ArpModeHold->isChecked());
    EXPECT_NE(later.context.edits.value(params::ArpMode), before);
    EXPECT_TRUE(later.context.edits.canUndo());
}
