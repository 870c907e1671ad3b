#pragma once

#include "merge/merge_options.h"
#include "merge/merge_report.h"
#include "merge/merge_screen.h"
#include "merge/nav_data.h"
#include "scenery/custom_airports.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class CandidateIndex;

// A merge job writes the merged database; a preview job only decides, and writes nothing,
// not even the backup.
enum class JobPurpose { Merge, Preview };

// How a job ended.
enum class MergeEnd {
    Written,    // the new earth_nav.dat is in place
    Previewed,  // a preview decided everything and wrote nothing
    InputError, // earth_nav.dat could not be read: nothing was changed
    WriteError, // the backup or the new earth_nav.dat could not be written: it is as it was
};

// The merge job of one run. Building it loads the selected airports' nav.dat files in table
// order, each custom line once, checks that earth_nav.dat is a database it can merge into,
// backs it up to earth_nav.dat.bak and loads it; merge() then rewrites earth_nav.dat.
// Failures are shown on the screen and never damage the database: without a readable
// earth_nav.dat of the right format and a good backup, merge() writes nothing.
//
// The job keeps every file it loaded in memory; its records are views into those texts.
class NavMerger {
  public:
    NavMerger(const MergeScreen& screen, std::string databasePath,
              const std::vector<CustomAirport>& airports, const MergeOptions& options,
              JobPurpose purpose = JobPurpose::Merge);
    NavMerger(const NavMerger&) = delete;
    NavMerger& operator=(const NavMerger&) = delete;

    // Decides which database lines stay; then a merge job replaces earth_nav.dat with the
    // header, the surviving database lines and every custom line. A question of the screen
    // may throw to stop the job: nothing is written then.
    MergeEnd merge();

    // After merge() has written or previewed: what it decided, and the text it writes (line
    // feeds for line ends) beside the database's text as it was read.
    MergeReport report() const;
    std::string mergedText() const;
    const std::string& databaseText() const { return baseText_; }

    // 1 when both lines lie in the same whole-degree cell of latitude and longitude, or when
    // the distance restriction is off; else 0.
    int isNear(std::string_view baseLine, std::string_view customLine) const;

    static void upperCase(std::string& text);

    const std::vector<NavaidRecord>& customRecords() const { return customRecords_; }
    // The database's records, made afresh on each call from the packed ones the job keeps.
    std::vector<NavaidRecord> baseRecords() const;
    const std::string& headerLine() const { return headerLine_; }

  private:
    // A custom airport's nav.dat as loaded.
    struct CustomFile {
        std::string path;
        std::string text;
    };
    // A piece of the database text, by position.
    struct TextSpan {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // A database record as the job keeps it: 36 bytes, its texts found in baseText_.
    struct PackedRecord {
        std::int32_t type;
        TextSpan line, callsign, name, rwyName;
    };
    // A database record that gives way to a custom record, and why.
    struct Drop {
        std::size_t base = 0;
        std::uint32_t custom = 0;
        DropReason reason = DropReason::Duplicate;
        DecidedBy decidedBy = DecidedBy::Rule;
    };

    // Lines compared whole, letters A-Z without regard to case.
    struct CaseBlindHash {
        std::size_t operator()(std::string_view text) const;
    };
    struct CaseBlindEqual {
        bool operator()(std::string_view a, std::string_view b) const {
            return equalsIgnoringCase(a, b);
        }
    };
    using LineSet = std::unordered_set<std::string_view, CaseBlindHash, CaseBlindEqual>;

    // Loads the selected airports' files in table order.
    void loadCustomFiles(const std::vector<CustomAirport>& airports);
    // takenLines: the custom lines taken so far, without their line ends. A line equal to
    // one of them is passed over.
    void loadCustomRecords(const CustomFile& file, LineSet& takenLines);
    void loadBaseRecords();
    bool backUp();
    void showStatus(std::string_view prefix, std::string_view text);
    void showError(const std::string& text);
    PackedRecord pack(const NavaidRecord& record) const;
    NavaidRecord unpack(const PackedRecord& record) const;
    std::optional<Drop> dropOf(const NavaidRecord& base, const CandidateIndex& index);
    int showConflictPrompt(std::string_view sourcePath, std::string_view baseLine,
                           std::string_view customLine);
    void decide();
    template <typename Output> void writeMerged(Output& output) const;
    MergeEnd writeDatabase();

    MergeScreen screen_;
    const std::string earthNavPath_;
    const MergeOptions options_;
    const JobPurpose purpose_;
    std::string statusText_;
    std::deque<CustomFile> customFiles_; // a deque never moves them: records point into them
    std::string baseText_;
    std::vector<NavaidRecord> customRecords_;
    std::vector<CoordinateCell> customCells_; // the cell of each custom record
    std::vector<PackedRecord> baseRecords_;
    std::string headerLine_;
    std::vector<std::uint32_t> candidates_; // reused for every database record
    std::vector<bool> kept_;                // for each database record, once decided
    std::vector<Drop> drops_;               // the records not kept, in database order
    // True once earth_nav.dat has been read whole and, for a merge, backed up: only then may it
    // be rewritten.
    bool baseReady_ = false;
    // Why it is not ready: a file that could not be read, unless the backup failed.
    MergeEnd notReady_ = MergeEnd::InputError;
};
