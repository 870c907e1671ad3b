#include "base/legacy_text.h"

#include "base/text.h"

#include <windows.h>

#include <string>

namespace {
// The ANSI code page of the system's locale: the program's own is UTF-8 by its manifest.
UINT systemAnsiCodePage() {
    UINT codePage = CP_ACP;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return codePage;
}
} // namespace

std::string legacyTextAsUtf8(std::string_view text) {
    if (isValidUtf8(text) || text.size() > 0x7FFFFFFF)
        return std::string(text);
    const UINT codePage = systemAnsiCodePage();
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (wide <= 0)
        return std::string(text);
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, utf16.data(), wide);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}
