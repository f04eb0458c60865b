#include "FetchRun.h"

#include "FetchLog.h"
#include "config/ConfigReader.h"
#include "config/ImageDirectory.h"

#include <QDir>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace stormtap {

namespace {

// The fetcher waits minutes between rounds: what a round freed goes back to the
// system instead of staying in the allocator's free lists.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

FetchRun::FetchRun(Clock &clock, FetchLog &log, const QString &configPath)
    : m_log(log), m_configPath(configPath), m_display(m_state, clock, log), m_cycle(m_state, clock, m_display, {})
{
    m_cycle.onFetchEnded = [this](qint16 current, const FetchOutcome &) { fetchEnded(current); };
}

QString FetchRun::loadConfigFile()
{
    const QString shown = QDir::toNativeSeparators(m_configPath);
    const LoadedConfig config = loadConfig(m_configPath, m_state, StartWith);
    if (!config.ok())
        return config.problem;
    // Stormtap starts afresh without the file; unattended, there is nothing to do.
    if (config.fileMissing) {
        return QStringLiteral("Cannot read %1: there is no such file. Save the settings in Stormtap first, or name "
                              "the file with --config.")
            .arg(shown);
    }
    QString problem;
    if (config.settings.Server.trimmed().isEmpty())
        problem = QStringLiteral("it names no web server");
    else if (config.settings.Port < 1)
        problem = QStringLiteral("its port is not a number from 1 to 65535");
    else if (config.settings.ImageDirectory.isEmpty())
        problem = QStringLiteral("it names no image directory");
    else if (config.entries.empty())
        problem = QStringLiteral("its fetch list is empty");
    if (!problem.isEmpty())
        return QStringLiteral("Cannot use %1: %2.").arg(shown, problem);
    applyConfig(config, m_state);
    return QString();
}

int FetchRun::exec()
{
    const QString problem = loadConfigFile();
    if (!problem.isEmpty()) {
        m_log.failure(problem);
        return FetchUnusableConfig;
    }
    // Run all the same: the directory may be made or mounted later; every
    // picture that cannot be stored is reported.
    const QString directoryProblem =
        imageDirectoryProblem(imageDirectoryPath(m_state.settings.ImageDirectory, m_state.ProgramDirectory));
    if (!directoryProblem.isEmpty())
        m_log.failure(QStringLiteral("Warning: %1: new pictures cannot be stored.").arg(directoryProblem));

    if (m_stoppedBy.isEmpty())
        m_cycle.run();
    while (goesOn()) {
        // Unattended, endless means endless: the next round starts when it
        // would have, with the entries' Last-Modified values kept.
        m_cycle.waiter().waitUntil(m_state.NextCheckTime, [this] { return !m_stoppedBy.isEmpty(); });
        if (!m_stoppedBy.isEmpty())
            break;
        m_log.info(QStringLiteral("Round %1 was a run's last; the rounds go on from 1").arg(m_endlessRounds));
        m_cycle.run();
    }

    if (m_exitStatus != FetchDone)
        return m_exitStatus;
    if (!m_stoppedBy.isEmpty())
        m_log.info(QStringLiteral("Stopped by ") + m_stoppedBy);
    else
        m_log.info(QStringLiteral("Finished after %1 rounds").arg(m_state.RoundNumber));
    return FetchDone;
}

bool FetchRun::goesOn() const
{
    return m_state.settings.LoopCount == m_endlessRounds && m_state.RoundNumber == m_endlessRounds &&
           m_stoppedBy.isEmpty() && m_exitStatus == FetchDone;
}

void FetchRun::stop(const QString &why)
{
    if (!m_stoppedBy.isEmpty())
        return;
    m_stoppedBy = why;
    m_cycle.stop();
}

void FetchRun::fetchEnded(qint16 current)
{
    if (m_display.accessWasDenied() && m_exitStatus == FetchDone) {
        // Every later round would be refused as well: a person must fix them.
        m_exitStatus = FetchAccessDenied;
        m_log.failure(QStringLiteral("Username / Password Invalid: the server rejected them. Correct them in "
                                     "Stormtap's Setup page and start stormtap-fetch again."));
        m_cycle.stop();
    }
    // A moment later the round's replies and its network thread are gone too.
    if (current == m_state.EntryCount)
        QTimer::singleShot(1000, [] { releaseFreedMemory(); });
}

} // namespace stormtap
