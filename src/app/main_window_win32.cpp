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

#include <commctrl.h>

#include <iterator>
#include <new>
#include <string>

namespace {

// The window's style: an overlapped window with a system menu and a minimize box, of fixed
// size, no maximize.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Sizes and positions are given for 96 DPI and scaled to the window's DPI.
constexpr UINT kBaseDpi = USER_DEFAULT_SCREEN_DPI;
constexpr int kLeft = 80, kTop = 100, kWidth = 340, kHeight = 400; // at 96 DPI, frame included
constexpr int kFontHeight = 14;

int scaled(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

struct ChildWindow {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
    int id;
};

// In creation order, which is also the order of the window's children: the folder label must
// come first, so that the id it shares with the hint label and the Select All button finds it.
// Its text is composed at creation. Below it the database a merge goes into; a long path gives
// way in its middle, and the line's tooltip shows it whole (SS_NOTIFY lets the tooltip see
// the mouse over it). "Preview" stands left of "GO!".
constexpr std::size_t kFolderLabel = 0;
constexpr std::size_t kAirportList = 3;
constexpr ChildWindow kChildren[] = {
    {"static", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 4, 320, 15, IDC_LABEL},
    {"static", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_PATHELLIPSIS,
     5, 20, 320, 15, IDC_MERGE_TARGET},
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
    return CreateWindowExA(
        0, child.className, text, child.style, child.x, child.y, child.width, child.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), appInstance(), nullptr);
}

MainWindowState& stateOf(HWND window) {
    return *mainWindowState(window);
}

// The per-monitor DPI functions of Windows 10 (1607 on), looked up in user32: Windows 7 and 8
// lack them.
struct PerMonitorDpi {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename Function> Function user32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

const PerMonitorDpi& perMonitorDpi() {
    static const PerMonitorDpi functions{
        user32Function<decltype(PerMonitorDpi::dpiForWindow)>("GetDpiForWindow"),
        user32Function<decltype(PerMonitorDpi::adjustWindowRectForDpi)>(
            "AdjustWindowRectExForDpi")};
    return functions;
}

// The window's DPI; before Windows 10 the system's.
UINT windowDpi(HWND window) {
    if (perMonitorDpi().dpiForWindow != nullptr)
        return perMonitorDpi().dpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

// The window's size at a DPI: its client area at 96 DPI scaled, in the frame and menu bar of
// that DPI, so the client area scales exactly. Before Windows 10, the whole size scaled.
SIZE windowSize(UINT dpi) {
    const auto adjust = perMonitorDpi().adjustWindowRectForDpi;
    if (adjust == nullptr)
        return {scaled(kWidth, dpi), scaled(kHeight, dpi)};
    RECT frame96 = {};
    adjust(&frame96, kWindowStyle, TRUE, 0, kBaseDpi);
    RECT window = {0, 0, scaled(kWidth - (frame96.right - frame96.left), dpi),
                   scaled(kHeight - (frame96.bottom - frame96.top), dpi)};
    adjust(&window, kWindowStyle, TRUE, 0, dpi);
    return {window.right - window.left, window.bottom - window.top};
}

// Arial of the children, its height scaled to the DPI.
HFONT createControlFont(UINT dpi) {
    return CreateFontA(scaled(kFontHeight, dpi), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Arial");
}

// Places the children for the DPI and gives them its font, in place of the one they had.
void layOutChildren(HWND window, MainWindowState& state, UINT dpi) {
    HFONT previous = state.font;
    state.font = createControlFont(dpi);
    HWND child = GetWindow(window, GW_CHILD);
    for (const ChildWindow& layout : kChildren) {
        MoveWindow(child, scaled(layout.x, dpi), scaled(layout.y, dpi), scaled(layout.width, dpi),
                   scaled(layout.height, dpi), TRUE);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), TRUE);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    if (previous != nullptr)
        DeleteObject(previous);
}

// The tooltip of the merge target's line, which shows the whole line however it is cut.
HWND createMergeTargetTooltip(HWND window) {
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    HWND tooltip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, appInstance(), nullptr);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, IDC_MERGE_TARGET));
    tool.lpszText = const_cast<char*>("");
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return tooltip;
}

// The line of the merge target, and its tooltip.
void showMergeTargetLine(HWND window, const MainWindowState& state, const std::string& text) {
    HWND line = GetDlgItem(window, IDC_MERGE_TARGET);
    SetWindowTextA(line, text.c_str());
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(line);
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(state.mergeTargetTooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

// Lists the airports of the X-Plane folder of the settings and shows where a merge goes.
void scanAndShowMergeTarget(HWND window, MainWindowState& state) {
    scanCustomAirports(Settings::instance()->xplaneExePath.c_str(), state.scenery,
                       state.airportList);
    showMergeTargetLine(window, state, mergeTargetText(state.scenery.mergeTarget));
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

// Windows has moved the window to a monitor of another DPI: it takes the size Windows
// suggests, its children are placed anew and get a font of that DPI.
void onDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOutChildren(window, stateOf(window), dpi);
}

// The children are destroyed by now: their font can go. A window whose creation failed has no
// state.
void onNcDestroy(HWND window) {
    MainWindowState* state = mainWindowState(window);
    if (state != nullptr && state->font != nullptr)
        DeleteObject(state->font);
    delete state;
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
    HWND window = CreateWindowExA(0, windowClassName(), windowTitle(), kWindowStyle, kLeft, kTop,
                                  kWidth, kHeight, nullptr, nullptr, instance, nullptr);
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
    // Sized and laid out for the DPI of the monitor the window is on.
    const UINT dpi = windowDpi(window);
    const SIZE size = windowSize(dpi);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOutChildren(window, state, dpi);
    state.mergeTargetTooltip = createMergeTargetTooltip(window);

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
    case WM_DPICHANGED:
        onDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
