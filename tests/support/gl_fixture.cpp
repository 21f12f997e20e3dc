#include "tests/support/gl_fixture.h"

#include "platform/offscreen_gl.h"

void GlTest::SetUp() { ASSERT_TRUE(openOffscreenGl(contextWidth(), contextHeight())) << "no headless GL context"; }

void GlTest::TearDown() { closeOffscreenGl(); }
