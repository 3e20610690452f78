// CBaseMesh: the short head and hand shots. A model lit with its
// ambient-occlusion map, a cube-map reflection and a specular highlight, its
// second subset in red, seen by a camera that glides along one of three
// stored moves with cosine easing while the model turns by up to one radian.
// The scene is bloomed; one of four HUD overlays is laid over it unbloomed,
// and the shot cuts in and out through a quarter-second black fade.
// CHeadMesh and CHandMesh (effects/head_hand_meshes.h) only pick the data.
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "timeline/effect.h"

// A stored camera move, in the order the tables list it.
struct CameraMove {
    Vector3 endEye, endTarget, startEye, startTarget;
};

// Which camera move the next head (hand) takes: each new shot adds one, and
// 3 wraps to 0, so the moves run 0, 1, 2, 0, ... per class. Both start at -1.
extern int HeadPathCounter;
extern int HandPathCounter;
// The overlay (119..122) the next shot of either class takes; shared, so the
// overlays run 119, 120, 121, 122, 119, ... over heads and hands together.
extern int OverlayCounter;
// A restart of the show (R) keeps all three; a jump back in time starts
// them over (timeline/show_state.h).

// True while the camera is flown by hand (the C key toggles it during a
// shot): the move stops, and so does the model's turn.
extern bool HeadFreeCamera;

// Adds one to a path counter, wrapping 3 (or anything beyond) to 0; returns
// the new value.
int AdvancePathCounter(int* counter);
// The overlay counter's value, then advances it past 122 back to 119.
int TakeOverlay(int* counter);

// Eye and target of a move at progress 0..1: the start at 0, the end at 1,
// eased in and out with k = (cos(progress x pi) + 1) / 2.
void CameraMoveAt(const CameraMove& move, float progress, Vector3* eye, Vector3* target);

// The black fade of a shot: opaque at the first and last frame, clear from
// 0.25 s after the start until 0.25 s before the end.
uint8_t MeshShotFade(float timeLeft, float duration);

class CBaseMesh : public CEffect {
public:
    void Update(float dt) override;
    void Render() override;

    int meshId = 0;            // catalogue id of the model
    int aoTextureId = 0;       // its ambient-occlusion texture
    int overlayTextureId = 0;  // 119..122
    float progress = 0.0f;     // of the camera move and the turn, 0..1
    const CameraMove* cameraPath = nullptr;

protected:
    CBaseMesh() = default;
};

// The model's placement: the file's units scaled back down by 100, turned
// about the vertical by `progress` radians.
Matrix MeshShotModel(float progress);
