#include "base/termination.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace tgw {
namespace {

// A slot of the table. The handler reads only armed slots; their paths are written before the
// slot is armed and stay until it is freed. (A slot freed and filled again while a handler on
// another thread reads it could give that handler a mixed path; the handler only unlinks it,
// and the program's temporary names are random, so such a path names no file.)
struct CSlot {
    enum : int { kFree, kFilling, kArmed };
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

CSlot g_slots[kMaxTemporaryFiles];

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

// 0 when no stop is asked for; else how the handler behaves: kStopRequested while a
// CStopRequest lives, and the signal number once one came.
std::atomic<int> g_stopState{0};
constexpr int kStopRequested = -1;

void removeRegisteredFiles() {
    for (CSlot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == CSlot::kArmed)
            ::unlink(slot.path);
}

extern "C" void onTerminatingSignal(int sig) {
    const int savedErrno = errno;
    removeRegisteredFiles();
    int expected = kStopRequested;
    if (g_stopState.compare_exchange_strong(expected, sig) || expected > 0) {
        errno = savedErrno;
        return; // the work stops the regular way
    }
    // Ended by this very signal, with its default action (a core dump where it makes one).
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    ::raise(sig); // pending until this handler returns, as the signal is blocked in it
    errno = savedErrno;
}

} // namespace

std::vector<int> terminatingSignals() {
    std::vector<int> signals = {SIGHUP,    SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE,
                                SIGALRM,   SIGUSR1, SIGUSR2, SIGXCPU,   SIGXFSZ,
                                SIGVTALRM, SIGPROF, SIGIO,   SIGSTKFLT, SIGPWR};
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        signals.push_back(sig);
    return signals;
}

void installTerminationCleanup() {
    for (int sig : terminatingSignals()) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onTerminatingSignal;
        sigemptyset(&action.sa_mask);
        // The other terminating signals wait while the files are removed.
        for (int other : terminatingSignals())
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        ::sigaction(sig, &action, nullptr);
    }
}

bool registerTemporaryFile(const std::string& path) {
    if (path.empty() || path.size() >= PATH_MAX)
        return false;
    for (CSlot& slot : g_slots) {
        int expected = CSlot::kFree;
        if (!slot.state.compare_exchange_strong(expected, CSlot::kFilling,
                                                std::memory_order_acq_rel))
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(CSlot::kArmed, std::memory_order_release);
        return true;
    }
    return false;
}

void unregisterTemporaryFile(const std::string& path) {
    for (CSlot& slot : g_slots) {
        int expected = CSlot::kArmed;
        if (slot.state.load(std::memory_order_acquire) == CSlot::kArmed &&
            std::strcmp(slot.path, path.c_str()) == 0 &&
            slot.state.compare_exchange_strong(expected, CSlot::kFree, std::memory_order_acq_rel))
            return;
    }
}

size_t registeredTemporaryFiles() {
    size_t n = 0;
    for (const CSlot& slot : g_slots)
        n += slot.state.load(std::memory_order_acquire) == CSlot::kArmed;
    return n;
}

CStopRequest::CStopRequest() {
    g_stopState.store(kStopRequested);
}

CStopRequest::~CStopRequest() {
    g_stopState.store(0);
}

int CStopRequest::signal() const {
    const int state = g_stopState.load();
    return state > 0 ? state : 0;
}

} // namespace tgw
