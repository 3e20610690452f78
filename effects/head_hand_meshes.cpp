#include "effects/head_hand_meshes.h"

#include "assets/resource_ids.h"

// End eye, end target, start eye, start target, in world units.
const CameraMove kHeadCameraMoves[3] = {
    {{1.190495f, -0.011917f, -2.187366f},
     {0.694038f, 0.068412f, -1.323029f},
     {0.405927f, 0.571102f, -1.151742f},
     {0.22594f, 0.571518f, -0.168073f}},
    {{2.007254f, 1.846693f, -2.52433f},
     {1.360902f, 1.39416f, -1.909966f},
     {2.258186f, -0.683161f, 0.63423f},
     {1.460778f, -0.203366f, 0.268255f}},
    {{2.396076f, -0.741581f, 0.691191f},
     {1.685693f, -0.288327f, 0.152751f},
     {-1.30428f, 1.964177f, 1.603888f},
     {-0.760859f, -0.358655f, -1.022478f}},
};

const CameraMove kHandCameraMoves[3] = {
    {{0.832891f, 1.656873f, -0.125157f},
     {0.154025f, 0.968233f, -0.379947f},
     {1.189862f, 3.015625f, -0.145092f},
     {0.628706f, 2.291612f, -0.546227f}},
    {{-0.073162f, -0.603807f, -0.663247f},
     {0.145665f, 0.328389f, -0.374932f},
     {0.269123f, 1.589486f, -1.826891f},
     {0.358118f, 1.500005f, -0.834886f}},
    {{1.370278f, 1.649916f, 0.006764f},
     {0.527907f, 1.136118f, -0.155784f},
     {0.076886f, 2.224231f, 0.580937f},
     {0.003802f, 1.428875f, -0.020784f}},
};

CHeadMesh::CHeadMesh() {
    cameraPath = &kHeadCameraMoves[AdvancePathCounter(&HeadPathCounter)];
    overlayTextureId = TakeOverlay(&OverlayCounter);
    meshId = kMeshHead;
    aoTextureId = kTexHeadAO;
}

CHandMesh::CHandMesh() {
    cameraPath = &kHandCameraMoves[AdvancePathCounter(&HandPathCounter)];
    overlayTextureId = TakeOverlay(&OverlayCounter);
    meshId = kMeshHand;
    aoTextureId = kTexHandAO;
}

LUMIVANE_REGISTER_EFFECT(CHeadMesh, CCHeadMesh, kHeadMesh);
LUMIVANE_REGISTER_EFFECT(CHandMesh, CCHandMesh, kHandMesh);
