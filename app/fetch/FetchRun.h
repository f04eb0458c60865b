#pragma once

#include "ConsoleDisplay.h"
#include "retrieval/RetrievalCycle.h"
#include "state/State.h"

#include <QString>

namespace stormtap {

class Clock;
class FetchLog;

// How stormtap-fetch ends.
enum FetchExitStatus {
    FetchDone = 0,           // every round fetched, or stopped by SIGINT / SIGTERM
    FetchUnusableConfig = 2, // GLAVEN.CFG is missing, broken or names nothing to fetch
    FetchAccessDenied = 3,   // the server rejected the user name and password
};

// One run of stormtap-fetch: loads GLAVEN.CFG and runs the retrieval cycle of
// the Retrieve button on it, printing what the window would show.
class FetchRun {
public:
    // Sequence numbers start at 1, as the window's "Start With" field does.
    static constexpr qint16 StartWith = 1;

    FetchRun(Clock &clock, FetchLog &log, const QString &configPath);

    // Returns the exit status once the last round is over or the run was stopped.
    int exec();
    // SIGINT or SIGTERM (`why` names it): stops like STOP; the run ends at once.
    void stop(const QString &why);

    const ConsoleDisplay &display() const { return m_display; }

    // A relative image directory is taken from here, as Stormtap does.
    void setProgramDirectory(const QString &directory) { m_state.ProgramDirectory = directory; }

    // The LoopCount that means "until stopped". A run of the cycle ends after
    // that many rounds; the fetcher then goes on with a new one. Tests lower it.
    void setEndlessRounds(qint16 rounds) { m_endlessRounds = rounds; }

private:
    QString loadConfigFile();
    bool goesOn() const;
    void fetchEnded(qint16 current);

    State m_state;
    FetchLog &m_log;
    QString m_configPath;
    ConsoleDisplay m_display;
    RetrievalCycle m_cycle;
    QString m_stoppedBy;
    int m_exitStatus = FetchDone;
    qint16 m_endlessRounds = EndlessRounds;
};

} // namespace stormtap
