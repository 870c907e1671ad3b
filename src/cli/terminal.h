#pragma once

#include <cstdio>

// True when the stream is a terminal (on Windows, a console).
bool isTerminal(std::FILE* stream);

// Lets the terminal show the program's UTF-8 text as the characters it spells (a Windows
// console reads and shows it in its own code page unless told).
void useUtf8Terminal();
