#include "scene/view_edges.h"

double ViewEdges::edgeXAtDepth(double depth) const {
    return viewCorner.x * depth / viewCorner.z;
}

double ViewEdges::edgeYAtDepth(double depth) const {
    return viewCorner.y * depth / viewCorner.z;
}
