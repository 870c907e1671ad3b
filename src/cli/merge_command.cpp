#include "cli/commands.h"

#include "cli/exit_codes.h"
#include "cli/xplane_argument.h"
#include "cli/terminal_screen.h"
#include "base/folder_listing.h"
#include "base/unified_diff.h"
#include "merge/backup_restore.h"
#include "merge/merge_job.h"
#include "scenery/custom_airport_list.h"
#include "scenery/xplane_paths.h"
#include "settings/settings.h"

#include <algorithm>
#include <ostream>

namespace {
// Marks the airports to merge: all of them, or for each name the first airport in listing
// order with exactly that folder name. False, after saying why, when there is nothing to
// merge or a name is not listed.
bool selectAirports(std::vector<CustomAirport>& airports, const MergeArguments& request,
                    const XPlaneFolder& folder, Console& console) {
    const std::string customScenery = customSceneryPath(folder);
    if (request.all) {
        for (CustomAirport& airport : airports)
            airport.selected = true;
        if (airports.empty())
            console.err << "quillet: there are no add-on airports with navaid data in "
                        << customScenery << "; nothing to do.\n";
        return !airports.empty();
    }
    if (request.airports.empty()) {
        console.err << "quillet: name the add-on airports to merge, or give --all (see quillet "
                       "list).\n";
        return false;
    }
    for (const std::string& name : request.airports) {
        const auto airport =
            std::find_if(airports.begin(), airports.end(),
                         [&name](const CustomAirport& a) { return a.folderName == name; });
        if (airport == airports.end()) {
            console.err << "quillet: there is no add-on airport \"" << name
                        << "\" with navaid data in " << customScenery
                        << " (see quillet list); nothing was changed.\n";
            return false;
        }
        airport->selected = true;
    }
    return true;
}

// The options of the settings file in the current folder (or the defaults, without one),
// with those given on the command line in their place.
MergeOptions optionsOf(const MergeArguments& request) {
    Settings* settings = Settings::instance();
    settings->load();
    MergeOptions options = settings->options;
    options.sameName = request.nameConflicts.value_or(options.sameName);
    options.sameCallsign = request.callsignConflicts.value_or(options.sameCallsign);
    options.distanceRestriction = request.distanceRestriction.value_or(options.distanceRestriction);
    return options;
}

// Says why a conflict that is to be asked about cannot be, when there is no one to ask.
bool canAskWhereNeeded(const MergeArguments& request, const MergeOptions& options,
                       Console& console) {
    if (console.canAsk)
        return true;
    const char* option = nullptr;
    const std::optional<ConflictAction>* given = nullptr;
    if (options.sameName == ConflictAction::Ask) {
        option = "--name-conflicts";
        given = &request.nameConflicts;
    } else if (options.sameCallsign == ConflictAction::Ask) {
        option = "--callsign-conflicts";
        given = &request.callsignConflicts;
    } else {
        return true;
    }
    const char* from = given->has_value()              ? ""
                       : pathExists(kSettingsFileName) ? " (Request in q-config.qcf)"
                                                       : " (the default)";
    console.err << "quillet: " << option << " is ask" << from
                << ", but there is no terminal to ask on; choose skip or replace. Nothing was "
                   "changed.\n";
    return false;
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string mergedSummary(const MergeReport& report, std::size_t airports) {
    return "Merged " + counted(airports, "add-on airport", "add-on airports") + " into " +
           report.databasePath + ": " +
           counted(report.dropped.size(), "database line", "database lines") + " dropped, " +
           counted(report.added.size(), "line", "lines") + " added. The old database is in " +
           backupPathOf(report.databasePath) + ".\n";
}

// Tells which add-on rows were left out and why, beside the output a script reads.
void warnOfLeftOutRows(const MergeReport& report, Console& console) {
    const std::string message = leftOutMessage(report.leftOut);
    if (!message.empty())
        console.err << "quillet: " << message;
}
} // namespace

int runMerge(const MergeArguments& request, Console& console) {
    if (!namesXPlaneFolder(request.xplane, console, "; nothing was changed."))
        return kExitInputError;
    const XPlaneFolder folder = xplaneFolderAt(request.xplane);
    const MergeTarget target = mergeTargetOf(folder);
    if (const std::string refusal = mergeRefusal(target); !refusal.empty()) {
        console.err << "quillet: " << refusal << "\n";
        return kExitInputError;
    }
    std::vector<CustomAirport> airports = listCustomAirports(folder);
    if (!selectAirports(airports, request, folder, console))
        return kExitNothingToDo;
    const MergeOptions options = optionsOf(request);
    if (!canAskWhereNeeded(request, options, console))
        return kExitInputError;

    const MergeRequest job{target.earthNavPath, pickedAirports(airports), options,
                           request.dryRun || request.diff ? JobPurpose::Preview : JobPurpose::Merge,
                           globalAirportDataPaths(folder)};
    TerminalScreen screen(console);
    const MergeOutcome outcome = runMerge(job, screen.screen());
    screen.clearProgress();
    switch (outcome.end) {
    case MergeEnd::Written:
        console.out << mergedSummary(outcome.report, job.airports.size());
        warnOfLeftOutRows(outcome.report, console);
        return kExitSuccess;
    case MergeEnd::Previewed:
        if (request.diff) {
            console.out << unifiedDiff(outcome.databaseText, outcome.mergedText,
                                       target.earthNavPath, target.earthNavPath);
            warnOfLeftOutRows(outcome.report, console);
        } else {
            console.out << reportText(outcome.report); // which lists the rows left out
        }
        return kExitSuccess;
    case MergeEnd::Stopped:
        console.err << "quillet: the input ended before an answer; stopped, " << target.earthNavPath
                    << " was not changed.\n";
        return kExitInputError;
    case MergeEnd::InputError:
        return kExitInputError;
    case MergeEnd::Busy:
        return kExitBusy;
    case MergeEnd::WriteError:
        break;
    }
    return kExitWriteError;
}
