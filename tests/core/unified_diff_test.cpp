#include "base/unified_diff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// Applies a unified diff as patch would, strictly: every context and removed line must be
// the old text's line at that place, and the hunk counts must agree with the hunk's lines.
::testing::AssertionResult applyDiff(const std::string& oldText, const std::string& diff,
                                     std::string& patched) {
    const std::vector<std::string> old = linesOf(oldText);
    const std::vector<std::string> lines = linesOf(diff);
    patched.clear();
    std::size_t oldAt = 0; // old lines copied or consumed so far
    std::size_t i = 2;     // past the two labels
    while (i < lines.size()) {
        unsigned oldStart = 0, oldCount = 1, newStart = 0, newCount = 1;
        const std::string& header = lines[i++];
        if (std::sscanf(header.c_str(), "@@ -%u,%u +%u,%u @@", &oldStart, &oldCount, &newStart,
                        &newCount) != 4 &&
            std::sscanf(header.c_str(), "@@ -%u +%u,%u @@", &oldStart, &newStart, &newCount) != 3 &&
            std::sscanf(header.c_str(), "@@ -%u,%u +%u @@", &oldStart, &oldCount, &newStart) != 3 &&
            std::sscanf(header.c_str(), "@@ -%u +%u @@", &oldStart, &newStart) != 2)
            return ::testing::AssertionFailure() << "not a hunk header: " << header;
        const std::size_t first = oldCount == 0 ? oldStart : oldStart - 1;
        if (first < oldAt || first > old.size())
            return ::testing::AssertionFailure() << "hunk out of order: " << header;
        for (; oldAt < first; ++oldAt)
            patched += old[oldAt];
        std::size_t removed = 0, added = 0;
        while (i < lines.size() && lines[i].rfind("@@", 0) != 0) {
            std::string line = lines[i++].substr(1);
            const char kind = lines[i - 1][0];
            if (i < lines.size() && lines[i] == "\\ No newline at end of file\n") {
                line.pop_back();
                ++i;
            }
            if (kind == '+') {
                patched += line;
                ++added;
                continue;
            }
            if (oldAt >= old.size() || old[oldAt] != line)
                return ::testing::AssertionFailure() << "old line " << oldAt + 1 << " differs";
            if (kind == ' ') {
                patched += line;
                ++added;
            }
            ++removed;
            ++oldAt;
        }
        if (removed != oldCount || added != newCount)
            return ::testing::AssertionFailure() << "counts differ from " << header;
    }
    for (; oldAt < old.size(); ++oldAt)
        patched += old[oldAt];
    return ::testing::AssertionSuccess();
}

TEST(UnifiedDiff, IsWrittenAsDiffWritesIt) {
    const struct {
        const char* what;
        std::string oldText, newText, diff;
    } cases[] = {
        {"equal texts", "a\nb\n", "a\nb\n", ""},
        {"a line changed, with context", "1\n2\n3\n4\n5\n6\n7\n8\n", "1\n2\n3\n4x\n5\n6\n7\n8\n",
         "--- old\n+++ new\n@@ -1,7 +1,7 @@\n 1\n 2\n 3\n-4\n+4x\n 5\n 6\n 7\n"},
        {"lines added to an empty text", "", "a\nb\n",
         "--- old\n+++ new\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
        {"one line removed at the end", "a\nb\n", "a\n",
         "--- old\n+++ new\n@@ -1,2 +1 @@\n a\n-b\n"},
        {"a last line without its line feed", "a\nb", "a\nb\n",
         "--- old\n+++ new\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
        {"changes six lines apart share a hunk", "0\n1\n2\n3\n4\n5\n6\n7\n",
         "0x\n1\n2\n3\n4\n5\n6\n7x\n",
         "--- old\n+++ new\n@@ -1,8 +1,8 @@\n-0\n+0x\n 1\n 2\n 3\n 4\n 5\n 6\n-7\n+7x\n"},
        {"changes seven lines apart make two hunks", "0\n1\n2\n3\n4\n5\n6\n7\n8\n",
         "0x\n1\n2\n3\n4\n5\n6\n7\n8x\n",
         "--- old\n+++ new\n@@ -1,4 +1,4 @@\n-0\n+0x\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n "
         "7\n-8\n+8x\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unifiedDiff(c.oldText, c.newText, "old", "new"), c.diff) << c.what;
}

// A small deterministic generator, the same on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t below(std::uint32_t n) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((state_ >> 33) % n);
    }

  private:
    std::uint64_t state_;
};

// Texts with unique lines, repeated lines (blank lines, "99") and edits between them: the diff
// always turns the old text into the new one, and a small edit gives a small diff.
TEST(UnifiedDiff, ApplyingItGivesTheNewText) {
    Random random(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> old;
        const std::uint32_t size = random.below(60);
        for (std::uint32_t i = 0; i < size; ++i) {
            const std::uint32_t kind = random.below(10);
            old.push_back(kind == 0   ? "\n"
                          : kind == 1 ? "99\n"
                                      : "row " + std::to_string(random.below(1000)) + "\n");
        }
        std::vector<std::string> changed = old;
        std::size_t edits = random.below(6);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = random.below(static_cast<std::uint32_t>(changed.size() + 1));
            if (random.below(2) == 0 && at < changed.size())
                changed.erase(changed.begin() + static_cast<std::ptrdiff_t>(at));
            else
                changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(at),
                               "new " + std::to_string(random.below(1000)) + "\n");
        }
        std::string oldText, newText;
        for (const std::string& line : old)
            oldText += line;
        for (const std::string& line : changed)
            newText += line;
        if (random.below(4) == 0 && !newText.empty())
            newText.pop_back(); // no line feed at the end

        const std::string diff = unifiedDiff(oldText, newText, "a", "b");
        std::string patched;
        ASSERT_TRUE(applyDiff(oldText, diff, patched)) << diff;
        ASSERT_EQ(patched, newText) << diff;
        std::size_t changedLines = 0;
        for (const std::string& line : linesOf(diff))
            changedLines += (line[0] == '+' || line[0] == '-') && line.rfind("+++", 0) != 0 &&
                            line.rfind("---", 0) != 0;
        EXPECT_LE(changedLines, 2 * edits + 2) << diff;
    }
}

TEST(UnifiedDiff, LargeTextsWithFewChangesGiveSmallHunks) {
    std::string oldText, newText;
    for (int i = 0; i < 30000; ++i) {
        const std::string line = "2 1.0 1.0 0 300 25 0.0 N" + std::to_string(i) + " NDB\n";
        oldText += line;
        if (i % 5000 != 17)
            newText += line;
    }
    for (int i = 0; i < 3000; ++i)
        newText += "\n3 2.0 2.0 0 300 25 0.0 C" + std::to_string(i) + " VOR\n";
    const std::string diff = unifiedDiff(oldText, newText, "a", "b");
    std::string patched;
    ASSERT_TRUE(applyDiff(oldText, diff, patched));
    EXPECT_EQ(patched, newText);
    std::size_t removed = 0;
    for (const std::string& line : linesOf(diff))
        removed += line[0] == '-' && line.rfind("---", 0) != 0;
    EXPECT_EQ(removed, 6u);
}

} // namespace
