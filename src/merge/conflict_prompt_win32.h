#pragma once

#include <windows.h>

#include <string>

// The conflict prompt: asks whether a custom nav line replaces a database line that agrees
// with it in CALLSIGN or in NAME only.

#include "merge/merge_screen.h"

// Shows the prompt modally, owned by `owner`, and waits for the answer: IDC_REPLACE_STRING
// or IDC_SKIP_STRING; 0 or -1 when the prompt could not be created.
int showConflictPrompt(HINSTANCE instance, HWND owner, const char* sourcePath, const char* baseLine,
                       const char* customLine);

// The prompt's answer as the merge takes it: a prompt that could not be shown keeps the
// database line, as Skip does.
Answer askConflictPrompt(HINSTANCE instance, HWND owner, const std::string& sourcePath,
                         const std::string& baseLine, const std::string& customLine);
