#include "pak/mesh_writer.h"

#include <cstring>

#include "pak/little_endian.h"

void MeshBuild::initMeshBuild(const char* texture, const MeshMaterial& meshMaterial) {
    textureName = texture;
    material = meshMaterial;
    vertices.clear();
    normals.clear();
    texCoords.clear();
}

void MeshBuild::addVertex(const double position[3], const double normal[3], double s, double t) {
    for (int i = 0; i < 3; i++) vertices.push_back(position[i]);
    for (int i = 0; i < 3; i++) normals.push_back(normal[i]);
    texCoords.push_back(s);
    texCoords.push_back(t);
}

MeshMaterial plainMaterial(float red, float green, float blue, float alpha) {
    MeshMaterial m;
    std::memset(&m, 0, sizeof m);
    const float colour[4] = {red, green, blue, alpha};
    for (int i = 0; i < 4; i++) {
        m.ambient[i] = colour[i];
        m.diffuse[i] = colour[i];
    }
    m.specular[3] = 1.0f;
    return m;
}

static void putFloat(std::vector<uint8_t>* out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putLe32(out, bits);
}

static void putDoubles(std::vector<uint8_t>* out, const std::vector<double>& values) {
    for (size_t i = 0; i < values.size(); i++) {
        uint64_t bits;
        std::memcpy(&bits, &values[i], 8);
        for (int b = 0; b < 8; b++) out->push_back((uint8_t)(bits >> (8 * b)));
    }
}

static void putZeros(std::vector<uint8_t>* out, size_t count) {
    out->insert(out->end(), count, 0);
}

static void putMaterial(std::vector<uint8_t>* out, const MeshMaterial& m) {
    out->push_back(m.alphaTested ? 1 : 0);
    out->push_back(m.transparent ? 1 : 0);
    putZeros(out, 2);
    for (int i = 0; i < 4; i++) putFloat(out, m.ambient[i]);
    for (int i = 0; i < 4; i++) putFloat(out, m.diffuse[i]);
    for (int i = 0; i < 4; i++) putFloat(out, m.specular[i]);
    putFloat(out, m.shininess);
    putZeros(out, 4);
}

uint32_t meshBlockSize(const MeshBuild& mesh) {
    return 149 + (uint32_t)mesh.textureName.size() + 1 + 192 * (uint32_t)mesh.triangleCount();
}

void writeMeshBlock(std::vector<uint8_t>* out, const MeshBuild& mesh) {
    // The stored name carries its NUL so readers can use it in place as a C string.
    putLe32(out, (uint32_t)mesh.textureName.size() + 1);
    out->insert(out->end(), mesh.textureName.begin(), mesh.textureName.end());
    out->push_back(0);
    putZeros(out, 80);
    putMaterial(out, mesh.material);
    putLe32(out, (uint32_t)mesh.triangleCount());
    putZeros(out, 1);
    // Whole triangles only: a partial one at the end would shift the following arrays.
    const size_t vertexCount = (size_t)mesh.triangleCount() * 3;
    putDoubles(out, std::vector<double>(mesh.vertices.begin(), mesh.vertices.begin() + vertexCount * 3));
    putDoubles(out, std::vector<double>(mesh.normals.begin(), mesh.normals.begin() + vertexCount * 3));
    putDoubles(out, std::vector<double>(mesh.texCoords.begin(), mesh.texCoords.begin() + vertexCount * 2));
}

void writeModel(std::vector<uint8_t>* out, const std::vector<MeshBuild>& meshes) {
    out->push_back(0);
    putLe32(out, (uint32_t)meshes.size());
    for (size_t i = 0; i < meshes.size(); i++) writeMeshBlock(out, meshes[i]);
}
