#include "app/main_window_win32.h"
#include "app/start_up_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    startUp(instance);
    if (registerMainWindowClass(instance) == 0)
        return 0;
    if (!createMainWindow(instance, showCommand))
        return 0;
    return runMessageLoop();
}
