// Any bytes as a model entry: the walker the mesh loader and the pak tool share must keep every
// block it accepts inside the entry. Each accepted array is touched at both ends so ASan checks it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pak/mesh.h"
#include "pak/model_layout.h"

namespace {
volatile uint8_t sink;

void touch(const uint8_t* from, uint64_t length, const uint8_t* begin, const uint8_t* end) {
    if (from < begin || (uint64_t)(end - from) < length) __builtin_trap();
    if (length) sink = sink ^ from[0] ^ from[length - 1];
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const uint8_t* cursor;
    int32_t count;
    if (!readModelHeader(data, (uint32_t)size, &cursor, &count)) return 0;
    const uint8_t* end = data + size;
    for (int32_t i = 0; i < count; i++) {
        MeshBlockLayout block;
        const char* problem = nullptr;
        if (!readMeshBlock(cursor, end, &block, &problem)) {
            if (!problem) __builtin_trap();
            break;
        }
        touch(cursor, block.blockSize, data, end);
        if (strlen(block.textureName) >= block.textureNameLength) __builtin_trap();
        touch(block.material, 60, data, end);
        touch(block.vertices, 72ull * block.triangleCount, data, end);
        touch(block.texCoords, 48ull * block.triangleCount, data, end);
        MeshMaterial material;
        readMeshMaterial(block.material, &material);
        cursor += block.blockSize;
    }
    return 0;
}
