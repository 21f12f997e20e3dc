#include "content/calendar.h"

#include <cstdio>

#include "content/clock.h"
#include "content/layout.h"
#include "content/node_tracks.h"
#include "scene/node.h"

static const char* const calendarPak = "calendar.pak";

int32_t monthCells[42];
CalendarDate calendarDate;
int32_t calendarDay = -1;

int32_t weekdayOfFirst(int32_t month, int32_t year) {
    int32_t a = (13 - month) / 12;  // 1 for January and February: they count with the year before
    int32_t y = year - a;
    int32_t m = month + 1 + 12 * a - 2;
    return (1 + y + y / 4 - y / 100 + y / 400 + (31 * m) / 12 + 7000) % 7;
}

// Gregorian rule: 2100 is not a leap year, 2000 is.
int32_t daysInMonth(int32_t month, int32_t year) {
    static const int32_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month != 1) return days[month];
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
}

void monthGrid(int32_t variant, int32_t month, int32_t year, int32_t cells[42]) {
    int32_t first = weekdayOfFirst(month, year);
    int32_t days = daysInMonth(month, year);
    // Monday-first: day 1 sits one cell left of its Sunday-first place, Sunday wraps to the end.
    int32_t start = first;
    if (variant == 0) start = (first == 0 ? 7 : first) - 1;
    for (int32_t i = 0; i < 42; i++) cells[i] = (i >= start && i < start + days) ? i - start + 1 : 0;
}

void fillMonthGrid(int32_t variant) {
    time_t now = readWallClock(nullptr);
    struct tm* local = convertWallClock(&now);
    if (!local) {
        // Unconvertible time: an empty grid with no today rather than stale or zeroed cells.
        for (int32_t i = 0; i < 42; i++) monthCells[i] = 0;
        calendarDate = {0, 0, 0};
        return;
    }
    calendarDate.year = local->tm_year + 1900;
    calendarDate.day = local->tm_mday;
    calendarDate.month = local->tm_mon;
    monthGrid(variant, calendarDate.month, calendarDate.year, monthCells);
}

// The page is drawn at pageScale about its top right corner, so the corner keeps its place by
// the screen's edge while the page stays clear of the dish candle's flame on 5:4 screens.
static const double pageScale = 0.8;
static const double pageCornerX = 13, pageCornerY = 25;

static void placeOnPage(SceneNode* node, double x, double y) {
    node->setPosition(pageCornerX + (x - pageCornerX) * pageScale,
                      pageCornerY + (y - pageCornerY) * pageScale, 0);
    node->setScale(pageScale, pageScale, pageScale);
}

static SceneNode* newCalendarNode(const char* entryName, double x, double y) {
    SceneNode* node = newModelNode(calendarPak, entryName);
    placeOnPage(node, x, y);
    return node;
}

void buildCalendar(int32_t) {
    SceneNode* carrier = currentNode;
    int32_t variant = currentTrack->intParam1;
    carrier->addChild(
        newCalendarNode(variant == 0 ? pageRussianEntry : pageEntry, calendarPageX, calendarPageY));
    SceneNode* holder = newNode();
    giveTrack(holder, axisTrack(refreshCalendarPage, variant, 0.0, 0.0, 0.0, 0.0));
    carrier->addChild(holder);
}

// Runs before the holder's children are drawn: at midnight the new page joins in the same frame
// in which the old one expires.
void refreshCalendarPage(int32_t) {
    if (!refreshTimeSnapshot()) return;  // no page until there is a date
    if (localNow.tm_mday == calendarDay) return;
    calendarDay = localNow.tm_mday;
    int32_t variant = currentTrack->intParam1;

    SceneNode* page = newNode();
    giveTrack(page, axisTrack(expireOnNewDay, localNow.tm_mday, 0.0, 0.0, 0.0, 0.0));
    currentNode->addChild(page);

    fillMonthGrid(variant);
    page->addChild(newCalendarNode(variant == 0 ? weekdaysRussianEntry : weekdaysEntry, calendarPageX,
                                   calendarWeekdaysY));
    char monthName[16];
    snprintf(monthName, sizeof monthName, "m%d", (int)calendarDate.month + 1);
    page->addChild(newCalendarNode(monthName, calendarPageX, calendarMonthY));
    for (int32_t i = 0; i < 42; i++) {
        double x = calendarCellX(i);
        double y = calendarCellY(i);
        int32_t day = monthCells[i];
        char dayName[16];
        snprintf(dayName, sizeof dayName, "%d", (int)day);
        SceneNode* cell = newModelNode(calendarPak, day == 0 ? emptyCellEntry : dayName);
        if (day != 0 && day == calendarDate.day)
            page->addChild(newCalendarNode(todayEntry, x, y));  // under the number
        placeOnPage(cell, x, y);
        page->addChild(cell);
    }
}

void expireOnNewDay(int32_t) {
    if (!refreshTimeSnapshot()) return;
    if (localNow.tm_mday != currentTrack->intParam1) currentNode->markDying();
}
