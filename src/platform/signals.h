// Termination asked from outside (SIGTERM at log-out, SIGINT from a terminal, SIGHUP when it closes):
// the handler only notes the signal; the game's loops poll for it and end the run themselves, with
// the player's progress saved. A file-size limit (SIGXFSZ) makes a write fail instead of killing the
// game halfway through it.
#pragma once

namespace velmora {

void InstallTerminationSignals(); // before the first window: SDL must not take SIGINT/SIGTERM over
bool TerminationRequested();
int TerminationSignal();             // the signal that asked, 0 when none
void RequestTermination(int signal); // as if the signal had come (tests)

} // namespace velmora
