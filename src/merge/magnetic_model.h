#pragma once

// The World Magnetic Model: the declination of the Earth's magnetic field, the angle from true
// north to magnetic north, east positive.

// The declination in degrees at a place on the WGS 84 ellipsoid (at sea level) on a date given
// as a year with its fraction. The model (WMM2025) is made for 2025.0 to 2030.0; outside those
// years its secular change is extrapolated, less exactly the further.
double magneticDeclination(double latitude, double longitude, double year);
