// SIGINT and SIGTERM as a request to stop: the show ends the way Escape ends
// it (tweaks saved, a capture finished), where a default handler would kill
// it with its files half written. A second signal kills as usual, so a stuck
// program can still be stopped.
#pragma once

namespace Platform {

// Installs the handlers; before SDL starts, which then keeps them.
void CatchInterrupts();
// The signal that asked the show to stop, or 0.
int InterruptSignal();
// "SIGINT", "SIGTERM", or "signal N".
const char* SignalName(int signal);

}  // namespace Platform
