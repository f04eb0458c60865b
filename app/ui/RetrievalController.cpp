#include "RetrievalController.h"

#include "frmMain.h"

namespace stormtap {

RetrievalController::RetrievalController(State &state, frmMain &window) : m_state(state), m_window(window) {}

void RetrievalController::run() {}

void RetrievalController::stop() { m_state.StopRequested = 1; }

void RetrievalController::roundSwitchOff() {}

} // namespace stormtap
