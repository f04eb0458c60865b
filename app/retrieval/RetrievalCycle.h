#pragma once

#include "Clock.h"
#include "Http1.h"
#include "ImageFetch.h"
#include "Waiter.h"
#include "state/State.h"

#include <functional>

namespace stormtap {

class RetrievalDisplay;

// A retrieval run: LoopCount rounds, RefreshMinutes apart from round start to
// round start, each fetching every entry of the fetch list once. It runs inside
// the caller (the Retrieve handler) and waits on the event queue, so STOP and the
// network are served while it runs.
class RetrievalCycle {
public:
    // getConfig reloads the settings and the fetch list (GLAVEN.CFG).
    RetrievalCycle(State &state, Clock &clock, RetrievalDisplay &display, std::function<void()> getConfig);

    void run();
    // STOP: stops the request in progress; the run ends at its next test.
    void stop();
    // EXIT: releases the round's connection.
    void roundSwitchOff() { m_http.setRoundSwitch(false); }

    // From the start of a run until it has ended, a stopped run's unwinding included.
    bool isRunning() const { return m_running; }

    void setClock(Clock &clock) { m_waiter.setClock(clock); }
    HTTP1 &http() { return m_http; }
    ImageFetch &fetch() { return m_fetch; }
    Waiter &waiter() { return m_waiter; }

    // Told of every fetch's outcome, for tests and the benchmark.
    std::function<void(qint16 current, const FetchOutcome &outcome)> onFetchEnded;

private:
    void startRound();

    State &m_state;
    RetrievalDisplay &m_display;
    std::function<void()> m_getConfig;
    Waiter m_waiter;
    HTTP1 m_http;
    ImageFetch m_fetch;
    bool m_running = false;
};

// Local date-times as the retrieval screen shows them: the platform's short form.
QString displayDateTime(const QDateTime &when);

} // namespace stormtap
