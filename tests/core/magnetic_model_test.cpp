// The magnetic model against the variations that published localizer courses imply: real
// rows of X-Plane 12's database (data cycle 2406), whose magnetic courses are whole degrees
// that airports publish and revise now and then, so they agree with the model to a degree or
// two.

#include "merge/magnetic_model.h"
#include "scenery/nav_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace {
// clang-format off
const char* const kLocalizers[] = {
    " 4  47.466605556 -122.317833333      359    11075    18 123840.337 IBEJ KSEA K1 34L ILS-cat-II",
    " 4  40.651936111  -73.762205556       10    11090    18  15870.668 IHIQ KJFK K6 04L ILS-cat-I",
    " 4  51.477697222   -0.426961111       79    11030    18  32129.709  IAA EGLL EG 09L ILS-cat-III",
    " 4  35.546766667  139.759338889       21    10810    18  80134.934  IAD RJTT RJ 22 ILS-cat-I",
    " 4 -33.947611111  151.187805556       13    10930    18 120947.846  IKN YSSY YM 34R ILS-cat-II",
    " 4 -23.439611111  -46.490083333     2446    11110    18  99253.593  IBC SBGR SB 28L ILS-cat-I",
    " 4 -26.167916667   28.247138889     5499    10990    18  77235.528  JAI FAOR FA 21L ILS-cat-II",
    " 4  60.171997222   11.105611111      703    11055    18  69316.029  GME ENGM EN 19L ILS-cat-III",
    " 4  61.167886111 -149.965416667      123    11130    18  26729.913 IANC PANC PA 07R ILS-cat-III",
    " 4 -37.005983333  174.808144444       15    11030    18  18430.899  IAA NZAA NZ 05R ILS-cat-I",
};
// clang-format on
} // namespace

TEST(MagneticModel, AgreesWithPublishedLocalizerCoursesOnEveryContinent) {
    const double year = *dataCycleYear("1200 Version - data cycle 2406, build 20251002");
    for (const char* row : kLocalizers) {
        std::istringstream words(row);
        int code = 0;
        double latitude = 0, longitude = 0, unused = 0;
        std::string bearing;
        words >> code >> latitude >> longitude >> unused >> unused >> unused >> bearing;
        const double published = *variationOfBearing(bearing);
        EXPECT_NEAR(magneticDeclination(latitude, longitude, year), published, 2.0) << row;
    }
}

TEST(MagneticModel, FollowsTheModelsYearlyChange) {
    // Near the north magnetic pole the declination moves by degrees in a few years.
    const double resolute2025 = magneticDeclination(74.7, -95.0, 2025.0);
    const double resolute2029 = magneticDeclination(74.7, -95.0, 2029.0);
    EXPECT_GT(std::abs(resolute2029 - resolute2025), 1.0);
}
