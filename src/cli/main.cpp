#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/terminal.h"

#include <iostream>
#include <string>
#include <vector>

// The arguments arrive in UTF-8: on Windows the program's manifest makes UTF-8 its code page.
int main(int argc, char** argv) {
    useUtf8Terminal();
    const std::vector<std::string> args(argv + 1, argv + argc);
    Console console{std::cout, std::cerr, std::cin, isTerminal(stdin) && isTerminal(stderr),
                    isTerminal(stderr)};
    return runCommandLine(args, console);
}
