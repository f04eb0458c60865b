#pragma once

#include "retrieval/Clock.h"
#include "retrieval/RetrievalCycle.h"
#include "retrieval/RetrievalDisplay.h"
#include "state/State.h"

#include <QObject>

namespace stormtap {

class frmMain;

// Runs a retrieval inside the Retrieve handler and shows it on the retrieval
// screen.
class RetrievalController : public QObject, private RetrievalDisplay {
    Q_OBJECT
public:
    RetrievalController(State &state, frmMain &window);

    // True from the start of a run until it has completely ended, a stopped run's
    // unwinding included.
    bool isRunning() const { return m_cycle.isRunning(); }

    void run();
    // STOP: stops the request in progress and makes the run end at once.
    void stop();
    // EXIT: releases the connection of the round.
    void roundSwitchOff();

    // The receive state (GetConfig clears TransferComplete) and, for tests, the
    // cycle and its clock.
    ImageFetch &receiveState() { return m_cycle.fetch(); }
    RetrievalCycle &cycle() { return m_cycle; }
    void setClock(Clock &clock) { m_cycle.setClock(clock); }

private:
    int statusLineCount() const override;
    void removeStatusLine(int row) override;
    void insertStatusLine(int row, const QString &text) override;
    void clearStatusLines() override;
    void setProgress(int percent) override;
    void setLastCheck(const QString &text) override;
    void setNextCheck(const QString &text) override;
    void setRound(const QString &text) override;
    void setRounds(const QString &text) override;
    void setDownloading(bool shown) override;
    void hideScreen() override;
    void newImageAlert() override;
    void alertStart() override;
    void accessDenied() override;

    State &m_state;
    frmMain &m_window;
    SystemClock m_clock;
    RetrievalCycle m_cycle;
};

} // namespace stormtap
