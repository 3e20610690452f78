#pragma once
// One picture showing every generated texture, for review.
#include <string>
#include <vector>

#include "image.h"

struct SheetItem {
    std::string label;
    Image picture;      // premultiplied; transparent parts show the sheet's backing
    int width;          // width on the sheet (height follows the aspect)
    bool checker = false;  // back transparent pictures with a dark checker
};

Image LayoutContactSheet(const std::vector<SheetItem>& items, int sheetWidth);
// Decodes PNG bytes into a premultiplied picture (for the sheet).
Image PictureFromPng(const std::vector<uint8_t>& png);
// Decodes the six DXT1 faces of a cube DDS into a cross layout.
Image PictureFromCubeDds(const std::vector<uint8_t>& dds);
