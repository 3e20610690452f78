#pragma once
// A procedural model: its distance field, which material and which texture
// chart each point of its surface belongs to, and how a chart unwraps.
#include <functional>
#include <string>
#include <vector>

#include "sdf.h"

// Texture-space rectangle (in texels) that one part of the surface unwraps
// into. u of the part's own mapping wraps round (an angle): the seam's
// triangles reach past x0 + w into the padding on the right (or, for a
// chart as wide as the texture, wrap round through texture addressing).
struct Chart {
    int x0, y0, w, h;
};

struct Model {
    std::string name;
    V3 boxMin, boxMax;  // polygonisation bounds (world units)
    // Grid spacing (world units). It sets the triangles' size: on a
    // software renderer every triangle shades the 4 x 4 pixel blocks it
    // touches in whole, so triangles a few pixels wide in the closest shot
    // cost several times their own pixels. The shots' spacings are the
    // widest that keep their silhouettes and the eyes' rims as smooth.
    float cell;
    float aoDistance;   // how far occluders count
    int aoSize;         // AO texture size (square)
    std::vector<Chart> charts;
    std::function<float(V3)> distance;
    std::function<int(V3)> material;  // 0 body, 1 drawn red
    // Part (chart index) of a surface point with its normal.
    std::function<int(V3, V3)> part;
    // The part's own unwrap: u as a fraction of a turn (any real; the
    // caller keeps a triangle's three u together), v in 0..1.
    std::function<void(int, V3, V3, float&, float&)> unwrap;
};

Model HeadModel();
Model HandModel();
