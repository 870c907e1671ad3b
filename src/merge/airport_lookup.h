#pragma once

#include "merge/merge_screen.h"
#include "scenery/airport_data.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What X-Plane's airport data says of the airports of converted rows: an add-on pack's own
// apt.dat first, then the simulator's Global Airports apt.dat. Each file is read when a row
// first needs it, each on its own stage of the progress bar; one that cannot be read is taken
// as one that names no airport.
class AirportLookup {
  public:
    // globalPaths: where the Global Airports apt.dat may be, the first that can be read used.
    AirportLookup(std::vector<std::string> globalPaths, const MergeScreen& screen,
                  MergeStatus& status);

    // The region and the name of the airport of that ICAO code, for a row of the add-on
    // whose nav.dat is at navDatPath; none when neither file names one.
    std::optional<std::string> regionOf(const std::string& navDatPath, std::string_view icao);
    std::optional<std::string> nameOf(const std::string& navDatPath, std::string_view icao);

  private:
    // The facts of the airport in the pack's apt.dat, then in the global one.
    template <typename Fact>
    std::optional<std::string> firstOf(const std::string& navDatPath, std::string_view icao,
                                       Fact&& fact);
    const AirportData& packData(const std::string& navDatPath);
    const AirportData& globalData();
    AirportData readData(const std::string& path);

    std::vector<std::string> globalPaths_;
    const MergeScreen& screen_;
    MergeStatus& status_;
    std::map<std::string, AirportData> packs_; // by nav.dat path
    std::optional<AirportData> global_;
};
