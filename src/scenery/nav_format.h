#pragma once

#include "base/text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// X-Plane's navaid data formats and where the simulator reads them. Every rule that rests on
// what is known of X-Plane's files is here, so that a correction is one edit: the versions,
// the columns of each format, a navaid's identity and its relations to another in each
// format, and the rules by which a row of an older format is written in a newer one. It lies
// below the merge because choosing the database to merge into needs it too.

// ---- Versions: the leading number of a file's second line.

enum class NavFormat {
    V810 = 810,   // X-Plane 8.10 to 10.52
    V1100 = 1100, // X-Plane 11.00 and later: terminal area and ICAO region columns
    V1150 = 1150, // X-Plane 11.50 and later: localizers carry their magnetic course too
    V1200 = 1200, // X-Plane 12: no change to the rows Quillet merges
};

inline int versionOf(NavFormat format) {
    return static_cast<int>(format);
}

// None for a version that is none of the four.
std::optional<NavFormat> navFormatOf(int version);

// The simulator and the version, as the user reads them: "X-Plane 12 format 1200".
std::string formatName(NavFormat format);

// The first line of a nav data file: "I" or "A" (after a UTF-8 byte order mark, blanks
// aside).
bool isMarkerLine(std::string_view line);

// The version a nav data file declares on its version line, its second line (line ends may be
// CR LF, LF or a lone CR): optional blanks, a number of 1 to 9 digits, blanks, then the word
// "Version" in any letter case with no letter or digit right after it. None when the second
// line is no version line.
std::optional<int> declaredVersion(std::string_view fileStart);

// ---- How large navaid files are. Real databases hold 2 to 4 MB, the largest real add-on
// files a few hundred KB: files many times larger are no navaid files, and are not read.
inline constexpr std::uint64_t kLargestDatabaseBytes = std::uint64_t{64} << 20;
inline constexpr std::uint64_t kLargestAddOnFileBytes = std::uint64_t{16} << 20;

// ---- Where the simulator reads its navaids.

// Names below the X-Plane folder.
inline constexpr std::string_view kCustomDataFolder = "Custom Data";
inline constexpr std::string_view kDatabaseName = "earth_nav.dat";
// What a navdata update from a provider puts in Custom Data beside its earth_nav.dat. The
// user's own files there (user_nav.dat, user_fix.dat) are not among them.
inline constexpr std::string_view kNavdataUpdateFiles[] = {"earth_fix.dat", "earth_awy.dat"};

// X-Plane 11 and later read Custom Data/earth_nav.dat, when it is there, in place of the
// default database.
inline bool readsCustomData(NavFormat defaultFormat) {
    return defaultFormat >= NavFormat::V1100;
}

// ---- Rows.

// Navaid rows, the rows a merge compares and adds, have the codes 2 to 13 in every format.
// 1100 and later add codes 14 to 16 (path points and GLS stations), which are not merged.
inline constexpr int kFirstNavaidRowCode = 2;
inline constexpr int kLastNavaidRowCode = 13;
inline bool isNavaidRowCode(int code) {
    return code >= kFirstNavaidRowCode && code <= kLastNavaidRowCode;
}

inline bool isLocalizer(int type) {
    return type == 4 || type == 5;
}
inline bool isMarker(int type) {
    return type >= 7 && type <= 9;
}
inline bool isDme(int type) {
    return type == 12 || type == 13;
}
inline bool isEnRouteStation(int type) { // NDB or VOR
    return type == 2 || type == 3;
}
// Localizers, glideslopes and markers belong to a runway of an airport.
inline bool isRunwayEquipment(int type) {
    return type >= 4 && type <= 9;
}

// The words of a navaid row that tell which navaid it is, as views into the row. After the
// row code and six numbers (latitude, longitude, elevation, frequency, range, a value such as
// a bearing) come, in 810, the identifier and the name; in 1100 and later the identifier,
// the terminal area, the ICAO region and the name.
struct NavaidWords {
    int type = 0;
    std::string_view callsign; // the identifier
    std::string_view terminal; // 1100 and later: the airport's ICAO code, or ENRT
    std::string_view region;   // 1100 and later: the ICAO region
    // 810: the word after the identifier (for runway equipment, the airport). 1100 and later:
    // every word after the region, from the first to the last (for runway equipment and
    // airport DMEs, the runway and the type name; else the facility name).
    std::string_view name;
    std::string_view rwyName; // 810 only: the third word (for runway equipment, the runway)
};

inline bool hasTerminalAndRegion(NavFormat format) {
    return format >= NavFormat::V1100;
}

// The terminal area of en-route navaids (NDBs, VORs, their DMEs) in 1100 and later.
inline constexpr std::string_view kEnRouteTerminal = "ENRT";

// Whether a row read in the format has that format's columns: in 1100 and later a region of
// two characters and a name (runway and type name for runway equipment); in 810 not the
// columns of 1100 (an identifier followed by ENRT and a region).
bool hasColumnsOf(NavFormat format, const NavaidWords& row);

// ---- Identity and relations. Words, blanks and letter case are those of base/text.h.

// The same words, however many blanks part them, compared as equalsIgnoringCase does.
bool sameWordsIgnoringCase(std::string_view a, std::string_view b);

// A navaid's NAME: in 810 the name and the runway name for row codes 4 to 12, the name alone
// for the others; in 1100 and later the whole name.
inline bool nameIncludesRunway(NavFormat format, int type) {
    return format == NavFormat::V810 && type >= 4 && type <= 12;
}

enum class Relation { None, Duplicate, NameConflict, CallsignConflict };

// How a custom row relates to a database row of the same row code. In 1100 and later the
// identity is (row code, identifier, terminal area, region): rows of other terminal areas or
// regions are never related. Then, in every format: the same identifier and NAME is a
// duplicate; the same NAME with another identifier a NAME conflict; the same identifier with
// every NAME field different a CALLSIGN conflict.
Relation relationOf(NavFormat format, const NavaidWords& base, const NavaidWords& custom);

// Whether two rows of 1100 or later are one navaid, which a database holds once: the same row
// code, identifier, terminal area and region, and the same name; markers, the same runway (the
// first word of their name).
bool isSameNavaid(const NavaidWords& a, const NavaidWords& b);

// ---- Rows whose columns do not fit their row code.

// Why an add-on navaid row, read in its file's format, does not fit its row code; none when it
// does. A row holds no NUL byte. After the row code, a word of digits alone, come a latitude (-90
// to 90) and a longitude (-180 to 180), the elevation, frequency and range as whole numbers, a
// seventh number, then the words: in 810 the identifier and a name, for runway equipment the
// identifier, airport, runway and type; in 1100 and later the identifier, terminal area, region and
// a name, for runway equipment the runway and type. Numbers are plain decimals: an optional sign,
// digits, a point.
std::optional<std::string> columnFault(NavFormat format, std::string_view line);

// ---- Rows of an older format in a newer database.

// Rows of a format newer than the database's are never merged; rows of an older one are
// written in the database's format. An add-on that declares no version, or one that is none
// of the four, has no certain format: its rows go into an 810 database (whose merge never
// read an add-on's header) when its version is not above 810, and into a later one when it
// declares none and every navaid row has the columns of 810. An 810 row becomes an 1100 row
// thus, its numbers as the add-on wrote them:
// - terminal area: the 810 airport word for runway equipment and for the DMEs of localizers
//   (a DME whose identifier and airport are those of a localizer); ENRT for NDBs, VORs, their
//   DMEs (a DME code 12 with the identifier of an NDB or VOR within kSameNavaidRangeNm) and
//   stand-alone DMEs (code 13); a code 12 DME of none of these is not merged;
// - markers take the identifier of the localizer of the same airport and runway: the
//   add-on's own, else the database's; without exactly one such identifier the marker is not
//   merged;
// - name: the 810 words after the airport (runway equipment) or after the identifier (the
//   others), parted by one blank, upper-cased but for the localizer type words, which take
//   the spelling of spelledNameWord; an ILS DME is named after its airport: ilsDmeName;
// - the navaid it takes the place of, its counterpart: the database row of the same row code
//   and terminal area with the same identifier and name, else the same name, else the same
//   identifier (en-route navaids: the same identifier, the nearest within
//   kSameNavaidRangeNm). The row takes from it the region, the spelling of its identifier,
//   terminal area and name when they are the same words, an ILS DME's name, and a
//   localizer's magnetic variation: a navaid written back in its own 810 form is the
//   database's row again;
// - region, without a counterpart: for an airport's rows, the region that X-Plane's airport
//   data (the add-on's own apt.dat, then the simulator's Global Airports) gives the airport,
//   else the one region of the database's rows of that airport, else the region of the
//   nearest database navaid within kRegionNavaidRangeNm; for en-route navaids that nearest
//   navaid's, else the region of an airport of the add-on whose runway equipment lies within
//   that distance; else the row is not merged.
// Row codes 10 and 11 have no rule and are not merged.

// Navaids further apart than this are not the same navaid, though they share an identifier.
inline constexpr double kSameNavaidRangeNm = 100;
// The region of the nearest database navaid is taken from this far: on X-Plane 12's database
// the nearest other navaid within 25 nm is of the same region for 98.5 % of NDBs and VORs,
// within 25 to 150 nm for 80 to 93 %; beyond, a navaid is more often in a region of its own.
inline constexpr double kRegionNavaidRangeNm = 150;

// A word of an 1100 name as X-Plane's data writes it: the localizer types ILS-cat-I,
// ILS-cat-II and ILS-cat-III in that spelling, whatever their letter case; any other word
// upper-cased.
std::string spelledNameWord(std::string_view word);

// An ILS DME's name in 1100 and later: its airport's name followed by DME-ILS.
inline constexpr std::string_view kIlsDmeWord = "DME-ILS";
bool isIlsDmeName(std::string_view name);
std::string ilsDmeName(std::string_view airportName);
// The airport's name in an ILS DME's name (the words before DME-ILS).
std::string_view airportNameOfIlsDme(std::string_view name);

// The format an add-on file's rows are read in: the one its version declares, else 810.
NavFormat addOnRowFormat(std::optional<int> fileVersion);

// Why none of the navaid rows of an add-on file that declares fileVersion (none without a
// version line) go into a database of that format; none when they may, each by its own rules.
// An 810 database takes any file but one that declares a newer format, as X-Plane 8 to 10
// never read an add-on's header; a later database takes files of a known format no newer
// than its own, and files without a version line whose navaid rows all have 810's columns
// (rowsFit810).
std::optional<std::string> addOnFileRefusal(NavFormat database, std::optional<int> fileVersion,
                                            bool rowsFit810);

// 810 and 1100 localizers carry their true course in the bearing field; 1150 and later
// carry magnetic x 360 + true there (45852.474: 127 degrees magnetic, 132.474 true).
inline bool bearingCarriesMagneticCourse(NavFormat format, int type) {
    return format >= NavFormat::V1150 && isLocalizer(type);
}

// The magnetic variation of a localizer that gains its magnetic course, east positive: the
// one its counterpart's bearing field implies (true less magnetic), else that of the
// database's localizers of its airport, else the variation of the nearest database VOR within
// kVariationVorRangeNm (the VOR row's seventh column), else the World Magnetic Model's
// declination at the database's data cycle. The magnetic course is the true course less the
// variation, rounded to a whole degree.
inline constexpr double kVariationVorRangeNm = 200;

// The variation an 1150 bearing field implies (true less magnetic, from -180 to under 180);
// none for a field that is no number.
std::optional<double> variationOfBearing(std::string_view field);

// The 1150 bearing field for a true course text and a variation: magnetic x 360 + true, the
// true course's decimals kept. None when the text is not a plain course from 0 to under 360.
std::optional<std::string> bearingWithMagneticCourse(std::string_view trueCourse, double variation);

// The date of a data cycle "data cycle YYNN" named in a version line, as a year with its
// fraction (the middle of the cycle's 28 days); none when the line names none.
std::optional<double> dataCycleYear(std::string_view versionLine);
