// catch_interrupts: SIGINT and SIGTERM handlers that record the signal in a flag.
#include "runtime/interrupt.h"

#include <atomic>
#include <csignal>

namespace rt {
namespace {

// Set in a signal handler on whichever thread takes the signal, read by the frame loop: a
// lock-free atomic is safe for both.
std::atomic<std::sig_atomic_t> caught{0};
static_assert(std::atomic<std::sig_atomic_t>::is_always_lock_free);

extern "C" void note_signal(int signal) { caught.store(signal); }

}  // namespace

void catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = &note_signal;
    sigemptyset(&action.sa_mask);
    // The handler goes after its first signal: a second one of the kind ends a run that hangs.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interrupt_signal() { return caught.load(); }

int interrupted_exit_status(int signal) { return 128 + signal; }

}  // namespace rt
