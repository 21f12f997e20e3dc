// A GL that draws nothing, for the soak and the scene's own time: linked into the program, these
// definitions take the place of the system's, so a frame costs only the scene's own work. What the
// scene asks back is real: the matrix stacks, the switches it saves and restores, the viewport;
// texture objects hold their pixels as a driver would, so textures that are never deleted show as
// memory and as a count.
// Drawing reads the ends of every client array it is given, so arrays into freed entry bytes
// are caught by the sanitizers.
#include "bench/support/null_gl.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/install_path.h"

namespace {
struct Matrix {
    double m[16];
};

std::vector<Matrix> modelview(1), projection(1);
std::vector<Matrix>* current = &modelview;
bool enabled[0x10000];  // every switch the scene uses is below 0x10000
GLint viewport[4] = {0, 0, 1, 1};
std::map<GLuint, std::vector<uint8_t>> textures;
GLuint nextTexture = 1;
GLuint boundTexture = 0;
const void* arrays[3] = {nullptr, nullptr, nullptr};  // vertex, normal, texture coordinates
int arrayComponents[3] = {3, 3, 2};
volatile double sink;

void identity(double* m) {
    for (int i = 0; i < 16; i++) m[i] = i % 5 == 0 ? 1.0 : 0.0;
}

// top = top * by, column-major as GL keeps them.
void multiply(const double* by) {
    double* top = current->back().m;
    double out[16];
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++) sum += top[k * 4 + r] * by[c * 4 + k];
            out[c * 4 + r] = sum;
        }
    memcpy(top, out, sizeof out);
}

struct Init {
    Init() {
        identity(modelview[0].m);
        identity(projection[0].m);
    }
} init;
}  // namespace

std::string nullGlArchiveFolder() {
    const char* env = getenv("LUMIVANE_PATH");
    if (!env || !*env) env = getenv("LUMIVANE_BUILD_DIR");
    if (env && *env) return std::string(env) + "/";
    return installPath.installDirectory() + "../";
}

int nullGlTextureCount() {
    return (int)textures.size();
}

long nullGlTextureBytes() {
    long bytes = 0;
    for (const auto& texture : textures) bytes += (long)texture.second.size();
    return bytes;
}

void glEnable(GLenum cap) {
    if (cap < 0x10000) enabled[cap] = true;
}
void glDisable(GLenum cap) {
    if (cap < 0x10000) enabled[cap] = false;
}
GLboolean glIsEnabled(GLenum cap) {
    return cap < 0x10000 && enabled[cap] ? GL_TRUE : GL_FALSE;
}
void glEnableClientState(GLenum) {}
void glMatrixMode(GLenum mode) {
    current = mode == GL_PROJECTION ? &projection : &modelview;
}
void glLoadIdentity() {
    identity(current->back().m);
}
void glLoadMatrixd(const GLdouble* m) {
    memcpy(current->back().m, m, sizeof(double) * 16);
}
void glMultMatrixd(const GLdouble* m) {
    multiply(m);
}
void glPushMatrix() {
    current->push_back(current->back());
}
void glPopMatrix() {
    if (current->size() > 1) current->pop_back();
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    double* top = current->back().m;
    for (int r = 0; r < 4; r++) top[12 + r] += top[r] * x + top[4 + r] * y + top[8 + r] * z;
}
void glScaled(GLdouble x, GLdouble y, GLdouble z) {
    double m[16];
    identity(m);
    m[0] = x;
    m[5] = y;
    m[10] = z;
    multiply(m);
}
void glRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
    double length = std::sqrt((double)x * x + (double)y * y + (double)z * z);
    if (length == 0.0) return;
    double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    double u = x / length, v = y / length, w = z / length;
    double m[16] = {u * u * (1 - c) + c,
                    v * u * (1 - c) + w * s,
                    w * u * (1 - c) - v * s,
                    0,
                    u * v * (1 - c) - w * s,
                    v * v * (1 - c) + c,
                    w * v * (1 - c) + u * s,
                    0,
                    u * w * (1 - c) + v * s,
                    v * w * (1 - c) - u * s,
                    w * w * (1 - c) + c,
                    0,
                    0,
                    0,
                    0,
                    1};
    multiply(m);
}
void glGetDoublev(GLenum name, GLdouble* out) {
    if (name == GL_MODELVIEW_MATRIX) memcpy(out, modelview.back().m, sizeof(double) * 16);
    if (name == GL_PROJECTION_MATRIX) memcpy(out, projection.back().m, sizeof(double) * 16);
}
void glGetIntegerv(GLenum name, GLint* out) {
    if (name == GL_VIEWPORT) memcpy(out, viewport, sizeof viewport);
}
const GLubyte* glGetString(GLenum) {
    return (const GLubyte*)"";
}
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
}

void glGenTextures(GLsizei count, GLuint* names) {
    for (GLsizei i = 0; i < count; i++) {
        names[i] = nextTexture++;
        textures[names[i]];
    }
}
void glDeleteTextures(GLsizei count, const GLuint* names) {
    for (GLsizei i = 0; i < count; i++) textures.erase(names[i]);
}
void glBindTexture(GLenum, GLuint name) {
    boundTexture = name;
    if (name) textures[name];
}
void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum,
                  const void* pixels) {
    std::vector<uint8_t>& storage = textures[boundTexture];
    storage.assign((size_t)width * (size_t)height * 4, 0);
    if (pixels && !storage.empty()) memcpy(storage.data(), pixels, storage.size());
}
void glTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei width, GLsizei height, GLenum, GLenum,
                     const void* pixels) {
    std::vector<uint8_t>& storage = textures[boundTexture];
    size_t bytes = (size_t)width * (size_t)height * 4;
    if (pixels && bytes <= storage.size()) memcpy(storage.data(), pixels, bytes);
}

void glVertexPointer(GLint, GLenum, GLsizei, const void* pointer) {
    arrays[0] = pointer;
}
void glNormalPointer(GLenum, GLsizei, const void* pointer) {
    arrays[1] = pointer;
}
void glTexCoordPointer(GLint, GLenum, GLsizei, const void* pointer) {
    arrays[2] = pointer;
}
void glDrawArrays(GLenum, GLint first, GLsizei count) {
    if (count <= 0) return;
    for (int i = 0; i < 3; i++) {
        if (!arrays[i]) continue;
        const double* values = (const double*)arrays[i];
        double firstValue, lastValue;  // memcpy: the arrays may sit at any alignment in the entry
        memcpy(&firstValue, values + (size_t)first * arrayComponents[i], sizeof(double));
        memcpy(&lastValue, values + (size_t)(first + count) * arrayComponents[i] - 1, sizeof(double));
        sink = sink + firstValue + lastValue;
    }
}

void glReadPixels(GLint, GLint, GLsizei width, GLsizei height, GLenum, GLenum, void* pixels) {
    memset(pixels, 0, (size_t)width * (size_t)height * 3);
}

// State that changes nothing the scene reads back.
void glAlphaFunc(GLenum, GLclampf) {}
void glBlendFunc(GLenum, GLenum) {}
void glClear(GLbitfield) {}
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void glClearDepth(GLclampd) {}
void glDepthFunc(GLenum) {}
void glDepthMask(GLboolean) {}
void glFinish() {}
void glHint(GLenum, GLenum) {}
void glLightModeli(GLenum, GLint) {}
void glLightfv(GLenum, GLenum, const GLfloat*) {}
void glMaterialf(GLenum, GLenum, GLfloat) {}
void glMaterialfv(GLenum, GLenum, const GLfloat*) {}
void glPixelStorei(GLenum, GLint) {}
void glShadeModel(GLenum) {}
void glTexEnvi(GLenum, GLenum, GLint) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
