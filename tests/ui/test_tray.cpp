#include "WindowFixture.h"

#include "ui/RetrievalScreen.h"
#include "ui/TrayController.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace stormtap;

namespace {

// An alert timer on a clock the test moves by hand.
class ManualTimer final : public AlertTimer {
public:
    bool isActive() const override { return m_active; }
    void start() override
    {
        m_active = true;
        m_due = now + TrayController::AlertMs;
        ++starts;
    }
    void stop() override { m_active = false; }

    // Moves the clock on, firing every tick that falls due on the way.
    void advanceTo(qint64 ms)
    {
        while (m_active && m_due <= ms) {
            now = m_due;
            m_due += TrayController::AlertMs;
            emit timeout();
        }
        now = ms;
    }

    qint64 now = 0;
    int starts = 0;

private:
    bool m_active = false;
    qint64 m_due = 0;
};

struct TrayFixture : WindowFixture {
    TrayFixture()
    {
        tray = window->tray();
        auto manual = std::make_unique<ManualTimer>();
        timer = manual.get();
        tray->setTimer2(std::move(manual));
    }
    // What the fetch does for a new picture.
    void newPicture()
    {
        window->NewImageAlert = true;
        tray->alertStart();
    }
    QImage trayImage() const { return tray->IconTray.icon().pixmap(32, 32).toImage(); }
    QImage label(QLabel *image) const { return image->pixmap().toImage(); }

    TrayController *tray = nullptr;
    ManualTimer *timer = nullptr;
};

// Plays a window manager that places a window anew whenever it is shown.
class PlacesAnew : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            static_cast<QWidget *>(watched)->move(7, 9);
        return false;
    }
};

void minimise(QWidget *window)
{
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    QCoreApplication::processEvents();
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT
private slots:
    // The offscreen platform has no tray; most cases pretend there is one.
    void initTestCase() { m_realTray = TrayController::trayAvailable; }
    void init()
    {
        TrayController::trayAvailable = [] { return true; };
    }
    void cleanup() { TrayController::trayAvailable = m_realTray; }

    void iconShowsNormalPictureAndTip();
    void alertLastsFromTheFirstStart();
    void tickWithoutPendingAlertKeepsTimerRunning();
    void stopDoesNotCutTheAlertShort();
    void minimiseHidesAndLeftClickRestores();
    void clickOnShownWindowOnlyRaises();
    void openBoxComesBackWithTheWindow();
    void otherClicksDoNothing();
    void withoutTrayMinimiseStaysMinimise();
    void exitAndCloseRemoveTheIcon();

private:
    std::function<bool()> m_realTray;
};

void TestTray::iconShowsNormalPictureAndTip()
{
    TrayFixture f;
    QVERIFY(f.tray->IconTray.isVisible());
    QCOMPARE(f.tray->IconTray.toolTip(), QStringLiteral("Stormtap"));
    QCOMPARE(f.tray->picture(), TrayController::Picture::Normal);
    QCOMPARE(f.trayImage(), f.label(f.window->Image1));
    QVERIFY(!f.timer->isActive());
}

void TestTray::alertLastsFromTheFirstStart()
{
    TrayFixture f;
    f.newPicture();
    QCOMPARE(f.tray->picture(), TrayController::Picture::Alert);
    QCOMPARE(f.trayImage(), f.label(f.window->Image2));

    f.timer->advanceTo(10000);
    f.newPicture();
    QCOMPARE(f.timer->starts, 1);

    f.timer->advanceTo(21999);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Alert);
    f.timer->advanceTo(22000);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Normal);
    QCOMPARE(f.trayImage(), f.label(f.window->Image1));
    QVERIFY(!f.window->NewImageAlert);
    QVERIFY(!f.timer->isActive());

    // A later alert starts a fresh 22 seconds.
    f.timer->advanceTo(50000);
    f.newPicture();
    f.timer->advanceTo(71999);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Alert);
    f.timer->advanceTo(72000);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Normal);
}

void TestTray::tickWithoutPendingAlertKeepsTimerRunning()
{
    TrayFixture f;
    f.tray->alertStart(); // the flag is not set
    f.timer->advanceTo(22000);
    QVERIFY(f.timer->isActive());
    QCOMPARE(f.tray->picture(), TrayController::Picture::Alert);

    // The next tick with the flag set ends the alert.
    f.window->NewImageAlert = true;
    f.timer->advanceTo(44000);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Normal);
    QVERIFY(!f.timer->isActive());
}

void TestTray::stopDoesNotCutTheAlertShort()
{
    TrayFixture f;
    f.newPicture();
    f.timer->advanceTo(1000);
    f.window->frame1->cmdRtrvStop->click();
    QCOMPARE(f.tray->picture(), TrayController::Picture::Alert);
    QVERIFY(f.timer->isActive());
    f.timer->advanceTo(22000);
    QCOMPARE(f.tray->picture(), TrayController::Picture::Normal);
}

void TestTray::minimiseHidesAndLeftClickRestores()
{
    TrayFixture f;
    f.window->move(200, 150);
    const QRect before = f.window->geometry();

    minimise(f.window.get());
    QVERIFY(f.window->isHidden());
    QVERIFY(f.tray->IconTray.isVisible());

    emit f.tray->IconTray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(f.window->isVisible());
    QVERIFY(!(f.window->windowState() & Qt::WindowMinimized));
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(f.window->geometry(), before);

    // Again, under a window manager that places it anew: it comes back where it was.
    PlacesAnew windowManager;
    f.window->installEventFilter(&windowManager);
    minimise(f.window.get());
    QVERIFY(f.window->isHidden());
    emit f.tray->IconTray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(f.window->isVisible());
    QTRY_COMPARE(f.window->geometry(), before);
}

// A box left open when the window went to the tray does not keep the click
// from bringing the window back, and it comes back with the window.
void TestTray::openBoxComesBackWithTheWindow()
{
    TrayFixture f;
    setMessageHandler({});
    showMessage(f.window.get(), QMessageBox::Warning, "Access Denied", "Username / Password Invalid");
    showMessage(f.window.get(), QMessageBox::Warning, "Access Denied", "Username / Password Invalid");
    QCOMPARE(openMessageBoxes().size(), 1); // the same message, still open: no second box
    QMessageBox *box = openMessageBoxes().first();
    QVERIFY(QTest::qWaitForWindowExposed(box));

    minimise(f.window.get());
    QVERIFY(f.window->isHidden());
    box->setWindowState(Qt::WindowMinimized); // as a window manager does with the window's boxes
    emit f.tray->IconTray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(f.window->isVisible());
    QVERIFY(box->isVisible());
    QVERIFY(!(box->windowState() & Qt::WindowMinimized));
    QCOMPARE(openMessageBoxes(), QList<QMessageBox *>{box});

    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(openMessageBoxes().isEmpty());
    showMessage(f.window.get(), QMessageBox::Warning, "Access Denied", "Username / Password Invalid");
    QCOMPARE(openMessageBoxes().size(), 1); // closed, it opens again for the next 401
    openMessageBoxes().first()->close();
}

void TestTray::clickOnShownWindowOnlyRaises()
{
    TrayFixture f;
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    const QRect before = f.window->geometry();

    emit f.tray->IconTray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(f.window->geometry(), before);
    QCOMPARE(f.window->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
}

void TestTray::otherClicksDoNothing()
{
    TrayFixture f;
    minimise(f.window.get());
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
                        QSystemTrayIcon::Unknown}) {
        emit f.tray->IconTray.activated(reason);
        QVERIFY(f.window->isHidden());
    }
}

void TestTray::withoutTrayMinimiseStaysMinimise()
{
    TrayController::trayAvailable = [] { return false; };
    TrayFixture f;
    minimise(f.window.get());
    QVERIFY(!f.window->isHidden());
    QVERIFY(f.window->windowState() & Qt::WindowMinimized);
    QVERIFY(f.messages.empty());
}

void TestTray::exitAndCloseRemoveTheIcon()
{
    {
        TrayFixture f;
        QTest::mouseClick(f.window->cmdExit, Qt::LeftButton);
        QVERIFY(f.exited);
        QVERIFY(!f.tray->IconTray.isVisible());
    }
    {
        TrayFixture f;
        f.window->close();
        QVERIFY(f.exited);
        QVERIFY(!f.tray->IconTray.isVisible());
    }
}

QTEST_MAIN(TestTray)
#include "test_tray.moc"
