// The effect texts built into the program: the 2D effect every immediate
// drawing operation uses, and the copy effect and half-size reduction of
// the post-processing chain.
#pragma once

extern const char kEffect2DSource[];
extern const char kCopyEffectSource[];
extern const char kHalfReductionSource[];
