// Small value types for 2D/3D positions, colours and 4x4 transforms.
// Matrices are row-major and used with row vectors (p' = p x M): translation
// lives in row 4 (elements 12..14). Shaders receive them in this layout.
#pragma once
#include <cmath>
#include <cstdint>

struct Vector2 {
    float x = 0, y = 0;
    Vector2() = default;
    Vector2(float x_, float y_) : x(x_), y(y_) {}
    Vector2 operator-(const Vector2& b) const { return {x - b.x, y - b.y}; }
    Vector2& operator-=(const Vector2& b) {
        x -= b.x;
        y -= b.y;
        return *this;
    }
    Vector2 operator*(float s) const { return {x * s, y * s}; }
};

inline float Distance(const Vector2& a, const Vector2& b) {
    float dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

struct Vector3 {
    float x = 0, y = 0, z = 0;
    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vector3 operator-() const { return {-x, -y, -z}; }
    Vector3 operator+(const Vector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vector3 operator-(const Vector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vector3& operator+=(const Vector3& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    // Scales to unit length and returns the former length. Vectors not longer
    // than the smallest normal float are left alone and report 0.
    float Normalize();
};

inline float DistanceSq(const Vector3& a, const Vector3& b) {
    float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}
inline Vector3 Lerp(const Vector3& a, const Vector3& b, float t) { return a + (b - a) * t; }
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

struct Vector4 {
    float x = 0, y = 0, z = 0, w = 0;
    Vector4() = default;
    Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

struct Matrix {
    float m[16] = {};  // row-major: m[row * 4 + column]
    Matrix() = default;
    Matrix(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31, float m32,
           float m33, float m34, float m41, float m42, float m43, float m44);
    float* Data() { return m; }
    const float* Data() const { return m; }
    float& operator()(int row, int col) { return m[row * 4 + col]; }
    float operator()(int row, int col) const { return m[row * 4 + col]; }

    Vector3 GetTranslation() const { return {m[12], m[13], m[14]}; }
    void SetTranslation(const Vector3& v) {
        m[12] = v.x;
        m[13] = v.y;
        m[14] = v.z;
        m[15] = 1.0f;
    }
};

// Shared constants, never changed after start-up.
extern const Vector3 kZero3, kAxisX, kAxisY, kAxisZ;
extern const Vector4 kZero4, kOne4, kHalf4;
extern const Matrix kIdentity;

Matrix MatrixTranslation(float x, float y, float z);
inline Matrix MatrixTranslation(const Vector3& v) { return MatrixTranslation(v.x, v.y, v.z); }
Matrix MatrixScaling(float sx, float sy, float sz);
// These turn by -angle in the usual right-handed sense (they are the
// transposes of the common row-vector rotations); effects spin with them.
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
// a = a x b. The product goes through a temporary, so b may be a itself.
void MatrixMultiply(Matrix& a, const Matrix& b);
inline Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r = a;
    MatrixMultiply(r, b);
    return r;
}
// Inverse of the upper 3x3 (translation dropped). A singular matrix
// (|det| <= 1e-5) comes back as its unscaled adjugate.
Matrix MatrixInverseAffine(const Matrix& m, float* determinant = nullptr);
// Right-handed look-at view matrix.
Matrix MatrixLookAt(const Vector3& eye, const Vector3& at, const Vector3& up);
// Right-handed perspective with depth 0..1 (near..far).
Matrix MatrixPerspectiveFovRH(float fovY, float aspect, float zNear, float zFar);
// Right-handed orthographic projection over a box, depth 0..1.
Matrix MatrixOrthoOffCenterRH(float left, float right, float bottom, float top, float zNear, float zFar);

// Row vector times matrix (w = 1), the transform the shaders apply.
Vector4 Transform(const Vector3& p, const Matrix& m);

// The axis-aligned box around the eight corners of lo..hi under `m`.
void TransformBox(const Vector3& lo, const Vector3& hi, const Matrix& m, Vector3* outLo, Vector3* outHi);
// True when the box lo..hi lies wholly outside one of the four planes
// through the eye and an edge of the picture under `viewProj` (left, right,
// top, bottom): nothing of it can be drawn. Near and far are not tested.
bool BoxOutsideView(const Vector3& lo, const Vector3& hi, const Matrix& viewProj);

// 0xAARRGGBB from four floats in 0..1: each times 255, truncated, low 8 bits kept.
uint32_t ColourFromFloats(float a, float r, float g, float b);

// A level of 0..1 as a byte (fade overlays, alphas): level x 255, truncated,
// and held at 0 below (NaN too) and at 255 above, so it never wraps.
inline uint8_t LevelToByte(float level) {
    float v = level * 255.0f;
    if (!(v > 0.0f)) return 0;
    return v >= 255.0f ? 255 : static_cast<uint8_t>(v);
}
