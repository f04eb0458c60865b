#pragma once

#include "retrieval/Clock.h"

#include <QEventLoop>
#include <QTimer>

// The real clock, except that the short fixed pauses of a fetch (1, 2 and 3
// seconds) pass at once, after the events already waiting have been served.
// Reply waits and the wait for the next round take their real time.
class QuickPausesClock : public stormtap::SystemClock {
public:
    static constexpr qint64 LongestSkipped = 5000;

    qint64 monotonicMs() const override { return SystemClock::monotonicMs() + m_skipped; }
    QDateTime localNow() const override { return SystemClock::localNow().addMSecs(m_skipped); }

    void block(QEventLoop &loop, qint64 ms, stormtap::WaitKind kind) override
    {
        if (kind != stormtap::WaitKind::Pause || ms > LongestSkipped) {
            SystemClock::block(loop, ms, kind);
            return;
        }
        QTimer step;
        step.setSingleShot(true);
        QObject::connect(&step, &QTimer::timeout, &loop, [&] {
            m_skipped += ms;
            loop.quit();
        });
        step.start(0);
        loop.exec();
    }

private:
    qint64 m_skipped = 0;
};
