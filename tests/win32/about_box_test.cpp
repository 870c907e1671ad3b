#include "app_fixture.h"

#include "app/about_dialog_win32.h"
#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "res/resource.h"

namespace {

using namespace driver;

class AboutBoxTest : public AppTest {
  protected:
    INT_PTR runAboutBox(const std::function<void(HWND)>& driverCall) {
        return runModal(
            [&] {
                return DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(IDD_ABOUT), mainWindow,
                                       aboutDialogProc, 0);
            },
            [&] {
                HWND about = waitForOwnedWindow(mainWindow, "#32770", "About");
                ASSERT_NE(about, nullptr);
                driverCall(about);
            });
    }
};

TEST_F(AboutBoxTest, ClosesOnEnterEscapeAndItsCloseBox) {
    start();
    const struct {
        const char* how;
        void (*close)(HWND);
        INT_PTR result;
    } ways[] = {
        {"Enter", [](HWND about) { pressEnter(about); }, IDOK},
        {"Escape", [](HWND about) { pressEscape(about); }, IDCANCEL},
        {"close box", [](HWND about) { pressCloseBox(about); }, IDCANCEL},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        EXPECT_EQ(runAboutBox(way.close), way.result);
    }
}

TEST_F(AboutBoxTest, ShowsTheNameTwoCreditLinesAndTheLogo) {
    start();
    runAboutBox([](HWND about) {
        const LONG style = GetWindowLongA(about, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        expectSameRect(clientRect(about), dialogUnitsRect(about, 0, 0, 250, 49));

        const struct {
            LONG type;
            RECT rect; // x, y, width, height in dialog units
        } controls[] = {
            {SS_LEFT, {66, 1, 177, 8}},
            {SS_LEFT, {66, 9, 103, 16}},
            {SS_LEFT, {66, 25, 177, 16}},
            {SS_BITMAP, {5, 9, 57, 11}},
        };
        HWND control = GetWindow(about, GW_CHILD);
        for (const auto& expected : controls) {
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(GetDlgCtrlID(control), IDC_STATIC);
            EXPECT_TRUE(IsWindowVisible(control));
            EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK, expected.type);
            const RECT& r = expected.rect;
            const RECT want = dialogUnitsRect(about, r.left, r.top, r.right, r.bottom);
            const RECT actual = rectInDialog(about, control);
            EXPECT_EQ(actual.left, want.left);
            EXPECT_EQ(actual.top, want.top);
            if (expected.type == SS_LEFT) { // the picture takes the bitmap's size
                expectSameRect(actual, want);
                EXPECT_NE(GetWindowLongA(control, GWL_STYLE) & WS_GROUP, 0);
                EXPECT_FALSE(windowText(control).empty());
            }
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);

        HWND first = GetWindow(about, GW_CHILD);
        EXPECT_EQ(windowText(first), "Quillet");
        EXPECT_NE(GetWindowLongA(first, GWL_STYLE) & SS_NOPREFIX, 0);
        HWND logo = GetWindow(first, GW_HWNDLAST);
        auto bitmap = reinterpret_cast<HBITMAP>(sendMessage(logo, STM_GETIMAGE, IMAGE_BITMAP));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 85);
        EXPECT_EQ(info.bmHeight, 18);
        pressEscape(about);
    });
}

TEST_F(AboutBoxTest, LogoResourceHasEightBitsPerPixel) {
    HRSRC resource = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT_LOGO),
                                   MAKEINTRESOURCEA(2)); // RT_BITMAP
    ASSERT_NE(resource, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        LockResource(LoadResource(GetModuleHandleA(nullptr), resource)));
    EXPECT_EQ(header->biWidth, 85);
    EXPECT_EQ(header->biHeight, 18);
    EXPECT_EQ(header->biBitCount, 8);
}

} // namespace
