#pragma once

#include <cstdio>

// True when the stream is a terminal (on Windows, a console).
bool isTerminal(std::FILE* stream);
