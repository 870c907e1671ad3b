#pragma once

#include "merge/merge_screen.h"
#include "scenery/custom_airports.h"
#include "settings/settings.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The merge job in its plainest form, kept as the yardstick for the program's merge: every navaid
// row is read with sscanf into a record that owns copies of its texts, each custom line is looked
// for among all those taken before it, the database's version line is matched by a regular
// expression, and each database line is compared with every custom line in turn, its
// coordinates read again from both line texts for each pair. It knows databases of format
// 810 alone: the new file is "I", the last header row, a blank line, the database's lines
// without the marker line, blank lines and "99" rows, a blank line, the add-on rows each
// followed by a blank line, a blank line and "99". A database holding a row in the columns
// of 1100 is refused. The program's merge must give the same files, questions, progress and status
// texts.

struct ReferenceRecord {
    int type = 0;
    std::string callsign;
    std::string name;
    std::string rwyName;
    std::string folderName;
    std::string sourcePath;
    std::string line;
};

// Reads a navaid row with sscanf and "%d %*f %*f %*f %*d %*d %*f %s %s %s".
ReferenceRecord scanNavaidRow(std::string_view line);

// The three values of the settings file that steer a merge, as stored there.
struct SettingCodes {
    int sameNameAction = kSameNameRequest;
    int sameCallsignAction = kSameCallsignRequest;
    int distanceRestriction = 1;
};

class ReferenceMerger {
  public:
    ReferenceMerger(const MergeScreen& screen, const std::string& databasePath,
                    const std::vector<CustomAirport>& airports, const SettingCodes& codes);

    int merge();

  private:
    void loadCustomRecords(const CustomAirport& airport, std::string_view text);
    bool isTaken(std::string_view line) const;
    bool hasRowsOf810(std::string_view text);
    void loadBaseRecords(std::string_view text);
    bool backUp();
    void startStage(std::size_t total);
    void showDone(std::size_t done);
    void endStage();
    void showStatus(std::string_view prefix, std::string_view text);
    void showError(const std::string& text);
    int isNear(std::string_view baseLine, std::string_view customLine) const;
    bool isDropped(const ReferenceRecord& base);

    MergeScreen screen_;
    const std::string& earthNavPath_;
    const SettingCodes codes_;
    std::string statusText_;
    std::vector<ReferenceRecord> customRecords_;
    std::vector<ReferenceRecord> baseRecords_;
    // A database line that is no navaid row and that the frame does not stand in for: it is
    // written where it was, after the rowsBefore navaid rows that came before it.
    struct KeptLine {
        std::size_t rowsBefore;
        std::string text;
    };
    std::vector<KeptLine> keptLines_;
    std::string headerLine_;
    bool baseReady_ = false;
    // The stage shown on the progress bar: its amount of work, the bar's maximum, the
    // position shown.
    std::size_t stageTotal_ = 0;
    std::size_t stageMaximum_ = 0;
    std::size_t stagePosition_ = 0;
};

// The program's own merge, runMerge, as a kind of job for mergeOnce.
struct ProgramMerge {};

// Runs a job of type Job (ProgramMerge or ReferenceMerger) with the settings' codes, merges
// once and returns 0 when it wrote the database, else -1.
template <typename Job>
int mergeOnce(const MergeScreen& screen, const std::string& databasePath,
              const std::vector<CustomAirport>& airports, const SettingCodes& codes);
