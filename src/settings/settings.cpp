#include "settings/settings.h"

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/legacy_text.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
Settings* theInstance = nullptr;

// Settings file lines are read in pieces of at most this many characters, line feed
// included, as a 260-byte line buffer reads them.
constexpr std::size_t kLinePiece = 259;

// The three codes of one group of radio buttons.
struct GroupCodes {
    std::int32_t skip, request, replace;
};
constexpr GroupCodes kSameNameCodes{kSameNameSkip, kSameNameRequest, kSameNameReplace};
constexpr GroupCodes kSameCallsignCodes{kSameCallsignSkip, kSameCallsignRequest,
                                        kSameCallsignReplace};

ConflictAction actionOf(std::int32_t code, const GroupCodes& group) {
    if (code == group.replace)
        return ConflictAction::Replace;
    if (code == group.request)
        return ConflictAction::Ask;
    return ConflictAction::Skip;
}

std::int32_t codeOf(ConflictAction action, const GroupCodes& group) {
    switch (action) {
    case ConflictAction::Skip:
        return group.skip;
    case ConflictAction::Ask:
        return group.request;
    case ConflictAction::Replace:
        return group.replace;
    }
    return group.skip;
}
} // namespace

MergeOptions mergeOptionsOf(std::int32_t sameNameAction, std::int32_t sameCallsignAction,
                            std::int32_t distanceRestriction) {
    return {actionOf(sameNameAction, kSameNameCodes),
            actionOf(sameCallsignAction, kSameCallsignCodes), distanceRestriction == 1};
}

SettingsBase::~SettingsBase() {
    theInstance = nullptr;
}

Settings* Settings::instance() {
    if (theInstance == nullptr)
        theInstance = new Settings();
    return theInstance;
}

namespace {
// Whether a new file can be made in the folder: one is made there and removed again.
bool takesNewFiles(const std::string& folder) {
    AtomicFileWriter probe(joinPath(folder, kSettingsFileName));
    return static_cast<bool>(probe.finishWriting());
}

// The settings file that load() reads: the current directory's, unless the user's folder
// holds one and the current directory takes no file, so that what save() wrote there last is
// read back.
std::string settingsFileToRead(const std::string& userDirectory) {
    const std::string current = kSettingsFileName;
    if (userDirectory.empty())
        return current;
    const std::string users = joinPath(userDirectory, kSettingsFileName);
    if (!isFile(users) || (isFile(current) && takesNewFiles(".")))
        return current;
    return users;
}
} // namespace

void Settings::load() {
    std::int32_t codes[] = {kSameNameRequest, kSameCallsignRequest, 1};
    xplaneExePath = kDefaultXPlaneExePath;
    pathReadWithLineFeed_.clear();

    std::string text;
    // A settings file holds a path and three numbers.
    constexpr std::uint64_t kLargestSettingsBytes = 1 << 20;
    if (readTextFile(settingsFileToRead(userDirectory), text, kLargestSettingsBytes)) {
        // A piece is a C string: its text ends at its first NUL byte. UTF-8 byte-order marks
        // at its start are no part of it (a path saved first in the file would lose them when
        // read back). A text shorter than 2 characters (line feed included) does not count.
        int count = 0;
        forEachLinePiece(text, kLinePiece, [&](std::string_view piece) {
            std::string_view content = piece.substr(0, piece.find('\0'));
            while (startsWithByteOrderMark(content))
                content = withoutByteOrderMark(content);
            if (content.size() < 2)
                return;
            if (count == 0) {
                const bool lineFeed = content.back() == '\n';
                // Older files hold the path in the ANSI code page, newer ones in UTF-8.
                xplaneExePath =
                    legacyTextAsUtf8(content.substr(0, content.size() - (lineFeed ? 1 : 0)));
                if (lineFeed)
                    pathReadWithLineFeed_ = xplaneExePath;
            } else if (count <= 3) {
                codes[count - 1] = std::atoi(std::string(content).c_str());
            }
            ++count;
        });
    }
    options = mergeOptionsOf(codes[0], codes[1], codes[2]);
}

FileResult Settings::save() {
    FileResult saved = saveInto(startDirectory);
    if (!saved && !userDirectory.empty()) {
        saved = makeFolders(userDirectory);
        if (saved)
            saved = saveInto(userDirectory);
    }
    return saved;
}

FileResult Settings::saveInto(const std::string& folder) const {
    AtomicFileWriter file(joinPath(folder, kSettingsFileName));
    const bool emptyLine = !pathReadWithLineFeed_.empty() && xplaneExePath == pathReadWithLineFeed_;
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%d\n%d\n%d\n",
                  static_cast<int>(codeOf(options.sameName, kSameNameCodes)),
                  static_cast<int>(codeOf(options.sameCallsign, kSameCallsignCodes)),
                  options.distanceRestriction ? 1 : 0);
    file.write(xplaneExePath);
    file.write(emptyLine ? "\n\n" : "\n");
    file.write(numbers);
    return file.commit();
}
