// Work that runs in a process of its own, for libraries that take hostile
// input and may crash or hang on it: the child's crash, hang or flood
// becomes an error here, and the show goes on.
//
// The child is this program started afresh (/proc/self/exe), not a fork of
// it. A fork copies only the calling thread but every lock the other
// threads (the renderer's, the decoding thread) held at that moment, held
// for ever; a library in the child that takes one of them hangs. A fresh
// start has no such past.
//
// So the work is a plain function registered under a name, and a program
// that runs isolated work calls RunIsolatedWorkIfAsked first in its main:
//
//     static bool ImportX(const uint8_t* in, size_t size, std::vector<uint8_t>* result);
//     LUMIVANE_ISOLATED_WORK(x_mesh, ImportX);
//     ...
//     Platform::RunIsolated("x_mesh", bytes, size, limits, &answer, &error);
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Does the work on `size` bytes of input. What it puts into `result` comes
// back when it returns true; when it returns false, `result` is taken as the
// text of an error.
using IsolatedWork = bool (*)(const uint8_t* input, size_t size, std::vector<uint8_t>* result);

// Registers work under a name, at static initialisation (use the macro).
struct IsolatedWorkName {
    IsolatedWorkName(const char* name, IsolatedWork work);
};
#define LUMIVANE_ISOLATED_WORK(name, function) \
    static const Platform::IsolatedWorkName s_isolatedWork_##name(#name, function)

struct IsolatedLimits {
    size_t maxBytes;   // the largest answer taken back
    size_t maxMemory;  // address space the child may add to what it starts with
    int cpuSeconds;    // processor time; a child that waits instead gets four times this in wall time
};

// Runs the work registered as `name` in a child process. False, with the
// reason in `error`, when the work failed, the child died of a signal, took
// longer than its limits, sent more than `maxBytes`, or could not start.
// Past `maxMemory` the child's allocations fail (std::bad_alloc) instead of
// taking the machine's memory.
bool RunIsolated(const char* name, const uint8_t* input, size_t size, const IsolatedLimits& limits,
                 std::vector<uint8_t>* out, std::string* error);

// First thing in main: in a child started by RunIsolated this does the work,
// answers on stdout and ends the process; otherwise it returns at once, and
// RunIsolated may be used.
void RunIsolatedWorkIfAsked();

}  // namespace Platform
