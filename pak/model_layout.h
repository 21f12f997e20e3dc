#pragma once
#include <cstdint>

// Where the parts of one mesh block lie inside a model entry. Reads nothing but the entry's bytes
// and touches no GL, so loaders and inspecting tools share it.
struct MeshBlockLayout {
    const char* textureName;  // NUL-terminated within its stored length
    uint32_t textureNameLength;
    const uint8_t* material;  // 60 bytes
    uint32_t triangleCount;
    const uint8_t* vertices;   // 72 bytes per triangle, unaligned doubles
    const uint8_t* normals;    // 72 bytes per triangle
    const uint8_t* texCoords;  // 48 bytes per triangle
    uint64_t blockSize;        // 149 + N + 192 * T
};

// The decoded 60-byte material block.
struct MeshMaterial {
    bool alphaTested;
    bool transparent;
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

// Locates the block at cursor. Returns false, with a short reason in *problem, when the block does
// not fit wholly before end or its texture name has no NUL within its stored length.
bool readMeshBlock(const uint8_t* cursor, const uint8_t* end, MeshBlockLayout* block, const char** problem);
void readMeshMaterial(const uint8_t* material, MeshMaterial* out);
