#pragma once

#include "scenery/custom_airports.h"
#include "scenery/xplane_paths.h"

#include <string_view>
#include <vector>

// The add-on airports of an X-Plane folder as the command line lists them: every folder of
// Custom Scenery that holds Earth nav data/nav.dat, in listing order. An empty list when
// Custom Scenery is missing or cannot be read.
std::vector<CustomAirport> listCustomAirports(const XPlaneFolder& folder);

// The listing order: the order in which NTFS lists names, so the order of the window's table
// on Windows. Bytes are compared by value with the letters a-z taken as A-Z; names that differ
// only in the case of their letters (possible elsewhere) keep the order of their bytes.
bool listsBefore(std::string_view a, std::string_view b);
