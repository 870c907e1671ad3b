#pragma once

#include "merge/database_text.h"
#include "merge/merge_report.h"
#include "merge/merge_screen.h"
#include "merge/nav_data.h"
#include "scenery/custom_airports.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class AirportLookup;
class RowConverter;

// An add-on airport's nav.dat as a merge loads it.
struct AddOnFile {
    std::string path;
    std::string text; // its line ends read as line feeds
    std::optional<int> version;
    // Its lines of row codes 2 to 16, but navaid rows that an earlier file, or an earlier line
    // of its own, gave already (letters A-Z compared without regard to case).
    std::vector<std::string_view> rows;
};

// Loads the airports' files in their order, each on its own stage of the progress bar; a
// file that cannot be read is told on the screen and passed over. A deque never moves the
// files, so rows read from them stay valid.
std::deque<AddOnFile> loadAddOnFiles(const std::vector<CustomAirport>& airports,
                                     const MergeScreen& screen, MergeStatus& status);

// The add-on rows that go into one database, in its format, and those left out.
class AddOnRows {
  public:
    // The database and the lookup must outlive this.
    AddOnRows(const DatabaseText& database, AirportLookup& airports);
    AddOnRows(const AddOnRows&) = delete;
    AddOnRows& operator=(const AddOnRows&) = delete;
    ~AddOnRows();

    // Takes the navaid rows of the files, which must outlive this, in their order: as they are
    // when they are in the database's format, converted when they are in an older one, or left
    // out with the reason. Into a database of 1100 or later no row goes whose columns do not
    // fit its row code, no row that is the same navaid as a row taken before it, and no
    // glideslope, marker or ILS DME whose localizer is neither in the database nor taken.
    void take(const std::deque<AddOnFile>& files);

    // The rows that go in, in the order they were taken, and the cell of each.
    const std::vector<NavaidRecord>& records() const { return records_; }
    const std::vector<CoordinateCell>& cells() const { return cells_; }
    // The rows that do not go in, in the order they were met; twins, then rows left
    // out for want of their localizer, after the others.
    const std::vector<LeftOutRow>& leftOut() const { return leftOut_; }

  private:
    void takeFile(const AddOnFile& file);
    // Leaves out the records that are the same navaid as a record before them.
    void leaveOutTwins();
    // Leaves out glideslopes, markers and ILS DMEs whose localizer is nowhere.
    void leaveOutOrphans();
    // Leaves out each record for which reasonOf(index) gives a reason; the others keep their
    // order.
    template <typename ReasonOf> void leaveOutRecords(ReasonOf&& reasonOf);
    void leaveOut(std::string_view path, std::string_view row, std::string reason,
                  bool wholeFile = false);

    const DatabaseText& database_;
    AirportLookup& airports_;
    std::unique_ptr<RowConverter> converter_; // made for the first row that needs it
    std::deque<std::string> convertedRows_;   // never moved: records point into them
    std::vector<NavaidRecord> records_;
    std::vector<CoordinateCell> cells_;
    std::vector<std::string_view> addOnLines_; // each record's line as its file has it
    std::vector<LeftOutRow> leftOut_;
};
