// The small text files the show reads from and writes to its working
// directory (tweaks.txt, laser.txt, scroller.txt).
//
// Reads are bounded: only regular files are read, never more than the
// caller's limit, so a link to /dev/zero, a named pipe or a huge file cannot
// make the program wait or allocate without end. Writes replace the file in
// one step, through the link when the name is a symbolic link, and leave a
// read-only file alone.
#pragma once
#include <cstddef>
#include <string>

namespace Platform {

enum class ReadResult {
    Ok,
    Missing,  // there is no file of that name
    Failed,   // it exists but cannot be read: `error` says why
};

// The whole of a regular file of at most `limit` bytes into `out`.
ReadResult ReadSmallFile(const char* path, size_t limit, std::string* out, std::string* error);

enum class WriteResult {
    Ok,
    ReadOnly,  // the file exists without write permission and is left as it is
    Failed,    // `error` says why; the old file, if any, is unchanged
};

// Writes `contents` beside the file and renames it over the file, so a write
// that dies half way leaves the old file whole. A symbolic link keeps being
// a link: its target is the file replaced. The new file keeps the old one's
// permissions.
WriteResult ReplaceFile(const char* path, const std::string& contents, std::string* error);

}  // namespace Platform
