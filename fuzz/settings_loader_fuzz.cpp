// Fuzz target: the settings loader against a small model of the settings file's rules. The
// input is the settings file's bytes. Settings::load must give the values the model gives;
// then three rounds of save and load: each saved file holds the loaded values in the saved
// format, each load of it gives what the model gives, and the third file equals the second
// (a file settles after two saves). A difference aborts, so libFuzzer keeps the file.
//
// The model reads the file as the program's text files are read (a leading UTF-8 byte-order
// mark skipped; CR LF, LF and a lone CR each one line feed), line by line with fgets into a
// 260-byte buffer; byte-order marks at a line's start are dropped; a line counts when strlen
// gives 2 or more; the first counted line is the path, the next three are numbers by atoi.
// The numbers stand for the options: an action code of its own group, else Skip; the
// restriction on only when 1. A path read with its line feed is saved with an empty line
// after it.

#include "settings/settings.h"

#include "printable.h"
#include "test_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

struct Values {
    std::string path;
    bool pathLineFeed = false; // the path line was read with its line feed
    int sameName = kSameNameRequest;
    int sameCallsign = kSameCallsignRequest;
    int restriction = 1;

    bool operator==(const Values& other) const {
        return path == other.path && sameName == other.sameName &&
               sameCallsign == other.sameCallsign && restriction == other.restriction;
    }
};

// The code a stored value acts as: its own if it is one of its group's, else Skip's.
int actingCode(int code, int skipCode) {
    return code == skipCode + 1 || code == skipCode + 2 ? code : skipCode;
}

int codeOf(ConflictAction action, int skipCode) {
    return skipCode + (action == ConflictAction::Ask       ? 1
                       : action == ConflictAction::Replace ? 2
                                                           : 0);
}

Values modelLoad(const std::string& bytes) {
    const std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string text;
    for (std::size_t i = start; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            text += bytes[i];
        else if (i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += '\n';
    }
    Values values;
    std::string path;
    if (!text.empty()) {
        std::FILE* stream = fmemopen(text.data(), text.size(), "r");
        if (stream == nullptr)
            std::abort();
        char line[260];
        int count = 0;
        while (std::fgets(line, sizeof line, stream) != nullptr) {
            char* value = line;
            while (std::strncmp(value, "\xEF\xBB\xBF", 3) == 0)
                value += 3;
            if (std::strlen(value) < 2)
                continue;
            switch (count++) {
            case 0:
                path = value;
                break;
            case 1:
                values.sameName = std::atoi(value);
                break;
            case 2:
                values.sameCallsign = std::atoi(value);
                break;
            case 3:
                values.restriction = std::atoi(value);
                break;
            default:
                break;
            }
        }
        std::fclose(stream);
    }
    values.pathLineFeed = !path.empty() && path.back() == '\n';
    if (values.pathLineFeed)
        path.pop_back();
    values.path = path.empty() ? kDefaultXPlaneExePath : path;
    values.sameName = actingCode(values.sameName, kSameNameSkip);
    values.sameCallsign = actingCode(values.sameCallsign, kSameCallsignSkip);
    values.restriction = values.restriction == 1 ? 1 : 0;
    return values;
}

// The file save writes for these values: the path, an empty line when it was read with its
// line feed, and three numbers, each line feed as CR LF.
std::string savedFile(const Values& values) {
    const std::string text = values.path + (values.pathLineFeed ? "\n\n" : "\n") +
                             std::to_string(values.sameName) + "\n" +
                             std::to_string(values.sameCallsign) + "\n" +
                             std::to_string(values.restriction) + "\n";
    return crlf(text);
}

std::string describe(const Values& values) {
    return "path \"" + printable(values.path) + "\", " + std::to_string(values.sameName) + ", " +
           std::to_string(values.sameCallsign) + ", " + std::to_string(values.restriction);
}

[[noreturn]] void differ(const char* what, const std::string& file, const std::string& expected,
                         const std::string& actual) {
    std::fprintf(stderr,
                 "settings: %s differs\n  file:     \"%s\"\n  expected: %s\n  actual:   %s\n", what,
                 printable(file).c_str(), expected.c_str(), actual.c_str());
    std::abort();
}

// Every run works in this folder.
const TempDir& workDir() {
    static const TempDir dir;
    return dir;
}

Values loadFrom(const std::string& file) {
    writeBytes(workDir().file(kSettingsFileName), file);
    Settings* settings = Settings::instance();
    settings->options = MergeOptions{ConflictAction::Replace, ConflictAction::Skip, false};
    settings->xplaneExePath = "(not loaded)";
    // The file is looked up in the current directory, which libFuzzer's relative paths need
    // between runs.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(workDir().path());
    settings->load();
    std::filesystem::current_path(previous);
    const Values expected = modelLoad(file);
    const MergeOptions& options = settings->options;
    const Values loaded{
        settings->xplaneExePath, expected.pathLineFeed, codeOf(options.sameName, kSameNameSkip),
        codeOf(options.sameCallsign, kSameCallsignSkip), options.distanceRestriction ? 1 : 0};
    if (!(loaded == expected))
        differ("load", file, describe(expected), describe(loaded));
    return loaded;
}

std::string save(const Values& loaded) {
    Settings* settings = Settings::instance();
    settings->startDirectory = workDir().path();
    if (!settings->save())
        differ("save", "", "the settings file saved", "no file saved");
    const std::string saved = readBytes(workDir().file(kSettingsFileName));
    const std::string expected = savedFile(loaded);
    if (saved != expected)
        differ("save", saved, "\"" + printable(expected) + "\"", "\"" + printable(saved) + "\"");
    return saved;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const std::string first = save(loadFrom(file));
    const std::string second = save(loadFrom(first));
    const std::string third = save(loadFrom(second));
    if (third != second)
        differ("a file saved twice", file, "\"" + printable(second) + "\"",
               "\"" + printable(third) + "\"");
    return 0;
}
