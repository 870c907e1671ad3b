#pragma once

// Window messages checked as a sequence, in the manner of Wine's user32 tests: a test records
// the messages a window gets and compares them with a table of expected ones, where a row
// marked optional may be missing. One call compares them and reports at the caller's line.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace driver {

// Marks of an expected message.
enum MessageFlags : unsigned {
    kRequired = 0,
    kOptional = 1, // may be missing from the recorded sequence
};

// A message as a window got it, or as a test expects it. text is the text of WM_SETTEXT.
struct Message {
    Message(UINT message_, WPARAM wParam_, LPARAM lParam_, std::string text_ = {},
            unsigned flags_ = kRequired)
        : message(message_), wParam(wParam_), lParam(lParam_), text(std::move(text_)),
          flags(flags_) {}

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    unsigned flags;
};

// The recorded messages of the given kinds, in their order.
std::vector<Message> messagesOf(const std::vector<Message>& recorded,
                                std::initializer_list<UINT> kinds);

// Compares the recorded messages with the expected table, row by row: a row that matches the
// next recorded message takes it; an optional row that does not is passed over; anything else,
// a recorded message left over or a required row missing, fails the test at file and line,
// which show both sequences.
void expectSequence(const std::vector<Message>& recorded, const std::vector<Message>& expected,
                    const char* file, int line);

} // namespace driver

#define EXPECT_SEQUENCE(recorded, expected)                                                        \
    ::driver::expectSequence((recorded), (expected), __FILE__, __LINE__)
