#include "app/main_window_win32.h"

#include "app/about_dialog_win32.h"
#include "app/go_command_win32.h"
#include "app/preview_command_win32.h"
#include "app/restore_command_win32.h"
#include "app/start_up_win32.h"
#include "res/resource.h"
#include "scenery/custom_airport_scan_win32.h"
#include "scenery/xplane_folder_choice_win32.h"
#include "scenery/xplane_paths.h"
#include "settings/settings.h"
#include "settings/settings_dialog_win32.h"

#include <iterator>
#include <new>
#include <string>

namespace {

struct ChildWindow {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
    int id;
};

// In creation order: the folder label must come first, so that the id it shares with the
// hint label and the Select All button finds it. Its text is composed at creation. Below it
// the database a merge goes into; a long path gives way in its middle. "Preview" stands left
// of "GO!".
constexpr std::size_t kFolderLabel = 0;
constexpr std::size_t kAirportList = 3;
constexpr ChildWindow kChildren[] = {
    {"static", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 4, 320, 15, IDC_LABEL},
    {"static", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 5, 20, 320,
     15, IDC_MERGE_TARGET},
    {"static", "Select Custom Airport('s) for insert to NavAIDs base of X-Plane...",
     WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 36, 320, 15, IDC_LABEL},
    {"listbox", nullptr,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT |
         LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_DISABLENOSCROLL,
     5, 56, 320, 266, IDC_AIRPORT_LIST},
    {"button", "Preview", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 180, 325, 70, 20, IDC_PREVIEW},
    {"button", "GO!", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 255, 325, 70, 20, IDC_GO},
    {"button", "Select All", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_DEFPUSHBUTTON, 5, 325, 70, 20,
     IDC_LABEL},
};

HWND createChild(HWND window, const ChildWindow& child, const char* text) {
    HWND control = CreateWindowExA(
        0, child.className, text, child.style, child.x, child.y, child.width, child.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), appInstance(), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont()), TRUE);
    return control;
}

MainWindowState& stateOf(HWND window) {
    return *mainWindowState(window);
}

// Lists the airports of the X-Plane folder of the settings and shows where a merge goes.
void scanAndShowMergeTarget(HWND window, MainWindowState& state) {
    scanCustomAirports(Settings::instance()->xplaneExePath.c_str(), state.scenery,
                       state.airportList);
    const std::string text = mergeTargetText(state.scenery.mergeTarget);
    SendDlgItemMessageA(window, IDC_MERGE_TARGET, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()));
}

void saveSettingsAndClose(HWND window) {
    if (const FileResult saved = Settings::instance()->save(); !saved) {
        const std::string text = "I can't save the settings!\n" + describe(saved.error());
        MessageBoxA(window, text.c_str(), windowTitle(), MB_OK | MB_ICONWARNING);
    }
    DestroyWindow(window);
}

// "Set X-Plane Folder": lets the user choose X-Plane.exe; then lists the airports of the
// folder chosen in place of the current folder's and shows its path and database. A cancel
// keeps the current folder and its list.
void onSetXPlaneFolder(HWND window, MainWindowState& state) {
    if (!chooseXPlaneFolder(window, windowTitle()))
        return;
    SendDlgItemMessageA(window, IDC_AIRPORT_LIST, LB_RESETCONTENT, 0, 0);
    state.scenery.airports.clear();
    scanAndShowMergeTarget(window, state);
    const std::string label = folderLabelText(Settings::instance()->xplaneExePath);
    SendDlgItemMessageA(window, IDC_LABEL, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.c_str()));
}

// Gives the window its state, deleted at WM_NCDESTROY. Without memory for it the window is
// not created (-1).
LRESULT onCreate(HWND window) {
    MainWindowState* state = new (std::nothrow) MainWindowState;
    if (state == nullptr)
        return -1;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

void onShowWindow(HWND window) {
    scanAndShowMergeTarget(window, stateOf(window));
}

void onCommand(HWND window, int id) {
    MainWindowState& state = stateOf(window);
    switch (id) {
    case IDC_GO:
        runGoCommand(window, state);
        break;
    case IDC_PREVIEW:
        runPreviewCommand(window, state);
        break;
    case IDM_RESTORE_BACKUP:
        runRestoreCommand(window, state.scenery.mergeTarget);
        break;
    case IDM_SET_XPLANE_FOLDER:
        onSetXPlaneFolder(window, state);
        break;
    case IDM_SETTINGS:
        DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), window, settingsDialogProc,
                        0);
        break;
    case IDM_ABOUT:
        DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(IDD_ABOUT), window, aboutDialogProc, 0);
        break;
    case IDM_EXIT:
        saveSettingsAndClose(window);
        break;
    default:
        break;
    }
}

void onNcDestroy(HWND window) {
    delete mainWindowState(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

} // namespace

ATOM registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wcex = {};
    wcex.cbSize = sizeof wcex;
    wcex.style = 0;
    wcex.lpfnWndProc = mainWindowProc;
    wcex.hInstance = instance;
    wcex.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLET));
    wcex.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // Painted in the menu colour.
    wcex.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    wcex.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wcex.lpszClassName = windowClassName();
    wcex.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLET_SMALL));
    return RegisterClassExA(&wcex);
}

bool createMainWindow(HINSTANCE instance, int showCommand) {
    // An overlapped window with a system menu and a minimize box: fixed size, no maximize.
    HWND window = CreateWindowExA(0, windowClassName(), windowTitle(), WS_SYSMENU | WS_MINIMIZEBOX,
                                  80, 100, 340, 400, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return false;

    const std::string label = folderLabelText(Settings::instance()->xplaneExePath);
    MainWindowState& state = stateOf(window);
    for (std::size_t i = 0; i < std::size(kChildren); ++i) {
        const char* text = i == kFolderLabel ? label.c_str() : kChildren[i].text;
        HWND control = createChild(window, kChildren[i], text);
        if (i == kAirportList)
            state.airportList = control;
    }

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

MainWindowState* mainWindowState(HWND mainWindow) {
    return reinterpret_cast<MainWindowState*>(GetWindowLongPtrA(mainWindow, GWLP_USERDATA));
}

int runMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) != 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_SHOWWINDOW:
        onShowWindow(window);
        return 0;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        saveSettingsAndClose(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        onNcDestroy(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
