#include "app/start_up_win32.h"

#include "res/resource.h"
#include "settings/settings.h"

namespace {
HINSTANCE gInstance = nullptr;
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
    LoadStringA(instance, IDS_APP_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_WINDOW_CLASS, gWindowClassName, sizeof gWindowClassName);
}

HINSTANCE appInstance() {
    return gInstance;
}

const char* windowTitle() {
    return gWindowTitle;
}

const char* windowClassName() {
    return gWindowClassName;
}
