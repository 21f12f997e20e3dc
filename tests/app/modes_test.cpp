#include "app/modes.h"

#include <gtest/gtest.h>

static RunMode modeOf(const char* commandLine) {
    return chooseMode(commandLine).mode;
}

TEST(ChooseMode, OnlyTheSecondCharacterPicksSaverAndConfig) {
    EXPECT_EQ(MODE_SAVER, modeOf("/s"));
    EXPECT_EQ(MODE_SAVER, modeOf("/S"));
    EXPECT_EQ(MODE_SAVER, modeOf("-s"));
    EXPECT_EQ(MODE_SAVER, modeOf("xs"));
    EXPECT_EQ(MODE_SAVER, modeOf("/s:123"));
    EXPECT_EQ(MODE_SAVER, modeOf("  /sabc  99"));
    EXPECT_EQ(MODE_CONFIG, modeOf("/c"));
    EXPECT_EQ(MODE_CONFIG, modeOf("/C:123"));
    EXPECT_EQ(MODE_CONFIG, modeOf("-c 5"));
    // One character has no second one.
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("s"));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("c"));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("/x"));
}

TEST(ChooseMode, PreviewNeedsTheWholeWordAndTakesTheNumberAfterIt) {
    ModeChoice p = chooseMode("/p 1234");
    EXPECT_EQ(MODE_PREVIEW, p.mode);
    EXPECT_TRUE(p.hasParent);
    EXPECT_EQ(1234ul, p.parent);
    ModeChoice upper = chooseMode("/P\t4000000000");
    EXPECT_EQ(MODE_PREVIEW, upper.mode);
    EXPECT_EQ(4000000000ul, upper.parent);

    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("/p:1234"));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("/pp 1234"));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("p 1234"));

    EXPECT_FALSE(chooseMode("/p").hasParent);
    EXPECT_FALSE(chooseMode("/p abc").hasParent);
    EXPECT_FALSE(chooseMode("/p -5").hasParent);
    EXPECT_EQ(MODE_PREVIEW, chooseMode("/p").mode);
}

TEST(ChooseMode, NoWordIsTheFullScreenRun) {
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf(""));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("   "));
    EXPECT_EQ(MODE_FULL_SCREEN, modeOf("12345"));
}

TEST(JoinArguments, JoinsEverythingAfterTheProgramName) {
    char program[] = "Lumivane";
    char word[] = "/p";
    char number[] = "77";
    char* argv[] = {program, word, number, nullptr};
    EXPECT_EQ("", joinArguments(1, argv));
    EXPECT_EQ("/p 77", joinArguments(3, argv));
    EXPECT_EQ(MODE_PREVIEW, chooseMode(joinArguments(3, argv)).mode);
}
