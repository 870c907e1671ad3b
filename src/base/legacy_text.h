#pragma once

#include <string>
#include <string_view>

// Texts that programs of the past wrote in the system's ANSI code page.

// The text in UTF-8: as it is when it is valid UTF-8, else read in the system's ANSI code page
// (on Windows the code page of the system's locale, whatever the program's own; elsewhere
// texts are taken as the bytes they are).
std::string legacyTextAsUtf8(std::string_view text);
