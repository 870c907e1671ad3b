#include "merge/nav_data.h"

#include <gtest/gtest.h>

TEST(RowCode, ReadsLeadingInteger) { EXPECT_EQ(rowCode("  05 1.0"), 5); }
