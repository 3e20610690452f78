#include <gtest/gtest.h>

#include <cmath>

#include "core/maths.h"
#include "core/random.h"

static const float kPi = 3.14159265f;

static void ExpectVec(const Vector4& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(Maths, NormalizeReturnsLengthAndLeavesZeroAlone) {
    Vector3 zero(0, 0, 0);
    EXPECT_EQ(zero.Normalize(), 0.0f);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    // Below the smallest normal float the vector has no usable direction.
    Vector3 tiny(1e-39f, 0, 0);
    EXPECT_EQ(tiny.Normalize(), 0.0f);
    EXPECT_EQ(tiny.x, 1e-39f);
}

TEST(Maths, DistancesSquaredAndPlain) {
    EXPECT_FLOAT_EQ(DistanceSq(Vector3(1, 2, 3), Vector3(4, 6, 3)), 25.0f);
    EXPECT_FLOAT_EQ(Distance(Vector2(0, 0), Vector2(3, 4)), 5.0f);
}

TEST(Maths, RotationsTurnTheWayTheEffectsExpect) {
    // Row vectors times the matrix.
    ExpectVec(Transform(Vector3(1, 0, 0), MatrixRotationY(kPi / 2)), 0, 0, 1);
    ExpectVec(Transform(Vector3(0, 1, 0), MatrixRotationX(kPi / 2)), 0, 0, -1);
    Matrix y = MatrixRotationY(0.3f);
    EXPECT_FLOAT_EQ(y(0, 2), std::sin(0.3f));   // row 1 = (c, 0, s, 0)
    EXPECT_FLOAT_EQ(y(2, 0), -std::sin(0.3f));  // row 3 = (-s, 0, c, 0)
    Matrix x = MatrixRotationX(0.3f);
    EXPECT_FLOAT_EQ(x(1, 2), -std::sin(0.3f));  // row 2 = (0, c, -s, 0)
    EXPECT_FLOAT_EQ(x(2, 1), std::sin(0.3f));   // row 3 = (0, s, c, 0)
}

TEST(Maths, TranslationLivesInRowFour) {
    Matrix t = MatrixTranslation(1, 2, 3);
    ExpectVec(Transform(Vector3(1, 1, 1), t), 2, 3, 4);
    Matrix s = MatrixScaling(2, 3, 4);
    s.SetTranslation(Vector3(5, 6, 7));
    EXPECT_EQ(s.GetTranslation().y, 6.0f);
    EXPECT_EQ(s(3, 3), 1.0f);
    EXPECT_EQ(s(1, 1), 3.0f);
}

TEST(Maths, MultiplyMayAliasItsOperands) {
    Matrix a = MatrixRotationY(0.4f) * MatrixTranslation(1, 2, 3);
    Matrix expected = a * a;  // computed from two separate copies
    MatrixMultiply(a, a);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a.m[i], expected.m[i]) << i;
    // Order: scale, then rotate, then translate, for row vectors.
    Matrix srt = MatrixScaling(2, 2, 2) * MatrixRotationY(kPi / 2) * MatrixTranslation(10, 0, 0);
    ExpectVec(Transform(Vector3(1, 0, 0), srt), 10, 0, 2);
}

TEST(Maths, InverseAffine) {
    // A rotation's inverse is its transpose; translation is dropped.
    Matrix r = MatrixRotationX(0.7f) * MatrixRotationY(-1.1f);
    r.SetTranslation(Vector3(4, 5, 6));
    float det = 0;
    Matrix inv = MatrixInverseAffine(r, &det);
    EXPECT_NEAR(det, 1.0f, 1e-5f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(inv(i, j), r(j, i), 1e-6f);
    EXPECT_EQ(inv(3, 0), 0.0f);
    EXPECT_EQ(inv(3, 3), 1.0f);

    // A singular matrix comes back as its unscaled adjugate with determinant 0.
    Matrix singular(1, 2, 3, 0, 0, 0, 0, 0, 4, 5, 6, 0, 0, 0, 0, 1);
    Matrix adj = MatrixInverseAffine(singular, &det);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(adj(0, 1), 5.0f * 3.0f - 2.0f * 6.0f);  // m32 m13 - m12 m33
    EXPECT_EQ(adj(1, 1), 1.0f * 6.0f - 4.0f * 3.0f);  // m11 m33 - m31 m13
}

TEST(Maths, LookAtIsTheRightHandedView) {
    Matrix view = MatrixLookAt(Vector3(0, 0, 5), Vector3(0, 0, 0), Vector3(0, 1, 0));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(view(i, j), i == j ? 1.0f : 0.0f, 1e-6f);
    ExpectVec(Vector4(view(3, 0), view(3, 1), view(3, 2), 0), 0, 0, -5);
    EXPECT_EQ(view(3, 3), 1.0f);

    // Looking down -x from (3, 1, 0): the target is straight ahead (view -z).
    Matrix side = MatrixLookAt(Vector3(3, 1, 0), Vector3(0, 1, 0), Vector3(0, 1, 0));
    ExpectVec(Transform(Vector3(0, 1, 0), side), 0, 0, -3);

    // Degenerate input gives a degenerate matrix, not a crash or NaN.
    Matrix degenerate = MatrixLookAt(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(0, 1, 0));
    for (float f : degenerate.m) EXPECT_FALSE(std::isnan(f));
}

TEST(Maths, ProjectionsMapDepthToZeroOne) {
    Matrix p = MatrixPerspectiveFovRH(60.0f * 0.017453292f, 1280.0f / 720.0f, 0.1f, 1024.0f);
    Vector4 nearPoint = Transform(Vector3(0, 0, -0.1f), p);
    Vector4 farPoint = Transform(Vector3(0, 0, -1024.0f), p);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-5f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);

    // Pixels with the origin top-left map onto clip space -1..1, y up.
    Matrix o = MatrixOrthoOffCenterRH(0, 1280, 720, 0, 0, 1);
    ExpectVec(Transform(Vector3(0, 0, 0), o), -1, 1, 0);
    ExpectVec(Transform(Vector3(1280, 720, 0), o), 1, -1, 0);
}

// A camera at the origin looking down -z with a 90-degree view: at depth d
// the picture spans -d..d in y and -1.78 d..1.78 d in x.
TEST(Maths, BoxOutsideViewOnlyForBoxesBeyondAnEdge) {
    const Matrix viewProj = MatrixLookAt(Vector3(0, 0, 0), Vector3(0, 0, -1), Vector3(0, 1, 0)) *
                            MatrixPerspectiveFovRH(1.5707964f, 1280.0f / 720.0f, 0.1f, 100.0f);
    struct Case {
        const char* what;
        Vector3 lo, hi;
        bool outside;
    } cases[] = {
        {"in the middle", {-1, -1, -10.5f}, {1, 1, -9.5f}, false},
        {"across the left edge", {-19, -1, -10.5f}, {-17, 1, -9.5f}, false},
        {"beyond the left edge", {-25, -1, -10.5f}, {-20, 1, -9.5f}, true},
        {"beyond the right edge", {20, -1, -10.5f}, {25, 1, -9.5f}, true},
        {"beyond the top", {-1, 11, -10.5f}, {1, 12, -9.5f}, true},
        {"beyond the bottom", {-1, -12, -10.5f}, {1, -11, -9.5f}, true},
        {"just inside the top, within the margin", {-1, 9.95f, -10}, {1, 10.05f, -10}, false},
        {"round the eye", {-1, -1, -1}, {1, 1, 1}, false},
        {"wide, in front and behind", {-50, -1, -10}, {50, 1, 10}, false},
        {"behind the eye", {-1, -1, 5}, {1, 1, 9}, true},
        {"beyond the far plane, in line", {-1, -1, -500}, {1, 1, -400}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(BoxOutsideView(c.lo, c.hi, viewProj), c.outside) << c.what;

    // The box around a turned box holds all its corners.
    Vector3 lo, hi;
    TransformBox(Vector3(-1, -2, -3), Vector3(1, 2, 3), MatrixRotationY(1.5707964f) * MatrixTranslation(10, 0, 0), &lo,
                 &hi);
    ExpectVec(Vector4(lo.x, lo.y, lo.z, 0), 7, -2, -1);
    ExpectVec(Vector4(hi.x, hi.y, hi.z, 0), 13, 2, 1);
}

TEST(Maths, ColourFromFloatsTruncatesAndPacksArgb) {
    EXPECT_EQ(ColourFromFloats(0, 0, 0, 0), 0x00000000u);
    EXPECT_EQ(ColourFromFloats(1, 1, 1, 1), 0xFFFFFFFFu);
    // 0.5 * 255 = 127.5 truncates to 127 (0x7F); 0.8 * 255 = 204 (0xCC).
    EXPECT_EQ(ColourFromFloats(0.8f, 0.5f, 0.0f, 1.0f), 0xCC7F00FFu);
}

TEST(Maths, EffectRandomIsTheSharedLcg) {
    EffectRandom r;
    uint32_t state = 0x19730918u;
    for (int i = 0; i < 5; ++i) {
        state = state * 214013u + 2531011u;
        EXPECT_EQ(r.Random16(), state >> 16);
    }
    EffectRandom a, b;
    EXPECT_EQ(a.RandomRange(-2.0f, 2.0f), b.RandomRange(-2.0f, 2.0f));
    for (int i = 0; i < 1000; ++i) {
        float v = a.RandomRange(0.4f, 1.0f);
        EXPECT_GE(v, 0.4f);
        EXPECT_LE(v, 1.0f);
    }
}
