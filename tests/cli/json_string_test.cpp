#include "cli/json_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JsonString, EscapesWhatJsonMustAndKeepsOrWidensOtherBytes) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::string text, json;
    } cases[] = {
        {"plain", "KSEA Demo", "\"KSEA Demo\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"control characters", "\t\n\x01"s, "\"\\u0009\\u000a\\u0001\""},
        {"NUL", "a\0b"s, "\"a\\u0000b\""},
        {"UTF-8 stays", "Z\xc3\xbcrich \xe2\x82\xac \xf0\x9f\x9b\xab",
         "\"Z\xc3\xbcrich \xe2\x82\xac \xf0\x9f\x9b\xab\""},
        {"Latin-1 widens", "Z\xfcrich \xa9", "\"Z\\u00fcrich \\u00a9\""},
        {"a cut UTF-8 sequence is Latin-1", "\xe2\x82", "\"\\u00e2\\u0082\""},
        {"bytes that start no sequence", "\xc0\xaf \xf5\x80\x80\x80",
         "\"\\u00c0\\u00af \\u00f5\\u0080\\u0080\\u0080\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.text), c.json) << c.what;
}

} // namespace
