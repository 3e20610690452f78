#pragma once
// The full-screen pictures: 1280 x 720 content each.
#include "image.h"

Image MakeMissionScreen();
Image MakeLogoScreen();
Image MakeEndScreen();
Image MakeLoaderScreen();
// The frame over the 3D scroller: white marks with alpha, clear middle.
Image MakeScrollerOverlay();

// Where the loading screen draws its pips: 12 pips, 30 apart, 32 x 32.
constexpr float kPipRowX = 504.0f, kPipRowY = 406.0f, kPipStep = 30.0f, kPipSize = 32.0f;
constexpr int kPipCount = 12;
