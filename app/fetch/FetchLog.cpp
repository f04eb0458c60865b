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

namespace {

// A stream that is closed (started with >&-) is left alone: writing to it would
// only raise a warning, which is printed through this log again.
void writeTo(QIODevice &device, const QByteArray &bytes)
{
    if (device.isOpen())
        device.write(bytes);
}

} // namespace

void FetchLog::info(const QString &text)
{
    if (!m_quiet)
        writeTo(m_out, line(text));
}

void FetchLog::failure(const QString &text)
{
    const QByteArray bytes = line(text);
    if (!m_quiet && !m_sameDestination)
        writeTo(m_out, bytes);
    writeTo(m_err, m_failureMark + bytes);
}

void FetchLog::warning(const QString &text) { writeTo(m_err, m_failureMark + line(text)); }

} // namespace stormtap
