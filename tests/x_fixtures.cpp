#include "tests/x_fixtures.h"

#include <cstdio>
#include <cstring>
#include <zlib.h>

const XFixture& TheXFixture() {
    static const XFixture fixture = {
        {{0, 0, 1}, {2, 0, 1}, {2, 3, 1}, {0, 3, 1}, {5, 0, -2}, {6, 0, -2}, {5, 1, -2.5f}},
        {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.25f, 0.5f}, {0.75f, 0.5f}, {0.5f, 0.125f}},
        {{0, 0, 1}, {0, 0.6f, -0.8f}},
        {{1.0f, 0.5f, 0.25f, 1.0f}, {0.0f, 1.0f, 0.0f, 0.5f}},
        {20.0f, 5.0f},
        {{0.1f, 0.2f, 0.3f}, {0.0f, 0.0f, 0.0f}},
        {{0.0f, 0.0f, 0.5f}, {0.25f, 0.0f, 0.0f}},
    };
    return fixture;
}

std::vector<uint8_t> MakeXText() {
    const XFixture& f = TheXFixture();
    std::string s = "xof 0302txt 0032\n// two materials\nFrame Root {\n Mesh Shape {\n  7;\n";
    char line[512];
    for (int i = 0; i < 7; ++i) {
        std::snprintf(line, sizeof line, "  %g;%g;%g;%s\n", f.positions[i][0], f.positions[i][1],
                      f.positions[i][2], i < 6 ? "," : ";");
        s += line;
    }
    s += "  2;\n  4;0,1,2,3;,\n  3;4,5,6;;\n";
    s += "  MeshNormals {\n   2;\n";
    for (int i = 0; i < 2; ++i) {
        std::snprintf(line, sizeof line, "   %g;%g;%g;%s\n", f.normals[i][0], f.normals[i][1],
                      f.normals[i][2], i < 1 ? "," : ";");
        s += line;
    }
    s += "   2;\n   4;0,0,0,0;,\n   3;1,1,1;;\n  }\n";
    s += "  MeshTextureCoords {\n   7;\n";
    for (int i = 0; i < 7; ++i) {
        std::snprintf(line, sizeof line, "   %g;%g;%s\n", f.texcoords[i][0], f.texcoords[i][1], i < 6 ? "," : ";");
        s += line;
    }
    s += "  }\n  MeshMaterialList {\n   2;\n   2;\n   0,\n   1;;\n";
    for (int m = 0; m < 2; ++m) {
        std::snprintf(line, sizeof line,
                      "   Material {\n    %g;%g;%g;%g;;\n    %g;\n    %g;%g;%g;;\n    %g;%g;%g;;\n   }\n",
                      f.faceColour[m][0], f.faceColour[m][1], f.faceColour[m][2], f.faceColour[m][3],
                      f.power[m], f.specular[m][0], f.specular[m][1], f.specular[m][2], f.emissive[m][0],
                      f.emissive[m][1], f.emissive[m][2]);
        s += line;
    }
    s += "  }\n }\n}\n";
    return std::vector<uint8_t>(s.begin(), s.end());
}

namespace {

// The binary token stream of a .x file.
class XTokens {
public:
    std::vector<uint8_t> bytes;

    void Word(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Dword(uint32_t v) {
        Word(static_cast<uint16_t>(v));
        Word(static_cast<uint16_t>(v >> 16));
    }
    void Name(const char* name) {
        Word(1);
        Dword(static_cast<uint32_t>(std::strlen(name)));
        bytes.insert(bytes.end(), name, name + std::strlen(name));
    }
    void Open() { Word(0x0A); }
    void Close() { Word(0x0B); }
    void Ints(std::initializer_list<uint32_t> values) {
        Word(6);
        Dword(static_cast<uint32_t>(values.size()));
        for (uint32_t v : values) Dword(v);
    }
    void Floats(const float* values, int count) {
        Word(7);
        Dword(static_cast<uint32_t>(count));
        for (int i = 0; i < count; ++i) {
            uint32_t bits;
            std::memcpy(&bits, &values[i], 4);
            Dword(bits);
        }
    }
};

}  // namespace

std::vector<uint8_t> MakeXBinary() {
    const XFixture& f = TheXFixture();
    XTokens t;
    const char header[] = "xof 0302bin 0032";
    t.bytes.insert(t.bytes.end(), header, header + 16);
    t.Name("Frame");
    t.Name("Root");
    t.Open();
    t.Name("Mesh");
    t.Name("Shape");
    t.Open();
    t.Ints({7});
    t.Floats(&f.positions[0][0], 21);
    t.Ints({2, 4, 0, 1, 2, 3, 3, 4, 5, 6});
    t.Name("MeshNormals");
    t.Open();
    t.Ints({2});
    t.Floats(&f.normals[0][0], 6);
    t.Ints({2, 4, 0, 0, 0, 0, 3, 1, 1, 1});
    t.Close();
    t.Name("MeshTextureCoords");
    t.Open();
    t.Ints({7});
    t.Floats(&f.texcoords[0][0], 14);
    t.Close();
    t.Name("MeshMaterialList");
    t.Open();
    t.Ints({2, 2, 0, 1});
    for (int m = 0; m < 2; ++m) {
        t.Name("Material");
        t.Open();
        float values[11] = {f.faceColour[m][0], f.faceColour[m][1], f.faceColour[m][2], f.faceColour[m][3],
                            f.power[m],         f.specular[m][0],   f.specular[m][1],   f.specular[m][2],
                            f.emissive[m][0],   f.emissive[m][1],   f.emissive[m][2]};
        t.Floats(values, 11);
        t.Close();
    }
    t.Close();  // material list
    t.Close();  // mesh
    t.Close();  // frame
    return t.bytes;
}

std::vector<uint8_t> CompressX(const std::vector<uint8_t>& plain) {
    // "xof 0302" + "tzip"/"bzip" + "0032", the whole uncompressed size
    // (header included), then blocks of at most 32 KiB: uncompressed size,
    // compressed size counting the "CK" that starts the raw deflate data.
    std::vector<uint8_t> out(plain.begin(), plain.begin() + 16);
    std::memcpy(out.data() + 8, plain[8] == 'b' ? "bzip" : "tzip", 4);
    auto put16 = [&out](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    uint32_t total = static_cast<uint32_t>(plain.size());
    put16(total & 0xFFFF);
    put16(total >> 16);
    size_t body = plain.size() - 16;  // the fixtures fit in one block
    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(body)) + 64);
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    z.next_in = const_cast<uint8_t*>(plain.data() + 16);
    z.avail_in = static_cast<uInt>(body);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    size_t packedSize = packed.size() - z.avail_out;
    deflateEnd(&z);
    put16(static_cast<uint32_t>(body));
    put16(static_cast<uint32_t>(packedSize + 2));
    out.push_back('C');
    out.push_back('K');
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));
    return out;
}
