#include "RetrievalCycle.h"

#include "RetrievalDisplay.h"
#include "state/Counters.h"

#include <QLocale>

#include <cmath>

namespace stormtap {

namespace {

constexpr qint64 DayMs = 24 * 3600 * 1000;

// A hand-edited (or missing) GLAVEN.CFG may hold any number; a round period
// stays within a second and a year. A round with entries lasts longer than a
// second anyway (each fetch pauses one); the floor keeps rounds of an empty
// fetch list from following each other every millisecond.
constexpr qint64 ShortestRoundMs = 1000;

qint64 refreshMs(double minutes)
{
    if (!std::isfinite(minutes) || minutes <= 0)
        return ShortestRoundMs;
    return std::max(ShortestRoundMs, qint64(std::llround(std::min(minutes, 365.0 * 24 * 60) * 60000.0)));
}

// Scoped so that every way out of run() clears the flag.
struct RunningFlag {
    explicit RunningFlag(bool &flag) : flag(flag) { flag = true; }
    ~RunningFlag() { flag = false; }
    bool &flag;
};

} // namespace

QString displayDateTime(const QDateTime &when) { return QLocale::system().toString(when, QLocale::ShortFormat); }

RetrievalCycle::RetrievalCycle(State &state, Clock &clock, RetrievalDisplay &display, std::function<void()> getConfig)
    : m_state(state), m_display(display), m_getConfig(std::move(getConfig)), m_waiter(clock),
      m_fetch(state, m_http, m_waiter, display)
{
}

void RetrievalCycle::run()
{
    if (m_running)
        return; // a stopped run is still unwinding: nothing starts inside it
    RunningFlag running(m_running);

    m_state.StopRequested = 0;
    if (m_getConfig)
        m_getConfig();
    m_display.clearStatusLines();
    m_display.setProgress(0); // nothing of an earlier run's last transfer shows
    m_state.RoundNumber = 1;
    m_fetch.ReceiveBuffer.clear();
    m_display.setRounds(m_state.settings.LoopCount < EndlessRounds ? QString::number(m_state.settings.LoopCount)
                                                                   : QStringLiteral("~"));

    for (;;) {
        startRound();
        m_http.setRoundSwitch(true);
        while (m_state.EntryIndex <= m_state.EntryCount) {
            m_display.setDownloading(true);
            const qint16 current = m_state.EntryIndex;
            const FetchOutcome outcome = m_fetch.GetNIDS(current);
            if (onFetchEnded)
                onFetchEnded(current, outcome);
            m_display.setDownloading(false);
            m_state.EntryIndex = saturatingIncrement(m_state.EntryIndex);
        }
        m_http.setRoundSwitch(false);

        if (m_state.StopRequested)
            return;
        if (m_state.RoundNumber == m_state.settings.LoopCount)
            break;
        m_state.RoundNumber = saturatingIncrement(m_state.RoundNumber);

        // The next round starts once NextCheckTime has passed; the events
        // are served at least once in between.
        m_waiter.pumpOnce();
        m_waiter.waitUntil(m_state.NextCheckTime, [this] { return m_state.StopRequested != 0; });
        if (m_state.StopRequested)
            return;
    }

    // STOP during the finish hides the screen; the run then ends at once too.
    m_waiter.waitUntil(m_waiter.now() + 2000, [this] { return m_state.StopRequested != 0; });
    m_display.hideScreen();
}

void RetrievalCycle::startRound()
{
    m_state.EntryIndex = 1;
    const qint64 period = refreshMs(m_state.settings.RefreshMinutes);
    m_state.NextCheckTime = m_waiter.now() + period;
    const QDateTime now = m_waiter.clock().localNow();
    m_display.setLastCheck(displayDateTime(now));
    m_display.setNextCheck(m_state.RoundNumber < m_state.settings.LoopCount ? displayDateTime(now.addMSecs(period))
                                                                            : QString());
    m_display.setRound(QString::number(m_state.RoundNumber));
}

void RetrievalCycle::stop()
{
    m_http.stop();
    m_state.EntryIndex = saturatingIncrement(m_state.EntryCount);
    m_state.RoundNumber = saturatingIncrement(m_state.settings.LoopCount);
    m_state.NextCheckTime = m_waiter.now() - DayMs;
    m_state.StopRequested = 1;
    m_fetch.ReceiveBuffer.clear();
    m_fetch.ImageData.clear();
    m_waiter.wake();
}

} // namespace stormtap
