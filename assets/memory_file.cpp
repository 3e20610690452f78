#include "assets/memory_file.h"

#include <cstring>

MemoryFile* MemoryFileOpen(const uint8_t* data, int32_t size) {
    MemoryFile* file = new MemoryFile{};
    file->size = size > 0 ? size : 0;
    file->position = 0;
    file->data = data;
    return file;
}

void MemoryFileClose(MemoryFile* file) { delete file; }

int MemoryFileRead(void* buffer, int count, MemoryFile* file) {
    if (count <= 0 || file->position >= file->size) return 0;
    int left = file->size - file->position;
    if (count > left) count = left;
    std::memcpy(buffer, file->data + file->position, static_cast<size_t>(count));
    file->position += count;
    return count;
}

int MemoryFileSeek(MemoryFile* file, int offset, int mode) {
    // In 64 bits, so a large offset cannot wrap around past the clamps.
    int64_t position = file->position;
    switch (mode) {
    case kMemorySeekSet: position = offset; break;
    case kMemorySeekCur: position = file->position + static_cast<int64_t>(offset); break;
    case kMemorySeekEnd: position = file->size + static_cast<int64_t>(offset); break;
    default: break;
    }
    if (position > file->size) position = file->size;
    if (position < 0) position = 0;  // never a read before the start of the data
    file->position = static_cast<int32_t>(position);
    return file->position;
}

int MemoryFileTell(const MemoryFile* file) { return file->position; }
