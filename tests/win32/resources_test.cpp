#include "res/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

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

} // namespace
