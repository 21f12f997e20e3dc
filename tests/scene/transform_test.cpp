#include "scene/transform.h"

#include <GL/gl.h>

#include "tests/support/gl_fixture.h"

namespace {

class TransformTest : public GlTest {};

void readModelview(double* m) {
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
}

// The matrix that a given GL call sequence leaves, starting from identity.
template <typename Calls>
void expectedMatrix(double* m, Calls calls) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    calls();
    readModelview(m);
}

void appliedMatrix(double* m, const NodeTransform& t) {
    expectedMatrix(m, [&] { t.applyTransform(); });
}

void expectSameMatrix(const double* a, const double* b) {
    for (int i = 0; i < 16; i++) EXPECT_DOUBLE_EQ(a[i], b[i]) << "element " << i;
}

TEST_F(TransformTest, TranslatesThenRotatesAboutXThenYThenZ) {
    NodeTransform t;
    t.initTransform();
    t.setPosition(4, -1, 44);
    t.setRotation(-76, 0, 0);
    double got[16], want[16], otherOrder[16];
    appliedMatrix(got, t);
    expectedMatrix(want, [] {
        glTranslatef(4, -1, 44);
        glRotatef(-76, 1, 0, 0);
    });
    expectSameMatrix(got, want);
    expectedMatrix(otherOrder, [] {
        glRotatef(-76, 1, 0, 0);
        glTranslatef(4, -1, 44);
    });
    EXPECT_NE(got[13], otherOrder[13]);

    t.setRotation(10, 20, 30);
    appliedMatrix(got, t);
    expectedMatrix(want, [] {
        glTranslatef(4, -1, 44);
        glRotatef(10, 1, 0, 0);
        glRotatef(20, 0, 1, 0);
        glRotatef(30, 0, 0, 1);
    });
    expectSameMatrix(got, want);
}

TEST_F(TransformTest, ZeroPartsLeaveTheMatrixAlone) {
    NodeTransform t;
    t.initTransform();
    double got[16], identity[16];
    expectedMatrix(identity, [] {});
    appliedMatrix(got, t);
    expectSameMatrix(got, identity);

    t.setRotation(0, 0, 90);
    appliedMatrix(got, t);
    double want[16];
    expectedMatrix(want, [] { glRotatef(90, 0, 0, 1); });
    expectSameMatrix(got, want);
}

TEST_F(TransformTest, ScaleIsAppliedOnlyByApplyScale) {
    NodeTransform t;
    t.initTransform();
    t.setScale(0.5, 2, 3);
    double got[16], identity[16];
    expectedMatrix(identity, [] {});
    appliedMatrix(got, t);
    expectSameMatrix(got, identity);
    expectedMatrix(got, [&] { t.applyScale(); });
    EXPECT_DOUBLE_EQ(got[0], 0.5);
    EXPECT_DOUBLE_EQ(got[5], 2.0);
    EXPECT_DOUBLE_EQ(got[10], 3.0);
}

TEST(TransformRecord, ResetKeepsScaledAndInitClearsIt) {
    NodeTransform t;
    t.initTransform();
    EXPECT_FALSE(t.scaled);
    t.setScale(0.5, 0.5, 0.5);
    t.addPosition(1, 2, 3);
    t.addPosition(1, 2, 3);
    t.addRotation(5, 0, -5);
    EXPECT_TRUE(t.scaled);
    EXPECT_EQ(t.position.y, 4.0);
    EXPECT_EQ(t.rotation.z, -5.0);
    t.resetTransform();
    EXPECT_TRUE(t.scaled);
    EXPECT_EQ(t.scale.x, 1.0);
    EXPECT_EQ(t.position.x, 0.0);
    EXPECT_EQ(t.rotation.x, 0.0);
    t.initTransform();
    EXPECT_FALSE(t.scaled);
}

}  // namespace
