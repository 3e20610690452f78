#include "app/frame_writer.h"

FrameWriter::~FrameWriter() {
    std::string ignored;
    Finish(&ignored);
}

void FrameWriter::Start(size_t frameBytes, unsigned buffers, WriteFunction write) {
    m_write = std::move(write);
    m_slots.resize(buffers < 1 ? 1 : buffers);
    for (Slot& slot : m_slots) slot.pixels.resize(frameBytes);
    m_head = m_queued = 0;
    m_stopping = m_failed = false;
    m_thread = std::thread([this] { Run(); });
}

uint8_t* FrameWriter::Next() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failed || m_queued < m_slots.size(); });
    if (m_failed) return nullptr;
    return m_slots[(m_head + m_queued) % m_slots.size()].pixels.data();
}

void FrameWriter::Submit(uint64_t index, float time) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_failed || m_queued == m_slots.size()) return;
        Slot& slot = m_slots[(m_head + m_queued) % m_slots.size()];
        slot.index = index;
        slot.time = time;
        ++m_queued;
    }
    m_changed.notify_all();
}

bool FrameWriter::Failed() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failed;
}

bool FrameWriter::Finish(std::string* error) {
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    if (m_failed && error) *error = m_error;
    return !m_failed;
}

void FrameWriter::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_queued > 0 || m_stopping; });
        if (m_queued == 0) return;  // stopping, and everything is written
        Slot& slot = m_slots[m_head];
        // The slot stays queued while it is written, so Next never hands it out.
        lock.unlock();
        std::string error;
        const bool ok = m_write(slot.pixels.data(), slot.index, slot.time, &error);
        lock.lock();
        m_head = (m_head + 1) % m_slots.size();
        --m_queued;
        if (!ok) {
            m_failed = true;
            m_error = error;
            m_queued = 0;  // what is still queued is dropped
        }
        m_changed.notify_all();
        if (m_failed) return;
    }
}
