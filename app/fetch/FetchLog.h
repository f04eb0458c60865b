#pragma once

#include <QByteArray>
#include <QString>

class QDateTime;
class QIODevice;

namespace stormtap {

class Clock;

// The lines stormtap-fetch prints, each with the local date-time in front:
// what it does on standard output, failures on standard error as well.
class FetchLog {
public:
    FetchLog(QIODevice &out, QIODevice &err, const Clock &clock) : m_out(out), m_err(err), m_clock(clock) {}

    // Only failures are printed.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // Both streams end in the same place (a terminal, a file, the journal):
    // a failure is printed there once.
    void setSameDestination(bool same) { m_sameDestination = same; }
    // Put in front of failure lines on standard error, e.g. "<3>" so that the
    // journal files them as errors.
    void setFailureMark(const QByteArray &mark) { m_failureMark = mark; }

    void info(const QString &text);
    void failure(const QString &text);
    // A problem that is no fetch's (a warning of the libraries): standard error only.
    void warning(const QString &text);

    // The date-time in front of every line.
    static QString timeText(const QDateTime &when);

private:
    QByteArray line(const QString &text) const;

    QIODevice &m_out;
    QIODevice &m_err;
    const Clock &m_clock;
    bool m_quiet = false;
    bool m_sameDestination = false;
    QByteArray m_failureMark;
};

} // namespace stormtap
