// CHeadMesh and CHandMesh: the head and hand shots between the scroller's
// passages. Each new shot takes its class's next camera move and the next
// overlay of the shared cycle; everything else is CBaseMesh's.
#pragma once
#include "effects/base_mesh.h"

// The three camera moves of each class.
extern const CameraMove kHeadCameraMoves[3];
extern const CameraMove kHandCameraMoves[3];

class CHeadMesh : public CBaseMesh {
public:
    CHeadMesh();
};

class CHandMesh : public CBaseMesh {
public:
    CHandMesh();
};
