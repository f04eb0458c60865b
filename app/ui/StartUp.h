#pragma once

#include "state/State.h"

#include <memory>

namespace stormtap {

class frmMain;

// The start-up sequence: sets the state, reads the catalogue from SITES.DAT in
// the program directory and shows the main window. A problem with SITES.DAT is
// reported once the window shows; the program starts all the same.
std::unique_ptr<frmMain> startUp(State &state, const QString &programDirectory);

} // namespace stormtap
