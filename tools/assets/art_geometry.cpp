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

static bool samePoint(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Two triangles, counter-clockwise seen from the side the normals face. A quad that closes to a
// point at a pole or a disc's centre gives one: the other would cost vertex work and draw nothing.
static void addQuad(MeshBuild* mesh, const Vec3 p[4], const Vec3 n[4], const double st[8]) {
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int t = 0; t < 2; t++) {
        const int* c = order + 3 * t;
        if (samePoint(p[c[0]], p[c[1]]) || samePoint(p[c[1]], p[c[2]]) || samePoint(p[c[0]], p[c[2]]))
            continue;
        for (int i = 0; i < 3; i++) putVertex(mesh, p[c[i]], n[c[i]], st[2 * c[i]], st[2 * c[i] + 1]);
    }
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

// Distance along the profile from its first point to each point.
static void profileDistances(const LatheProfile& profile, std::vector<double>* along) {
    along->assign((size_t)profile.count, 0.0);
    for (int32_t i = 1; i < profile.count; i++)
        (*along)[(size_t)i] = (*along)[(size_t)i - 1] + std::hypot(profile.radius[i] - profile.radius[i - 1],
                                                                   profile.height[i] - profile.height[i - 1]);
}

double latheAlong(const LatheProfile& profile, int32_t index) {
    std::vector<double> along;
    profileDistances(profile, &along);
    const double length = along.empty() ? 0.0 : along.back();
    return length > 0.0 ? along[(size_t)index] / length : 0.0;
}

void addLathe(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, int32_t segments) {
    addLatheArc(mesh, cx, cy, profile, 0.0, 1.0, segments);
}

void addLatheArc(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, double from, double to,
                 int32_t segments) {
    addLatheBands(mesh, cx, cy, profile, 0, profile.count - 1, from, to, segments);
}

void addLatheBands(MeshBuild* mesh, double cx, double cy, const LatheProfile& profile, int32_t firstBand,
                   int32_t endBand, double from, double to, int32_t segments) {
    const int32_t n = profile.count;
    if (n < 2 || segments < 1) return;
    if (firstBand < 0) firstBand = 0;
    if (endBand > n - 1) endBand = n - 1;
    // Profile normals (radial, vertical) at each point: mean of the neighbouring segment normals.
    std::vector<double> nr((size_t)n), nz((size_t)n), t((size_t)n), along;
    profileDistances(profile, &along);
    const double length = along.back();
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
        const double u0 = from + (to - from) * k / segments, u1 = from + (to - from) * (k + 1) / segments;
        const double a0 = 2.0 * pi * u0, a1 = 2.0 * pi * u1;
        const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
        for (int32_t i = firstBand; i < endBand; i++) {
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

void addGridXY(MeshBuild* mesh, const std::vector<double>& xs, const std::vector<double>& ys, double z,
               double tile) {
    const Vec3 up[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    for (size_t j = 0; j + 1 < ys.size(); j++)
        for (size_t i = 0; i + 1 < xs.size(); i++) {
            const double ax = xs[i], bx = xs[i + 1], ay = ys[j], by = ys[j + 1];
            const Vec3 p[4] = {{ax, ay, z}, {bx, ay, z}, {bx, by, z}, {ax, by, z}};
            const double st[8] = {ax / tile, -ay / tile, bx / tile, -ay / tile,
                                  bx / tile, -by / tile, ax / tile, -by / tile};
            addQuad(mesh, p, up, st);
        }
}

// Steps growing by half each time from `from` towards `to`, never wider than `widest`; the last
// one is stretched or merged so the row ends exactly at `to`.
static void growSteps(std::vector<double>* breaks, double from, double to, double first, double widest) {
    const double direction = to > from ? 1.0 : -1.0;
    double step = first, at = from;
    for (;;) {
        step = std::fmin(step * 1.5, widest);
        if ((to - at) * direction <= step * 1.5) break;
        at += direction * step;
        breaks->push_back(at);
    }
    breaks->push_back(to);
}

void gridBreaks(std::vector<double>* breaks, double low, double fineLow, double fineHigh, double high,
                double fine, double widest) {
    std::vector<double> below;
    growSteps(&below, fineLow, low, fine, widest);
    breaks->clear();
    if (fineLow > low)
        for (size_t i = below.size(); i-- > 0;) breaks->push_back(below[i]);
    const int32_t cells = (int32_t)std::ceil((fineHigh - fineLow) / fine - 1e-9);
    for (int32_t i = 0; i <= cells; i++) breaks->push_back(fineLow + (fineHigh - fineLow) * i / cells);
    if (high > fineHigh) growSteps(breaks, fineHigh, high, fine, widest);
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
