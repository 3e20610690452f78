// The sources the mixer plays. Each one decodes a file held in memory (read
// through a MemoryFile) into interleaved stereo float at the mixing rate.
#pragma once
#include <cstdint>
#include <memory>

constexpr int kMixRate = 44100;  // frames per second of everything the show plays

class MusicDecoder {
public:
    virtual ~MusicDecoder() = default;
    // Fills up to `frames` stereo frames; returns how many. Both kinds loop
    // without end, so fewer than asked means the data cannot be decoded.
    virtual int Render(float* stereo, int frames) = 0;
    // Back to the first sample.
    virtual void Rewind() = 0;

    // The bytes it reads, when it owns them (a file from the asset folder);
    // null for the embedded copy.
    std::shared_ptr<const void> source;
};

// An Ogg Vorbis stream (mono or stereo, any rate). Null when the bytes are
// not one; `error` then says why.
MusicDecoder* OpenOggDecoder(const uint8_t* data, int32_t size, const char** error);
// A tracker module (MOD, XM, S3M, IT and the other formats libopenmpt reads).
MusicDecoder* OpenModuleDecoder(const uint8_t* data, int32_t size, const char** error);
