#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pak/model_layout.h"

// One mesh block of a model entry. Its geometry goes to the driver once, as a display list made
// when it is loaded; the arrays point into the entry's bytes only until then (null afterwards:
// the bytes may be gone) unless the library keeps entry bytes. Where no list could be made they
// stay, and so do the bytes.
struct MeshPart {
    MeshMaterial material;
    bool savedDepthTest;
    bool savedNormalize;
    bool savedLighting;
    bool savedLights[8];  // GL_LIGHT1 + i
    int32_t triangleCount;
    const uint8_t* vertices;
    const uint8_t* normals;
    const uint8_t* texCoords;
    std::string textureOwner;  // archive file name, or the full effect texture name
    std::string textureName;
    uint32_t texture;
    bool isEffectTexture;
    double savedModelview[16];  // read for transparent meshes only, which need it at the end of the frame
    uint32_t geometryList;      // GL display list of the three arrays; 0: none
    // Where the whole picture lies in the mesh's plane, for pictures fitted to the pixels they
    // cover: its top-left corner (s = t = 0) and the steps to s = 1 and to t = 1.
    bool fitsPicture;
    double pictureCorner[3], pictureAcross[3], pictureDown[3];
    uint32_t fittedFor;  // the screen its picture was last fitted for

    void initMeshPart();
    // Reads one block at cursor (never past end), loads its texture and compiles its geometry;
    // cursor is left just past the block. Returns false, loading nothing, when the block does not
    // fit wholly before end.
    bool parseMeshBlock(const uint8_t*& cursor, const uint8_t* end, const char* pakName);
    bool needsEntryBytes() const;  // its arrays are still drawn from the entry (no list could be made)
    void drawMeshPart();
    void drawDeferredMesh();
    // Gives the texture back and deletes the display list (needs the GL context it was made in).
    void releaseMeshPart();
};

// Model entry header: a marker byte (0xFF: a uint32 to skip follows), then the int32 mesh count.
// Returns false when the header does not fit in the entry or the count is negative; otherwise sets
// *meshData to the first block and *meshCount as stored (blocks are bounds-checked one by one).
bool readModelHeader(const uint8_t* bytes, uint32_t size, const uint8_t** meshData, int32_t* meshCount);

extern std::vector<MeshPart*> deferredMeshes;  // transparent meshes waiting for the end of the frame

// Textures named "?#..." are generated, not read from an archive: the layer that makes them
// resolves the names through these, shared by exact name and counted like archive textures.
typedef uint32_t (*EffectTextureGetter)(const char* name);
typedef void (*EffectTextureReleaser)(const char* name);
extern EffectTextureGetter effectTextureGetter;
extern EffectTextureReleaser effectTextureReleaser;

void queueDeferredMesh(MeshPart* mesh);
void drawDeferredMeshes();
