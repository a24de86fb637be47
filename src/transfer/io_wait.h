#pragma once

#include "transfer/unique_fd.h"

#include <atomic>
#include <string>

namespace tgw {

// A request to stop a transfer that may come from another thread (a dialog's cancel button
// while a worker waits for a reply). It wakes every wait below at once instead of letting it
// run to its time-out.
class CCancelSignal {
public:
    CCancelSignal();
    CCancelSignal(const CCancelSignal&) = delete;
    CCancelSignal& operator=(const CCancelSignal&) = delete;

    // Safe from any thread, any number of times.
    void raise() noexcept;
    bool raised() const noexcept { return m_raised.load(std::memory_order_acquire); }
    // Readable once raised; -1 when no event counter could be made (waits then poll the flag).
    int fd() const { return m_event.get(); }

private:
    std::atomic<bool> m_raised{false};
    CUniqueFd m_event;
};

enum class EWait { Ready, TimedOut, Cancelled, Failed };

// Waits until `fd` has one of `events` (POLLIN, POLLOUT), `timeoutMs` passes, or `cancel` is
// raised. Hang-ups and errors on `fd` count as Ready so that the following read or write reports
// them; Failed means poll itself failed (errno is kept).
EWait waitFor(int fd, short events, int timeoutMs, const CCancelSignal& cancel);

// Milliseconds of a steady clock, for time-outs and reply timing.
long long steadyMs();

// strerror for the current errno, as a string.
std::string lastError();
std::string errorText(int error);

} // namespace tgw
