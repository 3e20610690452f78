// Effect files (GLSL with the FX-like layer of platform/fx_parser.h) from
// the executable's resources.
#pragma once
#include "platform/gpu.h"

// The effect in RCDATA resource `resourceId`; `name` (its file-like name)
// labels messages, or the resource's own name when null. Null, with one line
// on stderr, when it is missing or does not compile.
Gpu::Effect* LoadEffectResource(int resourceId, const char* name);
