#include "res/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

namespace {

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDir {
    WORD reserved, type, count;
    IconDirEntry entries[1];
};
#pragma pack(pop)

// The one place where the ids' numbers stand: every other test names them. These are the
// numbers the program is known by (its resources, menu commands, controls, and the settings
// file, which stores the radio buttons' ids).
#define PINNED(name, number)                                                                       \
    { #name, name, number }
TEST(Resources, IdsHaveTheirFixedNumbers) {
    const struct {
        const char* name;
        int id;
        int number;
    } ids[] = {
        PINNED(IDS_APP_TITLE, 103),
        PINNED(IDS_WINDOW_CLASS, 109),
        PINNED(IDR_MAIN_MENU, 109),
        PINNED(IDM_SET_XPLANE_FOLDER, 32775),
        PINNED(IDM_ABOUT, 32779),
        PINNED(IDM_EXIT, 32784),
        PINNED(IDM_SETTINGS, 32785),
        PINNED(IDM_RESTORE_BACKUP, 32786),
        PINNED(IDI_QUILLET, 107),
        PINNED(IDI_QUILLET_SMALL, 108),
        PINNED(IDB_ABOUT_LOGO, 135),
        PINNED(IDC_STATIC, -1),
        PINNED(IDC_AIRPORT_LIST, 1),
        PINNED(IDC_GO, 2),
        PINNED(IDC_LABEL, 3),
        PINNED(IDC_PREVIEW, 4),
        PINNED(IDC_MERGE_TARGET, 5),
        PINNED(IDD_CONFLICT_PROMPT, 9),
        PINNED(IDD_ABOUT, 103),
        PINNED(IDD_PROGRESS, 132),
        PINNED(IDD_SETTINGS, 136),
        PINNED(IDD_LONG_TEXT, 137),
        PINNED(IDC_SAME_NAME_SKIP, 1016),
        PINNED(IDC_SAME_NAME_REQUEST, 1017),
        PINNED(IDC_SAME_NAME_REPLACE, 1018),
        PINNED(IDC_SAME_CALLSIGN_SKIP, 1019),
        PINNED(IDC_SAME_CALLSIGN_REQUEST, 1020),
        PINNED(IDC_SAME_CALLSIGN_REPLACE, 1021),
        PINNED(IDC_DISTANCE_RESTRICTION, 1022),
        PINNED(IDC_LONG_TEXT, 1023),
        PINNED(IDC_REPLACE_STRING, 128),
        PINNED(IDC_SKIP_STRING, 1004),
        PINNED(IDC_CUSTOM_SCENERY_LABEL, 1006),
        PINNED(IDC_CUSTOM_LINE, 1007),
        PINNED(IDC_XPLANE_LABEL, 1008),
        PINNED(IDC_BASE_LINE, 1009),
        PINNED(IDC_SOURCE_PATH, 1010),
    };
    for (const auto& id : ids)
        EXPECT_EQ(id.id, id.number) << id.name;
}
#undef PINNED

TEST(Resources, IconGroupsHoldEightImagesOfTheThreeDepths) {
    // (size, bits per pixel): 32 and 16 in 16 colours, 48, 32, 16 in 256 colours and 32 bits.
    const std::multiset<std::tuple<int, int>> expected = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                                                          {16, 8}, {48, 32}, {32, 32}, {16, 32}};
    HMODULE module = GetModuleHandleA(nullptr);
    for (int group : {IDI_QUILLET, IDI_QUILLET_SMALL}) {
        SCOPED_TRACE(group);
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(group), MAKEINTRESOURCEA(14));
        ASSERT_NE(resource, nullptr); // RT_GROUP_ICON
        const auto* dir = static_cast<const IconDir*>(LockResource(LoadResource(module, resource)));
        std::multiset<std::tuple<int, int>> images;
        for (WORD i = 0; i < dir->count; ++i)
            images.insert({dir->entries[i].width, dir->entries[i].bitCount});
        EXPECT_EQ(images, expected);
    }
}

TEST(Resources, VersionIs1003ForAnApplication) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    const DWORD size = GetFileVersionInfoSizeA(exe, nullptr);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, &block[0]));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000003u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000003u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    const struct {
        const char* name;
        const char* value;
    } strings[] = {{"FileDescription", "Quillet"}, {"InternalName", "Quillet"},
                   {"ProductName", "Quillet"},     {"OriginalFilename", "Quillet.exe"},
                   {"FileVersion", "1, 0, 0, 3"},  {"ProductVersion", "1, 0, 0, 3"}};
    for (const auto& s : strings) {
        char* value = nullptr;
        const std::string key = std::string("\\StringFileInfo\\000004b0\\") + s.name;
        ASSERT_TRUE(
            VerQueryValueA(&block[0], key.c_str(), reinterpret_cast<void**>(&value), &length))
            << s.name;
        EXPECT_STREQ(value, s.value);
    }
}

// Both programs carry the manifest: visual styles, per-monitor DPI, the user's own rights, the
// Windows versions, and UTF-8 as the code page of the ANSI calls (which this test program,
// linked with the same manifest, runs with).
TEST(Resources, BothProgramsCarryTheManifest) {
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    for (std::string path :
         {std::string(QUILLET_WINDOW_PROGRAM), std::string(QUILLET_CONSOLE_PROGRAM)}) {
        // The build's path, as Wine's drive Z: shows it.
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
        SCOPED_TRACE(path);
        HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program, nullptr);
        HRSRC found = FindResourceA(program, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
        ASSERT_NE(found, nullptr);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
        const std::string manifest(bytes, SizeofResource(program, found));
        for (const char* part :
             {"Microsoft.Windows.Common-Controls", "PerMonitorV2", "level=\"asInvoker\"",
              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">UTF-8</activeCodePage>"})
            EXPECT_NE(manifest.find(part), std::string::npos) << part;
        FreeLibrary(program);
    }
}

} // namespace
