// Tracker modules through libopenmpt, reading the bytes through a MemoryFile.
#include <libopenmpt/libopenmpt.h>

#include "assets/memory_file.h"
#include "assets/music_decoder.h"

namespace {

size_t ReadCallback(void* source, void* buffer, size_t bytes) {
    if (bytes > 0x7FFFFFFF) bytes = 0x7FFFFFFF;
    return static_cast<size_t>(MemoryFileRead(buffer, static_cast<int>(bytes), static_cast<MemoryFile*>(source)));
}

int SeekCallback(void* source, int64_t offset, int whence) {
    if (offset < INT32_MIN || offset > INT32_MAX) return -1;
    MemoryFileSeek(static_cast<MemoryFile*>(source), static_cast<int>(offset), whence);
    return 0;
}

int64_t TellCallback(void* source) { return MemoryFileTell(static_cast<MemoryFile*>(source)); }

class ModuleDecoder : public MusicDecoder {
public:
    explicit ModuleDecoder(openmpt_module* module) : m_module(module) {}
    ~ModuleDecoder() override { openmpt_module_destroy(m_module); }

    int Render(float* stereo, int frames) override {
        return static_cast<int>(
            openmpt_module_read_interleaved_float_stereo(m_module, kMixRate, static_cast<size_t>(frames), stereo));
    }

    void Rewind() override { openmpt_module_set_position_seconds(m_module, 0.0); }

private:
    openmpt_module* m_module;
};

}  // namespace

MusicDecoder* OpenModuleDecoder(const uint8_t* data, int32_t size, const char** error) {
    MemoryFile* file = MemoryFileOpen(data, size);
    openmpt_stream_callbacks callbacks = {ReadCallback, SeekCallback, TellCallback};
    int code = 0;
    // The library reads the whole module while it loads; the file is not
    // needed afterwards.
    openmpt_module* module = openmpt_module_create2(callbacks, file, openmpt_log_func_silent, nullptr,
                                                    openmpt_error_func_ignore, nullptr, &code, nullptr, nullptr);
    MemoryFileClose(file);
    if (!module) {
        *error = "not a tracker module";
        return nullptr;
    }
    openmpt_module_set_repeat_count(module, -1);  // loops without end, like the stream
    return new ModuleDecoder(module);
}
