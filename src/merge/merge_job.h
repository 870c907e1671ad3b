#pragma once

#include "merge/database_lock.h"
#include "merge/merge_report.h"
#include "merge/merge_screen.h"
#include "scenery/custom_airports.h"
#include "settings/merge_options.h"

#include <chrono>
#include <string>
#include <vector>

// One merge of add-on airports into a navaid database, as every front end runs it.

// A merge writes the merged database; a preview only decides, and writes nothing, not even
// the backup.
enum class JobPurpose { Merge, Preview };

struct MergeRequest {
    std::string databasePath;
    std::vector<CustomAirport> airports; // those to merge, in listing order
    MergeOptions options;
    JobPurpose purpose = JobPurpose::Merge;
    // Where X-Plane's Global Airports apt.dat may be, for the airports of converted rows.
    std::vector<std::string> airportDataPaths = {};
    // How long a merge waits while another merge or restore holds the database.
    std::chrono::milliseconds lockWait = kLockWait;
};

// How a merge ended.
enum class MergeEnd {
    Written,    // the new database is in place, its backup beside it
    Previewed,  // a preview decided everything and wrote nothing
    Stopped,    // a question was answered Stop: the database was not written
    InputError, // the database could not be read or is none to merge into: nothing was changed
    Busy,       // another merge or restore held the database: nothing was changed
    WriteError, // the backup or the new database could not be written: the database is as it was
};

struct MergeOutcome {
    MergeEnd end = MergeEnd::InputError;
    // What it decided, once it has decided (Written, Previewed).
    MergeReport report;
    // A preview's: the database's text as it was read (an 810 database with line feeds for its
    // line ends, later formats as on disk) and the text a merge would write in its place.
    std::string databaseText;
    std::string mergedText;
};

// Runs the merge: loads the airports' nav.dat files (each navaid row once), reads the database
// and refuses one it cannot merge into, backs it up to <database>.bak (a merge only), takes the
// add-on rows in the database's format, decides which database rows give way, and writes the
// new database in the place of the old one in one step. Every failure is shown on the screen,
// and none leaves the database damaged; the previous backup is kept aside until the new
// database is in place, and put back when it cannot be, so a failed write changes nothing.
MergeOutcome runMerge(const MergeRequest& request, const MergeScreen& screen);
