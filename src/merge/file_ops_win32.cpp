#include "merge/file_ops.h"

#include <windows.h>

bool copyFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool replaceFile(const std::string& replacement, const std::string& target) {
    return MoveFileExA(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
