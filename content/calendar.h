#pragma once
#include <cstdint>

// The month page in the overlay, Sunday-first (default) or Monday-first (Russian), rebuilt when
// the day of the month changes. Models come from "calendar.pak".

// Track callbacks; the selector (intParam1) is 0 for the Russian variant.
void buildCalendar(int32_t arg);        // once, on the carrier
void refreshCalendarPage(int32_t arg);  // on the page holder
void expireOnNewDay(int32_t arg);       // on a page; the selector is the day it was built for

struct CalendarDate {
    int32_t year;   // e.g. 2026
    int32_t day;    // 1 to 31
    int32_t month;  // 0 for January
};

extern int32_t monthCells[42];  // reading order, 7 a row; 0 empty, else the day
extern CalendarDate calendarDate;
extern int32_t calendarDay;  // the day the current page was built for; -1 before the first

// Fills monthCells and calendarDate from the current local date.
void fillMonthGrid(int32_t variant);
// The same for a given month: variant 0 Monday-first, any other Sunday-first.
void monthGrid(int32_t variant, int32_t month, int32_t year, int32_t cells[42]);
// Weekday of the 1st, 0 for Sunday; month 0 to 11, year in full (2026).
int32_t weekdayOfFirst(int32_t month, int32_t year);
int32_t daysInMonth(int32_t month, int32_t year);
