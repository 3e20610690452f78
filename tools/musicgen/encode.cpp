#include "tools/musicgen/encode.h"

#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tools/musicgen/dsp.h"

namespace music {

namespace {

bool WritePage(FILE* f, const ogg_page& page) {
    return fwrite(page.header, 1, page.header_len, f) == (size_t)page.header_len &&
           fwrite(page.body, 1, page.body_len, f) == (size_t)page.body_len;
}

}  // namespace

bool WriteOggVorbis(const char* path, const StereoBuffer& audio, float quality, int serial,
                    std::string* error) {
    FILE* f = fopen(path, "wb");
    if (!f) {
        *error = std::string("cannot write ") + path + ": " + strerror(errno);
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, kSampleRate, quality) != 0) {
        vorbis_info_clear(&vi);
        fclose(f);
        *error = "the Vorbis encoder refused the settings";
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Lumivane");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    bool ok = true;
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    // The headers get pages of their own, so audio starts on a fresh page.
    while (ogg_stream_flush(&os, &page) != 0) ok = ok && WritePage(f, page);

    const size_t frames = audio.Frames();
    const size_t chunk = 4096;
    bool eos = false;
    for (size_t pos = 0; !eos;) {
        size_t n = frames - pos < chunk ? frames - pos : chunk;
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);  // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, (int)n);
            memcpy(buffer[0], audio.left.data() + pos, n * sizeof(float));
            memcpy(buffer[1], audio.right.data() + pos, n * sizeof(float));
            vorbis_analysis_wrote(&vd, (int)n);
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    ok = ok && WritePage(f, page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (n == 0 && !eos) {
            // Flush whatever the last packets left behind.
            while (ogg_stream_flush(&os, &page) != 0) ok = ok && WritePage(f, page);
            eos = true;
        }
    }

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    if (fclose(f) != 0) ok = false;
    if (!ok) *error = std::string("write error on ") + path;
    return ok;
}

bool WriteWav16(const char* path, const StereoBuffer& audio, std::string* error) {
    FILE* f = fopen(path, "wb");
    if (!f) {
        *error = std::string("cannot write ") + path + ": " + strerror(errno);
        return false;
    }
    const uint32_t frames = (uint32_t)audio.Frames();
    const uint32_t dataBytes = frames * 4;
    auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, f); };
    fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);  // PCM
    u16(2);
    u32(kSampleRate);
    u32(kSampleRate * 4);
    u16(4);
    u16(16);
    fwrite("data", 1, 4, f);
    u32(dataBytes);
    Rng rng(12345);
    std::vector<int16_t> block;
    block.reserve(8192);
    for (uint32_t i = 0; i < frames; ++i) {
        for (const std::vector<float>* ch : {&audio.left, &audio.right}) {
            float dither = (rng.Unit() - rng.Unit()) / 32768.0f;
            float v = std::round(((*ch)[i] + dither) * 32767.0f);
            v = v > 32767.0f ? 32767.0f : (v < -32768.0f ? -32768.0f : v);
            block.push_back((int16_t)v);
        }
        if (block.size() >= 8192 || i + 1 == frames) {
            fwrite(block.data(), 2, block.size(), f);
            block.clear();
        }
    }
    bool ok = !ferror(f);
    if (fclose(f) != 0) ok = false;
    if (!ok) *error = std::string("write error on ") + path;
    return ok;
}

}  // namespace music
