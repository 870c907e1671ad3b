#include "test_files.h"
#include "window_driver.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace driver;

TEST(WindowDriver, AnswersAMessageBoxOfTheModalThread) {
    const struct {
        const char* how;
        void (*answer)(HWND);
        INT_PTR expected;
    } cases[] = {
        {"Enter", [](HWND box) { pressEnter(box); }, IDNO},
        {"Escape", [](HWND box) { pressEscape(box); }, IDCANCEL},
        {"button", [](HWND box) { postButtonClick(box, IDYES); }, IDYES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const INT_PTR result = runModal(
            [] {
                return MessageBoxA(nullptr, "Proceed?", "Driver test",
                                   MB_YESNOCANCEL | MB_DEFBUTTON2);
            },
            [&] {
                HWND box = waitForWindow("#32770", "Driver test");
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(messageBoxText(box), "Proceed?");
                c.answer(box);
            });
        EXPECT_EQ(result, c.expected);
    }
}

TEST(WindowDriver, EndsAModalCallThatTheDriverLeftOpen) {
    // A failing driver must not hang the test: the leftover box is closed for it.
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        runModal(
            [] { return static_cast<INT_PTR>(MessageBoxA(nullptr, "Left open", "Left", MB_OK)); },
            [] { waitForWindow("#32770", "Left"); }, milliseconds(300));
    }
    EXPECT_EQ(failures.size(), 1);
}

TEST(TestFiles, TempDirHoldsFilesWithWindowsPathsAndIsRemoved) {
    std::string root;
    {
        TempDir dir;
        TempDir other;
        root = dir.path();
        EXPECT_NE(other.path(), root);
        const std::string file = dir.writeFile("a\\b\\c.txt", "x\r\ny");
        EXPECT_EQ(file, root + "\\a\\b\\c.txt");
        EXPECT_EQ(readBytes(file), "x\r\ny");
        EXPECT_TRUE(fileExists(dir.makeFolder("d\\e")));
        EXPECT_THROW(readBytes(dir.file("missing.txt")), std::runtime_error);
    }
    EXPECT_FALSE(fileExists(root));
}

TEST(WindowDriver, SavesAWindowAsABitmap) {
    HWND window = CreateWindowExA(0, "static", "Snapshot", WS_POPUP | WS_VISIBLE | WS_BORDER, 10,
                                  10, 120, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TempDir dir;
    const std::string bmp = dir.file("shot.bmp");
    ASSERT_TRUE(saveWindowBitmap(window, bmp));
    DestroyWindow(window);
    const std::string bytes = readBytes(bmp);
    ASSERT_GT(bytes.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    const auto* info =
        reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(info->biWidth, 120);
    EXPECT_EQ(info->biHeight, 40);
}

} // namespace
