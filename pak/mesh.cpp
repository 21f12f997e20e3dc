#include "pak/mesh.h"

#include <GL/gl.h>

#include "pak/library.h"
#include "pak/model_layout.h"

namespace {
const int kSavedLights = 8;  // GL_LIGHT1 onwards; GL_LIGHT0 is never used by the scene

bool isTransparent(const uint8_t* material) {
    return material[1] != 0;
}
bool isAlphaTested(const uint8_t* material) {
    return material[0] != 0;
}

// The entry's arrays, doubles at whatever offset the block put them, as one draw call.
void drawArrays(const MeshPart* mesh) {
    glVertexPointer(3, GL_DOUBLE, 0, mesh->vertices);
    glNormalPointer(GL_DOUBLE, 0, mesh->normals);
    glTexCoordPointer(2, GL_DOUBLE, 0, mesh->texCoords);
    glDrawArrays(GL_TRIANGLES, 0, 3 * mesh->triangleCount);
}

// The geometry never changes, so it goes to the driver once: converting and sending the client
// arrays every frame was most of a frame's CPU time. Without a list (none could be made) the
// arrays are drawn directly, which shows the same.
void drawMeshGeometry(MeshPart* mesh) {
    if (mesh->geometryList == 0 && mesh->triangleCount > 0) {
        mesh->geometryList = glGenLists(1);
        if (mesh->geometryList != 0) {
            glNewList(mesh->geometryList, GL_COMPILE);
            drawArrays(mesh);
            glEndList();
        }
    }
    if (mesh->geometryList != 0) {
        glCallList(mesh->geometryList);
    } else {
        drawArrays(mesh);
    }
}

// Shared by the immediate and the deferred draw: bind, material, geometry.
void drawGeometry(MeshPart* mesh) {
    MeshMaterial m;
    readMeshMaterial(mesh->material, &m);
    glBindTexture(GL_TEXTURE_2D, mesh->texture);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    drawMeshGeometry(mesh);
}
}  // namespace

void MeshPart::initMeshPart() {
    material = nullptr;
    savedDepthTest = savedNormalize = savedLighting = false;
    for (int i = 0; i < kSavedLights; i++) savedLights[i] = false;
    triangleCount = 0;
    vertices = normals = texCoords = nullptr;
    textureOwner.clear();
    textureName = nullptr;
    texture = 0;
    isEffectTexture = false;
    for (int i = 0; i < 16; i++) savedModelview[i] = 0.0;
    geometryList = 0;
}

bool MeshPart::parseMeshBlock(const uint8_t*& cursor, const uint8_t* end, const char* pakName) {
    MeshBlockLayout block;
    const char* problem = nullptr;
    if (!readMeshBlock(cursor, end, &block, &problem)) return false;
    textureName = block.textureName;
    if (textureName[0] != '\0' && textureName[1] == '#') {
        texture = effectTextureGetter(textureName);
        textureOwner = textureName;
        isEffectTexture = true;
    } else {
        texture = pakLibrary.getTexture(pakName, textureName);
        textureOwner = pakName;
        isEffectTexture = false;
    }
    material = block.material;
    triangleCount = (int32_t)block.triangleCount;
    vertices = block.vertices;
    normals = block.normals;
    texCoords = block.texCoords;
    cursor += block.blockSize;
    return true;
}

void MeshPart::drawMeshPart() {
    if (isTransparent(material)) {
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
    bool alphaTested = isAlphaTested(material);
    if (alphaTested) glEnable(GL_ALPHA_TEST);
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
    state.alphaTest = isAlphaTested(mesh->material);
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
