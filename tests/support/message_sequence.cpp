#include "message_sequence.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <sstream>

namespace driver {

namespace {

std::string messageName(UINT message) {
    switch (message) {
    case WM_SETTEXT:
        return "WM_SETTEXT";
    case PBM_SETRANGE:
        return "PBM_SETRANGE";
    case PBM_SETPOS:
        return "PBM_SETPOS";
    case PBM_DELTAPOS:
        return "PBM_DELTAPOS";
    case PBM_SETSTEP:
        return "PBM_SETSTEP";
    case PBM_STEPIT:
        return "PBM_STEPIT";
    default:
        std::ostringstream hex;
        hex << "0x" << std::hex << message;
        return hex.str();
    }
}

std::string describe(const Message& m) {
    std::ostringstream out;
    out << messageName(m.message);
    if (m.message == WM_SETTEXT) {
        out << " \"";
        for (char c : m.text)
            out << (c == '\n' ? std::string("\\n") : std::string(1, c));
        out << '"';
    } else {
        out << ' ' << m.wParam << ' ' << m.lParam;
        if (m.message == PBM_SETRANGE)
            out << " (" << LOWORD(m.lParam) << ".." << HIWORD(m.lParam) << ')';
    }
    if (m.flags & kOptional)
        out << ", optional";
    return out.str();
}

bool matches(const Message& expected, const Message& recorded) {
    return expected.message == recorded.message && expected.wParam == recorded.wParam &&
           expected.lParam == recorded.lParam && expected.text == recorded.text;
}

std::string listing(const char* title, const std::vector<Message>& messages) {
    std::string text = std::string(title) + ":\n";
    for (std::size_t i = 0; i < messages.size(); ++i)
        text += "  " + std::to_string(i + 1) + ". " + describe(messages[i]) + "\n";
    return text;
}

} // namespace

std::vector<Message> messagesOf(const std::vector<Message>& recorded,
                                std::initializer_list<UINT> kinds) {
    std::vector<Message> selected;
    for (const Message& m : recorded)
        if (std::find(kinds.begin(), kinds.end(), m.message) != kinds.end())
            selected.push_back(m);
    return selected;
}

void expectSequence(const std::vector<Message>& recorded, const std::vector<Message>& expected,
                    const char* file, int line) {
    std::size_t e = 0, r = 0;
    std::string problem;
    while (problem.empty() && e < expected.size() && r < recorded.size()) {
        if (matches(expected[e], recorded[r])) {
            ++e;
            ++r;
        } else if (expected[e].flags & kOptional) {
            ++e;
        } else {
            problem = "recorded message " + std::to_string(r + 1) + " is " + describe(recorded[r]) +
                      ", expected row " + std::to_string(e + 1) + ": " + describe(expected[e]);
        }
    }
    while (problem.empty() && e < expected.size() && (expected[e].flags & kOptional))
        ++e;
    if (problem.empty() && e < expected.size())
        problem = "missing row " + std::to_string(e + 1) + ": " + describe(expected[e]);
    if (problem.empty() && r < recorded.size())
        problem = "recorded message " + std::to_string(r + 1) +
                  " is one too many: " + describe(recorded[r]);
    if (!problem.empty())
        ADD_FAILURE_AT(file, line)
            << problem << "\n"
            << listing("recorded", recorded) << listing("expected", expected);
}

} // namespace driver
