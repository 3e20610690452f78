#include "cylinder.h"

#include <cmath>

#include "small_textures.h"

MeshData MakeCylinderMesh()
{
    const int segments = 64, rings = 8;
    const float radius = 2.0f, halfHeight = 1.6f;
    MeshData m;
    auto vertex = [&](V3 p, V3 n, float u, float v) {
        m.pos.push_back(p);
        m.nrm.push_back(n);
        m.uv.push_back(u);
        m.uv.push_back(v);
        m.ao.push_back(1.0f);
        return (uint32_t)m.pos.size() - 1;
    };
    // Side: angle measured from +z towards +x, so the text reads left to
    // right from outside.
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s) {
            const float a = 6.2831853f * s / segments;
            const V3 n = {std::sin(a), 0, std::cos(a)};
            vertex({n.x * radius, halfHeight - 2 * halfHeight * r / rings, n.z * radius}, n, (float)s / segments, (float)r / rings);
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const uint32_t a = r * (segments + 1) + s, b = a + 1, c = a + segments + 1, d = c + 1;
            // Counter-clockwise seen from outside.
            m.tri.insert(m.tri.end(), {a, c, b, b, c, d});
            m.mat.insert(m.mat.end(), {0, 0});
        }
    // Caps: fans round a centre vertex.
    for (int cap = 0; cap < 2; ++cap) {
        const float y = cap == 0 ? halfHeight : -halfHeight;
        const V3 n = {0, cap == 0 ? 1.0f : -1.0f, 0};
        const uint32_t centre = vertex({0, y, 0}, n, 0.5f, kFunTextCapV);
        const uint32_t first = (uint32_t)m.pos.size();
        for (int s = 0; s <= segments; ++s) {
            const float a = 6.2831853f * s / segments;
            vertex({std::sin(a) * radius, y, std::cos(a) * radius}, n, (float)s / segments, kFunTextCapV);
        }
        for (int s = 0; s < segments; ++s) {
            if (cap == 0)
                m.tri.insert(m.tri.end(), {centre, first + s, first + s + 1});
            else
                m.tri.insert(m.tri.end(), {centre, first + s + 1, first + s});
            m.mat.push_back(1);
        }
    }
    return m;
}
