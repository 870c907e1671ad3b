#include "settings/settings_dialog_win32.h"

#include "res/resource.h"
#include "settings/settings.h"

#include <iterator>

namespace {

// The radio buttons of one choice, in the order Skip, Request, Replace.
constexpr int kSameNameChoices[] = {IDC_SAME_NAME_SKIP, IDC_SAME_NAME_REQUEST,
                                    IDC_SAME_NAME_REPLACE};
constexpr int kSameCallsignChoices[] = {IDC_SAME_CALLSIGN_SKIP, IDC_SAME_CALLSIGN_REQUEST,
                                        IDC_SAME_CALLSIGN_REPLACE};
constexpr ConflictAction kActions[] = {ConflictAction::Skip, ConflictAction::Ask,
                                       ConflictAction::Replace};

void setCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? 1 : 0, 0);
}

// Marks the button of a choice that stands for the action and clears the other two.
void markChoice(HWND dialog, const int (&choices)[3], ConflictAction action) {
    for (std::size_t i = 0; i < std::size(choices); ++i)
        setCheck(dialog, choices[i], kActions[i] == action);
}

// The action a button of a choice stands for.
ConflictAction actionOf(const int (&choices)[3], int id) {
    for (std::size_t i = 0; i < std::size(choices); ++i)
        if (choices[i] == id)
            return kActions[i];
    return ConflictAction::Skip;
}

// The options the dialog opened with, which "Cancel" puts back. The dialog is modal to the
// main window, so at most one is open.
MergeOptions gOpeningOptions;

void onInitDialog(HWND dialog) {
    const MergeOptions& options = Settings::instance()->options;
    gOpeningOptions = options;
    markChoice(dialog, kSameNameChoices, options.sameName);
    markChoice(dialog, kSameCallsignChoices, options.sameCallsign);
    setCheck(dialog, IDC_DISTANCE_RESTRICTION, options.distanceRestriction);
}

INT_PTR onCommand(HWND dialog, int id) {
    MergeOptions& options = Settings::instance()->options;
    switch (id) {
    case IDC_SAME_NAME_SKIP:
    case IDC_SAME_NAME_REQUEST:
    case IDC_SAME_NAME_REPLACE:
        options.sameName = actionOf(kSameNameChoices, id);
        markChoice(dialog, kSameNameChoices, options.sameName);
        return TRUE;
    case IDC_SAME_CALLSIGN_SKIP:
    case IDC_SAME_CALLSIGN_REQUEST:
    case IDC_SAME_CALLSIGN_REPLACE:
        options.sameCallsign = actionOf(kSameCallsignChoices, id);
        markChoice(dialog, kSameCallsignChoices, options.sameCallsign);
        return TRUE;
    case IDC_DISTANCE_RESTRICTION:
        // The check box has toggled its own mark.
        options.distanceRestriction = !options.distanceRestriction;
        return TRUE;
    case IDOK:
        EndDialog(dialog, id);
        return TRUE;
    case IDCANCEL:
        options = gOpeningOptions;
        EndDialog(dialog, id);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
