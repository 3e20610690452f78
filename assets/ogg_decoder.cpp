// Ogg Vorbis through libvorbisfile, reading the bytes through a MemoryFile.
#include <vorbis/vorbisfile.h>
#include <climits>

#include "assets/memory_file.h"
#include "assets/music_decoder.h"
#include "platform/audio.h"

namespace {

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    if (size == 0) return 0;
    size_t bytes = size * count;
    if (bytes > INT_MAX) bytes = INT_MAX;
    int got = MemoryFileRead(buffer, static_cast<int>(bytes), static_cast<MemoryFile*>(source));
    return static_cast<size_t>(got) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    if (offset < INT_MIN || offset > INT_MAX) return -1;
    MemoryFileSeek(static_cast<MemoryFile*>(source), static_cast<int>(offset), whence);
    return 0;
}

int CloseCallback(void* source) {
    MemoryFileClose(static_cast<MemoryFile*>(source));
    return 0;
}

long TellCallback(void* source) { return MemoryFileTell(static_cast<MemoryFile*>(source)); }

class OggDecoder : public MusicDecoder {
public:
    ~OggDecoder() override {
        if (m_opened) ov_clear(&m_file);  // closes the MemoryFile
        Platform::DestroyAudioResampler(m_resampler);
    }

    bool Open(const uint8_t* data, int32_t size, const char** error) {
        MemoryFile* file = MemoryFileOpen(data, size);
        ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
        if (ov_open_callbacks(file, &m_file, nullptr, 0, callbacks) != 0) {
            MemoryFileClose(file);  // ov_open_callbacks leaves it to us when it fails
            *error = "not an Ogg Vorbis stream";
            return false;
        }
        m_opened = true;
        vorbis_info* info = ov_info(&m_file, -1);
        if (!info || info->channels < 1 || info->channels > 2) {
            *error = "only mono and stereo Ogg Vorbis streams are played";
            return false;
        }
        if (info->rate != kMixRate) {
            m_resampler = Platform::CreateAudioResampler(static_cast<int>(info->rate), kMixRate);
            if (!m_resampler) {
                *error = "its sample rate cannot be converted";
                return false;
            }
        }
        return true;
    }

    int Render(float* stereo, int frames) override {
        int done = 0;
        int idle = 0;  // passes in a row that produced nothing
        while (done < frames && idle < kMaxIdlePasses) {
            int before = done;
            if (m_resampler) {
                done += Platform::ResamplerGet(m_resampler, stereo + 2 * done, frames - done);
                if (done == frames) break;
            }
            float* target = m_resampler ? m_scratch : stereo + 2 * done;
            int want = m_resampler ? kScratchFrames : frames - done;
            int got = Decode(target, want);
            if (got < 0) break;  // cannot be decoded any further
            if (m_resampler) {
                if (got > 0 && !Platform::ResamplerPut(m_resampler, m_scratch, got)) break;
            } else {
                done += got;
            }
            idle = (done > before || got > 0) ? 0 : idle + 1;
        }
        return done;
    }

    void Rewind() override {
        ov_pcm_seek(&m_file, 0);
        m_emptyPasses = 0;
    }

private:
    static constexpr int kScratchFrames = 1024;
    // Holes in the data yield nothing for a pass; this many in a row means
    // the stream is not going anywhere and the rest is silence.
    static constexpr int kMaxIdlePasses = 64;

    // Decodes up to `frames` stereo frames, starting over at the end of the
    // stream so that the loop has no gap. -1 once nothing more can come.
    int Decode(float* stereo, int frames) {
        float** pcm = nullptr;
        int link = 0;
        long got = ov_read_float(&m_file, &pcm, frames, &link);
        if (got == OV_HOLE) return 0;  // a gap in the data; decoding goes on after it
        if (got < 0) return -1;
        if (got == 0) {
            // A stream with no samples at all would loop here for ever.
            if (++m_emptyPasses > 1 || ov_pcm_seek(&m_file, 0) != 0) return -1;
            return 0;
        }
        m_emptyPasses = 0;
        vorbis_info* info = ov_info(&m_file, link);
        bool mono = !info || info->channels == 1;
        for (long i = 0; i < got; ++i) {
            stereo[2 * i] = pcm[0][i];
            stereo[2 * i + 1] = mono ? pcm[0][i] : pcm[1][i];
        }
        return static_cast<int>(got);
    }

    OggVorbis_File m_file{};
    bool m_opened = false;
    int m_emptyPasses = 0;  // end-of-stream hits without a sample in between
    Platform::AudioResampler* m_resampler = nullptr;
    float m_scratch[2 * kScratchFrames];
};

}  // namespace

MusicDecoder* OpenOggDecoder(const uint8_t* data, int32_t size, const char** error) {
    OggDecoder* decoder = new OggDecoder;
    if (!decoder->Open(data, size, error)) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}
