#include "base/file_error.h"

#include <cerrno>
#include <cstring>

FileError lastSystemError(const std::string& path) {
    const int error = errno;
    return FileError{path, std::strerror(error)};
}
