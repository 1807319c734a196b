// The window at its fixed size: on every page, every control is shown whole
// inside the client area and inside the visible part of its parent, its text
// fits, and no two neighbours overlap.

#include "TestApp.h"

#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/ControlTable.h"
#include "ui/EditHandlers.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace patchsmith;
using namespace patchsmith::editor;

namespace {

class SilentNotifier : public Notifier {
public:
    void showMessage(const std::string&) override {}
};

// The part of a parent in which children are seen whole: below a group's
// caption and inside its frame.
QRect visibleArea(QWidget* parent) {
    if (auto* g = qobject_cast<QGroupBox*>(parent)) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.subControls =
            QStyle::SC_GroupBoxFrame | (g->title().isEmpty() ? QStyle::SC_None : QStyle::SC_GroupBoxLabel);
        opt.lineWidth = 1;
        opt.features = QStyleOptionFrame::None;
        const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        QRect area = g->rect().adjusted(1, 1, -1, -1);
        if (!g->title().isEmpty()) area.setTop(label.bottom() + 1);
        return area;
    }
    if (auto* f = qobject_cast<QFrame*>(parent)) return f->contentsRect();
    return parent->rect();
}

struct LayoutFixture : ::testing::Test {
    midi::ScriptedMidiPlatform platform;
    SilentNotifier notifier;
    AppContext context{platform, notifier};
    std::unique_ptr<TMainWindow> window;

    void SetUp() override {
        test::testApp();
        window = std::make_unique<TMainWindow>(context);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    int pageOf(QWidget* w) {
        for (int i = 0; i < 5; ++i)
            if (window->PageControl1->widget(i)->isAncestorOf(w)) return i;
        return -1;
    }
};

} // namespace

TEST_F(LayoutFixture, EveryTableEntryIsAWidgetOfTheWindow) {
    for (const ControlSpec& s : controlTable()) {
        QWidget* w = window->control(s.name);
        ASSERT_NE(w, nullptr) << s.name;
        EXPECT_EQ(w->objectName().toStdString(), std::string(s.name));
        EXPECT_TRUE(window->isAncestorOf(w));
        // Accessible texts of every widget the table builds.
        EXPECT_EQ(w->accessibleDescription().toStdString(), std::string(s.name));
        const bool liveText = s.kind == ControlKind::ReadoutLabel || s.kind == ControlKind::StatusLabel;
        EXPECT_EQ(w->accessibleName().isEmpty(), liveText) << s.name;
    }
}

TEST_F(LayoutFixture, EveryControlIsWholeAndVisibleOnItsPage) {
    QWidget* client = window->centralWidget();
    for (int page = 0; page < 5; ++page) {
        window->PageControl1->setCurrentIndex(page);
        QCoreApplication::processEvents();
        for (const ControlSpec& s : controlTable()) {
            if (s.kind == ControlKind::Page) continue;
            QWidget* w = window->control(s.name);
            const int onPage = pageOf(w);
            if (onPage >= 0 && onPage != page) continue;
            SCOPED_TRACE(std::string(s.name) + " on page " + std::to_string(page));
            EXPECT_TRUE(w->isVisible());
            EXPECT_GT(w->width(), 0);
            EXPECT_GT(w->height(), 0);
            const QRect inClient(w->mapTo(client, QPoint(0, 0)), w->size());
            EXPECT_TRUE(client->rect().contains(inClient)) << "at " << inClient.x() << "," << inClient.y() << " size "
                                                           << inClient.width() << "x" << inClient.height();
            QWidget* parent = w->parentWidget();
            if (parent != client && s.kind != ControlKind::Bevel) {
                const QRect area = visibleArea(parent);
                EXPECT_TRUE(area.contains(w->geometry()))
                    << "geometry " << w->x() << "," << w->y() << " " << w->width() << "x" << w->height() << " outside "
                    << area.x() << "," << area.y() << " " << area.width() << "x" << area.height();
            }
        }
    }
}

TEST_F(LayoutFixture, TextsFitTheirControls) {
    for (const ControlSpec& s : controlTable()) {
        QWidget* w = window->control(s.name);
        SCOPED_TRACE(std::string(s.name));
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap()) {
                EXPECT_LE(l->heightForWidth(l->width()), l->height());
            } else {
                EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width());
                EXPECT_LE(l->fontMetrics().height(), l->height() + 2);
            }
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 12, g->width());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            // The style's own measure: the caption with the margins it needs
            // clear of the frame.
            EXPECT_LE(b->sizeHint().width(), b->width());
        }
    }
    // All page tabs in one row, none cut.
    QTabBar* tabs = window->PageControl1->tabBar();
    EXPECT_LE(tabs->tabRect(4).right(), window->PageControl1->width());
    for (int i = 0; i < 5; ++i)
        EXPECT_GE(tabs->tabRect(i).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
    QTabBar* knobTabs = window->Assign2Tab->tabBar();
    EXPECT_LE(knobTabs->tabRect(3).right(), window->Assign2Tab->width());
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(knobTabs->tabRect(i).width(), knobTabs->fontMetrics().horizontalAdvance(knobTabs->tabText(i)));
}

TEST_F(LayoutFixture, VariationCaptionsOfEveryTypeFitTheirLabels) {
    for (int row = 0; row < window->VariType->count(); ++row) {
        window->VariType->setCurrentRow(row);
        window->edit->SetupVariationControls();
        for (QLabel* l : {window->Text_VPara1, window->Text_VPara2, window->Text_VPara3, window->Text_VPara4,
                          window->Text_VPara5, window->Text_VPara10}) {
            SCOPED_TRACE(window->VariType->item(row)->text().toStdString() + " / " + l->objectName().toStdString());
            if (l->wordWrap())
                EXPECT_LE(l->heightForWidth(l->width()), l->height());
            else
                EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width());
        }
    }
}

TEST_F(LayoutFixture, NeighboursDoNotOverlap) {
    const auto& table = controlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].kind == ControlKind::Page) continue;
        QWidget* a = window->control(table[i].name);
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            if (table[j].kind == ControlKind::Page) continue;
            QWidget* b = window->control(table[j].name);
            if (a->parentWidget() != b->parentWidget()) continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry())) << table[i].name << " and " << table[j].name;
        }
    }
}

TEST_F(LayoutFixture, ReadoutsHoldTheirWidestTexts) {
    struct Case {
        QLabel* label;
        const char* text;
    };
    const Case cases[] = {
        {window->Label_NoteDetune, "+12.7 Hz"}, {window->Label_NoteDetune, "-12.8 Hz"},
        {window->Label_NoteShift, "+24"},       {window->Label_ArpTempo, "240"},
        {window->Label_AEGAtkTime, "-63"},      {window->Label_PEGRelLevel, "-63"},
        {window->Label_LFOFMod, "-15"},         {window->Label_PanPot, "R-63"},
        {window->Label_NoteLimitHigh, "G#-2"},  {window->Label_VPara1, "D63>W"},
        {window->Label_VPara2, "11,0kHz"},      {window->Label_PitchBend, "-24"},
        {window->Label_CommonVolume, "127"},    {window->Label_Assign2Level, "-32"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label->objectName().toStdString() + " " + c.text);
        EXPECT_LE(c.label->fontMetrics().horizontalAdvance(QString::fromUtf8(c.text)), c.label->width());
    }
    // The performance line of Patch Select stays on one line, whatever row.
    QLabel* perf = window->Label_PerfName;
    EXPECT_FALSE(perf->wordWrap());
    EXPECT_LE(perf->fontMetrics().height(), perf->height());
    for (const char* text :
         {"Program 6, Bank MSB 63, LSB 65", "Program 127, Bank MSB 63, LSB 65", "Program ---, Bank MSB 63, LSB 65"}) {
        SCOPED_TRACE(text);
        perf->setText(QString::fromLatin1(text));
        EXPECT_LE(perf->fontMetrics().horizontalAdvance(perf->text()), perf->contentsRect().width());
    }
    // A names-request row (16 characters) fits the list beside its scroll bar.
    QListWidget* list = window->UserPerf;
    EXPECT_LE(list->fontMetrics().horizontalAdvance(QStringLiteral("128  SC Sequence")), list->viewport()->width() - 4);
}
