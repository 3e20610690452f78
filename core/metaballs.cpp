#include "core/metaballs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace MarchingCubes {

const uint8_t kCornerOffset[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},
                                     {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};
const uint8_t kEdgeCorners[12][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}, {4, 5}, {5, 6},
                                     {7, 6}, {4, 7}, {0, 4}, {1, 5}, {3, 7}, {2, 6}};
const uint8_t kEdgeAxis[12] = {0, 2, 0, 2, 0, 2, 0, 2, 1, 1, 1, 1};

namespace {

// The six faces in the order of faceCrossTable's bits: axis and side, and the corner mask.
struct Face {
    int axis, side;
    uint8_t mask;
};
constexpr Face kFaces[6] = {{0, 1, 0x66}, {0, 0, 0x99}, {1, 1, 0xf0}, {1, 0, 0x0f}, {2, 1, 0xcc}, {2, 0, 0x33}};

int EdgeBetween(int a, int b) {
    for (int e = 0; e < 12; ++e) {
        if ((kEdgeCorners[e][0] == a && kEdgeCorners[e][1] == b) ||
            (kEdgeCorners[e][0] == b && kEdgeCorners[e][1] == a))
            return e;
    }
    return -1;
}

Vector3 CornerPoint(int k) {
    return {float(kCornerOffset[k][0]), float(kCornerOffset[k][1]), float(kCornerOffset[k][2])};
}

Vector3 EdgeMidpoint(int e) { return (CornerPoint(kEdgeCorners[e][0]) + CornerPoint(kEdgeCorners[e][1])) * 0.5f; }

// From the edge's inside corner to its outside one.
Vector3 EdgeOutward(int e, int cornerCase) {
    int a = kEdgeCorners[e][0], b = kEdgeCorners[e][1];
    if (cornerCase & (1 << a)) return CornerPoint(b) - CornerPoint(a);
    return CornerPoint(a) - CornerPoint(b);
}

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The face's four corners in order around it (consecutive ones share an edge).
void FaceCycle(const Face& f, int cycle[4]) {
    int corners[4], n = 0;
    for (int k = 0; k < 8; ++k)
        if (f.mask & (1 << k)) corners[n++] = k;
    bool used[4] = {true, false, false, false};
    cycle[0] = corners[0];
    for (int i = 1; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (!used[j] && EdgeBetween(cycle[i - 1], corners[j]) >= 0) {
                cycle[i] = corners[j];
                used[j] = true;
                break;
            }
        }
    }
}

// A triangle of edge points faces from its edges' inside corners towards
// their outside ones (judged at the edges' midpoints). A triangle whose
// three points lie on one face of the cube fails: it would lie flat in the
// face that the neighbouring cell shares.
bool FacesOutwards(int e0, int e1, int e2, int cornerCase) {
    const Vector3 p0 = EdgeMidpoint(e0);
    const Vector3 normal = Cross(EdgeMidpoint(e1) - p0, EdgeMidpoint(e2) - p0);
    const Vector3 outward = EdgeOutward(e0, cornerCase) + EdgeOutward(e1, cornerCase) + EdgeOutward(e2, cornerCase);
    return Dot(normal, outward) > 0.0f;
}

// Triangulates the loop p[0..n) into `out` (3 (n - 2) entries) so that every
// triangle faces outwards. The edge p[0] p[1] lies in one triangle
// (p[0], p[1], p[k]); k is tried from n - 1 down, and the two polygons either
// side of it recursively, so the first choice is the fan meeting at p[n - 1].
bool Triangulate(const int* p, int n, int cornerCase, int8_t* out) {
    if (n < 3) return true;
    for (int k = n - 1; k >= 2; --k) {
        if (!FacesOutwards(p[0], p[1], p[k], cornerCase)) continue;
        out[0] = static_cast<int8_t>(p[0]);
        out[1] = static_cast<int8_t>(p[1]);
        out[2] = static_cast<int8_t>(p[k]);
        // p[1] .. p[k], then p[k] .. p[n - 1], p[0].
        int right[12], rightCount = 0;
        for (int i = k; i < n; ++i) right[rightCount++] = p[i];
        right[rightCount++] = p[0];
        if (Triangulate(p + 1, k, cornerCase, out + 3) &&
            Triangulate(right, rightCount, cornerCase, out + 3 + 3 * std::max(k - 2, 0)))
            return true;
    }
    return false;
}

// One row: the surface's pieces on the six faces, joined into loops, each
// loop a fan. Returns the number of entries written (a multiple of 3).
int BuildRow(int cornerCase, int8_t row[16]) {
    auto inside = [&](int k) { return (cornerCase >> k) & 1; };
    int next[12];
    std::fill(next, next + 12, -1);
    for (const Face& f : kFaces) {
        int cycle[4];
        FaceCycle(f, cycle);
        int crossing[4], n = 0;  // the face's crossing edges, in order around it
        for (int i = 0; i < 4; ++i) {
            int a = cycle[i], b = cycle[(i + 1) % 4];
            if (inside(a) != inside(b)) crossing[n++] = EdgeBetween(a, b);
        }
        int pieces[2][2], pieceCount = 0;
        if (n == 2) {
            pieces[pieceCount][0] = crossing[0];
            pieces[pieceCount++][1] = crossing[1];
        } else if (n == 4) {
            // Two inside corners on a diagonal: cut each off on its own.
            for (int i = 0; i < 4; ++i) {
                if (!inside(cycle[i])) continue;
                pieces[pieceCount][0] = EdgeBetween(cycle[(i + 3) % 4], cycle[i]);
                pieces[pieceCount++][1] = EdgeBetween(cycle[i], cycle[(i + 1) % 4]);
            }
        }
        Vector3 faceNormal;
        (&faceNormal.x)[f.axis] = f.side ? 1.0f : -1.0f;
        for (int p = 0; p < pieceCount; ++p) {
            int a = pieces[p][0], b = pieces[p][1];
            // With the surface's normal m (inside to outside) and the face's
            // outward normal, a loop that turns counter-clockwise seen from
            // outside the surface runs along m x faceNormal on this face.
            Vector3 m = EdgeOutward(a, cornerCase) + EdgeOutward(b, cornerCase);
            if (Dot(EdgeMidpoint(b) - EdgeMidpoint(a), Cross(m, faceNormal)) < 0.0f) std::swap(a, b);
            next[a] = b;
        }
    }
    int count = 0;
    bool visited[12] = {};
    for (int start = 0; start < 12; ++start) {
        if (next[start] < 0 || visited[start]) continue;
        // The loop from its lowest edge (the first unvisited one), then turned
        // to begin at the edge before it.
        int loop[12], n = 0;
        for (int e = start; !visited[e]; e = next[e]) {
            visited[e] = true;
            loop[n++] = e;
        }
        int turned[12];
        for (int i = 0; i < n; ++i) turned[i] = loop[(i + n - 1) % n];
        int8_t triangles[15];
        if (Triangulate(turned, n, cornerCase, triangles)) {
            for (int i = 0; i < 3 * (n - 2); ++i) row[count++] = triangles[i];
        }
    }
    return count;
}

struct Tables {
    TriangleRow rows[256];
    Tables() {
        for (int c = 0; c < 256; ++c) {
            std::fill(rows[c], rows[c] + 16, int8_t(-1));
            BuildRow(c, rows[c]);  // at most 15 entries: the 16th stays -1
        }
    }
};

}  // namespace

const TriangleRow* TriangleTable() {
    static const Tables tables;
    return tables.rows;
}

uint8_t FaceCrossBits(int cornerCase) {
    uint8_t bits = 0;
    for (int f = 0; f < 6; ++f) {
        int corners = cornerCase & kFaces[f].mask;
        if (corners != 0 && corners != kFaces[f].mask) bits |= static_cast<uint8_t>(1 << f);
    }
    return bits;
}

}  // namespace MarchingCubes

MetaballField::MetaballField(int cellsPerAxis, float level, int maxBalls, int maxVertices, int maxIndices)
    : m_level(level),
      m_maxBalls(std::max(maxBalls, 0)),
      m_balls(static_cast<size_t>(m_maxBalls)),
      m_sums(m_maxBalls),
      m_n(std::clamp(cellsPerAxis, 1, 65535)),
      m_cellSize(2.0f / static_cast<float>(m_n)),
      m_maxVertices(std::clamp(maxVertices, 0, 65536)),
      m_vertices(static_cast<size_t>(m_maxVertices)),
      m_maxIndices(std::max(maxIndices, 0)),
      m_indices(static_cast<size_t>(m_maxIndices)) {
    const size_t corners = static_cast<size_t>(m_n + 1) * (m_n + 1) * (m_n + 1);
    m_corners.resize(corners, Corner{0.0f, 0u, {-1, -1, -1}});
    m_cellState.resize(static_cast<size_t>(m_n) * m_n * m_n);
    // A cell is queued at most once per Polygonise (its state says so), so
    // a stack of N^3 entries never fills and no frame has to grow it.
    m_stack.resize(m_cellState.size());
    for (int c = 0; c < 256; ++c) faceCrossTable[c] = MarchingCubes::FaceCrossBits(c);
    m_table = MarchingCubes::TriangleTable();  // built now rather than in the first frame
}

Metaball* MetaballField::AddBall() {
    if (m_ballCount >= m_maxBalls) return nullptr;
    return &m_balls[m_ballCount++];
}

namespace {

using Float4 = float __attribute__((vector_size(16)));

Float4 Load4(const float* p) {
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

void BallSums::Pack(const Metaball* balls, int count) {
    const int capacity = static_cast<int>(m_packed.size() / 4);
    int active = 0;
    for (int b = 0; b < count; ++b) active += balls[b].strength > 0.0f;
    active = std::min(active, capacity);
    m_groups = (active + 3) / 4;
    int lane = 0;
    for (int b = 0; b < count && lane < active; ++b) {
        const Metaball& ball = balls[b];
        if (!(ball.strength > 0.0f)) continue;
        float* group = m_packed.data() + (lane / 4) * 16 + lane % 4;
        group[0] = ball.position.x;
        group[4] = ball.position.y;
        group[8] = ball.position.z;
        group[12] = ball.strength;
        ++lane;
    }
    for (; lane < m_groups * 4; ++lane) {
        float* group = m_packed.data() + (lane / 4) * 16 + lane % 4;
        group[0] = group[4] = group[8] = 1e3f;  // adds exactly 0 to the field and the normal
        group[12] = 0.0f;
    }
}

float BallSums::Field(const Vector3& p) const {
    const Float4 minimum = {0.0001f, 0.0001f, 0.0001f, 0.0001f};
    Float4 sum = {0.0f, 0.0f, 0.0f, 0.0f};
    const float* group = m_packed.data();
    for (int g = 0; g < m_groups; ++g, group += 16) {
        const Float4 dx = Load4(group) - p.x, dy = Load4(group + 4) - p.y, dz = Load4(group + 8) - p.z;
        Float4 d2 = dx * dx + dy * dy + dz * dz;
        d2 = d2 > minimum ? d2 : minimum;
        sum += Load4(group + 12) / d2;
    }
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

Vector3 BallSums::Normal(const Vector3& p) const {
    using Int4 = int __attribute__((vector_size(16)));
    Float4 nx = {0.0f, 0.0f, 0.0f, 0.0f}, ny = nx, nz = nx;
    Int4 onBall = {0, 0, 0, 0};
    const float* group = m_packed.data();
    for (int g = 0; g < m_groups; ++g, group += 16) {
        const Float4 dx = p.x - Load4(group), dy = p.y - Load4(group + 4), dz = p.z - Load4(group + 8);
        const Float4 lengthSq = dx * dx + dy * dy + dz * dz;
        const Float4 q = lengthSq * lengthSq;
        onBall |= q == 0.0f;
        const Float4 f = 2.0f * Load4(group + 12) / q;
        nx += dx * f;
        ny += dy * f;
        nz += dz * f;
    }
    if (onBall[0] | onBall[1] | onBall[2] | onBall[3]) {
        // A point on a ball's centre: one lane at a time, that ball adding
        // the largest float to each component.
        Vector3 n(0.0f, 0.0f, 0.0f);
        for (int lane = 0; lane < m_groups * 4; ++lane) {
            const float* b = m_packed.data() + (lane / 4) * 16 + lane % 4;
            if (!(b[12] > 0.0f)) continue;
            const Vector3 d = p - Vector3(b[0], b[4], b[8]);
            const float lengthSq = d.x * d.x + d.y * d.y + d.z * d.z;
            const float q = lengthSq * lengthSq;
            n += q == 0.0f ? Vector3(3.4028235e38f, 3.4028235e38f, 3.4028235e38f) : d * (2.0f * b[12] / q);
        }
        return n;
    }
    return Vector3((nx[0] + nx[1]) + (nx[2] + nx[3]), (ny[0] + ny[1]) + (ny[2] + ny[3]),
                   (nz[0] + nz[1]) + (nz[2] + nz[3]));
}

MetaballField::Corner& MetaballField::TouchCorner(int i, int j, int k) {
    Corner& corner = m_corners[CornerIndex(i, j, k)];
    if (corner.stamp == m_stamp) return corner;
    corner.stamp = m_stamp;
    corner.edge[0] = corner.edge[1] = corner.edge[2] = -1;
    corner.value = 0.0f;  // the outer shell is always outside: it closes the surface
    if (i != 0 && j != 0 && k != 0 && i != m_n && j != m_n && k != m_n) {
        corner.value = m_sums.Field(Vector3(i * m_cellSize - 1.0f, j * m_cellSize - 1.0f, k * m_cellSize - 1.0f));
        ++m_stats.cornersComputed;
    }
    return corner;
}

int MetaballField::ProcessCell(int x, int y, int z) {
    using MarchingCubes::kCornerOffset;
    using MarchingCubes::kEdgeAxis;
    using MarchingCubes::kEdgeCorners;
    Corner* corners[8];
    float v[8];
    int cornerCase = 0;
    for (int k = 0; k < 8; ++k) {
        corners[k] = &TouchCorner(x + kCornerOffset[k][0], y + kCornerOffset[k][1], z + kCornerOffset[k][2]);
        v[k] = corners[k]->value;
        if (v[k] > m_level) cornerCase |= 1 << k;
    }
    m_cellState[CellIndex(x, y, z)] = 1;
    ++m_stats.cellsProcessed;
    if (m_overflowed) return cornerCase;

    const int8_t* row = m_table[cornerCase];
    const Vector3 cellOrigin(x * m_cellSize - 1.0f, y * m_cellSize - 1.0f, z * m_cellSize - 1.0f);
    for (int t = 0; row[t] >= 0; t += 3) {
        // The triangle's vertices: made already (by this cell or another one
        // around the same grid edge), or new. Only whole triangles: check the
        // room first.
        int newVertices = 0;
        for (int i = 0; i < 3; ++i) {
            const int e = row[t + i];
            newVertices += corners[kEdgeCorners[e][0]]->edge[kEdgeAxis[e]] < 0;
        }
        if (m_vertexCount + newVertices > m_maxVertices || m_indexCount + 3 > m_maxIndices) {
            m_overflowed = true;
            break;
        }
        for (int i = 0; i < 3; ++i) {
            const int e = row[t + i];
            const int a = kEdgeCorners[e][0], b = kEdgeCorners[e][1];
            int32_t& vertexIndex = corners[a]->edge[kEdgeAxis[e]];
            if (vertexIndex < 0) {
                const float s = (m_level - v[a]) / (v[b] - v[a]);
                const Vector3 from(kCornerOffset[a][0], kCornerOffset[a][1], kCornerOffset[a][2]);
                const Vector3 to(kCornerOffset[b][0], kCornerOffset[b][1], kCornerOffset[b][2]);
                MetaVertex& vertex = m_vertices[m_vertexCount];
                vertex.position = (from + (to - from) * s) * m_cellSize + cellOrigin;
                vertex.normal = m_sums.Normal(vertex.position);
                vertexIndex = m_vertexCount++;
            }
            m_indices[m_indexCount++] = static_cast<uint16_t>(vertexIndex);
        }
    }
    return cornerCase;
}

void MetaballField::Queue(unsigned x, unsigned y, unsigned z) {
    // Only a negative level could reach past the grid (the outer shell is
    // outside otherwise); such neighbours are not queued.
    if (x >= unsigned(m_n) || y >= unsigned(m_n) || z >= unsigned(m_n)) return;
    uint8_t& state = m_cellState[CellIndex(int(x), int(y), int(z))];
    if (state != 0) return;
    m_stack[m_stackTop++] = {uint16_t(x), uint16_t(y), uint16_t(z)};
    state = 2;
}

void MetaballField::QueueNeighbours(const CellCoord& c, int cornerCase) {
    const uint8_t bits = faceCrossTable[cornerCase];
    if (bits & 0x01) Queue(c.x + 1u, c.y, c.z);
    if (bits & 0x02) Queue(c.x - 1u, c.y, c.z);
    if (bits & 0x04) Queue(c.x, c.y + 1u, c.z);
    if (bits & 0x08) Queue(c.x, c.y - 1u, c.z);
    if (bits & 0x10) Queue(c.x, c.y, c.z + 1u);
    if (bits & 0x20) Queue(c.x, c.y, c.z - 1u);
}

void MetaballField::Polygonise() {
    m_vertexCount = m_indexCount = 0;
    m_overflowed = false;
    m_stats = Stats();
    m_stackTop = 0;
    m_sums.Pack(m_balls.data(), m_ballCount);
    std::memset(m_cellState.data(), 0, m_cellState.size());
    if (++m_stamp == 0) {  // wrapped: forget every old stamp
        for (Corner& corner : m_corners) corner.stamp = 0;
        m_stamp = 1;
    }

    for (int b = 0; b < m_ballCount && !m_overflowed; ++b) {
        const Vector3& p = m_balls[b].position;
        // Rounded half to even, as the processor rounds by default.
        CellCoord c = {static_cast<uint16_t>(std::lrint((p.x + 1.0f) / m_cellSize + 0.5f)),
                       static_cast<uint16_t>(std::lrint((p.y + 1.0f) / m_cellSize + 0.5f)),
                       static_cast<uint16_t>(std::lrint((p.z + 1.0f) / m_cellSize + 0.5f))};
        if (c.x >= m_n || c.y >= m_n || c.z >= m_n) continue;
        if (m_cellState[CellIndex(c.x, c.y, c.z)] == 1) continue;

        // Down -z through the blob to its surface.
        int cornerCase = ProcessCell(c.x, c.y, c.z);
        bool traced = false;
        while (cornerCase == 255) {
            if (c.z == 0) break;  // only a negative level gets here
            --c.z;
            if (m_cellState[CellIndex(c.x, c.y, c.z)] == 1) {
                traced = true;  // an earlier ball's surface
                break;
            }
            cornerCase = ProcessCell(c.x, c.y, c.z);
        }
        if (traced || cornerCase == 255) continue;
        if (cornerCase != 0) ++m_stats.surfacesTraced;

        // Along the surface, last in first out.
        QueueNeighbours(c, cornerCase);
        while (m_stackTop > 0 && !m_overflowed) {
            const CellCoord cell = m_stack[--m_stackTop];
            QueueNeighbours(cell, ProcessCell(cell.x, cell.y, cell.z));
        }
    }
    if (m_overflowed) {
        // The queued cells stay unprocessed; forget them.
        for (int i = 0; i < m_stackTop; ++i) m_cellState[CellIndex(m_stack[i].x, m_stack[i].y, m_stack[i].z)] = 0;
        m_stackTop = 0;
    }
}
