#include "ConfigController.h"

#include "frmMain.h"

namespace stormtap {

ConfigController::ConfigController(State &state, frmMain &window) : m_state(state), m_window(window) {}

void ConfigController::GetConfig() {}

void ConfigController::fillSetupFields() {}

bool ConfigController::save() { return true; }

} // namespace stormtap
