// PNG through libpng: every colour type expanded to 8-bit B, G, R, A.
#include <png.h>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "assets/image.h"

namespace {

// What the callbacks share. libpng reports errors by longjmp, so everything
// that must be cleaned up afterwards lives here, not in locals.
struct PngRead {
    const uint8_t* data;
    size_t size;
    size_t offset;
    char message[160];
    png_bytep* rows;
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
    PngRead* read = static_cast<PngRead*>(png_get_io_ptr(png));
    if (count > read->size - read->offset) png_error(png, "the file ends early");
    std::memcpy(out, read->data + read->offset, count);
    read->offset += count;
}

void OnError(png_structp png, png_const_charp message) {
    PngRead* read = static_cast<PngRead*>(png_get_error_ptr(png));
    std::snprintf(read->message, sizeof read->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Runs libpng over the file; false when it gave up (read->message says why).
// No object with a destructor may live in this frame because of the longjmp.
bool Decode(PngRead* read, png_structp png, png_infop info, Image* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, read, ReadBytes);
    // The picture is allocated whole before its data is read, so a header
    // alone decides the size: at most 4096 x 4096 (64 MiB of texels), twice
    // the largest picture of the show.
    png_set_user_limits(png, 4096, 4096);
    // Ancillary chunks are read whole once libpng knows them: a text chunk
    // that claims two gigabytes in a file of two hundred bytes is allocated
    // before it is found missing, and a compressed one can inflate without
    // end. A texture needs none of them but tRNS (its transparency), so the
    // rest are skipped unread, and whatever is read is held to 1 MiB.
    static const png_byte kIgnored[] =
        "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);  // chunks libpng does not know
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, 17);
    png_set_chunk_malloc_max(png, 1 << 20);
    png_set_chunk_cache_max(png, 64);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int colourType = png_get_color_type(png, info);
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque where the file has no alpha
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) png_error(png, "unexpected row layout");

    out->width = width;
    out->height = height;
    out->texels.resize(static_cast<size_t>(width) * height);
    read->rows = static_cast<png_bytep*>(png_malloc(png, sizeof(png_bytep) * height));
    for (png_uint_32 y = 0; y < height; ++y)
        read->rows[y] = reinterpret_cast<png_bytep>(out->texels.data() + static_cast<size_t>(y) * width);
    png_read_image(png, read->rows);
    return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, Image* out, std::string* error) {
    *out = Image{};
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        *error = "not a PNG file";
        return false;
    }
    PngRead read{data, size, 0, "", nullptr};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory";
        return false;
    }
    // The texels vector is sized before any row is written, so a failure
    // leaves nothing half-owned behind.
    bool ok = Decode(&read, png, info, out);
    if (read.rows) png_free(png, read.rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        *out = Image{};
        *error = read.message;
    }
    return ok;
}
