#include "AlertTimer.h"

namespace stormtap {

QtAlertTimer::QtAlertTimer(int intervalMs, QObject *parent) : AlertTimer(parent)
{
    m_timer.setInterval(intervalMs);
    // The alert should last its full time: coarse timers may fire up to 5 % early.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AlertTimer::timeout);
}

} // namespace stormtap
