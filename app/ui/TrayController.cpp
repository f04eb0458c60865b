#include "TrayController.h"

#include "frmMain.h"

namespace stormtap {

TrayController::TrayController(frmMain &window) : m_window(window) {}

bool TrayController::minimiseRequested() { return false; }

void TrayController::alertStart() {}

void TrayController::remove() {}

} // namespace stormtap
