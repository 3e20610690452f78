// Work that runs in a child process, a copy of this one, for libraries that
// take hostile input and may crash or hang on it: the child's crash or hang
// becomes an error here, and the show goes on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Platform {

// Runs `work` in a child process. What it puts into its buffer comes back in
// `out` when it returns true; when it returns false, the buffer is taken as
// the text of an error. False, with the reason in `error`, when the work
// failed, the child died of a signal, took longer than `timeoutMs`, or sent
// more than `maxBytes`.
bool RunIsolated(const std::function<bool(std::vector<uint8_t>* result)>& work, size_t maxBytes, int timeoutMs,
                 std::vector<uint8_t>* out, std::string* error);

}  // namespace Platform
