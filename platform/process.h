// A child process fed through its standard input (used to pipe frames into
// ffmpeg). No shell is involved, so arguments need no quoting.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace Platform {

// True when `program` is an executable file in one of PATH's folders.
bool FindProgram(const char* program);

// Hands the heap's free pages back to the system. After a burst of
// short-lived allocations (a mesh's inflated file and the reader's answer,
// several MB for a moment) the C library keeps them otherwise, and they
// count against the process.
void ReturnFreeMemory();

// Makes the calling thread yield to the process's others (nice 5): for
// background work that must not slow the frames down.
void LowerThreadPriority();

class PipeProcess {
public:
    PipeProcess() = default;
    ~PipeProcess();
    PipeProcess(const PipeProcess&) = delete;
    PipeProcess& operator=(const PipeProcess&) = delete;

    // Starts `argv[0]` (looked up in PATH) at the given nice value, set
    // before the child has any input and so before it starts threads of
    // its own, which inherit it.
    bool Start(const std::vector<std::string>& argv, int niceness = 0);
    // False once the child has gone away (its input is closed).
    bool Write(const void* data, size_t size);
    // Closes the child's input and waits; returns its exit status (-1 when it
    // did not exit normally or never started).
    int Finish();

private:
    int m_fd = -1;
    int m_pid = -1;
};

}  // namespace Platform
