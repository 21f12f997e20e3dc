// calendar.pak: the page background, weekday rows, bilingual month titles, day numbers, the
// empty-cell dot and today's mark. Units are those of the calendar carrier (eye depth -240): cells
// are 8 units apart, centred on their origin.
#include <string>

#include "content/layout.h"
#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

static const float numberColour[4] = {0.97f, 0.93f, 0.86f, 0.9f};
static const float weekendColour[4] = {1.0f, 0.68f, 0.38f, 0.95f};
static const float russianColour[4] = {1.0f, 0.78f, 0.52f, 0.8f};
static const float pageColour[4] = {0.03f, 0.02f, 0.014f, 0.5f};
static const float rimColour[4] = {1.0f, 0.82f, 0.55f, 0.22f};

static bool addDayNumbers(PakArchive* archive) {
    for (int day = 1; day <= 31; day++) {
        ArtImage image;
        image.initImage(128, 128, -4.0, -4.0, 4.0, 4.0);
        const std::string text = std::to_string(day);
        drawText(&image, FONT_CONDENSED, text.c_str(), 0.0, -1.6, 3.2, true, numberColour);
        if (!addOverlayTile(archive, text, "day" + text + ".png", image)) return false;
    }
    return true;
}

static bool addMarks(PakArchive* archive) {
    ArtImage selected;
    selected.initImage(128, 128, -4.0, -4.0, 4.0, 4.0);
    const Circle disc = {0.0, 0.0, 3.3};
    const float fill[4] = {1.0f, 0.55f, 0.16f, 0.55f};
    const float ring[4] = {1.0f, 0.82f, 0.52f, 0.85f};
    glowShape(&selected, circleDistance, &disc, 0.5, fill);
    strokeShape(&selected, circleDistance, &disc, 0.28, ring);
    ArtImage empty;
    empty.initImage(128, 128, -4.0, -4.0, 4.0, 4.0);
    const Circle dot = {0.0, 0.0, 0.3};
    const float faint[4] = {numberColour[0], numberColour[1], numberColour[2], 0.18f};
    fillShape(&empty, circleDistance, &dot, faint);
    return addOverlayTile(archive, todayEntry, "sel.png", selected) &&
           addOverlayTile(archive, emptyCellEntry, "null.png", empty);
}

// Weekday labels centred over the seven columns; the row stands at the page's x.
static bool addWeekdays(PakArchive* archive, const char* model, const char* const labels[7], int weekendA,
                        int weekendB) {
    ArtImage image;
    image.initImage(512, 64, -28.0, -3.5, 28.0, 3.5);
    for (int i = 0; i < 7; i++) {
        const bool weekend = i == weekendA || i == weekendB;
        drawText(&image, FONT_CONDENSED, labels[i], calendarCellX(i) - calendarPageX, -1.3, 2.6, true,
                 weekend ? weekendColour : numberColour);
    }
    return addOverlayTile(archive, model, std::string(model) + ".png", image);
}

static const char* const englishMonths[12] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
static const char* const russianMonths[12] = {"Январь",   "Февраль", "Март",   "Апрель",
                                              "Май",      "Июнь",    "Июль",   "Август",
                                              "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};

// Month titles serve both variants: the English name, a dot, the Russian name.
static bool addMonths(PakArchive* archive) {
    const double cap = 2.9;
    for (int m = 0; m < 12; m++) {
        ArtImage image;
        image.initImage(512, 64, -28.0, -3.5, 28.0, 3.5);
        const std::string separator = "  \xC2\xB7  ";
        const double wEnglish = textWidth(FONT_BOOK, englishMonths[m], cap);
        const double wSeparator = textWidth(FONT_BOOK, separator.c_str(), cap);
        const double wRussian = textWidth(FONT_BOOK, russianMonths[m], cap);
        double x = -(wEnglish + wSeparator + wRussian) * 0.5;
        drawText(&image, FONT_BOOK, englishMonths[m], x, -1.3, cap, false, numberColour);
        x += wEnglish;
        drawText(&image, FONT_BOOK, separator.c_str(), x, -1.3, cap, false, russianColour);
        x += wSeparator;
        drawText(&image, FONT_BOOK, russianMonths[m], x, -1.3, cap, false, russianColour);
        const std::string name = "m" + std::to_string(m + 1);
        if (!addOverlayTile(archive, name, "month" + std::to_string(m + 1) + ".png", image)) return false;
    }
    return true;
}

// The page behind title, weekday row and grid, centred on its origin (the carrier puts it at
// (-16, -12)): columns at x -24 ... 24, weekday row at y 20, grid rows at 12 ... -28.
static bool addPage(PakArchive* archive, const char* model, int weekendA, int weekendB) {
    ArtImage image;
    image.initImage(512, 1024, -29.0, -37.0, 29.0, 37.0);
    const RoundedRect page = {-28.4, -36.2, 28.4, 36.2, 2.2};
    fillShape(&image, roundedRectDistance, &page, pageColour);
    strokeShape(&image, roundedRectDistance, &page, 0.18, rimColour);
    const float tint[4] = {1.0f, 0.6f, 0.3f, 0.07f};
    const int weekend[2] = {weekendA, weekendB};
    for (int i = 0; i < 2; i++) {
        const double x = calendarCellX(weekend[i]) - calendarPageX;
        const RoundedRect strip = {x - 3.7, -32.2, x + 3.7, 23.6, 1.6};
        fillShape(&image, roundedRectDistance, &strip, tint);
    }
    const Segment rule = {-26.0, 16.2, 26.0, 16.2, 0.06};
    fillShape(&image, segmentDistance, &rule, rimColour);
    return addOverlayTile(archive, model, std::string(model) + ".png", image);
}

bool buildCalendarArchive(PakArchive* archive) {
    static const char* const sundayFirst[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    static const char* const mondayFirst[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
    return addPage(archive, pageEntry, 0, 6) && addPage(archive, pageRussianEntry, 5, 6) &&
           addWeekdays(archive, weekdaysEntry, sundayFirst, 0, 6) &&
           addWeekdays(archive, weekdaysRussianEntry, mondayFirst, 5, 6) && addMonths(archive) &&
           addDayNumbers(archive) && addMarks(archive);
}
