// How the setup dialog looks: the colours and metrics of a plain Windows
// dialog (grey face, flat bordered buttons and lists, white check boxes, a
// blue rim on the default button), its font and its picture.
#pragma once
#include <cstdint>

constexpr uint32_t kDialogFace = 0xF0F0F0;  // 0xRRGGBB, the dialog's background

// Sets ImGui's style and font for the dialog; call before its first frame.
void ApplyDialogLook();
// The picture at the top (resource 201) as an ImTextureID; null, with one
// line on stderr, when it is missing or cannot be read.
void* LoadDialogPicture();

void PushCheckBoxLook();
void PopCheckBoxLook();
void PushDefaultButtonLook();
void PopDefaultButtonLook();
