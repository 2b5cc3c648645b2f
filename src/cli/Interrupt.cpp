#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace vt::cli {
namespace {

// A signal handler may only touch a lock-free atomic.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onInterrupt(int) {
    requested.store(true);
    // The next Ctrl-C is not caught: a run stuck where it cannot yield still ends.
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void catchInterrupt() {
    std::signal(SIGINT, onInterrupt);
}

bool interrupted() {
    return requested.load();
}

} // namespace vt::cli
