#include "base/path.h"

#include <cstdlib>

const char kPathSeparator = '\\';

std::string userSettingsDirectory() {
    const char* appData = std::getenv("APPDATA");
    if (appData == nullptr || *appData == '\0')
        return {};
    return joinPath(appData, "Quillet");
}
