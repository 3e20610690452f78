#include "preview.h"

#include <cmath>

#include "cubemap.h"

namespace {

struct Basis {
    V3 x, y, z;  // camera right, up, backward (world)
};

V3 TurnY(V3 p, float a)
{
    // Row-vector rotation of the show: x' = x c - z s, z' = x s + z c.
    const float c = std::cos(a), s = std::sin(a);
    return {p.x * c - p.z * s, p.y, p.x * s + p.z * c};
}

struct ScreenVertex {
    float sx, sy, depth;  // pixels, view distance
    V3 vpos, vnrm;
    float u, v, ao;
};

}  // namespace

Image RenderPreview(const MeshData& mesh, const std::vector<float>& aoTex, int aoSize, const PreviewView& view)
{
    Image img(view.width, view.height, view.clear);
    std::vector<float> zbuf((size_t)view.width * view.height, 1e30f);
    Basis cam;
    cam.z = Normalize(view.eye - view.target);
    cam.x = Normalize(Cross({0, 1, 0}, cam.z));
    cam.y = Cross(cam.z, cam.x);
    const float tanHalf = std::tan(30.0f * 3.1415927f / 180.0f);
    const float aspect = (float)view.width / view.height;

    std::vector<ScreenVertex> sv(mesh.pos.size());
    for (size_t i = 0; i < mesh.pos.size(); ++i) {
        const V3 w = TurnY(mesh.pos[i], view.turn) - view.eye;
        const V3 vp = {Dot(w, cam.x), Dot(w, cam.y), Dot(w, cam.z)};
        const V3 wn = TurnY(mesh.nrm[i], view.turn);
        ScreenVertex& s = sv[i];
        s.vpos = vp;
        s.vnrm = {Dot(wn, cam.x), Dot(wn, cam.y), Dot(wn, cam.z)};
        s.depth = -vp.z;
        const float inv = 1.0f / std::max(-vp.z, 1e-4f);
        s.sx = (vp.x * inv / (tanHalf * aspect) + 1) * 0.5f * view.width;
        s.sy = (1 - vp.y * inv / tanHalf) * 0.5f * view.height;
        s.u = mesh.uv[i * 2];
        s.v = mesh.uv[i * 2 + 1];
    }
    const V3 light = Normalize({0.25f, 0.5f, 0.25f});
    auto aoAt = [&](float u, float v) {
        const float x = u * aoSize - 0.5f, y = v * aoSize - 0.5f;
        const int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
        const float fx = x - x0, fy = y - y0;
        float acc = 0;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                const int xx = ((x0 + i) % aoSize + aoSize) % aoSize, yy = ((y0 + j) % aoSize + aoSize) % aoSize;
                acc += aoTex[(size_t)yy * aoSize + xx] * (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            }
        return acc;
    };
    for (size_t t = 0; t < mesh.tri.size(); t += 3) {
        const ScreenVertex& a = sv[mesh.tri[t]];
        const ScreenVertex& b = sv[mesh.tri[t + 1]];
        const ScreenVertex& c = sv[mesh.tri[t + 2]];
        if (a.depth < 0.1f || b.depth < 0.1f || c.depth < 0.1f)
            continue;  // behind the near plane
        // Screen y grows downwards: front faces (counter-clockwise as seen)
        // have a negative signed area here.
        const float area = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
        if (area >= 0)
            continue;
        const bool red = mesh.mat[t / 3] == 1;
        const int minX = std::max(0, (int)std::floor(std::min({a.sx, b.sx, c.sx})));
        const int maxX = std::min(view.width - 1, (int)std::ceil(std::max({a.sx, b.sx, c.sx})));
        const int minY = std::max(0, (int)std::floor(std::min({a.sy, b.sy, c.sy})));
        const int maxY = std::min(view.height - 1, (int)std::ceil(std::max({a.sy, b.sy, c.sy})));
        for (int y = minY; y <= maxY; ++y)
            for (int x = minX; x <= maxX; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float l0 = ((b.sx - px) * (c.sy - py) - (c.sx - px) * (b.sy - py)) / area;
                float l1 = ((c.sx - px) * (a.sy - py) - (a.sx - px) * (c.sy - py)) / area;
                float l2 = 1 - l0 - l1;
                if (l0 < 0 || l1 < 0 || l2 < 0)
                    continue;
                // Perspective-correct weights.
                const float w0 = l0 / a.depth, w1 = l1 / b.depth, w2 = l2 / c.depth, ws = w0 + w1 + w2;
                const float depth = 1.0f / ws;
                float& zb = zbuf[(size_t)y * view.width + x];
                if (depth >= zb)
                    continue;
                zb = depth;
                const float k0 = w0 / ws, k1 = w1 / ws, k2 = w2 / ws;
                const V3 n = Normalize(a.vnrm * k0 + b.vnrm * k1 + c.vnrm * k2);
                const V3 vp = a.vpos * k0 + b.vpos * k1 + c.vpos * k2;
                const float u = a.u * k0 + b.u * k1 + c.u * k2, v = a.v * k0 + b.v * k1 + c.v * k2;
                const float ao = aoAt(u, v);
                const V3 e = Normalize(-vp);
                const V3 refl = n * (2 * Dot(e, n)) - e;
                const Rgba env = EnvironmentColour(refl.x, refl.y, refl.z);
                const float nl = std::clamp(Dot(n, light), 0.0f, 1.0f);
                const V3 r = Normalize(n * (2 * nl) - light);
                const float specular = std::pow(std::clamp(Dot(r, e), 0.0f, 1.0f), 32.0f) * nl;
                const float dr = red ? 1.0f : 0.2f, dg = red ? 0.0f : 0.2f, db = red ? 0.0f : 0.2f;
                float* p = img.at(x, y);
                p[0] = (std::min(env.r, 1.0f) * 0.5f + 0.1f) * ao + dr * nl + specular;
                p[1] = (std::min(env.g, 1.0f) * 0.5f + 0.1f) * ao + dg * nl + specular;
                p[2] = (std::min(env.b, 1.0f) * 0.5f + 0.1f) * ao + db * nl + specular;
                p[3] = 1;
            }
    }
    return img;
}
