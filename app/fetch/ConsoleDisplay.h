#pragma once

#include "retrieval/RetrievalDisplay.h"
#include "state/State.h"

#include <QStringList>

namespace stormtap {

class Clock;
class FetchLog;

// The retrieval screen as lines of text: every status line the window would
// show, and the start of every round.
class ConsoleDisplay : public RetrievalDisplay {
public:
    ConsoleDisplay(const State &state, const Clock &clock, FetchLog &log) : m_state(state), m_clock(clock), m_log(log)
    {
    }

    // The status list as the window would show it now.
    const QStringList &lines() const { return m_lines; }
    // Set when the server rejected the user name and password.
    bool accessWasDenied() const { return m_accessDenied; }

    int statusLineCount() const override { return int(m_lines.size()); }
    void removeStatusLine(int row) override { m_lines.removeAt(row); }
    void insertStatusLine(int row, const QString &text) override;
    void clearStatusLines() override { m_lines.clear(); }

    void setProgress(int) override {}
    void setLastCheck(const QString &) override {}
    void setNextCheck(const QString &text) override { m_nextShown = !text.isEmpty(); }
    void setRound(const QString &text) override;
    void setRounds(const QString &text) override { m_rounds = text; }
    void setDownloading(bool) override {}
    void hideScreen() override {}
    void newImageAlert() override {}
    void alertStart() override {}
    void accessDenied() override { m_accessDenied = true; }

private:
    const State &m_state;
    const Clock &m_clock;
    FetchLog &m_log;
    QStringList m_lines;
    QString m_rounds;
    bool m_nextShown = false;
    bool m_accessDenied = false;
};

} // namespace stormtap
