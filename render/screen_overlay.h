// A picture stretched over the whole target and blended onto it: the HUD of
// the mesh shots and the voxel cloud. Same pixels as
// Renderer2D::DrawTexturedQuad over the 1280x720 layout, for about three
// quarters of the work:
//  - the picture is enlarged once to the target's size, by that very quad
//    drawn unblended into a target of its own, and kept (the enlargement
//    holds the colour the quad would hand to the blend, already in 8 bits);
//  - each frame blends the enlargement texel for pixel, read without
//    filtering (a texel's centre on each pixel's returns that texel), and
//    only in the 32x32 blocks where some pixel has alpha above 0: a pixel of
//    alpha 0 leaves the target as it was.
// Under another blend than source alpha and its inverse, added, it is
// drawn as the stretched quad. The picture must not change once drawn
// this way.
#pragma once

struct Texture;

// Tinted white, as the overlays are drawn. A null picture draws nothing.
void DrawScreenOverlay(Texture* picture);
// Frees the enlargements (they are made again when next drawn).
void ReleaseScreenOverlays();
