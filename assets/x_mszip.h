// Compressed DirectX .x files ("tzip" and "bzip"): their MSZIP blocks
// inflated here, with every size checked, so that the mesh reader only ever
// sees a plain text or binary .x file of a bounded size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest .x file, once inflated, that a mesh may come from.
constexpr size_t kMaxXFileBytes = 64u << 20;

// True for a compressed .x file (it may still be damaged).
bool IsCompressedXFile(const uint8_t* data, size_t size);

// The same file uncompressed: its header with "txt " or "bin " for "tzip" or
// "bzip", then the inflated blocks. False (with the reason in `error`) when a
// block is damaged, a size disagrees, or the result would exceed
// kMaxXFileBytes.
bool InflateXFile(const uint8_t* data, size_t size, std::vector<uint8_t>* out, std::string* error);
