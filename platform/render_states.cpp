#include "platform/render_states.h"

#include <strings.h>

namespace Gpu {

const RenderStateInfo kRenderStates[] = {
    {kRsZEnable, "ZEnable", 1, StateValueKind::Bool},
    {kRsZWriteEnable, "ZWriteEnable", 1, StateValueKind::Bool},
    {kRsAlphaTestEnable, "AlphaTestEnable", 0, StateValueKind::Bool},
    {kRsSrcBlend, "SrcBlend", kBlendOne, StateValueKind::Blend},
    {kRsDestBlend, "DestBlend", kBlendZero, StateValueKind::Blend},
    {kRsCullMode, "CullMode", kCullCCW, StateValueKind::Cull},
    {kRsZFunc, "ZFunc", kCmpLessEqual, StateValueKind::Compare},
    {kRsAlphaRef, "AlphaRef", 0, StateValueKind::Number},
    {kRsAlphaFunc, "AlphaFunc", kCmpAlways, StateValueKind::Compare},
    {kRsAlphaBlendEnable, "AlphaBlendEnable", 0, StateValueKind::Bool},
    {kRsLighting, "Lighting", 1, StateValueKind::Bool},
    {kRsPointSpriteEnable, "PointSpriteEnable", 0, StateValueKind::Bool},
    {kRsBlendOp, "BlendOp", kBlendOpAdd, StateValueKind::BlendOp},
    {kRsScissorTestEnable, "ScissorTestEnable", 0, StateValueKind::Bool},
};
const size_t kRenderStateCount = sizeof kRenderStates / sizeof kRenderStates[0];

namespace {

struct ValueName {
    StateValueKind kind;
    const char* name;
    uint32_t value;
};
const ValueName kValueNames[] = {
    {StateValueKind::Bool, "FALSE", 0},
    {StateValueKind::Bool, "TRUE", 1},
    {StateValueKind::Cull, "NONE", kCullNone},
    {StateValueKind::Cull, "CW", kCullCW},
    {StateValueKind::Cull, "CCW", kCullCCW},
    {StateValueKind::Blend, "ZERO", kBlendZero},
    {StateValueKind::Blend, "ONE", kBlendOne},
    {StateValueKind::Blend, "SRCCOLOR", kBlendSrcColor},
    {StateValueKind::Blend, "INVSRCCOLOR", kBlendInvSrcColor},
    {StateValueKind::Blend, "SRCALPHA", kBlendSrcAlpha},
    {StateValueKind::Blend, "INVSRCALPHA", kBlendInvSrcAlpha},
    {StateValueKind::Blend, "DESTALPHA", kBlendDestAlpha},
    {StateValueKind::Blend, "INVDESTALPHA", kBlendInvDestAlpha},
    {StateValueKind::Blend, "DESTCOLOR", kBlendDestColor},
    {StateValueKind::Blend, "INVDESTCOLOR", kBlendInvDestColor},
    {StateValueKind::BlendOp, "ADD", kBlendOpAdd},
    {StateValueKind::BlendOp, "SUBTRACT", kBlendOpSubtract},
    {StateValueKind::BlendOp, "REVSUBTRACT", kBlendOpRevSubtract},
    {StateValueKind::BlendOp, "MIN", kBlendOpMin},
    {StateValueKind::BlendOp, "MAX", kBlendOpMax},
    {StateValueKind::Compare, "NEVER", kCmpNever},
    {StateValueKind::Compare, "LESS", kCmpLess},
    {StateValueKind::Compare, "EQUAL", kCmpEqual},
    {StateValueKind::Compare, "LESSEQUAL", kCmpLessEqual},
    {StateValueKind::Compare, "GREATER", kCmpGreater},
    {StateValueKind::Compare, "NOTEQUAL", kCmpNotEqual},
    {StateValueKind::Compare, "GREATEREQUAL", kCmpGreaterEqual},
    {StateValueKind::Compare, "ALWAYS", kCmpAlways},
};

}  // namespace

const RenderStateInfo* FindRenderState(uint32_t state) {
    for (const RenderStateInfo& info : kRenderStates)
        if (info.state == state) return &info;
    return nullptr;
}

const RenderStateInfo* FindRenderStateByName(const char* name) {
    for (const RenderStateInfo& info : kRenderStates)
        if (strcasecmp(info.name, name) == 0) return &info;
    return nullptr;
}

bool RenderStateValueByName(StateValueKind kind, const char* name, uint32_t* value) {
    // true and false suit every state, as they always have in effect files.
    for (const ValueName& v : kValueNames) {
        if ((v.kind == kind || v.kind == StateValueKind::Bool) && strcasecmp(v.name, name) == 0) {
            *value = v.value;
            return true;
        }
    }
    return false;
}

}  // namespace Gpu
