#include "mesher.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "image.h"

float SdfGrid::Sample(V3 p) const
{
    const float fx = (p.x - origin.x) / cell, fy = (p.y - origin.y) / cell, fz = (p.z - origin.z) / cell;
    if (fx < 0 || fy < 0 || fz < 0 || fx >= nx - 1 || fy >= ny - 1 || fz >= nz - 1)
        return cell * 4.0f;
    const int i = (int)fx, j = (int)fy, k = (int)fz;
    const float tx = fx - i, ty = fy - j, tz = fz - k;
    auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    const float c00 = lerp(At(i, j, k), At(i + 1, j, k), tx), c10 = lerp(At(i, j + 1, k), At(i + 1, j + 1, k), tx);
    const float c01 = lerp(At(i, j, k + 1), At(i + 1, j, k + 1), tx), c11 = lerp(At(i, j + 1, k + 1), At(i + 1, j + 1, k + 1), tx);
    return lerp(lerp(c00, c10, ty), lerp(c01, c11, ty), tz);
}

static V3 Gradient(const Model& m, V3 p, float h)
{
    return {m.distance({p.x + h, p.y, p.z}) - m.distance({p.x - h, p.y, p.z}),
            m.distance({p.x, p.y + h, p.z}) - m.distance({p.x, p.y - h, p.z}),
            m.distance({p.x, p.y, p.z + h}) - m.distance({p.x, p.y, p.z - h})};
}

static SdfGrid SampleGrid(const Model& m)
{
    SdfGrid g;
    g.cell = m.cell;
    g.origin = m.boxMin;
    g.nx = (int)std::ceil((m.boxMax.x - m.boxMin.x) / m.cell) + 1;
    g.ny = (int)std::ceil((m.boxMax.y - m.boxMin.y) / m.cell) + 1;
    g.nz = (int)std::ceil((m.boxMax.z - m.boxMin.z) / m.cell) + 1;
    g.d.resize((size_t)g.nx * g.ny * g.nz);
    for (int k = 0; k < g.nz; ++k)
        for (int j = 0; j < g.ny; ++j)
            for (int i = 0; i < g.nx; ++i)
                g.d[((size_t)k * g.ny + j) * g.nx + i] =
                    m.distance({g.origin.x + i * g.cell, g.origin.y + j * g.cell, g.origin.z + k * g.cell});
    return g;
}

struct RawMesh {
    std::vector<V3> pos, nrm;
    std::vector<uint32_t> tri;
};

static RawMesh SurfaceNets(const Model& m, const SdfGrid& g)
{
    RawMesh r;
    const int cx = g.nx - 1, cy = g.ny - 1, cz = g.nz - 1;
    std::vector<int32_t> cellVertex((size_t)cx * cy * cz, -1);
    auto cellIndex = [&](int i, int j, int k) { return ((size_t)k * cy + j) * cx + i; };
    static const int corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (int k = 0; k < cz; ++k)
        for (int j = 0; j < cy; ++j)
            for (int i = 0; i < cx; ++i) {
                float v[8];
                int inside = 0;
                for (int c = 0; c < 8; ++c) {
                    v[c] = g.At(i + corner[c][0], j + corner[c][1], k + corner[c][2]);
                    inside += v[c] < 0;
                }
                if (inside == 0 || inside == 8)
                    continue;
                V3 sum;
                int n = 0;
                for (auto& e : edges) {
                    const float a = v[e[0]], b = v[e[1]];
                    if ((a < 0) == (b < 0))
                        continue;
                    const float t = a / (a - b);
                    const V3 pa = {(float)corner[e[0]][0], (float)corner[e[0]][1], (float)corner[e[0]][2]};
                    const V3 pb = {(float)corner[e[1]][0], (float)corner[e[1]][1], (float)corner[e[1]][2]};
                    sum = sum + Lerp(pa, pb, t);
                    ++n;
                }
                const V3 local = sum * (1.0f / n);
                cellVertex[cellIndex(i, j, k)] = (int32_t)r.pos.size();
                r.pos.push_back({g.origin.x + (i + local.x) * g.cell, g.origin.y + (j + local.y) * g.cell,
                                 g.origin.z + (k + local.z) * g.cell});
            }
    // One quad per grid edge that crosses the surface, wound so that its
    // normal points from the inside node to the outside node.
    auto quad = [&](int a, int b, int c, int d, bool flip) {
        if (a < 0 || b < 0 || c < 0 || d < 0)
            return;
        if (flip)
            std::swap(b, d);
        const V3 pa = r.pos[a], pb = r.pos[b], pc = r.pos[c], pd = r.pos[d];
        if (Length(pa - pc) <= Length(pb - pd)) {
            r.tri.insert(r.tri.end(), {(uint32_t)a, (uint32_t)b, (uint32_t)c, (uint32_t)a, (uint32_t)c, (uint32_t)d});
        } else {
            r.tri.insert(r.tri.end(), {(uint32_t)a, (uint32_t)b, (uint32_t)d, (uint32_t)b, (uint32_t)c, (uint32_t)d});
        }
    };
    auto cv = [&](int i, int j, int k) { return cellVertex[cellIndex(i, j, k)]; };
    for (int k = 1; k < cz; ++k)
        for (int j = 1; j < cy; ++j)
            for (int i = 0; i < cx; ++i) {  // x edges
                const float a = g.At(i, j, k), b = g.At(i + 1, j, k);
                if ((a < 0) != (b < 0))
                    quad(cv(i, j - 1, k - 1), cv(i, j, k - 1), cv(i, j, k), cv(i, j - 1, k), !(a < 0));
            }
    for (int k = 1; k < cz; ++k)
        for (int j = 0; j < cy; ++j)
            for (int i = 1; i < cx; ++i) {  // y edges
                const float a = g.At(i, j, k), b = g.At(i, j + 1, k);
                if ((a < 0) != (b < 0))
                    quad(cv(i - 1, j, k - 1), cv(i - 1, j, k), cv(i, j, k), cv(i, j, k - 1), !(a < 0));
            }
    for (int k = 0; k < cz; ++k)
        for (int j = 1; j < cy; ++j)
            for (int i = 1; i < cx; ++i) {  // z edges
                const float a = g.At(i, j, k), b = g.At(i, j, k + 1);
                if ((a < 0) != (b < 0))
                    quad(cv(i - 1, j - 1, k), cv(i, j - 1, k), cv(i, j, k), cv(i - 1, j, k), !(a < 0));
            }
    // Project each vertex onto the exact surface, then take the normal there.
    r.nrm.resize(r.pos.size());
    for (size_t v = 0; v < r.pos.size(); ++v) {
        V3 p = r.pos[v];
        const V3 start = p;
        for (int it = 0; it < 4; ++it) {
            const float d = m.distance(p);
            const V3 grad = Gradient(m, p, g.cell * 0.25f) * (1.0f / (g.cell * 0.5f));
            const float gg = Dot(grad, grad);
            if (gg < 1e-8f)
                break;
            p = p - grad * (d / gg);
        }
        // Never let a vertex wander away from its cell (thin features).
        if (Length(p - start) > g.cell)
            p = start + Normalize(p - start) * g.cell;
        r.pos[v] = p;
        r.nrm[v] = Normalize(Gradient(m, p, g.cell * 0.5f));
    }
    // Drop triangles that collapsed to (almost) nothing.
    std::vector<uint32_t> kept;
    kept.reserve(r.tri.size());
    for (size_t t = 0; t < r.tri.size(); t += 3) {
        const V3 a = r.pos[r.tri[t]], b = r.pos[r.tri[t + 1]], c = r.pos[r.tri[t + 2]];
        if (Length(Cross(b - a, c - a)) > g.cell * g.cell * 1e-4f)
            kept.insert(kept.end(), {r.tri[t], r.tri[t + 1], r.tri[t + 2]});
    }
    r.tri.swap(kept);
    return r;
}

// Cosine-weighted hemisphere directions (Hammersley points), in a frame with z up.
static std::vector<V3> HemisphereDirections(int n)
{
    std::vector<V3> dirs;
    for (int i = 0; i < n; ++i) {
        uint32_t bits = (uint32_t)i;
        bits = (bits << 16) | (bits >> 16);
        bits = ((bits & 0x55555555u) << 1) | ((bits & 0xAAAAAAAAu) >> 1);
        bits = ((bits & 0x33333333u) << 2) | ((bits & 0xCCCCCCCCu) >> 2);
        bits = ((bits & 0x0F0F0F0Fu) << 4) | ((bits & 0xF0F0F0F0u) >> 4);
        bits = ((bits & 0x00FF00FFu) << 8) | ((bits & 0xFF00FF00u) >> 8);
        const float u = (i + 0.5f) / n, v = bits * 2.3283064e-10f;
        const float r = std::sqrt(u), a = v * 6.2831853f;
        dirs.push_back({r * std::cos(a), r * std::sin(a), std::sqrt(std::max(0.0f, 1 - u))});
    }
    return dirs;
}

static std::vector<float> VertexAo(const Model& m, const SdfGrid& g, const RawMesh& r)
{
    const std::vector<V3> dirs = HemisphereDirections(64);
    std::vector<float> ao(r.pos.size());
    const float maxT = m.aoDistance;
    for (size_t v = 0; v < r.pos.size(); ++v) {
        const V3 n = r.nrm[v];
        const V3 helper = std::fabs(n.y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0};
        V3 t = Normalize(Cross(helper, n));
        V3 b = Cross(n, t);
        // Rotate the pattern per vertex so neighbours sample different rays.
        const float spin = (Hash32((uint32_t)v * 2654435761u) & 0xffff) / 65536.0f * 6.2831853f;
        const float cs = std::cos(spin), sn = std::sin(spin);
        const V3 t2 = t * cs + b * sn, b2 = b * cs - t * sn;
        const V3 start = r.pos[v] + n * (g.cell * 1.2f);
        float occlusion = 0;
        for (const V3& d : dirs) {
            const V3 dir = t2 * d.x + b2 * d.y + n * d.z;
            float s = g.cell * 0.5f;
            while (s < maxT) {
                const float dist = g.Sample(start + dir * s);
                if (dist < g.cell * 0.15f) {
                    occlusion += 1.0f - s / maxT;
                    break;
                }
                s += std::max(dist * 0.9f, g.cell * 0.35f);
            }
        }
        const float open = 1.0f - occlusion / dirs.size();
        ao[v] = std::pow(std::clamp(open, 0.0f, 1.0f), 2.2f);
    }
    return ao;
}

MeshData BuildMesh(const Model& m)
{
    const SdfGrid g = SampleGrid(m);
    const RawMesh r = SurfaceNets(m, g);
    const std::vector<float> ao = VertexAo(m, g, r);

    MeshData out;
    std::map<std::tuple<uint32_t, int, int>, uint32_t> remap;
    const float size = (float)m.aoSize;
    for (size_t t = 0; t < r.tri.size(); t += 3) {
        const uint32_t idx[3] = {r.tri[t], r.tri[t + 1], r.tri[t + 2]};
        const V3 c = (r.pos[idx[0]] + r.pos[idx[1]] + r.pos[idx[2]]) * (1.0f / 3.0f);
        const V3 fn = Normalize(Cross(r.pos[idx[1]] - r.pos[idx[0]], r.pos[idx[2]] - r.pos[idx[0]]));
        const int part = m.part(c, fn);
        const Chart& ch = m.charts[part];
        float u[3], v[3];
        for (int k = 0; k < 3; ++k)
            m.unwrap(part, r.pos[idx[k]], r.nrm[idx[k]], u[k], v[k]);
        // Keep the three u together across the seam, then move the
        // triangle so that its smallest u lies in the first turn.
        for (int k = 1; k < 3; ++k)
            u[k] += std::round(u[0] - u[k]);
        const float shift = -std::floor(std::min(u[0], std::min(u[1], u[2])));
        for (int k = 0; k < 3; ++k) {
            u[k] += shift;
            const int turn = (int)std::floor(u[k]);
            const auto key = std::make_tuple(idx[k], part, turn);
            auto it = remap.find(key);
            if (it == remap.end()) {
                const uint32_t id = (uint32_t)out.pos.size();
                out.pos.push_back(r.pos[idx[k]]);
                out.nrm.push_back(r.nrm[idx[k]]);
                out.uv.push_back((ch.x0 + u[k] * ch.w) / size);
                out.uv.push_back((ch.y0 + std::clamp(v[k], 0.0f, 1.0f) * ch.h) / size);
                out.ao.push_back(ao[idx[k]]);
                it = remap.emplace(key, id).first;
            }
            out.tri.push_back(it->second);
        }
        out.mat.push_back((uint8_t)m.material(c));
    }
    std::printf("assetgen: %s: %zu vertices, %zu triangles\n", m.name.c_str(), out.pos.size(), out.tri.size() / 3);
    return out;
}

std::vector<float> BakeAoTexture(const Model& m, const MeshData& mesh)
{
    const int S = m.aoSize;
    std::vector<float> sum((size_t)S * S, 0.0f), weight((size_t)S * S, 0.0f);
    for (size_t t = 0; t < mesh.tri.size(); t += 3) {
        float x[3], y[3], a[3];
        for (int k = 0; k < 3; ++k) {
            const uint32_t i = mesh.tri[t + k];
            x[k] = mesh.uv[i * 2] * S;
            y[k] = mesh.uv[i * 2 + 1] * S;
            a[k] = mesh.ao[i];
        }
        const float area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
        if (std::fabs(area) < 1e-9f)
            continue;
        const int minX = (int)std::floor(std::min({x[0], x[1], x[2]}) - 1), maxX = (int)std::ceil(std::max({x[0], x[1], x[2]}) + 1);
        const int minY = std::max(0, (int)std::floor(std::min({y[0], y[1], y[2]}) - 1));
        const int maxY = std::min(S - 1, (int)std::ceil(std::max({y[0], y[1], y[2]}) + 1));
        for (int py = minY; py <= maxY; ++py)
            for (int px = minX; px <= maxX; ++px) {
                const float cx = px + 0.5f, cy = py + 0.5f;
                float l0 = ((x[1] - cx) * (y[2] - cy) - (x[2] - cx) * (y[1] - cy)) / area;
                float l1 = ((x[2] - cx) * (y[0] - cy) - (x[0] - cx) * (y[2] - cy)) / area;
                float l2 = 1 - l0 - l1;
                // Texels a little outside still take the nearest value, so
                // chart borders are covered before the dilation below.
                const float eps = -0.35f;
                if (l0 < eps || l1 < eps || l2 < eps)
                    continue;
                const float w = (l0 >= 0 && l1 >= 0 && l2 >= 0) ? 1.0f : 0.05f;
                l0 = std::max(l0, 0.0f), l1 = std::max(l1, 0.0f), l2 = std::max(l2, 0.0f);
                const float s = l0 + l1 + l2;
                const float val = (a[0] * l0 + a[1] * l1 + a[2] * l2) / s;
                const size_t o = (size_t)py * S + (((px % S) + S) % S);
                sum[o] += val * w;
                weight[o] += w;
            }
    }
    std::vector<float> tex((size_t)S * S, -1.0f);
    double total = 0;
    size_t filled = 0;
    for (size_t i = 0; i < tex.size(); ++i)
        if (weight[i] > 0) {
            tex[i] = sum[i] / weight[i];
            total += tex[i];
            ++filled;
        }
    // Grow the charts outwards so filtering and smaller mip levels never
    // pull in empty texels.
    for (int pass = 0; pass < 12; ++pass) {
        std::vector<float> next = tex;
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x) {
                if (tex[(size_t)y * S + x] >= 0)
                    continue;
                float acc = 0;
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int yy = y + dy, xx = ((x + dx) % S + S) % S;
                        if (yy < 0 || yy >= S)
                            continue;
                        const float v = tex[(size_t)yy * S + xx];
                        if (v >= 0)
                            acc += v, ++n;
                    }
                if (n)
                    next[(size_t)y * S + x] = acc / n;
            }
        tex.swap(next);
    }
    const float mean = filled ? (float)(total / filled) : 1.0f;
    for (float& v : tex)
        if (v < 0)
            v = mean;
    // A slight blur takes the grain of the finite ray count out.
    Image img(S, S);
    for (size_t i = 0; i < tex.size(); ++i)
        img.px[i * 4] = tex[i], img.px[i * 4 + 3] = 1;
    GaussianBlur(img, 1.2f, true);
    for (size_t i = 0; i < tex.size(); ++i)
        tex[i] = img.px[i * 4];
    return tex;
}
