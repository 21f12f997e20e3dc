#pragma once
#include <cstdint>

#include "scene/transform.h"

// The camera as the scene places things by it: the lower-left window corner unprojected into eye
// space (all parts negative). The eye looks down -z, so the visible area widens with depth.
struct ViewEdges {
    Vec3 viewCorner;
    int32_t pixelRows;  // the picture's height in pixels: how finely the scene is seen
    int32_t pixelColumns;

    double edgeXAtDepth(double depth) const;  // left edge of the visible area in the plane z = depth
    double edgeYAtDepth(double depth) const;  // bottom edge
};
