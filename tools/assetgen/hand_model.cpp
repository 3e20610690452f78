// The hand: a relaxed right hand held up, palm towards -z, thumb on the +x
// side, wrist near y = 0 and the middle fingertip near y = 1.8. Fingers are
// chains of tapered capsules bent slightly towards the palm. Nails and a
// band round the wrist are the red second material.
#include <array>

#include "model.h"

namespace {

struct Finger {
    std::array<V3, 4> joint;  // base, two knuckles, tip
    float r0, r1;             // radius at base and tip
    V3 nailCentre, nailAxis, nailUp;
    float nailLength;
};

Finger MakeFinger(V3 base, float splayDeg, std::array<float, 3> len, std::array<float, 3> curlDeg, float r0, float r1)
{
    Finger f;
    f.r0 = r0;
    f.r1 = r1;
    f.joint[0] = base;
    const float splay = splayDeg * 3.1415927f / 180.0f;
    float curl = 0;
    V3 up = {0, 0, 1};
    for (int s = 0; s < 3; ++s) {
        curl += curlDeg[s] * 3.1415927f / 180.0f;
        // Direction: up the y axis, leaning out by the splay, curling towards -z.
        const V3 dir = {std::sin(splay) * std::cos(curl), std::cos(splay) * std::cos(curl), -std::sin(curl)};
        f.joint[s + 1] = f.joint[s] + dir * len[s];
        up = Normalize(V3{0, std::sin(curl), std::cos(curl)});
    }
    const V3 axis = Normalize(f.joint[3] - f.joint[2]);
    const float rTip = r1;
    f.nailAxis = axis;
    f.nailUp = Normalize(up - axis * Dot(up, axis));
    f.nailLength = len[2] * 0.62f;
    f.nailCentre = f.joint[2] + axis * (len[2] * 0.56f) + f.nailUp * (rTip * 0.72f);
    return f;
}

const std::array<Finger, 5>& Fingers()
{
    static const std::array<Finger, 5> fingers = {
        // Thumb first: it leaves the palm low, reaching out and forward.
        Finger{{V3{0.30f, 0.20f, -0.05f}, V3{0.50f, 0.44f, -0.20f}, V3{0.61f, 0.67f, -0.31f}, V3{0.66f, 0.88f, -0.38f}},
               0.115f, 0.078f, {}, {}, {}, 0},
        MakeFinger({0.27f, 0.92f, 0.0f}, 6, {0.40f, 0.24f, 0.19f}, {8, 14, 10}, 0.088f, 0.068f),
        MakeFinger({0.085f, 0.96f, 0.0f}, 1, {0.44f, 0.28f, 0.21f}, {8, 15, 10}, 0.09f, 0.07f),
        MakeFinger({-0.10f, 0.93f, 0.0f}, -4, {0.41f, 0.26f, 0.2f}, {9, 16, 11}, 0.085f, 0.066f),
        MakeFinger({-0.28f, 0.86f, 0.0f}, -11, {0.31f, 0.2f, 0.17f}, {11, 18, 12}, 0.074f, 0.058f),
    };
    return fingers;
}

Finger ThumbWithNail()
{
    Finger t = Fingers()[0];
    const V3 axis = Normalize(t.joint[3] - t.joint[2]);
    // The thumbnail faces away from the palm, out and back.
    const V3 out = Normalize(V3{0.55f, -0.1f, 0.85f});
    t.nailAxis = axis;
    t.nailUp = Normalize(out - axis * Dot(out, axis));
    t.nailLength = Length(t.joint[3] - t.joint[2]) * 0.62f;
    t.nailCentre = t.joint[2] + axis * (Length(t.joint[3] - t.joint[2]) * 0.56f) + t.nailUp * (t.r1 * 0.72f);
    return t;
}

float FingerBody(const Finger& f, V3 p)
{
    float d = 1e9f;
    for (int s = 0; s < 3; ++s) {
        const float ra = f.r0 + (f.r1 - f.r0) * (s / 3.0f), rb = f.r0 + (f.r1 - f.r0) * ((s + 1) / 3.0f);
        d = SMin(d, SdTaper(p, f.joint[s], f.joint[s + 1], ra, rb), 0.025f);
        // Knuckle pads make the joints read.
        if (s > 0)
            d = SMin(d, SdSphere(p, f.joint[s], ra * 1.04f), 0.03f);
    }
    return d;
}

float Nail(const Finger& f, V3 p)
{
    // A thin curved plate on the back of the last segment.
    const V3 q = p - f.nailCentre;
    const V3 side = Cross(f.nailAxis, f.nailUp);
    const V3 local = {Dot(q, side), Dot(q, f.nailUp), Dot(q, f.nailAxis)};
    const float w = f.r1 * 0.78f;
    return SdEllipsoid(local, {0, -w * 0.35f, 0}, {w, w * 0.55f, f.nailLength * 0.5f});
}

float Arm(V3 p)
{
    // Forearm and wrist, flattened front to back.
    V3 q = p;
    q.z *= 1.35f;
    return SdTaper(q, {0.02f, -1.5f, 0.02f}, {0.02f, 0.02f, 0.0f}, 0.31f, 0.25f) / 1.35f;
}

float Palm(V3 p)
{
    float d = SdRoundBox(p, {0.01f, 0.50f, 0.0f}, {0.35f, 0.40f, 0.1f}, 0.09f);
    d = SMin(d, SdEllipsoid(p, {0.24f, 0.30f, -0.07f}, {0.19f, 0.26f, 0.13f}), 0.07f);   // thumb ball
    d = SMin(d, SdEllipsoid(p, {-0.27f, 0.36f, -0.05f}, {0.13f, 0.30f, 0.11f}), 0.06f);  // outer pad
    // Knuckles on the back.
    for (int i = 1; i < 5; ++i)
        d = SMin(d, SdSphere(p, Fingers()[i].joint[0] + V3{0, -0.02f, 0.02f}, Fingers()[i].r0 * 1.05f), 0.06f);
    return SMin(d, Arm(p), 0.12f);
}

float Band(V3 p)
{
    // A raised band that follows the wrist's own shape.
    return SMax(Arm(p) - 0.018f, std::fabs(p.y + 0.26f) - 0.045f, 0.01f);
}

float Body(V3 p, int& partOut)
{
    float best = Palm(p);
    int part = 0;
    float d = best;
    for (int i = 0; i < 5; ++i) {
        const float f = FingerBody(i == 0 ? ThumbWithNail() : Fingers()[i], p);
        if (f < best)
            best = f, part = 1 + i;
        d = SMin(d, f, 0.075f);
    }
    partOut = part;
    return d;
}

float Nails(V3 p, int& which)
{
    float best = 1e9f;
    which = 0;
    for (int i = 0; i < 5; ++i) {
        const float n = Nail(i == 0 ? ThumbWithNail() : Fingers()[i], p);
        if (n < best)
            best = n, which = i;
    }
    return best;
}

// Closest point on a finger's joint chain: arc length along it (extended
// past the ends) and the angle round it.
void FingerCoords(const Finger& f, V3 p, float& along, float& angle)
{
    float bestD = 1e9f, acc = 0, bestAlong = 0;
    V3 bestDir = {0, 1, 0}, bestPoint;
    for (int s = 0; s < 3; ++s) {
        const V3 a = f.joint[s], b = f.joint[s + 1];
        const V3 ab = b - a;
        const float len = Length(ab);
        float t = Dot(p - a, ab) / (len * len);
        if (s > 0) t = std::max(t, 0.0f);
        if (s < 2) t = std::min(t, 1.0f);
        const V3 c = a + ab * t;
        const float d = Length(p - c);
        if (d < bestD)
            bestD = d, bestAlong = acc + t * len, bestDir = ab * (1.0f / len), bestPoint = c;
        acc += len;
    }
    along = bestAlong;
    const V3 ref = Normalize(V3{0, 0, 1} - bestDir * bestDir.z);
    const V3 side = Cross(bestDir, ref);
    const V3 q = p - bestPoint;
    angle = std::atan2(Dot(q, side), Dot(q, ref));
}

float FingerLength(const Finger& f)
{
    return Length(f.joint[1] - f.joint[0]) + Length(f.joint[2] - f.joint[1]) + Length(f.joint[3] - f.joint[2]);
}

constexpr float kHandScale = 1.15f;

}  // namespace

Model HandModel()
{
    Model m;
    m.name = "hand";
    m.boxMin = {-0.6f, -1.56f, -0.72f};
    m.boxMax = {0.95f, 2.22f, 0.4f};
    m.cell = 0.0195f;
    m.aoDistance = 0.34f;
    m.aoSize = 512;
    // Chart 0: arm and palm, unwrapped round the arm's axis. Charts 1-5:
    // thumb and fingers, unwrapped round their joint chains.
    m.charts = {{4, 4, 290, 504}};
    for (int i = 0; i < 5; ++i)
        m.charts.push_back({306 + (i % 2) * 104, 4 + (i / 2) * 170, 94, 162});
    // The hand is modelled at life size for a head of the same scale and
    // drawn a little larger, so it fills the shots' frames.
    m.distance = [](V3 world) {
        const V3 p = world * (1.0f / kHandScale);
        int part, nail;
        const float d = std::min(std::min(Body(p, part), Nails(p, nail)), Band(p)) * kHandScale;
        return SMax(d, -(world.y + 1.5f), 0.03f);  // the forearm ends in a flat cut
    };
    m.material = [](V3 p) {
        p = p * (1.0f / kHandScale);
        int part, nail;
        const float body = Body(p, part);
        return (Nails(p, nail) <= body + 0.001f || Band(p) <= body + 0.001f) ? 1 : 0;
    };
    m.part = [](V3 p, V3) {
        p = p * (1.0f / kHandScale);
        int part, nail;
        const float body = Body(p, part);
        if (Nails(p, nail) <= body + 0.001f)
            return 1 + nail;
        return part;
    };
    m.unwrap = [](int part, V3 p, V3, float& u, float& v) {
        p = p * (1.0f / kHandScale);
        if (part == 0) {
            u = std::atan2(p.z, p.x - 0.02f) / 6.2831853f + 0.5f;
            v = (1.12f - p.y) / (1.12f + 1.45f);
            return;
        }
        const Finger f = part == 1 ? ThumbWithNail() : Fingers()[part - 1];
        float along, angle;
        FingerCoords(f, p, along, angle);
        u = angle / 6.2831853f + 0.5f;
        const float start = -0.12f, end = FingerLength(f) + f.r1 + 0.02f;
        v = 1.0f - (along - start) / (end - start);  // fingertip at the top
    };
    return m;
}
