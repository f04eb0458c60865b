#pragma once

#include "state/State.h"

#include <QObject>

namespace stormtap {

class frmMain;

// Runs a retrieval inside the Retrieve handler and drives the retrieval screen.
class RetrievalController : public QObject {
    Q_OBJECT
public:
    RetrievalController(State &state, frmMain &window);

    // True from the start of a run until it has completely ended, a stopped run's
    // unwinding included.
    bool isRunning() const { return m_running; }

    void run();
    // STOP: stops the request in progress and makes the run end at its next test.
    void stop();
    // EXIT: releases the connection of the round.
    void roundSwitchOff();

private:
    State &m_state;
    frmMain &m_window;
    bool m_running = false;
};

} // namespace stormtap
