#include "Clock.h"

#include <QEventLoop>
#include <QTimer>

namespace stormtap {

SystemClock::SystemClock() { m_started.start(); }

qint64 SystemClock::monotonicMs() const { return m_started.elapsed(); }

QDateTime SystemClock::localNow() const { return QDateTime::currentDateTime(); }

void SystemClock::block(QEventLoop &loop, qint64 ms, WaitKind)
{
    // A precise timer: a coarse one may fire up to 5 % early. The caller checks
    // the clock again after waking in any case.
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(int(qBound(qint64(0), ms, qint64(24 * 3600 * 1000))));
    loop.exec();
}

} // namespace stormtap
