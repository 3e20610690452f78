// Vertex declarations and the user-pointer draws, streamed through one
// vertex buffer and one index buffer that are reused round and round.
#include <cstring>

#include "platform/gpu_internal.h"

namespace Gpu {

// A ring of buffer memory. Writes go behind the previous ones without
// waiting for the GPU; when the ring is full its storage is orphaned (the
// driver hands out fresh memory while queued draws keep the old).
struct Stream {
    GLenum target = GL_ARRAY_BUFFER;
    GLuint buffer = 0;
    size_t capacity = 0;
    size_t cursor = 0;
};

static Stream s_vertexStream, s_indexStream;
static const VertexDeclaration* s_layoutDeclaration = nullptr;  // what the attributes describe
static unsigned s_layoutStride = 0;
static GLuint s_unit2D[kMaxSamplers], s_unitCube[kMaxSamplers];
static unsigned s_activeUnit = 0;

static void InitStream(Stream& s, GLenum target, size_t capacity) {
    s.target = target;
    s.capacity = capacity;
    s.cursor = 0;
    glGenBuffers(1, &s.buffer);
    glBindBuffer(target, s.buffer);
    glBufferData(target, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
}

// Copies `size` bytes into the ring at a multiple of `align` and returns the
// offset. The element buffer stays bound (it is part of the one vertex array).
static size_t StreamWrite(Stream& s, const void* data, size_t size, size_t align) {
    if (s.target == GL_ARRAY_BUFFER) glBindBuffer(GL_ARRAY_BUFFER, s.buffer);
    size_t offset = (s.cursor + align - 1) / align * align;
    if (size > s.capacity) {
        // Larger than ever before: grow once, then it is reused.
        while (s.capacity < size) s.capacity *= 2;
        glBufferData(s.target, static_cast<GLsizeiptr>(s.capacity), nullptr, GL_STREAM_DRAW);
        offset = 0;
    } else if (offset + size > s.capacity) {
        glBufferData(s.target, static_cast<GLsizeiptr>(s.capacity), nullptr, GL_STREAM_DRAW);
        offset = 0;
    }
    void* p = glMapBufferRange(s.target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(size),
                               GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (p) {
        std::memcpy(p, data, size);
        glUnmapBuffer(s.target);
    }
    s.cursor = offset + size;
    return offset;
}

void CreateDrawStream() {
    // Sized for a frame's worth of the show's largest draws; they grow if needed.
    InitStream(s_vertexStream, GL_ARRAY_BUFFER, 4u << 20);
    InitStream(s_indexStream, GL_ELEMENT_ARRAY_BUFFER, 1u << 20);
    s_layoutDeclaration = nullptr;
    s_layoutStride = 0;
    std::memset(s_unit2D, 0, sizeof s_unit2D);
    std::memset(s_unitCube, 0, sizeof s_unitCube);
    s_activeUnit = 0;
    glActiveTexture(GL_TEXTURE0);
    // Vertex data without a colour reads white, as fixed-function Direct3D does.
    glVertexAttrib4f(kAttribColour, 1.0f, 1.0f, 1.0f, 1.0f);
}

void DestroyDrawStream() {
    if (s_vertexStream.buffer) glDeleteBuffers(1, &s_vertexStream.buffer);
    if (s_indexStream.buffer) glDeleteBuffers(1, &s_indexStream.buffer);
    s_vertexStream = Stream{};
    s_indexStream = Stream{};
}

void BindTextureUnit(unsigned unit, GLenum target, GLuint name) {
    // The unit is made active even when it holds the texture already: the
    // texture calls that follow (uploads, reads) act on the active unit's.
    if (s_activeUnit != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        s_activeUnit = unit;
    }
    GLuint* slot = target == GL_TEXTURE_CUBE_MAP ? &s_unitCube[unit] : &s_unit2D[unit];
    if (*slot == name) return;
    glBindTexture(target, name);
    *slot = name;
}

// GL unbinds a deleted texture from every unit by itself.
void ForgetTextureUnits(GLuint name) {
    for (unsigned i = 0; i < kMaxSamplers; ++i) {
        if (s_unit2D[i] == name) s_unit2D[i] = 0;
        if (s_unitCube[i] == name) s_unitCube[i] = 0;
    }
}

// ---- Declarations ------------------------------------------------------

VertexDeclaration* CreateVertexDeclaration(const VertexElement* elements, unsigned count) {
    if (!elements || count == 0 || count > 8) return nullptr;
    VertexDeclaration* d = new VertexDeclaration;
    for (unsigned i = 0; i < count; ++i) {
        const VertexElement& e = elements[i];
        if (e.usage == DeclUsage::TexCoord ? e.usageIndex >= kMaxTexCoords : e.usageIndex != 0) {
            delete d;
            return nullptr;
        }
        d->elements[i] = e;
        if (e.usage == DeclUsage::PositionT) d->pretransformed = true;
    }
    d->count = count;
    return d;
}

void ReleaseVertexDeclaration(VertexDeclaration* declaration) {
    if (!declaration) return;
    if (State().declaration == declaration) State().declaration = nullptr;
    if (s_layoutDeclaration == declaration) s_layoutDeclaration = nullptr;
    delete declaration;
}

void SetVertexDeclaration(VertexDeclaration* declaration) { State().declaration = declaration; }

static GLuint Location(const VertexElement& e) {
    switch (e.usage) {
    case DeclUsage::Position:
    case DeclUsage::PositionT: return kAttribPosition;
    case DeclUsage::Colour: return kAttribColour;
    case DeclUsage::Normal: return kAttribNormal;
    case DeclUsage::TexCoord: return kAttribTexCoord0 + e.usageIndex;
    }
    return kAttribPosition;
}

// Points the attributes at the vertex stream for this layout. Vertices sit
// at multiples of the stride, so draws only change their first index.
static void SetLayout(const VertexDeclaration* d, unsigned stride) {
    if (d == s_layoutDeclaration && stride == s_layoutStride) return;
    glBindBuffer(GL_ARRAY_BUFFER, s_vertexStream.buffer);
    for (GLuint i = 0; i < kAttribTexCoord0 + kMaxTexCoords; ++i) glDisableVertexAttribArray(i);
    for (unsigned i = 0; i < d->count; ++i) {
        const VertexElement& e = d->elements[i];
        GLuint location = Location(e);
        const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(e.offset));
        glEnableVertexAttribArray(location);
        switch (e.type) {
        case DeclType::Float2: glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, stride, offset); break;
        case DeclType::Float3: glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, stride, offset); break;
        case DeclType::Float4: glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, stride, offset); break;
        case DeclType::Colour:
            glVertexAttribPointer(location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
            break;
        }
    }
    s_layoutDeclaration = d;
    s_layoutStride = stride;
}

// ---- Draws -------------------------------------------------------------

static unsigned VertexCount(Primitive type, unsigned primitives, GLenum* mode) {
    switch (type) {
    case kPointList: *mode = GL_POINTS; return primitives;
    case kLineList: *mode = GL_LINES; return primitives * 2;
    case kTriangleList: *mode = GL_TRIANGLES; return primitives * 3;
    case kTriangleStrip: *mode = GL_TRIANGLE_STRIP; return primitives + 2;
    }
    return 0;
}

// Bounds that keep one draw's data well inside what the stream can hold.
constexpr unsigned kMaxPrimitives = 1u << 22;

void DrawPrimitiveUP(Primitive type, unsigned primitiveCount, const void* vertices, unsigned stride) {
    const VertexDeclaration* d = State().declaration;
    GLenum mode;
    if (!d || !vertices || stride == 0 || primitiveCount == 0 || primitiveCount > kMaxPrimitives) return;
    unsigned count = VertexCount(type, primitiveCount, &mode);
    if (count == 0 || !PrepareEffectDraw(d->pretransformed)) return;
    size_t offset = StreamWrite(s_vertexStream, vertices, static_cast<size_t>(count) * stride, stride);
    SetLayout(d, stride);
    glDrawArrays(mode, static_cast<GLint>(offset / stride), static_cast<GLsizei>(count));
}

void DrawIndexedPrimitiveUP(Primitive type, unsigned minVertexIndex, unsigned numVertices, unsigned primitiveCount,
                            const uint16_t* indices, const void* vertices, unsigned stride) {
    const VertexDeclaration* d = State().declaration;
    GLenum mode;
    if (!d || !vertices || !indices || stride == 0 || numVertices == 0 || primitiveCount == 0 ||
        primitiveCount > kMaxPrimitives || minVertexIndex + numVertices > 65536u)
        return;
    unsigned count = VertexCount(type, primitiveCount, &mode);
    if (count == 0) return;
    // An index outside the vertices handed over would read another draw's
    // data: such a call draws nothing.
    for (unsigned i = 0; i < count; ++i) {
        if (indices[i] < minVertexIndex || indices[i] >= minVertexIndex + numVertices) return;
    }
    if (!PrepareEffectDraw(d->pretransformed)) return;
    const uint8_t* first = static_cast<const uint8_t*>(vertices) + static_cast<size_t>(minVertexIndex) * stride;
    size_t vertexOffset = StreamWrite(s_vertexStream, first, static_cast<size_t>(numVertices) * stride, stride);
    size_t indexOffset = StreamWrite(s_indexStream, indices, count * sizeof(uint16_t), sizeof(uint16_t));
    SetLayout(d, stride);
    GLint base = static_cast<GLint>(vertexOffset / stride) - static_cast<GLint>(minVertexIndex);
    glDrawElementsBaseVertex(mode, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(indexOffset), base);
}

}  // namespace Gpu
