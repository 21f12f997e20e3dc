#include "effects/effect_name.h"

#include <cstring>
#include <string>

#include "gtest/gtest.h"

namespace {

bool parses(const char* name) {
    EffectName e;
    return parseEffectName(name, &e);
}

TEST(EffectName, ReadsPlasmaAndFireWithAnySeparators) {
    EffectName e;
    ASSERT_TRUE(parseEffectName("?#Plasma128 64 0 90 160", &e));
    EXPECT_EQ(e.kind, EFFECT_PLASMA);
    EXPECT_EQ(e.width, 128);
    EXPECT_EQ(e.height, 64);
    EXPECT_EQ(e.bias[0], 0);
    EXPECT_EQ(e.bias[1], 90);
    EXPECT_EQ(e.bias[2], 160);

    ASSERT_TRUE(parseEffectName("x#Plasma8x8,300;-1/  +7 trailing", &e));
    EXPECT_EQ(e.width, 8);
    EXPECT_EQ(e.bias[0], 44);   // low 8 bits of 300
    EXPECT_EQ(e.bias[1], 255);  // of -1
    EXPECT_EQ(e.bias[2], 7);

    ASSERT_TRUE(parseEffectName("a#Fire64x 32", &e));
    EXPECT_EQ(e.kind, EFFECT_FIRE);
    EXPECT_EQ(e.width, 64);
    EXPECT_EQ(e.height, 32);
    // Widths that are no power of two only thin out the seeding; they are served.
    EXPECT_TRUE(parses("a#Fire100 2"));
    EXPECT_TRUE(parses("a#Fire1 2048"));
}

TEST(EffectName, RefusesWhatItCannotServe) {
    const char* bad[] = {
        "",
        "?",
        "?#",
        "?#Plasma",
        "?#Smoke64 64",
        "?#plasma64 64 1 2 3",
        "?#Fire 64 64",  // the space belongs to the effect name
        "?#Fire64",      // no height
        "?#Fire64 ",     // separator but no height
        "?#Fire64 x",    // no digits
        "?#Fire64 -",    // a sign alone
        "?#Plasma64 64 1 2",
        "?#Plasma64 64 1 2 ",
        "?#Fire0 64",
        "?#Fire64 0",
        "?#Fire64 1",  // the spark row needs a height of 2
        "?#Fire64 -64",
        "?#Plasma4096 16 0 0 0",
        "?#Plasma16 2049 0 0 0",
        "?#Fire99999999999 64",
        "?#Plasma16 16 0 0 99999999999",
    };
    for (const char* name : bad) EXPECT_FALSE(parses(name)) << "\"" << name << "\"";
    EXPECT_FALSE(parses(nullptr));
    EffectName untouched;
    memset(&untouched, 0xAB, sizeof untouched);
    EXPECT_FALSE(parseEffectName("?#Fire64", &untouched));
    EXPECT_EQ(untouched.width, (int32_t)0xABABABAB);
}

TEST(EffectName, EveryShortenedNameStopsAtItsEnd) {
    std::string full = "?#Plasma128 128 0 90 160";
    for (size_t n = 0; n < full.size(); n++) {
        std::string cut = full.substr(0, n);
        bool complete = n >= full.size() - 2;  // "1", "16" of the last number still parse
        EXPECT_EQ(parses(cut.c_str()), complete) << "\"" << cut << "\"";
    }
}

}  // namespace
