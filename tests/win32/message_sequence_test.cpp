#include "message_sequence.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using namespace driver;

TEST(MessageSequence, PassesOverMissingOptionalRowsAndReportsAnyOtherDifferenceAtTheCall) {
    const Message one = {PBM_SETPOS, 1, 0};
    const Message two = {PBM_SETPOS, 2, 0};
    const Message text = {WM_SETTEXT, 0, 0, "a\n"};
    const Message maybeOne = {PBM_SETPOS, 1, 0, {}, kOptional};
    const Message maybeText = {WM_SETTEXT, 0, 0, "a\n", kOptional};
    const struct {
        const char* name;
        std::vector<Message> recorded, expected;
        const char* problem; // nullptr: the sequences agree
    } cases[] = {
        {"the same", {one, two, text}, {one, two, text}, nullptr},
        {"optional rows present", {one, two, text}, {maybeOne, two, maybeText}, nullptr},
        {"optional rows missing", {two}, {maybeOne, two, maybeText}, nullptr},
        {"nothing, all optional", {}, {maybeOne, maybeText}, nullptr},
        {"another message",
         {one, text},
         {one, two},
         "recorded message 2 is WM_SETTEXT \"a\\n\", expected row 2: PBM_SETPOS 2 0"},
        {"another parameter", {two}, {one}, "recorded message 1 is PBM_SETPOS 2 0"},
        {"another text",
         {{WM_SETTEXT, 0, 0, "b\n"}},
         {text},
         "recorded message 1 is WM_SETTEXT \"b\\n\", expected row 1: WM_SETTEXT \"a\\n\""},
        {"another order", {two, one}, {maybeOne, two}, "recorded message 2 is one too many"},
        {"a required row missing", {one}, {one, two, maybeText}, "missing row 2: PBM_SETPOS 2 0"},
        {"one too many", {one, two}, {one}, "recorded message 2 is one too many: PBM_SETPOS 2 0"},
        {"an optional row does not stand for a required one",
         {two},
         {maybeOne, one, two},
         "recorded message 1 is PBM_SETPOS 2 0, expected row 2: PBM_SETPOS 1 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::TestPartResultArray failures;
        int line = 0;
        {
            ::testing::ScopedFakeTestPartResultReporter reporter(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                &failures);
            line = __LINE__ + 1;
            EXPECT_SEQUENCE(c.recorded, c.expected);
        }
        if (c.problem == nullptr) {
            EXPECT_EQ(failures.size(), 0);
            continue;
        }
        ASSERT_EQ(failures.size(), 1);
        const ::testing::TestPartResult& failure = failures.GetTestPartResult(0);
        EXPECT_TRUE(failure.nonfatally_failed());
        EXPECT_STREQ(failure.file_name(), __FILE__);
        EXPECT_EQ(failure.line_number(), line);
        EXPECT_NE(std::string(failure.message()).find(c.problem), std::string::npos)
            << failure.message();
    }
}

TEST(MessageSequence, MessagesOfKeepsTheGivenKindsInOrder) {
    const std::vector<Message> recorded = {{PBM_SETRANGE, 0, MAKELPARAM(0, 10)},
                                           {PBM_SETPOS, 3, 0},
                                           {WM_SETTEXT, 0, 0, "a"},
                                           {PBM_STEPIT, 0, 0},
                                           {WM_SETTEXT, 0, 0, "b"}};
    EXPECT_SEQUENCE(messagesOf(recorded, {WM_SETTEXT, PBM_SETRANGE}),
                    (std::vector<Message>{{PBM_SETRANGE, 0, MAKELPARAM(0, 10)},
                                          {WM_SETTEXT, 0, 0, "a"},
                                          {WM_SETTEXT, 0, 0, "b"}}));
    EXPECT_SEQUENCE(messagesOf(recorded, {PBM_DELTAPOS}), std::vector<Message>{});
}

} // namespace
