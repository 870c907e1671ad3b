#pragma once

#include "cli/console.h"
#include "settings/merge_options.h"

#include <optional>
#include <string>
#include <vector>

// The command line's three commands. Each returns its exit code (cli/exit_codes.h).

struct ListRequest {
    std::string xplane; // the X-Plane folder
    bool json = false;
};
int runList(const ListRequest& request, Console& console);

struct MergeArguments {
    std::string xplane;
    std::vector<std::string> airports; // folder names
    bool all = false;
    // Unset: the settings file's value, else the default.
    std::optional<ConflictAction> nameConflicts;
    std::optional<ConflictAction> callsignConflicts;
    std::optional<bool> distanceRestriction;
    bool dryRun = false;
    bool diff = false; // a dry run that prints a unified diff of the database
};
int runMerge(const MergeArguments& request, Console& console);

struct RestoreRequest {
    std::string xplane;
};
int runRestore(const RestoreRequest& request, Console& console);
