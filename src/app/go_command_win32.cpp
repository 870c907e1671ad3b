#include "app/go_command_win32.h"

#include "ui/ui_values_win32.h"
#include "merge/progress_dialog_win32.h"
#include "res/resource.h"
#include "scenery/xplane_paths.h"

#include <string>
#include <vector>

namespace {
// The list indices of every selected item, in ascending order; however many there are.
std::vector<int> selectedItems(HWND listBox) {
    const LRESULT count = SendMessageA(listBox, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return {};
    std::vector<int> items(static_cast<std::size_t>(count));
    const LRESULT got =
        SendMessageA(listBox, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
    items.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return items;
}

std::string itemText(HWND listBox, int item) {
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, item, 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

// Marks exactly the airports whose folder names the items show, whatever an earlier run
// marked: for each item, the first airport in table order with that exact name.
void markAirports(HWND listBox, const std::vector<int>& items) {
    for (CustomAirport& airport : customAirports)
        airport.selected = 0;
    for (int item : items) {
        const std::string folderName = itemText(listBox, item);
        for (CustomAirport& airport : customAirports) {
            if (airport.folderName == folderName) {
                airport.selected = 1;
                break;
            }
        }
    }
}
} // namespace

void runGoCommand(HWND mainWindow) {
    const std::vector<int> items = selectedItems(airportListBox);
    if (items.empty()) {
        MessageBoxA(mainWindow, "Please select from list at least one custom airport!", windowTitle,
                    MB_OK);
        return;
    }
    const std::string refusal = mergeRefusal(mergeTarget);
    if (!refusal.empty()) {
        MessageBoxA(mainWindow, refusal.c_str(), windowTitle, MB_OK | MB_ICONERROR);
        return;
    }
    markAirports(airportListBox, items);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow, progressDialogProc, 0);
}
