// Capture mode: the show rendered off screen at a fixed frame rate, written
// as PNG frames with a frames.csv index and the sound as audio.wav, or as an
// .mp4 (H.264 piped into ffmpeg, then the sound muxed in as AAC). Only the
// frames that are written are drawn: the others (before --from, between
// those --every keeps) run without drawing, which costs a small part of a
// drawn frame and leaves the show exactly where drawing them would.
//
// The frame clock reads a virtual counter that advances exactly 1/fps per
// frame, and the music's clock moves with it: each frame mixes exactly its
// share of samples (44100 / fps, spread evenly when that is no whole number)
// and nothing else does. Nothing sleeps, so a capture, sound included, is the
// same however fast the machine is.
#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/command_line.h"
#include "app/frame_writer.h"
#include "app/wav_writer.h"
#include "app/yuv420.h"
#include "platform/process.h"

class FrameCapture {
public:
    explicit FrameCapture(const CaptureOptions& options) : m_options(options) {}
    // What can be checked before the show starts, with nothing written yet
    // (ffmpeg for an .mp4). On failure prints one line on stderr.
    bool CanStart() const;
    // Once the window and device exist: prepares the output (the folder, with
    // any earlier capture's frames, index and sound in it removed, or ffmpeg)
    // and installs the virtual clock. On failure prints one line on stderr,
    // and leaves nothing behind.
    bool Open();
    // Before the frame: the virtual clock steps by one frame and the frame's
    // sound is mixed (and written when the frame is).
    void BeginFrame(float demoTime);
    // After BeginFrame: whether EndFrame will write this frame, and so
    // whether it needs drawing.
    bool WritesFrame() const;
    // After the frame is presented: writes it if due. Returns false once the
    // capture is complete (the first frame past --to) or output failed.
    bool EndFrame();
    // Flushes the output; false when something could not be written. A
    // capture that was never opened has nothing to flush.
    bool Close();
    bool Failed() const { return m_failed; }

private:
    bool OpenSound();
    bool OpenFolder();
    void RemoveEarlierCapture();
    bool WriteFrame();
    // On the writer's thread: frame `index` into ffmpeg, or its PNG and its
    // line of frames.csv.
    bool WriteOne(const uint8_t* rgba, uint64_t index, float time, std::string* error);
    // Says once why the writer stopped.
    void ReportWriterFailure();
    bool MuxSound();
    void ShowProgress(bool last);
    bool IsDue() const;  // the current frame lies in the span to write

    CaptureOptions m_options;
    FrameWriter m_writer;          // reads back on this thread, writes on its own
    std::vector<uint8_t> m_yuv;    // the frame being written, as ffmpeg takes it (writer's thread)
    std::vector<int16_t> m_sound;  // one frame's samples
    WavWriter m_wav;
    std::string m_wavPath;    // audio.wav, or beside the .mp4 until the mux
    std::string m_videoPath;  // the picture alone, before the mux
    Platform::PipeProcess m_ffmpeg;
    FILE* m_csv = nullptr;
    float m_frameTime = 0.0f;  // timeline time the current frame shows
    float m_endTime = 0.0f;    // where the capture stops
    uint64_t m_drawn = 0;      // frames run, drawn or not
    uint64_t m_eligible = 0;   // frames at or after --from
    uint64_t m_written = 0;    // frames handed to the writer
    bool m_opened = false;
    bool m_failed = false;
    bool m_writerReported = false;
    bool m_progress = false;  // stderr is a terminal
    bool m_lineOpen = false;  // a progress line waits for its newline
    std::chrono::steady_clock::time_point m_started, m_lastProgress;
};
