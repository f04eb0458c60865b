#pragma once

#include <QObject>

namespace stormtap {

class frmMain;

// The tray icon, the alert picture and the hiding of the window on minimise.
class TrayController : public QObject {
    Q_OBJECT
public:
    explicit TrayController(frmMain &window);

    // Called when the window is about to be minimised; true when it was hidden
    // instead.
    bool minimiseRequested();
    void alertStart();
    void remove();

private:
    frmMain &m_window;
};

} // namespace stormtap
