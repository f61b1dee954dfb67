#include "platform/signals.h"

#include <SDL.h>
#include <csignal>
#include <initializer_list>

namespace velmora {

namespace {

volatile std::sig_atomic_t gTerminationSignal = 0;

extern "C" void NoteTerminationSignal(int signal) {
    gTerminationSignal = signal;
}

} // namespace

void InstallTerminationSignals() {
    // SDL would turn SIGINT and SIGTERM into a quit event, which the game answers with a question.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = NoteTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

bool TerminationRequested() {
    return gTerminationSignal != 0;
}

int TerminationSignal() {
    return gTerminationSignal;
}

void RequestTermination(int signal) {
    gTerminationSignal = signal;
}

} // namespace velmora
