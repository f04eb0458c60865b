#pragma once

#include "retrieval/Clock.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// A clock for tests: a pause lets the events already waiting run and then jumps
// to its deadline, so minutes pass in microseconds. A reply wait blocks until the
// reply arrives (real network), unless jumpReplyWaits makes it time out at once.
class FakeClock : public stormtap::Clock {
public:
    static constexpr qint64 Start = 1000000000;

    qint64 ms = Start;
    QDateTime base{QDate(2024, 5, 1), QTime(12, 0)};
    bool jumpReplyWaits = false;
    // Runs inside every blocking wait, before the clock jumps: a test clicks STOP here.
    std::function<void(stormtap::WaitKind)> onBlock;

    qint64 monotonicMs() const override { return ms; }
    QDateTime localNow() const override { return base.addMSecs(ms - Start); }
    qint64 elapsed() const { return ms - Start; }

    void block(QEventLoop &loop, qint64 remaining, stormtap::WaitKind kind) override
    {
        QTimer step;
        step.setSingleShot(true);
        QObject::connect(&step, &QTimer::timeout, &loop, [&] {
            if (onBlock)
                onBlock(kind);
            if (kind == stormtap::WaitKind::Pause || jumpReplyWaits) {
                ms += remaining;
                loop.quit();
            }
        });
        // A reply that never comes must not hang the test.
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &loop, [&] {
            qWarning("FakeClock: a reply wait saw nothing for 20 s");
            ms += remaining;
            loop.quit();
        });
        step.start(0);
        safety.start(20000);
        loop.exec();
    }
};
