#include "effects/loading.h"

#include "assets/catalogue.h"
#include "assets/prefetch.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/frame_timer.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "timeline/active_effects.h"

CLoading::CLoading() {
    GraphicsDevice::SetFade(0);
    // Its own copies: the catalogue is still empty when the loading starts.
    // After a restart it holds both, and they are borrowed instead of read
    // again (which would take a frame of well over 50 ms).
    Texture* loadedPip = GetTexture(kTexLoadingPip);
    Texture* loadedBackground = GetTexture(kTexLoader);
    borrowed = loadedPip && loadedBackground;
    if (borrowed) {
        pip = loadedPip;
        background = loadedBackground;
        backgroundTaken = pipTaken = true;
    }
    TakePictures();
}

void CLoading::TakePictures() {
    // While the prefetcher is still decoding a picture the screen stays
    // black without it, rather than hold the first frame until it is done.
    if (!backgroundTaken && AssetPrefetch::IsDecoded(kTexLoader)) {
        background = Texture::FromResource(kTexLoader);
        backgroundTaken = true;
    }
    if (!pipTaken && AssetPrefetch::IsDecoded(kTexLoadingPip)) {
        pip = Texture::FromResource(kTexLoadingPip);
        pipTaken = true;
    }
}

CLoading::~CLoading() {
    if (borrowed) return;
    DeleteTexture(pip);
    DeleteTexture(background);
}

void CLoading::Finish() { finished = true; }

void CLoading::Update(float dt) {
    CEffect::Update(dt);  // the unlimited lifetime never runs out
    TakePictures();
    if (!finished) {
        // While the prefetcher is still decoding the next asset the frame
        // only draws: loading it now would hold the frame until it is done.
        if (NextAssetDecoded() && PreloadNextAsset(&progress)) Finish();
        // The time the asset took to load must not become the next frame's delta.
        FrameTimer::Start();
        return;
    }
    fade -= dt;
    if (fade < 0.0f && !retired) {
        retired = true;
        ActiveEffectList::Retire(this);
    }
}

int LoadingPipCount(float progress) {
    int n = static_cast<int>(progress * 12.0f);
    return n < 0 ? 0 : n > 12 ? 12 : n;
}

uint8_t LoadingFadeLevel(float fade) { return LevelToByte(1.0f - fade); }

void CLoading::Render() {
    GraphicsDevice::SetFade(0);
    GraphicsDevice::Clear(0x00000000);
    if (background) {
        const Vector2 origin(0.0f, 0.0f), size = background->GetSize();
        Renderer2D::DrawTexturedQuad(background, &origin, &size, 0xFFFFFFFF);
    }
    // A row growing to the right, 30 units apart: 12 pips reach from x 504 to 866.
    if (pip) {
        const Vector2 size = pip->GetSize();
        for (int i = 0, n = LoadingPipCount(progress); i < n; ++i) {
            const Vector2 position(504.0f + 30.0f * static_cast<float>(i), 406.0f);
            Renderer2D::DrawTexturedQuad(pip, &position, &size, 0xFFFFFFFF);
        }
    }
    GraphicsDevice::SetFade(LoadingFadeLevel(fade));
}

LUMIVANE_REGISTER_EFFECT(CLoading, CCLoading, kLoading);
