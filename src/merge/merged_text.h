#pragma once

#include "base/text.h"
#include "base/text_file.h"
#include "merge/database_text.h"
#include "merge/nav_data.h"

#include <string>
#include <string_view>
#include <vector>

// Writes the merged database in pieces: the database's lines in file order but for the rows
// not kept, and the added rows, in the database's frame. An 810 database is written in the
// frame "I", its header row, a blank line, its lines, a blank line, the added rows each
// followed by a blank line, a blank line and "99", every line ended by a line feed. Later
// formats keep every line as it was and take the added rows in the order of their row codes
// (a glideslope after its localizer, a DME after its VOR), in the order given within a code,
// with the line end of their first line, before their final "99" row (at the end without
// one).
template <typename Write>
void writeMergedText(const DatabaseText& database, const std::vector<bool>& kept,
                     const std::vector<NavaidRecord>& added, Write&& write) {
    const bool v810 = database.format() == NavFormat::V810;
    const auto writeAdded = [&] {
        if (v810) {
            for (const NavaidRecord& row : added) {
                write(row.line);
                write("\n");
            }
            return;
        }
        for (int code = kFirstNavaidRowCode; code <= kLastNavaidRowCode; ++code) {
            for (const NavaidRecord& row : added) {
                if (row.type != code)
                    continue;
                write(withoutLineEnd(row.line));
                write(database.lineEnd());
            }
        }
    };
    if (v810) {
        write("I\n");
        write(database.headerLine());
        write("\n");
    }
    database.forEachLineInFileOrder(
        [&](std::size_t row) {
            if (kept[row])
                write(database.rowLine(row));
        },
        [&](std::string_view line, bool finalEnd) {
            if (finalEnd)
                writeAdded();
            write(line);
        });
    if (v810) {
        write("\n");
        writeAdded();
        write("\n99\n");
    } else if (!database.hasFinalEndRow()) {
        const std::string& text = database.text();
        if (!text.empty() && text.back() != '\n')
            write(database.lineEnd());
        writeAdded();
    }
}

// The merged text whole.
inline std::string mergedText(const DatabaseText& database, const std::vector<bool>& kept,
                              const std::vector<NavaidRecord>& added) {
    std::string text;
    text.reserve(database.text().size());
    writeMergedText(database, kept, added, [&text](std::string_view piece) { text += piece; });
    return text;
}
