#pragma once
// Placement of a node (its own) or of an animator's per-frame offset.

struct Vec3 {
    double x, y, z;
};

struct NodeTransform {
    bool scaled;  // set by setScale: the owning node's own meshes are drawn scaled
    Vec3 position;
    Vec3 rotation;  // degrees, applied about x, then y, then z
    Vec3 scale;

    void resetTransform();  // keeps `scaled`
    void initTransform();
    void setPosition(double x, double y, double z);
    void setRotation(double x, double y, double z);
    void setScale(double x, double y, double z);
    void addPosition(double dx, double dy, double dz);
    void addRotation(double dx, double dy, double dz);
    void applyTransform() const;  // glTranslatef then glRotatef x, y, z; zero parts issue nothing
    void applyScale() const;      // glScaled
};
