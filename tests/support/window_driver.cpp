#include "window_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace driver {

namespace {

constexpr milliseconds kPollInterval{10};
constexpr UINT kTextTimeoutMs = 1000;

struct WindowQuery {
    const char* className;
    const char* caption;
    HWND owner; // nullptr: any owner
    HWND found;
};

bool matches(HWND window, const WindowQuery& query) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return false;
    if (query.owner != nullptr && GetWindow(window, GW_OWNER) != query.owner)
        return false;
    if (query.className != nullptr && className(window) != query.className)
        return false;
    return query.caption == nullptr || windowText(window) == query.caption;
}

BOOL CALLBACK findWindow(HWND window, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    if (!matches(window, *query))
        return TRUE;
    query->found = window;
    return FALSE;
}

HWND pollForWindow(WindowQuery query, milliseconds timeout) {
    waitUntil(
        [&] {
            EnumWindows(findWindow, reinterpret_cast<LPARAM>(&query));
            return query.found != nullptr;
        },
        timeout);
    return query.found;
}

BOOL CALLBACK closeWindow(HWND window, LPARAM) {
    if (className(window) == "#32770")
        EndDialog(window, 0);
    else
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Ends whatever modal windows the thread shows, innermost first, until done is set.
void closeThreadWindows(DWORD threadId, const std::atomic<bool>& done) {
    for (int round = 0; round < 50 && !done; ++round) {
        EnumThreadWindows(threadId, closeWindow, 0);
        waitUntil([&] { return done.load(); }, milliseconds(200));
    }
}

} // namespace

bool waitUntil(const std::function<bool()>& cond, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

HWND waitForWindow(const char* windowClass, const char* caption, milliseconds timeout) {
    return pollForWindow({windowClass, caption, nullptr, nullptr}, timeout);
}

HWND waitForOwnedWindow(HWND owner, const char* windowClass, const char* caption,
                        milliseconds timeout) {
    return pollForWindow({windowClass, caption, owner, nullptr}, timeout);
}

bool waitForWindowGone(HWND window, milliseconds timeout) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

std::string windowText(HWND window) {
    const LRESULT length =
        sendMessage(window, WM_GETTEXTLENGTH, 0, 0, milliseconds(kTextTimeoutMs));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        sendMessage(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                    milliseconds(kTextTimeoutMs));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string controlText(HWND dialog, int controlId) {
    return windowText(GetDlgItem(dialog, controlId));
}

std::string className(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string messageBoxText(HWND messageBox) {
    // The message box's text is the static control with id 0xFFFF.
    return controlText(messageBox, 0xFFFF);
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, milliseconds timeout) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL,
                             static_cast<UINT>(timeout.count()), &result))
        return 0;
    return static_cast<LRESULT>(result);
}

int checkState(HWND dialog, int controlId) {
    return static_cast<int>(sendMessage(GetDlgItem(dialog, controlId), BM_GETCHECK));
}

void clickButton(HWND dialog, int controlId) {
    HWND button = GetDlgItem(dialog, controlId);
    EXPECT_NE(button, nullptr) << "no control " << controlId;
    sendMessage(button, BM_CLICK);
}

void postButtonClick(HWND dialog, int controlId) {
    HWND button = GetDlgItem(dialog, controlId);
    EXPECT_NE(button, nullptr) << "no control " << controlId;
    PostMessageA(button, BM_CLICK, 0, 0);
}

void postCommand(HWND window, int commandId) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

HWND focusedWindow(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

void pressKey(HWND window, UINT virtualKey) {
    HWND target = focusedWindow(window);
    if (target == nullptr)
        target = window;
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, scanCode | 1);
    PostMessageA(target, WM_KEYUP, virtualKey, scanCode | 0xC0000001);
}

void pressCloseBox(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

INT_PTR runModal(const std::function<INT_PTR()>& modalCall, const std::function<void()>& driverCall,
                 milliseconds grace) {
    const DWORD modalThread = GetCurrentThreadId();
    std::atomic<bool> modalDone{false};
    std::thread helper([&] {
        driverCall();
        if (!waitUntil([&] { return modalDone.load(); }, grace)) {
            ADD_FAILURE() << "the modal call did not end; closing its windows";
            closeThreadWindows(modalThread, modalDone);
        }
    });
    const INT_PTR result = modalCall();
    modalDone = true;
    helper.join();
    return result;
}

namespace {

// The window's rectangle as 24-bit rows, bottom row first, each padded to 4 bytes.
std::vector<BYTE> grabScreen(const RECT& rect, BITMAPINFOHEADER& header) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<BYTE> pixels(stride * static_cast<size_t>(height));

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    return pixels;
}

} // namespace

bool saveWindowBitmap(HWND window, const std::string& bmpPath) {
    RECT rect;
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The display shows new pixels a moment after painting: grab until two grabs a tenth
    // of a second apart agree.
    BITMAPINFOHEADER header;
    std::vector<BYTE> pixels = grabScreen(rect, header);
    for (int attempt = 0; attempt < 30; ++attempt) {
        std::this_thread::sleep_for(milliseconds(100));
        std::vector<BYTE> again = grabScreen(rect, header);
        const bool stable = again == pixels;
        pixels = std::move(again);
        if (stable)
            break;
    }

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* stream = fopen(bmpPath.c_str(), "wb");
    if (stream == nullptr)
        return false;
    fwrite(&file, sizeof file, 1, stream);
    fwrite(&header, sizeof header, 1, stream);
    fwrite(pixels.data(), 1, pixels.size(), stream);
    return fclose(stream) == 0;
}

RECT rectInDialog(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT dialogUnitsRect(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, width, height};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

RECT clientRect(HWND dialog) {
    RECT rect;
    GetClientRect(dialog, &rect);
    return rect;
}

void expectSameRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

} // namespace driver
