#include "scene/transform.h"

#include <GL/gl.h>

void NodeTransform::resetTransform() {
    position = {0.0, 0.0, 0.0};
    rotation = {0.0, 0.0, 0.0};
    scale = {1.0, 1.0, 1.0};
}

void NodeTransform::initTransform() {
    resetTransform();
    scaled = false;
}

void NodeTransform::setPosition(double x, double y, double z) {
    position = {x, y, z};
}

void NodeTransform::setRotation(double x, double y, double z) {
    rotation = {x, y, z};
}

void NodeTransform::setScale(double x, double y, double z) {
    scale = {x, y, z};
    scaled = true;
}

void NodeTransform::addPosition(double dx, double dy, double dz) {
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void NodeTransform::addRotation(double dx, double dy, double dz) {
    rotation.x += dx;
    rotation.y += dy;
    rotation.z += dz;
}

// Translate first, then rotate about x, y, z: a model turns about its own origin after the move.
// Zero components cost no GL call.
void NodeTransform::applyTransform() const {
    if (position.x != 0.0 || position.y != 0.0 || position.z != 0.0)
        glTranslatef((GLfloat)position.x, (GLfloat)position.y, (GLfloat)position.z);
    if (rotation.x != 0.0) glRotatef((GLfloat)rotation.x, 1.0f, 0.0f, 0.0f);
    if (rotation.y != 0.0) glRotatef((GLfloat)rotation.y, 0.0f, 1.0f, 0.0f);
    if (rotation.z != 0.0) glRotatef((GLfloat)rotation.z, 0.0f, 0.0f, 1.0f);
}

void NodeTransform::applyScale() const {
    glScaled(scale.x, scale.y, scale.z);
}
