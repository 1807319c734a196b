// Work that waits for the window's first frame: it starts after the window
// is exposed and painted, once, and not at all for a window that is gone.

#include "ui/TestApp.h"

#include "app/FirstFrame.h"

#include <QPaintEvent>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

using namespace patchsmith;

namespace {

class CountingWindow : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

struct Observed {
    int runs = 0;
    bool exposed = false;
    int paints = 0;
};

} // namespace

TEST(FirstFrame, StartsOnceAfterTheWindowIsExposedAndPainted) {
    test::testApp();
    CountingWindow window;
    window.resize(200, 100);
    window.show();
    Observed seen;
    app::runAfterFirstFrame(window, 60000, [&] {
        ++seen.runs;
        seen.exposed = window.windowHandle()->isExposed();
        seen.paints = window.paints;
    });
    // Never from within the call: the caller still finishes its start.
    EXPECT_EQ(seen.runs, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.runs > 0; }, 10000));
    EXPECT_TRUE(seen.exposed);
    EXPECT_GE(seen.paints, 1);
    // A later expose (the window shown again) does not start it again.
    window.hide();
    window.show();
    QTest::qWait(50);
    EXPECT_EQ(seen.runs, 1);
}

TEST(FirstFrame, AWindowNeverExposedStartsAfterTheFallback) {
    test::testApp();
    QWidget window; // never shown, as a window started minimised may stay
    int runs = 0;
    app::runAfterFirstFrame(window, 20, [&] { ++runs; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(runs, 1);
}

TEST(FirstFrame, NothingStartsForAWindowThatIsGone) {
    test::testApp();
    int runs = 0;
    {
        auto window = std::make_unique<QWidget>();
        window->show();
        app::runAfterFirstFrame(*window, 20, [&] { ++runs; });
    }
    QTest::qWait(100);
    EXPECT_EQ(runs, 0);
}
