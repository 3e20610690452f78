#include "platform/interrupt.h"

#include <csignal>
#include <cstdio>

namespace Platform {

namespace {

volatile std::sig_atomic_t s_signal = 0;

void OnSignal(int signal) { s_signal = signal; }

}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the next signal finds the default action again.
    // SA_RESTART: reads and writes that a signal interrupts carry on.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() { return s_signal; }

const char* SignalName(int signal) {
    if (signal == SIGINT) return "SIGINT";
    if (signal == SIGTERM) return "SIGTERM";
    static char name[24];
    std::snprintf(name, sizeof name, "signal %d", signal);
    return name;
}

}  // namespace Platform
