#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace tgw {

// The one clean-up path of a process that a signal ends: temporary files that must not outlive
// it are registered here (CReplacingFile registers each of its own until it is committed or
// discarded), and the handler of every terminating signal removes them before anything else.
//
// installTerminationCleanup() catches each signal of terminatingSignals() that was not ignored
// when the program started (a `nohup` keeps its SIGHUP ignored). Its handler removes the
// registered files, then
//   - while a CStopRequest lives, records the signal and returns: the work stops the regular
//     way and reports it (tgw build cancels its builder);
//   - otherwise ends the process by the same signal with its default action, so the caller sees
//     the signal as if it had not been caught.
// Signals of a fault in the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP,
// SIGSYS) are left to their default action and to the sanitizers.
void installTerminationCleanup();

// The signals installTerminationCleanup() catches: the terminating ones that come from outside
// (SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, ...)
// and the real-time signals.
std::vector<int> terminatingSignals();

// At most this many temporary files are registered at once; a further one is not removed by a
// signal (the regular paths still remove it).
inline constexpr size_t kMaxTemporaryFiles = 32;

// Registers `path` for removal by a terminating signal. False when the table is full or the
// path is too long. Thread-safe; a path is registered once.
bool registerTemporaryFile(const std::string& path);
// Takes `path` out of the table (committed, discarded or removed). Thread-safe.
void unregisterTemporaryFile(const std::string& path);
// How many files are registered (for tests).
size_t registeredTemporaryFiles();

// While alive, a terminating signal asks the work to stop instead of ending the process. Not
// nested across threads: one at a time.
class CStopRequest {
public:
    CStopRequest();
    ~CStopRequest();
    CStopRequest(const CStopRequest&) = delete;
    CStopRequest& operator=(const CStopRequest&) = delete;

    // The signal that asked to stop, or 0.
    int signal() const;
};

} // namespace tgw
