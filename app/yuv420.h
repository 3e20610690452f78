// Colour conversion for the video capture: an RGBA frame (top row first,
// 8 bits a channel) to planar YUV 4:2:0 in BT.709's limited range, the form
// H.264 stores. Done here, on the frame writer's thread, so that ffmpeg
// gets 1.5 bytes a pixel instead of 4 and has nothing left to convert.
#pragma once
#include <cstddef>
#include <cstdint>

// Bytes of one converted frame: the Y plane, then U and V at half the width
// and height.
inline size_t Yuv420Bytes(int width, int height) {
    return static_cast<size_t>(width) * height + 2 * static_cast<size_t>(width / 2) * (height / 2);
}

// `width` and `height` must be even. Alpha is ignored. Each chroma sample is
// the mean of its 2 x 2 block of pixels.
void RgbaToYuv420(const uint8_t* rgba, int width, int height, uint8_t* yuv);
