#include "app/options.h"

#include <gtest/gtest.h>

#include "app/modes.h"

// The settings a command line gives when the file held the defaults.
static SaverSettings settingsFor(const char* commandLine) {
    SaverSettings s = defaultSettings();
    applyRunOptions(parseRunOptions(commandLine), &s);
    return s;
}

struct SettingsCase {
    const char* commandLine;
    bool showClock, analogClock, clock24Hours, largeClock, showCalendar, russianCalendar, showFrameRate,
        mouseMoveEnds;
};

TEST(RunOptions, SettingsOptionsOverrideTheFile) {
    const SettingsCase cases[] = {
        // clock analog 24h   large  calendar russian fps   mouse
        {"", true, false, false, true, true, false, false, false},
        {"--clock=analog", true, true, false, true, true, false, false, false},
        {"--clock=digital24", true, false, true, true, true, false, false, false},
        {"--clock=off", false, false, false, true, true, false, false, false},
        {"--clock=analog --clock=digital", true, false, false, true, true, false, false, false},
        {"--clock-size=small", true, false, false, false, true, false, false, false},
        {"--calendar=russian", true, false, false, true, true, true, false, false},
        {"--calendar=off", true, false, false, true, false, false, false, false},
        {"--fps --mouse-ends", true, false, false, true, true, false, true, true},
        {"--fps --no-fps --no-mouse-ends", true, false, false, true, true, false, false, false},
        // xscreensaver's words may come anywhere; the number after -window-id is not an option.
        {"-root --clock=analog --fps", true, true, false, true, true, false, true, false},
        {"--calendar=off -window-id 0x2a --clock-size=small", true, false, false, false, false, false, false,
         false},
        {"--window-id --fps --clock=off", false, false, false, true, true, false, false, false},
        // Words of the first-word modes and other plain words are not options.
        {"/p:1234 x -s --fps", true, false, false, true, true, false, true, false},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.commandLine);
        RunOptions options = parseRunOptions(c.commandLine);
        EXPECT_EQ(OPTIONS_RUN, options.action) << options.error;
        EXPECT_FALSE(options.window);
        SaverSettings s = settingsFor(c.commandLine);
        EXPECT_EQ(c.showClock, s.showClock);
        EXPECT_EQ(c.analogClock, s.analogClock);
        EXPECT_EQ(c.clock24Hours, s.clock24Hours);
        EXPECT_EQ(c.largeClock, s.largeClock);
        EXPECT_EQ(c.showCalendar, s.showCalendar);
        EXPECT_EQ(c.russianCalendar, s.russianCalendar);
        EXPECT_EQ(c.showFrameRate, s.showFrameRate);
        EXPECT_EQ(c.mouseMoveEnds, s.mouseMoveEnds);
    }
}

TEST(RunOptions, OptionsNotGivenKeepWhatTheFileSays) {
    SaverSettings file = defaultSettings();
    file.analogClock = true;
    file.clock24Hours = true;
    file.largeClock = false;
    file.russianCalendar = true;
    file.showFrameRate = true;
    file.mouseMoveEnds = true;
    file.resolutionIndex = 3;
    SaverSettings s = file;
    applyRunOptions(parseRunOptions("--calendar=default --no-fps"), &s);
    EXPECT_TRUE(s.analogClock);
    EXPECT_TRUE(s.clock24Hours);
    EXPECT_FALSE(s.largeClock);
    EXPECT_FALSE(s.russianCalendar);
    EXPECT_TRUE(s.showCalendar);
    EXPECT_FALSE(s.showFrameRate);
    EXPECT_TRUE(s.mouseMoveEnds);
    EXPECT_EQ(3u, s.resolutionIndex);
    // Turning the clock off keeps its style for a later run that shows it.
    s = file;
    applyRunOptions(parseRunOptions("--clock=off"), &s);
    EXPECT_FALSE(s.showClock);
    EXPECT_TRUE(s.analogClock);
}

TEST(RunOptions, WindowHelpAndVersion) {
    RunOptions plain = parseRunOptions("--window");
    EXPECT_EQ(OPTIONS_RUN, plain.action);
    EXPECT_TRUE(plain.window);
    EXPECT_EQ(1024, plain.windowWidth);
    EXPECT_EQ(768, plain.windowHeight);
    RunOptions sized = parseRunOptions("--fps --window=640x16384");
    EXPECT_TRUE(sized.window);
    EXPECT_EQ(640, sized.windowWidth);
    EXPECT_EQ(16384, sized.windowHeight);

    EXPECT_EQ(0, plain.maxFramesPerSecond);  // as the display allows
    EXPECT_DOUBLE_EQ(0.3, plain.cpuBudget);
    EXPECT_DOUBLE_EQ(0.0, parseRunOptions("--cpu-budget=0").cpuBudget);
    EXPECT_DOUBLE_EQ(0.001, parseRunOptions("--cpu-budget=.001").cpuBudget);
    EXPECT_DOUBLE_EQ(1.5, parseRunOptions("--cpu-budget=1.5").cpuBudget);
    EXPECT_DOUBLE_EQ(64.0, parseRunOptions("--cpu-budget=64.000000").cpuBudget);
    EXPECT_EQ(0, parseRunOptions("--max-fps=0").maxFramesPerSecond);
    EXPECT_EQ(1000, parseRunOptions("-root --max-fps=60 --max-fps=1000").maxFramesPerSecond);
    EXPECT_EQ("", plain.outputName);
    EXPECT_EQ("DP-2", parseRunOptions("--output=HDMI-A-1 --output=DP-2").outputName);
    EXPECT_DOUBLE_EQ(0.0, plain.idleMinutes);  // no watcher
    EXPECT_DOUBLE_EQ(5.0, parseRunOptions("--idle").idleMinutes);
    EXPECT_DOUBLE_EQ(0.05, parseRunOptions("--fps --idle=0.05").idleMinutes);

    EXPECT_EQ(OPTIONS_HELP, parseRunOptions("--help").action);
    EXPECT_EQ(OPTIONS_HELP, parseRunOptions("-root --clock=analog --help").action);
    EXPECT_EQ(OPTIONS_VERSION, parseRunOptions("--version").action);
    std::string version = versionText();
    EXPECT_EQ(0u, version.find("lumivane "));
    EXPECT_EQ(std::string::npos, version.find("unknown"));  // the build names its version
    // The help names every option with its values.
    std::string help = optionsHelpText();
    for (const char* form :
         {"--clock=digital|digital24|analog|off", "--clock-size=large|small",
          "--calendar=default|russian|off", "--[no-]fps", "--[no-]mouse-ends", "--window[=WIDTHxHEIGHT]",
          "--max-fps=N", "--cpu-budget=F", "--output=NAME", "--idle[=MINUTES]", "--help", "--version"})
        EXPECT_NE(std::string::npos, help.find(form)) << form;
}

struct BadCase {
    const char* commandLine;
    const char* named;     // the error line names this
    const char* accepted;  // and what would be accepted
};

TEST(RunOptions, BadOptionsGiveOneLineNamingThemAndTheAcceptedValues) {
    const BadCase cases[] = {
        {"--colour=red", "\"--colour=red\"", "--clock=digital|digital24|analog|off"},
        {"--clock=analogue", "\"analogue\"", "--clock=digital|digital24|analog|off"},
        {"--clock", "--clock needs a value", "--clock=digital|digital24|analog|off"},
        {"--clock=", "\"\"", "digital|digital24"},
        {"--clock=ANALOG", "\"ANALOG\"", "analog"},
        {"--calendar=english", "\"english\"", "--calendar=default|russian|off"},
        {"--clock-size=medium", "\"medium\"", "--clock-size=large|small"},
        {"--fps=1", "--fps takes no value", "--[no-]fps"},
        {"--no-clock", "\"--no-clock\"", "--[no-]mouse-ends"},
        {"--no-window", "\"--no-window\"", "--window[=WIDTHxHEIGHT]"},
        {"--help=me", "--help takes no value", ""},
        {"--window=800", "\"800\"", "--window[=WIDTHxHEIGHT]"},
        {"--window=0x600", "\"0x600\"", "1 to 16384"},
        {"--window=800x16385", "\"800x16385\"", "1 to 16384"},
        {"--window=-800x600", "\"-800x600\"", "WIDTHxHEIGHT"},
        {"--window=800x600x", "\"800x600x\"", "WIDTHxHEIGHT"},
        {"--window=99999999999x1", "\"99999999999x1\"", "WIDTHxHEIGHT"},
        {"--max-fps", "\"\"", "--max-fps=N"},
        {"--max-fps=1001", "\"1001\"", "0 to 1000"},
        {"--max-fps=-1", "\"-1\"", "0 to 1000"},
        {"--max-fps=30fps", "\"30fps\"", "--max-fps=N"},
        {"--cpu-budget", "\"\"", "--cpu-budget=F"},
        {"--cpu-budget=.", "\".\"", "0 to 64"},
        {"--cpu-budget=-0.1", "\"-0.1\"", "0 to 64"},
        {"--cpu-budget=0,3", "\"0,3\"", "--cpu-budget=F"},
        {"--cpu-budget=30%", "\"30%\"", "--cpu-budget=F"},
        {"--cpu-budget=64.5", "\"64.5\"", "0 to 64"},
        {"--cpu-budget=0.0000001", "\"0.0000001\"", "6 places"},
        {"--cpu-budget=1e-3", "\"1e-3\"", "--cpu-budget=F"},
        {"--idle=0", "\"0\"", "above 0 and up to 1440"},
        {"--idle=1440.5", "\"1440.5\"", "--idle[=MINUTES]"},
        {"--idle=5m", "\"5m\"", "--idle[=MINUTES]"},
        {"--output=", "--output needs a name", "--output=NAME"},
        {"--output", "--output needs a name", "--output=NAME"},
        {"--", "\"--\"", "--version"},
        {"--fps --bogus --help", "\"--bogus\"", "--help"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.commandLine);
        RunOptions options = parseRunOptions(c.commandLine);
        ASSERT_EQ(OPTIONS_BAD, options.action);
        EXPECT_NE(std::string::npos, options.error.find(c.named)) << options.error;
        EXPECT_NE(std::string::npos, options.error.find(c.accepted)) << options.error;
        EXPECT_EQ(std::string::npos, options.error.find('\n'));
    }
}

TEST(RunOptions, TheFirstWordModesKeepTheirMeaning) {
    // A long option's second character is '-', never s, c or p.
    EXPECT_EQ(MODE_FULL_SCREEN, chooseMode("--clock=analog").mode);
    EXPECT_EQ(MODE_FULL_SCREEN, chooseMode("--calendar=russian").mode);
    EXPECT_EQ(MODE_FULL_SCREEN, chooseMode("--help").mode);
    EXPECT_EQ(MODE_SAVER, chooseMode("/s --clock=analog").mode);
    EXPECT_EQ(MODE_CONFIG, chooseMode("/c").mode);
    EXPECT_EQ(MODE_PREVIEW, chooseMode("/p 1234").mode);
}
