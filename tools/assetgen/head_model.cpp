// The head: a calm, sculpted bust built from smooth-blended ellipsoids and
// tapered capsules. World units (the file scales by 100); the face looks
// towards -z, the eyes sit at y = 0.55, the crown near y = 1.58 and the neck
// is cut at y = -1.25. The eyeballs are the red second material.
#include "model.h"

namespace {

const V3 kEyeL = {0.30f, 0.55f, -0.63f}, kEyeR = {-0.30f, 0.55f, -0.63f};
const float kEyeRadius = 0.13f;
const V3 kMapCentre = {0.0f, 0.45f, 0.05f};

float Ear(V3 p, float side)
{
    // A flattened shell, tilted back, with a hollow on its outer face.
    V3 q = p - V3{side * 0.70f, 0.50f, 0.14f};
    q = RotX(q, 0.22f);
    float d = SdEllipsoid(q, {0, 0, 0}, {0.075f, 0.27f, 0.17f});
    const float rim = SdEllipsoid(q, {side * 0.07f, 0.02f, -0.01f}, {0.035f, 0.16f, 0.09f});
    d = SMax(d, -rim, 0.03f);
    const float lobe = SdEllipsoid(q, {0, -0.2f, 0.02f}, {0.06f, 0.08f, 0.07f});
    return SMin(d, lobe, 0.04f);
}

// Everything but the ears.
float Core(V3 p)
{
    const float ax = std::fabs(p.x);
    const V3 m = {ax, p.y, p.z};  // mirrored: features defined on the +x side
    float d = SdEllipsoid(p, {0, 0.80f, 0.10f}, {0.71f, 0.80f, 0.88f});               // cranium
    d = SMin(d, SdEllipsoid(p, {0, 0.30f, -0.30f}, {0.56f, 0.62f, 0.52f}), 0.14f);    // face mass
    d = SMin(d, SdTaper(m, {0.48f, 0.28f, 0.08f}, {0.22f, -0.28f, -0.50f}, 0.13f, 0.11f), 0.12f);  // jaw
    d = SMin(d, SdEllipsoid(p, {0, -0.33f, -0.60f}, {0.21f, 0.17f, 0.17f}), 0.14f);   // chin
    d = SMin(d, SdEllipsoid(m, {0.40f, 0.40f, -0.52f}, {0.20f, 0.13f, 0.19f}), 0.10f);  // cheekbone
    d = SMin(d, SdCapsule(m, {0.42f, 0.70f, -0.62f}, {0.0f, 0.73f, -0.76f}, 0.08f), 0.08f);  // brow
    // Eye sockets, and an upper lid over the top of each eyeball.
    d = SMax(d, -SdEllipsoid(m, {0.30f, 0.56f, -0.78f}, {0.18f, 0.12f, 0.16f}), 0.05f);
    d = SMin(d, SdEllipsoid(m, {0.30f, 0.625f, -0.645f}, {0.15f, 0.05f, 0.125f}), 0.02f);
    // Nose: bridge, tip and wings.
    float nose = SdTaper(p, {0, 0.58f, -0.80f}, {0, 0.24f, -0.99f}, 0.06f, 0.085f);
    nose = SMin(nose, SdSphere(p, {0, 0.21f, -0.96f}, 0.095f), 0.06f);
    nose = SMin(nose, SdEllipsoid(m, {0.10f, 0.18f, -0.88f}, {0.075f, 0.065f, 0.07f}), 0.05f);
    d = SMin(d, nose, 0.08f);
    d = SMax(d, -SdSphere(m, {0.05f, 0.125f, -0.925f}, 0.025f), 0.015f);  // nostrils
    // Mouth: two lips and the line between them.
    d = SMin(d, SdEllipsoid(p, {0, -0.015f, -0.775f}, {0.19f, 0.045f, 0.07f}), 0.09f);
    d = SMin(d, SdEllipsoid(p, {0, -0.11f, -0.76f}, {0.16f, 0.045f, 0.07f}), 0.09f);
    d = SMax(d, -SdEllipsoid(p, {0, -0.062f, -0.86f}, {0.17f, 0.008f, 0.10f}), 0.01f);
    // Neck.
    const float neck = SdTaper(p, {0, 0.15f, 0.2f}, {0, -1.4f, 0.24f}, 0.46f, 0.52f);
    return SMin(d, neck, 0.18f);
}

float Skin(V3 p)
{
    float d = SMin(Core(p), Ear(p, 1.0f), 0.05f);
    d = SMin(d, Ear(p, -1.0f), 0.05f);
    return SMax(d, -(p.y + 1.25f), 0.04f);  // the neck is cut flat with a rounded edge
}

float Eyes(V3 p)
{
    return std::min(SdSphere(p, kEyeL, kEyeRadius), SdSphere(p, kEyeR, kEyeRadius));
}

}  // namespace

Model HeadModel()
{
    Model m;
    m.name = "head";
    m.boxMin = {-0.86f, -1.32f, -1.14f};
    m.boxMax = {0.86f, 1.66f, 1.06f};
    m.cell = 0.022f;
    m.aoDistance = 0.45f;
    m.aoSize = 1024;
    // Chart 0: the whole head unwrapped by longitude and latitude round a
    // centre in the skull. Charts 1-4: both faces of each ear, seen from the side.
    m.charts = {{0, 0, 1024, 760}, {8, 776, 240, 240}, {264, 776, 240, 240}, {520, 776, 240, 240}, {776, 776, 240, 240}};
    m.distance = [](V3 p) { return std::min(Skin(p), Eyes(p)); };
    m.material = [](V3 p) { return Eyes(p) <= Skin(p) + 0.002f ? 1 : 0; };
    m.part = [](V3 p, V3 n) {
        // Points where the ear's own shape is nearer than the rest of the
        // head use the ear's charts (its two faces would overlap in the
        // head's longitude and latitude).
        const float core = Core(p);
        for (int s = 0; s < 2; ++s) {
            const float side = s ? -1.0f : 1.0f;
            if (Ear(p, side) < core) {
                const bool outer = n.x * side > 0.0f;
                return 1 + s * 2 + (outer ? 0 : 1);
            }
        }
        return 0;
    };
    m.unwrap = [](int part, V3 p, V3, float& u, float& v) {
        if (part == 0) {
            const V3 d = p - kMapCentre;
            u = std::atan2(d.x, -d.z) / 6.2831853f + 0.5f;
            v = std::acos(std::clamp(d.y / std::max(Length(d), 1e-6f), -1.0f, 1.0f)) / 3.1415927f;
            return;
        }
        const float side = part <= 2 ? 1.0f : -1.0f;
        const bool outer = (part == 1 || part == 3);
        const float z = (p.z - 0.14f) / 0.62f + 0.5f;
        u = outer ? z : 1.0f - z;  // the inner face is seen mirrored
        (void)side;
        v = (0.86f - p.y) / 0.72f;
        // Ear charts do not wrap: keep u inside the chart's turn.
        u = std::clamp(u, 0.0f, 0.999f);
    };
    return m;
}
