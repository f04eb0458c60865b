#pragma once

#include "state/State.h"

#include <QObject>

namespace stormtap {

class frmMain;

// GLAVEN.CFG on the window: loading it into the state and the pages, the
// setup-field fill, Save, and the handlers of the two configuration pages.
class ConfigController : public QObject {
    Q_OBJECT
public:
    ConfigController(State &state, frmMain &window);

    void GetConfig();
    void fillSetupFields();
    // Writes GLAVEN.CFG; false when it was refused or failed (the user has been told).
    bool save();

private:
    State &m_state;
    frmMain &m_window;
};

} // namespace stormtap
