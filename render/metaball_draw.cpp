// MetaballField's drawing. The field itself lives in core/ (it is maths), but
// drawing needs the device's vertex declarations and Renderer2D's lines,
// which belong to render/; core/ may not include render/, so the two
// drawing members are declared in core/metaballs.h and defined here.
#include "core/metaballs.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "render/vertex_declarations.h"

void MetaballField::Draw(Gpu::Effect* effect, bool drawBox) const {
    if (drawBox) {
        // The twelve edges of the grid's cube, from -1 to N x cellSize - 1.
        const float lo = -1.0f, hi = m_n * m_cellSize - 1.0f;
        for (int axis = 0; axis < 3; ++axis) {
            for (int i = 0; i < 4; ++i) {
                float a[3], b[3];
                const int u = (axis + 1) % 3, v = (axis + 2) % 3;
                a[axis] = lo;
                b[axis] = hi;
                a[u] = b[u] = (i & 1) ? hi : lo;
                a[v] = b[v] = (i & 2) ? hi : lo;
                const Vector3 start(a[0], a[1], a[2]), end(b[0], b[1], b[2]);
                Renderer2D::DrawLine(&start, &end, 0x80ffffffu);
            }
        }
    }
    DrawMesh(effect, m_vertices.data(), m_vertexCount, m_indices.data(), m_indexCount);
}

void MetaballField::DrawMesh(Gpu::Effect* effect, const MetaVertex* vertices, int vertexCount, const uint16_t* indices,
                             int indexCount) {
    if (!effect || vertexCount <= 0 || indexCount < 3) return;
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormal));
    Gpu::ForEachPass(effect, [&] {
        Gpu::DrawIndexedPrimitiveUP(Gpu::kTriangleList, 0, static_cast<unsigned>(vertexCount),
                                    static_cast<unsigned>(indexCount / 3), indices, vertices, sizeof(MetaVertex));
    });
}
