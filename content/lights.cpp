#include "content/lights.h"

#include <GL/gl.h>

#include <cstdlib>

#include "scene/animator.h"

int32_t randomBelow(int32_t n) {
    return rand() % n;
}

static const GLfloat light1Ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
static const GLfloat light1Diffuse[4] = {0.45f, 0.43f, 0.35f, 1.0f};
static const GLfloat light1Specular[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const GLfloat flameAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
static const GLfloat flameDiffuse[4] = {0.96f, 0.86f, 0.36f, 1.0f};
static const GLfloat flameSpecular[4] = {0.97f, 0.96f, 0.27f, 1.0f};
static const GLfloat light5Specular[4] = {0.6f, 0.6f, 0.6f, 1.0f};
static const GLfloat lightOrigin[4] = {0.0f, 0.0f, 0.0f, 1.0f};

const FlickerBand flickerBands[3] = {
    {0.01f, 0.03f, 0.009f, 0.015f, 0.0015f},
    {0.02f, 0.05f, 0.007f, 0.01f, 0.001f},
    {0.01f, 0.03f, 0.009f, 0.015f, 0.0015f},
};

float flickerValues[3] = {0.02f, 0.035f, 0.02f};

static void setAttenuation(GLenum light, GLfloat quadratic) {
    GLfloat constant = 0.0f;
    glLightfv(light, GL_CONSTANT_ATTENUATION, &constant);
    glLightfv(light, GL_QUADRATIC_ATTENUATION, &quadratic);
}

static void setColours(GLenum light, const GLfloat* ambient, const GLfloat* diffuse,
                       const GLfloat* specular) {
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
}

// Constant attenuation 0 makes the falloff purely quadratic: lights brighten steeply near their carrier.
void setUpLights() {
    setColours(GL_LIGHT1, light1Ambient, light1Diffuse, light1Specular);
    setAttenuation(GL_LIGHT1, 0.02f);
    setColours(GL_LIGHT5, flameAmbient, flameDiffuse, light5Specular);
    setAttenuation(GL_LIGHT5, 0.0008f);
    for (int n = 2; n <= 4; n++) setColours(GL_LIGHT0 + n, flameAmbient, flameDiffuse, flameSpecular);
    for (int n = 2; n <= 4; n++) setAttenuation(GL_LIGHT0 + n, 0.03f);
}

// Runs inside the carrier's animator update, so the light lands at the carrier's origin this frame.
void placeLight(int32_t) {
    int32_t light = currentTrack->intParam1;
    if (light < 1 || light > 5) return;
    glLightfv(GL_LIGHT0 + light, GL_POSITION, lightOrigin);
}

float stepFlicker(float value, const FlickerBand& band) {
    double q = value;
    if (q < band.low) {
        q += randomBelow(100) * (double)band.up / 100.0;
    } else if (q > band.high) {
        q -= randomBelow(100) * (double)band.down / 100.0;
    } else {
        int32_t sign = 1 - 2 * randomBelow(2);  // the sign is drawn before the size
        q += randomBelow(100) * sign * (double)band.wander / 100.0;
    }
    return (float)q;
}

void stepFlickerLights() {
    for (int i = 0; i < 3; i++) {
        flickerValues[i] = stepFlicker(flickerValues[i], flickerBands[i]);
        setAttenuation(GL_LIGHT2 + i, flickerValues[i]);
    }
}

// One step per frame at most; a backlog of long frames is worked off a step each frame, never dropped.
void flickerLights(int32_t) {
    double t = currentTrack->elapsed;
    if (t <= 0.0) return;
    currentTrack->elapsed = t - (100 + randomBelow(15));
    stepFlickerLights();
}

static void switchLights(int32_t phase, GLenum first, GLenum last) {
    if (phase == 1 || phase == 3) {
        glEnable(GL_LIGHTING);
        for (GLenum light = first; light <= last; light++) glEnable(light);
    } else if (phase == 2 || phase == 4) {
        for (GLenum light = first; light <= last; light++) glDisable(light);
        glDisable(GL_LIGHTING);
    }
}

void switchLight5(int32_t phase, int32_t) {
    switchLights(phase, GL_LIGHT5, GL_LIGHT5);
}

void switchLights1to4(int32_t phase, int32_t) {
    switchLights(phase, GL_LIGHT1, GL_LIGHT4);
}

void drawUnlit(int32_t phase, int32_t) {
    if (phase == 1) glDisable(GL_LIGHTING);
    if (phase == 2) glEnable(GL_LIGHTING);
}

void billboardMatrix(double matrix[16]) {
    static const int diagonal[3] = {0, 5, 10};
    static const int offDiagonal[6] = {1, 2, 4, 6, 8, 9};
    for (int i = 0; i < 3; i++) matrix[diagonal[i]] = 1.0;
    for (int i = 0; i < 6; i++) matrix[offDiagonal[i]] = 0.0;
}

void drawBillboarded(int32_t phase, int32_t) {
    if (phase == 1) {
        glPushMatrix();
        double matrix[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
        billboardMatrix(matrix);
        glLoadMatrixd(matrix);
    } else if (phase == 2) {
        glPopMatrix();
    }
}

void drawWithoutDepthTest(int32_t phase, int32_t) {
    if (phase == 1 || phase == 3) glDisable(GL_DEPTH_TEST);
    if (phase == 2 || phase == 4) glEnable(GL_DEPTH_TEST);
}
