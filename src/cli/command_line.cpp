#include "cli/command_line.h"

#include "cli/commands.h"
#include "cli/exit_codes.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <ostream>
#include <utility>
#include <vector>

namespace {
// An option whose value is one of the given words, stored as the value it stands for.
template <typename Value>
CLI::Option* addChoice(CLI::App& command, const std::string& name, std::optional<Value>& value,
                       const std::vector<std::pair<std::string, Value>>& words,
                       const std::string& description) {
    std::string names;
    for (const auto& word : words)
        names += (names.empty() ? "" : "|") + word.first;
    return command
        .add_option_function<std::string>(
            name,
            [&value, &words](const std::string& given) {
                for (const auto& word : words) {
                    if (word.first == given)
                        value = word.second;
                }
            },
            description)
        ->check(CLI::IsMember(words).description(""))
        ->type_name(names);
}

const std::vector<std::pair<std::string, ConflictAction>> kActions = {
    {"skip", ConflictAction::Skip},
    {"replace", ConflictAction::Replace},
    {"ask", ConflictAction::Ask},
};
const std::vector<std::pair<std::string, bool>> kSwitch = {{"on", true}, {"off", false}};
} // namespace

int runCommandLine(const std::vector<std::string>& args, Console& console) {
    CLI::App app("Merges the navaids of X-Plane add-on airports into X-Plane's navaid database.",
                 "quillet");
    app.set_version_flag("--version", "quillet " QUILLET_VERSION);
    app.require_subcommand(1);
    app.footer("Exit codes: 0 done; 1 nothing to do, or an airport that is not listed; 2 a bad "
               "argument or a file that cannot be read; 3 a file that cannot be written. With 2 "
               "and 3 nothing was changed.");

    ListRequest list;
    CLI::App* listCommand = app.add_subcommand(
        "list", "Lists the add-on airports that carry navaid data, one folder name a line.");
    listCommand->add_option("--xplane", list.xplane, "The X-Plane folder")
        ->required()
        ->type_name("DIR");
    listCommand->add_flag("--json", list.json,
                          "A JSON object instead: the database, and each airport's folder name, "
                          "nav.dat path and navaid rows");

    MergeArguments merge;
    CLI::App* mergeCommand = app.add_subcommand(
        "merge", "Backs earth_nav.dat up to earth_nav.dat.bak and merges the airports' navaids "
                 "into it, as the window's GO! does.");
    mergeCommand->add_option("--xplane", merge.xplane, "The X-Plane folder")
        ->required()
        ->type_name("DIR");
    CLI::Option* airports =
        mergeCommand
            ->add_option("AIRPORT", merge.airports,
                         "Add-on airports to merge, by folder name (see quillet list)")
            ->type_name("");
    mergeCommand->add_flag("--all", merge.all, "Merge every add-on airport")->excludes(airports);
    addChoice(*mergeCommand, "--name-conflicts", merge.nameConflicts, kActions,
              "Same NAME, other CALLSIGN: keep the database line, drop it, or ask (default: the "
              "settings file's, else ask)");
    addChoice(*mergeCommand, "--callsign-conflicts", merge.callsignConflicts, kActions,
              "Same CALLSIGN, other NAME: as --name-conflicts");
    addChoice(*mergeCommand, "--distance-restriction", merge.distanceRestriction, kSwitch,
              "Compare only navaids in the same whole-degree cell (default: the settings "
              "file's, else on)");
    mergeCommand->add_flag("--dry-run", merge.dryRun,
                           "Report what the merge would do; write nothing, not even the backup");
    mergeCommand->add_flag("--diff", merge.diff,
                           "A dry run that prints a unified diff of the database instead");

    RestoreRequest restore;
    CLI::App* restoreCommand =
        app.add_subcommand("restore", "Puts earth_nav.dat.bak back in place of earth_nav.dat.");
    restoreCommand->add_option("--xplane", restore.xplane, "The X-Plane folder")
        ->required()
        ->type_name("DIR");

    // The parser would call an unknown command a missing one.
    const auto isCommand = [&args](const CLI::App* command) {
        return command->get_name() == args.front();
    };
    if (!args.empty() && args.front().rfind('-', 0) != 0 &&
        app.get_subcommands(isCommand).empty()) {
        console.err << "quillet: there is no command \"" << args.front()
                    << "\"; the commands are list, merge and restore (see quillet --help)\n";
        return kExitInputError;
    }
    try {
        // The parser takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(error, console.out, console.err); // --help, --version
        console.err << "quillet: " << error.what() << " (see quillet --help)\n";
        return kExitInputError;
    }

    try {
        if (listCommand->parsed())
            return runList(list, console);
        if (mergeCommand->parsed())
            return runMerge(merge, console);
        return runRestore(restore, console);
    } catch (const std::exception& error) {
        // The database is only ever replaced whole, as the last step.
        console.err << "quillet: stopped on an unexpected error: " << error.what() << "\n";
        return kExitWriteError;
    }
}
