#include "assets/x_mszip.h"

#include <zlib.h>
#include <cstring>

namespace {

// The layout after the 16-byte header: the size of the whole uncompressed
// file (header included) as 32 bits, then blocks, each with its inflated
// size and its packed size (16 bits each; the packed size counts a "CK"
// mark), the mark, and a raw deflate stream whose dictionary is the previous
// block's output.
constexpr size_t kHeader = 16;
constexpr size_t kMaxBlock = 32768;

uint32_t Read16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

// One block's deflate stream into `out` (exactly `expected` bytes).
bool InflateBlock(const uint8_t* packed, size_t packedSize, size_t expected, std::vector<uint8_t>* out) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    bool ok = true;
    size_t start = out->size();
    if (start > kHeader) {
        size_t dictionary = start - kHeader < kMaxBlock ? start - kHeader : kMaxBlock;
        ok = inflateSetDictionary(&z, out->data() + start - dictionary, static_cast<uInt>(dictionary)) == Z_OK;
    }
    out->resize(start + expected);
    if (ok) {
        z.next_in = const_cast<Bytef*>(packed);
        z.avail_in = static_cast<uInt>(packedSize);
        z.next_out = out->data() + start;
        z.avail_out = static_cast<uInt>(expected);
        int result = inflate(&z, Z_FINISH);
        ok = result == Z_STREAM_END && z.avail_out == 0;
    }
    inflateEnd(&z);
    return ok;
}

}  // namespace

bool IsCompressedXFile(const uint8_t* data, size_t size) {
    return size >= kHeader && std::memcmp(data, "xof ", 4) == 0 &&
           (std::memcmp(data + 8, "tzip", 4) == 0 || std::memcmp(data + 8, "bzip", 4) == 0);
}

bool InflateXFile(const uint8_t* data, size_t size, std::vector<uint8_t>* out, std::string* error) {
    out->clear();
    auto fail = [&](const char* why) {
        out->clear();
        *error = why;
        return false;
    };
    if (!IsCompressedXFile(data, size) || size < kHeader + 4) return fail("not a compressed .x file");
    uint32_t total = Read16(data + kHeader) | Read16(data + kHeader + 2) << 16;
    if (total < kHeader || total > kMaxXFileBytes) return fail("its uncompressed size is out of range");

    out->assign(data, data + kHeader);
    std::memcpy(out->data() + 8, data[8] == 't' ? "txt " : "bin ", 4);
    size_t p = kHeader + 4;
    while (p < size) {
        if (size - p < 6) return fail("a block header is cut short");
        size_t inflated = Read16(data + p);
        size_t packed = Read16(data + p + 2);
        if (inflated == 0 || inflated > kMaxBlock) return fail("a block has an impossible size");
        if (packed < 2 || packed > size - p - 4) return fail("a block runs past the end of the file");
        if (data[p + 4] != 'C' || data[p + 5] != 'K') return fail("a block has no CK mark");
        if (out->size() + inflated > total) return fail("the blocks hold more than the file's size");
        if (!InflateBlock(data + p + 6, packed - 2, inflated, out)) return fail("a block does not inflate");
        p += 4 + packed;
    }
    if (out->size() != total) return fail("the blocks hold less than the file's size");
    return true;
}
