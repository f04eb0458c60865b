#include "ConsoleDisplay.h"

#include "FetchLog.h"
#include "retrieval/Clock.h"

namespace stormtap {

namespace {
// Every fetch that stores nothing says so on its status line.
bool isFailureLine(const QString &statusLine) { return statusLine.contains(QLatin1String(" -- Failed ")); }
} // namespace

void ConsoleDisplay::insertStatusLine(int row, const QString &text)
{
    m_lines.insert(qBound(0, row, int(m_lines.size())), text);
    if (isFailureLine(text))
        m_log.failure(text);
    else
        m_log.info(text);
}

void ConsoleDisplay::setRound(const QString &text)
{
    QString line = QStringLiteral("Round ") + text;
    // Below 1 (a hand-edited GLAVEN.CFG) the end test is never met.
    if (m_rounds == QLatin1String("~"))
        line += QStringLiteral(" (endless rounds)");
    else if (m_state.settings.LoopCount < 1)
        line += QStringLiteral(" (until stopped)");
    else
        line += QStringLiteral(" of ") + m_rounds;
    if (m_nextShown) {
        const qint64 untilNext = m_state.NextCheckTime - m_clock.monotonicMs();
        line += QStringLiteral(", next round at ") + FetchLog::timeText(m_clock.localNow().addMSecs(untilNext));
    }
    m_log.info(line);
}

} // namespace stormtap
