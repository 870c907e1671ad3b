#include "app_fixture.h"

#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

using namespace driver;

std::string menuItemText(HMENU menu, UINT position) {
    char text[100] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(AppTest, RegistersTheClassWithItsMenuIconsAndMenuColouredBackground) {
    start();
    EXPECT_STREQ(windowTitle(), "Quillet");
    EXPECT_STREQ(windowClassName(), "QUILLET");

    WNDCLASSEXA wcex = {};
    wcex.cbSize = sizeof wcex;
    ASSERT_TRUE(GetClassInfoExA(appInstance(), "QUILLET", &wcex));
    EXPECT_EQ(wcex.style, 0u);
    EXPECT_EQ(wcex.lpfnWndProc, mainWindowProc);
    EXPECT_EQ(wcex.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    EXPECT_EQ(wcex.lpszMenuName, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    EXPECT_NE(wcex.hIcon, nullptr);
    EXPECT_NE(wcex.hIconSm, nullptr);
    EXPECT_EQ(wcex.cbClsExtra, 0);
    EXPECT_EQ(wcex.cbWndExtra, 0);

    HMENU menu = GetMenu(mainWindow);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(menuItemText(menu, 0), "&File");
    EXPECT_EQ(menuItemText(menu, 1), "&Help");
    HMENU file = GetSubMenu(menu, 0);
    const struct {
        const char* text;
        UINT id;
    } fileItems[] = {{"Set X-Plane Folder", IDM_SET_XPLANE_FOLDER},
                     {"&Settings", IDM_SETTINGS},
                     {"Restore backup", IDM_RESTORE_BACKUP},
                     {"", 0},
                     {"E&xit", IDM_EXIT}};
    ASSERT_EQ(GetMenuItemCount(file), 5);
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_EQ(menuItemText(file, i), fileItems[i].text);
        EXPECT_EQ(GetMenuItemID(file, static_cast<int>(i)), fileItems[i].id);
    }
    EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    HMENU help = GetSubMenu(menu, 1);
    ASSERT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(menuItemText(help, 0), "&About");
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(IDM_ABOUT));
}

TEST_F(AppTest, MainWindowIsAFixedSizeWindowWithSixChildren) {
    start();
    EXPECT_EQ(windowText(mainWindow), "Quillet");
    const LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP), 0);
    RECT rect;
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(rect.left, 80);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, 340);
    EXPECT_EQ(rect.bottom - rect.top, 400);

    const struct {
        const char* className;
        const char* text;
        LONG style;
        int x, y, width, height, id;
    } children[] = {
        {"Static", "X-Plane folder: C:\\X-Plane\\X-Plane.exe", WS_CHILD | WS_VISIBLE | SS_LEFT, 5,
         4, 320, 15, IDC_LABEL},
        {"Static", "Merging into: C:\\X-Plane\\Resources\\default data\\earth_nav.dat (not found)",
         WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_PATHELLIPSIS, 5, 20, 320,
         15, IDC_MERGE_TARGET},
        {"Static", "Select Custom Airport('s) for insert to NavAIDs base of X-Plane...",
         WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 36, 320, 15, IDC_LABEL},
        {"ListBox", "",
         WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT |
             LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_DISABLENOSCROLL,
         5, 56, 320, 266, IDC_AIRPORT_LIST},
        {"Button", "Preview", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 180, 325, 70, 20, IDC_PREVIEW},
        {"Button", "GO!", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 255, 325, 70, 20, IDC_GO},
        {"Button", "Select All", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_DEFPUSHBUTTON, 5, 325, 70,
         20, IDC_LABEL},
    };
    std::vector<RECT> rects;
    HWND child = GetWindow(mainWindow, GW_CHILD);
    for (const auto& expected : children) {
        SCOPED_TRACE(expected.text);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(className(child), expected.className);
        EXPECT_EQ(windowText(child), expected.text);
        EXPECT_EQ(GetWindowLongA(child, GWL_STYLE), expected.style);
        EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)), state().font);
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, expected.x);
        EXPECT_EQ(r.top, expected.y);
        EXPECT_EQ(r.right - r.left, expected.width);
        // The list box trims its height to whole items.
        if (expected.id == IDC_AIRPORT_LIST) {
            EXPECT_LE(r.bottom - r.top, expected.height);
        } else {
            EXPECT_EQ(r.bottom - r.top, expected.height);
        }
        rects.push_back(r);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    // Nothing overlaps, and everything lies in the client area.
    const RECT client = clientRect(mainWindow);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_LE(rects[i].bottom, client.bottom) << i;
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &rects[i], &rects[j])) << i << " and " << j;
        }
    }
    EXPECT_EQ(listBox(), GetDlgItem(mainWindow, IDC_AIRPORT_LIST));
    // The shared id finds the folder label; the Select All button stays greyed.
    EXPECT_EQ(GetDlgItem(mainWindow, IDC_LABEL), GetWindow(mainWindow, GW_CHILD));
    EXPECT_FALSE(IsWindowEnabled(GetWindow(GetWindow(mainWindow, GW_CHILD), GW_HWNDLAST)));

    LOGFONTA font = {};
    ASSERT_NE(GetObjectA(state().font, sizeof font, &font), 0);
    EXPECT_EQ(font.lfHeight, 14);
    EXPECT_STREQ(font.lfFaceName, "Arial");
}

// ---- The display's DPI

// The children's rectangles in the main window's client area, in creation order.
std::vector<RECT> childRects(HWND window) {
    std::vector<RECT> rects;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        rects.push_back(rectInDialog(window, child));
    return rects;
}

RECT scaledRect(const RECT& rect, int dpi) {
    return {MulDiv(rect.left, dpi, 96), MulDiv(rect.top, dpi, 96), MulDiv(rect.right, dpi, 96),
            MulDiv(rect.bottom, dpi, 96)};
}

// Every child at its 96-DPI place scaled; the list box (the fourth) trims its height to whole
// items of the scaled font, so it may lose up to an item's height.
void expectChildrenScaled(const std::vector<RECT>& rects, const std::vector<RECT>& at96, int dpi) {
    constexpr std::size_t kListBox = 3;
    ASSERT_EQ(rects.size(), at96.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        SCOPED_TRACE(i);
        const RECT expected = scaledRect(at96[i], dpi);
        EXPECT_EQ(rects[i].left, expected.left);
        EXPECT_EQ(rects[i].top, expected.top);
        EXPECT_EQ(rects[i].right, expected.right);
        if (i == kListBox) {
            EXPECT_LE(rects[i].bottom, MulDiv(56 + 266, dpi, 96));
            EXPECT_GT(rects[i].bottom, MulDiv(56 + 266 - 14, dpi, 96));
        } else {
            EXPECT_EQ(rects[i].bottom, expected.bottom);
        }
    }
}

LONG fontHeight(HFONT font) {
    LOGFONTA logFont = {};
    GetObjectA(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}

// Windows moves the window to a monitor of 150 % and back: it takes the size suggested, its
// children move and grow with the DPI and get a font of it, which they all share.
TEST_F(AppTest, MainWindowFollowsADpiChangeWithItsChildrenAndFont) {
    start();
    const std::vector<RECT> at96 = childRects(mainWindow);
    RECT original;
    GetWindowRect(mainWindow, &original);
    for (const auto& [dpi, suggested] :
         {std::pair{144, RECT{60, 70, 567, 666}}, std::pair{96, original}}) {
        SCOPED_TRACE(dpi);
        SendMessageA(mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT window;
        GetWindowRect(mainWindow, &window);
        expectSameRect(window, suggested);
        expectChildrenScaled(childRects(mainWindow), at96, dpi);
        EXPECT_EQ(fontHeight(state().font), MulDiv(14, dpi, 96));
        for (HWND child = GetWindow(mainWindow, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)), state().font);
    }
}

// The DPI Wine gives the programs started while it is set; the value there was before is put
// back when it goes.
class WineDisplayDpi {
  public:
    WineDisplayDpi() {
        DWORD size = sizeof saved_;
        hadValue_ = RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr,
                                 &saved_, &size) == ERROR_SUCCESS;
    }
    WineDisplayDpi(const WineDisplayDpi&) = delete;
    WineDisplayDpi& operator=(const WineDisplayDpi&) = delete;
    ~WineDisplayDpi() {
        if (hadValue_)
            set(saved_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
    }
    bool set(DWORD dpi) const {
        return RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi) ==
               ERROR_SUCCESS;
    }

  private:
    static constexpr const char* kKey = "Control Panel\\Desktop";
    static constexpr const char* kValue = "LogPixels";
    DWORD saved_ = 0;
    bool hadValue_ = false;
};

bool runsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// What the main window of a Quillet.exe started at a DPI measures.
struct MainWindowMeasures {
    SIZE client;
    std::vector<RECT> children;
    RECT window;
    LRESULT listItemHeight; // the list box's font's height
};

// A visible main window of the process.
HWND mainWindowOf(DWORD processId) {
    HWND found = nullptr;
    waitUntil([&] {
        for (HWND window = nullptr;
             (window = FindWindowExA(nullptr, window, "QUILLET", nullptr));) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == processId && IsWindowVisible(window))
                found = window;
        }
        return found != nullptr;
    });
    return found;
}

// Starts Quillet.exe in the start directory, measures its main window and closes it.
MainWindowMeasures measureQuilletWindow(const std::string& startDirectory) {
    std::string program = QUILLET_WINDOW_PROGRAM;
    std::replace(program.begin(), program.end(), '/', '\\');
    program = "Z:" + program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    MainWindowMeasures measures = {};
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        startDirectory.c_str(), &startup, &process)) {
        ADD_FAILURE() << "could not start " << program;
        return measures;
    }
    HWND window = mainWindowOf(process.dwProcessId);
    EXPECT_NE(window, nullptr);
    if (window != nullptr) {
        const RECT client = clientRect(window);
        measures.client = {client.right, client.bottom};
        measures.children = childRects(window);
        GetWindowRect(window, &measures.window);
        measures.listItemHeight =
            sendMessage(GetDlgItem(window, IDC_AIRPORT_LIST), LB_GETITEMHEIGHT, 0, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return measures;
}

// Started at 150 % (144 DPI), the program's main window has the client area of 96 DPI scaled
// by 1.5, its children placed and sized by 1.5, their font 1.5 times as high, and it still
// fits the 1024 x 768 screen.
TEST_F(AppTest, MainWindowStartedAt150PercentIsScaledByOneAndAHalf) {
    if (!runsUnderWine())
        GTEST_SKIP() << "the display's DPI is set through Wine's registry";
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Sim", {{"KSEA Demo", true}});
    writeSettingsFile(xplane.exePath + "\n");
    const WineDisplayDpi displayDpi;
    ASSERT_TRUE(displayDpi.set(96));
    const MainWindowMeasures at96 = measureQuilletWindow(startDirectory);
    ASSERT_TRUE(displayDpi.set(144));
    const MainWindowMeasures at144 = measureQuilletWindow(startDirectory);

    EXPECT_EQ(at96.window.right - at96.window.left, 340);
    EXPECT_EQ(at96.window.bottom - at96.window.top, 400);
    EXPECT_EQ(at144.client.cx, MulDiv(at96.client.cx, 3, 2));
    EXPECT_EQ(at144.client.cy, MulDiv(at96.client.cy, 3, 2));
    EXPECT_EQ(at96.listItemHeight, 14);
    EXPECT_EQ(at144.listItemHeight, 21);
    expectChildrenScaled(at144.children, at96.children, 144);
    EXPECT_LE(at144.window.right, 1024);
    EXPECT_LE(at144.window.bottom, 768);
}

TEST_F(AppTest, StartUpLoadsTheSettingsAndRecordsTheStartDirectory) {
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Sim", {{"KSEA Demo", true}});
    writeSettingsFile(xplane.exePath + "\n1018\n1021\n0\n");
    start();
    const Settings* settings = Settings::instance();
    EXPECT_EQ(settings->startDirectory, startDirectory);
    EXPECT_EQ(settings->options.sameName, ConflictAction::Replace);
    EXPECT_EQ(settings->options.sameCallsign, ConflictAction::Replace);
    EXPECT_FALSE(settings->options.distanceRestriction);
    // The path is read without the line feed of its line.
    EXPECT_EQ(folderLabel(), "X-Plane folder: " + xplane.exePath);
    EXPECT_EQ(listItems(), std::vector<std::string>{"KSEA Demo"});
}

TEST_F(AppTest, CommandsThatAreNotMenuItemsDoNothing) {
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Sim", {{"KSEA Demo", true}});
    writeSettingsFile(xplane.exePath + "\n");
    start();
    DeleteFileA(settingsFilePath().c_str());
    for (WPARAM command : {MAKEWPARAM(IDC_AIRPORT_LIST, LBN_SELCHANGE),
                           MAKEWPARAM(IDC_LABEL, BN_CLICKED), MAKEWPARAM(40000, 0)})
        EXPECT_EQ(SendMessageA(mainWindow, WM_COMMAND, command, 0), 0);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(listItems(), std::vector<std::string>{"KSEA Demo"});
    EXPECT_EQ(table().size(), 1u);
    EXPECT_FALSE(fileExists(settingsFilePath()));
}

// A second main window, on another X-Plane folder, lists that folder's airports alone in a list
// and table of its own; the first keeps its own, also when the second is destroyed.
TEST_F(AppTest, EachMainWindowKeepsItsOwnListAndTable) {
    const FakeXPlane first = makeXPlaneFolder(dir, "First", {{"Alpha", true}, {"Bravo", true}});
    const FakeXPlane second = makeXPlaneFolder(dir, "Second", {{"Zulu", true}});
    writeSettingsFile(first.exePath + "\n");
    start();
    Settings* settings = Settings::instance();
    settings->xplaneExePath = second.exePath;
    ASSERT_TRUE(createMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL));
    HWND other = nullptr;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "QUILLET", nullptr));)
        if (window != mainWindow)
            other = window;
    ASSERT_NE(other, nullptr);
    const MainWindowState* otherState = mainWindowState(other);
    ASSERT_NE(otherState, nullptr);
    EXPECT_NE(otherState, &state());

    EXPECT_EQ(otherState->airportList, GetDlgItem(other, IDC_AIRPORT_LIST));
    EXPECT_EQ(SendMessageA(otherState->airportList, LB_GETCOUNT, 0, 0), 1);
    ASSERT_EQ(otherState->scenery.airports.size(), 1u);
    EXPECT_EQ(otherState->scenery.airports[0].folderName, "Zulu");
    EXPECT_EQ(otherState->scenery.xplaneDirectory, second.directory);

    DestroyWindow(other);
    EXPECT_EQ(listItems(), (std::vector<std::string>{"Alpha", "Bravo"}));
    EXPECT_EQ(tableFolders(), (std::vector<std::string>{"Alpha", "Bravo"}));
    EXPECT_EQ(state().scenery.xplaneDirectory, first.directory);
    EXPECT_EQ(state().scenery.mergeTarget.earthNavPath,
              first.directory + "Resources\\default data\\earth_nav.dat");
}

// Counts how often the settings file appears, at every message boundary of the main
// window, and removes it each time: a second save would make it appear again. Keeps the size
// of the airport table as the window's last message, WM_NCDESTROY, finds it.
struct SaveCounter {
    static inline std::string path;
    static inline int saves = 0;
    static inline WNDPROC original = nullptr;
    static inline std::size_t airportsAtTheEnd = 0;

    static void check() {
        if (fileExists(path)) {
            ++saves;
            contents = readBytes(path);
            DeleteFileA(path.c_str());
        }
    }
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        check();
        if (message == WM_NCDESTROY)
            airportsAtTheEnd = mainWindowState(window)->scenery.airports.size();
        const LRESULT result = CallWindowProcA(original, window, message, wParam, lParam);
        check();
        return result;
    }
    static inline std::string contents;
};

class ClosingTest : public AppTest {
  protected:
    // Starts the program, changes a setting in memory, closes the main window the given way
    // and runs the message loop to its end.
    void closeAndCheckTheSavedFile(const std::function<void(HWND)>& close) {
        const FakeXPlane xplane = makeXPlaneFolder(dir, "Sim", {{"Alpha", true}, {"Bravo", true}});
        writeSettingsFile(xplane.exePath + "\n1018\n1019\n0\n");
        start();
        DeleteFileA(settingsFilePath().c_str());
        Settings::instance()->options.sameCallsign = ConflictAction::Replace;
        // The file goes to the start directory wherever the current directory has moved.
        SetCurrentDirectoryA(dir.path().c_str());

        SaveCounter::path = settingsFilePath();
        SaveCounter::saves = 0;
        SaveCounter::airportsAtTheEnd = 0;
        SaveCounter::original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SaveCounter::proc)));
        close(mainWindow);
        EXPECT_EQ(runMessageLoop(), 0);

        EXPECT_FALSE(IsWindow(mainWindow));
        EXPECT_EQ(SaveCounter::saves, 1);
        EXPECT_EQ(SaveCounter::contents, xplane.exePath + "\r\n\r\n1018\r\n1021\r\n0\r\n");
        // Destroying the window scans nothing more.
        EXPECT_EQ(SaveCounter::airportsAtTheEnd, 2u);
    }
};

TEST_F(ClosingTest, CloseBoxSavesTheSettingsOnceAndEndsTheLoop) {
    closeAndCheckTheSavedFile([](HWND window) { pressCloseBox(window); });
}

TEST_F(ClosingTest, ExitCommandSavesTheSettingsOnceAndEndsTheLoop) {
    closeAndCheckTheSavedFile([](HWND window) { postCommand(window, IDM_EXIT); });
}

TEST_F(AppTest, AboutBoxOpensFromTheHelpMenuOwnedByTheMainWindow) {
    start();
    runMenuCommand(IDM_ABOUT, [&] {
        HWND about = waitForOwnedWindow(mainWindow, "#32770", "About");
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(IsWindowEnabled(mainWindow));
        pressEscape(about);
    });
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

} // namespace

// ---- The database a merge goes into

// A path too long for its line is cut in its middle when drawn, and kept whole in the line's
// text and in its tooltip, which the line itself shows when the mouse rests on it.
TEST_F(AppTest, ALongMergeTargetIsCutInItsMiddleAndShownWholeInTheTooltip) {
    const std::string deep = "Simulators\\Flight simulation\\Laminar Research\\X-Plane 11 Steam";
    const FakeXPlane xplane = makeXPlaneFolder(dir, deep, {{"KSEA Demo", true}});
    dir.writeFile(deep + "\\Resources\\default data\\earth_nav.dat",
                  "I\r\n1100 Version\r\n2  47.6 -122.3 0 362 50 0.0 BF NOLLA NDB\r\n99\r\n");
    writeSettingsFile(xplane.exePath + "\n");
    start();
    const std::string line = "Merging into: " + xplane.directory +
                             "Resources\\default data\\earth_nav.dat (X-Plane 11 format 1100)";
    HWND target = GetDlgItem(mainWindow, IDC_MERGE_TARGET);
    EXPECT_EQ(mergeTargetLine(), line);
    EXPECT_EQ(GetWindowLongA(target, GWL_STYLE) & SS_ELLIPSISMASK, SS_PATHELLIPSIS);

    // Drawn in the line's width and font, the text loses its middle to "...".
    std::string drawn = line;
    drawn.resize(line.size() + 4);
    RECT box = clientRect(target);
    HDC dc = GetDC(target);
    HGDIOBJ previous = SelectObject(dc, state().font);
    DrawTextA(dc, &drawn[0], -1, &box,
              DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(target, dc);
    drawn.resize(std::strlen(drawn.c_str()));
    EXPECT_NE(drawn.find("..."), std::string::npos) << drawn;
    EXPECT_EQ(drawn.substr(0, 14), "Merging into: ");

    HWND tooltip = state().mergeTargetTooltip;
    ASSERT_TRUE(IsWindow(tooltip));
    EXPECT_EQ(className(tooltip), TOOLTIPS_CLASSA);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), mainWindow);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = mainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(target);
    ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
    // TTM_GETTEXTA gives at most 80 bytes: the whole text comes through TTM_GETTEXTW.
    wchar_t text[1000] = {};
    TTTOOLINFOW wideTool = {};
    wideTool.cbSize = sizeof wideTool;
    wideTool.hwnd = mainWindow;
    wideTool.uId = tool.uId;
    wideTool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&wideTool));
    char shown[3000] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, shown, sizeof shown, nullptr, nullptr);
    EXPECT_EQ(std::string(shown), line);
    // The line takes the mouse's messages, which the tooltip watches.
    EXPECT_EQ(GetWindowLongA(target, GWL_STYLE) & SS_NOTIFY, SS_NOTIFY);
}
