#pragma once

#include <cstdint>

// Merge option codes. They are the settings dialog's radio-button ids, stored as they are.
enum ActionCode : std::int32_t {
    kSameNameSkip = 1016,
    kSameNameRequest = 1017,
    kSameNameReplace = 1018,
    kSameCallsignSkip = 1019,
    kSameCallsignRequest = 1020,
    kSameCallsignReplace = 1021,
};

inline constexpr const char* kDefaultXPlaneExePath = "C:\\X-Plane\\X-Plane.exe";
inline constexpr const char* kSettingsFileName = "q-config.qcf";
inline constexpr int kPathSize = 260;

class SettingsBase {
  public:
    // Forgets the process-wide instance, so a destroyed object is never handed out again.
    virtual ~SettingsBase();
};

// The process-wide settings, read from the settings file at start-up and written at exit.
class Settings : public SettingsBase {
  public:
    static Settings* instance();

    // Fills every field but startDirectory from "q-config.qcf" in the current directory,
    // or with the defaults when it cannot be opened.
    void load();
    // Writes the settings file into startDirectory; a file that cannot be opened is left alone.
    void save();

    char startDirectory[kPathSize] = {};
    // Keeps the line feed of its line when it came from the settings file.
    char xplaneExePath[kPathSize] = {};
    std::int32_t sameNameAction = kSameNameRequest;
    std::int32_t sameCallsignAction = kSameCallsignRequest;
    std::int32_t distanceRestriction = 1;
};
