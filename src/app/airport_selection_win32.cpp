#include "app/airport_selection_win32.h"

#include "app/main_window_win32.h"
#include "app/start_up_win32.h"

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
} // namespace

bool markSelectedAirports(HWND mainWindow, MainWindowState& state) {
    const std::vector<int> items = selectedItems(state.airportList);
    if (items.empty()) {
        MessageBoxA(mainWindow, "Please select from list at least one custom airport!",
                    windowTitle(), MB_OK);
        return false;
    }
    for (CustomAirport& airport : state.scenery.airports)
        airport.selected = false;
    for (int item : items) {
        const std::string folderName = itemText(state.airportList, item);
        for (CustomAirport& airport : state.scenery.airports) {
            if (airport.folderName == folderName) {
                airport.selected = true;
                break;
            }
        }
    }
    return true;
}
