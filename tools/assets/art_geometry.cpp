#include "tools/assets/art_geometry.h"

#include <cmath>

static const double pi = 3.14159265358979323846;

static void putVertex(MeshBuild* mesh, const Vec3& p, const Vec3& n, double s, double t) {
    const double position[3] = {p.x, p.y, p.z};
    const double normal[3] = {n.x, n.y, n.z};
    mesh->addVertex(position, normal, s, t);
}

void addTriangle(MeshBuild* mesh, const Vec3 p[3], const Vec3 n[3], const double st[6]) {
    for (int i = 0; i < 3; i++) putVertex(mesh, p[i], n[i], st[2 * i], st[2 * i + 1]);
}

// Two triangles, counter-clockwise seen from the side the normals face.
static void addQuad(MeshBuild* mesh, const Vec3 p[4], const Vec3 n[4], const double st[8]) {
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; i++)
        putVertex(mesh, p[order[i]], n[order[i]], st[2 * order[i]], st[2 * order[i] + 1]);
}

void addQuadXYMapped(MeshBuild* mesh, double left, double bottom, double right, double top, double z,
                     double s0, double t0, double s1, double t1) {
    const Vec3 p[4] = {{left, bottom, z}, {right, bottom, z}, {right, top, z}, {left, top, z}};
    const Vec3 n[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const double st[8] = {s0, t1, s1, t1, s1, t0, s0, t0};
    addQuad(mesh, p, n, st);
}

void addQuadXY(MeshBuild* mesh, double left, double bottom, double right, double top, double z) {
    addQuadXYMapped(mesh, left, bottom, right, top, z, 0.0, 0.0, 1.0, 1.0);
}

static void normalise(double* x, double* y) {
    const double length = std::hypot(*x, *y);
    if (length > 0.0) {
        *x /= length;
        *y /= length;
    }
}

void addLathe(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, int32_t segments) {
    const int32_t n = profile.count;
    if (n < 2 || segments < 3) return;
    // Profile normals (radial, vertical) at each point: mean of the neighbouring segment normals.
    std::vector<double> nr((size_t)n), nz((size_t)n), t((size_t)n);
    double length = 0.0;
    std::vector<double> along((size_t)n, 0.0);
    for (int32_t i = 1; i < n; i++) {
        length +=
            std::hypot(profile.radius[i] - profile.radius[i - 1], profile.height[i] - profile.height[i - 1]);
        along[(size_t)i] = length;
    }
    for (int32_t i = 0; i < n; i++) {
        double sr = 0.0, sz = 0.0;
        if (i > 0) {
            double dr = profile.radius[i] - profile.radius[i - 1],
                   dz = profile.height[i] - profile.height[i - 1];
            normalise(&dr, &dz);
            sr += dz;
            sz -= dr;
        }
        if (i < n - 1) {
            double dr = profile.radius[i + 1] - profile.radius[i],
                   dz = profile.height[i + 1] - profile.height[i];
            normalise(&dr, &dz);
            sr += dz;
            sz -= dr;
        }
        normalise(&sr, &sz);
        if (profile.inward) {
            sr = -sr;
            sz = -sz;
        }
        nr[(size_t)i] = sr;
        nz[(size_t)i] = sz;
        t[(size_t)i] = profile.tStart +
                       (profile.tEnd - profile.tStart) * (length > 0.0 ? along[(size_t)i] / length : 0.0);
    }
    for (int32_t k = 0; k < segments; k++) {
        const double a0 = 2.0 * pi * k / segments, a1 = 2.0 * pi * (k + 1) / segments;
        const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
        const double u0 = (double)k / segments, u1 = (double)(k + 1) / segments;
        for (int32_t i = 0; i + 1 < n; i++) {
            const double r0 = profile.radius[i], r1 = profile.radius[i + 1];
            const double z0 = profile.height[i], z1 = profile.height[i + 1];
            const size_t a = (size_t)i, b = (size_t)i + 1;
            Vec3 p[4] = {{cx + r0 * c0, cy + r0 * s0, z0},
                         {cx + r0 * c1, cy + r0 * s1, z0},
                         {cx + r1 * c1, cy + r1 * s1, z1},
                         {cx + r1 * c0, cy + r1 * s0, z1}};
            Vec3 nn[4] = {{nr[a] * c0, nr[a] * s0, nz[a]},
                          {nr[a] * c1, nr[a] * s1, nz[a]},
                          {nr[b] * c1, nr[b] * s1, nz[b]},
                          {nr[b] * c0, nr[b] * s0, nz[b]}};
            const double st[8] = {u0, t[a], u1, t[a], u1, t[b], u0, t[b]};
            if (profile.inward) {
                // Reverse the winding so the faces stay counter-clockwise from the lit side.
                std::swap(p[1], p[3]);
                std::swap(nn[1], nn[3]);
                const double sw[8] = {u0, t[a], u0, t[b], u1, t[b], u1, t[a]};
                addQuad(mesh, p, nn, sw);
            } else {
                addQuad(mesh, p, nn, st);
            }
        }
    }
}

void addGridXY(MeshBuild* mesh, double x0, double y0, double x1, double y1, double z, int32_t cellsX,
               int32_t cellsY, double tile) {
    const Vec3 up[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    for (int32_t j = 0; j < cellsY; j++)
        for (int32_t i = 0; i < cellsX; i++) {
            const double ax = x0 + (x1 - x0) * i / cellsX, bx = x0 + (x1 - x0) * (i + 1) / cellsX;
            const double ay = y0 + (y1 - y0) * j / cellsY, by = y0 + (y1 - y0) * (j + 1) / cellsY;
            const Vec3 p[4] = {{ax, ay, z}, {bx, ay, z}, {bx, by, z}, {ax, by, z}};
            const double st[8] = {ax / tile, -ay / tile, bx / tile, -ay / tile,
                                  bx / tile, -by / tile, ax / tile, -by / tile};
            addQuad(mesh, p, up, st);
        }
}

void addDisc(MeshBuild* mesh, double cx, double cy, double z, double innerRadius, double radius,
             int32_t rings, int32_t segments, bool down, double s0, double t0, double s1, double t1) {
    const Vec3 normal = {0, 0, down ? -1.0 : 1.0};
    const Vec3 nn[4] = {normal, normal, normal, normal};
    for (int32_t r = 0; r < rings; r++) {
        const double ra = innerRadius + (radius - innerRadius) * r / rings;
        const double rb = innerRadius + (radius - innerRadius) * (r + 1) / rings;
        for (int32_t k = 0; k < segments; k++) {
            const double a0 = 2.0 * pi * k / segments, a1 = 2.0 * pi * (k + 1) / segments;
            Vec3 p[4] = {{cx + ra * std::cos(a0), cy + ra * std::sin(a0), z},
                         {cx + rb * std::cos(a0), cy + rb * std::sin(a0), z},
                         {cx + rb * std::cos(a1), cy + rb * std::sin(a1), z},
                         {cx + ra * std::cos(a1), cy + ra * std::sin(a1), z}};
            if (down) std::swap(p[1], p[3]);
            double st[8];
            for (int i = 0; i < 4; i++) {
                const double u = (p[i].x - cx) / (2.0 * radius) + 0.5,
                             v = 0.5 - (p[i].y - cy) / (2.0 * radius);
                st[2 * i] = s0 + (s1 - s0) * u;
                st[2 * i + 1] = t0 + (t1 - t0) * v;
            }
            addQuad(mesh, p, nn, st);
        }
    }
}

void addBox(MeshBuild* mesh, Vec3 low, Vec3 high) {
    const double xs[2] = {low.x, high.x}, ys[2] = {low.y, high.y}, zs[2] = {low.z, high.z};
    // Each face: axis, side, and the four corners counter-clockwise from outside.
    for (int axis = 0; axis < 3; axis++)
        for (int side = 0; side < 2; side++) {
            Vec3 p[4];
            Vec3 normal = {0, 0, 0};
            const double sign = side ? 1.0 : -1.0;
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int c = 0; c < 4; c++) {
                const int cu = side ? corners[c][0] : corners[c][1];
                const int cv = side ? corners[c][1] : corners[c][0];
                double q[3];
                q[axis] = axis == 0 ? xs[side] : (axis == 1 ? ys[side] : zs[side]);
                q[u] = u == 0 ? xs[cu] : (u == 1 ? ys[cu] : zs[cu]);
                q[v] = v == 0 ? xs[cv] : (v == 1 ? ys[cv] : zs[cv]);
                p[c] = {q[0], q[1], q[2]};
            }
            if (axis == 0) normal.x = sign;
            if (axis == 1) normal.y = sign;
            if (axis == 2) normal.z = sign;
            const Vec3 nn[4] = {normal, normal, normal, normal};
            const double st[8] = {0, 1, 1, 1, 1, 0, 0, 0};
            addQuad(mesh, p, nn, st);
        }
}
