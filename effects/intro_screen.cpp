#include "effects/intro_screen.h"

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "render/renderer_2d.h"
#include "timeline/show_state.h"

unsigned IntroScreenCounter = 0;
static ShowStateReset s_resetCounter([] { IntroScreenCounter = 0; });

// Mission, logo, end screen: 2048 x 1024 each, the picture in the top-left
// 1280 x 720.
static const int kPictures[3] = {kTexMission, kTexLogo, kTexEndScreen};

CIntroScreen::CIntroScreen() {
    picture = GetTexture(kPictures[IntroScreenCounter]);
    if (++IntroScreenCounter >= 3) IntroScreenCounter = 0;
}

uint8_t IntroFadeAlpha(float timeLeft, float duration) {
    if (timeLeft < 4.0f) return LevelToByte(1.0f - timeLeft * 0.25f);
    if (timeLeft > duration - 4.0f) return LevelToByte(1.0f - (duration - timeLeft) * 0.25f);
    return 0;
}

void IntroPictureRect(Vector2 textureSize, float timeLeft, float duration, bool zoom, Vector2* position,
                      Vector2* size) {
    if (!zoom) {
        *position = Vector2(0.0f, 0.0f);
        *size = textureSize;
        return;
    }
    const float s = static_cast<float>(0.5 * (1.0f - timeLeft / duration)) + 0.75f;
    *size = textureSize * s;
    *position = Vector2(640.0f, 360.0f) - Vector2(1280.0f * s, 720.0f * s) * 0.5f;
}

void CIntroScreen::Render() {
    if (picture) {
        Vector2 position, size;
        IntroPictureRect(picture->GetSize(), timeLeft, duration, IntroScreenCounter == 2, &position, &size);
        Renderer2D::DrawTexturedQuad(picture, &position, &size, 0xFFFFFFFF);
    }
    // Clear black changes nothing (blending keeps every pixel, and the alpha
    // test drops them anyway): drawn only while it shows, as it costs most
    // of a full-screen pass.
    if (uint8_t alpha = IntroFadeAlpha(timeLeft, duration)) {
        const Vector2 origin(0.0f, 0.0f), canvas(1280.0f, 720.0f);
        Renderer2D::DrawQuad(&origin, &canvas, static_cast<uint32_t>(alpha) << 24);
    }
}

LUMIVANE_REGISTER_EFFECT(CIntroScreen, CCIntroScreen, kIntroScreen);
