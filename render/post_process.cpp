#include "render/post_process.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/builtin_effects.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"

namespace PostProcessChain {

namespace {

struct Chain {
    float width = 0, height = 0;
    Texture* scene = nullptr;
    Texture* source = nullptr;  // where the scene was drawn: the scene target or the effect's own
    Texture* pingPong[2] = {};
    // How much of each ping-pong target may hold something other than 0,
    // from its top-left corner: regions are anchored there, and the rest of
    // the target is known to be clear.
    int written[2][2] = {};
    QuadVertex quad[4] = {};
    Gpu::Surface* savedTarget = nullptr;  // referenced from BeginScene to Present
    int passCounter = 0;
    bool firstPass = true;
    float extentU = 1, extentV = 1;
    Gpu::Effect* copyEffect = nullptr;
    Gpu::Effect* halfReduction = nullptr;
    Gpu::VertexDeclaration* declaration = nullptr;
};
Chain s_chain;

// The quad over w x h pixels from the top-left corner: the half-pixel shift
// maps texels exactly onto pixels.
void RegionQuad(float w, float h) {
    QuadVertex* q = s_chain.quad;
    q[0] = {-0.5f, -0.5f, 0.5f, 1, 0, 0, 0, 0};
    q[1] = {w - 0.5f, -0.5f, 0.5f, 1, 1, 0, 1, 0};
    q[2] = {-0.5f, h - 0.5f, 0.5f, 1, 0, 1, 0, 1};
    q[3] = {w - 0.5f, h - 0.5f, 0.5f, 1, 1, 1, 1, 1};
}

void FullSizeQuad() { RegionQuad(s_chain.width, s_chain.height); }

void ReleaseTarget(Texture*& target) {
    if (!target) return;
    target->Release();
    delete target;
    target = nullptr;
}

// The chain runs only when all three targets exist; otherwise an effect
// draws straight onto the current target and its passes are skipped.
bool HaveTargets() {
    return s_chain.scene && s_chain.scene->surface && s_chain.pingPong[0] && s_chain.pingPong[0]->surface &&
           s_chain.pingPong[1] && s_chain.pingPong[1]->surface;
}

// Where the scene the passes start from was drawn: the effect's own target
// named at BeginScene, else the scene target.
Texture* SceneSource() { return s_chain.source ? s_chain.source : s_chain.scene; }

}  // namespace

void Create() {
    const DisplaySettings& display = DisplaySettings::Get();
    CreateTargets(display.windowWidth, display.windowHeight);
    s_chain.copyEffect =
        Gpu::CreateEffect(kCopyEffectSource, std::strlen(kCopyEffectSource), "the built-in copy effect");
    s_chain.halfReduction =
        Gpu::CreateEffect(kHalfReductionSource, std::strlen(kHalfReductionSource), "the built-in half-size reduction");
    const Gpu::VertexElement elements[] = {
        {0, Gpu::DeclType::Float4, Gpu::DeclUsage::PositionT, 0},
        {16, Gpu::DeclType::Float2, Gpu::DeclUsage::TexCoord, 0},
        {24, Gpu::DeclType::Float2, Gpu::DeclUsage::TexCoord, 1},
    };
    s_chain.declaration = Gpu::CreateVertexDeclaration(elements, 3);
}

void CreateTargets(float width, float height) {
    s_chain.width = width;
    s_chain.height = height;
    FullSizeQuad();
    ReleaseTarget(s_chain.scene);
    ReleaseTarget(s_chain.pingPong[0]);
    ReleaseTarget(s_chain.pingPong[1]);
    s_chain.source = nullptr;
    unsigned w = static_cast<unsigned>(width), h = static_cast<unsigned>(height);
    s_chain.scene = Texture::CreateRenderTarget(w, h, Gpu::kFormatA8R8G8B8);
    s_chain.pingPong[0] = Texture::CreateRenderTarget(w, h, Gpu::kFormatA8R8G8B8);
    s_chain.pingPong[1] = Texture::CreateRenderTarget(w, h, Gpu::kFormatA8R8G8B8);
    for (auto& extent : s_chain.written) {
        extent[0] = static_cast<int>(w);
        extent[1] = static_cast<int>(h);
    }
}

void Release() {
    Gpu::ReleaseEffect(s_chain.copyEffect);
    Gpu::ReleaseEffect(s_chain.halfReduction);
    Gpu::ReleaseVertexDeclaration(s_chain.declaration);
    Gpu::Release(s_chain.savedTarget);
    ReleaseTarget(s_chain.scene);
    ReleaseTarget(s_chain.pingPong[0]);
    ReleaseTarget(s_chain.pingPong[1]);
    s_chain = Chain{};
}

void BeginScene(uint32_t clearColour, Texture* target) {
    Gpu::Release(s_chain.savedTarget);  // a scene begun twice without Present
    s_chain.savedTarget = Gpu::GetRenderTarget();
    if (!HaveTargets()) return;
    const bool own =
        target && target->surface && target->width <= s_chain.scene->width && target->height <= s_chain.scene->height;
    s_chain.source = own ? target : s_chain.scene;
    Gpu::SetRenderTarget(s_chain.source->surface);
    Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, clearColour, 1.0f);
}

void EndScene() {
    if (s_chain.savedTarget) Gpu::SetRenderTarget(s_chain.savedTarget);
}

void BeginPasses() {
    s_chain.passCounter = 0;
    s_chain.firstPass = true;
    s_chain.extentU = s_chain.extentV = 1.0f;
    if (const Texture* scene = SceneSource())
        RegionQuad(static_cast<float>(scene->width), static_cast<float>(scene->height));
    else
        FullSizeQuad();
}

namespace {

// The pass's scale annotations.
void PassScale(Gpu::Effect* effect, unsigned pass, float* scaleX, float* scaleY) {
    *scaleX = *scaleY = 1.0f;
    effect->GetPassAnnotation(pass, "fScaleX", scaleX);
    effect->GetPassAnnotation(pass, "fScaleY", scaleY);
}

// The quad of the next pass: it reads only the part of the source the
// previous pass wrote, and its region is resized, anchored at the top-left
// corner. What it writes is then that region's share of a ping-pong target.
void StepRegion(float scaleX, float scaleY) {
    Chain& c = s_chain;
    c.quad[1].u0 = c.quad[3].u0 = c.extentU;
    c.quad[2].v0 = c.quad[3].v0 = c.extentV;
    if (scaleX != 1.0f) c.quad[1].x = c.quad[3].x = (c.quad[1].x + 0.5f) * scaleX - 0.5f;
    if (scaleY != 1.0f) c.quad[2].y = c.quad[3].y = (c.quad[2].y + 0.5f) * scaleY - 0.5f;
    c.extentU = (c.quad[1].x + 0.5f) / c.width;
    c.extentV = (c.quad[2].y + 0.5f) / c.height;
}

// States, technique and inputs of a pass effect; the source is the scene for
// the first pass, the previous result after it.
void BindPassInputs(Gpu::Effect* effect) {
    Chain& c = s_chain;
    Gpu::SetVertexDeclaration(c.declaration);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
    effect->SetTechnique("PostProcess");
    Texture* scene = SceneSource();
    Texture* source = c.firstPass ? scene : c.pingPong[c.passCounter % 2];
    c.firstPass = false;
    // What every pass may read; a pass file declares only what it uses.
    effect->SetTexture("g_txSrcColor", source->texture);
    if (effect->HasParameter("g_txSceneColor")) effect->SetTexture("g_txSceneColor", scene->texture);
    if (effect->HasParameter("g_PixelRatio"))
        effect->SetFloatArray("g_PixelRatio", GraphicsDevice::View().pixelRatio, 2);
}

// Whether the effect, as the last of the chain, can draw straight onto the
// remembered target with the same pixels as ApplyEffect and Present's copy
// give: one pass that fills the whole ping-pong target (so the copy reads
// all of it, texel for pixel) and leaves blending and the alpha test to the
// states the copy runs with. Depth is left out, as the copy leaves it: the
// pass would have tested against a ping-pong target's depth, which only
// ever holds 1 or the passes' own 0.5, so a less-equal test passes all.
bool CanDrawStraight(Gpu::Effect* effect) {
    Chain& c = s_chain;
    if (!effect || !HaveTargets() || !c.declaration || !c.savedTarget || !c.copyEffect) return false;
    if (!effect->SetTechnique("PostProcess") || effect->PassCount() != 1) return false;
    using Gpu::RenderState;
    for (RenderState state : {Gpu::kRsAlphaBlendEnable, Gpu::kRsSrcBlend, Gpu::kRsDestBlend, Gpu::kRsBlendOp,
                              Gpu::kRsAlphaTestEnable, Gpu::kRsAlphaFunc, Gpu::kRsAlphaRef, Gpu::kRsZFunc}) {
        if (effect->PassSetsState(0, state)) return false;
    }
    const uint32_t zFunc = Gpu::GetRenderState(Gpu::kRsZFunc);
    if (Gpu::GetRenderState(Gpu::kRsZEnable) && zFunc != Gpu::kCmpLessEqual && zFunc != Gpu::kCmpAlways) return false;
    float scaleX, scaleY;
    PassScale(effect, 0, &scaleX, &scaleY);
    return c.extentU * scaleX == 1.0f && c.extentV * scaleY == 1.0f &&
           (c.quad[1].x + 0.5f) * scaleX - 0.5f == c.width - 0.5f &&
           (c.quad[2].y + 0.5f) * scaleY - 0.5f == c.height - 0.5f;
}

}  // namespace

void ApplyEffect(Gpu::Effect* effect) {
    if (!effect || !HaveTargets() || !s_chain.declaration) return;
    Chain& c = s_chain;
    BindPassInputs(effect);
    int d = (c.passCounter + 1) % 2;
    Texture* destination = c.pingPong[d];

    unsigned passes = effect->Begin();
    for (unsigned i = 0; i < passes; ++i) {
        float scaleX, scaleY;
        PassScale(effect, i, &scaleX, &scaleY);
        StepRegion(scaleX, scaleY);
        // The whole destination is cleared: outside what it last held it
        // already is, so only that part needs the work.
        Gpu::SetRenderTarget(destination->surface);
        const Gpu::ClearRect dirty{0, 0, c.written[d][0], c.written[d][1]};
        Gpu::Clear(Gpu::kClearTarget, 0x00000000, 0.0f, &dirty);
        effect->BeginPass(i);
        Gpu::DrawPrimitiveUP(Gpu::kTriangleStrip, 2, c.quad, sizeof(QuadVertex));
        effect->EndPass();
        // Pixels whose centres lie left of and above vertex 3, with one to
        // spare, within the target.
        c.written[d][0] =
            std::clamp(static_cast<int>(std::ceil(c.quad[3].x)) + 1, 0, static_cast<int>(destination->width));
        c.written[d][1] =
            std::clamp(static_cast<int>(std::ceil(c.quad[3].y)) + 1, 0, static_cast<int>(destination->height));
    }
    effect->End();
    ++c.passCounter;  // once per effect: the result is in pingPong[passCounter % 2]
}

void ApplyHalfReduction() { ApplyEffect(s_chain.halfReduction); }

void Present() {
    Chain& c = s_chain;
    if (c.savedTarget) {
        Gpu::SetRenderTarget(c.savedTarget);
        Gpu::Release(c.savedTarget);
        c.savedTarget = nullptr;
    }
    if (!HaveTargets() || !c.copyEffect) return;
    c.copyEffect->SetTechnique("RenderNoLight");
    c.copyEffect->SetTexture("g_Texture", c.pingPong[c.passCounter % 2]->texture);
    const Vector2 position(0.0f, 0.0f), size(c.width, c.height);
    Renderer2D::DrawEffectQuad(c.copyEffect, &position, &size, 0xFFFFFFFF);
    c.source = nullptr;  // the next scene says again where it draws
}

void ApplyLastEffect(Gpu::Effect* effect) {
    Chain& c = s_chain;
    if (!CanDrawStraight(effect)) {
        ApplyEffect(effect);
        Present();
        return;
    }
    BindPassInputs(effect);
    float scaleX, scaleY;
    PassScale(effect, 0, &scaleX, &scaleY);
    StepRegion(scaleX, scaleY);
    Gpu::SetRenderTarget(c.savedTarget);
    Gpu::Release(c.savedTarget);
    c.savedTarget = nullptr;
    // Where Present's copy puts the pass's pixels: its quad starts half a
    // pixel in, so ping-pong texel (x, y) lands on (x + 1, y + 1).
    QuadVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i] = c.quad[i];
        quad[i].x += 1.0f;
        quad[i].y += 1.0f;
    }
    const uint32_t zEnable = Gpu::GetRenderState(Gpu::kRsZEnable);
    Gpu::ForEachPass(effect, [&] {
        Gpu::SetRenderState(Gpu::kRsZEnable, 0);
        Gpu::DrawPrimitiveUP(Gpu::kTriangleStrip, 2, quad, sizeof(QuadVertex));
    });
    Gpu::SetRenderState(Gpu::kRsZEnable, zEnable);
    ++c.passCounter;
    c.source = nullptr;
}

void BloomAndPresent(float brightStrength) {
    EndScene();
    if (Gpu::Effect* bright = GetEffect(kFxBrightPass)) bright->SetFloat("g_Strength", brightStrength);
    BeginPasses();
    const int chain[] = {kFxDownFilter4, kFxDownFilter4, kFxDownFilter4, kFxBrightPass,
                         kFxBloomH,      kFxBloomV,      kFxUpFilter4,   kFxUpFilter4};
    for (int id : chain) ApplyEffect(GetEffect(id));
    ApplyLastEffect(GetEffect(kFxCombine4));
}

const QuadVertex* Quad() { return s_chain.quad; }
int PassCounter() { return s_chain.passCounter; }
float TexExtentU() { return s_chain.extentU; }
float TexExtentV() { return s_chain.extentV; }
Texture* SceneTarget() { return s_chain.scene; }
Texture* PingPongTarget(int index) { return index == 0 || index == 1 ? s_chain.pingPong[index] : nullptr; }

}  // namespace PostProcessChain
