// A 16-bit stereo PCM WAV file written as the sound comes; the header's
// sizes are filled in when it is closed.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
public:
    ~WavWriter() { Close(); }
    bool Open(const std::string& path, int sampleRate);
    bool Write(const int16_t* stereo, int frames);
    // Completes the header; false when anything could not be written.
    bool Close();
    bool IsOpen() const { return m_file != nullptr; }

private:
    FILE* m_file = nullptr;
    uint64_t m_dataBytes = 0;
    int m_sampleRate = 0;
    bool m_failed = false;
};
