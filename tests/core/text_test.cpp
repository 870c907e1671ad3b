// The small text helpers: plain decimals and UTF-8.

#include "base/text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(Text, TellsPlainDecimalsAndWholeNumbers) {
    const struct {
        const char* text;
        bool plain, whole;
        std::optional<double> value;
    } cases[] = {
        {"12", true, true, 12.0},
        {"-0.5", true, false, -0.5},
        {"+7.", true, false, 7.0},
        {".25", true, false, 0.25},
        {"-12", true, true, -12.0},
        {"1.2.3", false, false, {}},
        {"1e3", false, false, {}},
        {"0x10", false, false, {}},
        {"", false, false, {}},
        {"-", false, false, {}},
        {".", false, false, {}},
        {"nan", false, false, {}},
        {"1234567890123456", true, true, std::nullopt}, // 16 digits: no exact value here
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPlainDecimal(c.text), c.plain) << c.text;
        EXPECT_EQ(isWholeNumber(c.text), c.whole) << c.text;
        EXPECT_EQ(plainDecimal(c.text), c.value) << c.text;
    }
}

TEST(Text, TellsValidUtf8) {
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        {"X-Plane 12", true},
        {"\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C", true}, // Cyrillic
        {"\xE6\x9D\xB1\xE4\xBA\xAC", true},         // Japanese
        {"\xF0\x9F\x9B\xAB", true},                 // beyond the first plane
        {"J\xFCrgen", false},                       // Windows-1252
        {"\xC3", false},                            // cut short
        {"\xC0\xAF", false},                        // overlong
        {"\xED\xA0\x80", false},                    // a surrogate
        {"\xF4\x90\x80\x80", false},                // above U+10FFFF
        {"\xBF", false},                            // a stray continuation byte
        {std::string("a\0b", 3), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(c.text), c.valid) << c.text;
}

} // namespace
