#pragma once
// The catalogue of generated files and the pictures shown on the contact sheet.
#include <cstdint>
#include <string>
#include <vector>

#include "contact_sheet.h"

struct Asset {
    std::string path;  // relative to the output folder, e.g. "Data/Textures/grid.png"
    std::vector<uint8_t> bytes;
};

struct AssetSet {
    std::vector<Asset> files;
    std::vector<SheetItem> sheet;
};

// Builds every asset. previewDir, when not empty, receives camera-move renders
// of the meshes. Returns false (after a one-line message) on failure.
bool BuildAllAssets(AssetSet& set, const std::string& previewDir);
// Texture part and mesh part of the set.
bool BuildTextureAssets(AssetSet& set);
bool BuildMeshAssets(AssetSet& set, const std::string& previewDir);
