// Writes captured frames on a thread of its own: the renderer reads a frame
// back into one of a few buffers and goes on to draw the next while this
// thread hands the frame to ffmpeg or packs it into a PNG. The renderer waits
// only when every buffer is still queued. Frames are written in the order
// they were submitted; after a failed write nothing more is written.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // Writes one frame (`index` counts the submitted frames from 0, `time`
    // is the timeline time it shows); false with a one-line reason in
    // `error` when it could not.
    using WriteFunction = std::function<bool(const uint8_t* pixels, uint64_t index, float time, std::string* error)>;

    FrameWriter() = default;
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // `buffers` frame buffers of `frameBytes` each, made now and reused.
    void Start(size_t frameBytes, unsigned buffers, WriteFunction write);
    // A buffer to read the next frame into; waits while all are queued.
    // Null once a write has failed.
    uint8_t* Next();
    // Queues the buffer Next returned.
    void Submit(uint64_t index, float time);
    // Writes what is queued and stops the thread. False when a write failed;
    // `error` then says why.
    bool Finish(std::string* error);
    // A write has failed (the reason comes with Finish).
    bool Failed();

private:
    struct Slot {
        std::vector<uint8_t> pixels;
        uint64_t index = 0;
        float time = 0.0f;
    };
    void Run();

    WriteFunction m_write;
    std::vector<Slot> m_slots;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_head = 0;    // the next slot to write
    size_t m_queued = 0;  // slots submitted and not yet written
    bool m_stopping = false;
    bool m_failed = false;
    std::string m_error;
};
