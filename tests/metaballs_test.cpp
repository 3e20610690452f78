#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "core/metaballs.h"

namespace {

using MarchingCubes::kCornerOffset;
using MarchingCubes::kEdgeCorners;
using MarchingCubes::TriangleTable;

std::vector<int> Row(int c) {
    std::vector<int> row;
    for (int i = 0; i < 16 && TriangleTable()[c][i] >= 0; ++i) row.push_back(TriangleTable()[c][i]);
    return row;
}

Vector3 Corner(int k) { return Vector3(kCornerOffset[k][0], kCornerOffset[k][1], kCornerOffset[k][2]); }
Vector3 Midpoint(int e) { return (Corner(kEdgeCorners[e][0]) + Corner(kEdgeCorners[e][1])) * 0.5f; }
float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A mesh with its vertices welded by position (the same surface point is
// emitted once per cell that shares its edge).
struct WeldedMesh {
    std::vector<Vector3> points;
    std::vector<int> triangles;  // three point indices each
};

WeldedMesh Weld(const MetaballField& field) {
    WeldedMesh mesh;
    std::map<std::tuple<long, long, long>, std::vector<int>> buckets;
    std::vector<int> remap(field.VertexCount());
    const float kBucket = 1e-4f, kTolerance = 2e-6f;
    for (int v = 0; v < field.VertexCount(); ++v) {
        const Vector3& p = field.Vertices()[v].position;
        const long bx = std::lround(p.x / kBucket), by = std::lround(p.y / kBucket), bz = std::lround(p.z / kBucket);
        int found = -1;
        for (long dx = -1; dx <= 1 && found < 0; ++dx)
            for (long dy = -1; dy <= 1 && found < 0; ++dy)
                for (long dz = -1; dz <= 1 && found < 0; ++dz) {
                    auto it = buckets.find({bx + dx, by + dy, bz + dz});
                    if (it == buckets.end()) continue;
                    for (int q : it->second) {
                        if (DistanceSq(mesh.points[q], p) <= kTolerance * kTolerance) {
                            found = q;
                            break;
                        }
                    }
                }
        if (found < 0) {
            found = static_cast<int>(mesh.points.size());
            mesh.points.push_back(p);
            buckets[{bx, by, bz}].push_back(found);
        }
        remap[v] = found;
    }
    for (int i = 0; i < field.IndexCount(); ++i) mesh.triangles.push_back(remap[field.Indices()[i]]);
    return mesh;
}

// Closed and consistently wound: every directed edge of every triangle
// appears once, and its reverse once (so every edge is shared by exactly
// two triangles, which run along it in opposite directions).
void ExpectClosed(const WeldedMesh& mesh) {
    ASSERT_EQ(mesh.triangles.size() % 3, 0u);
    ASSERT_FALSE(mesh.triangles.empty());
    std::map<std::pair<int, int>, int> directed;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        for (int i = 0; i < 3; ++i) {
            const int a = mesh.triangles[t + i], b = mesh.triangles[t + (i + 1) % 3];
            ASSERT_NE(a, b) << "degenerate triangle " << t / 3;
            ++directed[{a, b}];
        }
    }
    int open = 0;
    for (const auto& [edge, count] : directed) {
        EXPECT_EQ(count, 1);
        auto reverse = directed.find({edge.second, edge.first});
        if (reverse == directed.end() || reverse->second != 1) ++open;
    }
    EXPECT_EQ(open, 0);
}

// Separate shells of a welded mesh (triangles joined by shared points).
int Shells(const WeldedMesh& mesh) {
    std::vector<int> parent(mesh.points.size());
    for (size_t i = 0; i < parent.size(); ++i) parent[i] = static_cast<int>(i);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        parent[find(mesh.triangles[t])] = find(mesh.triangles[t + 1]);
        parent[find(mesh.triangles[t + 1])] = find(mesh.triangles[t + 2]);
    }
    std::set<int> roots;
    for (int p : mesh.triangles) roots.insert(find(p));
    return static_cast<int>(roots.size());
}

}  // namespace

TEST(MarchingCubesTable, TellingRows) {
    EXPECT_EQ(Row(0), std::vector<int>());
    EXPECT_EQ(Row(1), (std::vector<int>{3, 0, 8}));
    EXPECT_EQ(Row(2), (std::vector<int>{9, 0, 1}));
    EXPECT_EQ(Row(3), (std::vector<int>{3, 1, 8, 1, 9, 8}));
    EXPECT_EQ(Row(4), (std::vector<int>{11, 1, 2}));
    EXPECT_EQ(Row(5), (std::vector<int>{3, 0, 8, 11, 1, 2}));
    EXPECT_EQ(Row(254), (std::vector<int>{8, 0, 3}));
    EXPECT_EQ(Row(255), std::vector<int>());
}

TEST(MarchingCubesTable, EveryRowUsesExactlyTheEdgesWhoseCornersDiffer) {
    int triangles = 0;
    for (int c = 0; c < 256; ++c) {
        std::vector<int> row = Row(c);
        ASSERT_EQ(row.size() % 3, 0u) << "case " << c;
        ASSERT_LE(row.size(), 15u) << "case " << c;
        EXPECT_EQ(TriangleTable()[c][15], -1);
        triangles += static_cast<int>(row.size() / 3);
        std::set<int> used(row.begin(), row.end()), crossing;
        for (int e = 0; e < 12; ++e) {
            if (((c >> kEdgeCorners[e][0]) & 1) != ((c >> kEdgeCorners[e][1]) & 1)) crossing.insert(e);
        }
        EXPECT_EQ(used, crossing) << "case " << c;
        std::set<int> complement;
        for (int e : Row(255 - c)) complement.insert(e);
        EXPECT_EQ(used, complement) << "cases " << c << " and " << 255 - c;
    }
    EXPECT_EQ(triangles, 820);
}

TEST(MarchingCubesTable, TrianglesFaceFromTheInsideCornersOutwards) {
    for (int c = 0; c < 256; ++c) {
        std::vector<int> row = Row(c);
        for (size_t t = 0; t < row.size(); t += 3) {
            const Vector3 p0 = Midpoint(row[t]), p1 = Midpoint(row[t + 1]), p2 = Midpoint(row[t + 2]);
            Vector3 outward(0, 0, 0);
            for (int i = 0; i < 3; ++i) {
                const int a = kEdgeCorners[row[t + i]][0], b = kEdgeCorners[row[t + i]][1];
                outward += ((c >> a) & 1) ? Corner(b) - Corner(a) : Corner(a) - Corner(b);
            }
            EXPECT_GT(Dot(Cross(p1 - p0, p2 - p0), outward), 0.0f) << "case " << c << " triangle " << t / 3;
        }
    }
}

TEST(MarchingCubesTable, EdgesRunUpOneAxis) {
    for (int e = 0; e < 12; ++e) {
        const Vector3 d = Corner(kEdgeCorners[e][1]) - Corner(kEdgeCorners[e][0]);
        const float along[3] = {d.x, d.y, d.z};
        for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(along[axis], axis == MarchingCubes::kEdgeAxis[e] ? 1.0f : 0.0f);
    }
}

TEST(MarchingCubesTable, FaceCrossBits) {
    MetaballField field(8, 1.0f, 1, 10, 30);
    EXPECT_EQ(field.faceCrossTable[0], 0);
    EXPECT_EQ(field.faceCrossTable[255], 0);
    EXPECT_EQ(field.faceCrossTable[1], 0x2a);     // -x, -y, -z
    EXPECT_EQ(field.faceCrossTable[0x66], 0x3c);  // the +x face inside: the four faces round it crossed
    for (int c = 0; c < 256; ++c) EXPECT_EQ(field.faceCrossTable[c], field.faceCrossTable[255 - c]);
}

TEST(MetaballField, NoBallsOrNoStrengthGiveAnEmptyMesh) {
    MetaballField field(48, 100.0f, 4, 10000, 30000);
    field.Polygonise();
    EXPECT_EQ(field.VertexCount(), 0);
    EXPECT_EQ(field.IndexCount(), 0);
    for (int i = 0; i < 4; ++i) field.AddBall()->position = Vector3(0.1f * i, 0, 0);
    EXPECT_EQ(field.AddBall(), nullptr);
    field.Polygonise();
    EXPECT_EQ(field.IndexCount(), 0);
    EXPECT_EQ(field.LastStats().surfacesTraced, 0);
}

TEST(MetaballField, OneBallIsAClosedSphereOfTheExpectedRadius) {
    MetaballField field(48, 100.0f, 1, 10000, 30000);
    Metaball* ball = field.AddBall();
    ball->strength = 1.0f;  // radius sqrt(1 / 100) = 0.1
    field.Polygonise();
    ASSERT_GT(field.IndexCount(), 0);
    EXPECT_FALSE(field.Overflowed());
    EXPECT_EQ(field.LastStats().surfacesTraced, 1);
    // Linear interpolation of 1 / r^2 along the edges puts points a little
    // outside the true sphere (up to about 6 % on a 48-cell grid).
    double sum = 0.0;
    for (int v = 0; v < field.VertexCount(); ++v) {
        const MetaVertex& vertex = field.Vertices()[v];
        const float r = std::sqrt(DistanceSq(vertex.position, kZero3));
        sum += r;
        EXPECT_GT(r, 0.098f);
        EXPECT_LT(r, 0.107f);
        EXPECT_GT(Dot(vertex.normal, vertex.position), 0.0f);  // out of the surface
    }
    EXPECT_NEAR(sum / field.VertexCount(), 0.1, 0.002);
    // Triangles face outwards.
    for (int i = 0; i < field.IndexCount(); i += 3) {
        const Vector3& p0 = field.Vertices()[field.Indices()[i]].position;
        const Vector3& p1 = field.Vertices()[field.Indices()[i + 1]].position;
        const Vector3& p2 = field.Vertices()[field.Indices()[i + 2]].position;
        EXPECT_GT(Dot(Cross(p1 - p0, p2 - p0), p0 + p1 + p2), 0.0f);
    }
    WeldedMesh mesh = Weld(field);
    EXPECT_EQ(mesh.points.size(), static_cast<size_t>(field.VertexCount()));  // cells share their edges' points
    ExpectClosed(mesh);
    EXPECT_EQ(Shells(mesh), 1);
    // Only the cells on the surface (and the walk) were visited: far fewer than 48^3.
    EXPECT_LT(field.LastStats().cellsProcessed, 48 * 48 * 48 / 50);
}

TEST(MetaballField, CloseBallsAreTracedOnceAndFarOnesTwice) {
    MetaballField field(48, 100.0f, 2, 10000, 30000);
    Metaball* a = field.AddBall();
    Metaball* b = field.AddBall();
    a->strength = b->strength = 1.0f;
    a->position = Vector3(-0.06f, 0.0f, 0.0f);
    b->position = Vector3(0.06f, 0.0f, 0.0f);
    field.Polygonise();
    EXPECT_EQ(field.LastStats().surfacesTraced, 1);
    WeldedMesh joined = Weld(field);
    ExpectClosed(joined);
    EXPECT_EQ(Shells(joined), 1);

    a->position = Vector3(-0.5f, 0.1f, -0.2f);
    b->position = Vector3(0.5f, -0.1f, 0.3f);
    field.Polygonise();
    EXPECT_EQ(field.LastStats().surfacesTraced, 2);
    WeldedMesh apart = Weld(field);
    ExpectClosed(apart);
    EXPECT_EQ(Shells(apart), 2);
}

TEST(MetaballField, ASurfaceAtTheGridBorderIsClosedByTheOuterShell) {
    MetaballField field(48, 100.0f, 1, 10000, 30000);
    Metaball* ball = field.AddBall();
    ball->strength = 3.6f;  // radius 0.19: reaches past x = 1
    ball->position = Vector3(0.95f, 0.0f, 0.0f);
    field.Polygonise();
    float maxX = -2.0f;
    for (int v = 0; v < field.VertexCount(); ++v) maxX = std::max(maxX, field.Vertices()[v].position.x);
    EXPECT_LE(maxX, 1.0f);
    EXPECT_GT(maxX, 1.0f - field.CellSize());  // the cap lies in the last layer of cells
    ExpectClosed(Weld(field));
}

TEST(MetaballField, AWeakBallFindsNothing) {
    MetaballField field(48, 100.0f, 1, 10000, 30000);
    Metaball* ball = field.AddBall();
    ball->strength = 1e-6f;
    field.Polygonise();
    EXPECT_EQ(field.IndexCount(), 0);
    EXPECT_EQ(field.LastStats().cellsProcessed, 1);
    EXPECT_EQ(field.LastStats().surfacesTraced, 0);
}

TEST(MetaballField, StartCellsOutsideTheGridAreSkipped) {
    MetaballField field(48, 100.0f, 2, 10000, 30000);
    Metaball* a = field.AddBall();
    Metaball* b = field.AddBall();
    a->strength = b->strength = 1.0f;
    a->position = Vector3(0.99f, 0.0f, 0.0f);  // start cell 48
    b->position = Vector3(0.0f, -1.5f, 0.0f);  // start cell below 0
    field.Polygonise();
    EXPECT_EQ(field.LastStats().cellsProcessed, 0);
}

TEST(MetaballField, TheLevelTakesEffectAtTheNextPolygonise) {
    MetaballField field(48, 100.0f, 1, 10000, 30000);
    field.AddBall()->strength = 1.0f;
    field.Polygonise();
    field.SetLevel(25.0f);  // radius 0.2
    EXPECT_NEAR(std::sqrt(DistanceSq(field.Vertices()[0].position, kZero3)), 0.1f, 0.003f);
    field.Polygonise();
    EXPECT_NEAR(std::sqrt(DistanceSq(field.Vertices()[0].position, kZero3)), 0.2f, 0.003f);
}

// The capacity runs out: the mesh keeps whole triangles only, every index
// names a vertex, and what was kept is exactly the start of the full mesh.
TEST(MetaballField, AMeshBiggerThanTheCapacityStopsAtAWholeTriangle) {
    MetaballField full(48, 100.0f, 1, 10000, 30000);
    full.AddBall()->strength = 1.0f;
    full.Polygonise();
    ASSERT_GT(full.IndexCount(), 300);

    for (auto [maxVertices, maxIndices] : {std::pair{100, 30000}, std::pair{10000, 301}, std::pair{2, 2}}) {
        MetaballField field(48, 100.0f, 1, maxVertices, maxIndices);
        Metaball* ball = field.AddBall();
        ball->strength = 1.0f;
        field.Polygonise();
        EXPECT_TRUE(field.Overflowed());
        EXPECT_LE(field.VertexCount(), maxVertices);
        EXPECT_LE(field.IndexCount(), maxIndices);
        EXPECT_EQ(field.IndexCount() % 3, 0);
        for (int i = 0; i < field.IndexCount(); ++i) {
            ASSERT_LT(field.Indices()[i], field.VertexCount());
            EXPECT_EQ(field.Indices()[i], full.Indices()[i]);
        }
        for (int v = 0; v < field.VertexCount(); ++v) {
            EXPECT_EQ(field.Vertices()[v].position.x, full.Vertices()[v].position.x);
            EXPECT_EQ(field.Vertices()[v].position.z, full.Vertices()[v].position.z);
        }
        // The next frame starts afresh.
        ball->strength = 1e-6f;
        field.Polygonise();
        EXPECT_FALSE(field.Overflowed());
    }
}

// Many balls at random: whatever the arrangement, the mesh is closed.
TEST(MetaballField, RandomBlobsAreClosed) {
    MetaballField field(48, 100.0f, 64, 10000, 30000);
    Metaball* balls[24];
    for (Metaball*& ball : balls) ball = field.AddBall();
    uint32_t state = 12345;
    auto random = [&](float lo, float hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
    };
    for (int round = 0; round < 8; ++round) {
        for (Metaball* ball : balls) {
            ball->position = Vector3(random(-0.6f, 0.6f), random(-0.2f, 0.2f), random(-0.6f, 0.6f));
            ball->strength = random(0.05f, 0.5f);
        }
        field.Polygonise();
        ASSERT_FALSE(field.Overflowed());
        SCOPED_TRACE(round);
        ExpectClosed(Weld(field));
    }
}

// The four-at-a-time sums agree with the plain ones, on a ball's centre too.
TEST(MetaballField, PackedSumsMatchThePlainOnes) {
    Metaball balls[7];
    for (int i = 0; i < 7; ++i) {
        balls[i].position = Vector3(0.1f * i - 0.3f, 0.05f * i, -0.02f * i);
        balls[i].strength = i == 3 ? 0.0f : 0.2f + 0.1f * i;  // one without strength
    }
    auto field = [&](const Vector3& p) {
        float sum = 0.0f;
        for (const Metaball& b : balls)
            if (b.strength > 0.0f) sum += b.strength / std::max(DistanceSq(p, b.position), 0.0001f);
        return sum;
    };
    auto normal = [&](const Vector3& p) {
        Vector3 n(0, 0, 0);
        for (const Metaball& b : balls) {
            const float q = DistanceSq(p, b.position) * DistanceSq(p, b.position);
            if (b.strength <= 0.0f) continue;
            n += q == 0.0f ? Vector3(3.4028235e38f, 3.4028235e38f, 3.4028235e38f)
                           : (p - b.position) * (2.0f * b.strength / q);
        }
        return n;
    };
    BallSums sums(7);
    sums.Pack(balls, 7);
    for (const Vector3& p : {Vector3(0, 0, 0), Vector3(0.33f, -0.2f, 0.1f), Vector3(-0.9f, 0.9f, 0.5f)}) {
        EXPECT_NEAR(sums.Field(p), field(p), 1e-5f * field(p));
        const Vector3 a = sums.Normal(p), b = normal(p);
        EXPECT_NEAR(a.x, b.x, 1e-5f * std::fabs(b.x) + 1e-6f);
        EXPECT_NEAR(a.y, b.y, 1e-5f * std::fabs(b.y) + 1e-6f);
        EXPECT_NEAR(a.z, b.z, 1e-5f * std::fabs(b.z) + 1e-6f);
    }
    const Vector3 centre = balls[2].position;
    EXPECT_EQ(sums.Normal(centre).x, normal(centre).x);
    EXPECT_EQ(sums.Field(centre), field(centre));
    EXPECT_GT(field(centre), 0.4f / 0.0001f);
}
