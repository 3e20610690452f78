#include "image.h"

#include <algorithm>
#include <cmath>

const Rgba kCyan = {0.533f, 0.890f, 0.988f, 1.0f};
const Rgba kIce = {0.86f, 0.96f, 1.0f, 1.0f};
const Rgba kRed = {0.95f, 0.12f, 0.16f, 1.0f};
const Rgba kDeep = {0.010f, 0.018f, 0.032f, 1.0f};
const Rgba kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

Image::Image(int width, int height, Rgba fill) : w(width), h(height), px((size_t)width * height * 4)
{
    for (size_t i = 0; i < (size_t)w * h; ++i) {
        px[i * 4 + 0] = fill.r * fill.a;
        px[i * 4 + 1] = fill.g * fill.a;
        px[i * 4 + 2] = fill.b * fill.a;
        px[i * 4 + 3] = fill.a;
    }
}

void BlendPixel(Image& img, int x, int y, Rgba c, float coverage)
{
    if (!img.inside(x, y) || coverage <= 0.0f)
        return;
    const float a = std::min(1.0f, c.a * coverage);
    float* p = img.at(x, y);
    p[0] = c.r * a + p[0] * (1.0f - a);
    p[1] = c.g * a + p[1] * (1.0f - a);
    p[2] = c.b * a + p[2] * (1.0f - a);
    p[3] = a + p[3] * (1.0f - a);
}

void AddPixel(Image& img, int x, int y, Rgba c, float amount)
{
    if (!img.inside(x, y) || amount <= 0.0f)
        return;
    float* p = img.at(x, y);
    p[0] += c.r * amount;
    p[1] += c.g * amount;
    p[2] += c.b * amount;
    p[3] = std::min(1.0f, p[3] + amount);
}

void Composite(Image& dst, const Image& src, int ox, int oy, float opacity)
{
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            if (!dst.inside(x + ox, y + oy))
                continue;
            const float* s = src.at(x, y);
            float* d = dst.at(x + ox, y + oy);
            const float a = s[3] * opacity;
            for (int k = 0; k < 3; ++k)
                d[k] = s[k] * opacity + d[k] * (1.0f - a);
            d[3] = a + d[3] * (1.0f - a);
        }
}

void AddImage(Image& dst, const Image& src, float gain)
{
    for (size_t i = 0; i < dst.px.size(); i += 4) {
        for (int k = 0; k < 3; ++k)
            dst.px[i + k] += src.px[i + k] * gain;
        dst.px[i + 3] = std::max(dst.px[i + 3], std::min(1.0f, src.px[i + 3] * gain));
    }
}

static std::vector<float> GaussKernel(float sigma)
{
    const int r = std::max(1, (int)std::ceil(sigma * 3.0f));
    std::vector<float> k(2 * r + 1);
    float sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += k[i + r] = std::exp(-(float)(i * i) / (2 * sigma * sigma));
    for (float& v : k)
        v /= sum;
    return k;
}

static void BlurLine(const float* src, float* dst, int n, int stride, const std::vector<float>& k, bool wrap)
{
    const int r = (int)k.size() / 2;
    for (int i = 0; i < n; ++i) {
        float acc[4] = {0, 0, 0, 0};
        for (int j = -r; j <= r; ++j) {
            int t = i + j;
            if (wrap)
                t = ((t % n) + n) % n;
            else
                t = std::clamp(t, 0, n - 1);
            const float* s = src + (size_t)t * stride;
            for (int c = 0; c < 4; ++c)
                acc[c] += s[c] * k[j + r];
        }
        for (int c = 0; c < 4; ++c)
            dst[(size_t)i * stride + c] = acc[c];
    }
}

void GaussianBlur(Image& img, float sigma, bool wrap)
{
    if (sigma <= 0.0f)
        return;
    const std::vector<float> k = GaussKernel(sigma);
    std::vector<float> line(std::max(img.w, img.h) * 4);
    for (int y = 0; y < img.h; ++y) {
        std::copy(img.at(0, y), img.at(0, y) + img.w * 4, line.begin());
        BlurLine(line.data(), img.at(0, y), img.w, 4, k, wrap);
    }
    std::vector<float> col(img.h * 4);
    for (int x = 0; x < img.w; ++x) {
        for (int y = 0; y < img.h; ++y)
            std::copy(img.at(x, y), img.at(x, y) + 4, &col[y * 4]);
        std::vector<float> out(img.h * 4);
        BlurLine(col.data(), out.data(), img.h, 4, k, wrap);
        for (int y = 0; y < img.h; ++y)
            std::copy(&out[y * 4], &out[y * 4] + 4, img.at(x, y));
    }
}

Image Resample(const Image& src, int w, int h)
{
    // Separable box filter over the exact source footprint of each target pixel.
    auto axis = [](int n, int m, std::vector<std::vector<std::pair<int, float>>>& taps) {
        taps.assign(m, {});
        const double scale = (double)n / m;
        for (int i = 0; i < m; ++i) {
            const double a = i * scale, b = (i + 1) * scale;
            for (int s = (int)std::floor(a); s < (int)std::ceil(b) && s < n; ++s) {
                const double wgt = std::min<double>(b, s + 1) - std::max<double>(a, s);
                if (wgt > 0)
                    taps[i].push_back({s, (float)(wgt / scale)});
            }
        }
    };
    std::vector<std::vector<std::pair<int, float>>> tx, ty;
    axis(src.w, w, tx);
    axis(src.h, h, ty);
    Image mid(w, src.h);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < w; ++x) {
            float* d = mid.at(x, y);
            for (auto [s, wt] : tx[x])
                for (int c = 0; c < 4; ++c)
                    d[c] += src.at(s, y)[c] * wt;
        }
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (auto [s, wt] : ty[y])
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c)
                    out.at(x, y)[c] += mid.at(x, s)[c] * wt;
    return out;
}

Rgba SampleBilinear(const Image& img, float x, float y)
{
    x -= 0.5f;
    y -= 0.5f;
    const int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    const float fx = x - x0, fy = y - y0;
    float acc[4] = {0, 0, 0, 0};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const float wt = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            const float* p = img.at(std::clamp(x0 + i, 0, img.w - 1), std::clamp(y0 + j, 0, img.h - 1));
            for (int c = 0; c < 4; ++c)
                acc[c] += p[c] * wt;
        }
    return {acc[0], acc[1], acc[2], acc[3]};
}

void Vignette(Image& img, float strength, float inner, float outer)
{
    const float cx = img.w * 0.5f, cy = img.h * 0.5f;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float dx = (x + 0.5f - cx) / cx, dy = (y + 0.5f - cy) / cy;
            const float d = std::sqrt(dx * dx * 0.8f + dy * dy * 0.8f);
            float t = std::clamp((d - inner) / (outer - inner), 0.0f, 1.0f);
            t = t * t * (3 - 2 * t);
            float* p = img.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] *= 1.0f - strength * t;
        }
}

uint32_t Hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Hash01(int x, int y, uint32_t seed)
{
    return (float)(Hash32((uint32_t)x * 0x8da6b343U ^ Hash32((uint32_t)y * 0xd8163841U ^ seed)) & 0xffffff) / 16777215.0f;
}

void Grain(Image& img, float amount, uint32_t seed)
{
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float n = (Hash01(x, y, seed) - 0.5f) * amount;
            float* p = img.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::max(0.0f, p[c] + n * p[3]);
        }
}

void ScanLines(Image& img, float amount, int period)
{
    for (int y = 0; y < img.h; y += period)
        for (int x = 0; x < img.w; ++x) {
            float* p = img.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] *= 1.0f - amount;
        }
}

static float Grad(int ix, int iy, float dx, float dy, uint32_t seed)
{
    const float a = (float)(Hash32((uint32_t)ix * 73856093U ^ (uint32_t)iy * 19349663U ^ seed) & 0xffff) / 65536.0f * 6.2831853f;
    return std::cos(a) * dx + std::sin(a) * dy;
}

float GradientNoise(float x, float y, uint32_t seed, int periodX, int periodY)
{
    const int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    const float fx = x - x0, fy = y - y0;
    auto wrap = [](int v, int p) { return p > 0 ? ((v % p) + p) % p : v; };
    const int xa = wrap(x0, periodX), xb = wrap(x0 + 1, periodX);
    const int ya = wrap(y0, periodY), yb = wrap(y0 + 1, periodY);
    const float u = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
    const float v = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
    const float n00 = Grad(xa, ya, fx, fy, seed), n10 = Grad(xb, ya, fx - 1, fy, seed);
    const float n01 = Grad(xa, yb, fx, fy - 1, seed), n11 = Grad(xb, yb, fx - 1, fy - 1, seed);
    const float nx0 = n00 + (n10 - n00) * u, nx1 = n01 + (n11 - n01) * u;
    return (nx0 + (nx1 - nx0) * v) * 1.4142f;  // roughly -1..1
}

float Fbm(float x, float y, int octaves, uint32_t seed, int periodX, int periodY)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * GradientNoise(x, y, seed + o * 1013U, periodX, periodY);
        norm += amp;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

uint8_t ToByte(float v, int x, int y)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const float d = (bayer[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f;
    const float s = std::clamp(v, 0.0f, 1.0f) * 255.0f + d;
    return (uint8_t)std::clamp((int)std::lround(s), 0, 255);
}
