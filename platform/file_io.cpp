#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Platform {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Why a file of this kind cannot be read or replaced; empty for a regular file.
std::string NotRegular(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return "";
    if (S_ISDIR(st.st_mode)) return "it is a directory";
    return "it is not a regular file";
}

bool WriteAll(int fd, const char* p, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

ReadResult ReadSmallFile(const char* path, size_t limit, std::string* out, std::string* error) {
    out->clear();
    // Non-blocking, so that opening a named pipe with no writer returns at
    // once; it is refused below like every other file that is not regular.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        *error = Reason(errno);
        return ReadResult::Failed;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        *error = Reason(errno);
        close(fd);
        return ReadResult::Failed;
    }
    *error = NotRegular(st);
    if (error->empty() && static_cast<unsigned long long>(st.st_size) > limit)
        *error = "it is larger than " + std::to_string(limit) + " bytes";
    if (!error->empty()) {
        close(fd);
        return ReadResult::Failed;
    }
    // The size may change while we read; never more than the limit all the same.
    out->resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    char spare;
    for (;;) {
        char* target = got < out->size() ? &(*out)[got] : &spare;
        size_t want = got < out->size() ? out->size() - got : 1;
        ssize_t n = read(fd, target, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = Reason(errno);
            close(fd);
            out->clear();
            return ReadResult::Failed;
        }
        if (n == 0) break;
        if (target == &spare) {
            if (out->size() >= limit) {
                *error = "it is larger than " + std::to_string(limit) + " bytes";
                close(fd);
                out->clear();
                return ReadResult::Failed;
            }
            out->push_back(spare);  // the file grew since fstat
        }
        got += static_cast<size_t>(n);
    }
    out->resize(got);
    close(fd);
    return ReadResult::Ok;
}

WriteResult ReplaceFile(const char* path, const std::string& contents, std::string* error) {
    // A link stays a link: the file it points to is the one replaced.
    std::string target = path;
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = realpath(path, nullptr);
        if (!resolved) {
            *error = errno == ENOENT ? "it is a link to a file that does not exist" : Reason(errno);
            return WriteResult::Failed;
        }
        target = resolved;
        std::free(resolved);
    }
    bool exists = stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        *error = Reason(errno);
        return WriteResult::Failed;
    }
    if (exists) {
        *error = NotRegular(st);
        if (!error->empty()) return WriteResult::Failed;
        // No write permission for anyone means "keep this file", also for root.
        if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return WriteResult::ReadOnly;
    }

    // Made afresh beside the target (never through a link planted under that
    // name), with the old file's permissions.
    std::string temporary = target + ".tmp";
    unlink(temporary.c_str());
    mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        *error = Reason(errno);
        return WriteResult::Failed;
    }
    bool ok = WriteAll(fd, contents.data(), contents.size());
    if (ok && exists) ok = fchmod(fd, mode) == 0;  // exactly the old mode, whatever the umask
    if (ok) ok = fsync(fd) == 0;
    int saved = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && rename(temporary.c_str(), target.c_str()) == 0) return WriteResult::Ok;
    if (ok) saved = errno;
    unlink(temporary.c_str());
    *error = Reason(saved);
    return WriteResult::Failed;
}

}  // namespace Platform
