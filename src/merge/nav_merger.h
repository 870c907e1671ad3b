#pragma once

#include "merge/merge_screen.h"
#include "merge/nav_data.h"
#include "scenery/custom_airports.h"
#include "settings/settings.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The merge job of one run. Building it loads the selected airports' nav.dat files in table
// order, backs earth_nav.dat up to earth_nav.dat.bak and loads earth_nav.dat; merge() then
// rewrites earth_nav.dat. Failures are shown on the screen and never damage the database:
// without a readable earth_nav.dat and a good backup, merge() writes nothing.
class NavMerger {
  public:
    NavMerger(const MergeScreen& screen, const std::string& databasePath,
              const std::vector<CustomAirport>& airports);

    // Decides which database lines stay, then replaces earth_nav.dat with the header, the
    // surviving database lines and every custom line. Returns 0 when the new file is in
    // place, -1 when nothing was written.
    int merge();

    // 1 when both lines lie in the same whole-degree cell of latitude and longitude, or when
    // the distance restriction is off; else 0.
    int isNear(std::string_view baseLine, std::string_view customLine) const;

    static void upperCase(std::string& text);

    const std::vector<NavaidRecord>& customRecords() const { return customRecords_; }
    const std::vector<NavaidRecord>& baseRecords() const { return baseRecords_; }
    const std::string& headerLine() const { return headerLine_; }

  private:
    void loadCustomRecords(const CustomAirport& airport, std::string_view text,
                           std::size_t fileSize);
    void loadBaseRecords(std::string_view text, std::size_t fileSize);
    bool backUp();
    void startProgress(std::size_t fileSize);
    void showStatus(std::string_view prefix, std::string_view text);
    void showError(const char* text);
    bool isDropped(const NavaidRecord& base);
    int showConflictPrompt(const std::string& sourcePath, const std::string& baseLine,
                           const std::string& customLine);

    MergeScreen screen_;
    const std::string& earthNavPath_;
    const Settings* settings_;
    std::string statusText_;
    std::vector<NavaidRecord> customRecords_;
    std::vector<NavaidRecord> baseRecords_;
    std::string headerLine_;
    // True once earth_nav.dat has been read whole and backed up: only then may it be rewritten.
    bool baseReady_ = false;
};
