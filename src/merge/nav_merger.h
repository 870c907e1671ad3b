#pragma once

#include "merge/merge_options.h"
#include "merge/merge_report.h"
#include "merge/merge_screen.h"
#include "merge/nav_data.h"
#include "scenery/custom_airports.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class CandidateIndex;
class RowConverter;

// A merge job writes the merged database; a preview job only decides, and writes nothing,
// not even the backup.
enum class JobPurpose { Merge, Preview };

// How a job ended.
enum class MergeEnd {
    Written,    // the new earth_nav.dat is in place
    Previewed,  // a preview decided everything and wrote nothing
    Stopped,    // a question got no answer: nothing was written after the backup
    InputError, // earth_nav.dat could not be read: nothing was changed
    WriteError, // the backup or the new earth_nav.dat could not be written: it is as it was
};

// The merge job of one run. Building it loads the selected airports' nav.dat files in table
// order, each custom line once, checks that earth_nav.dat is a database it can merge into,
// backs it up to earth_nav.dat.bak and loads it; merge() then rewrites earth_nav.dat.
// Failures are shown on the screen and never damage the database: without a readable
// earth_nav.dat of a known format and a good backup, merge() writes nothing.
//
// The database's version (nav_format.h) decides how its rows are read and compared and how
// the new file is framed. An 810 database is written in the frame "I", its header row, a
// blank line, its lines, a blank line, the add-on rows each followed by a blank line, a blank
// line and "99"; of the database's own lines only the marker line, the header row, blank
// lines and "99" rows give way to the frame. Databases of 1100 and later keep every line they
// had, byte for byte, and take the add-on rows before their final "99" row. Add-on rows go in
// in the database's format (row_conversion.h) or not at all.
//
// The job keeps every file it loaded in memory; its records are views into those texts.
class NavMerger {
  public:
    NavMerger(const MergeScreen& screen, std::string databasePath,
              const std::vector<CustomAirport>& airports, const MergeOptions& options,
              JobPurpose purpose = JobPurpose::Merge);
    NavMerger(const NavMerger&) = delete;
    NavMerger& operator=(const NavMerger&) = delete;
    ~NavMerger();

    // Decides which database lines stay; then a merge job replaces earth_nav.dat with the
    // surviving database lines and every add-on row that goes in. An answer Stop to a
    // question of the screen ends the job: nothing is written then.
    MergeEnd merge();

    // After merge() has written or previewed: what it decided, and the text it writes beside
    // the database's text as it was read (an 810 database with line feeds for its line ends,
    // later formats with their own).
    MergeReport report() const;
    std::string mergedText() const;
    const std::string& databaseText() const { return baseText_; }

    // 1 when both lines lie in the same whole-degree cell of latitude and longitude, or when
    // the distance restriction is off; else 0.
    int isNear(std::string_view baseLine, std::string_view customLine) const;

    // The add-on rows that go in, in the database's format.
    const std::vector<NavaidRecord>& customRecords() const { return customRecords_; }
    // The database's records, made afresh on each call from the packed ones the job keeps.
    std::vector<NavaidRecord> baseRecords() const;
    const std::string& headerLine() const { return headerLine_; }
    // The format the database was read in.
    NavFormat databaseFormat() const { return format_; }
    // The add-on rows that do not go in, in load order.
    const std::vector<LeftOutRow>& leftOutRows() const { return leftOut_; }

  private:
    // A custom airport's nav.dat as loaded.
    struct CustomFile {
        std::string path;
        std::string text;
        std::optional<int> version;
        std::vector<std::string_view> rows; // its lines of row codes 2 to 16
    };
    // A piece of the database text, by position.
    struct TextSpan {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // A database record as the job keeps it, its texts found in baseText_.
    struct PackedRecord {
        std::int32_t type;
        TextSpan line, callsign, terminal, region, name, rwyName;
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
        std::size_t operator()(std::string_view text) const { return caseBlindHash(text); }
    };
    struct CaseBlindEqual {
        bool operator()(std::string_view a, std::string_view b) const {
            return equalsIgnoringCase(a, b);
        }
    };
    using LineSet = std::unordered_set<std::string_view, CaseBlindHash, CaseBlindEqual>;

    // Loads the selected airports' files in table order.
    void loadCustomFiles(const std::vector<CustomAirport>& airports);
    // takenLines: the custom navaid rows taken so far, without their line ends. A row equal
    // to one of them is passed over.
    void loadCustomRecords(CustomFile& file, LineSet& takenLines);
    bool readBaseLines();
    void showLoadingProgress();
    void takeCustomRows();
    void takeRowsOf(const CustomFile& file);
    void leaveOut(const CustomFile& file, std::string_view row, std::string reason,
                  bool wholeFile = false);
    bool backUp();
    void showStatus(std::string_view prefix, std::string_view text);
    void showError(const std::string& text);
    TextSpan span(std::string_view text) const;
    PackedRecord pack(const NavaidRecord& record) const;
    NavaidRecord unpack(const PackedRecord& record) const;
    std::optional<Drop> dropOf(const NavaidRecord& base, const CandidateIndex& index);
    Answer showConflictPrompt(std::string_view sourcePath, std::string_view baseLine,
                              std::string_view customLine);
    void decide();
    template <typename Write> void writeLines(Write&& write) const;
    MergeEnd writeDatabase();

    MergeScreen screen_;
    const std::string earthNavPath_;
    const MergeOptions options_;
    const JobPurpose purpose_;
    std::string statusText_;
    std::deque<CustomFile> customFiles_;      // a deque never moves them: records point into them
    std::deque<std::string> convertedRows_;   // add-on rows written in the database's format
    std::unique_ptr<RowConverter> converter_; // made for the first row that needs it
    std::string baseText_;
    NavFormat format_ = NavFormat::V810;
    std::string lineEnd_ = "\n"; // the database's own line end (1100 and later)
    std::vector<NavaidRecord> customRecords_;
    std::vector<CoordinateCell> customCells_; // the cell of each custom record
    std::vector<LeftOutRow> leftOut_;
    std::vector<PackedRecord> baseRecords_;
    // The database lines that are no navaid rows and stay where they are, in file order;
    // the add-on rows go in before finalEndRow_ of them (1100 and later).
    std::vector<TextSpan> otherLines_;
    std::size_t finalEndRow_ = 0;
    std::string headerLine_;
    std::vector<std::uint32_t> candidates_; // reused for every database record
    std::vector<bool> kept_;                // for each database record, once decided
    std::vector<Drop> drops_;               // the records not kept, in database order
    bool stopped_ = false;                  // a question was answered Stop
    // True once earth_nav.dat has been read whole and, for a merge, backed up: only then may it
    // be rewritten.
    bool baseReady_ = false;
    // Why it is not ready: a file that could not be read, unless the backup failed.
    MergeEnd notReady_ = MergeEnd::InputError;
};
