#include "settings/settings.h"

#include "base/atomic_file_writer.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
Settings* theInstance = nullptr;

void copyPath(char (&target)[kPathSize], const char* text) {
    std::snprintf(target, sizeof target, "%s", text);
}
} // namespace

SettingsBase::~SettingsBase() {
    theInstance = nullptr;
}

Settings* Settings::instance() {
    if (theInstance == nullptr)
        theInstance = new Settings();
    return theInstance;
}

void Settings::load() {
    sameNameAction = kSameNameRequest;
    sameCallsignAction = kSameCallsignRequest;
    distanceRestriction = 1;

    std::string text;
    if (!readTextFile(kSettingsFileName, text)) {
        copyPath(xplaneExePath, kDefaultXPlaneExePath);
        return;
    }

    // The file is read in pieces of at most 259 characters, as a 260-byte line buffer
    // would. A piece is a C string: its text ends at its first NUL byte. UTF-8 byte-order
    // marks at its start are no part of it (a path saved first in the file would lose them
    // when read back). A text shorter than 2 characters (line feed included) does not count.
    std::string path;
    int count = 0;
    forEachLinePiece(text, kPathSize - 1, [&](std::string_view piece) {
        std::string_view content = piece.substr(0, piece.find('\0'));
        while (startsWithByteOrderMark(content))
            content = withoutByteOrderMark(content);
        const std::string value(content);
        if (value.size() < 2)
            return;
        switch (count) {
        case 0:
            path = value;
            break;
        case 1:
            sameNameAction = std::atoi(value.c_str());
            break;
        case 2:
            sameCallsignAction = std::atoi(value.c_str());
            break;
        case 3:
            distanceRestriction = std::atoi(value.c_str());
            break;
        default:
            break;
        }
        ++count;
    });
    copyPath(xplaneExePath, path.empty() ? kDefaultXPlaneExePath : path.c_str());
}

void Settings::save() {
    const std::string filePath = joinPath(startDirectory, kSettingsFileName);
    AtomicFileWriter file(filePath);
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%d\n%d\n%d\n", static_cast<int>(sameNameAction),
                  static_cast<int>(sameCallsignAction), static_cast<int>(distanceRestriction));
    file.write(xplaneExePath);
    file.write("\n");
    file.write(numbers);
    // Saving reports nothing: settings that cannot be written leave the old file as it was.
    static_cast<void>(file.commit());
}
