#include "Waiter.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace stormtap {

bool Waiter::waitUntil(qint64 deadline, const std::function<bool()> &done, WaitKind kind)
{
    for (;;) {
        if (done && done())
            return false;
        const qint64 now = m_clock->monotonicMs();
        if (now > deadline)
            return true;
        QEventLoop loop;
        m_loops.push_back(&loop);
        m_clock->block(loop, deadline - now + 1, kind);
        m_loops.pop_back();
    }
}

void Waiter::pumpOnce() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Waiter::wake()
{
    if (!m_loops.empty())
        m_loops.back()->quit();
}

} // namespace stormtap
