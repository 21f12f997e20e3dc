#include "app/options.h"

#include <cstdlib>
#include <sstream>

#include "app/frame_budget.h"
#include "app/setting_choices.h"

#ifndef LUMIVANE_VERSION
#define LUMIVANE_VERSION "unknown"
#endif

enum OptionKind {
    OPTION_CHOICE,  // --name=VALUE, one of the row's values; the value's index
    OPTION_SWITCH,  // --name (1) or --no-name (0)
    OPTION_ACTION,  // --name alone
    OPTION_SIZE,    // --name alone (the row's default) or --name=WIDTHxHEIGHT
    OPTION_NUMBER,  // --name=N, plain decimal from 0 to the row's values (its largest)
    OPTION_SHARE,   // --name=F, a decimal fraction from 0 to the row's values, in millionths
    OPTION_NAME,    // --name=TEXT, any text but an empty one
    OPTION_TIME,    // --name alone (the default time) or --name=F as OPTION_SHARE, but above 0
};

struct OptionRow {
    const char* name;
    OptionKind kind;
    const char* values;  // OPTION_CHOICE: "one|two|three"; OPTION_SIZE: the default size
    const char* help;
    void (*setting)(SaverSettings* settings, int32_t value);          // settings options, put over the file
    void (*run)(RunOptions* options, int32_t first, int32_t second);  // options of the run itself
    void (*text)(RunOptions* options, const std::string& text);       // OPTION_NAME's
};

// The choice options' values come in the order of their enums.
static void setClock(SaverSettings* s, int32_t value) {
    applyClockChoice((ClockChoice)value, s);
}
static void setClockSize(SaverSettings* s, int32_t value) {
    s->largeClock = value == CLOCK_LARGE;
}
static void setCalendar(SaverSettings* s, int32_t value) {
    applyCalendarChoice((CalendarChoice)value, s);
}
static void setFrameRate(SaverSettings* s, int32_t value) {
    s->showFrameRate = value != 0;
}
static void setMouseEnds(SaverSettings* s, int32_t value) {
    s->mouseMoveEnds = value != 0;
}
static void askWindow(RunOptions* o, int32_t width, int32_t height) {
    o->window = true;
    o->windowWidth = width;
    o->windowHeight = height;
}
static void askFrameCap(RunOptions* o, int32_t framesPerSecond, int32_t) {
    o->maxFramesPerSecond = framesPerSecond;
}
static void askCpuBudget(RunOptions* o, int32_t millionths, int32_t) {
    o->cpuBudget = millionths / 1e6;
}
static void askIdleWatch(RunOptions* o, int32_t millionths, int32_t) {
    o->idleMinutes = millionths / 1e6;
}
static void askOutput(RunOptions* o, const std::string& name) {
    o->outputName = name;
}
static void askHelp(RunOptions* o, int32_t, int32_t) {
    o->action = OPTIONS_HELP;
}
static void askVersion(RunOptions* o, int32_t, int32_t) {
    o->action = OPTIONS_VERSION;
}

static const OptionRow optionRows[] = {
    {"clock", OPTION_CHOICE, "digital|digital24|analog|off", "the clock (digital: 12-hour)", setClock,
     nullptr, nullptr},
    {"clock-size", OPTION_CHOICE, "large|small", "the clock's size", setClockSize, nullptr, nullptr},
    {"calendar", OPTION_CHOICE, "default|russian|off", "the calendar page", setCalendar, nullptr, nullptr},
    {"fps", OPTION_SWITCH, nullptr, "show the frame rate, or not", setFrameRate, nullptr, nullptr},
    {"mouse-ends", OPTION_SWITCH, nullptr, "mouse motion ends the run, or not", setMouseEnds, nullptr,
     nullptr},
    {"window", OPTION_SIZE, "1024x768", "an ordinary, resizable window (default 1024x768)", nullptr,
     askWindow, nullptr},
    {"max-fps", OPTION_NUMBER, "1000", "at most N frames a second, 0: no limit (default: one a refresh)",
     nullptr, askFrameCap, nullptr},
    {"cpu-budget", OPTION_SHARE, "64",
     "at most F of one core on average, 0: no budget (default 0.3, half on battery)", nullptr, askCpuBudget,
     nullptr},
    {"output", OPTION_NAME, nullptr, "the scene on output NAME, the others black (Wayland)", nullptr, nullptr,
     askOutput},
    {"idle", OPTION_TIME, "1440", "wait for the desk to be idle for MINUTES (default 5), then run (Wayland)",
     nullptr, askIdleWatch, nullptr},
    {"help", OPTION_ACTION, nullptr, "print this help and exit", nullptr, askHelp, nullptr},
    {"version", OPTION_ACTION, nullptr, "print the version and exit", nullptr, askVersion, nullptr},
};
static const int optionRowCount = sizeof optionRows / sizeof optionRows[0];
static_assert(sizeof optionRows / sizeof optionRows[0] <= OPTION_ROWS_MAX, "raise OPTION_ROWS_MAX");

enum { WINDOW_SIDE_MAX = 16384 };

// How a row is written in the help and in error lines: --clock=a|b, --[no-]fps, --window[=WxH].
static std::string optionForm(const OptionRow& row) {
    std::string name = row.name;
    switch (row.kind) {
        case OPTION_CHOICE:
            return "--" + name + "=" + row.values;
        case OPTION_SWITCH:
            return "--[no-]" + name;
        case OPTION_SIZE:
            return "--" + name + "[=WIDTHxHEIGHT]";
        case OPTION_NUMBER:
            return "--" + name + "=N";
        case OPTION_SHARE:
            return "--" + name + "=F";
        case OPTION_NAME:
            return "--" + name + "=NAME";
        case OPTION_TIME:
            return "--" + name + "[=MINUTES]";
        case OPTION_ACTION:
            break;
    }
    return "--" + name;
}

static std::string allOptionForms() {
    std::string text;
    for (int i = 0; i < optionRowCount; i++) text += (i ? ", " : "") + optionForm(optionRows[i]);
    return text;
}

// The index of `value` among the row's "|"-separated values; -1 when it is none of them.
static int32_t choiceIndex(const char* values, const std::string& value) {
    std::string all = values;
    int32_t index = 0;
    size_t start = 0;
    for (;;) {
        size_t bar = all.find('|', start);
        std::string candidate = all.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (candidate == value) return index;
        if (bar == std::string::npos) return -1;
        start = bar + 1;
        index++;
    }
}

// Plain decimal digits, 0 to `largest`.
static bool parseNumber(const std::string& text, int32_t largest, int32_t* number) {
    if (text.empty() || text.size() > 9) return false;
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > largest) return false;
    *number = value;
    return true;
}

// Decimal "I", "I.F" or ".F" with at most six places, 0 to `largest`, in millionths.
static bool parseShare(const std::string& text, int32_t largest, int32_t* millionths) {
    size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string places = point == std::string::npos ? "" : text.substr(point + 1);
    if ((whole.empty() && places.empty()) || places.size() > 6 || whole.size() > 4) return false;
    int32_t units = 0;
    int32_t fraction = 0;
    if (!whole.empty() && !parseNumber(whole, largest, &units)) return false;
    if (!places.empty() && !parseNumber(places, 999999, &fraction)) return false;
    for (size_t i = places.size(); i < 6; i++) fraction *= 10;
    if (units == largest && fraction > 0) return false;
    *millionths = units * 1000000 + fraction;
    return true;
}

// A window side: 1 to WINDOW_SIDE_MAX.
static bool parseSide(const std::string& text, int32_t* side) {
    int32_t value = 0;
    if (!parseNumber(text, WINDOW_SIDE_MAX, &value) || value < 1) return false;
    *side = value;
    return true;
}

static bool parseSize(const std::string& text, int32_t* width, int32_t* height) {
    size_t x = text.find('x');
    return x != std::string::npos && parseSide(text.substr(0, x), width) &&
           parseSide(text.substr(x + 1), height);
}

static const OptionRow* findRow(const std::string& name) {
    for (int i = 0; i < optionRowCount; i++)
        if (name == optionRows[i].name) return &optionRows[i];
    return nullptr;
}

static bool fail(RunOptions* o, const std::string& line) {
    o->action = OPTIONS_BAD;
    o->error = line;
    return false;
}

// Applies one "--" word; false (with the error set) when it is not acceptable.
static bool takeOption(RunOptions* o, const std::string& word) {
    std::string body = word.substr(2);
    size_t equals = body.find('=');
    bool hasValue = equals != std::string::npos;
    std::string name = body.substr(0, equals);
    std::string value = hasValue ? body.substr(equals + 1) : "";
    const OptionRow* row = findRow(name);
    int32_t switchValue = 1;
    if (!row && name.compare(0, 3, "no-") == 0) {
        row = findRow(name.substr(3));
        if (row && row->kind != OPTION_SWITCH) row = nullptr;
        switchValue = 0;
    }
    if (!row) return fail(o, "unknown option \"" + word + "\"; the options are " + allOptionForms());
    std::string form = optionForm(*row);
    int32_t first = 0;
    int32_t second = 0;
    switch (row->kind) {
        case OPTION_CHOICE:
            if (!hasValue) return fail(o, "--" + name + " needs a value: " + form);
            first = choiceIndex(row->values, value);
            if (first < 0)
                return fail(o, "bad value \"" + value + "\" for --" + name + "; accepted: " + form);
            break;
        case OPTION_SWITCH:
            if (hasValue) return fail(o, "--" + name + " takes no value; accepted: " + form);
            first = switchValue;
            break;
        case OPTION_ACTION:
            if (hasValue) return fail(o, "--" + name + " takes no value");
            break;
        case OPTION_SIZE:
            if (!parseSize(hasValue ? value : std::string(row->values), &first, &second))
                return fail(o, "bad size \"" + value + "\" for --" + name + "; accepted: " + form +
                                   ", each side 1 to " + std::to_string(WINDOW_SIDE_MAX));
            break;
        case OPTION_NUMBER:
            if (!hasValue || !parseNumber(value, atoi(row->values), &first))
                return fail(o, "bad value \"" + value + "\" for --" + name + "; accepted: " + form +
                                   ", N from 0 to " + row->values);
            break;
        case OPTION_SHARE:
            if (!hasValue || !parseShare(value, atoi(row->values), &first))
                return fail(o, "bad value \"" + value + "\" for --" + name + "; accepted: " + form +
                                   ", F a decimal from 0 to " + row->values + " (at most 6 places)");
            break;
        case OPTION_NAME:
            if (value.empty()) return fail(o, "--" + name + " needs a name: " + form);
            break;
        case OPTION_TIME:
            first = (int32_t)(defaultIdleMinutes * 1e6);
            if (hasValue && (!parseShare(value, atoi(row->values), &first) || first == 0))
                return fail(o, "bad value \"" + value + "\" for --" + name + "; accepted: " + form +
                                   ", MINUTES a decimal above 0 and up to " + row->values);
            break;
    }
    if (row->text) row->text(o, value);
    if (row->setting) o->settingValue[row - optionRows] = first;
    if (row->run) row->run(o, first, second);
    return true;
}

RunOptions parseRunOptions(const std::string& commandLine) {
    RunOptions o;
    o.action = OPTIONS_RUN;
    for (int i = 0; i < OPTION_ROWS_MAX; i++) o.settingValue[i] = -1;
    o.window = false;
    o.windowWidth = 0;
    o.windowHeight = 0;
    o.maxFramesPerSecond = 0;
    o.cpuBudget = defaultCpuBudget;
    o.outputName.clear();
    o.idleMinutes = 0;
    std::istringstream in(commandLine);
    std::string word;
    while (in >> word) {
        // xscreensaver's words are the host window's; the number after -window-id is its own.
        if (word == "-window-id" || word == "--window-id") {
            in >> word;
            continue;
        }
        if (word == "--root" || word.compare(0, 2, "--") != 0) continue;
        if (!takeOption(&o, word)) break;
    }
    return o;
}

void applyRunOptions(const RunOptions& options, SaverSettings* settings) {
    for (int i = 0; i < optionRowCount; i++)
        if (optionRows[i].setting && options.settingValue[i] >= 0)
            optionRows[i].setting(settings, options.settingValue[i]);
}

std::string optionsHelpText() {
    std::string text =
        "Usage: lumivane [-root | -window-id ID] [OPTION]...\n"
        "Candles, a clock and a calendar in 3D, full screen until Escape.\n"
        "Options override the settings file (see lumivane-config) for this run only.\n\n";
    for (int i = 0; i < optionRowCount; i++) {
        std::string line = "  " + optionForm(optionRows[i]);
        line.resize(line.size() < 40 ? 40 : line.size() + 1, ' ');
        text += line + optionRows[i].help + "\n";
    }
    text +=
        "\nA first word /s, /c or /p ID keeps its Windows meaning: the saver, the settings program,\n"
        "the preview in window ID.\n"
        "Exit status: 0 when the run ends, 1 when the display or an archive fails, 2 for a bad option.\n";
    return text;
}

std::string versionText() {
    return std::string("lumivane ") + LUMIVANE_VERSION + "\n";
}
