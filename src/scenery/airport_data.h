#pragma once

#include "base/file_error.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// X-Plane's airport data, apt.dat: the simulator's Global Airports pack holds every airport,
// an add-on pack its own. An airport's header row is `1` (an airport), `16` (a seaplane base)
// or `17` (a heliport) `<elevation> <unused> <unused> <code> <name...>`; the metadata rows
// after it name its region (`1302 region_code ED`) and, when its code is no ICAO code, the
// ICAO code (`1302 icao_code EDDM`). Older files have no metadata rows.

struct AirportFacts {
    std::string name;   // as the file writes it
    std::string region; // empty when the file names none
};

class AirportData {
  public:
    // Reads the airports of an apt.dat, in pieces, so that a file of hundreds of megabytes
    // needs little memory; onProgress(bytesRead, fileSize) follows the reading from 0 on. A later
    // airport of the same code takes the place of an earlier one.
    FileResult read(const std::string& path,
                    const std::function<void(std::uint64_t, std::uint64_t)>& onProgress);

    // The airport of an ICAO code, letters compared without regard to case; null when the
    // file has none.
    const AirportFacts* find(std::string_view icao) const;

  private:
    // Reads one line (without its line end) of the file.
    void readLine(std::string_view line);

    std::unordered_map<std::string, AirportFacts> airports_; // by upper-cased code
    // The airport whose metadata rows follow, under its own code and its ICAO code.
    AirportFacts* current_ = nullptr;
    AirportFacts* currentByIcao_ = nullptr;
    std::string currentCode_;
};
