// CVoxelTest: one four-second shot of the voxel cloud. Each frame the 64
// moving balls are evaluated into the 32 float slices of VoxelResources,
// 32,768 point sprites (one per voxel) sized by that density draw the
// cluster's view-space normals into a target of half the picture's size, the
// post-processing chain halves that once more and lights it with the cube
// map (softening the normals first while key 1 has the blur on). The
// camera drifts from a random point outside the unit sphere towards
// another; an overlay lies on top, and the shot fades in and out through the
// fade overlay and darkens towards its end under a black quad.
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "timeline/effect.h"

class Camera;
namespace Gpu {
class Effect;
}

class CVoxelTest : public CEffect {
public:
    CVoxelTest();
    void Update(float dt) override;
    void Render() override;

    Vector3 eye;      // where the camera is
    Vector3 goalEye;  // where it drifts towards
    int overlayTextureId;

private:
    void DrawVoxelCloud(Gpu::Effect* voxel, const Camera& camera);
};

// The fade overlay's level: up from 255 over the first half second of a
// shot's lifetime and back to 255 over the last, 255 once it has run out.
uint8_t VoxelShortFade(float timeLeft, float duration);
// The black quad's alpha: within 4 s of the end it grows from 0 to 255 (so a
// 4 s shot darkens all the way through); within 4 s of the start of a longer
// shot it falls from 255 to 0.
uint8_t VoxelLongFade(float timeLeft, float duration);
// The ball field into the current target, the 32 x 1024 stack of the slices
// (cleared to 0 beforehand): half a slice at a time, each with only the
// balls that reach it (BallsReachingRows), for the densities of all 64 at
// under half the work. Leaves the scissor test as it found it.
void EvaluateVoxelField(Gpu::Effect* voxel, const Vector3* balls, float level);
// The 64 ball centres at `time` seconds of the frame clock, each coordinate
// within 0..0.75.
void ComputeVoxelBalls(float time, Vector3* balls);
