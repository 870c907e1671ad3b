#include "base/unified_diff.h"

#include "base/text_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {
constexpr std::size_t kContext = 3;
// The largest stretch, in pairs of lines, matched exactly without anchors.
constexpr std::size_t kLargestExactMatch = std::size_t{1} << 20;

using Lines = std::vector<std::string_view>;

// Each line with its line feed, if it has one.
Lines splitLines(std::string_view text) {
    Lines lines;
    forEachLine(text, [&lines](std::string_view line) { lines.push_back(line); });
    return lines;
}

// A stretch of both texts: lines [oldBegin, oldEnd) and [newBegin, newEnd).
struct Stretch {
    std::size_t oldBegin, oldEnd, newBegin, newEnd;
};

class Matcher {
  public:
    Matcher(const Lines& oldLines, const Lines& newLines) : old_(oldLines), new_(newLines) {}

    // The pairs of matched lines (old index, new index), both ascending.
    std::vector<std::pair<std::size_t, std::size_t>> match() {
        pairs_.clear();
        matchStretch({0, old_.size(), 0, new_.size()});
        std::sort(pairs_.begin(), pairs_.end());
        return pairs_;
    }

  private:
    void matchStretch(Stretch s) {
        while (s.oldBegin < s.oldEnd && s.newBegin < s.newEnd &&
               old_[s.oldBegin] == new_[s.newBegin])
            pairs_.emplace_back(s.oldBegin++, s.newBegin++);
        while (s.oldBegin < s.oldEnd && s.newBegin < s.newEnd &&
               old_[s.oldEnd - 1] == new_[s.newEnd - 1])
            pairs_.emplace_back(--s.oldEnd, --s.newEnd);
        if (s.oldBegin == s.oldEnd || s.newBegin == s.newEnd)
            return;

        const std::vector<std::pair<std::size_t, std::size_t>> anchors = uniqueAnchors(s);
        if (anchors.empty()) {
            matchExactly(s);
            return;
        }
        std::size_t oldAt = s.oldBegin;
        std::size_t newAt = s.newBegin;
        for (const auto& [oldIndex, newIndex] : anchors) {
            matchStretch({oldAt, oldIndex, newAt, newIndex});
            pairs_.emplace_back(oldIndex, newIndex);
            oldAt = oldIndex + 1;
            newAt = newIndex + 1;
        }
        matchStretch({oldAt, s.oldEnd, newAt, s.newEnd});
    }

    // Lines that occur exactly once in each side of the stretch, as pairs in the longest
    // chain that ascends on both sides.
    std::vector<std::pair<std::size_t, std::size_t>> uniqueAnchors(const Stretch& s) const {
        struct Seen {
            std::size_t oldCount = 0, newCount = 0, oldIndex = 0, newIndex = 0;
        };
        std::unordered_map<std::string_view, Seen> seen;
        for (std::size_t i = s.oldBegin; i < s.oldEnd; ++i) {
            Seen& line = seen[old_[i]];
            ++line.oldCount;
            line.oldIndex = i;
        }
        for (std::size_t i = s.newBegin; i < s.newEnd; ++i) {
            Seen& line = seen[new_[i]];
            ++line.newCount;
            line.newIndex = i;
        }
        std::vector<std::pair<std::size_t, std::size_t>> unique;
        for (std::size_t i = s.oldBegin; i < s.oldEnd; ++i) {
            const Seen& line = seen[old_[i]];
            if (line.oldCount == 1 && line.newCount == 1)
                unique.emplace_back(i, line.newIndex);
        }
        return longestAscendingChain(unique);
    }

    // Of pairs ascending by their first index, the longest chain whose second index ascends
    // too (patience sorting).
    static std::vector<std::pair<std::size_t, std::size_t>>
    longestAscendingChain(const std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
        std::vector<std::size_t> pileTops; // index into pairs of each pile's top
        std::vector<std::size_t> previous(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const auto pile = std::lower_bound(
                pileTops.begin(), pileTops.end(), pairs[i].second,
                [&pairs](std::size_t top, std::size_t value) { return pairs[top].second < value; });
            previous[i] = pile == pileTops.begin() ? pairs.size() : *(pile - 1);
            if (pile == pileTops.end())
                pileTops.push_back(i);
            else
                *pile = i;
        }
        std::vector<std::pair<std::size_t, std::size_t>> chain;
        for (std::size_t i = pileTops.empty() ? pairs.size() : pileTops.back(); i < pairs.size();
             i = previous[i])
            chain.push_back(pairs[i]);
        std::reverse(chain.begin(), chain.end());
        return chain;
    }

    // A longest common subsequence of a stretch that is small enough; none for a larger one.
    void matchExactly(const Stretch& s) {
        const std::size_t rows = s.oldEnd - s.oldBegin;
        const std::size_t columns = s.newEnd - s.newBegin;
        if (rows * columns > kLargestExactMatch)
            return;
        // length[i][j]: the longest common subsequence of the old lines from i and the new
        // lines from j, both counted within the stretch.
        std::vector<std::uint32_t> length((rows + 1) * (columns + 1), 0);
        const auto at = [columns](std::size_t i, std::size_t j) { return i * (columns + 1) + j; };
        for (std::size_t i = rows; i-- > 0;)
            for (std::size_t j = columns; j-- > 0;)
                length[at(i, j)] = old_[s.oldBegin + i] == new_[s.newBegin + j]
                                       ? length[at(i + 1, j + 1)] + 1
                                       : std::max(length[at(i + 1, j)], length[at(i, j + 1)]);
        for (std::size_t i = 0, j = 0; i < rows && j < columns;) {
            if (old_[s.oldBegin + i] == new_[s.newBegin + j]) {
                pairs_.emplace_back(s.oldBegin + i++, s.newBegin + j++);
            } else if (length[at(i + 1, j)] >= length[at(i, j + 1)]) {
                ++i;
            } else {
                ++j;
            }
        }
    }

    const Lines& old_;
    const Lines& new_;
    std::vector<std::pair<std::size_t, std::size_t>> pairs_;
};

// One line of the diff: kept (' '), removed ('-') or added ('+'), with where it stands.
struct Edit {
    char kind;
    std::size_t oldIndex; // the old line, or where the old text stands for an added line
    std::size_t newIndex; // the same in the new text
};

std::vector<Edit> editsOf(const Lines& oldLines, const Lines& newLines,
                          const std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
    std::vector<Edit> edits;
    std::size_t i = 0, j = 0;
    const auto changesUpTo = [&](std::size_t oldEnd, std::size_t newEnd) {
        for (; i < oldEnd; ++i)
            edits.push_back({'-', i, j});
        for (; j < newEnd; ++j)
            edits.push_back({'+', i, j});
    };
    for (const auto& [oldIndex, newIndex] : pairs) {
        changesUpTo(oldIndex, newIndex);
        edits.push_back({' ', i++, j++});
    }
    changesUpTo(oldLines.size(), newLines.size());
    return edits;
}

// "start,count" of a hunk, as diff writes it: a count of 1 is left out, and an empty range
// starts at the line before it.
std::string range(std::size_t first, std::size_t count) {
    const std::size_t start = count == 0 ? first : first + 1;
    if (count == 1)
        return std::to_string(start);
    return std::to_string(start) + "," + std::to_string(count);
}

void appendLine(std::string& out, char kind, std::string_view line) {
    out += kind;
    if (!line.empty() && line.back() == '\n') {
        out += line;
        return;
    }
    out += line;
    out += "\n\\ No newline at end of file\n";
}
} // namespace

std::string unifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel) {
    const Lines oldLines = splitLines(oldText);
    const Lines newLines = splitLines(newText);
    const std::vector<Edit> edits =
        editsOf(oldLines, newLines, Matcher(oldLines, newLines).match());

    std::string out;
    std::size_t at = 0;
    while (at < edits.size()) {
        if (edits[at].kind == ' ') {
            ++at;
            continue;
        }
        // A hunk: this change, every change that follows within twice the context, and the
        // context around them.
        const std::size_t begin = at - std::min(at, kContext);
        std::size_t lastChange = at;
        for (std::size_t i = at + 1; i < edits.size() && i - lastChange <= 2 * kContext + 1; ++i) {
            if (edits[i].kind != ' ')
                lastChange = i;
        }
        const std::size_t end = std::min(edits.size(), lastChange + 1 + kContext);

        std::size_t oldCount = 0, newCount = 0;
        for (std::size_t i = begin; i < end; ++i) {
            oldCount += edits[i].kind != '+';
            newCount += edits[i].kind != '-';
        }
        if (out.empty()) {
            out += "--- " + std::string(oldLabel) + "\n";
            out += "+++ " + std::string(newLabel) + "\n";
        }
        out += "@@ -" + range(edits[begin].oldIndex, oldCount) + " +" +
               range(edits[begin].newIndex, newCount) + " @@\n";
        for (std::size_t i = begin; i < end; ++i) {
            const Edit& edit = edits[i];
            appendLine(out, edit.kind,
                       edit.kind == '+' ? newLines[edit.newIndex] : oldLines[edit.oldIndex]);
        }
        at = end;
    }
    return out;
}
