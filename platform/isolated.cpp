#include "platform/isolated.h"

#include "platform/file_io.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

extern char** environ;

namespace Platform {

namespace {

// Names the work, and its limits, in the child's environment:
// "<name> <cpu seconds> <memory bytes>".
constexpr char kWorkVariable[] = "LUMIVANE_ISOLATED_WORK";

std::vector<std::pair<std::string, IsolatedWork>>& Registry() {
    static std::vector<std::pair<std::string, IsolatedWork>> works;
    return works;
}

IsolatedWork Find(const std::string& name) {
    for (const auto& [n, work] : Registry())
        if (n == name) return work;
    return nullptr;
}

// Set by RunIsolatedWorkIfAsked: this program's main answers a child's call.
bool s_mainAnswers = false;

// Caps the address space at what the process has mapped now plus `budget`.
// Relative, because a sanitizer's process maps terabytes of shadow memory at
// start; that space is reserved, not used, and must not count.
void LimitAddressSpace(size_t budget) {
    unsigned long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return;
    const bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    if (!read) return;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + budget;
    rlimit r{limit, limit};
    setrlimit(RLIMIT_AS, &r);
}

// The child's side: the input on stdin, the answer on stdout (a status byte,
// then the result or the error's text).
[[noreturn]] void Answer(const char* request) {
    char name[64] = {};
    int cpuSeconds = 0;
    unsigned long long memory = 0;
    IsolatedWork work = nullptr;
    if (std::sscanf(request, "%63s %d %llu", name, &cpuSeconds, &memory) == 3 && cpuSeconds > 0) work = Find(name);
    if (!work) {
        std::fprintf(stderr, "lumivane: %s='%s' names no work this program does\n", kWorkVariable, request);
        _exit(2);
    }
    // The child goes when the thread that started it goes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A fault ends the child with its signal, for the parent to see, rather
    // than in a sanitizer's handler that reports and exits.
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGXCPU}) std::signal(sig, SIG_DFL);
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);  // no core file for a crash that is only an error here
    rlimit cpu{static_cast<rlim_t>(cpuSeconds), static_cast<rlim_t>(cpuSeconds) + 1};
    setrlimit(RLIMIT_CPU, &cpu);

    std::vector<uint8_t> input;
    uint8_t buffer[65536];
    for (;;) {
        ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) _exit(1);
        if (n == 0) break;
        input.insert(input.end(), buffer, buffer + n);
    }
    // A file that asks the reader for gigabytes gets an allocation failure
    // instead of the machine's memory.
    LimitAddressSpace(static_cast<size_t>(memory));
    std::vector<uint8_t> result;
    const uint8_t ok = work(input.data(), input.size(), &result) ? 1 : 0;
    bool sent = WriteAll(STDOUT_FILENO, &ok, 1) && WriteAll(STDOUT_FILENO, result.data(), result.size());
    // No destructors, no exit handlers, no leak report: the process did one job.
    _exit(sent ? 0 : 1);
}

// This program, started with the work's name in its environment, input from
// `inputFd` and its stdout into `outputFd`. 0 or an errno.
int Spawn(const std::string& request, int inputFd, int outputFd, pid_t* pid) {
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, kWorkVariable, sizeof kWorkVariable - 1) != 0) variables.push_back(*e);
    variables.push_back(std::string(kWorkVariable) + "=" + request);
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    char program[] = "/proc/self/exe";
    char* argv[] = {program, nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inputFd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    // Signals as a new program expects them: none blocked (this thread may
    // block some), none ignored. A process group of its own keeps Ctrl-C,
    // which this program answers in good order, from killing the child.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    const int rc = posix_spawn(pid, program, &actions, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

// The child's input, in a file of memory: the child reads it at its own pace
// and this side never blocks writing it.
int InputFile(const uint8_t* input, size_t size) {
    int fd = memfd_create("lumivane-isolated-input", MFD_CLOEXEC);
    if (fd < 0) return -1;
    if (!WriteAll(fd, input, size) || lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

IsolatedWorkName::IsolatedWorkName(const char* name, IsolatedWork work) { Registry().emplace_back(name, work); }

void RunIsolatedWorkIfAsked() {
    s_mainAnswers = true;
    if (const char* request = std::getenv(kWorkVariable)) Answer(request);
}

bool RunIsolated(const char* name, const uint8_t* input, size_t size, const IsolatedLimits& limits,
                 std::vector<uint8_t>* out, std::string* error) {
    out->clear();
    if (!s_mainAnswers || !Find(name)) {
        *error = std::string("this program cannot run '") + name + "' in a process of its own";
        return false;
    }
    const int inputFd = InputFile(input, size);
    if (inputFd < 0) {
        *error = std::string("no memory file for the reader's input: ") + std::strerror(errno);
        return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("no pipe: ") + std::strerror(errno);
        close(inputFd);
        return false;
    }
    const std::string request =
        std::string(name) + " " + std::to_string(limits.cpuSeconds) + " " + std::to_string(limits.maxMemory);
    pid_t pid = -1;
    const int rc = Spawn(request, inputFd, fds[1], &pid);
    close(inputFd);
    close(fds[1]);
    if (rc != 0) {
        *error = std::string("no child process: ") + std::strerror(rc);
        close(fds[0]);
        return false;
    }

    // Read until the child closes its end, it sends too much, or time is up.
    // The processor-time limit ends a child that works too long; the wall
    // clock one that waits (for what will never come) or is starved.
    std::vector<uint8_t> received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4 * limits.cpuSeconds);
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
        if (received.size() + static_cast<size_t>(n) > limits.maxBytes + 1) {
            tooMuch = true;
            break;
        }
        received.insert(received.end(), buffer, buffer + n);
    }
    close(fds[0]);
    if (timedOut || tooMuch) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}

    const bool outOfTime = WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL);
    if (timedOut || (outOfTime && !tooMuch)) {
        *error = "it took longer than " + std::to_string(limits.cpuSeconds) + " s to read";
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
    received.erase(received.begin());  // the status byte; the rest is the answer, not copied again
    *out = std::move(received);
    return true;
}

}  // namespace Platform
