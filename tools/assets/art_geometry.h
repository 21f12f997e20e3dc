#pragma once
#include <cstdint>
#include <vector>

#include "pak/mesh_writer.h"

// Geometry builders for the art: every shape appends whole triangles to a mesh block.

struct Vec3 {
    double x, y, z;
};

void addTriangle(MeshBuild* mesh, const Vec3 p[3], const Vec3 n[3], const double st[6]);
// A flat rectangle in the plane z facing +z; texture row 0 (t = 0) along the top edge.
void addQuadXY(MeshBuild* mesh, double left, double bottom, double right, double top, double z);
// Same, with texture coordinates limited to [s0, s1] x [t0, t1].
void addQuadXYMapped(MeshBuild* mesh, double left, double bottom, double right, double top, double z,
                     double s0, double t0, double s1, double t1);

// A surface of revolution about the vertical axis through (cx, cy): the profile runs through
// (radius[i], height[i]); s goes once around, t from tStart at the first profile point to tEnd at
// the last. Normals are smooth along the profile and point away from the axis side the profile
// faces (outward for a profile climbing the outside of a body); inward turns them around.
struct LatheProfile {
    const double* radius;
    const double* height;
    int32_t count;
    double tStart, tEnd;
    bool inward;
};
void addLathe(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, int32_t segments);
// How far along the profile point `index` lies, from 0 at the first point to 1 at the last: where
// t falls between tStart and tEnd there.
double latheAlong(const LatheProfile& profile, int32_t index);
// Only the part of it from turn `from` to turn `to` (0 to 1 is once around from +x), for shapes
// whose other side is hidden inside something else.
void addLatheArc(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, double from, double to,
                 int32_t segments);
// Only the bands from profile point firstBand to point endBand of that arc; normals and texture
// coordinates stay those of the whole profile, so pieces built apart meet without a seam.
void addLatheBands(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, int32_t firstBand,
                   int32_t endBand, double from, double to, int32_t segments);

// A horizontal grid at height z facing +z, its cells between the given x and y breaks (each
// rising); the texture repeats every tile units.
void addGridXY(MeshBuild* mesh, const std::vector<double>& xs, const std::vector<double>& ys, double z,
               double tile);
// Breaks from low to high: even steps of at most `fine` over [fineLow, fineHigh], and steps that
// grow outside it, up to `widest`, where less detail is needed.
void gridBreaks(std::vector<double>* breaks, double low, double fineLow, double fineHigh, double high,
                double fine, double widest);
// A flat disc facing +z (or -z when down), or the ring of it beyond innerRadius, built as rings so
// per-vertex lighting has room to vary. The whole disc (outer radius) maps onto [s0, s1] x [t0, t1]
// like a picture seen from above, so rings of one disc line up.
void addDisc(MeshBuild* mesh, double cx, double cy, double z, double innerRadius, double radius,
             int32_t rings, int32_t segments, bool down, double s0, double t0, double s1, double t1);
// An axis-aligned box.
void addBox(MeshBuild* mesh, Vec3 low, Vec3 high);
