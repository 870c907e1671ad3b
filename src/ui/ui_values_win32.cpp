#include "ui/ui_values_win32.h"

HINSTANCE appInstance = nullptr;
HFONT controlFont = nullptr;
char windowTitle[100] = {};
char windowClassName[100] = {};
