#include <GL/gl.h>

#include "tests/support/gl_fixture.h"

class OffscreenGl : public GlTest {
    int contextWidth() const override { return 32; }
    int contextHeight() const override { return 16; }
};

TEST_F(OffscreenGl, ClearsAndReadsBackTheWholeSurface) {
    GLint view[4];
    glGetIntegerv(GL_VIEWPORT, view);
    EXPECT_EQ(32, view[2]);
    EXPECT_EQ(16, view[3]);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4];
    glReadPixels(31, 15, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(255, pixel[0]);
    EXPECT_EQ(0, pixel[1]);
}
