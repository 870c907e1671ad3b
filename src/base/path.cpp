#include "base/path.h"

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    path += kPathSeparator;
    path += name;
    return path;
}

std::string_view fileName(std::string_view path) {
    const char separators[] = {kPathSeparator, '/'};
    const std::size_t last = path.find_last_of(std::string_view(separators, sizeof separators));
    return last == std::string_view::npos ? path : path.substr(last + 1);
}
