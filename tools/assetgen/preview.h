#pragma once
// A small processor rasteriser that draws a mesh the way the show's mesh
// shots light it (AO map, reflection of the environment, red second
// material, specular), used to check camera framing and for the setup
// dialog's picture.
#include <vector>

#include "image.h"
#include "mesher.h"

struct PreviewView {
    V3 eye, target;
    float turn = 0;      // model rotation about y (radians), as the shots turn it
    int width = 640, height = 360;
    Rgba clear = {0.0f, 0.0f, 0.0f, 1.0f};
};

Image RenderPreview(const MeshData& mesh, const std::vector<float>& aoTex, int aoSize, const PreviewView& view);
