#include "base/path.h"

const char kPathSeparator = '/';

std::string userSettingsDirectory() {
    return {};
}
