// Merges run from the main window as a user runs them: airports selected in the list, "GO!",
// the progress dialog, conflict prompts answered, "Process is complete!" dismissed; then the
// files on disk are compared byte for byte.
#include "app_fixture.h"
#include "message_sequence.h"

#include "app/main_window_win32.h"
#include "base/file_error.h"
#include "base/file_lock.h"
#include "cli/command_line.h"
#include "scenery/custom_airport_list.h"
#include "merge/database_lock.h"
#include "merge/merge_report.h"
#include "merge/merge_screen_win32.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

using namespace driver;

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// earth_nav.dat in miniature: an NDB and a VOR near Seattle.
const std::string kHeader = "810 Version - data cycle 2026.\n";
const std::string kNdb = "2  47.63252778 -122.38952778      0   362  50    0.000 BF   NOLLA NDB\n";
const std::string kVor =
    "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  SEATTLE VORTAC\n";
const std::string kDatabase = "I\n" + kHeader + kNdb + kVor + "99\n";

// Custom lines. The first three are far from everything; the last two are near the NDB and
// share its NAME or its CALLSIGN. Lower case shows what is written upper-cased.
const std::string kAlpha =
    "2  10.10000000   10.10000000      0   300  50    0.000 AA   alpha ndb\n";
const std::string kBravo =
    "3  20.20000000   20.20000000      0 11000 130    0.000 BB   BRAVO VOR\n";
const std::string kCharlie =
    "2  30.30000000   30.30000000      0   310  50    0.000 CC   CHARLIE NDB\n";
const std::string kSameName =
    "2  47.70000000 -122.40000000      0   362  50    0.000 xy   nolla ndb\n";
const std::string kSameCallsign =
    "2  47.70000000 -122.40000000      0   362  50    0.000 bf   other ndb\n";

std::string navDat(const std::vector<std::string>& lines) {
    std::string text = "I\n810 Version - custom airport\n";
    for (const std::string& line : lines)
        text += line;
    return text + "99\n";
}

// What a merge writes: the header, the database lines kept, every custom line upper-cased.
std::string mergedDatabase(const std::vector<std::string>& kept,
                           const std::vector<std::string>& custom) {
    std::string text = "I\n" + kHeader + "\n";
    for (const std::string& line : kept)
        text += line;
    text += "\n";
    for (const std::string& line : custom)
        text += upper(line) + "\n";
    return text + "\n99\n";
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in the database's folder: what a run leaves beside it, temporary files included.
std::vector<std::string> namesBeside(const std::string& databasePath) {
    return entryNames(std::filesystem::path(databasePath).parent_path());
}
using Names = std::vector<std::string>;

// A message about a file as the program shows it: the text, then the file and the system's
// words for the error code.
std::string fileMessage(const std::string& text, const std::string& path, DWORD error) {
    SetLastError(error);
    return text + "\n" + describe(lastSystemError(path));
}

// The database held open by another program that lets it be read but not replaced.
HANDLE heldDatabase = INVALID_HANDLE_VALUE;

std::string withoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// The ids of a message box's visible buttons, and whether it shows an icon.
std::vector<int> visibleButtons(HWND box) {
    std::vector<int> ids;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Button" && IsWindowVisible(child))
            ids.push_back(GetDlgCtrlID(child));
    return ids;
}
bool showsIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Static" && IsWindowVisible(child) &&
            sendMessage(child, STM_GETICON) != 0)
            return true;
    return false;
}

// ---- What the user does during a run, from the driver thread.

// Dismisses "Process is complete!", owned by the progress dialog, and waits for the dialog
// to close.
void finishRun(HWND progress) {
    HWND box = waitForOwnedWindow(progress, "#32770", "Quillet");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), "Process is complete!");
    EXPECT_EQ(visibleButtons(box), std::vector<int>{IDOK});
    EXPECT_FALSE(showsIcon(box));
    postButtonClick(box, IDOK);
    EXPECT_TRUE(waitForWindowGone(progress));
}

// Reads the list of add-on rows left out, a dialog owned by the progress dialog with the
// whole list in its text box, and closes it with OK. Returns the text, with "\n" line ends.
std::string dismissLeftOutRows(HWND progress) {
    HWND dialog = waitForOwnedWindow(progress, "#32770", "Quillet");
    if (dialog == nullptr || GetDlgItem(dialog, IDC_LONG_TEXT) == nullptr) {
        ADD_FAILURE() << "no list of the rows left out: " << messageBoxText(dialog);
        return {};
    }
    const std::string text = withoutCarriageReturns(controlText(dialog, IDC_LONG_TEXT));
    postButtonClick(dialog, IDOK);
    EXPECT_TRUE(waitForWindowGone(dialog));
    return text;
}

// Dismisses an error of the merge job: caption "Error!", an error icon, no owner window.
void dismissError(const std::string& text) {
    HWND box = waitForWindow("#32770", "Error!");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(visibleButtons(box), std::vector<int>{IDOK});
    EXPECT_TRUE(showsIcon(box));
    postButtonClick(box, IDOK);
    EXPECT_TRUE(waitForWindowGone(box));
}

struct Answer {
    const char* how;
    void (*press)(HWND prompt);
};
const Answer kReplace = {"Replace this String",
                         [](HWND prompt) { postButtonClick(prompt, IDC_REPLACE_STRING); }};
const Answer kSkip = {"Skip this String",
                      [](HWND prompt) { postButtonClick(prompt, IDC_SKIP_STRING); }};
const Answer kEnter = {"Enter", [](HWND prompt) { pressEnter(prompt); }};
// Esc must leave the prompt up: were it to end it, the click after it would go nowhere.
const Answer kEscThenReplace = {"Esc, then Replace this String", [](HWND prompt) {
                                    pressEscape(prompt);
                                    postButtonClick(prompt, IDC_REPLACE_STRING);
                                }};

struct PromptTexts {
    std::string sourcePath, customLine, baseLine;
};

// Answers the conflict prompt, owned by the progress dialog, after checking what it shows.
void answerPrompt(HWND progress, const PromptTexts& expected, const Answer& answer) {
    SCOPED_TRACE(answer.how);
    HWND prompt = waitForOwnedWindow(progress, "#32770", "Quillet");
    ASSERT_NE(prompt, nullptr);
    ASSERT_NE(GetDlgItem(prompt, IDC_SKIP_STRING), nullptr)
        << "not a conflict prompt: " << messageBoxText(prompt);
    EXPECT_EQ(controlText(prompt, IDC_SOURCE_PATH), expected.sourcePath);
    EXPECT_EQ(controlText(prompt, IDC_CUSTOM_LINE), expected.customLine);
    EXPECT_EQ(controlText(prompt, IDC_BASE_LINE), expected.baseLine);
    EXPECT_FALSE(IsWindowEnabled(progress));
    // The progress dialog shows the database line in question.
    EXPECT_EQ(controlText(progress, IDC_STATIC), "Proccesing: " + expected.baseLine + "\n");
    answer.press(prompt);
    EXPECT_TRUE(waitForWindowGone(prompt));
}

struct Airport {
    std::string folder;
    std::vector<std::string> lines;
};

class MergeRunTest : public AppTest {
  protected:
    // Starts the program on a fresh X-Plane folder holding these airports and kDatabase.
    // settings: the three merge options, as lines of the settings file.
    void startWith(const std::vector<Airport>& airports,
                   const std::string& settings = "1017\n1020\n1\n",
                   const std::string& folderName = "X-Plane") {
        std::vector<SceneryFolder> folders;
        for (const Airport& airport : airports)
            folders.push_back({airport.folder, true});
        xplaneFolder = folderName + " " + std::to_string(++starts);
        xplane = makeXPlaneFolder(dir, xplaneFolder, folders);
        for (const Airport& airport : airports)
            writeNavDat(airport);
        databasePath = xplane.directory + "Resources\\default data\\earth_nav.dat";
        writeDatabase(kDatabase);
        writeSettingsFile(xplane.exePath + "\n" + settings);
        start();
    }

    std::string navDatPath(const std::string& folder) const {
        return xplane.directory + "Custom Scenery\\" + folder + "\\Earth nav data\\nav.dat";
    }
    void writeNavDat(const Airport& airport) const {
        dir.writeFile(xplaneFolder + "\\Custom Scenery\\" + airport.folder +
                          "\\Earth nav data\\nav.dat",
                      crlf(navDat(airport.lines)));
    }
    void writeDatabase(const std::string& text) const {
        dir.writeFile(xplaneFolder + "\\Resources\\default data\\earth_nav.dat", crlf(text));
        DeleteFileA((databasePath + ".bak").c_str());
    }
    std::string database() const { return readBytes(databasePath); }
    std::string backup() const { return readBytes(databasePath + ".bak"); }

    // Selects exactly these list items.
    void select(const std::vector<std::string>& folders) const {
        SendMessageA(listBox(), LB_SETSEL, FALSE, -1);
        for (const std::string& folder : folders) {
            const LRESULT item =
                SendMessageA(listBox(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(folder.c_str()));
            ASSERT_GE(item, 0) << folder;
            SendMessageA(listBox(), LB_SETSEL, TRUE, item);
        }
    }

    // The selected marks of the table, by folder name, in table order.
    std::vector<std::string> markedFolders() const {
        std::vector<std::string> marked;
        for (const CustomAirport& airport : table())
            if (airport.selected)
                marked.push_back(airport.folderName);
        return marked;
    }

    // Clicks "GO!" and returns when the merge has ended and its dialog has closed, while
    // driveRun does what the user does during the run, given the progress dialog.
    void pressGo(const std::function<void(HWND progress)>& driveRun) {
        HWND progress = nullptr;
        clickGo([&] {
            progress = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
            ASSERT_NE(progress, nullptr);
            ASSERT_NE(FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr), nullptr)
                << "not the progress dialog: " << messageBoxText(progress);
            EXPECT_FALSE(IsWindowEnabled(mainWindow));
            driveRun(progress);
        });
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_TRUE(IsWindowEnabled(mainWindow));
    }
    // A run that shows nothing but its completion.
    void mergeQuietly() { pressGo(finishRun); }

    void clickGo(const std::function<void()>& driverCall) { pressButton(IDC_GO, driverCall); }
    void pressButton(int id, const std::function<void()>& driverCall) {
        HWND button = GetDlgItem(mainWindow, id);
        runModal([&] { return SendMessageA(button, BM_CLICK, 0, 0); }, driverCall);
    }

    FakeXPlane xplane;
    std::string xplaneFolder;
    std::string databasePath;
    int starts = 0;
};

TEST_F(MergeRunTest, GoWithoutASelectionAsksForOneAndChangesNothing) {
    const struct {
        const char* name;
        std::vector<Airport> airports;
    } cases[] = {
        {"empty list", {}},
        {"nothing selected", {{"Alpha", {kAlpha}}, {"Bravo", {kBravo}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startWith(c.airports);
        // Marks of an earlier run stay as they are.
        if (!table().empty())
            table()[0].selected = true;
        const std::vector<std::string> marked = markedFolders();

        for (int button : {IDC_GO, IDC_PREVIEW}) {
            SCOPED_TRACE(button == IDC_GO ? "GO!" : "Preview");
            pressButton(button, [&] {
                HWND box = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(messageBoxText(box),
                          "Please select from list at least one custom airport!");
                EXPECT_EQ(visibleButtons(box), std::vector<int>{IDOK});
                EXPECT_FALSE(showsIcon(box));
                EXPECT_EQ(FindWindowExA(box, nullptr, PROGRESS_CLASSA, nullptr), nullptr);
                postButtonClick(box, IDOK);
            });
            EXPECT_EQ(markedFolders(), marked);
            EXPECT_EQ(database(), crlf(kDatabase));
            EXPECT_FALSE(fileExists(databasePath + ".bak"));
        }
        stop();
    }
}

TEST_F(MergeRunTest, MergesTheSelectedAirportsInTableOrderAndMarksThemAfreshEachTime) {
    startWith({{"Alpha", {kAlpha}}, {"Bravo", {kBravo}}, {"Charlie", {kCharlie}}});
    // The list is sorted; make the table's order the reverse, as a directory may list it.
    std::sort(table().begin(), table().end(), [](const CustomAirport& a, const CustomAirport& b) {
        return a.folderName > b.folderName;
    });
    ASSERT_EQ(tableFolders(), (std::vector<std::string>{"Charlie", "Bravo", "Alpha"}));

    select({"Alpha", "Charlie"});
    mergeQuietly();
    EXPECT_EQ(markedFolders(), (std::vector<std::string>{"Charlie", "Alpha"}));
    const std::string firstMerge = crlf(mergedDatabase({kNdb, kVor}, {kCharlie, kAlpha}));
    EXPECT_EQ(database(), firstMerge);
    EXPECT_EQ(backup(), crlf(kDatabase));

    // The next GO! unmarks what is no longer selected.
    select({"Bravo"});
    mergeQuietly();
    EXPECT_EQ(markedFolders(), std::vector<std::string>{"Bravo"});
    EXPECT_EQ(database(),
              crlf(mergedDatabase({kNdb, kVor, upper(kCharlie), upper(kAlpha)}, {kBravo})));
    EXPECT_EQ(backup(), firstMerge);
}

TEST_F(MergeRunTest, MergesEverySelectedAirportEvenBeyond512) {
    std::vector<Airport> airports;
    for (int i = 0; i < 520; ++i) {
        char folder[32], line[100];
        std::snprintf(folder, sizeof folder, "Airport %03d", i);
        std::snprintf(line, sizeof line,
                      "2  1.00000000 1.00000000 0 300 50 0.000 A%03d N%03d NDB\n", i, i);
        airports.push_back({folder, {line}});
    }
    startWith(airports);
    SendMessageA(listBox(), LB_SETSEL, TRUE, -1);
    mergeQuietly();

    std::vector<std::string> customLines;
    for (const CustomAirport& airport : table()) {
        EXPECT_TRUE(airport.selected) << airport.folderName;
        const int number = std::atoi(airport.folderName.c_str() + 8);
        customLines.push_back(airports[static_cast<std::size_t>(number)].lines[0]);
    }
    ASSERT_EQ(customLines.size(), 520u);
    EXPECT_EQ(database(), crlf(mergedDatabase({kNdb, kVor}, customLines)));
}

TEST_F(MergeRunTest, ResolvesConflictsAsTheSettingsAndTheAnswersSay) {
    const struct {
        const char* name;
        std::string customLine;
        int sameNameAction, sameCallsignAction;
        std::vector<Answer> answers;
        bool ndbKept;
    } cases[] = {
        {"NAME, Skip", kSameName, 1016, 1019, {}, true},
        {"NAME, Replace", kSameName, 1018, 1019, {}, false},
        {"NAME, Request", kSameName, 1017, 1019, {kReplace}, false},
        {"NAME, Request", kSameName, 1017, 1019, {kSkip}, true},
        {"NAME, Request", kSameName, 1017, 1019, {kEnter}, false},
        {"NAME, Request", kSameName, 1017, 1019, {kEscThenReplace}, false},
        {"CALLSIGN, Skip", kSameCallsign, 1016, 1019, {}, true},
        {"CALLSIGN, Replace", kSameCallsign, 1016, 1021, {}, false},
        {"CALLSIGN, Request", kSameCallsign, 1016, 1020, {kReplace}, false},
        {"CALLSIGN, Request", kSameCallsign, 1016, 1020, {kSkip}, true},
        {"CALLSIGN, Request", kSameCallsign, 1016, 1020, {kEnter}, false},
        {"CALLSIGN, Request", kSameCallsign, 1016, 1020, {kEscThenReplace}, false},
    };
    startWith({{"Conflict Field", {}}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings::instance()->options = mergeOptionsOf(c.sameNameAction, c.sameCallsignAction, 1);
        writeNavDat({"Conflict Field", {c.customLine}});
        writeDatabase(kDatabase);
        select({"Conflict Field"});
        pressGo([&](HWND progress) {
            // Shown as stored: the custom line as read, not yet upper-cased.
            for (const Answer& answer : c.answers)
                answerPrompt(progress, {navDatPath("Conflict Field"), c.customLine, kNdb}, answer);
            finishRun(progress);
        });
        const std::vector<std::string> kept =
            c.ndbKept ? std::vector<std::string>{kNdb, kVor} : std::vector<std::string>{kVor};
        EXPECT_EQ(database(), crlf(mergedDatabase(kept, {c.customLine})));
        EXPECT_EQ(backup(), crlf(kDatabase));
    }
}

TEST_F(MergeRunTest, AfterSkipALaterAirportIsAskedAboutTheSameLine) {
    const std::string second = "2  47.80000000 -122.10000000 0 362 50 0.000 XZ   NOLLA NDB\n";
    startWith({{"First Field", {kSameName}}, {"Second Field", {second}}});
    std::sort(table().begin(), table().end(), [](const CustomAirport& a, const CustomAirport& b) {
        return a.folderName < b.folderName;
    });
    select({"First Field", "Second Field"});
    pressGo([&](HWND progress) {
        answerPrompt(progress, {navDatPath("First Field"), kSameName, kNdb}, kSkip);
        answerPrompt(progress, {navDatPath("Second Field"), second, kNdb}, kReplace);
        finishRun(progress);
    });
    EXPECT_EQ(database(), crlf(mergedDatabase({kVor}, {kSameName, second})));
}

TEST_F(MergeRunTest, FailuresAreReportedAndNeverDamageTheDatabase) {
    // Where the bar stands once Kept Field's nav.dat is loaded: at its characters read, line
    // ends counted as one.
    const int kKeptFileEnd = static_cast<int>(navDat({kAlpha}).size());
    // Each case breaks one file; db is earth_nav.dat's path, gone the nav.dat of Gone Field.
    const struct {
        const char* name;
        void (*prepare)(const std::string& db, const std::string& gone);
        std::string (*error)(const std::string& db, const std::string& gone);
        void (*check)(const std::string& db);
        // What the progress dialog shows when the error does (kept: Kept Field's nav.dat).
        std::string (*status)(const std::string& db, const std::string& kept);
        int position;
        bool written; // only a run that wrote the database ends with "Process is complete!"
    } cases[] = {
        {"\"To\" file missing",
         [](const std::string& db, const std::string&) { DeleteFileA(db.c_str()); },
         [](const std::string& db, const std::string&) {
             return fileMessage("I can't open \"To\" file!", db, ERROR_FILE_NOT_FOUND);
         },
         [](const std::string& db) { EXPECT_EQ(namesBeside(db), Names{}); },
         [](const std::string&, const std::string& kept) {
             return "Loading strings from " + kept + "\n";
         },
         kKeptFileEnd, false},
        {"database of a format newer than X-Plane 12's",
         [](const std::string& db, const std::string&) {
             writeBytes(db, crlf("I\n1300 Version - data cycle 3001\n" + kNdb + "99\n"));
             writeBytes(db + ".bak", "an older backup");
         },
         [](const std::string&, const std::string&) {
             return std::string("earth_nav.dat is in format 1300 (newer than X-Plane 12), which "
                                "this version of Quillet cannot merge; nothing was changed.");
         },
         [](const std::string& db) {
             EXPECT_EQ(readBytes(db), crlf("I\n1300 Version - data cycle 3001\n" + kNdb + "99\n"));
             EXPECT_EQ(readBytes(db + ".bak"), "an older backup");
             EXPECT_EQ(namesBeside(db), (Names{"earth_nav.dat", "earth_nav.dat.bak"}));
         },
         [](const std::string&, const std::string& kept) {
             return "Loading strings from " + kept + "\n";
         },
         kKeptFileEnd, false},
        {"backup blocked by a folder",
         [](const std::string& db, const std::string&) {
             CreateDirectoryA((db + ".bak").c_str(), nullptr);
         },
         [](const std::string& db, const std::string&) {
             return fileMessage("I can't write \".bak\" file!", db + ".bak", ERROR_ACCESS_DENIED);
         },
         [](const std::string& db) {
             EXPECT_EQ(readBytes(db), crlf(kDatabase));
             EXPECT_TRUE(isFolder(db + ".bak"));
             EXPECT_EQ(namesBeside(db), (Names{"earth_nav.dat", "earth_nav.dat.bak"}));
         },
         [](const std::string& db, const std::string&) { return "Writing .bak for " + db + "\n"; },
         1, false},
        {"database held open, so it cannot be replaced",
         [](const std::string& db, const std::string&) {
             heldDatabase = CreateFileA(db.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
             ASSERT_NE(heldDatabase, INVALID_HANDLE_VALUE);
         },
         [](const std::string& db, const std::string&) {
             return fileMessage("I can't write \"To\" file!", db, ERROR_ACCESS_DENIED);
         },
         [](const std::string& db) {
             CloseHandle(heldDatabase);
             heldDatabase = INVALID_HANDLE_VALUE;
             // Nothing changed: the backup the merge made goes again, as none was there before.
             EXPECT_EQ(readBytes(db), crlf(kDatabase));
             EXPECT_EQ(namesBeside(db), Names{"earth_nav.dat"});
         },
         [](const std::string&, const std::string&) { return "Proccesing: " + kVor + "\n"; }, 2,
         false},
        {"\"From\" file gone since the scan",
         [](const std::string&, const std::string& gone) { DeleteFileA(gone.c_str()); },
         [](const std::string&, const std::string& gone) {
             return fileMessage("I can't open \"From\" file!", gone, ERROR_FILE_NOT_FOUND);
         },
         [](const std::string& db) {
             EXPECT_EQ(readBytes(db), crlf(mergedDatabase({kNdb, kVor}, {kAlpha})));
             EXPECT_EQ(readBytes(db + ".bak"), crlf(kDatabase));
         },
         [](const std::string&, const std::string&) { return std::string("Static"); }, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startWith({{"Gone Field", {kBravo}}, {"Kept Field", {kAlpha}}});
        c.prepare(databasePath, navDatPath("Gone Field"));
        select({"Gone Field", "Kept Field"});
        pressGo([&](HWND progress) {
            ASSERT_NE(waitForWindow("#32770", "Error!"), nullptr);
            EXPECT_EQ(controlText(progress, IDC_STATIC),
                      c.status(databasePath, navDatPath("Kept Field")));
            HWND bar = FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr);
            EXPECT_EQ(sendMessage(bar, PBM_GETPOS), c.position);
            dismissError(c.error(databasePath, navDatPath("Gone Field")));
            if (c.written) {
                finishRun(progress);
            } else {
                // A "Process is complete!" box would hold the dialog up until dismissed.
                EXPECT_TRUE(waitForWindowGone(progress));
            }
        });
        c.check(databasePath);
        stop();
    }
}

TEST_F(MergeRunTest, GoWhileAnotherMergeHoldsTheDatabaseIsToldItIsBusyAndChangesNothing) {
    startWith({{"Alpha Field", {kAlpha}}});
    select({"Alpha Field"});
    // Another Quillet, in the middle of its merge, holds the database's lock.
    FileLock other;
    ASSERT_EQ(other.tryLock(databasePath + ".lock"), FileLock::Outcome::Locked);
    pressGo([&](HWND progress) {
        ASSERT_TRUE(waitUntil(
            [&] {
                return controlText(progress, IDC_STATIC) ==
                       "Waiting for another merge or restore to finish with " + databasePath + "\n";
            },
            std::chrono::seconds(4)));
        ASSERT_NE(waitForWindow("#32770", "Error!", std::chrono::seconds(10)), nullptr);
        dismissError(busyMessage(databasePath));
        EXPECT_TRUE(waitForWindowGone(progress));
    });
    EXPECT_EQ(database(), crlf(kDatabase));
    EXPECT_EQ(namesBeside(databasePath), (Names{"earth_nav.dat", "earth_nav.dat.lock"}));
}

TEST_F(MergeRunTest, ReadOnlyFilesAreNamedAndLeftAloneAndTheBackupIsAnOrdinaryFile) {
    startWith({{"Alpha Field", {kAlpha}}});
    select({"Alpha Field"});
    const std::string backupPath = databasePath + ".bak";
    // A run stopped by a read-only file: its error, then the dialog closes.
    const auto refusedRun = [&](const std::string& readOnlyPath) {
        pressGo([&](HWND progress) {
            dismissError(readOnlyPath +
                         " is read-only, so I can't replace it; nothing was changed.");
            EXPECT_TRUE(waitForWindowGone(progress));
        });
        EXPECT_TRUE(isReadOnly(readOnlyPath));
    };

    SetFileAttributesA(databasePath.c_str(), FILE_ATTRIBUTE_READONLY);
    refusedRun(databasePath);
    EXPECT_EQ(database(), crlf(kDatabase));
    EXPECT_EQ(namesBeside(databasePath), Names{"earth_nav.dat"});

    // Writable again, the database is merged, and its backup is an ordinary writable file.
    SetFileAttributesA(databasePath.c_str(), FILE_ATTRIBUTE_NORMAL);
    mergeQuietly();
    const std::string merged = crlf(mergedDatabase({kNdb, kVor}, {kAlpha}));
    EXPECT_EQ(database(), merged);
    EXPECT_EQ(backup(), crlf(kDatabase));
    EXPECT_FALSE(isReadOnly(backupPath));

    SetFileAttributesA(backupPath.c_str(), FILE_ATTRIBUTE_READONLY);
    refusedRun(backupPath);
    EXPECT_EQ(database(), merged);
    EXPECT_EQ(backup(), crlf(kDatabase));
    EXPECT_EQ(namesBeside(databasePath), (Names{"earth_nav.dat", "earth_nav.dat.bak"}));
    SetFileAttributesA(backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(MergeRunTest, TwoMergesInARowEachRunTheirOwnDialogAndGiveTheSameFile) {
    startWith({{"Conflict Field", {kSameName, kAlpha}}}, "1018\n1021\n1\n");
    select({"Conflict Field"});
    mergeQuietly();
    const std::string merged = crlf(mergedDatabase({kVor}, {kSameName, kAlpha}));
    EXPECT_EQ(database(), merged);
    EXPECT_EQ(backup(), crlf(kDatabase));

    mergeQuietly(); // the custom lines, now database lines, are found again as duplicates
    EXPECT_EQ(database(), merged);
    EXPECT_EQ(backup(), merged);
}

// Counts the IDCANCEL commands that reach dialogs of the thread that installs the hooks:
// sent ones (the Cancel button, Esc) and posted ones (a close request).
struct CancelCounter {
    static inline volatile LONG count = 0;
    static void countIfCancel(HWND window, UINT message, WPARAM wParam) {
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && className(window) == "#32770")
            InterlockedIncrement(&count);
    }
    static LRESULT CALLBACK sent(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION)
            countIfCancel(message->hwnd, message->message, message->wParam);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK posted(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE)
            countIfCancel(message->hwnd, message->message, message->wParam);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

TEST_F(MergeRunTest, CancelEscCloseAndHidingDuringARunChangeNothing) {
    startWith({{"Gone Field", {kBravo}}, {"Kept Field", {kAlpha}}});
    DeleteFileA(navDatPath("Gone Field").c_str());
    select({"Gone Field", "Kept Field"});
    CancelCounter::count = 0;
    HHOOK sentHook =
        SetWindowsHookExA(WH_CALLWNDPROC, CancelCounter::sent, nullptr, GetCurrentThreadId());
    HHOOK postedHook =
        SetWindowsHookExA(WH_GETMESSAGE, CancelCounter::posted, nullptr, GetCurrentThreadId());
    ASSERT_NE(sentHook, nullptr);
    ASSERT_NE(postedHook, nullptr);
    pressGo([&](HWND progress) {
        // The worker waits on the "From" error, whose box has no owner: the progress
        // dialog stays enabled and takes the user's input.
        ASSERT_NE(waitForWindow("#32770", "Error!"), nullptr);
        ASSERT_TRUE(IsWindowEnabled(progress));
        clickButton(progress, IDCANCEL);
        pressEscape(progress);
        pressCloseBox(progress);
        EXPECT_TRUE(waitUntil([] { return CancelCounter::count == 3; }));
        // As when its owner is minimised and restored: no second worker starts.
        ShowWindow(progress, SW_HIDE);
        ShowWindow(progress, SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(progress));
        dismissError(fileMessage("I can't open \"From\" file!", navDatPath("Gone Field"),
                                 ERROR_FILE_NOT_FOUND));
        finishRun(progress);
    });
    UnhookWindowsHookEx(sentHook);
    UnhookWindowsHookEx(postedHook);
    EXPECT_EQ(CancelCounter::count, 3);
    EXPECT_EQ(database(), crlf(mergedDatabase({kNdb, kVor}, {kAlpha})));
    EXPECT_EQ(backup(), crlf(kDatabase));
    // A second worker would have reported the gone file once more.
    EXPECT_EQ(waitForWindow("#32770", "Error!", milliseconds(500)), nullptr);
}

// Records, in order, the messages the progress bar gets, the texts the status line gets, and
// the worker's requests that the dialog show the progress now. What the bar and the status
// line get outside the dialog's refreshes (on its timer or a request) is also kept on its own:
// the dialog's set-up, or a message the worker sends them itself. The dialog, its bar and its
// status line are subclassed as the bar is created; a test may withhold the dialog's timer or
// its worker's requests from it. The record is guarded since the driver thread reads it.
class ProgressRecorder {
  public:
    ProgressRecorder(bool withholdTimer, bool withholdRequests) {
        InitializeCriticalSection(&lock);
        messages.clear();
        outsideRefresh.clear();
        withholdTimer_ = withholdTimer;
        withholdRequests_ = withholdRequests;
        hook_ = SetWindowsHookExA(WH_CBT, onCreate, nullptr, GetCurrentThreadId());
    }
    ~ProgressRecorder() {
        UnhookWindowsHookEx(hook_);
        DeleteCriticalSection(&lock);
    }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    bool hooked() const { return hook_ != nullptr; }
    static std::vector<Message> recorded() { return copy(messages); }
    static std::vector<Message> recordedOutsideRefresh() { return copy(outsideRefresh); }

    static inline std::string initialStatus;

  private:
    static std::vector<Message> copy(const std::vector<Message>& record) {
        EnterCriticalSection(&lock);
        std::vector<Message> copied = record;
        LeaveCriticalSection(&lock);
        return copied;
    }
    static void add(const Message& message, bool shown) {
        EnterCriticalSection(&lock);
        messages.push_back(message);
        if (shown && !refreshing)
            outsideRefresh.push_back(message);
        LeaveCriticalSection(&lock);
    }
    static LRESULT CALLBACK dialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const bool timer = message == WM_TIMER;
        if (!timer && message != kShowProgressNow)
            return CallWindowProcA(dialogProc, window, message, wParam, lParam);
        if (timer ? withholdTimer_ : withholdRequests_)
            return 0;
        if (!timer)
            add({message, 0, 0}, false);
        refreshing = true;
        const LRESULT result = CallWindowProcA(dialogProc, window, message, wParam, lParam);
        refreshing = false;
        return result;
    }
    static LRESULT CALLBACK bar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= PBM_SETRANGE && message <= PBM_STEPIT)
            add({message, wParam, lParam}, true);
        return CallWindowProcA(barProc, window, message, wParam, lParam);
    }
    static LRESULT CALLBACK status(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETTEXT)
            add({message, wParam, 0, reinterpret_cast<const char*>(lParam)}, true);
        return CallWindowProcA(statusProc, window, message, wParam, lParam);
    }
    static WNDPROC subclass(HWND window, WNDPROC proc) {
        return reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    }
    static LRESULT CALLBACK onCreate(int code, WPARAM wParam, LPARAM lParam) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND && className(window) == PROGRESS_CLASSA) {
            HWND progress = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent;
            HWND statusLine = FindWindowExA(progress, nullptr, "Static", nullptr);
            initialStatus = windowText(statusLine);
            dialogProc = subclass(progress, dialog);
            barProc = subclass(window, bar);
            statusProc = subclass(statusLine, status);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline CRITICAL_SECTION lock;
    static inline std::vector<Message> messages;
    static inline std::vector<Message> outsideRefresh;
    static inline bool withholdTimer_ = false;
    static inline bool withholdRequests_ = false;
    static inline bool refreshing = false; // the user-interface thread's alone
    static inline WNDPROC dialogProc = nullptr;
    static inline WNDPROC barProc = nullptr;
    static inline WNDPROC statusProc = nullptr;
    HHOOK hook_ = nullptr;
};

Message statusText(const std::string& text, unsigned flags = kRequired) {
    return {WM_SETTEXT, 0, 0, text, flags};
}

// The job never waits for the windows while it works: the dialog shows its progress on a
// timer, and at once when the worker asks, before each question, each error and "Process
// is complete!". The windows show only texts the job set, in its order, and end with its
// last state. (The job's exact operations are checked by the core's tests.)
TEST_F(MergeRunTest, TheDialogShowsTheJobsProgressOnItsTimerAndWhenTheWorkerAsks) {
    startWith({{"Conflict Field", {kSameName}}}, "1017\n1021\n1\n");
    select({"Conflict Field"});
    const ProgressRecorder recorder(false, false);
    ASSERT_TRUE(recorder.hooked());
    std::vector<Message> shownAtCompletion;
    pressGo([&](HWND progress) {
        answerPrompt(progress, {navDatPath("Conflict Field"), kSameName, kNdb}, kReplace);
        ASSERT_NE(waitForOwnedWindow(progress, "#32770", "Quillet"), nullptr);
        shownAtCompletion = ProgressRecorder::recorded();
        finishRun(progress);
    });
    const std::vector<Message> recorded = ProgressRecorder::recorded();
    EXPECT_SEQUENCE(recorded, shownAtCompletion);
    EXPECT_EQ(ProgressRecorder::initialStatus, "Static");

    // Outside its refreshes the windows get only the dialog's own set-up; the worker asks
    // twice: before the question and before "Process is complete!".
    EXPECT_SEQUENCE(
        ProgressRecorder::recordedOutsideRefresh(),
        (std::vector<Message>{{PBM_SETRANGE, 0, MAKELPARAM(0, 100)}, {PBM_SETSTEP, 1, 0}}));
    EXPECT_SEQUENCE(messagesOf(recorded, {kShowProgressNow}),
                    (std::vector<Message>{{kShowProgressNow, 0, 0}, {kShowProgressNow, 0, 0}}));

    // Which texts the timer shows depends on timing; before the question and at the end, the
    // one the job set last.
    EXPECT_SEQUENCE(
        messagesOf(recorded, {WM_SETTEXT}),
        (std::vector<Message>{
            statusText("Loading strings from " + navDatPath("Conflict Field") + "\n", kOptional),
            statusText("Writing .bak for " + databasePath + "\n", kOptional),
            statusText("Loading strings from " + databasePath + "\n", kOptional),
            statusText("Proccesing: \n", kOptional),
            statusText("Proccesing: " + kNdb + "\n", kOptional),
            statusText("Proccesing: " + kVor + "\n"),
        }));
    // The bar ends on the last stage's range, full: the two database lines merged.
    const std::vector<Message> ranges = messagesOf(recorded, {PBM_SETRANGE});
    const std::vector<Message> positions = messagesOf(recorded, {PBM_SETPOS});
    ASSERT_FALSE(ranges.empty());
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(ranges.back().lParam, MAKELPARAM(0, 2));
    EXPECT_EQ(positions.back().wParam, 2u);
    EXPECT_EQ(database(), crlf(mergedDatabase({kVor}, {kSameName})));
}

// Each of the two ways brings the windows up to date on its own: with the timer withheld, the
// worker's requests show the job's state before an error, a question and the end at once;
// with the requests withheld, the timer comes to show it while the user looks.
TEST_F(MergeRunTest, TimerAndRequestsEachShowTheJobsStateAtEachErrorQuestionAndTheEnd) {
    const struct {
        const char* name;
        bool withholdTimer, withholdRequests;
    } cases[] = {{"timer withheld", true, false}, {"requests withheld", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // In table order: one loaded, one gone since the scan, one with a NAME conflict.
        startWith(
            {{"Alpha Field", {kAlpha}}, {"Bravo Field", {kBravo}}, {"Conflict Field", {kSameName}}},
            "1017\n1021\n1\n");
        std::sort(table().begin(), table().end(),
                  [](const CustomAirport& a, const CustomAirport& b) {
                      return a.folderName < b.folderName;
                  });
        DeleteFileA(navDatPath("Bravo Field").c_str());
        select({"Alpha Field", "Bravo Field", "Conflict Field"});
        const ProgressRecorder recorder(c.withholdTimer, c.withholdRequests);
        ASSERT_TRUE(recorder.hooked());
        pressGo([&](HWND progress) {
            HWND bar = FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr);
            auto expectShown = [&](const std::string& text, int position) {
                auto shown = [&] {
                    return controlText(progress, -1) == text &&
                           sendMessage(bar, PBM_GETPOS) == position;
                };
                EXPECT_TRUE(c.withholdRequests ? waitUntil(shown) : shown())
                    << "shown: " << controlText(progress, -1) << " at "
                    << sendMessage(bar, PBM_GETPOS);
            };
            // The first airport loaded: the bar at its characters read, line ends counted as one.
            ASSERT_NE(waitForWindow("#32770", "Error!"), nullptr);
            expectShown("Loading strings from " + navDatPath("Alpha Field") + "\n",
                        static_cast<int>(navDat({kAlpha}).size()));
            dismissError(fileMessage("I can't open \"From\" file!", navDatPath("Bravo Field"),
                                     ERROR_FILE_NOT_FOUND));
            // The question is about the first database line, before it is counted.
            HWND prompt = waitForOwnedWindow(progress, "#32770", "Quillet");
            ASSERT_NE(prompt, nullptr);
            expectShown("Proccesing: " + kNdb + "\n", 0);
            postButtonClick(prompt, IDC_REPLACE_STRING);
            ASSERT_TRUE(waitForWindowGone(prompt));
            ASSERT_NE(waitForOwnedWindow(progress, "#32770", "Quillet"), nullptr);
            expectShown("Proccesing: " + kVor + "\n", 2);
            finishRun(progress);
        });
        EXPECT_EQ(database(), crlf(mergedDatabase({kVor}, {kAlpha, kSameName})));
        stop();
    }
}

TEST_F(MergeRunTest, ProgressDialogIsASmallCaptionedWindowWithItsBarBelowTheStatusLine) {
    startWith({{"Alpha", {kAlpha}}});
    select({"Alpha"});
    pressGo([&](HWND progress) {
        // Checked while "Process is complete!" keeps the dialog up.
        ASSERT_NE(waitForOwnedWindow(progress, "#32770", "Quillet"), nullptr);
        EXPECT_EQ(GetWindow(progress, GW_OWNER), mainWindow);
        const LONG style = GetWindowLongA(progress, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME),
                  WS_POPUP | WS_CAPTION | DS_MODALFRAME);
        EXPECT_EQ(style & WS_SYSMENU, 0);
        const LONG exStyle = GetWindowLongA(progress, GWL_EXSTYLE);
        EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE),
                  WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE);
        EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
        expectSameRect(clientRect(progress), dialogUnitsRect(progress, 0, 0, 263, 65));

        const struct {
            const char* className;
            const char* text;
            int id;
            LONG style;
            RECT rect; // the template's x, y, width, height; the bar's pixel rectangle
            bool inDialogUnits;
        } controls[] = {
            {"Button",
             "Cancel",
             IDCANCEL,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
             {206, 44, 50, 14},
             true},
            {"Static",
             nullptr,
             IDC_STATIC,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX,
             {7, 7, 249, 9},
             true},
            {PROGRESS_CLASSA, "ProgressBar", 0, WS_CHILD | WS_VISIBLE, {10, 35, 385, 55}, false},
        };
        HWND control = GetWindow(progress, GW_CHILD);
        for (const auto& expected : controls) {
            SCOPED_TRACE(expected.className);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(className(control), expected.className);
            if (expected.text != nullptr) {
                EXPECT_EQ(windowText(control), expected.text);
            }
            EXPECT_EQ(GetDlgCtrlID(control), expected.id);
            EXPECT_EQ(GetWindowLongA(control, GWL_STYLE), expected.style);
            EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
            const RECT& r = expected.rect;
            expectSameRect(rectInDialog(progress, control),
                           expected.inDialogUnits
                               ? dialogUnitsRect(progress, r.left, r.top, r.right, r.bottom)
                               : r);
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);
        // The status line shows the last database line, the bar the end of its range.
        EXPECT_EQ(controlText(progress, IDC_STATIC), "Proccesing: " + kVor + "\n");
        HWND bar = FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr);
        EXPECT_EQ(sendMessage(bar, PBM_GETPOS), 2);
        finishRun(progress);
    });
}

// An X-Plane 12 folder: a 1200 default database, with or without a navdata update's
// Custom Data\earth_nav.dat, which X-Plane 12 then reads instead. An add-on in 1200 and one in
// 810: the 810 rows go in as 1200 rows, or are left out and told.
TEST_F(MergeRunTest, MergesIntoTheDatabaseXPlane12ReadsInItsFormat) {
    const std::string header = "1200 Version - data cycle 2301, build 20230101.\n";
    const std::string vor =
        "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE VORTAC\n";
    const std::string localizer =
        "4  47.42939200 -122.30805600    338 11030  18 58140.343 ISNQ KSEA K1 16L ILS-cat-I\n";
    const std::string gls = "15 47.44000000 -122.31000000 369 20000 30 0.000 G16L KSEA K1 GLS\n";
    const std::string original = "I\n" + header + vor + localizer + gls + "99\n";
    const std::string ndb1200 =
        "2  47.39000000 -122.29500000      0   396  25    0.000 TC   ENRT K1 Tacoma NDB\n";
    const std::string ltp1200 = "16 47.46 -122.30 369 0 0 180.343 R16L KSEA K1 W16L LPV\n";
    const std::string localizer810 =
        "4  47.44000000 -122.31000000    338 11050  18  180.000 isez KSEA 16C ILS-cat-I\n";
    const std::string marker810 = "9  47.45 -122.31 0 0 0 340.000 ---- KXXX 34 IM\n";
    const std::string converted =
        "4  47.44000000 -122.31000000    338 11050  18  58140.000 ISEZ KSEA K1 16C ILS-cat-I\n";

    for (const bool update : {false, true}) {
        SCOPED_TRACE(update ? "with Custom Data\\earth_nav.dat" : "without");
        xplaneFolder = "X-Plane 12 " + std::to_string(++starts);
        xplane = makeXPlaneFolder(dir, xplaneFolder, {{"A 1200", true}, {"B 810", true}});
        dir.writeFile(xplaneFolder + "\\Custom Scenery\\A 1200\\Earth nav data\\nav.dat",
                      "I\n1200 Version\n" + ndb1200 + ltp1200 + "99\n");
        dir.writeFile(xplaneFolder + "\\Custom Scenery\\B 810\\Earth nav data\\nav.dat",
                      crlf("I\n810 Version\n" + localizer810 + marker810 + "99\n"));
        const std::string defaultPath = dir.writeFile(
            xplaneFolder + "\\Resources\\default data\\earth_nav.dat", crlf(original));
        // The update's file has LF line ends; each file keeps its own.
        const std::string updated = "I\n" + header + "\n" + localizer + vor + "99\n";
        if (update)
            dir.writeFile(xplaneFolder + "\\Custom Data\\earth_nav.dat", updated);
        const std::string target =
            update ? xplane.directory + "Custom Data\\earth_nav.dat" : defaultPath;
        writeSettingsFile(xplane.exePath + "\n1017\n1020\n1\n");
        start();
        EXPECT_EQ(mergeTargetLine(), "Merging into: " + target + " (X-Plane 12 format 1200)");
        std::sort(table().begin(), table().end(),
                  [](const CustomAirport& a, const CustomAirport& b) {
                      return a.folderName < b.folderName;
                  });

        select({"A 1200", "B 810"});
        pressGo([&](HWND progress) {
            EXPECT_EQ(dismissLeftOutRows(progress),
                      "These add-on rows were not merged:\n\n" + navDatPath("A 1200") + "\n  " +
                          ltp1200.substr(0, ltp1200.size() - 1) +
                          "\n    Quillet does not merge rows of code 16\n\n" + navDatPath("B 810") +
                          "\n  " + marker810.substr(0, marker810.size() - 1) +
                          "\n    no localizer of KXXX runway 34 to take the marker's identifier "
                          "from\n");
            finishRun(progress);
        });
        if (update) {
            EXPECT_EQ(readBytes(defaultPath), crlf(original)); // X-Plane does not read it
            EXPECT_FALSE(fileExists(defaultPath + ".bak"));
            EXPECT_EQ(readBytes(target),
                      "I\n" + header + "\n" + localizer + vor + ndb1200 + converted + "99\n");
            EXPECT_EQ(readBytes(target + ".bak"), updated);
        } else {
            EXPECT_EQ(readBytes(target),
                      crlf("I\n" + header + vor + localizer + gls + ndb1200 + converted + "99\n"));
            EXPECT_EQ(readBytes(target + ".bak"), crlf(original));
        }
        stop();
    }
}

// A merge that leaves out hundreds of add-on rows lists every one of them in a resizable
// dialog that fits the screen, whose text the user can select and copy.
TEST_F(MergeRunTest, HundredsOfRowsLeftOutAreListedWholeInADialogThatFitsTheScreen) {
    xplaneFolder = "X-Plane 12 " + std::to_string(++starts);
    xplane = makeXPlaneFolder(dir, xplaneFolder, {{"Approaches", true}});
    const std::string vor =
        "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE VORTAC\n";
    databasePath = dir.writeFile(xplaneFolder + "\\Resources\\default data\\earth_nav.dat",
                                 "I\n1200 Version - data cycle 2301.\n" + vor + "99\n");
    std::string addOn = "I\n1200 Version\n";
    std::vector<LeftOutRow> rows;
    for (int i = 0; i < 300; ++i) {
        const std::string row = "16 47." + std::to_string(100 + i) +
                                " -122.30 369 0 0 180.343 R16L K" + std::to_string(1000 + i) +
                                " K1 W16L LPV";
        addOn += row + "\n";
        rows.push_back(
            {navDatPath("Approaches"), row, "Quillet does not merge rows of code 16", false});
    }
    dir.writeFile(xplaneFolder + "\\Custom Scenery\\Approaches\\Earth nav data\\nav.dat",
                  addOn + "99\n");
    writeSettingsFile(xplane.exePath + "\n1017\n1020\n1\n");
    start();
    select({"Approaches"});
    pressGo([&](HWND progress) {
        HWND dialog = waitForOwnedWindow(progress, "#32770", "Quillet");
        ASSERT_NE(dialog, nullptr);
        HWND text = GetDlgItem(dialog, IDC_LONG_TEXT);
        ASSERT_NE(text, nullptr) << messageBoxText(dialog);
        EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & WS_THICKFRAME, WS_THICKFRAME);
        EXPECT_EQ(GetWindowLongA(text, GWL_STYLE) &
                      (ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL),
                  ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL);
        const std::string shown = windowText(text);
        EXPECT_EQ(withoutCarriageReturns(shown), leftOutMessage(rows));
        EXPECT_GE(sendMessage(text, EM_GETLINECOUNT), 600);

        // Within the work area of the 1024 x 768 screen.
        RECT work, window;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(dialog, &window);
        EXPECT_GE(window.left, work.left);
        EXPECT_GE(window.top, work.top);
        EXPECT_LE(window.right, std::min(work.right, 1024L));
        EXPECT_LE(window.bottom, std::min(work.bottom, 768L));

        // Selected whole or in part, and copied.
        DWORD start = 1, end = 0;
        sendMessage(text, EM_SETSEL, 0, -1);
        sendMessage(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                    reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, shown.size());
        const std::string firstLine = "These add-on rows were not merged:";
        sendMessage(text, EM_SETSEL, 0, static_cast<LPARAM>(firstLine.size()));
        sendMessage(text, WM_COPY);
        ASSERT_TRUE(OpenClipboard(nullptr));
        const HANDLE copied = GetClipboardData(CF_TEXT);
        EXPECT_EQ(std::string(copied ? static_cast<const char*>(GlobalLock(copied)) : ""),
                  firstLine);
        if (copied)
            GlobalUnlock(copied);
        CloseClipboard();

        // Made smaller, the text box and OK keep their margins to the dialog's edges.
        HWND ok = GetDlgItem(dialog, IDOK);
        const RECT client = clientRect(dialog);
        const RECT okBefore = rectInDialog(dialog, ok);
        const RECT textBefore = rectInDialog(dialog, text);
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left - 150,
                     window.bottom - window.top - 100, SWP_NOMOVE | SWP_NOZORDER);
        const RECT smaller = clientRect(dialog);
        const RECT okAfter = rectInDialog(dialog, ok);
        const RECT textAfter = rectInDialog(dialog, text);
        EXPECT_EQ(smaller.right, client.right - 150);
        EXPECT_EQ(smaller.bottom, client.bottom - 100);
        EXPECT_EQ(client.right - okBefore.right, smaller.right - okAfter.right);
        EXPECT_EQ(client.bottom - okBefore.bottom, smaller.bottom - okAfter.bottom);
        EXPECT_EQ(okAfter.right - okAfter.left, okBefore.right - okBefore.left);
        EXPECT_EQ(textAfter.left, textBefore.left);
        EXPECT_EQ(textAfter.top, textBefore.top);
        EXPECT_EQ(textAfter.right, textBefore.right - 150);
        EXPECT_EQ(textAfter.bottom, textBefore.bottom - 100);

        postButtonClick(dialog, IDOK);
        EXPECT_TRUE(waitForWindowGone(dialog));
        finishRun(progress);
    });
    EXPECT_EQ(database(), "I\n1200 Version - data cycle 2301.\n" + vor + "99\n");
}

// ---- Preview, Restore backup, and the command line beside the window

// The airports of the table in the order in which NTFS lists their folders, as on Windows; the
// command line lists them in that order everywhere.
void sortTableAsWindowsListsIt(std::vector<CustomAirport>& table) {
    std::sort(table.begin(), table.end(), [](const CustomAirport& a, const CustomAirport& b) {
        return listsBefore(a.folderName, b.folderName);
    });
}

struct CommandLineRun {
    int code;
    std::string out, err;
};

// `quillet ARGS...` in-process, on a terminal whose user types answers; it reads the settings
// file in the current folder, the window's start folder.
CommandLineRun runQuillet(const std::vector<std::string>& args, const std::string& answers) {
    std::ostringstream out, err;
    std::istringstream in(answers);
    Console console{out, err, in, true, false};
    const int code = runCommandLine(args, console);
    return {code, out.str(), err.str()};
}

// Three airports whose lines, merged in table order, meet the NDB first as a CALLSIGN conflict
// (asked about, answered Skip) and then as a NAME conflict (Replace).
const std::vector<Airport> kThreeAirports = {
    {"Conflict Field", {kSameName, kAlpha}},
    {"bravo field", {kBravo, kSameCallsign}},
    {"Charlie", {kCharlie}},
};
const std::string kReplaceAndRequest = "1018\n1020\n1\n";

TEST_F(MergeRunTest, TheCommandLineMergesByteForByteAsGoDoes) {
    startWith(kThreeAirports, kReplaceAndRequest);
    sortTableAsWindowsListsIt(table());
    SendMessageA(listBox(), LB_SETSEL, TRUE, -1);
    pressGo([&](HWND progress) {
        answerPrompt(progress, {navDatPath("bravo field"), kSameCallsign, kNdb}, kSkip);
        finishRun(progress);
    });
    const std::string byWindow = database();
    const std::string backupByWindow = backup();
    ASSERT_EQ(byWindow,
              crlf(mergedDatabase({kVor}, {kBravo, kSameCallsign, kCharlie, kSameName, kAlpha})));

    writeDatabase(kDatabase);
    const CommandLineRun run = runQuillet({"merge", "--xplane", xplane.directory, "--all"}, "s\n");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(database(), byWindow);
    EXPECT_EQ(backup(), backupByWindow);
    EXPECT_NE(run.err.find("String from Custom Scenery " + navDatPath("bravo field")),
              std::string::npos)
        << run.err;
}

TEST_F(MergeRunTest, FoldersNamedInAnyScriptAreListedMergedRestoredAndRemembered) {
    // The program's manifest makes UTF-8 the code page of every ANSI call.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    const std::string tokyo = "RJTT \xE6\x9D\xB1\xE4\xBA\xAC\xE5\x9B\xBD\xE9\x9A\x9B";
    const std::string moscow =
        "UUEE \xD0\xA8\xD0\xB5\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD1\x82\xD1\x8C\xD0"
        "\xB5\xD0\xB2\xD0\xBE";
    startWith({{moscow, {kAlpha}}, {tokyo, {kCharlie}}}, "1017\n1020\n1\n",
              "X-Plane 12 \xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7\xD0\xBE\xD0\xB2\xD0\xB0"
              "\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C \xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(folderLabel(), "X-Plane folder: " + xplane.exePath);
    sortTableAsWindowsListsIt(table());
    EXPECT_EQ(tableFolders(), (std::vector<std::string>{tokyo, moscow}));
    std::vector<std::string> items = listItems();
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{tokyo, moscow}));

    select({moscow, tokyo});
    mergeQuietly();
    const std::string merged = database();
    EXPECT_EQ(merged, crlf(mergedDatabase({kNdb, kVor}, {kCharlie, kAlpha})));
    EXPECT_EQ(backup(), crlf(kDatabase));

    // The command line takes and gives the same names, in UTF-8.
    const CommandLineRun list = runQuillet({"list", "--xplane", xplane.directory}, "");
    EXPECT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out, tokyo + "\n" + moscow + "\n");
    const CommandLineRun restore = runQuillet({"restore", "--xplane", xplane.directory}, "");
    EXPECT_EQ(restore.code, 0) << restore.err;
    EXPECT_EQ(database(), crlf(kDatabase));
    const CommandLineRun merge =
        runQuillet({"merge", "--xplane", xplane.directory, moscow, "--name-conflicts", "skip",
                    "--callsign-conflicts", "skip"},
                   "");
    EXPECT_EQ(merge.code, 0) << merge.err;
    EXPECT_NE(merge.out.find(databasePath), std::string::npos) << merge.out;

    // The settings file keeps the path in UTF-8, and the next start finds the folder again.
    stop();
    EXPECT_EQ(readBytes(settingsFilePath()).substr(0, xplane.exePath.size()), xplane.exePath);
    start();
    EXPECT_EQ(folderLabel(), "X-Plane folder: " + xplane.exePath);
    EXPECT_EQ(table().size(), 2u);
}

TEST_F(MergeRunTest, ASettingsFileOfTheAnsiCodePageIsReadAsItMeant) {
    // Written by an earlier Quillet in the system's code page (Windows-1252 here): "Jürgen".
    const std::string utf8Name = "X-Plane J\xC3\xBCrgen";
    startWith({{"Alpha", {kAlpha}}}, "1017\n1020\n1\n", utf8Name);
    stop();
    std::string ansiPath = xplane.exePath;
    ansiPath.replace(ansiPath.find("J\xC3\xBC"), 3, "J\xFC");
    writeSettingsFile(ansiPath + "\n1017\n1020\n1\n");
    start();
    EXPECT_EQ(folderLabel(), "X-Plane folder: " + xplane.exePath);
    EXPECT_EQ(tableFolders(), std::vector<std::string>{"Alpha"});
}

TEST_F(MergeRunTest, PreviewShowsTheCommandLinesDryRunReportAndWritesNothing) {
    startWith(kThreeAirports, kReplaceAndRequest);
    sortTableAsWindowsListsIt(table());
    SendMessageA(listBox(), LB_SETSEL, TRUE, -1);
    std::string shown;
    pressButton(IDC_PREVIEW, [&] {
        // The question comes first, owned by the main window: there is no progress dialog.
        HWND prompt = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
        ASSERT_NE(prompt, nullptr);
        ASSERT_NE(GetDlgItem(prompt, IDC_SKIP_STRING), nullptr) << messageBoxText(prompt);
        EXPECT_EQ(controlText(prompt, IDC_SOURCE_PATH), navDatPath("bravo field"));
        EXPECT_EQ(controlText(prompt, IDC_CUSTOM_LINE), kSameCallsign);
        EXPECT_EQ(controlText(prompt, IDC_BASE_LINE), kNdb);
        EXPECT_FALSE(IsWindowEnabled(mainWindow));
        postButtonClick(prompt, IDC_SKIP_STRING);
        EXPECT_TRUE(waitForWindowGone(prompt));

        HWND preview = waitForOwnedWindow(mainWindow, "#32770", "Preview");
        ASSERT_NE(preview, nullptr);
        HWND text = GetDlgItem(preview, IDC_LONG_TEXT);
        ASSERT_NE(text, nullptr);
        const LONG style = GetWindowLongA(text, GWL_STYLE);
        EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL),
                  ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL);
        EXPECT_EQ(focusedWindow(preview), GetDlgItem(preview, IDOK));
        shown = windowText(text);
        EXPECT_EQ(database(), crlf(kDatabase)); // nothing written while it is up
        pressEscape(preview);
        EXPECT_TRUE(waitForWindowGone(preview));
    });
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
    EXPECT_EQ(database(), crlf(kDatabase));
    EXPECT_EQ(namesBeside(databasePath), Names{"earth_nav.dat"});

    const CommandLineRun run =
        runQuillet({"merge", "--xplane", xplane.directory, "--all", "--dry-run"}, "s\n");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(withoutCarriageReturns(shown), run.out);
    EXPECT_NE(run.out.find("why      NAME conflict (same NAME, other CALLSIGN): setting Replace"),
              std::string::npos)
        << run.out;
}

TEST_F(MergeRunTest, RestoreBackupAsksFirstThenPutsTheBackupBackExactly) {
    startWith({{"Alpha", {kAlpha}}});
    select({"Alpha"});
    mergeQuietly();
    const std::string merged = database();
    ASSERT_EQ(backup(), crlf(kDatabase));

    // Answers the question, then checks what the result box says.
    const auto restore = [&](int answer, const std::string& result, const char* caption) {
        runMenuCommand(IDM_RESTORE_BACKUP, [&] {
            HWND question = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(messageBoxText(question), "Put the backup " + databasePath +
                                                    ".bak back in place of " + databasePath + "?");
            EXPECT_EQ(visibleButtons(question), (std::vector<int>{IDYES, IDNO}));
            postButtonClick(question, answer);
            EXPECT_TRUE(waitForWindowGone(question));
            if (result.empty())
                return;
            HWND box = waitForOwnedWindow(mainWindow, "#32770", caption);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(messageBoxText(box), result);
            postButtonClick(box, IDOK);
        });
    };
    restore(IDNO, "", nullptr);
    EXPECT_EQ(database(), merged);

    restore(IDYES, "Restored " + databasePath + " from " + databasePath + ".bak.", "Quillet");
    EXPECT_EQ(database(), crlf(kDatabase));
    EXPECT_EQ(backup(), crlf(kDatabase));
    EXPECT_FALSE(fileExists(databasePath + ".before-restore"));

    DeleteFileA((databasePath + ".bak").c_str());
    restore(IDYES, "There is no backup " + databasePath + ".bak to restore; nothing was changed.",
            "Error!");
    EXPECT_EQ(database(), crlf(kDatabase));
}

} // namespace
