#include "platform/offscreen_gl.h"

#include <GL/gl.h>

#include <cstdlib>

#include "tests/support/gl_fixture.h"

class OffscreenGl : public GlTest {
    int contextWidth() const override { return 32; }
    int contextHeight() const override { return 16; }
};

// Red and green of the top right pixel after a clear to (red, green, 0).
static void expectClearReadsBack(int width, int height, float red, float green) {
    glClearColor(red, green, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4];
    glReadPixels(width - 1, height - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(red * 255, pixel[0]);
    EXPECT_EQ(green * 255, pixel[1]);
}

TEST_F(OffscreenGl, ClearsAndReadsBackTheWholeSurface) {
    GLint view[4];
    glGetIntegerv(GL_VIEWPORT, view);
    EXPECT_EQ(32, view[2]);
    EXPECT_EQ(16, view[3]);
    expectClearReadsBack(32, 16, 1, 0);
}

// Drivers without Mesa's surfaceless platform (NVIDIA's) get the default EGL display; forced here
// on Mesa, whose default display is made surfaceless too so that no X server is needed.
TEST(OffscreenGlFallback, DefaultDisplayGivesAWorkingContext) {
    setenv("EGL_PLATFORM", "surfaceless", 0);
    ASSERT_TRUE(openOffscreenGl(8, 4, true));
    EXPECT_STREQ("default", offscreenGlDisplay());
    expectClearReadsBack(8, 4, 0, 1);
    closeOffscreenGl();
    EXPECT_STREQ("none", offscreenGlDisplay());

    ASSERT_TRUE(openOffscreenGl(8, 4));
    EXPECT_STREQ("surfaceless", offscreenGlDisplay());
    closeOffscreenGl();
}
