#pragma once

#include "Clock.h"

#include <functional>
#include <vector>

class QEventLoop;

namespace stormtap {

// The one way the retrieval waits: it blocks on the event queue (so the window,
// the network and STOP are served) until a deadline has really passed or until
// wake() says that something the wait looks at has changed.
class Waiter {
public:
    explicit Waiter(Clock &clock) : m_clock(&clock) {}

    Clock &clock() const { return *m_clock; }
    void setClock(Clock &clock) { m_clock = &clock; }

    qint64 now() const { return m_clock->monotonicMs(); }

    // Waits until the monotonic time is later than `deadline` (true) or until
    // `done` holds (false). `done` is tested before every block and after every
    // wake; an empty one is never true.
    bool waitUntil(qint64 deadline, const std::function<bool()> &done, WaitKind kind = WaitKind::Pause);

    // Serves the events that are already waiting, once, and comes back.
    void pumpOnce();

    // Called by whoever changes what a wait looks at.
    void wake();

private:
    Clock *m_clock;
    std::vector<QEventLoop *> m_loops;
};

} // namespace stormtap
