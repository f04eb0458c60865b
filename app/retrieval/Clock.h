#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QtGlobal>

class QEventLoop;

namespace stormtap {

// What a wait is waiting for: a pause only ends by the clock (or STOP), a reply
// wait ends as well when the server's answer arrives.
enum class WaitKind { Pause, Reply };

// The retrieval's one source of time. Deadlines are taken on the monotonic
// clock, so a change of the wall clock or of daylight-saving time neither
// stretches nor cuts a wait; the wall clock is only shown. Tests replace it with
// a clock whose time jumps when a wait would block.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 monotonicMs() const = 0;
    virtual QDateTime localNow() const = 0;
    // Runs `loop` until it is quit or until about `ms` milliseconds have passed.
    virtual void block(QEventLoop &loop, qint64 ms, WaitKind kind) = 0;
};

class SystemClock : public Clock {
public:
    SystemClock();
    qint64 monotonicMs() const override;
    QDateTime localNow() const override;
    void block(QEventLoop &loop, qint64 ms, WaitKind kind) override;

private:
    QElapsedTimer m_started;
};

} // namespace stormtap
