// MetaballField: the triangle mesh of the surface where the summed field of a
// set of balls equals a level, rebuilt every frame. The field is
// sampled at the corners of a cubic grid over -1..1 on each axis and
// polygonised with marching cubes, but only where the surface is: from each
// ball the walk goes down -z to the surface, and the fill then follows the
// surface from cell to neighbouring cell, so a frame costs in proportion to
// the surface's area, not to the grid's volume. The meta writer's letters
// are clouds of such balls.
//
// Numbering (offsets from a cell's lowest corner, x y z):
//   corners 0 (0,0,0)  1 (1,0,0)  2 (1,0,1)  3 (0,0,1)
//           4 (0,1,0)  5 (1,1,0)  6 (1,1,1)  7 (0,1,1)
//   edges   0 (0,1)  1 (1,2)  2 (3,2)  3 (0,3)  4 (4,5)  5 (5,6)
//           6 (7,6)  7 (4,7)  8 (0,4)  9 (1,5) 10 (3,7) 11 (2,6)
// (an edge's first corner is where its interpolation starts). Bit k of a
// cell's case is set when corner k's value is above the level ("inside").
#pragma once
#include <cstdint>
#include <vector>

#include "core/maths.h"

namespace Gpu {
class Effect;
}

// A point source: field strength / distance^2. Strength <= 0 adds nothing.
struct Metaball {
    Vector3 position;
    float strength = 0.0f;
};

// One mesh vertex as vertex declaration 8 reads it: position, then normal
// (minus the field's gradient: it points out of the surface; not normalised).
struct MetaVertex {
    Vector3 position;
    Vector3 normal;
};
static_assert(sizeof(MetaVertex) == 24, "declaration 8 has a stride of 24");

namespace MarchingCubes {

extern const uint8_t kCornerOffset[8][3];
extern const uint8_t kEdgeCorners[12][2];
// The axis (0 x, 1 y, 2 z) each edge runs along; every edge runs from its
// lower corner to its upper one.
extern const uint8_t kEdgeAxis[12];

// The triangle table: 256 rows by corner case, each up to five triangles as
// triples of edge numbers, ended by -1 (820 triangles in all, as in Lorensen
// and Cline's table). It is built once from the cube's geometry rather than
// typed in: on each face the surface runs between the face's crossing edges,
// and where a face has two inside corners on a diagonal it cuts each of them
// off (inside corners never join across a face, in a case and in its
// complement alike, so neighbouring cells always agree and the surface has
// no holes); the pieces join into closed loops, each turning so that its
// triangles' (p1 - p0) x (p2 - p0) faces from the inside corners to the
// outside ones. A loop starts at the edge before its lowest edge and becomes
// a fan meeting at its last edge, unless a triangle of that fan would lie
// flat in a face of the cube; then the next triangulation that has no such
// triangle is taken. So row 1 is (3, 0, 8), row 3 (3, 1, 8) (1, 9, 8), row
// 254 (8, 0, 3).
using TriangleRow = int8_t[16];
const TriangleRow* TriangleTable();

// Bits of a case's faces that the surface crosses: 0 +x,
// 1 -x, 2 +y, 3 -y, 4 +z, 5 -z.
uint8_t FaceCrossBits(int cornerCase);

}  // namespace MarchingCubes

// The field and its normal over a copy of the balls with strength > 0, kept
// in groups of four (x[4], y[4], z[4], strength[4]; the last group padded
// with far-away balls of strength 0) so that the sums run four balls at a
// time. Field(p) is the sum of strength / max(|p - position|^2, 0.0001);
// Normal(p), minus its gradient (pointing out of the surface, not
// normalised), is the sum of (p - position) 2 strength / |p - position|^4,
// where a point on a ball's centre adds the largest float to each component.
class BallSums {
public:
    explicit BallSums(int maxBalls = 0) : m_packed(static_cast<size_t>((maxBalls + 3) / 4) * 16) {}
    // Copies the balls (at most the maxBalls given at construction).
    void Pack(const Metaball* balls, int count);
    float Field(const Vector3& p) const;
    Vector3 Normal(const Vector3& p) const;

private:
    std::vector<float> m_packed;
    int m_groups = 0;
};

class MetaballField {
public:
    // All memory is taken here, the fill stack at its largest possible size
    // (one entry per cell), so Polygonise never allocates. maxVertices is at
    // most 65536 (16-bit indices); larger values are cut to it.
    MetaballField(int cellsPerAxis, float level, int maxBalls, int maxVertices, int maxIndices);
    MetaballField(const MetaballField&) = delete;
    MetaballField& operator=(const MetaballField&) = delete;

    // The next free ball (at the origin, strength 0), or null when all
    // maxBalls are handed out. The caller keeps the pointer and moves the
    // ball by writing through it; balls are never removed.
    Metaball* AddBall();
    // Takes effect at the next Polygonise. It must not be negative (the grid's
    // zero-valued outer shell must count as outside).
    void SetLevel(float level) { m_level = level; }

    // Rebuilds the mesh from the balls and the level. A surface point on a
    // grid edge is one vertex, shared by every cell around that edge (rather
    // than one per cell): each normal is computed once and the mesh is welded.
    //
    // A surface that needs more than maxVertices vertices or maxIndices
    // indices keeps every whole triangle that fitted; then this Polygonise
    // stops tracing (Overflowed() says so until the next one). Nothing is
    // ever written past the buffers, and every index names a vertex.
    //
    // A ball whose start cell falls outside the grid (a coordinate below -1
    // or at 1 - cellSize and above) is skipped rather than walked from.
    void Polygonise();

    // Draws the mesh with the effect's current technique and parameters
    // (every pass), after queueing the grid cube's twelve edges as lines of
    // 0x80ffffff when drawBox is set. Defined in render/metaball_draw.cpp,
    // not in metaballs.cpp: it calls the device and Renderer2D, which belong
    // to render/, and core/ may not include what lies above it.
    void Draw(Gpu::Effect* effect, bool drawBox) const;
    // The same draw for any mesh in this layout (the meta writer's frozen
    // letters). Nothing is drawn for a null effect or fewer than 3 indices.
    static void DrawMesh(Gpu::Effect* effect, const MetaVertex* vertices, int vertexCount, const uint16_t* indices,
                         int indexCount);

    // The mesh of the last Polygonise: a triangle list.
    const MetaVertex* Vertices() const { return m_vertices.data(); }
    const uint16_t* Indices() const { return m_indices.data(); }
    int VertexCount() const { return m_vertexCount; }
    int IndexCount() const { return m_indexCount; }
    int MaxVertices() const { return m_maxVertices; }
    int MaxIndices() const { return m_maxIndices; }
    bool Overflowed() const { return m_overflowed; }

    float Level() const { return m_level; }
    int CellsPerAxis() const { return m_n; }
    float CellSize() const { return m_cellSize; }
    int BallCount() const { return m_ballCount; }
    const Metaball* Balls() const { return m_balls.data(); }

    // What the last Polygonise did: cells processed, corner values computed,
    // and walks that found a surface not traced before (one per separate
    // shell).
    struct Stats {
        int cellsProcessed = 0;
        int cornersComputed = 0;
        int surfacesTraced = 0;
    };
    const Stats& LastStats() const { return m_stats; }

    uint8_t faceCrossTable[256];  // MarchingCubes::FaceCrossBits, filled at construction

private:
    struct CellCoord {
        uint16_t x, y, z;
    };

    int CellIndex(int x, int y, int z) const { return x + m_n * (y + m_n * z); }
    size_t CornerIndex(int i, int j, int k) const {
        return static_cast<size_t>(i) + static_cast<size_t>(m_n + 1) * (j + static_cast<size_t>(m_n + 1) * k);
    }
    struct Corner {
        float value;  // the field here, valid when stamp is this Polygonise's
        uint32_t stamp;
        int32_t edge[3];  // the vertex on the edge along +x, +y, +z from here, or -1
    };
    // The corner's record, its value and edges filled for this Polygonise.
    Corner& TouchCorner(int i, int j, int k);
    int ProcessCell(int x, int y, int z);
    void Queue(unsigned x, unsigned y, unsigned z);
    void QueueNeighbours(const CellCoord& c, int cornerCase);

    float m_level;
    int m_maxBalls;
    int m_ballCount = 0;
    std::vector<Metaball> m_balls;
    BallSums m_sums;  // the balls, packed at the start of each Polygonise

    int m_stackTop = 0;
    std::vector<CellCoord> m_stack;

    int m_n;
    float m_cellSize;
    // The per-frame cache of the grid's corners, (N + 1)^3 of them: each
    // value and edge vertex is made at most once per Polygonise. A stamp
    // instead of clearing: one number per Polygonise marks what is current.
    std::vector<Corner> m_corners;
    uint32_t m_stamp = 0;
    std::vector<uint8_t> m_cellState;  // N^3
    const MarchingCubes::TriangleRow* m_table;

    int m_maxVertices;
    int m_vertexCount = 0;
    std::vector<MetaVertex> m_vertices;
    int m_maxIndices;
    int m_indexCount = 0;
    std::vector<uint16_t> m_indices;

    bool m_overflowed = false;
    Stats m_stats;
};
