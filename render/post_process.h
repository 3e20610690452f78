// The post-processing chain of the 3D effects: a full-size scene target the
// effect draws into, two ping-pong targets that full-screen passes bounce
// between, and the copy back onto the target that was current before.
//
// Every frame a 3D effect calls: BeginScene(colour); draws its scene;
// EndScene(); sets its passes' own parameters; BeginPasses(); ApplyEffect
// once per pass effect in chain order; Present() (or ApplyLastEffect for the
// last pass effect, which gives the same picture for less).
//
// A pass effect has the technique "PostProcess"; it reads g_txSrcColor (the
// previous result, or the scene for the first pass), g_txSceneColor (the
// scene, wherever it was drawn) and g_PixelRatio (the texel size of the full-size targets). Pass
// annotations fScaleX and fScaleY shrink or grow the drawn region, anchored
// top-left; later passes read only the part of their source that was written.
#pragma once
#include <cstdint>

namespace Gpu {
class Effect;
}
struct Texture;

namespace PostProcessChain {

// At start-up, after the device: targets of the window's size, the copy
// effect and the quad's vertex declaration.
void Create();
// (Re)creates the three targets at this size and resets the quad.
void CreateTargets(float width, float height);
void Release();

// Remembers render target 0 and makes the scene target current, cleared to
// `clearColour` with depth 1. An effect may draw its scene into a smaller
// target of its own instead (with its own depth): the first pass then reads
// that whole target, and its region starts at that target's size.
void BeginScene(uint32_t clearColour, Texture* target = nullptr);
// Back to the remembered target.
void EndScene();
// The scene's region and whole extents again; the next pass reads the scene.
void BeginPasses();
// Runs every pass of the effect's "PostProcess" technique; null is skipped.
void ApplyEffect(Gpu::Effect* effect);
// A built-in pass: the region shrinks to half in each direction, each pixel
// the mean of a 2 x 2 block.
void ApplyHalfReduction();
// Draws the last result onto the remembered target and forgets it.
void Present();
// ApplyEffect of the chain's last effect, then Present, in one: a pass that
// fills the whole target draws straight onto the remembered target where
// the copy would have put its pixels, which saves a full-screen pass.
void ApplyLastEffect(Gpu::Effect* effect);

// The bloom of the 3D scenes, after the scene is drawn: EndScene, the bright
// pass's g_Strength, BeginPasses, three quarter-size reductions, bright pass,
// bloom across and down, two enlargements, and the combine with the scene
// as the last effect. Passes the catalogue has not loaded are skipped.
void BloomAndPresent(float brightStrength);

// For inspection: the chain's state and targets.
struct QuadVertex {
    float x, y, z, rhw;
    float u0, v0;  // texture coordinate 0: the source region
    float u1, v1;  // texture coordinate 1: always the whole scene
};
const QuadVertex* Quad();  // four vertices, strip order
int PassCounter();
float TexExtentU();
float TexExtentV();
Texture* SceneTarget();
Texture* PingPongTarget(int index);

}  // namespace PostProcessChain
