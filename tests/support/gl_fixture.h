#pragma once
#include <gtest/gtest.h>

// Gives each test a fresh headless Mesa context (no X server) of the given size.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual int contextWidth() const { return 64; }
    virtual int contextHeight() const { return 64; }
};
