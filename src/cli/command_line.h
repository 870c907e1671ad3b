#pragma once

#include "cli/console.h"

#include <string>
#include <vector>

// Runs `quillet ARGS...` (args without the program's name) and returns its exit code
// (cli/exit_codes.h).
int runCommandLine(const std::vector<std::string>& args, Console& console);
