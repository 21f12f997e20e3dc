#include "content/calendar.h"

#include <gtest/gtest.h>

#include <ctime>

static struct tm civilDate(int year, int month, int day) {
    struct tm date = {};
    date.tm_year = year - 1900;
    date.tm_mon = month;
    date.tm_mday = day;
    date.tm_hour = 12;
    time_t t = timegm(&date);  // normalises and fills tm_wday
    struct tm out;
    gmtime_r(&t, &out);
    return out;
}

TEST(CalendarMath, AgreesWithTheCLibraryFrom1900To2199) {
    for (int year = 1900; year < 2200; year++) {
        for (int month = 0; month < 12; month++) {
            struct tm first = civilDate(year, month, 1);
            ASSERT_EQ(weekdayOfFirst(month, year), first.tm_wday) << year << "-" << month + 1;
            struct tm last = civilDate(year, month, daysInMonth(month, year));
            ASSERT_EQ(last.tm_mon, month) << year << "-" << month + 1 << " too long";
            struct tm next = civilDate(year, month, daysInMonth(month, year) + 1);
            ASSERT_NE(next.tm_mon, month) << year << "-" << month + 1 << " too short";
        }
    }
}

TEST(CalendarMath, KnownDates) {
    EXPECT_EQ(weekdayOfFirst(0, 2000), 6);
    EXPECT_EQ(weekdayOfFirst(2, 2000), 3);
    EXPECT_EQ(daysInMonth(1, 2024), 29);
    EXPECT_EQ(daysInMonth(1, 2023), 28);
    EXPECT_EQ(daysInMonth(1, 2000), 29);
    EXPECT_EQ(daysInMonth(1, 2100), 28);
}

static int cellOf(const int32_t cells[42], int32_t day) {
    for (int i = 0; i < 42; i++)
        if (cells[i] == day) return i;
    return -1;
}

static int filledCells(const int32_t cells[42]) {
    int count = 0;
    for (int i = 0; i < 42; i++) count += cells[i] != 0;
    return count;
}

TEST(MonthGrid, MonthStartingOnSunday) {
    // March 2026 begins on a Sunday and has 31 days.
    ASSERT_EQ(weekdayOfFirst(2, 2026), 0);
    int32_t cells[42];
    monthGrid(1, 2, 2026, cells);
    EXPECT_EQ(cellOf(cells, 1), 0);
    EXPECT_EQ(cellOf(cells, 31), 30);
    EXPECT_EQ(filledCells(cells), 31);

    monthGrid(0, 2, 2026, cells);  // Monday-first: six empty cells, then the sixth row is needed
    for (int i = 0; i < 6; i++) EXPECT_EQ(cells[i], 0);
    EXPECT_EQ(cellOf(cells, 1), 6);
    EXPECT_EQ(cellOf(cells, 31), 36);
    for (int i = 37; i < 42; i++) EXPECT_EQ(cells[i], 0);
    EXPECT_EQ(filledCells(cells), 31);
}

TEST(MonthGrid, MonthStartingOnMonday) {
    // June 2026 begins on a Monday and has 30 days.
    ASSERT_EQ(weekdayOfFirst(5, 2026), 1);
    int32_t cells[42];
    monthGrid(0, 5, 2026, cells);
    EXPECT_EQ(cellOf(cells, 1), 0);
    EXPECT_EQ(cellOf(cells, 30), 29);
    EXPECT_EQ(filledCells(cells), 30);
    monthGrid(1, 5, 2026, cells);
    EXPECT_EQ(cells[0], 0);
    EXPECT_EQ(cellOf(cells, 1), 1);
    EXPECT_EQ(filledCells(cells), 30);
}

TEST(MonthGrid, SaturdayStartUsesTheSixthRow) {
    // August 2026 begins on a Saturday and has 31 days.
    ASSERT_EQ(weekdayOfFirst(7, 2026), 6);
    int32_t cells[42];
    monthGrid(1, 7, 2026, cells);
    EXPECT_EQ(cellOf(cells, 1), 6);
    EXPECT_EQ(cellOf(cells, 31), 36);
    for (int i = 37; i < 42; i++) EXPECT_EQ(cells[i], 0);
}
