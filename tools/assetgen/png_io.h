#pragma once
// PNG output in the exact colour types the show's catalogue asks for, plus
// a reader for the checks and the contact sheet.
#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

enum class PngType { Grey, GreyAlpha, Rgb, Rgba, Palette };

// Encodes 8-bit samples (1, 2, 3 or 4 per pixel; palette: one index per
// pixel) into PNG bytes. palette holds 3 bytes per entry for PngType::Palette.
std::vector<uint8_t> EncodePng(int w, int h, PngType type, const std::vector<uint8_t>& samples,
                               const std::vector<uint8_t>& palette = {});

// Straight 8-bit samples from a premultiplied picture, with dithering.
std::vector<uint8_t> ToRgb(const Image& img);
std::vector<uint8_t> ToRgba(const Image& img);
// Luminance of rgb (un-premultiplied) and optionally alpha.
std::vector<uint8_t> ToGrey(const Image& img);
std::vector<uint8_t> ToGreyAlpha(const Image& img);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Decodes any 8-bit PNG into straight RGBA bytes (palette and grey expanded).
bool DecodePngRgba(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba);
