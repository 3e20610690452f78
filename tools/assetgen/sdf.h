#pragma once
// Small vector type and signed-distance shapes the head and hand are
// modelled from (distances in world units; negative inside).
#include <algorithm>
#include <cmath>

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline V3 operator-(V3 a) { return {-a.x, -a.y, -a.z}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(V3 a) { return std::sqrt(Dot(a, a)); }
inline V3 Normalize(V3 a)
{
    const float l = Length(a);
    return l > 1e-20f ? a * (1.0f / l) : V3{0, 0, 0};
}
inline V3 Lerp(V3 a, V3 b, float t) { return a + (b - a) * t; }

inline float SdSphere(V3 p, V3 c, float r) { return Length(p - c) - r; }

// Ellipsoid: a close bound, exact on the axes (Quilez's k0 * (k0 - 1) / k1).
inline float SdEllipsoid(V3 p, V3 c, V3 r)
{
    const V3 q = p - c;
    const float k0 = Length({q.x / r.x, q.y / r.y, q.z / r.z});
    const float k1 = Length({q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)});
    return k1 > 1e-12f ? k0 * (k0 - 1.0f) / k1 : -std::min(r.x, std::min(r.y, r.z));
}

// Segment a-b with a radius blending from ra to rb (a tapered capsule).
inline float SdTaper(V3 p, V3 a, V3 b, float ra, float rb)
{
    const V3 ab = b - a;
    const float t = std::clamp(Dot(p - a, ab) / Dot(ab, ab), 0.0f, 1.0f);
    return Length(p - (a + ab * t)) - (ra + (rb - ra) * t);
}

inline float SdCapsule(V3 p, V3 a, V3 b, float r) { return SdTaper(p, a, b, r, r); }

inline float SdRoundBox(V3 p, V3 c, V3 half, float r)
{
    const V3 q = {std::fabs(p.x - c.x) - half.x + r, std::fabs(p.y - c.y) - half.y + r, std::fabs(p.z - c.z) - half.z + r};
    const V3 m = {std::max(q.x, 0.0f), std::max(q.y, 0.0f), std::max(q.z, 0.0f)};
    return Length(m) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0f) - r;
}

// Polynomial smooth minimum / maximum with blend radius k.
inline float SMin(float a, float b, float k)
{
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1.0f - h);
}
inline float SMax(float a, float b, float k) { return -SMin(-a, -b, k); }

// Rotation of p about the x axis (used to tilt ears and bend fingers).
inline V3 RotX(V3 p, float a)
{
    const float c = std::cos(a), s = std::sin(a);
    return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}
