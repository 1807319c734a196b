// patchsmith-cli: the librarian's file commands without a window.

#include "cli/Cli.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The separator the window would take from the user's locale for texts in
// tenths; the rest of the program keeps the "C" locale.
char localeDecimalPoint() {
    char point = '.';
    if (std::setlocale(LC_NUMERIC, "")) {
        const char* p = std::localeconv()->decimal_point;
        if (p && p[0] != '\0' && p[1] == '\0' && static_cast<unsigned char>(p[0]) < 0x80) point = p[0];
    }
    std::setlocale(LC_NUMERIC, "C");
    return point;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return patchsmith::cli::runCli(args, std::cout, std::cerr, localeDecimalPoint());
}
