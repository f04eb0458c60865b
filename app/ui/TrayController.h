#pragma once

#include "AlertTimer.h"

#include <QObject>
#include <QPoint>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

namespace stormtap {

class frmMain;

// The tray icon, the alert picture and the hiding of the window on minimise.
class TrayController : public QObject {
    Q_OBJECT
public:
    enum class Picture { Normal, Alert };

    // How long the alert picture stays after the first alert start.
    static constexpr int AlertMs = 22000;

    // Whether the desktop has a tray to hold the icon. Replaceable, because the
    // offscreen platform of the tests has none.
    static std::function<bool()> trayAvailable;

    explicit TrayController(frmMain &window);
    ~TrayController() override;

    // Called when the window has just been minimised; true when it was hidden
    // instead.
    bool minimiseRequested();
    // Called by the fetch after it set NewImageAlert for a new picture.
    void alertStart();
    // Takes the icon out of the tray before the program ends.
    void remove();

    Picture picture() const { return m_picture; }
    // Puts another alert timer in place (a test's, on a clock of its own).
    void setTimer2(std::unique_ptr<AlertTimer> timer);

    QSystemTrayIcon IconTray;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setPicture(Picture picture);
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void restoreWindow();
    void bringBoxesBack();
    void Timer2Tick();

    frmMain &m_window;
    Picture m_picture = Picture::Normal;
    std::unique_ptr<AlertTimer> m_timer2;
    // Where the window stood when it was hidden: some window managers place a
    // window anew when it is shown again.
    QPoint m_hiddenAt;
    bool m_hiddenInTray = false;
    bool m_placeOnExpose = false;
};

} // namespace stormtap
