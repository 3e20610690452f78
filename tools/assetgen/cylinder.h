#pragma once
#include "mesher.h"

// The falling cylinder: radius 2 and height 3.2 model units, so at the
// show's 0.2 scale it is 0.8 across and two cylinders 1.5 apart never touch
// however they spin. The side carries the fun text once round (u = angle,
// v = 0 at the top); the caps sample the texture's flat border band.
MeshData MakeCylinderMesh();
