#include "platform/isolated.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace Platform {

namespace {

// Writes all of it; the parent reads as long as the child writes.
bool WriteAll(int fd, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

[[noreturn]] void RunChild(const std::function<bool(std::vector<uint8_t>*)>& work, int fd) {
    // A fault ends the child with its signal, for the parent to see, rather
    // than in a handler of the parent's (a sanitizer's report, say).
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(sig, SIG_DFL);
    std::vector<uint8_t> result;
    const uint8_t ok = work(&result) ? 1 : 0;
    // The status byte first, then the result or the error's text.
    bool sent = WriteAll(fd, &ok, 1) && WriteAll(fd, result.data(), result.size());
    // No destructors, no exit handlers: they belong to the parent.
    _exit(sent ? 0 : 1);
}

}  // namespace

bool RunIsolated(const std::function<bool(std::vector<uint8_t>*)>& work, size_t maxBytes, int timeoutMs,
                 std::vector<uint8_t>* out, std::string* error) {
    out->clear();
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("no pipe: ") + std::strerror(errno);
        return false;
    }
    pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("no child process: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(work, fds[1]);
    }
    close(fds[1]);

    // Read until the child closes its end, it sends too much, or time is up.
    std::vector<uint8_t> received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false, tooMuch = false;
    uint8_t buffer[65536];
    for (;;) {
        int left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        int ready = poll(&p, 1, left);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;  // the deadline is checked above
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // end of file: the child is done
        if (received.size() + static_cast<size_t>(n) > maxBytes + 1) {
            tooMuch = true;
            break;
        }
        received.insert(received.end(), buffer, buffer + n);
    }
    close(fds[0]);
    if (timedOut || tooMuch) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}

    if (timedOut) {
        *error = "it took longer than " + std::to_string(timeoutMs / 1000) + " s to read";
        return false;
    }
    if (tooMuch) {
        *error = "it is too large";
        return false;
    }
    if (WIFSIGNALED(status)) {
        *error = std::string("the reader crashed on it (") + strsignal(WTERMSIG(status)) + ")";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || received.empty()) {
        *error = "the reader stopped without an answer";
        return false;
    }
    if (received[0] != 1) {
        *error = std::string(received.begin() + 1, received.end());
        return false;
    }
    out->assign(received.begin() + 1, received.end());
    return true;
}

}  // namespace Platform
