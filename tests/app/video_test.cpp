#include "app/video.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>

#include "app/app_state.h"
#include "pak/library.h"
#include "tests/support/gl_fixture.h"

class VideoGl : public GlTest {
   protected:
    int contextWidth() const override { return 64; }
    int contextHeight() const override { return 48; }
};

TEST_F(VideoGl, EdgesFollowTheFieldOfViewAndAspect) {
    Viewport view;
    EXPECT_EQ(1, view.setProjection(640, 480));
    EXPECT_LT(view.viewCorner.x, 0);
    EXPECT_LT(view.viewCorner.y, 0);
    EXPECT_LT(view.viewCorner.z, 0);
    double tanHalf = std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(-100 * tanHalf, view.edgeYAtDepth(-100), 1e-3);
    EXPECT_NEAR(-41.42, view.edgeYAtDepth(-100), 0.01);
    EXPECT_NEAR(-55.23, view.edgeXAtDepth(-100), 0.01);
    EXPECT_NEAR(-200 * tanHalf * 4.0 / 3.0, view.edgeXAtDepth(-200), 1e-3);

    GLint box[4];
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(640, box[2]);
    EXPECT_EQ(480, box[3]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
}

TEST_F(VideoGl, ZeroHeightIsTakenAsOne) {
    Viewport zero;
    Viewport one;
    zero.setProjection(300, 0);
    GLint box[4];
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(1, box[3]);
    one.setProjection(300, 1);
    EXPECT_DOUBLE_EQ(one.edgeXAtDepth(-100), zero.edgeXAtDepth(-100));
    EXPECT_DOUBLE_EQ(one.edgeYAtDepth(-100), zero.edgeYAtDepth(-100));
    EXPECT_NEAR(300 * one.edgeYAtDepth(-100), one.edgeXAtDepth(-100), 0.05);
}

static void quad(double left, double bottom, double right, double top, double z, const GLfloat rgba[4]) {
    glColor4fv(rgba);
    glBegin(GL_QUADS);
    glVertex3d(left, bottom, z);
    glVertex3d(right, bottom, z);
    glVertex3d(right, top, z);
    glVertex3d(left, top, z);
    glEnd();
}

static void expectPixel(int x, int y, int red, int green, int blue) {
    GLubyte rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_NEAR(rgba[0], red, 1) << "at " << x << ", " << y;
    EXPECT_NEAR(rgba[1], green, 1) << "at " << x << ", " << y;
    EXPECT_NEAR(rgba[2], blue, 1) << "at " << x << ", " << y;
}

// What the scene's GL switches rely on, drawn in four columns over an opaque blue: the depth test on
// (with equal depths passing), lighting off, and blending and alpha testing set up but off.
TEST_F(VideoGl, FixedStateDrawsWhatTheSceneReliesOn) {
    glDisable(GL_DEPTH_TEST);
    applyGlState();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const GLfloat blue[4] = {0, 0, 1, 1}, red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    const GLfloat halfRed[4] = {1, 0, 0, 0.5f}, nearlyOpaque[4] = {1, 1, 1, 0.95f},
                  faint[4] = {1, 1, 1, 0.85f};
    quad(-1, -1, 1, 1, 0, blue);
    quad(-1, -1, -0.5, 1, 0.5, red);  // behind: hidden
    quad(-0.5, -1, 0, 1, 0, green);   // at the same depth: drawn
    quad(0, -1, 0.5, 1, -0.5, halfRed);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    quad(0.5, -1, 1, 0, -0.5, faint);  // below the alpha reference: discarded
    quad(0.5, 0, 1, 1, -0.5, nearlyOpaque);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    expectPixel(8, 24, 0, 0, 255);
    expectPixel(24, 24, 0, 255, 0);
    expectPixel(40, 24, 255, 0, 0);  // opaque while blending is off
    expectPixel(56, 12, 0, 0, 255);
    expectPixel(56, 36, 242, 242, 255);  // 0.95 white over blue
}

TEST(Extensions, SubstringMatchCounts) {
    EXPECT_TRUE(hasExtension("GL_A GL_EXT_separate_specular_color GL_B", "GL_EXT_separate_specular_color"));
    EXPECT_TRUE(hasExtension("GL_EXT_separate_specular_colorful", "GL_EXT_separate_specular_color"));
    EXPECT_FALSE(hasExtension("GL_EXT_separate_specular", "GL_EXT_separate_specular_color"));
    EXPECT_FALSE(hasExtension(nullptr, "GL_EXT_separate_specular_color"));
}

// Once the mode is set, an exit from anywhere, here the one for a missing archive, must leave SDL
// shut down (the desktop's mode restored). The check is the last exit handler to run.
TEST(VideoDeathTest, AnExitAfterTheModeIsSetRestoresTheDesktop) {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X server";
    EXPECT_EXIT(
        {
            atexit([] { _exit(SDL_WasInit(SDL_INIT_VIDEO) ? 3 : 4); });
            Viewport opened;
            opened.openVideo(0, 0, 0);
            pakLibrary.setBasePath("/nonexistent-lumivane-install/");
            pakLibrary.openArchive("main.pak");
        },
        testing::ExitedWithCode(4), "");
}
