#pragma once

#include <string>
#include <string_view>

// Whether earth_nav.dat is a navaid database that the merge can rewrite. Anything else is left
// alone, backup included: a file the merge cannot read must never be replaced by what it made
// of it, nor a database of another format by lines written in this one.

// The one format the merge reads and writes.
inline constexpr int kMergeableVersion = 810;

enum class DatabaseVerdict {
    Mergeable,
    Empty,
    Utf16,         // a UTF-16 byte-order mark, or a NUL byte beside every character
    NulBytes,      // NUL bytes anywhere else
    NoVersionLine, // line 2 is no version line
    OtherVersion,  // a version line of another format than kMergeableVersion
};

struct DatabaseCheck {
    DatabaseVerdict verdict = DatabaseVerdict::Mergeable;
    int version = 0; // the number of the version line, when there is one
};

// Inspects the database's text as read (line ends as line feeds, no UTF-8 byte-order mark).
// The version line is line 2: optional blanks or tabs, a number of 1 to 9 digits, blanks or
// tabs, then the word "Version" in any letter case, with no letter or digit right after it.
DatabaseCheck checkDatabase(std::string_view text);

// The one-line message telling the user what the file named fileName holds and that it was
// left as it was.
std::string refusalMessage(const DatabaseCheck& check, std::string_view fileName);
