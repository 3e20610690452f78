// What the scroller's metaball surface costs on the processor: one
// Polygonise of a real letter (64 balls sampled from the meta font strip as
// the meta writer samples it, all arrived), against a plain marching cubes of
// the same field over every cell of the same 48-cell grid (written here only
// to compare with; the show never runs it).
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=Metaball
//
// The surface-following Polygonise must be at least ten times faster.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/metaballs.h"
#include "core/random.h"
#include "effects/bitmap_font.h"
#include "effects/meta_letters.h"
#include "tests/gpu_fixture.h"

namespace {

constexpr float kBallLevel = 0.26f, kMetaLevel = 100.0f;  // the tweaks' defaults

// The meta writer's letters, from the meta font strip. False without a device.
bool LoadLetters(LetterShapes& shapes) {
    if (!GpuFixture::Start(1280, 720, 1)) return false;
    Texture* strip = Texture::FromResource(kTexMetaFont);
    if (!strip) return false;
    BitmapFont* font = BitmapFont::Create(strip, kMetaGlyphList, 1.0f, 8.0f, 12);
    int bytesPerPixel = 0;
    const uint8_t* texels = strip->Lock(&bytesPerPixel);
    EffectRandom random;
    BuildLetterShapes(*font, reinterpret_cast<const uint32_t*>(texels), strip->width, strip->height, random, shapes);
    strip->Unlock();
    BitmapFont::Destroy(&font);
    DeleteTexture(strip);
    return true;
}

// A field with the letter's 64 balls where they end up.
void SetUpLetter(MetaballField& field, const LetterShapes& shapes, char letter) {
    Metaball* balls[kMetaBallCount];
    Vector3 start[kMetaBallCount];
    float delay[kMetaBallCount];
    EffectRandom random;
    for (int k = 0; k < kMetaBallCount; ++k) {
        balls[k] = field.AddBall();
        delay[k] = -random.RandomRange(0.0f, 1.0f);
        start[k] = Vector3(random.RandomRange(-0.5f, 0.5f), 0.0f, random.RandomRange(-0.5f, 0.5f));
    }
    PlaceLetterBalls(shapes.points[static_cast<unsigned char>(letter)], 2.0f, start, delay, kBallLevel, balls);
}

// Marching cubes over all 48^3 cells: every corner's value, every cell's
// case, the same triangle table; a vertex for each crossed edge of each cell,
// with its normal. The sums are the same four-at-a-time ones Polygonise uses.
class FullGrid {
public:
    explicit FullGrid(const MetaballField& field)
        : m_field(field),
          m_sums(field.BallCount()),
          m_n(field.CellsPerAxis()),
          m_values(static_cast<size_t>(m_n + 1) * (m_n + 1) * (m_n + 1)),
          m_vertices(static_cast<size_t>(field.MaxVertices())),
          m_indices(static_cast<size_t>(field.MaxIndices())) {}

    int Polygonise() {
        using namespace MarchingCubes;
        const float cell = m_field.CellSize(), level = m_field.Level();
        m_sums.Pack(m_field.Balls(), m_field.BallCount());
        for (int k = 0; k <= m_n; ++k)
            for (int j = 0; j <= m_n; ++j)
                for (int i = 0; i <= m_n; ++i) {
                    const bool shell = i == 0 || j == 0 || k == 0 || i == m_n || j == m_n || k == m_n;
                    m_values[Corner(i, j, k)] =
                        shell ? 0.0f : m_sums.Field(Vector3(i * cell - 1.0f, j * cell - 1.0f, k * cell - 1.0f));
                }
        int vertexCount = 0, indexCount = 0;
        for (int z = 0; z < m_n; ++z)
            for (int y = 0; y < m_n; ++y)
                for (int x = 0; x < m_n; ++x) {
                    float v[8];
                    int c = 0;
                    for (int k = 0; k < 8; ++k) {
                        v[k] =
                            m_values[Corner(x + kCornerOffset[k][0], y + kCornerOffset[k][1], z + kCornerOffset[k][2])];
                        if (v[k] > level) c |= 1 << k;
                    }
                    const int8_t* row = TriangleTable()[c];
                    int edgeVertex[12];
                    std::memset(edgeVertex, -1, sizeof edgeVertex);
                    for (int t = 0; row[t] >= 0; ++t) {
                        const int e = row[t];
                        if (edgeVertex[e] < 0) {
                            if (vertexCount == static_cast<int>(m_vertices.size())) return indexCount;
                            const int a = kEdgeCorners[e][0], b = kEdgeCorners[e][1];
                            const float s = (level - v[a]) / (v[b] - v[a]);
                            const Vector3 from(kCornerOffset[a][0], kCornerOffset[a][1], kCornerOffset[a][2]);
                            const Vector3 to(kCornerOffset[b][0], kCornerOffset[b][1], kCornerOffset[b][2]);
                            MetaVertex& out = m_vertices[vertexCount];
                            out.position = (from + (to - from) * s) * cell +
                                           Vector3(x * cell - 1.0f, y * cell - 1.0f, z * cell - 1.0f);
                            out.normal = m_sums.Normal(out.position);
                            edgeVertex[e] = vertexCount++;
                        }
                        if (indexCount == static_cast<int>(m_indices.size())) return indexCount;
                        m_indices[indexCount++] = static_cast<uint16_t>(edgeVertex[e]);
                    }
                }
        return indexCount;
    }

private:
    size_t Corner(int i, int j, int k) const {
        return static_cast<size_t>(i) + (m_n + 1) * (j + static_cast<size_t>(m_n + 1) * k);
    }

    const MetaballField& m_field;
    BallSums m_sums;
    int m_n;
    std::vector<float> m_values;
    std::vector<MetaVertex> m_vertices;
    std::vector<uint16_t> m_indices;
};

void MetaballLetterSurfaceFollowing(benchmark::State& state) {
    LetterShapes shapes;
    if (!LoadLetters(shapes)) return state.SkipWithError("no device or no meta font");
    MetaballField field(48, kMetaLevel, kMetaBallCount, 10000, 30000);
    const char letter = static_cast<char>(state.range(0));
    SetUpLetter(field, shapes, letter);
    for (auto _ : state) {
        field.Polygonise();
        benchmark::DoNotOptimize(field.IndexCount());
    }
    state.counters["points"] = static_cast<double>(shapes.points[static_cast<unsigned char>(letter)].size());
    state.counters["triangles"] = field.IndexCount() / 3;
    state.counters["cells"] = field.LastStats().cellsProcessed;
    state.counters["corners"] = field.LastStats().cornersComputed;
}

void MetaballLetterFullGrid(benchmark::State& state) {
    LetterShapes shapes;
    if (!LoadLetters(shapes)) return state.SkipWithError("no device or no meta font");
    MetaballField field(48, kMetaLevel, kMetaBallCount, 10000, 30000);
    SetUpLetter(field, shapes, static_cast<char>(state.range(0)));
    FullGrid grid(field);
    int indices = 0;
    for (auto _ : state) {
        indices = grid.Polygonise();
        benchmark::DoNotOptimize(indices);
    }
    state.counters["triangles"] = indices / 3;
}

}  // namespace

// B (many points, two bowls) and M (the widest letter).
BENCHMARK(MetaballLetterSurfaceFollowing)->Arg('B')->Arg('M')->Unit(benchmark::kMicrosecond);
BENCHMARK(MetaballLetterFullGrid)->Arg('B')->Arg('M')->Unit(benchmark::kMicrosecond);
