#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/terminal.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Console console{std::cout, std::cerr, std::cin, isTerminal(stdin) && isTerminal(stderr),
                    isTerminal(stderr)};
    return runCommandLine(args, console);
}
