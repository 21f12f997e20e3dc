#include "pak/mesh.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "pak/library.h"
#include "pak/model_layout.h"

namespace {
const int kSavedLights = 8;  // GL_LIGHT1 onwards; GL_LIGHT0 is never used by the scene

// The entry's arrays, doubles at whatever offset the block put them, as one draw call.
void drawArrays(const MeshPart* mesh) {
    glVertexPointer(3, GL_DOUBLE, 0, mesh->vertices);
    glNormalPointer(GL_DOUBLE, 0, mesh->normals);
    glTexCoordPointer(2, GL_DOUBLE, 0, mesh->texCoords);
    glDrawArrays(GL_TRIANGLES, 0, 3 * mesh->triangleCount);
}

// The geometry never changes, so it goes to the driver once: converting and sending the client
// arrays every frame was most of a frame's CPU time, and once compiled the entry's bytes need not
// stay. Without a list (none could be made) the arrays are drawn directly, which shows the same.
void compileGeometry(MeshPart* mesh) {
    if (mesh->triangleCount <= 0) return;
    mesh->geometryList = glGenLists(1);
    if (mesh->geometryList == 0) return;
    glNewList(mesh->geometryList, GL_COMPILE);
    drawArrays(mesh);
    glEndList();
    if (!pakLibrary.keepsEntryBytes) mesh->vertices = mesh->normals = mesh->texCoords = nullptr;
}

void drawMeshGeometry(MeshPart* mesh) {
    if (mesh->geometryList != 0) {
        glCallList(mesh->geometryList);
    } else if (mesh->vertices) {
        drawArrays(mesh);
    }
}

double readDouble(const uint8_t* p) {
    double d;
    memcpy(&d, p, sizeof d);
    return d;
}

// The picture's corner and axes from the first triangle: positions are an affine function of the
// texture coordinates on a flat mesh. A triangle whose coordinates do not span the picture leaves
// nothing to fit by.
void placePicture(MeshPart* mesh) {
    if (mesh->triangleCount <= 0) return;
    double p[3][3], s[3], t[3];
    for (int v = 0; v < 3; v++) {
        for (int k = 0; k < 3; k++) p[v][k] = readDouble(mesh->vertices + 24 * v + 8 * k);
        s[v] = readDouble(mesh->texCoords + 16 * v);
        t[v] = readDouble(mesh->texCoords + 16 * v + 8);
    }
    const double ds1 = s[1] - s[0], ds2 = s[2] - s[0], dt1 = t[1] - t[0], dt2 = t[2] - t[0];
    const double det = ds1 * dt2 - ds2 * dt1;
    if (!(std::fabs(det) > 1e-12)) return;
    for (int k = 0; k < 3; k++) {
        const double e1 = p[1][k] - p[0][k], e2 = p[2][k] - p[0][k];
        mesh->pictureAcross[k] = (e1 * dt2 - e2 * dt1) / det;
        mesh->pictureDown[k] = (e2 * ds1 - e1 * ds2) / det;
        mesh->pictureCorner[k] = p[0][k] - s[0] * mesh->pictureAcross[k] - t[0] * mesh->pictureDown[k];
    }
    mesh->fitsPicture = true;
}

// Window coordinates of an object point under the modelview m and the current projection.
void toWindow(const double* m, const double* projection, const GLint* view, const double p[3],
              double out[2]) {
    double eye[4], clip[4];
    for (int r = 0; r < 4; r++) eye[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    for (int r = 0; r < 4; r++)
        clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                  projection[12 + r] * eye[3];
    const double w = clip[3] != 0.0 ? clip[3] : 1.0;
    out[0] = view[0] + view[2] * (clip[0] / w + 1.0) * 0.5;
    out[1] = view[1] + view[3] * (clip[1] / w + 1.0) * 0.5;
}

// Pixels the picture spans, rounded up so that it never has fewer texels than pixels.
int32_t spanPixels(const double a[2], const double b[2]) {
    const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
    if (!(length >= 1.0)) return 1;
    return length > 65536.0 ? 65536 : (int32_t)std::ceil(length - 1e-6);
}

// Tells the library how large the picture is drawn under `modelview`, once per screen size.
void fitPicture(MeshPart* mesh, const double* modelview) {
    if (mesh->fittedFor == pakLibrary.screen) return;
    mesh->fittedFor = pakLibrary.screen;
    if (mesh->isEffectTexture || mesh->texture == 0 || !pakLibrary.fitsPictures(mesh->textureOwner.c_str()))
        return;
    int32_t width = 0, height = 0;
    if (mesh->fitsPicture) {
        double projection[16];
        GLint view[4];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, view);
        if (pakLibrary.screenWidth > 0 && pakLibrary.screenHeight > 0) {  // not a smaller draw area
            view[2] = pakLibrary.screenWidth;
            view[3] = pakLibrary.screenHeight;
        }
        double across[3], down[3], corner[2], right[2], bottom[2];
        for (int k = 0; k < 3; k++) {
            across[k] = mesh->pictureCorner[k] + mesh->pictureAcross[k];
            down[k] = mesh->pictureCorner[k] + mesh->pictureDown[k];
        }
        toWindow(modelview, projection, view, mesh->pictureCorner, corner);
        toWindow(modelview, projection, view, across, right);
        toWindow(modelview, projection, view, down, bottom);
        width = spanPixels(corner, right);
        height = spanPixels(corner, bottom);
    }
    pakLibrary.fitTexture(mesh->textureOwner.c_str(), mesh->texture, width, height);
}

// Shared by the immediate and the deferred draw: bind, material, geometry.
void drawGeometry(MeshPart* mesh) {
    const MeshMaterial& m = mesh->material;
    glBindTexture(GL_TEXTURE_2D, mesh->texture);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    drawMeshGeometry(mesh);
}
}  // namespace

void MeshPart::initMeshPart() {
    memset(&material, 0, sizeof material);
    savedDepthTest = savedNormalize = savedLighting = false;
    for (int i = 0; i < kSavedLights; i++) savedLights[i] = false;
    triangleCount = 0;
    vertices = normals = texCoords = nullptr;
    textureOwner.clear();
    textureName.clear();
    texture = 0;
    isEffectTexture = false;
    for (int i = 0; i < 16; i++) savedModelview[i] = 0.0;
    geometryList = 0;
    fitsPicture = false;
    for (int k = 0; k < 3; k++) pictureCorner[k] = pictureAcross[k] = pictureDown[k] = 0.0;
    fittedFor = 0;
}

bool MeshPart::parseMeshBlock(const uint8_t*& cursor, const uint8_t* end, const char* pakName) {
    MeshBlockLayout block;
    const char* problem = nullptr;
    if (!readMeshBlock(cursor, end, &block, &problem)) return false;
    textureName = block.textureName;
    if (textureName.size() >= 2 && textureName[1] == '#') {
        texture = effectTextureGetter(textureName.c_str());
        textureOwner = textureName;
        isEffectTexture = true;
    } else {
        texture = pakLibrary.getTexture(pakName, textureName.c_str());
        textureOwner = pakName;
        isEffectTexture = false;
    }
    readMeshMaterial(block.material, &material);
    triangleCount = (int32_t)block.triangleCount;
    vertices = block.vertices;
    normals = block.normals;
    texCoords = block.texCoords;
    if (!isEffectTexture && pakLibrary.fitsPictures(pakName)) placePicture(this);
    compileGeometry(this);
    cursor += block.blockSize;
    return true;
}

bool MeshPart::needsEntryBytes() const {
    return geometryList == 0 && triangleCount > 0;
}

void MeshPart::drawMeshPart() {
    if (material.transparent) {
        // A matrix read-back stalls the driver; only the deferred draw needs the matrix.
        glGetDoublev(GL_MODELVIEW_MATRIX, savedModelview);
        savedDepthTest = glIsEnabled(GL_DEPTH_TEST);
        savedNormalize = glIsEnabled(GL_NORMALIZE);
        savedLighting = glIsEnabled(GL_LIGHTING);
        if (savedLighting) {
            for (int i = 0; i < kSavedLights; i++) savedLights[i] = glIsEnabled(GL_LIGHT1 + i);
        }
        queueDeferredMesh(this);
        return;
    }
    bool alphaTested = material.alphaTested;
    if (alphaTested) glEnable(GL_ALPHA_TEST);
    if (fittedFor != pakLibrary.screen) {
        double modelview[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        fitPicture(this, modelview);
    }
    drawGeometry(this);
    if (alphaTested) glDisable(GL_ALPHA_TEST);
}

namespace {
// The switches a deferred mesh is drawn under. The end of the traversal leaves depth test on and
// the others off; blending is on for the whole deferred pass.
struct DeferredState {
    bool depthTest;
    bool normalize;
    bool lighting;
    bool lights[kSavedLights];
    bool alphaTest;
};

DeferredState traversalEndState() {
    DeferredState state;
    state.depthTest = true;
    state.normalize = state.lighting = state.alphaTest = false;
    for (int i = 0; i < kSavedLights; i++) state.lights[i] = false;
    return state;
}

DeferredState stateFor(const MeshPart* mesh) {
    DeferredState state = traversalEndState();
    state.depthTest = mesh->savedDepthTest;
    state.normalize = mesh->savedNormalize;
    state.lighting = mesh->savedLighting;
    for (int i = 0; i < kSavedLights; i++) state.lights[i] = mesh->savedLighting && mesh->savedLights[i];
    state.alphaTest = mesh->material.alphaTested;
    return state;
}

void setSwitch(GLenum cap, bool wanted, bool* current) {
    if (wanted == *current) return;
    if (wanted) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
    *current = wanted;
}

// Only the switches that differ are flipped: every flip makes a software renderer revalidate its
// pipeline, and consecutive transparent meshes mostly share their state.
void switchTo(const DeferredState& wanted, DeferredState* current) {
    setSwitch(GL_DEPTH_TEST, wanted.depthTest, &current->depthTest);
    setSwitch(GL_NORMALIZE, wanted.normalize, &current->normalize);
    setSwitch(GL_LIGHTING, wanted.lighting, &current->lighting);
    for (int i = 0; i < kSavedLights; i++) setSwitch(GL_LIGHT1 + i, wanted.lights[i], &current->lights[i]);
    setSwitch(GL_ALPHA_TEST, wanted.alphaTest, &current->alphaTest);
}

void drawUnder(MeshPart* mesh, DeferredState* current) {
    switchTo(stateFor(mesh), current);
    glLoadMatrixd(mesh->savedModelview);
    fitPicture(mesh, mesh->savedModelview);
    drawGeometry(mesh);
}
}  // namespace

// Restores the state saved at queue time, draws blended, then returns to the end-of-traversal
// state: depth test on; normalisation, lighting, lights, alpha test and blending off.
void MeshPart::drawDeferredMesh() {
    DeferredState current = traversalEndState();
    glEnable(GL_BLEND);
    drawUnder(this, &current);
    switchTo(traversalEndState(), &current);
    glDisable(GL_BLEND);
}

void MeshPart::releaseMeshPart() {
    if (isEffectTexture) {
        effectTextureReleaser(textureOwner.c_str());
    } else {
        pakLibrary.releaseTexture(textureOwner.c_str(), texture);
    }
    textureOwner.clear();
    if (geometryList != 0) glDeleteLists(geometryList, 1);
    geometryList = 0;
}

void queueDeferredMesh(MeshPart* mesh) {
    deferredMeshes.push_back(mesh);
}

// The same state for each mesh as drawDeferredMesh gives it, without returning to the
// end-of-traversal state between meshes.
void drawDeferredMeshes() {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    DeferredState current = traversalEndState();
    for (size_t i = 0; i < deferredMeshes.size(); i++) drawUnder(deferredMeshes[i], &current);
    switchTo(traversalEndState(), &current);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    deferredMeshes.clear();
}
