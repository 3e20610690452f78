// A read-only file over bytes in memory: the record behind every handle the
// music decoders read through, so the soundtrack plays straight from the
// resource the executable carries.
//
// Sizes, positions and counts are signed 32-bit like the file interface the
// decoders were written against. Whatever the caller asks, the position stays
// within 0 and size, so a read never touches a byte outside the data.
#pragma once
#include <cstdint>

struct MemoryFile {
    int32_t size;         // byte length of the data
    int32_t position;     // current read offset, 0 <= position <= size
    const uint8_t* data;  // not owned
};

// Seek modes, as in stdio.
enum : int { kMemorySeekSet = 0, kMemorySeekCur = 1, kMemorySeekEnd = 2 };

// A new record at position 0 (free it with MemoryFileClose). A negative size
// counts as 0.
MemoryFile* MemoryFileOpen(const uint8_t* data, int32_t size);
void MemoryFileClose(MemoryFile* file);
// Copies up to count bytes and advances; returns the number copied (0 at the
// end, or for a count <= 0).
int MemoryFileRead(void* buffer, int count, MemoryFile* file);
// Moves the position (other modes leave it) and clamps it to 0..size.
// Returns the new position.
int MemoryFileSeek(MemoryFile* file, int offset, int mode);
int MemoryFileTell(const MemoryFile* file);
