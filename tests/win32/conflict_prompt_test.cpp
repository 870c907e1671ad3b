#include "window_driver.h"

#include "merge/conflict_prompt_win32.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace driver;

const char* const kSourcePath = "C:\\X-Plane\\Custom Scenery\\A&B Field\\Earth nav data\\nav.dat";
const char* const kBaseLine = "2  47.63252778 -122.38952778 0 362 50 0.0 BF   NOLLA NDB\n";
const char* const kCustomLine = "2  47.70000000 -122.40000000 0 362 50 0.0 xy   nolla ndb\n";

// A plain window that owns the prompt, as the progress dialog does.
class ConflictPromptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "static", "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    // Shows the prompt on this thread while driverCall answers it; returns the answer.
    int ask(const std::function<void(HWND prompt)>& driverCall) {
        return static_cast<int>(runModal(
            [&] {
                return static_cast<INT_PTR>(showConflictPrompt(
                    GetModuleHandleA(nullptr), owner, kSourcePath, kBaseLine, kCustomLine));
            },
            [&] {
                HWND prompt = waitForOwnedWindow(owner, "#32770", "Quillet");
                ASSERT_NE(prompt, nullptr);
                driverCall(prompt);
            }));
    }

    HWND owner = nullptr;
};

TEST_F(ConflictPromptTest, IsACentredDialogWithoutCloseBoxLaidOutAsItsTemplate) {
    const DWORD mainThread = GetCurrentThreadId();
    ask([&](HWND prompt) {
        const LONG style = GetWindowLongA(prompt, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER),
                  WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER);
        EXPECT_EQ(style & WS_SYSMENU, 0);
        expectSameRect(clientRect(prompt), dialogUnitsRect(prompt, 0, 0, 317, 74));

        // In template and tab order; nullptr: the text is replaced when the prompt is shown.
        const struct {
            int id;
            const char* className;
            const char* text;
            int x, y, width, height;
            LONG style;
            bool bordered = false;
        } controls[] = {
            {IDC_REPLACE_STRING, "Button", "Replace this String", 179, 52, 75, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
            {IDC_SKIP_STRING, "Button", "Skip this String", 256, 52, 54, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
            {IDC_CUSTOM_LINE, "Static", nullptr, 6, 18, 304, 10,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, true},
            {IDC_CUSTOM_SCENERY_LABEL, "Static", "String from Custom Scenery ", 6, 10, 91, 8,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
            {IDC_STATIC, "Static", "I distrust in identity two strings, in CALLSIGN or NAME:", 6, 1,
             304, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
            {IDC_XPLANE_LABEL, "Static", "String from X-Plane :", 6, 28, 304, 8,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
            {IDC_BASE_LINE, "Static", nullptr, 6, 37, 304, 10,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, true},
            {IDC_SOURCE_PATH, "Static", nullptr, 100, 10, 210, 8,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX},
        };
        HWND control = GetWindow(prompt, GW_CHILD);
        for (const auto& expected : controls) {
            SCOPED_TRACE(expected.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(GetDlgCtrlID(control), expected.id);
            EXPECT_EQ(className(control), expected.className);
            if (expected.text != nullptr) {
                EXPECT_EQ(windowText(control), expected.text);
            }
            EXPECT_EQ(GetWindowLongA(control, GWL_STYLE), expected.style);
            // The dialog manager draws a template's WS_BORDER as a sunken client edge.
            EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
                      expected.bordered ? WS_EX_CLIENTEDGE : 0);
            expectSameRect(
                rectInDialog(prompt, control),
                dialogUnitsRect(prompt, expected.x, expected.y, expected.width, expected.height));
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);

        // The default button has the focus, so Enter answers "Replace this String".
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(mainThread, &info));
        EXPECT_EQ(info.hwndFocus, GetDlgItem(prompt, IDC_REPLACE_STRING));
        postButtonClick(prompt, IDC_SKIP_STRING);
    });
}

// Records the texts set on the prompt's controls, in order.
struct TextRecorder {
    static inline std::vector<std::string> texts;
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->message == WM_SETTEXT &&
            className(GetParent(sent->hwnd)) == "#32770")
            texts.push_back(std::to_string(GetDlgCtrlID(sent->hwnd)) + " " +
                            reinterpret_cast<const char*>(sent->lParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

TEST_F(ConflictPromptTest, ShowsPathCustomLineAndBaseLineAsStoredAndDisablesItsOwner) {
    TextRecorder::texts.clear();
    HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, TextRecorder::hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const int answer = ask([&](HWND prompt) {
        // Line ends, letter case and '&' as they are.
        EXPECT_EQ(controlText(prompt, IDC_SOURCE_PATH), kSourcePath);
        EXPECT_EQ(controlText(prompt, IDC_CUSTOM_LINE), kCustomLine);
        EXPECT_EQ(controlText(prompt, IDC_BASE_LINE), kBaseLine);
        EXPECT_EQ(GetWindow(prompt, GW_OWNER), owner);
        EXPECT_FALSE(IsWindowEnabled(owner));
        postButtonClick(prompt, IDC_SKIP_STRING);
    });
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(answer, IDC_SKIP_STRING);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(TextRecorder::texts,
              (std::vector<std::string>{std::to_string(IDC_SOURCE_PATH) + " " + kSourcePath,
                                        std::to_string(IDC_CUSTOM_LINE) + " " + kCustomLine,
                                        std::to_string(IDC_BASE_LINE) + " " + kBaseLine}));
}

TEST_F(ConflictPromptTest, OnlyItsTwoButtonsAnswer) {
    // Input is posted in order: what ends the prompt shows in the answer, so an Esc or a
    // close request that ended it would give another answer than the button after it.
    const struct {
        const char* how;
        void (*answer)(HWND);
        int expected;
    } cases[] = {
        {"Replace this String", [](HWND p) { postButtonClick(p, IDC_REPLACE_STRING); },
         IDC_REPLACE_STRING},
        {"Skip this String", [](HWND p) { postButtonClick(p, IDC_SKIP_STRING); }, IDC_SKIP_STRING},
        {"Enter", [](HWND p) { pressEnter(p); }, IDC_REPLACE_STRING},
        {"Esc, then Skip this String",
         [](HWND p) {
             pressEscape(p);
             postButtonClick(p, IDC_SKIP_STRING);
         },
         IDC_SKIP_STRING},
        {"close request, then Enter",
         [](HWND p) {
             pressCloseBox(p);
             pressEnter(p);
         },
         IDC_REPLACE_STRING},
        {"cancel command, then Skip this String",
         [](HWND p) {
             postCommand(p, IDCANCEL);
             postButtonClick(p, IDC_SKIP_STRING);
         },
         IDC_SKIP_STRING},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        EXPECT_EQ(ask([&](HWND prompt) { c.answer(prompt); }), c.expected);
    }
}

} // namespace
