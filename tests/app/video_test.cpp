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

TEST_F(VideoGl, FixedStateIsSetWithoutEnablingPerPartSwitches) {
    glDisable(GL_DEPTH_TEST);
    applyGlState();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(GL_LEQUAL, value);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, value);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_FLOAT_EQ(0.9f, ref);
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
