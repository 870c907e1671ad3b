#pragma once

#include <string>
#include <string_view>

// The difference of two texts as a unified diff, as `diff -u` writes it: the two labels, then
// hunks with three lines of context. Lines end with a line feed; a last line without one is
// marked "\ No newline at end of file". Empty when the texts are equal.
//
// The lines matched are those of a longest common subsequence wherever that is cheap to find:
// lines that occur once in both texts anchor the match, and the stretches between anchors
// are matched exactly while small; a large stretch without anchors is shown as removed and
// added whole. Any result is a correct diff: applying it to oldText gives newText.
std::string unifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel);
