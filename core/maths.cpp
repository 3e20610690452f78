#include "core/maths.h"

#include <algorithm>
#include <cmath>

const Vector3 kZero3(0, 0, 0), kAxisX(1, 0, 0), kAxisY(0, 1, 0), kAxisZ(0, 0, 1);
const Vector4 kZero4(0, 0, 0, 0), kOne4(1, 1, 1, 1), kHalf4(0.5f, 0.5f, 0.5f, 0.5f);
const Matrix kIdentity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

// Smallest normal float: shorter vectors are treated as having no direction.
static const float kMinNormalLength = 1.1754944e-38f;

float Vector3::Normalize() {
    float len = std::sqrt(x * x + y * y + z * z);
    if (!(len > kMinNormalLength)) return 0.0f;
    float inv = 1.0f / len;
    x *= inv;
    y *= inv;
    z *= inv;
    return len;
}

Matrix::Matrix(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : m{m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44} {}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix r = kIdentity;
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Matrix MatrixScaling(float sx, float sy, float sz) {
    Matrix r;
    r.m[0] = sx;
    r.m[5] = sy;
    r.m[10] = sz;
    r.m[15] = 1.0f;
    return r;
}

// Each unit axis row v becomes (v.x, v.y c + v.z s, v.z c - v.y s).
Matrix MatrixRotationX(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    Matrix r = kIdentity;
    const Vector3* axes[3] = {&kAxisX, &kAxisY, &kAxisZ};
    for (int row = 0; row < 3; ++row) {
        const Vector3& v = *axes[row];
        r.m[row * 4 + 0] = v.x;
        r.m[row * 4 + 1] = v.y * c + v.z * s;
        r.m[row * 4 + 2] = v.z * c - v.y * s;
    }
    return r;
}

// Each unit axis row v becomes (v.x c - v.z s, v.y, v.z c + v.x s).
Matrix MatrixRotationY(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    Matrix r = kIdentity;
    const Vector3* axes[3] = {&kAxisX, &kAxisY, &kAxisZ};
    for (int row = 0; row < 3; ++row) {
        const Vector3& v = *axes[row];
        r.m[row * 4 + 0] = v.x * c - v.z * s;
        r.m[row * 4 + 1] = v.y;
        r.m[row * 4 + 2] = v.z * c + v.x * s;
    }
    return r;
}

void MatrixMultiply(Matrix& a, const Matrix& b) {
    Matrix t;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            t.m[i * 4 + j] = a.m[i * 4 + 0] * b.m[0 * 4 + j] + a.m[i * 4 + 1] * b.m[1 * 4 + j] +
                             a.m[i * 4 + 2] * b.m[2 * 4 + j] + a.m[i * 4 + 3] * b.m[3 * 4 + j];
    a = t;
}

Matrix MatrixInverseAffine(const Matrix& M, float* determinant) {
    auto m = [&](int r, int c) { return M.m[(r - 1) * 4 + (c - 1)]; };
    Matrix R = kIdentity;
    auto set = [&](int r, int c, float v) { R.m[(r - 1) * 4 + (c - 1)] = v; };
    set(1, 1, m(2, 2) * m(3, 3) - m(2, 3) * m(3, 2));
    set(1, 2, m(3, 2) * m(1, 3) - m(1, 2) * m(3, 3));
    set(1, 3, m(1, 2) * m(2, 3) - m(1, 3) * m(2, 2));
    set(2, 1, m(3, 1) * m(2, 3) - m(3, 3) * m(2, 1));
    set(2, 2, m(1, 1) * m(3, 3) - m(3, 1) * m(1, 3));
    set(2, 3, m(1, 3) * m(2, 1) - m(2, 3) * m(1, 1));
    set(3, 1, m(3, 2) * m(2, 1) - m(3, 1) * m(2, 2));
    set(3, 2, m(3, 1) * m(1, 2) - m(3, 2) * m(1, 1));
    set(3, 3, m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1));
    float det = R.m[0] * m(1, 1) + R.m[4] * m(1, 2) + R.m[8] * m(1, 3);
    if (std::fabs(det) > 0.00001f) {
        float inv = 1.0f / det;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) R.m[r * 4 + c] *= inv;
    }
    if (determinant) *determinant = det;
    return R;
}

Matrix MatrixLookAt(const Vector3& eye, const Vector3& at, const Vector3& up) {
    Vector3 z = eye - at;
    z.Normalize();
    Vector3 x = Cross(up, z);
    x.Normalize();
    Vector3 y = Cross(z, x);
    y.Normalize();
    Matrix q = kIdentity;
    q.m[0] = x.x;
    q.m[1] = x.y;
    q.m[2] = x.z;
    q.m[4] = y.x;
    q.m[5] = y.y;
    q.m[6] = y.z;
    q.m[8] = z.x;
    q.m[9] = z.y;
    q.m[10] = z.z;
    q = MatrixInverseAffine(q);
    Matrix view = MatrixTranslation(-eye.x, -eye.y, -eye.z);
    MatrixMultiply(view, q);
    return view;
}

Matrix MatrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovY * 0.5f);
    float xScale = yScale / aspect;
    Matrix r;
    r.m[0] = xScale;
    r.m[5] = yScale;
    r.m[10] = zf / (zn - zf);
    r.m[11] = -1.0f;
    r.m[14] = zn * zf / (zn - zf);
    return r;
}

Matrix MatrixOrthoOffCenterRH(float l, float r, float b, float t, float zn, float zf) {
    Matrix m = kIdentity;
    m.m[0] = 2.0f / (r - l);
    m.m[5] = 2.0f / (t - b);
    m.m[10] = 1.0f / (zn - zf);
    m.m[12] = (l + r) / (l - r);
    m.m[13] = (t + b) / (b - t);
    m.m[14] = zn / (zn - zf);
    return m;
}

Vector4 Transform(const Vector3& p, const Matrix& m) {
    return {p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + m.m[12], p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + m.m[13],
            p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + m.m[14],
            p.x * m.m[3] + p.y * m.m[7] + p.z * m.m[11] + m.m[15]};
}

static void BoxCorners(const Vector3& lo, const Vector3& hi, const Matrix& m, Vector4 corners[8]) {
    for (int i = 0; i < 8; ++i)
        corners[i] = Transform(Vector3(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z), m);
}

void TransformBox(const Vector3& lo, const Vector3& hi, const Matrix& m, Vector3* outLo, Vector3* outHi) {
    Vector4 c[8];
    BoxCorners(lo, hi, m, c);
    *outLo = *outHi = Vector3(c[0].x, c[0].y, c[0].z);
    for (const Vector4& p : c) {
        *outLo = Vector3(std::min(outLo->x, p.x), std::min(outLo->y, p.y), std::min(outLo->z, p.z));
        *outHi = Vector3(std::max(outHi->x, p.x), std::max(outHi->y, p.y), std::max(outHi->z, p.z));
    }
}

bool BoxOutsideView(const Vector3& lo, const Vector3& hi, const Matrix& viewProj) {
    Vector4 c[8];
    BoxCorners(lo, hi, viewProj, c);
    // In clip space the picture is -w <= x, y <= w. A box whose corners all
    // fail one of the four inequalities lies beyond that edge, whatever the
    // sign of w. The margin of 1 % of w covers the rasteriser's half-pixel
    // shift and rounding.
    const auto allBeyond = [&](auto distance) {
        for (const Vector4& p : c)
            if (!(distance(p) > 0.01f * std::abs(p.w))) return false;
        return true;
    };
    return allBeyond([](const Vector4& p) { return p.x - p.w; }) ||
           allBeyond([](const Vector4& p) { return -p.x - p.w; }) ||
           allBeyond([](const Vector4& p) { return p.y - p.w; }) ||
           allBeyond([](const Vector4& p) { return -p.y - p.w; });
}

uint32_t ColourFromFloats(float a, float r, float g, float b) {
    auto byte = [](float v) { return static_cast<uint32_t>(static_cast<int>(v * 255.0f)) & 0xFFu; };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}
