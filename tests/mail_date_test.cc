#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

TEST(TryFromMailDate, Placeholder) { EXPECT_TRUE(orvik::chrono::TryFromMailDate("5 Mar 2024 07:08 +0000")); }
