#pragma once

// Helpers for tests that drive the program's real windows under Wine or Windows: find
// windows of any thread of this process, read and press their controls, type Enter or
// Escape as the dialog manager sees them, run a modal call while a second thread drives it,
// and save a window's pixels as a bitmap file. Scratch folders and files: test_files.h.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace driver {

using std::chrono::milliseconds;
inline constexpr milliseconds kDefaultTimeout{15000};

// Polls cond until it holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()>& cond, milliseconds timeout = kDefaultTimeout);

// A visible top-level window of this process with this class and caption (nullptr for
// "any caption"), created by any thread. Returns nullptr when none appeared in time.
HWND waitForWindow(const char* className, const char* caption,
                   milliseconds timeout = kDefaultTimeout);
// As waitForWindow, but the window must be owned by owner (dialogs, message boxes).
HWND waitForOwnedWindow(HWND owner, const char* className, const char* caption,
                        milliseconds timeout = kDefaultTimeout);
// Waits until the window is destroyed or hidden.
bool waitForWindowGone(HWND window, milliseconds timeout = kDefaultTimeout);

// A window's text; safe on windows of a busy thread (gives up after a second).
std::string windowText(HWND window);
std::string controlText(HWND dialog, int controlId);
std::string className(HWND window);
// The text of a message box (its static text control).
std::string messageBoxText(HWND messageBox);

// Sends a message to a window of any thread and waits for the answer, at most timeout.
LRESULT sendMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                    milliseconds timeout = kDefaultTimeout);

// The window that has the keyboard focus in the thread of window, or nullptr.
HWND focusedWindow(HWND window);

// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE of a button control.
int checkState(HWND dialog, int controlId);

// Presses a button as a mouse click would (BM_CLICK) and returns once its owner has handled
// the click. Only for buttons whose click does not open a modal window.
void clickButton(HWND dialog, int controlId);
// Presses a button (BM_CLICK) without waiting: for buttons that open a modal window or
// close their dialog.
void postButtonClick(HWND dialog, int controlId);
// Posts WM_COMMAND with the id (notification 0), as a menu item or accelerator does.
void postCommand(HWND window, int commandId);

// Types a key (WM_KEYDOWN + WM_KEYUP) into the window that has the keyboard focus in the
// thread of window, or into window itself when that thread has no focus window. In a dialog
// the dialog manager turns Enter into the default button's command and Escape into IDCANCEL.
void pressKey(HWND window, UINT virtualKey);
inline void pressEnter(HWND window) {
    pressKey(window, VK_RETURN);
}
inline void pressEscape(HWND window) {
    pressKey(window, VK_ESCAPE);
}
// The caption's close button (WM_SYSCOMMAND SC_CLOSE).
void pressCloseBox(HWND window);

// Runs modalCall on this thread while driverCall runs on a second thread, and returns
// modalCall's result. If the driver returns (or fails an assertion) and the modal call
// still hasn't ended after the grace period, that is a test failure: every window of this
// thread is then closed, so the test fails instead of hanging.
INT_PTR runModal(const std::function<INT_PTR()>& modalCall, const std::function<void()>& driverCall,
                 milliseconds grace = kDefaultTimeout);

// Layout. A control's rectangle in its dialog's client area, in pixels.
RECT rectInDialog(HWND dialog, HWND control);
// A template rectangle in the dialog's pixels: origin and size are converted each on its own,
// as the dialog manager does.
RECT dialogUnitsRect(HWND dialog, int x, int y, int width, int height);
// The dialog's client area, which the template's size gives.
RECT clientRect(HWND dialog);
void expectSameRect(const RECT& actual, const RECT& expected);

// Redraws the window and saves its on-screen pixels (frame included) as a 24-bit BMP.
bool saveWindowBitmap(HWND window, const std::string& bmpPath);

} // namespace driver
