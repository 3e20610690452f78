#pragma once
// The mesh shots' camera moves (end eye, end target, start eye, start
// target, world units), used to preview and check the framing.
#include "sdf.h"

struct CameraMove {
    V3 endEye, endTarget, startEye, startTarget;
};

extern const CameraMove kHeadMoves[3];
extern const CameraMove kHandMoves[3];

// Eye and target of a move at shot progress p (0..1), with the shots'
// cosine easing.
void CameraAt(const CameraMove& m, float progress, V3& eye, V3& target);
