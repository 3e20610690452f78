#include "tests/audio_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vorbis/vorbisenc.h>

std::vector<uint8_t> MakeOggTone(float hz, float seconds, int rate, int channels, float amplitude) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) return out;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    auto append = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) append(page);

    const int total = static_cast<int>(seconds * rate);
    const int chunk = 1024;
    for (int done = 0;;) {
        int n = total - done < chunk ? total - done : chunk;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, n);
            for (int i = 0; i < n; ++i) {
                float v = amplitude * std::sin(2.0f * 3.14159265f * hz * static_cast<float>(done + i) / rate);
                for (int c = 0; c < channels; ++c) buffer[c][i] = v;
            }
        }
        vorbis_analysis_wrote(&dsp, n);  // 0 marks the end
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) append(page);
            }
        }
        if (n == 0) break;
        done += n;
    }
    while (ogg_stream_flush(&stream, &page)) append(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint8_t> MakeModule() {
    // 20-byte title, 31 sample headers of 30 bytes, song length, restart
    // byte, 128 orders, "M.K.", one pattern of 64 rows x 4 channels x 4
    // bytes, then the sample data.
    const int sampleLength = 64;  // bytes (32 words), one square period
    std::vector<uint8_t> mod(20 + 31 * 30 + 2 + 128 + 4 + 1024 + sampleLength, 0);
    std::memcpy(mod.data(), "lumivane test", 13);
    uint8_t* sample = mod.data() + 20;
    std::memcpy(sample, "square", 6);
    sample[22] = 0;
    sample[23] = sampleLength / 2;  // length in words, big-endian
    sample[24] = 0;                 // finetune
    sample[25] = 64;                // volume
    sample[26] = 0;
    sample[27] = 0;                 // loop start
    sample[28] = 0;
    sample[29] = sampleLength / 2;  // loop length: the whole sample loops
    size_t at = 20 + 31 * 30;
    mod[at] = 1;       // one order
    mod[at + 1] = 127;
    mod[at + 2] = 0;   // order 0 plays pattern 0
    std::memcpy(mod.data() + at + 2 + 128, "M.K.", 4);
    uint8_t* pattern = mod.data() + at + 2 + 128 + 4;
    // Row 0, channel 0: sample 1 at period 428 (C-2).
    const int period = 428;
    pattern[0] = static_cast<uint8_t>((1 & 0xF0) | (period >> 8));
    pattern[1] = static_cast<uint8_t>(period & 0xFF);
    pattern[2] = static_cast<uint8_t>((1 & 0x0F) << 4);
    pattern[3] = 0;
    int8_t* data = reinterpret_cast<int8_t*>(pattern + 1024);
    for (int i = 0; i < sampleLength; ++i) data[i] = i < sampleLength / 2 ? 100 : -100;
    return mod;
}
