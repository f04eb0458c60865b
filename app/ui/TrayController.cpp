#include "TrayController.h"

#include "MessageBox.h"
#include "frmMain.h"

#include <QIcon>
#include <QLabel>
#include <QWindow>

namespace stormtap {

std::function<bool()> TrayController::trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

TrayController::TrayController(frmMain &window) : m_window(window)
{
    setTimer2(std::make_unique<QtAlertTimer>(AlertMs));
    // The click arrives as a notification; nothing polls the icon.
    connect(&IconTray, &QSystemTrayIcon::activated, this, &TrayController::iconActivated);
    setPicture(Picture::Normal);
    IconTray.setToolTip(QStringLiteral("Stormtap"));
    IconTray.show();
}

TrayController::~TrayController() = default;

void TrayController::setTimer2(std::unique_ptr<AlertTimer> timer)
{
    m_timer2 = std::move(timer);
    connect(m_timer2.get(), &AlertTimer::timeout, this, &TrayController::Timer2Tick);
}

void TrayController::setPicture(Picture picture)
{
    m_picture = picture;
    const QLabel *image = picture == Picture::Alert ? m_window.Image2 : m_window.Image1;
    IconTray.setIcon(QIcon(image->pixmap()));
}

bool TrayController::minimiseRequested()
{
    // Without a tray nothing could bring a hidden window back: let it minimise.
    if (!trayAvailable())
        return false;
    m_hiddenAt = m_window.pos();
    m_hiddenInTray = true;
    m_window.hide();
    return true;
}

void TrayController::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // A left click, and nothing else, brings the window back.
    if (reason == QSystemTrayIcon::Trigger)
        restoreWindow();
}

void TrayController::restoreWindow()
{
    if (m_window.windowState() & Qt::WindowMinimized)
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    if (m_hiddenInTray) {
        m_hiddenInTray = false;
        // Where the window manager put it is known only once it is exposed.
        m_placeOnExpose = true;
        m_window.windowHandle()->installEventFilter(this);
        m_window.show();
    }
    m_window.raise();
    m_window.activateWindow();
    bringBoxesBack();
}

void TrayController::bringBoxesBack()
{
    // A window manager minimises an open box together with the window; it
    // comes back with the window, on top of it.
    for (QMessageBox *box : openMessageBoxes()) {
        box->setWindowState(box->windowState() & ~Qt::WindowMinimized);
        box->show();
        box->raise();
    }
}

bool TrayController::eventFilter(QObject *watched, QEvent *event)
{
    if (m_placeOnExpose && event->type() == QEvent::Expose && m_window.windowHandle()->isExposed()) {
        m_placeOnExpose = false;
        watched->removeEventFilter(this);
        if (m_window.pos() != m_hiddenAt)
            m_window.move(m_hiddenAt);
        // The window manager stacks the window anew when it maps it, above the
        // boxes raised with it (seen with openbox): they are raised again.
        bringBoxesBack();
    }
    return QObject::eventFilter(watched, event);
}

void TrayController::alertStart()
{
    setPicture(Picture::Alert);
    // A second alert inside the first one does not lengthen it.
    if (!m_timer2->isActive())
        m_timer2->start();
}

void TrayController::Timer2Tick()
{
    // With no alert pending the timer simply goes on ticking; that is harmless.
    if (!m_window.NewImageAlert)
        return;
    m_window.NewImageAlert = false;
    setPicture(Picture::Normal);
    m_timer2->stop();
}

void TrayController::remove() { IconTray.hide(); }

} // namespace stormtap
