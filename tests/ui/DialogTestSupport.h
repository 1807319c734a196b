#pragma once
// Shared by the window tests: the application object, a modal runner that
// never blocks, and a check of a control's texts and accessibility.

#include "ui/DialogKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace patchsmith::test {

inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "patchsmith-dialog-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
    return *qApp;
}

// While alive, every modal window is shown, handed to `act` (which clicks
// what a user would click) and hidden again, instead of running its own
// event loop. Without a script, a modal window is a test failure.
class ModalScript {
public:
    explicit ModalScript(std::function<void(QDialog&)> act = {}) {
        dialogs::setModalRunner([this, act = std::move(act)](QDialog& dialog) {
            ++runs;
            if (!act) {
                ADD_FAILURE() << "unexpected modal window " << dialog.objectName().toStdString();
                return 0;
            }
            dialog.show();
            act(dialog);
            const int result = dialog.result();
            dialog.hide();
            return result;
        });
    }
    ~ModalScript() { dialogs::setModalRunner({}); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    int runs = 0;
};

// A control as it must be: object name, class, caption, hint, accessible
// name and description.
struct ControlRow {
    const char* name;
    const char* className;
    const char* caption; // nullptr: not checked (no caption of its own)
    const char* hint;
    const char* accessibleName;
};

inline QString captionOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    return {};
}

inline void expectControl(const QWidget* window, const ControlRow& row) {
    SCOPED_TRACE(row.name);
    const auto* w = window->findChild<QWidget*>(row.name);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->metaObject()->className(), row.className);
    if (row.caption) {
        EXPECT_EQ(captionOf(w).toStdString(), std::string(row.caption));
    }
    EXPECT_EQ(w->toolTip().toStdString(), std::string(row.hint));
    EXPECT_EQ(w->accessibleName().toStdString(), std::string(row.accessibleName));
    EXPECT_EQ(w->accessibleDescription().toStdString(), std::string(row.name));
}

} // namespace patchsmith::test
