// Builds the editor window from the control table: every widget at its
// place, with its objectName, hint and accessible texts, and the range and
// start state of the parameter it shows; then binds the named members and
// the parameters' controls, and builds the menu.

#include "ui/ControlTable.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <map>

namespace patchsmith::editor {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Fonts: 8 point sans serif throughout, 7 point for the small captions
// above the track bars.
QFont windowFont(int points = 8, bool bold = false) {
    QFont f(QStringLiteral("Sans Serif"), points);
    f.setStyleHint(QFont::SansSerif);
    f.setBold(bold);
    return f;
}

// Sets a font that differs from the one the widget has (mostly inherited
// from the window already): each change is sent to the widget and all of
// its children.
void setFontOf(QWidget* w, const QFont& font) {
    if (w->font() != font) w->setFont(font);
}

// Compact tabs, so that all five page tabs fit in one row. Set on the two
// tab bars alone: a style sheet on the window would run every one of its
// widgets through the style-sheet machinery, at start and at every polish.
const char* kPageTabsStyle = "QTabBar::tab { padding: 3px 6px; }";
const char* kAssign2TabsStyle = "QTabBar::tab { padding: 2px 1px; }";
// The two buttons whose captions nearly fill them (the left column's save
// button, the test note beside the status line) keep the button's look but
// not its wide margins.
const char* kNarrowButtonStyle = "QPushButton { padding-left: 1px; padding-right: 1px; }";

// A hint shared by captioned neighbours (the four assign-knob-2 layer
// buttons) does not tell them apart; their captions do.
bool hintIsShared(const ControlSpec& s) {
    if (s.hint.empty() || s.caption.empty()) return false;
    for (const ControlSpec& other : controlTable())
        if (&other != &s && other.parent == s.parent && other.hint == s.hint && !other.caption.empty() &&
            other.caption != s.caption)
            return true;
    return false;
}

// For each entry of the table, whether it lies on a page other than the one
// shown first (parents come before their children).
std::vector<bool> onLaterPages(const std::vector<ControlSpec>& table) {
    std::vector<bool> later(table.size(), false);
    std::map<std::string_view, std::size_t> position;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& s = table[i];
        position.emplace(s.name, i);
        const auto parent = position.find(s.parent);
        if (parent == position.end()) continue;
        const ControlSpec& p = table[parent->second];
        later[i] = p.kind == ControlKind::Page ? p.name != kPageNames[0] : later[parent->second];
    }
    return later;
}

void addStartItems(QWidget* w, std::string_view name) {
    QStringList rows;
    for (const std::string& t : startItems(name)) rows << QString::fromStdString(t);
    if (rows.isEmpty()) return;
    if (auto* l = qobject_cast<QListWidget*>(w)) l->addItems(rows);
    if (auto* c = qobject_cast<QComboBox*>(w)) c->addItems(rows);
}

} // namespace

void TMainWindow::buildLayout(bool hiddenPages) {
    const std::vector<ControlSpec>& table = controlTable();
    QWidget* central = centralWidget();
    const bool first = built_.empty();
    if (first) {
        built_.assign(table.size(), false);
        // Before any control exists, so that every combo box is read by its hint.
        installAccessibleComboNames();
        central = new QWidget(this);
        central->setObjectName(QStringLiteral("ClientArea"));
        central->setFixedSize(kClientWidth, kClientHeight);
        setCentralWidget(central);
        setFont(windowFont());
    }

    const QFont normal = windowFont();
    const QFont bold = windowFont(8, true);
    const QFont small = windowFont(7);
    int pageIndex = 0;
    const std::vector<bool> later = hiddenPages ? std::vector<bool>() : onLaterPages(table);

    for (std::size_t index = 0; index < table.size(); ++index) {
        const ControlSpec& s = table[index];
        if (s.kind == ControlKind::Page) ++pageIndex;
        if (built_[index] || (!hiddenPages && later[index])) continue;
        built_[index] = true;
        QWidget* parent = central;
        if (!s.parent.empty()) {
            const auto it = widgets_.find(s.parent);
            Q_ASSERT(it != widgets_.end());
            parent = it->second;
        }
        const Parameter* param = parameterOf(s);
        QWidget* w = nullptr;
        switch (s.kind) {
        case ControlKind::PageControl: {
            auto* tabs = new QTabWidget(parent);
            tabs->setUsesScrollButtons(false);
            tabs->tabBar()->setExpanding(false);
            tabs->tabBar()->setAttribute(Qt::WA_Hover); // hot-tracked tabs
            w = tabs;
            break;
        }
        case ControlKind::Page: {
            auto* tabs = qobject_cast<QTabWidget*>(parent);
            w = new QWidget(tabs);
            tabs->addTab(w, qs(s.caption));
            pages[pageIndex - 1] = w;
            break;
        }
        case ControlKind::GroupBox: {
            auto* g = new QGroupBox(qs(s.caption), parent);
            g->setFont(bold);
            QPalette p = g->palette();
            p.setColor(QPalette::WindowText, QColor(0, 0, 128));
            g->setPalette(p);
            w = g;
            break;
        }
        case ControlKind::Panel: {
            auto* f = new QFrame(parent);
            f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            f->setAutoFillBackground(true);
            QPalette p = f->palette();
            p.setColor(QPalette::Window, Qt::black);
            f->setPalette(p);
            w = f;
            break;
        }
        case ControlKind::Bevel: {
            auto* f = new QFrame(parent);
            f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            w = f;
            break;
        }
        case ControlKind::Label:
        case ControlKind::ReadoutLabel: {
            auto* l = new QLabel(qs(s.caption), parent);
            QFont font = s.bold ? bold : (s.small ? small : normal);
            if (s.condensed) font.setStretch(80);
            setFontOf(l, font);
            if (s.bold) {
                QPalette p = l->palette();
                p.setColor(QPalette::WindowText, QColor(0, 0, 128));
                l->setPalette(p);
            }
            l->setWordWrap(s.h > 14);
            if (s.kind == ControlKind::ReadoutLabel) {
                // Read-outs of vertical bars sit centred below them; those of
                // horizontal bars right-aligned above them.
                const ControlSpec* bar = nullptr;
                for (const ControlSpec& c : controlTable())
                    if (c.readout == s.name) bar = &c;
                l->setAlignment(bar && bar->kind == ControlKind::HTrackBar ? Qt::AlignRight | Qt::AlignVCenter
                                : bar                                      ? Qt::AlignHCenter | Qt::AlignTop
                                                                           : Qt::AlignLeft | Qt::AlignTop);
            } else if (s.small && s.w <= 60) {
                l->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            }
            w = l;
            break;
        }
        case ControlKind::StatusLabel: {
            auto* l = new QLabel(qs(s.caption), parent);
            l->setFont(bold);
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, Qt::yellow);
            l->setPalette(p);
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            w = l;
            break;
        }
        case ControlKind::VTrackBar:
        case ControlKind::HTrackBar: {
            const bool vertical = s.kind == ControlKind::VTrackBar;
            auto* b = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent);
            Q_ASSERT(param);
            b->setRange(param->min, param->max);
            b->setValue(param->start);
            b->setSingleStep(1);
            b->setPageStep(s.pageStep);
            b->setTickPosition(QSlider::NoTicks);
            if (vertical) {
                // Minimum at the top; keys and wheel follow the picture.
                b->setInvertedAppearance(true);
                b->setInvertedControls(true);
            }
            w = b;
            break;
        }
        case ControlKind::CheckBox: {
            auto* c = new QCheckBox(qs(s.caption), parent);
            // Parameter boxes start unchecked, as before any performance is shown.
            c->setChecked(s.checked);
            w = c;
            break;
        }
        case ControlKind::RadioButton: {
            auto* r = new QRadioButton(qs(s.caption), parent);
            r->setChecked(param ? param->start == s.choice : s.checked);
            w = r;
            break;
        }
        case ControlKind::ListBox: {
            // Lists act on the rows the user chooses, never on rows set by code.
            auto* l = new ChoiceList(parent);
            l->setUniformItemSizes(true);
            // Value lists are black; the user-performance list draws lime bold text.
            const bool userPerf = s.name == "UserPerf";
            QPalette p = l->palette();
            p.setColor(QPalette::Base, Qt::black);
            p.setColor(QPalette::Text, userPerf ? QColor(0, 255, 0) : QColor(0xE8, 0xE8, 0xE8));
            p.setColor(QPalette::Highlight, userPerf ? QColor(0, 128, 0) : QColor(0x1E, 0x5A, 0xC8));
            p.setColor(QPalette::HighlightedText, Qt::white);
            l->setPalette(p);
            l->setSelectionMode(QAbstractItemView::SingleSelection);
            l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            w = l;
            break;
        }
        case ControlKind::ComboBox: {
            auto* c = new QComboBox(parent);
            c->setEditable(false);
            QPalette p = c->palette();
            for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) p.setColor(role, Qt::black);
            for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText})
                p.setColor(role, QColor(0xE8, 0xE8, 0xE8));
            p.setColor(QPalette::Highlight, QColor(0x1E, 0x5A, 0xC8));
            c->setPalette(p);
            c->setMaxVisibleItems(20);
            w = c;
            break;
        }
        case ControlKind::EditBox: {
            auto* e = new QLineEdit(parent);
            if (param) e->setMaxLength(param->max);
            w = e;
            break;
        }
        case ControlKind::PushButton:
            w = new QPushButton(qs(s.caption), parent);
            if (s.name == "SaveToSynth" || s.name == "TestNote")
                w->setStyleSheet(QString::fromLatin1(kNarrowButtonStyle));
            break;
        case ControlKind::SpeedButton: {
            auto* b = new QToolButton(parent);
            b->setText(qs(s.caption));
            b->setCheckable(true);
            b->setChecked(s.checked);
            b->setAutoRaise(false);
            w = b;
            break;
        }
        case ControlKind::PaintBox: w = new PaintBox(parent); break;
        case ControlKind::Picture: w = new PictureBox(parent); break;
        case ControlKind::TabControl: {
            auto* t = new TabControl(parent);
            t->tabBar()->setFont(small);
            t->tabBar()->setStyleSheet(QString::fromLatin1(kAssign2TabsStyle));
            for (int i = 1; i <= 4; ++i) t->addTab(QStringLiteral("Param. %1").arg(i));
            t->setCurrentIndex(0);
            w = t;
            break;
        }
        case ControlKind::Lamp: w = new Lamp(parent); break;
        }

        // Controls inside groups keep the normal font (groups have bold
        // captions). Set before the control has children of its own, so
        // that the change does not travel through them.
        if (s.kind != ControlKind::GroupBox && s.kind != ControlKind::Label && s.kind != ControlKind::ReadoutLabel &&
            s.kind != ControlKind::StatusLabel)
            setFontOf(w, s.name == "UserPerf" ? bold : normal);
        w->setObjectName(qs(s.name));
        if (s.kind != ControlKind::Page) w->setGeometry(s.x, s.y, s.w, s.h);
        if (!s.hint.empty()) w->setToolTip(qs(s.hint));
        w->setEnabled(s.enabled);

        // Assistive tools read the hint (or the caption) as the name and the
        // control's own name as the description. Read-outs and the status
        // line have no fixed name: their live text is what is read.
        if (s.kind != ControlKind::ReadoutLabel && s.kind != ControlKind::StatusLabel) {
            const bool byCaption = s.hint.empty() || hintIsShared(s);
            QString name = qs(byCaption ? s.caption : s.hint).trimmed();
            if (byCaption && (s.kind == ControlKind::CheckBox || s.kind == ControlKind::RadioButton ||
                              s.kind == ControlKind::PushButton))
                name.replace(QStringLiteral("&&"), QStringLiteral("&"));
            if (name.isEmpty()) name = qs(s.name);
            w->setAccessibleName(name);
        }
        w->setAccessibleDescription(qs(s.name));
        addStartItems(w, s.name);
        widgets_.emplace(std::string(s.name), w);
    }
    // Once all pages are in: each tab added under the style sheet would
    // measure every tab again through it.
    if (first)
        qobject_cast<QTabWidget*>(widgets_.at("PageControl1"))
            ->tabBar()
            ->setStyleSheet(QString::fromLatin1(kPageTabsStyle));
}

void TMainWindow::bindControls() {
    // Those of pages not built yet stay null.
#define PS_BIND_MEMBER(Type, name) name = qobject_cast<Type*>(control(#name));
    PS_MAINWINDOW_CONTROLS(PS_BIND_MEMBER)
#undef PS_BIND_MEMBER

    // Each parameter with the controls the table names for it.
    parameterControls_.clear();
    for (const Parameter* p : allParameters()) {
        ParameterControls c;
        c.param = p;
        if (p->control == ParamControl::Choices || p->control == ParamControl::ModeChecks)
            c.choices.resize(static_cast<std::size_t>(p->entries), nullptr);
        parameterControls_.push_back(c);
    }
    auto entryOf = [this](const Parameter* p) -> ParameterControls& {
        for (ParameterControls& c : parameterControls_)
            if (c.param == p) return c;
        Q_ASSERT(false);
        return parameterControls_.front();
    };
    for (const ControlSpec& s : controlTable()) {
        const Parameter* p = parameterOf(s);
        if (!p) continue;
        ParameterControls& c = entryOf(p);
        QWidget* w = control(s.name);
        if (!w) continue;
        switch (s.kind) {
        case ControlKind::VTrackBar:
        case ControlKind::HTrackBar:
            c.bar = qobject_cast<QSlider*>(w);
            c.readout = qobject_cast<QLabel*>(control(s.readout));
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: {
            auto* button = qobject_cast<QAbstractButton*>(w);
            if (s.companion)
                c.companion = button;
            else if (s.choice >= 0 && static_cast<std::size_t>(s.choice) < c.choices.size())
                c.choices[static_cast<std::size_t>(s.choice)] = button;
            else
                c.check = button;
            break;
        }
        case ControlKind::ListBox: c.list = qobject_cast<QListWidget*>(w); break;
        case ControlKind::ComboBox: c.combo = qobject_cast<QComboBox*>(w); break;
        case ControlKind::EditBox: c.edit = qobject_cast<QLineEdit*>(w); break;
        default: break;
        }
    }
    // The four assign-knob-2 parameters share the controls of the first.
    for (int q = 2; q <= 4; ++q) {
        for (const auto& [first, other] : {std::pair{&params::assign2Layer(1), &params::assign2Layer(q)},
                                           std::pair{&params::assign2Para(1), &params::assign2Para(q)},
                                           std::pair{&params::assign2Level(1), &params::assign2Level(q)}}) {
            ParameterControls shared = entryOf(first);
            shared.param = other;
            entryOf(other) = shared;
        }
    }
}

void TMainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setFont(windowFont());
    auto menu = [&](QMenu* parentMenu, const char* name, const char* caption) {
        QMenu* m =
            parentMenu ? parentMenu->addMenu(QString::fromLatin1(caption)) : bar->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->setFont(windowFont());
        return m;
    };
    auto item = [&](QMenu* m, const char* name, const char* caption) {
        QAction* a = m->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto opener = [&](QMenu* m, const char* key) {
        // Ctrl+letter opens the menu as Alt+letter does.
        auto* sc = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        sc->setObjectName(m->objectName() + QStringLiteral("Shortcut"));
        connect(sc, &QShortcut::activated, this, [this, m] { menuBar()->setActiveAction(m->menuAction()); });
        menuShortcuts[m->objectName().toStdString()] = sc;
    };

    MenuFile = menu(nullptr, "MenuFile", " &File ");
    MenuFileOpen = menu(MenuFile, "MenuFileOpen", "&Open");
    MenuFileOpenActPerf = item(MenuFileOpen, "MenuFileOpenActPerf", "Actual Performance");
    MenuFileOpenPerfNames = item(MenuFileOpen, "MenuFileOpenPerfNames", "Performance-names");
    MenuFileSave = menu(MenuFile, "MenuFileSave", "&Save");
    MenuFileSaveActPerf = item(MenuFileSave, "MenuFileSaveActPerf", "Actual Performance");
    MenuFileSavePerfNames = item(MenuFileSave, "MenuFileSavePerfNames", "Performance-names");
    MenuFile->addSeparator();
    MenuFilePreferences = item(MenuFile, "MenuFilePreferences", "&Preferences");
    MenuFile->addSeparator();
    MenuFileExit = item(MenuFile, "MenuFileExit", "E&xit");
    opener(MenuFile, "Ctrl+F");

    MenuEdit = menu(nullptr, "MenuEdit", " &Edit ");
    MenuEditUndo = item(MenuEdit, "MenuEditUndo", "Undo");
    MenuEditUndo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    MenuEditUndo->setEnabled(false);
    MenuEditRedo = item(MenuEdit, "MenuEditRedo", "Redo");
    MenuEditRedo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    MenuEditRedo->setEnabled(false);
    MenuEdit->addSeparator();
    MenuEditCopyLayer = item(MenuEdit, "MenuEditCopyLayer", "&Copy Layerdata");
    MenuEditCopyLayer->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    MenuEditPasteLayer = item(MenuEdit, "MenuEditPasteLayer", "Paste Layerdata");
    MenuEditPasteLayer->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    MenuEditPasteLayer->setEnabled(false);
    MenuEdit->addSeparator();
    MenuEditCompare = item(MenuEdit, "MenuEditCompare", "Compare with original");
    MenuEditCompare->setCheckable(true);
    MenuEditCompare->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    MenuEditRandomize = item(MenuEdit, "MenuEditRandomize", "Randomize");
    MenuEditRandomize->setText(QStringLiteral("Randomize\u2026"));
    opener(MenuEdit, "Ctrl+E");

    MenuBulk = menu(nullptr, "MenuBulk", " &Bulk-Dump ");
    MenuBulkPerfNames = item(MenuBulk, "MenuBulkPerfNames", "&Request all Performance-names");
    MenuBulk->addSeparator();
    MenuBulkSinglePerfSynth = item(MenuBulk, "MenuBulkSinglePerfSynth", "Single User-Performance (to CS1x)");
    MenuBulkPerfBankSynth = item(MenuBulk, "MenuBulkPerfBankSynth", "Performance-Bank          (to CS1x)");
    MenuBulk->addSeparator();
    MenuBulkSinglePerfHD = item(MenuBulk, "MenuBulkSinglePerfHD", "Single User-Performance (to HD)");
    MenuBulkAllPerfHD = item(MenuBulk, "MenuBulkAllPerfHD", "All User-Performances     (to HD)");
    MenuBulk->addSeparator();
    MenuBulkBankEdit = item(MenuBulk, "MenuBulkBankEdit", "&Performance-bank manager");
    opener(MenuBulk, "Ctrl+B");

    MenuAbout = bar->addAction(QStringLiteral(" &About "));
    MenuAbout->setObjectName(QStringLiteral("MenuAbout"));
    MenuAbout->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
}

} // namespace patchsmith::editor
