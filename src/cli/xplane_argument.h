#pragma once

#include "cli/console.h"

#include <string>
#include <string_view>

// Whether the --xplane argument names a folder. When it does not, says so on the console,
// with `consequence` after the folder (what the command did not do), and the command ends.
bool namesXPlaneFolder(const std::string& xplane, Console& console,
                       std::string_view consequence = "");
