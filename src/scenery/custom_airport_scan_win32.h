#pragma once

#include "scenery/custom_airports.h"
#include "scenery/xplane_paths.h"

#include <windows.h>

#include <string>
#include <vector>

// The X-Plane folder a window lists the custom airports of, and what it found there.
struct XPlaneScenery {
    std::string xplaneDirectory;               // with its trailing backslash
    MergeTarget mergeTarget;                   // the navaid database a merge goes into
    std::vector<CustomAirport> airports;       // in the order the folder listing gave
    std::vector<std::string> airportDataPaths; // where X-Plane's Global Airports may be
};

// Lists the custom airports of the X-Plane folder that holds xplaneExePath: every folder of
// Custom Scenery with an "Earth nav data\nav.dat" is appended to scenery.airports, in the
// order the folder listing gives, and to listBox. Sets scenery's X-Plane folder and merge
// target. A path that names no usable folder changes nothing.
void scanCustomAirports(const char* xplaneExePath, XPlaneScenery& scenery, HWND listBox);
