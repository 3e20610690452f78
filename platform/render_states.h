// The render states the device knows, in one table that the device (its
// defaults, which states exist) and the effect-file parser (the names passes
// use, and the names of their values) both read. Numbers are Direct3D 9's, so
// the show's numbers keep their meaning.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Gpu {

enum RenderState : uint32_t {
    kRsZEnable = 7,
    kRsZWriteEnable = 14,
    kRsAlphaTestEnable = 15,
    kRsSrcBlend = 19,
    kRsDestBlend = 20,
    kRsCullMode = 22,
    kRsZFunc = 23,
    kRsAlphaRef = 24,
    kRsAlphaFunc = 25,
    kRsAlphaBlendEnable = 27,
    kRsLighting = 137,
    kRsPointSpriteEnable = 156,
    kRsBlendOp = 171,
    kRsScissorTestEnable = 174
};
enum : uint32_t { kCullNone = 1, kCullCW = 2, kCullCCW = 3 };
enum : uint32_t {
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcColor = 3,
    kBlendInvSrcColor = 4,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
    kBlendDestAlpha = 7,
    kBlendInvDestAlpha = 8,
    kBlendDestColor = 9,
    kBlendInvDestColor = 10
};
enum : uint32_t { kBlendOpAdd = 1, kBlendOpSubtract = 2, kBlendOpRevSubtract = 3, kBlendOpMin = 4, kBlendOpMax = 5 };
enum : uint32_t {
    kCmpNever = 1,
    kCmpLess = 2,
    kCmpEqual = 3,
    kCmpLessEqual = 4,
    kCmpGreater = 5,
    kCmpNotEqual = 6,
    kCmpGreaterEqual = 7,
    kCmpAlways = 8
};

// What a state's value means, and so which names an effect file may give it
// (besides a plain number): true/false, or the names of one of the enums
// above (NONE/CW/CCW; ZERO, ONE, SRCALPHA, ...; ADD, ...; NEVER, LESS, ...).
enum class StateValueKind : uint8_t { Bool, Number, Cull, Blend, BlendOp, Compare };

struct RenderStateInfo {
    RenderState state;
    const char* name;       // as effect files write it, e.g. "ZWriteEnable"
    uint32_t defaultValue;  // Direct3D 9's default for a device with a depth buffer
    StateValueKind values;
};

extern const RenderStateInfo kRenderStates[];
extern const size_t kRenderStateCount;

// Null for a state the device does not know.
const RenderStateInfo* FindRenderState(uint32_t state);
// By the name an effect file uses, case-insensitive; null if unknown.
const RenderStateInfo* FindRenderStateByName(const char* name);
// A value name ("CCW", "srcalpha", "true") for a state of this kind; false
// when the name is not one of its values.
bool RenderStateValueByName(StateValueKind kind, const char* name, uint32_t* value);

}  // namespace Gpu
