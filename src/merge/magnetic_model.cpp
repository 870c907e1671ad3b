#include "merge/magnetic_model.h"

#include <array>
#include <cmath>

namespace {
// WMM2025 (NOAA NCEI and the British Geological Survey, public domain): for each degree n and
// order m the Gauss coefficients g, h in nT at the epoch and their yearly change.
struct Coefficient {
    int n, m;
    double g, h, gDot, hDot;
};
constexpr double kEpoch = 2025.0;
constexpr Coefficient kCoefficients[] = {
    {1, 0, -29351.8, 0.0, 12.0, 0.0},    {1, 1, -1410.8, 4545.4, 9.7, -21.5},
    {2, 0, -2556.6, 0.0, -11.6, 0.0},    {2, 1, 2951.1, -3133.6, -5.2, -27.7},
    {2, 2, 1649.3, -815.1, -8.0, -12.1}, {3, 0, 1361.0, 0.0, -1.3, 0.0},
    {3, 1, -2404.1, -56.6, -4.2, 4.0},   {3, 2, 1243.8, 237.5, 0.4, -0.3},
    {3, 3, 453.6, -549.5, -15.6, -4.1},  {4, 0, 895.0, 0.0, -1.6, 0.0},
    {4, 1, 799.5, 278.6, -2.4, -1.1},    {4, 2, 55.7, -133.9, -6.0, 4.1},
    {4, 3, -281.1, 212.0, 5.6, 1.6},     {4, 4, 12.1, -375.6, -7.0, -4.4},
    {5, 0, -233.2, 0.0, 0.6, 0.0},       {5, 1, 368.9, 45.4, 1.4, -0.5},
    {5, 2, 187.2, 220.2, 0.0, 2.2},      {5, 3, -138.7, -122.9, 0.6, 0.4},
    {5, 4, -142.0, 43.0, 2.2, 1.7},      {5, 5, 20.9, 106.1, 0.9, 1.9},
    {6, 0, 64.4, 0.0, -0.2, 0.0},        {6, 1, 63.8, -18.4, -0.4, 0.3},
    {6, 2, 76.9, 16.8, 0.9, -1.6},       {6, 3, -115.7, 48.8, 1.2, -0.4},
    {6, 4, -40.9, -59.8, -0.9, 0.9},     {6, 5, 14.9, 10.9, 0.3, 0.7},
    {6, 6, -60.7, 72.7, 0.9, 0.9},       {7, 0, 79.5, 0.0, -0.0, 0.0},
    {7, 1, -77.0, -48.9, -0.1, 0.6},     {7, 2, -8.8, -14.4, -0.1, 0.5},
    {7, 3, 59.3, -1.0, 0.5, -0.8},       {7, 4, 15.8, 23.4, -0.1, 0.0},
    {7, 5, 2.5, -7.4, -0.8, -1.0},       {7, 6, -11.1, -25.1, -0.8, 0.6},
    {7, 7, 14.2, -2.3, 0.8, -0.2},       {8, 0, 23.2, 0.0, -0.1, 0.0},
    {8, 1, 10.8, 7.1, 0.2, -0.2},        {8, 2, -17.5, -12.6, 0.0, 0.5},
    {8, 3, 2.0, 11.4, 0.5, -0.4},        {8, 4, -21.7, -9.7, -0.1, 0.4},
    {8, 5, 16.9, 12.7, 0.3, -0.5},       {8, 6, 15.0, 0.7, 0.2, -0.6},
    {8, 7, -16.8, -5.2, -0.0, 0.3},      {8, 8, 0.9, 3.9, 0.2, 0.2},
    {9, 0, 4.6, 0.0, -0.0, 0.0},         {9, 1, 7.8, -24.8, -0.1, -0.3},
    {9, 2, 3.0, 12.2, 0.1, 0.3},         {9, 3, -0.2, 8.3, 0.3, -0.3},
    {9, 4, -2.5, -3.3, -0.3, 0.3},       {9, 5, -13.1, -5.2, 0.0, 0.2},
    {9, 6, 2.4, 7.2, 0.3, -0.1},         {9, 7, 8.6, -0.6, -0.1, -0.2},
    {9, 8, -8.7, 0.8, 0.1, 0.4},         {9, 9, -12.9, 10.0, -0.1, 0.1},
    {10, 0, -1.3, 0.0, 0.1, 0.0},        {10, 1, -6.4, 3.3, 0.0, 0.0},
    {10, 2, 0.2, 0.0, 0.1, -0.0},        {10, 3, 2.0, 2.4, 0.1, -0.2},
    {10, 4, -1.0, 5.3, -0.0, 0.1},       {10, 5, -0.6, -9.1, -0.3, -0.1},
    {10, 6, -0.9, 0.4, 0.0, 0.1},        {10, 7, 1.5, -4.2, -0.1, 0.0},
    {10, 8, 0.9, -3.8, -0.1, -0.1},      {10, 9, -2.7, 0.9, -0.0, 0.2},
    {10, 10, -3.9, -9.1, -0.0, -0.0},    {11, 0, 2.9, 0.0, 0.0, 0.0},
    {11, 1, -1.5, 0.0, -0.0, -0.0},      {11, 2, -2.5, 2.9, 0.0, 0.1},
    {11, 3, 2.4, -0.6, 0.0, -0.0},       {11, 4, -0.6, 0.2, 0.0, 0.1},
    {11, 5, -0.1, 0.5, -0.1, -0.0},      {11, 6, -0.6, -0.3, 0.0, -0.0},
    {11, 7, -0.1, -1.2, -0.0, 0.1},      {11, 8, 1.1, -1.7, -0.1, -0.0},
    {11, 9, -1.0, -2.9, -0.1, 0.0},      {11, 10, -0.2, -1.8, -0.1, 0.0},
    {11, 11, 2.6, -2.3, -0.1, 0.0},      {12, 0, -2.0, 0.0, 0.0, 0.0},
    {12, 1, -0.2, -1.3, 0.0, -0.0},      {12, 2, 0.3, 0.7, -0.0, 0.0},
    {12, 3, 1.2, 1.0, -0.0, -0.1},       {12, 4, -1.3, -1.4, -0.0, 0.1},
    {12, 5, 0.6, -0.0, -0.0, -0.0},      {12, 6, 0.6, 0.6, 0.1, -0.0},
    {12, 7, 0.5, -0.1, -0.0, -0.0},      {12, 8, -0.1, 0.8, 0.0, 0.0},
    {12, 9, -0.4, 0.1, 0.0, -0.0},       {12, 10, -0.2, -1.0, -0.1, -0.0},
    {12, 11, -1.3, 0.1, -0.0, 0.0},      {12, 12, -0.7, 0.2, -0.1, -0.1},
};
constexpr int kDegrees = 12;
constexpr double kPi = 3.14159265358979323846;
constexpr double kReferenceRadiusKm = 6371.2;
constexpr double kEquatorialRadiusKm = 6378.137; // WGS 84
constexpr double kFlattening = 1 / 298.257223563;
} // namespace

double magneticDeclination(double latitude, double longitude, double year) {
    const double toRadians = kPi / 180;
    const double geodetic = latitude * toRadians;
    const double lambda = longitude * toRadians;

    // The place in geocentric spherical coordinates.
    const double eccentricity2 = kFlattening * (2 - kFlattening);
    const double sinGeodetic = std::sin(geodetic);
    const double curvature =
        kEquatorialRadiusKm / std::sqrt(1 - eccentricity2 * sinGeodetic * sinGeodetic);
    const double p = curvature * std::cos(geodetic);
    const double z = curvature * (1 - eccentricity2) * sinGeodetic;
    const double radius = std::hypot(p, z);
    const double geocentric = std::asin(z / radius);

    // Schmidt semi-normalized associated Legendre functions of sin(geocentric) and their
    // derivatives by the latitude.
    const double sinLat = std::sin(geocentric), cosLat = std::cos(geocentric);
    std::array<std::array<double, kDegrees + 1>, kDegrees + 1> legendre{}, derivative{};
    legendre[0][0] = 1;
    for (int n = 1; n <= kDegrees; ++n) {
        const double scale = n == 1 ? 1 : std::sqrt((2.0 * n - 1) / (2.0 * n));
        legendre[n][n] = scale * cosLat * legendre[n - 1][n - 1];
        derivative[n][n] =
            scale * (cosLat * derivative[n - 1][n - 1] - sinLat * legendre[n - 1][n - 1]);
        for (int m = 0; m < n; ++m) {
            const double root = std::sqrt(static_cast<double>(n * n - m * m));
            const double before =
                n >= 2 ? std::sqrt(static_cast<double>((n - 1) * (n - 1) - m * m)) : 0;
            const double twoBack = n >= 2 ? legendre[n - 2][m] : 0;
            const double twoBackDerivative = n >= 2 ? derivative[n - 2][m] : 0;
            legendre[n][m] = ((2 * n - 1) * sinLat * legendre[n - 1][m] - before * twoBack) / root;
            derivative[n][m] =
                ((2 * n - 1) * (cosLat * legendre[n - 1][m] + sinLat * derivative[n - 1][m]) -
                 before * twoBackDerivative) /
                root;
        }
    }

    // The field's north, east and down parts in the geocentric frame.
    double north = 0, east = 0, down = 0;
    const double years = year - kEpoch;
    for (const Coefficient& c : kCoefficients) {
        const double g = c.g + years * c.gDot, h = c.h + years * c.hDot;
        const double power = std::pow(kReferenceRadiusKm / radius, c.n + 2);
        const double cosM = std::cos(c.m * lambda), sinM = std::sin(c.m * lambda);
        north -= power * (g * cosM + h * sinM) * derivative[c.n][c.m];
        east += power * c.m * (g * sinM - h * cosM) * legendre[c.n][c.m];
        down -= power * (c.n + 1) * (g * cosM + h * sinM) * legendre[c.n][c.m];
    }
    east /= cosLat;
    // Turned to the geodetic frame; east is the same in both.
    const double tilt = geocentric - geodetic;
    const double northGeodetic = north * std::cos(tilt) - down * std::sin(tilt);
    return std::atan2(east, northGeodetic) / toRadians;
}
