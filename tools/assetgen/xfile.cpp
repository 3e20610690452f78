#include "xfile.h"

#include <zlib.h>

#include <cstring>

namespace {

enum Token : uint16_t { kName = 1, kIntList = 6, kFloatList = 7, kOpenBrace = 10, kCloseBrace = 11 };

struct Writer {
    std::vector<uint8_t> out;
    void Word(uint16_t v) { out.insert(out.end(), {(uint8_t)v, (uint8_t)(v >> 8)}); }
    void Dword(uint32_t v) { out.insert(out.end(), {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)}); }
    void Name(const std::string& s)
    {
        Word(kName);
        Dword((uint32_t)s.size());
        out.insert(out.end(), s.begin(), s.end());
    }
    void Open(const std::string& type, const std::string& name = "")
    {
        Name(type);
        if (!name.empty())
            Name(name);
        Word(kOpenBrace);
    }
    void Close() { Word(kCloseBrace); }
    void Ints(const std::vector<uint32_t>& v)
    {
        Word(kIntList);
        Dword((uint32_t)v.size());
        for (uint32_t x : v)
            Dword(x);
    }
    void Floats(const std::vector<float>& v)
    {
        Word(kFloatList);
        Dword((uint32_t)v.size());
        for (float f : v) {
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            Dword(bits);
        }
    }
};

std::vector<uint32_t> FaceList(const MeshData& mesh)
{
    std::vector<uint32_t> faces = {(uint32_t)(mesh.tri.size() / 3)};
    for (size_t t = 0; t < mesh.tri.size(); t += 3)
        faces.insert(faces.end(), {3, mesh.tri[t], mesh.tri[t + 1], mesh.tri[t + 2]});
    return faces;
}

}  // namespace

std::vector<uint8_t> WriteBinaryX(const MeshData& mesh, const std::string& name, float scale,
                                  const std::vector<XMaterial>& materials)
{
    Writer w;
    const char header[] = "xof 0303bin 0032";
    w.out.insert(w.out.end(), header, header + 16);
    w.Open("Frame", name);
    w.Open("Mesh", name + "_mesh");
    const uint32_t n = (uint32_t)mesh.pos.size();
    w.Ints({n});
    std::vector<float> v;
    v.reserve(n * 3);
    for (const V3& p : mesh.pos)
        v.insert(v.end(), {p.x * scale, p.y * scale, p.z * scale});
    w.Floats(v);
    const std::vector<uint32_t> faces = FaceList(mesh);
    w.Ints(faces);

    w.Open("MeshNormals");
    w.Ints({n});
    v.clear();
    for (const V3& q : mesh.nrm)
        v.insert(v.end(), {q.x, q.y, q.z});
    w.Floats(v);
    w.Ints(faces);
    w.Close();

    w.Open("MeshTextureCoords");
    w.Ints({n});
    w.Floats(mesh.uv);
    w.Close();

    w.Open("MeshMaterialList");
    std::vector<uint32_t> list = {(uint32_t)materials.size(), (uint32_t)mesh.mat.size()};
    for (uint8_t m : mesh.mat)
        list.push_back(m);
    w.Ints(list);
    for (const XMaterial& m : materials) {
        w.Open("Material");
        w.Floats({m.r, m.g, m.b, m.a, m.power, m.sr, m.sg, m.sb, 0.0f, 0.0f, 0.0f});
        w.Close();
    }
    w.Close();

    w.Close();  // Mesh
    w.Close();  // Frame
    return w.out;
}

std::vector<uint8_t> CompressX(const std::vector<uint8_t>& binaryX)
{
    // Layout: the header with "bzip", the size of the whole uncompressed
    // file (header included), then chunks of at most 32 KiB of the token
    // stream: uncompressed size, compressed size (with the "CK" mark), "CK"
    // and a raw deflate stream that may refer back into the previous chunk.
    std::vector<uint8_t> out(binaryX.begin(), binaryX.begin() + 16);
    std::memcpy(&out[8], "bzip", 4);
    const uint32_t total = (uint32_t)binaryX.size();
    out.insert(out.end(), {(uint8_t)total, (uint8_t)(total >> 8), (uint8_t)(total >> 16), (uint8_t)(total >> 24)});

    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    deflateInit2(&zs, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    const size_t body = 16, chunk = 32768;
    std::vector<uint8_t> buf(chunk + 1024);
    for (size_t pos = body; pos < binaryX.size(); pos += chunk) {
        const size_t len = std::min(chunk, binaryX.size() - pos);
        deflateReset(&zs);
        if (pos > body)
            deflateSetDictionary(&zs, &binaryX[pos - chunk], (uInt)chunk);
        zs.next_in = const_cast<Bytef*>(&binaryX[pos]);
        zs.avail_in = (uInt)len;
        zs.next_out = buf.data();
        zs.avail_out = (uInt)buf.size();
        deflate(&zs, Z_FINISH);
        const size_t packed = buf.size() - zs.avail_out;
        const uint16_t withMark = (uint16_t)(packed + 2);
        out.insert(out.end(), {(uint8_t)len, (uint8_t)(len >> 8), (uint8_t)withMark, (uint8_t)(withMark >> 8), 'C', 'K'});
        out.insert(out.end(), buf.begin(), buf.begin() + packed);
    }
    deflateEnd(&zs);
    return out;
}
