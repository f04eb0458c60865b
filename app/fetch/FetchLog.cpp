#include "FetchLog.h"

#include "retrieval/Clock.h"

#include <QDateTime>
#include <QIODevice>

namespace stormtap {

QString FetchLog::timeText(const QDateTime &when) { return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

QByteArray FetchLog::line(const QString &text) const
{
    // One write per line, so that lines of the two streams never mix mid-line.
    return (timeText(m_clock.localNow()) + QLatin1Char(' ') + text + QLatin1Char('\n')).toUtf8();
}

void FetchLog::info(const QString &text)
{
    if (!m_quiet)
        m_out.write(line(text));
}

void FetchLog::failure(const QString &text)
{
    const QByteArray bytes = line(text);
    if (!m_quiet && !m_sameDestination)
        m_out.write(bytes);
    m_err.write(m_failureMark + bytes);
}

void FetchLog::warning(const QString &text) { m_err.write(m_failureMark + line(text)); }

} // namespace stormtap
