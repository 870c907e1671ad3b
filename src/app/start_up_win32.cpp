#include "app/start_up_win32.h"

#include "res/resource.h"
#include "settings/settings.h"

namespace {
HINSTANCE gInstance = nullptr;
HFONT gControlFont = nullptr;
char gWindowTitle[100] = {};
char gWindowClassName[100] = {};
} // namespace

void startUp(HINSTANCE instance) {
    gInstance = instance;
    Settings* settings = Settings::instance();
    settings->load();
    char startDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof startDirectory, startDirectory);
    settings->startDirectory = startDirectory;
    gControlFont =
        CreateFontA(14, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    LoadStringA(instance, IDS_APP_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_WINDOW_CLASS, gWindowClassName, sizeof gWindowClassName);
}

HINSTANCE appInstance() {
    return gInstance;
}

HFONT controlFont() {
    return gControlFont;
}

const char* windowTitle() {
    return gWindowTitle;
}

const char* windowClassName() {
    return gWindowClassName;
}
