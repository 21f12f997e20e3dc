#include "platform/ref_table.h"

#include <gtest/gtest.h>

// A release nobody acquired must not take the count below zero nor hand the item back to be
// freed a second time; debug builds stop on it.
TEST(RefTable, ReleaseWithoutAcquireChangesNothing) {
    RefTable<int> table;
    int i = table.add("plasma", 7);
    table.acquire(i);
    EXPECT_FALSE(table.release(i));
    EXPECT_TRUE(table.release(i));
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(table.release(i)), "without a matching acquire");
    EXPECT_EQ(table.refs[(size_t)i], 0);
}
