#include "app_fixture.h"

#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_dialog_win32.h"

namespace {

using namespace driver;

// The two groups' radio buttons and the check box, in template order.
constexpr int kChoices[] = {IDC_SAME_NAME_SKIP,        IDC_SAME_NAME_REQUEST,
                            IDC_SAME_NAME_REPLACE,     IDC_SAME_CALLSIGN_SKIP,
                            IDC_SAME_CALLSIGN_REQUEST, IDC_SAME_CALLSIGN_REPLACE,
                            IDC_DISTANCE_RESTRICTION};
constexpr int kCheckBox = IDC_DISTANCE_RESTRICTION;

// The choices that carry a mark.
std::vector<int> marks(HWND dialog) {
    std::vector<int> marked;
    for (int id : kChoices)
        if (checkState(dialog, id) == BST_CHECKED)
            marked.push_back(id);
    return marked;
}

class SettingsDialogTest : public AppTest {
  protected:
    HWND waitForDialog() { return waitForOwnedWindow(mainWindow, "#32770", "Quillet"); }

    // Opens the dialog from the File menu and hands it to driverCall.
    void withDialog(const std::function<void(HWND)>& driverCall) {
        runMenuCommand(IDM_SETTINGS, [&] {
            HWND dialog = waitForDialog();
            ASSERT_NE(dialog, nullptr);
            driverCall(dialog);
            if (IsWindowVisible(dialog))
                postButtonClick(dialog, IDCANCEL);
        });
    }
};

TEST_F(SettingsDialogTest, OpensWithTheStoredCodesMarked) {
    const struct {
        const char* file;
        std::vector<int> marked;
    } cases[] = {
        {"", {IDC_SAME_NAME_REQUEST, IDC_SAME_CALLSIGN_REQUEST, kCheckBox}}, // no file: defaults
        {"C:\\X-Plane\\X-Plane.exe\n1018\n1019\n0\n",
         {IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_SKIP}},
        {"C:\\X-Plane\\X-Plane.exe\n1016\n1021\n1\n",
         {IDC_SAME_NAME_SKIP, IDC_SAME_CALLSIGN_REPLACE, kCheckBox}},
        // Unknown codes act as Skip, and a restriction other than 1 is off.
        {"C:\\X-Plane\\X-Plane.exe\nabc\n7\n5\n", {IDC_SAME_NAME_SKIP, IDC_SAME_CALLSIGN_SKIP}},
        // So does a code of the other group.
        {"C:\\X-Plane\\X-Plane.exe\n1020\n1017\n1\n",
         {IDC_SAME_NAME_SKIP, IDC_SAME_CALLSIGN_SKIP, kCheckBox}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DeleteFileA(settingsFilePath().c_str());
        if (*c.file != '\0')
            writeSettingsFile(c.file);
        start();
        withDialog([&](HWND dialog) { EXPECT_EQ(marks(dialog), c.marked); });
        stop();
    }
}

TEST_F(SettingsDialogTest, EveryClickIsStoredAtOnceAndOkKeepsThem) {
    start();
    Settings* settings = Settings::instance();
    withDialog([&](HWND dialog) {
        clickButton(dialog, IDC_SAME_NAME_REPLACE);
        EXPECT_EQ(marks(dialog),
                  (std::vector<int>{IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_REQUEST, kCheckBox}));
        EXPECT_EQ(settings->options.sameName, ConflictAction::Replace);
        clickButton(dialog, IDC_SAME_NAME_REPLACE); // the marked one again: same code, same marks
        EXPECT_EQ(marks(dialog),
                  (std::vector<int>{IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_REQUEST, kCheckBox}));
        EXPECT_EQ(settings->options.sameName, ConflictAction::Replace);
        clickButton(dialog, IDC_SAME_CALLSIGN_SKIP);
        clickButton(dialog, IDC_SAME_CALLSIGN_REPLACE);
        EXPECT_EQ(marks(dialog),
                  (std::vector<int>{IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_REPLACE, kCheckBox}));
        EXPECT_EQ(settings->options.sameCallsign, ConflictAction::Replace);
        clickButton(dialog, kCheckBox);
        EXPECT_EQ(marks(dialog),
                  (std::vector<int>{IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_REPLACE}));
        EXPECT_FALSE(settings->options.distanceRestriction);
        clickButton(dialog, kCheckBox);
        EXPECT_TRUE(settings->options.distanceRestriction);
        clickButton(dialog, kCheckBox);
        postButtonClick(dialog, IDOK);
        EXPECT_TRUE(waitForWindowGone(dialog));
    });
    EXPECT_EQ(settings->options.sameName, ConflictAction::Replace);
    EXPECT_EQ(settings->options.sameCallsign, ConflictAction::Replace);
    EXPECT_FALSE(settings->options.distanceRestriction);
    // Nothing is written before the program ends.
    EXPECT_FALSE(fileExists(settingsFilePath()));

    withDialog([&](HWND dialog) {
        EXPECT_EQ(marks(dialog),
                  (std::vector<int>{IDC_SAME_NAME_REPLACE, IDC_SAME_CALLSIGN_REPLACE}));
    });
    SendMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(readBytes(settingsFilePath()), "C:\\X-Plane\\X-Plane.exe\r\n1018\r\n1021\r\n0\r\n");
}

TEST_F(SettingsDialogTest, CancelPutsBackTheValuesItOpenedWithHoweverItIsClosed) {
    // A restriction of 5 reads as off; a click switches it on, and Cancel puts it back off.
    writeSettingsFile("C:\\X-Plane\\X-Plane.exe\n1016\n1021\n5\n");
    start();
    Settings* settings = Settings::instance();
    const struct {
        const char* how;
        void (*close)(HWND);
    } ways[] = {
        {"Cancel", [](HWND d) { postButtonClick(d, IDCANCEL); }},
        {"Escape", [](HWND d) { pressEscape(d); }},
        {"close box", [](HWND d) { pressCloseBox(d); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        withDialog([&](HWND dialog) {
            clickButton(dialog, IDC_SAME_NAME_REPLACE);
            clickButton(dialog, IDC_SAME_CALLSIGN_SKIP);
            clickButton(dialog, kCheckBox);
            // Stored at once, so the marks stay live while the dialog is open.
            EXPECT_EQ(settings->options.sameName, ConflictAction::Replace);
            EXPECT_EQ(settings->options.sameCallsign, ConflictAction::Skip);
            EXPECT_TRUE(settings->options.distanceRestriction);
            way.close(dialog);
            EXPECT_TRUE(waitForWindowGone(dialog));
        });
        EXPECT_EQ(settings->options.sameName, ConflictAction::Skip);
        EXPECT_EQ(settings->options.sameCallsign, ConflictAction::Replace);
        EXPECT_FALSE(settings->options.distanceRestriction);
        withDialog([&](HWND dialog) {
            EXPECT_EQ(marks(dialog),
                      (std::vector<int>{IDC_SAME_NAME_SKIP, IDC_SAME_CALLSIGN_REPLACE}));
        });
    }
}

TEST_F(SettingsDialogTest, AnUnknownRestrictionIsSwitchedOnByOneClick) {
    writeSettingsFile("C:\\X-Plane\\X-Plane.exe\n1017\n1020\n5\n");
    start();
    withDialog([&](HWND dialog) {
        EXPECT_EQ(checkState(dialog, kCheckBox), BST_UNCHECKED);
        clickButton(dialog, kCheckBox);
        EXPECT_EQ(checkState(dialog, kCheckBox), BST_CHECKED);
        EXPECT_TRUE(Settings::instance()->options.distanceRestriction);
        postButtonClick(dialog, IDOK);
        EXPECT_TRUE(waitForWindowGone(dialog));
    });
    EXPECT_TRUE(Settings::instance()->options.distanceRestriction);
}

TEST_F(SettingsDialogTest, EndsWithOkOrCancelHoweverItIsClosed) {
    start();
    const struct {
        const char* how;
        void (*close)(HWND);
        INT_PTR result;
    } ways[] = {
        {"OK", [](HWND d) { postButtonClick(d, IDOK); }, IDOK},
        {"Enter", [](HWND d) { pressEnter(d); }, IDOK},
        {"Cancel", [](HWND d) { postButtonClick(d, IDCANCEL); }, IDCANCEL},
        {"Escape", [](HWND d) { pressEscape(d); }, IDCANCEL},
        {"close box", [](HWND d) { pressCloseBox(d); }, IDCANCEL},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        const INT_PTR result = runModal(
            [&] {
                return DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), mainWindow,
                                       settingsDialogProc, 0);
            },
            [&] {
                HWND dialog = waitForDialog();
                ASSERT_NE(dialog, nullptr);
                // The focus starts on OK, the first tab stop.
                EXPECT_EQ(focusedWindow(dialog), GetDlgItem(dialog, IDOK));
                way.close(dialog);
            });
        EXPECT_EQ(result, way.result);
    }
    EXPECT_EQ(Settings::instance()->options.sameName, ConflictAction::Ask);
}

TEST_F(SettingsDialogTest, TemplateHasTheControlsInTabOrder) {
    start();
    withDialog([&](HWND dialog) {
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        expectSameRect(clientRect(dialog), dialogUnitsRect(dialog, 0, 0, 311, 154));

        const struct {
            int id;
            const char* text;
            LONG type; // the low style bits: the kind of button or static
            bool tabStop;
            RECT rect;
        } controls[] = {
            {IDOK, "OK", BS_DEFPUSHBUTTON, true, {195, 134, 50, 13}},
            {IDCANCEL, "Cancel", BS_PUSHBUTTON, true, {254, 134, 50, 13}},
            {IDC_STATIC,
             "Actions with strings of identical type of navaids with same NAME but different "
             "CALLSIGN:",
             BS_GROUPBOX,
             false,
             {7, 7, 297, 45}},
            {IDC_STATIC,
             "Actions with strings of identical type of navaids with same CALLSIGN but different "
             "NAME:",
             BS_GROUPBOX,
             false,
             {7, 56, 297, 43}},
            {IDC_SAME_NAME_SKIP, "Skip", BS_RADIOBUTTON, false, {13, 17, 29, 8}},
            {IDC_SAME_NAME_REQUEST, "Request", BS_RADIOBUTTON, false, {13, 25, 43, 12}},
            {IDC_SAME_NAME_REPLACE, "Replace", BS_RADIOBUTTON, false, {13, 37, 41, 9}},
            {IDC_SAME_CALLSIGN_SKIP, "Skip", BS_RADIOBUTTON, false, {13, 66, 38, 9}},
            {IDC_SAME_CALLSIGN_REQUEST, "Request", BS_RADIOBUTTON, false, {13, 75, 43, 10}},
            {IDC_SAME_CALLSIGN_REPLACE, "Replace", BS_RADIOBUTTON, false, {13, 84, 41, 10}},
            {IDC_STATIC,
             "Restriction of searching for coincidences by distance :",
             BS_GROUPBOX,
             false,
             {7, 101, 297, 27}},
            {IDC_DISTANCE_RESTRICTION, "On/Off", BS_AUTOCHECKBOX, true, {13, 112, 35, 12}},
            {IDC_STATIC, "Distance : 50 Miles and less.", SS_LEFT, false, {87, 114, 93, 8}},
        };
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const auto& expected : controls) {
            SCOPED_TRACE(expected.text);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(GetDlgCtrlID(control), expected.id);
            EXPECT_EQ(windowText(control), expected.text);
            const LONG controlStyle = GetWindowLongA(control, GWL_STYLE);
            EXPECT_EQ(controlStyle & 0x1F, expected.type);
            // A radio button takes the tab stop while it carries the mark.
            const bool tabStop = expected.type == BS_RADIOBUTTON
                                     ? checkState(dialog, expected.id) == BST_CHECKED
                                     : expected.tabStop;
            EXPECT_EQ((controlStyle & WS_TABSTOP) != 0, tabStop);
            if (std::string(expected.text).rfind("Distance", 0) == 0) {
                EXPECT_NE(controlStyle & WS_GROUP, 0); // the static text starts a group
            }
            const RECT& r = expected.rect;
            expectSameRect(rectInDialog(dialog, control),
                           dialogUnitsRect(dialog, r.left, r.top, r.right, r.bottom));
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);
    });
}

} // namespace
