#pragma once

#include "base/file_error.h"
#include "base/path.h"
#include "settings/merge_options.h"

#include <cstdint>
#include <string>

// The merge options as the settings file stores them: the settings dialog's radio-button ids.
enum ActionCode : std::int32_t {
    kSameNameSkip = 1016,
    kSameNameRequest = 1017,
    kSameNameReplace = 1018,
    kSameCallsignSkip = 1019,
    kSameCallsignRequest = 1020,
    kSameCallsignReplace = 1021,
};

// The options that the settings file's three stored values stand for. An action code acts
// only in its own group: a code of the other group, or any unknown code, is Skip. The
// restriction is on only when its value is exactly 1.
MergeOptions mergeOptionsOf(std::int32_t sameNameAction, std::int32_t sameCallsignAction,
                            std::int32_t distanceRestriction);

inline constexpr const char* kDefaultXPlaneExePath = "C:\\X-Plane\\X-Plane.exe";
inline constexpr const char* kSettingsFileName = "q-config.qcf";

class SettingsBase {
  public:
    // Forgets the process-wide instance, so a destroyed object is never handed out again.
    virtual ~SettingsBase();
};

// The process-wide settings, read from the settings file at start-up and written at exit.
class Settings : public SettingsBase {
  public:
    static Settings* instance();

    // Fills every field but the folders from the settings file "q-config.qcf": the one in the
    // current directory, unless userDirectory holds one and the current directory takes no
    // new file (a read-only install); else the defaults.
    void load();
    // Writes the settings file into startDirectory, or where that takes no file, into
    // userDirectory (made when missing). A file that cannot be written is left as it was, and
    // the error names the last place tried.
    FileResult save();

    std::string startDirectory;
    // The user's own folder for the settings, for when startDirectory takes no file; empty for
    // none (on Windows %APPDATA%\Quillet).
    std::string userDirectory = userSettingsDirectory();
    std::string xplaneExePath;
    MergeOptions options;

  private:
    FileResult saveInto(const std::string& folder) const;

    // The path as the settings file's path line gave it with its line feed. Saved unchanged,
    // it is followed by an empty line, as the file has always been written.
    std::string pathReadWithLineFeed_;
};
