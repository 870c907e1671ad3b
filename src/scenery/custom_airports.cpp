#include "scenery/custom_airports.h"

std::vector<CustomAirport> customAirports;
std::string xplaneDirectory;
std::string earthNavPath;
