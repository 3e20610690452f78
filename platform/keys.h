// Win32 virtual-key codes: the numbers InputState is indexed by, as the
// show's key handling was written against them. Letters and digits are their
// upper-case ASCII codes ('W', 'R', '1'); the rest have names here.
#pragma once
#include <cstdint>

enum VirtualKey : uint8_t {
    kKeyBackspace = 0x08,
    kKeyTab = 0x09,
    kKeyReturn = 0x0D,
    kKeyShift = 0x10,
    kKeyControl = 0x11,
    kKeyAlt = 0x12,
    kKeyPause = 0x13,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyEnd = 0x23,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyInsert = 0x2D,
    kKeyDelete = 0x2E,
    kKeyF1 = 0x70,  // F2..F12 follow: kKeyF1 + 1 ..
    kKeyF2 = 0x71,
    kKeyF12 = 0x7B,
};
