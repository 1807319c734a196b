// patchsmith-cli: the librarian's file commands without a window.

#include "cli/Cli.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return patchsmith::cli::RunCli(args, std::cout, std::cerr);
}
