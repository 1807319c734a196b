#pragma once
// One QApplication for a GUI test program (offscreen), set up as the program
// sets up its toolkit. The name counts only on the first call.

#include "app/Application.h"

#include <QApplication>

#include <cstring>

namespace patchsmith::test {

inline QApplication& testApp(const char* programName = "patchsmith-test") {
    static int argc = 1;
    // Never freed, like the application: Qt keeps pointing at argv.
    static char* name = [programName] {
        const std::size_t size = std::strlen(programName) + 1;
        char* copy = new char[size];
        std::memcpy(copy, programName, size);
        return copy;
    }();
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        app::Application::setupToolkit();
        return a;
    }();
    return *app;
}

} // namespace patchsmith::test
