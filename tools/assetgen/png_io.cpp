#include "png_io.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

static void WriteToVector(png_structp png, png_bytep data, png_size_t len)
{
    auto* out = (std::vector<uint8_t>*)png_get_io_ptr(png);
    out->insert(out->end(), data, data + len);
}

static void NoFlush(png_structp) {}

std::vector<uint8_t> EncodePng(int w, int h, PngType type, const std::vector<uint8_t>& samples,
                               const std::vector<uint8_t>& palette)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, WriteToVector, NoFlush);
    int colorType = PNG_COLOR_TYPE_GRAY, channels = 1;
    switch (type) {
    case PngType::Grey: colorType = PNG_COLOR_TYPE_GRAY; channels = 1; break;
    case PngType::GreyAlpha: colorType = PNG_COLOR_TYPE_GRAY_ALPHA; channels = 2; break;
    case PngType::Rgb: colorType = PNG_COLOR_TYPE_RGB; channels = 3; break;
    case PngType::Rgba: colorType = PNG_COLOR_TYPE_RGB_ALPHA; channels = 4; break;
    case PngType::Palette: colorType = PNG_COLOR_TYPE_PALETTE; channels = 1; break;
    }
    png_set_IHDR(png, info, w, h, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    if (type == PngType::Palette) {
        std::vector<png_color> entries(palette.size() / 3);
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]};
        png_set_PLTE(png, info, entries.data(), (int)entries.size());
    }
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, (png_const_bytep)&samples[(size_t)y * w * channels]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

static float Straight(const float* p, int c)
{
    return p[3] > 1e-6f ? p[c] / p[3] : 0.0f;
}

std::vector<uint8_t> ToRgb(const Image& img)
{
    std::vector<uint8_t> out((size_t)img.w * img.h * 3);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            for (int c = 0; c < 3; ++c)
                out[((size_t)y * img.w + x) * 3 + c] = ToByte(img.at(x, y)[c], x, y);
    return out;
}

std::vector<uint8_t> ToRgba(const Image& img)
{
    std::vector<uint8_t> out((size_t)img.w * img.h * 4);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float* p = img.at(x, y);
            uint8_t* o = &out[((size_t)y * img.w + x) * 4];
            const float a = std::clamp(p[3], 0.0f, 1.0f);
            // Fully transparent pixels stay exactly 0 (glyph gaps rely on it).
            o[3] = a <= 0.0f ? 0 : ToByte(a, x, y);
            for (int c = 0; c < 3; ++c)
                o[c] = o[3] ? ToByte(Straight(p, c), x, y) : 0;
        }
    return out;
}

static float Luma(const float* p)
{
    return 0.2126f * Straight(p, 0) + 0.7152f * Straight(p, 1) + 0.0722f * Straight(p, 2);
}

std::vector<uint8_t> ToGrey(const Image& img)
{
    std::vector<uint8_t> out((size_t)img.w * img.h);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float* p = img.at(x, y);
            out[(size_t)y * img.w + x] = ToByte(0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2], x, y);
        }
    return out;
}

std::vector<uint8_t> ToGreyAlpha(const Image& img)
{
    std::vector<uint8_t> out((size_t)img.w * img.h * 2);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float* p = img.at(x, y);
            uint8_t* o = &out[((size_t)y * img.w + x) * 2];
            o[1] = p[3] <= 0.0f ? 0 : ToByte(p[3], x, y);
            o[0] = o[1] ? ToByte(Luma(p), x, y) : 0;
        }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool DecodePngRgba(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    w = (int)image.width;
    h = (int)image.height;
    rgba.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
