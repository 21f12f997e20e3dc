#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pak/model_layout.h"  // MeshMaterial, the decoded form of the 60-byte block

// Writer side of the model entry format read by pak/mesh.h: marker byte, mesh count, then one
// block per mesh (texture name with its NUL, 80 reserved bytes, 60-byte material, triangle count,
// one reserved byte, then vertices, normals and texture coordinates as little-endian doubles).

// One mesh block being authored: a triangle list, three vertices per triangle.
struct MeshBuild {
    std::string textureName;  // archive picture entry, or an effect texture name ("x#Fire64 128")
    MeshMaterial material;
    std::vector<double> vertices;   // x, y, z per vertex
    std::vector<double> normals;    // x, y, z per vertex
    std::vector<double> texCoords;  // s, t per vertex

    void initMeshBuild(const char* texture, const MeshMaterial& meshMaterial);
    void addVertex(const double position[3], const double normal[3], double s, double t);
    int32_t triangleCount() const { return (int32_t)(vertices.size() / 9); }
};

MeshMaterial plainMaterial(float red, float green, float blue, float alpha);  // diffuse = ambient, no shine
uint32_t meshBlockSize(const MeshBuild& mesh);
void writeMeshBlock(std::vector<uint8_t>* out, const MeshBuild& mesh);
// A whole model entry (marker 0, no skip word), meshes in the given order.
void writeModel(std::vector<uint8_t>* out, const std::vector<MeshBuild>& meshes);
