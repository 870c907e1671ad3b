#include "settings/settings_dialog_win32.h"

#include "res/resource.h"
#include "settings/settings.h"

#include <cstdint>

static_assert(IDC_SAME_NAME_SKIP == kSameNameSkip && IDC_SAME_NAME_REQUEST == kSameNameRequest &&
                  IDC_SAME_NAME_REPLACE == kSameNameReplace &&
                  IDC_SAME_CALLSIGN_SKIP == kSameCallsignSkip &&
                  IDC_SAME_CALLSIGN_REQUEST == kSameCallsignRequest &&
                  IDC_SAME_CALLSIGN_REPLACE == kSameCallsignReplace,
              "the stored action codes are the radio buttons' ids");

namespace {

// The radio buttons of one choice; their ids are the action codes stored.
constexpr int kSameNameChoices[] = {IDC_SAME_NAME_SKIP, IDC_SAME_NAME_REQUEST,
                                    IDC_SAME_NAME_REPLACE};
constexpr int kSameCallsignChoices[] = {IDC_SAME_CALLSIGN_SKIP, IDC_SAME_CALLSIGN_REQUEST,
                                        IDC_SAME_CALLSIGN_REPLACE};

void setCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? 1 : 0, 0);
}

// Marks the clicked button of a choice and clears the other two.
void markChoice(HWND dialog, const int (&choices)[3], int clicked) {
    for (int id : choices)
        setCheck(dialog, id, id == clicked);
}

// Marks the button of a choice whose id is the stored code. A code that is none of the
// choice's buttons (a hand-edited settings file) marks nothing, not even a button elsewhere.
void markStoredCode(HWND dialog, const int (&choices)[3], int code) {
    for (int id : choices)
        if (id == code)
            setCheck(dialog, id, true);
}

// The three values the dialog opened with, which "Cancel" puts back. The dialog is modal to
// the main window, so at most one is open.
struct OpeningValues {
    std::int32_t sameNameAction;
    std::int32_t sameCallsignAction;
    std::int32_t distanceRestriction;
};
OpeningValues gOpeningValues;

// The radio buttons start cleared; only those named by the stored codes get a mark.
void onInitDialog(HWND dialog) {
    const Settings* settings = Settings::instance();
    gOpeningValues = {settings->sameNameAction, settings->sameCallsignAction,
                      settings->distanceRestriction};
    markStoredCode(dialog, kSameNameChoices, settings->sameNameAction);
    markStoredCode(dialog, kSameCallsignChoices, settings->sameCallsignAction);
    setCheck(dialog, IDC_DISTANCE_RESTRICTION, settings->distanceRestriction == 1);
}

INT_PTR onCommand(HWND dialog, int id) {
    Settings* settings = Settings::instance();
    switch (id) {
    case IDC_SAME_NAME_SKIP:
    case IDC_SAME_NAME_REQUEST:
    case IDC_SAME_NAME_REPLACE:
        markChoice(dialog, kSameNameChoices, id);
        settings->sameNameAction = id;
        return TRUE;
    case IDC_SAME_CALLSIGN_SKIP:
    case IDC_SAME_CALLSIGN_REQUEST:
    case IDC_SAME_CALLSIGN_REPLACE:
        markChoice(dialog, kSameCallsignChoices, id);
        settings->sameCallsignAction = id;
        return TRUE;
    case IDC_DISTANCE_RESTRICTION:
        // The check box has toggled its own mark.
        settings->distanceRestriction = settings->distanceRestriction == 1 ? 0 : 1;
        return TRUE;
    case IDOK:
        EndDialog(dialog, id);
        return TRUE;
    case IDCANCEL:
        settings->sameNameAction = gOpeningValues.sameNameAction;
        settings->sameCallsignAction = gOpeningValues.sameCallsignAction;
        settings->distanceRestriction = gOpeningValues.distanceRestriction;
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
