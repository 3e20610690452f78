// CIntroScreen: one full-screen picture with a four-second fade in from
// black and a four-second fade out. Each new instance shows the next picture
// of a cycle of three (mission, logo, end screen); the logo zooms slowly.
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "timeline/effect.h"

struct Texture;

// Which picture the next intro screen shows (0, 1, 2, then 0 again). Never
// reset, not even by a restart. While it is 2 (from the logo's construction
// until the end screen's) the picture zooms.
extern unsigned IntroScreenCounter;

class CIntroScreen : public CEffect {
public:
    CIntroScreen();
    void Render() override;

    Texture* picture = nullptr;  // the catalogue's
};

// Alpha of the black overlay: opaque at the first frame, clear from 4 s after
// the start until 4 s before the end, opaque again at the end. The fade-out
// test comes first, so an effect shorter than 8 s fades out early.
uint8_t IntroFadeAlpha(float timeLeft, float duration);

// Where the picture goes on the canvas. A zooming picture grows from 0.75 to
// 1.25 times its size over the effect's life, its 1280x720 content centred;
// otherwise it sits at the top-left corner at its texture size.
void IntroPictureRect(Vector2 textureSize, float timeLeft, float duration, bool zoom, Vector2* position, Vector2* size);
