#pragma once

#include <string>

// A text as a JSON string, quotes included. Texts such as folder names are bytes: UTF-8
// sequences stay as they are, and any other byte above 127 is taken as Latin-1 (as names in
// Windows' ANSI code page mostly are).
std::string jsonString(const std::string& text);
