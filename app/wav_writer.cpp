#include "app/wav_writer.h"

#include <algorithm>

namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

// The 44-byte RIFF header of a PCM file with `dataBytes` of samples.
void MakeHeader(uint8_t* h, int sampleRate, uint32_t dataBytes) {
    const int channels = 2, bytesPerSample = 2;
    std::copy_n("RIFF", 4, h);
    Put32(h + 4, 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h + 8);
    Put32(h + 16, 16);  // size of the format chunk
    Put16(h + 20, 1);   // PCM
    Put16(h + 22, channels);
    Put32(h + 24, static_cast<uint32_t>(sampleRate));
    Put32(h + 28, static_cast<uint32_t>(sampleRate * channels * bytesPerSample));
    Put16(h + 32, channels * bytesPerSample);
    Put16(h + 34, 8 * bytesPerSample);
    std::copy_n("data", 4, h + 36);
    Put32(h + 40, dataBytes);
}

}  // namespace

bool WavWriter::Open(const std::string& path, int sampleRate) {
    Close();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) return false;
    m_dataBytes = 0;
    m_failed = false;
    uint8_t header[44];
    MakeHeader(header, sampleRate, 0);
    m_sampleRate = sampleRate;
    m_failed = std::fwrite(header, 1, sizeof header, m_file) != sizeof header;
    return !m_failed;
}

bool WavWriter::Write(const int16_t* stereo, int frames) {
    if (!m_file || frames <= 0) return m_file != nullptr;
    uint8_t bytes[4096];
    size_t used = 0;
    for (int i = 0; i < 2 * frames; ++i) {
        Put16(bytes + used, static_cast<uint16_t>(stereo[i]));  // little-endian on any host
        used += 2;
        if (used == sizeof bytes || i == 2 * frames - 1) {
            if (std::fwrite(bytes, 1, used, m_file) != used) m_failed = true;
            used = 0;
        }
    }
    m_dataBytes += static_cast<uint64_t>(frames) * 4;
    return !m_failed;
}

bool WavWriter::Close() {
    if (!m_file) return true;
    // A RIFF size is 32 bits; a capture that long (over 6 hours) keeps the
    // largest sizes the format can say.
    uint32_t data = m_dataBytes > 0xFFFFFFFFull - 36 ? 0xFFFFFFFFu - 36 : static_cast<uint32_t>(m_dataBytes);
    uint8_t header[44];
    MakeHeader(header, m_sampleRate, data);
    if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(header, 1, sizeof header, m_file) != sizeof header)
        m_failed = true;
    if (std::fclose(m_file) != 0) m_failed = true;
    m_file = nullptr;
    return !m_failed;
}
