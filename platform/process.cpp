#include "platform/process.h"

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace Platform {

bool FindProgram(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    for (const char* p = path;; ++p) {
        const char* end = std::strchr(p, ':');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        std::string candidate(p, length);
        if (length == 0) candidate.push_back('.');  // an empty entry means the current folder
        candidate.push_back('/');
        candidate.append(program);
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        if (!end) return false;
        p = end;
    }
}

void ReturnFreeMemory() { malloc_trim(0); }

void LowerThreadPriority() {
    // On Linux a thread's id names it to setpriority, and nice is per thread.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
}

PipeProcess::~PipeProcess() { Finish(); }

bool PipeProcess::Start(const std::vector<std::string>& args, int niceness) {
    // A child that dies early must not kill us with SIGPIPE; writes fail instead.
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;  // no other child inherits our end
    // A captured frame is megabytes: through the default 64 KB the two
    // processes would take turns some sixty times a frame. The largest size
    // an unprivileged process may ask for (1 MB by default) cuts that to a
    // few; where it is refused the pipe keeps its size.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // A process group of its own: Ctrl-C in the terminal reaches only us, and
    // we finish the child's work in good order instead of it dying half way.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (rc != 0) {
        close(fds[1]);
        return false;
    }
    // On Linux this names the child's one thread so far. Where the value is
    // refused (below our own without the privilege) the child keeps ours.
    if (niceness != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), niceness);
    m_pid = pid;
    m_fd = fds[1];
    return true;
}

bool PipeProcess::Write(const void* data, size_t size) {
    if (m_fd < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(m_fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int PipeProcess::Finish() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    if (m_pid < 0) return -1;
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace Platform
