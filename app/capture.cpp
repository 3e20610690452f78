#include "app/capture.h"

#include <stb_image_write.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "assets/mixer.h"
#include "assets/music_decoder.h"
#include "core/frame_timer.h"
#include "platform/gpu.h"
#include "timeline/timeline.h"

namespace {

// Counts per frame of the virtual counter; its frequency is fps times this,
// so a frame's delta is exactly 1/fps.
constexpr uint64_t kTicksPerFrame = 1000000;
uint64_t s_virtualCounter = 0;
uint64_t ReadVirtualCounter() { return s_virtualCounter; }

}  // namespace

bool FrameCapture::CanStart() const {
    if (m_options.IsMp4() && !Platform::FindProgram("ffmpeg")) {
        std::fprintf(stderr, "lumivane: ffmpeg is not installed; it is needed to write %s\n", m_options.out.c_str());
        return false;
    }
    return true;
}

bool FrameCapture::Open() {
    const CaptureOptions& options = m_options;
    m_endTime = options.to >= 0.0f ? options.to : Timeline::EndTime();

    if (options.IsMp4()) {
        if (!CanStart()) return false;
        // The picture goes to a file of its own first; Close muxes the sound in.
        m_videoPath = options.out + ".video.mp4";
        m_wavPath = options.out + ".audio.wav";
        if (!OpenSound()) return false;
        std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
        // Written frames come every `every` frames of show time.
        std::string rate = std::to_string(options.fps) + "/" + std::to_string(options.every);
        // The encoder shares the processor with the renderer, so its speed
        // is the capture's. x264's fastest preset with three of the tools it
        // leaves out put back (arithmetic coding, 8x8 transforms, the
        // deblocking filter) and three B-frames, at quality 19, took 4.0 to
        // 4.2 s of processor for ten seconds of the scroller where "superfast"
        // at 18 took 7.1 to 8.7, for nearly the same fidelity (41.7 against
        // 41.8 dB PSNR) in a file 5 % larger. The frames come converted to
        // YUV 4:2:0 (WriteOne), and the file says which conversion, so
        // players turn them back into the same colours.
        // clang-format off
        std::vector<std::string> args = {
            "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
            "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", size, "-framerate", rate, "-i", "-",
            "-c:v", "libx264", "-preset", "ultrafast", "-x264-params", "cabac=1:8x8dct=1:deblock=1:bframes=3",
            "-crf", "19",
            "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv",
            "-f", "mp4", m_videoPath};
        // clang-format on
        // The encoder runs at nice 10: the renderer's threads go first, and
        // the encoder fills the moments they wait on each other (some 14 %
        // of the two cores in the scroller). When it falls behind, the
        // renderer waits for a free frame buffer and the encoder catches up.
        if (!m_ffmpeg.Start(args, 10)) {
            std::fprintf(stderr, "lumivane: cannot start ffmpeg\n");
            m_wav.Close();
            std::remove(m_wavPath.c_str());
            return false;
        }
    } else if (!OpenFolder()) {
        return false;
    }

    if (options.IsMp4()) m_yuv.resize(Yuv420Bytes(options.width, options.height));
    // Two buffers: one frame is written while the next is drawn and read back.
    m_writer.Start(static_cast<size_t>(options.width) * options.height * 4, 2,
                   [this](const uint8_t* rgba, uint64_t index, float time, std::string* error) {
                       return WriteOne(rgba, index, time, error);
                   });
    s_virtualCounter = 0;
    FrameTimer::SetCounter(ReadVirtualCounter, static_cast<uint64_t>(options.fps) * kTicksPerFrame);
    m_progress = isatty(STDERR_FILENO);
    m_started = m_lastProgress = std::chrono::steady_clock::now();
    m_opened = true;
    return true;
}

bool FrameCapture::OpenFolder() {
    std::error_code ec;
    std::filesystem::create_directories(m_options.out, ec);
    RemoveEarlierCapture();
    std::string csvPath = m_options.out + "/frames.csv";
    m_csv = std::fopen(csvPath.c_str(), "w");
    if (!m_csv) {
        std::fprintf(stderr, "lumivane: cannot write to '%s': %s\n", m_options.out.c_str(),
                     ec ? ec.message().c_str() : std::strerror(errno));
        return false;
    }
    std::fprintf(m_csv, "frame,demo_time,file\n");
    m_wavPath = m_options.out + "/audio.wav";
    if (OpenSound()) return true;
    std::fclose(m_csv);
    m_csv = nullptr;
    std::remove(csvPath.c_str());
    return false;
}

// A capture into a folder that holds an earlier one replaces it: its frames
// (frame_NNNNNN.png), its index and its sound go, so that the folder never
// mixes the two. Other files stay.
void FrameCapture::RemoveEarlierCapture() {
    std::error_code ec;
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_options.out, ec)) {
        const std::string name = entry.path().filename().string();
        bool frame = name.size() == 16 && name.compare(0, 6, "frame_") == 0 && name.compare(12, 4, ".png") == 0 &&
                     std::all_of(name.begin() + 6, name.begin() + 12, [](char c) { return c >= '0' && c <= '9'; });
        if ((frame || name == "frames.csv" || name == "audio.wav") && std::filesystem::remove(entry.path(), ec))
            removed += frame;
    }
    if (removed > 0)
        std::fprintf(stderr, "lumivane: replacing the earlier capture in %s (%d frames)\n", m_options.out.c_str(),
                     removed);
}

bool FrameCapture::OpenSound() {
    if (m_wav.Open(m_wavPath, kMixRate)) return true;
    std::fprintf(stderr, "lumivane: cannot write %s: %s\n", m_wavPath.c_str(), std::strerror(errno));
    return false;
}

void FrameCapture::BeginFrame(float demoTime) {
    s_virtualCounter += kTicksPerFrame;
    m_frameTime = demoTime;
    // Frame n carries samples floor(n * rate / fps) up to floor((n + 1) * rate / fps).
    uint64_t fps = static_cast<uint64_t>(m_options.fps);
    uint64_t first = m_drawn * kMixRate / fps;
    uint64_t end = (m_drawn + 1) * kMixRate / fps;
    int frames = static_cast<int>(end - first);
    m_sound.resize(static_cast<size_t>(frames) * 2);
    Mixer::Render(m_sound.data(), frames);
    // Every frame in the span keeps its sound, also those --every leaves out,
    // so the sound runs at its own speed alongside the picture.
    if (IsDue() && !m_wav.Write(m_sound.data(), frames)) m_failed = true;
}

bool FrameCapture::IsDue() const { return m_frameTime <= m_endTime && m_frameTime >= m_options.from; }

bool FrameCapture::WritesFrame() const { return IsDue() && m_eligible % static_cast<uint64_t>(m_options.every) == 0; }

bool FrameCapture::EndFrame() {
    ++m_drawn;
    bool past = m_frameTime > m_endTime;
    if (m_failed) {
        std::fprintf(stderr, "%slumivane: cannot write %s\n", m_lineOpen ? "\n" : "", m_wavPath.c_str());
        return false;
    }
    if (IsDue()) {
        if (m_eligible++ % static_cast<uint64_t>(m_options.every) == 0 && !WriteFrame()) {
            m_failed = true;
            return false;
        }
    }
    ShowProgress(past);
    return !past;
}

bool FrameCapture::WriteFrame() {
    uint8_t* pixels = m_writer.Next();
    if (!pixels) {
        ReportWriterFailure();
        return false;
    }
    Gpu::ReadBackBuffer(pixels);
    m_writer.Submit(m_written, m_frameTime);
    ++m_written;
    return true;
}

bool FrameCapture::WriteOne(const uint8_t* rgba, uint64_t index, float time, std::string* error) {
    if (m_options.IsMp4()) {
        RgbaToYuv420(rgba, m_options.width, m_options.height, m_yuv.data());
        if (!m_ffmpeg.Write(m_yuv.data(), m_yuv.size())) {
            *error = "ffmpeg stopped taking frames";
            return false;
        }
        return true;
    }
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(index));
    std::string path = m_options.out + "/" + name;
    stbi_write_png_compression_level = 3;  // frames are large; speed over size
    if (!stbi_write_png(path.c_str(), m_options.width, m_options.height, 4, rgba, m_options.width * 4)) {
        *error = "cannot write " + path;
        return false;
    }
    std::fprintf(m_csv, "%llu,%.6f,%s\n", static_cast<unsigned long long>(index), time, name);
    return true;
}

void FrameCapture::ReportWriterFailure() {
    std::string error;
    if (m_writerReported || m_writer.Finish(&error)) return;
    m_writerReported = true;
    std::fprintf(stderr, "%slumivane: %s\n", m_lineOpen ? "\n" : "", error.c_str());
}

// The picture is copied as it is; the sound is encoded as AAC beside it.
bool FrameCapture::MuxSound() {
    Platform::PipeProcess mux;
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error",      "-y",         "-nostdin",
                                     "-i",     m_videoPath,    "-i",        m_wavPath,    "-map",       "0:v",
                                     "-map",   "1:a",          "-c:v",      "copy",       "-c:a",       "aac",
                                     "-b:a",   "192k",         "-movflags", "+faststart", m_options.out};
    if (!mux.Start(args) || mux.Finish() != 0) {
        std::fprintf(stderr, "lumivane: ffmpeg failed to add the sound to %s\n", m_options.out.c_str());
        return false;
    }
    return true;
}

void FrameCapture::ShowProgress(bool last) {
    if (!m_progress) return;
    auto now = std::chrono::steady_clock::now();
    if (!last && now - m_lastProgress < std::chrono::milliseconds(250)) return;
    m_lastProgress = now;
    double wall = std::chrono::duration<double>(now - m_started).count();
    double fps = wall > 0 ? m_drawn / wall : 0.0;
    double done = m_endTime > 0 ? m_frameTime / m_endTime : 1.0;
    if (done > 1.0) done = 1.0;
    if (done < 0.0) done = 0.0;
    // Remaining frames at the current rate (the loading screen holds the
    // timeline, so early estimates run a little short).
    double framesLeft = (m_endTime - m_frameTime) * m_options.fps;
    double left = fps > 0 && framesLeft > 0 ? framesLeft / fps : 0.0;
    const int barWidth = 30;
    int filled = static_cast<int>(done * barWidth);
    char bar[barWidth + 1];
    for (int i = 0; i < barWidth; ++i) bar[i] = i < filled ? '#' : '-';
    bar[barWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %5.1f%%  %6.2f s  %5.1f fps  %d:%02d left ", bar, done * 100.0, m_frameTime, fps,
                 static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    m_lineOpen = !last;
    if (last) std::fputc('\n', stderr);
    std::fflush(stderr);
}

bool FrameCapture::Close() {
    if (!m_opened) return true;
    m_opened = false;
    // Every queued frame is written before the files close.
    ReportWriterFailure();
    if (m_writer.Failed()) m_failed = true;
    if (m_lineOpen) ShowProgress(true);  // the show ended before --to
    bool ok = !m_failed;
    if (m_csv) {
        if (std::fclose(m_csv) != 0) ok = false;
        m_csv = nullptr;
    }
    if (!m_wav.Close()) {
        if (ok) std::fprintf(stderr, "lumivane: cannot write %s\n", m_wavPath.c_str());
        ok = false;
    }
    if (m_options.IsMp4()) {
        int status = m_ffmpeg.Finish();
        if (status != 0) {
            std::fprintf(stderr, "lumivane: ffmpeg failed to write %s\n", m_options.out.c_str());
            ok = false;
        }
        if (ok && !MuxSound()) ok = false;
        std::remove(m_videoPath.c_str());
        std::remove(m_wavPath.c_str());
    }
    if (m_progress && ok)
        std::fprintf(stderr, "%llu frames written to %s\n", static_cast<unsigned long long>(m_written),
                     m_options.out.c_str());
    return ok;
}
