#pragma once
// Anti-aliased drawing primitives on an Image: the thin lines, frames,
// ticks and marks the show's HUD language is built from.
#include "image.h"

// Filled axis-aligned rectangle with exact fractional-edge coverage.
void FillRect(Image& img, float x0, float y0, float x1, float y1, Rgba c);
// Rectangle outline of the given line width (centred on the edges).
void StrokeRect(Image& img, float x0, float y0, float x1, float y1, float width, Rgba c);
// Line segment of the given width with round ends.
void Line(Image& img, float x0, float y0, float x1, float y1, float width, Rgba c);
// Filled disc and ring (circle outline).
void Disc(Image& img, float cx, float cy, float r, Rgba c);
void Ring(Image& img, float cx, float cy, float r, float width, Rgba c);
// Arc of a ring between two angles (radians, clockwise on screen from +x).
void Arc(Image& img, float cx, float cy, float r, float width, float a0, float a1, Rgba c);
// Four L-shaped corner marks of a frame; len is the arm length.
void CornerBrackets(Image& img, float x0, float y0, float x1, float y1, float len, float width, Rgba c);
// A ruler of ticks from (x0, y) to (x1, y) (horizontal) every `step`, each
// `major`-th tick longer; dir = +1 ticks downwards, -1 upwards.
void RulerH(Image& img, float x0, float x1, float y, float step, int major, float len, int dir, Rgba c);
void RulerV(Image& img, float y0, float y1, float x, float step, int major, float len, int dir, Rgba c);
// Vertical gradient fill between two colours (straight alpha each).
void GradientV(Image& img, float y0, float y1, Rgba top, Rgba bottom);
// Additive soft glow: a Gaussian spot of the given radius (sigma) and gain.
void GlowSpot(Image& img, float cx, float cy, float sigma, Rgba c, float gain);
