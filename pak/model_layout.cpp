#include "pak/model_layout.h"

#include <cstring>

#include "pak/little_endian.h"
#include "pak/mesh.h"

namespace {
const uint64_t kBlockFixedBytes = 149;  // name length, reserved 80, material 60, count, reserved 1
const uint64_t kTriangleBytes = 72 + 72 + 48;

void readFloats(const uint8_t* p, float* out, int count) {
    for (int i = 0; i < count; i++) {
        uint32_t bits = readLe32(p + 4 * i);
        memcpy(&out[i], &bits, 4);
    }
}
}  // namespace

bool readModelHeader(const uint8_t* bytes, uint32_t size, const uint8_t** meshData, int32_t* meshCount) {
    if (!bytes || size < 1) return false;
    uint32_t countAt = bytes[0] == 0xFF ? 5 : 1;  // 0xFF: a word to skip precedes the count
    if (size < countAt + 4) return false;
    int32_t count = (int32_t)readLe32(bytes + countAt);
    if (count < 0) return false;
    *meshData = bytes + countAt + 4;
    *meshCount = count;
    return true;
}

bool readMeshBlock(const uint8_t* cursor, const uint8_t* end, MeshBlockLayout* block, const char** problem) {
    uint64_t left = (uint64_t)(end - cursor);
    if (left < 4) {
        *problem = "entry ends inside the texture name length";
        return false;
    }
    uint64_t nameLength = readLe32(cursor);
    if (left < kBlockFixedBytes + nameLength) {
        *problem = "entry ends before the triangle data (texture name, material or triangle count)";
        return false;
    }
    if (!memchr(cursor + 4, 0, nameLength)) {
        *problem = "texture name has no NUL within its stored length";
        return false;
    }
    const uint8_t* countAt = cursor + 144 + nameLength;
    uint64_t triangleCount = readLe32(countAt);
    uint64_t blockSize = kBlockFixedBytes + nameLength + kTriangleBytes * triangleCount;  // fits in 64 bits
    if (left < blockSize) {
        *problem = "triangle count needs more bytes than the entry has left";
        return false;
    }
    block->textureNameLength = (uint32_t)nameLength;
    block->textureName = (const char*)cursor + 4;
    block->material = cursor + 84 + nameLength;
    block->triangleCount = (uint32_t)triangleCount;
    block->vertices = countAt + 5;
    block->normals = block->vertices + 72 * triangleCount;
    block->texCoords = block->normals + 72 * triangleCount;
    block->blockSize = blockSize;
    return true;
}

void readMeshMaterial(const uint8_t* material, MeshMaterial* out) {
    out->alphaTested = material[0] != 0;
    out->transparent = material[1] != 0;
    readFloats(material + 4, out->ambient, 4);
    readFloats(material + 20, out->diffuse, 4);
    readFloats(material + 36, out->specular, 4);
    readFloats(material + 52, &out->shininess, 1);
}
