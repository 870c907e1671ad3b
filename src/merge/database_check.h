#pragma once

#include <string>
#include <string_view>

// Whether earth_nav.dat is a navaid database that the merge can rewrite. Anything else is left
// alone, backup included: a file the merge cannot read must never be replaced by what it made
// of it, nor a database of a format it does not know by lines written in another.

enum class DatabaseVerdict {
    Mergeable,
    Empty,
    Utf16,         // a UTF-16 byte-order mark, or a NUL byte beside every character
    NulBytes,      // NUL bytes anywhere else
    NoVersionLine, // line 2 is no version line
    OtherVersion,  // a version line of a format that nav_format.h does not know
    NoNavaidRows,  // not one navaid row
    MostlyNotRows, // more lines that are no rows of its format than navaid rows
};

struct DatabaseCheck {
    DatabaseVerdict verdict = DatabaseVerdict::Mergeable;
    int version = 0; // the number of the version line, when there is one
};

// Inspects the database's text as it is on disk; its version line is read as nav_format.h
// says. After the version line, a line is a navaid row when it starts with a navaid row code
// (rowCode), a row of its format when it starts with "99" or (1100 and later) codes 14 to 16,
// and blank lines do not count: real databases, malformed rows and all, are nearly all rows;
// prose or binary data is not.
DatabaseCheck checkDatabase(std::string_view text);

// The one-line message telling the user what the file named fileName holds and that it was
// left as it was.
std::string refusalMessage(const DatabaseCheck& check, std::string_view fileName);
