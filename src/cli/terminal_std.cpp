#include "cli/terminal.h"

#include <unistd.h>

bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void useUtf8Terminal() {
    // Terminals take the program's bytes as they are.
}
