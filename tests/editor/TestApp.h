#pragma once
// One QApplication for a GUI test program (offscreen), set up as the program
// sets up its toolkit.

#include "app/Application.h"

#include <QApplication>

namespace patchsmith::test {

inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "patchsmith-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        app::Application::SetupToolkit();
        return a;
    }();
    return *app;
}

} // namespace patchsmith::test
