// CLoading: the first entry of the script. It loads one catalogue asset per
// frame under the loader picture and a growing row of pips, then fades the
// screen to black over one second and removes itself; the frame that sees it
// go starts the music. While it runs the timeline stands still.
#pragma once
#include <cstdint>

#include "timeline/effect.h"

struct Texture;

class CLoading : public CEffect {
public:
    CLoading();
    ~CLoading() override;
    // Only marks the loading as done: the effect removes itself after its fade.
    void Finish() override;
    void Update(float dt) override;
    void Render() override;
    // Takes each picture once it is decoded (at once when nothing decodes ahead).
    void TakePictures();

    Texture* background = nullptr;  // the loader picture (resource 108)
    Texture* pip = nullptr;         // one progress pip (resource 109)
    bool borrowed = false;          // both are the catalogue's (a restart); else owned
    bool backgroundTaken = false;   // read (or failed): never read again
    bool pipTaken = false;          // the same for the pip
    float progress = 0.0f;          // 0..1, advanced by the preload
    float fade = 1.0f;              // seconds of fade left once loading is done
    bool retired = false;           // removed itself after the fade
};

// Pips shown at a progress: trunc(progress * 12), 0..12.
int LoadingPipCount(float progress);
// The black overlay over the fade: 0 while loading, rising to 255 as `fade`
// runs out, and 255 (never a wrapped small value) once it is below 0.
uint8_t LoadingFadeLevel(float fade);
