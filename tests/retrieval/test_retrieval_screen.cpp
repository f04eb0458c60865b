#include "../ui/WindowFixture.h"
#include "FakeClock.h"
#include "RadarServer.h"
#include "ui/RetrievalController.h"
#include "ui/RetrievalScreen.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

using namespace stormtap;

namespace {

// The settings of a GLAVEN.CFG for the local server, user demo, 3 minutes apart,
// sequential names.
QByteArray serverSettings(quint16 port, const QByteArray &password, const QByteArray &rounds,
                          const QByteArray &directory)
{
    return "\"127.0.0.1\"\r\n" + QByteArray::number(port) + "\r\n\"demo\"\r\n\"" + password + "\"\r\n3\r\n" + rounds +
           "\r\n1\r\n\"" + directory + "\"\r\n";
}

const QByteArray AlbanyReflectivity = "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n";
const QByteArray AtlantaPrecipitation = "\"KFFCxn1r.gif\"\r\n\"Atlanta, GA    1-Hr Precip Total\"\r\n2\r\n";

} // namespace

// A retrieval driven through the window's own buttons, against the local radar
// server, with a clock that jumps.
class TestRetrievalScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init();
    void cleanup()
    {
        m_closeBoxes.stop();
        m_closeBoxes.disconnect();
        m_fixture.reset();
    }

    void retrieveRunsTheRoundsAndRefusesConfigure();
    void stopHidesTheScreenAndStoresNothing();
    void rejectedPasswordIsShown();
    void brokenFileIsReportedOnce();
    void firstRunConfigureAddSaveRetrieve();
    void imageDirectoryRelativeOrEmpty_data();
    void imageDirectoryRelativeOrEmpty();
    void refusalBoxDoesNotHoldTheRun();
    void accessDeniedBoxDoesNotStopAnEndlessRun();

private:
    QListWidget *list3() { return m_fixture->find<QListWidget>("List3"); }
    QWidget *frame1() { return m_fixture->window->frame1; }
    QStringList images() const { return QDir(m_images.path()).entryList(QDir::Files, QDir::Name); }
    // The real boxes instead of the fixture's recorder. Every 5 s the open boxes
    // are closed, so that a box that blocks fails the test instead of hanging it.
    void useRealMessageBoxes()
    {
        setMessageHandler({});
        m_closeBoxes.callOnTimeout([] {
            for (QMessageBox *box : openMessageBoxes())
                box->close();
        });
        m_closeBoxes.start(5000);
    }

    RadarServer m_server;
    std::unique_ptr<WindowFixture> m_fixture;
    QTemporaryDir m_images;
    FakeClock m_clock;
    QTimer m_closeBoxes;
};

void TestRetrievalScreen::init()
{
    QCOMPARE(m_server.control("reset"), QByteArray("ok\n"));
    m_fixture = std::make_unique<WindowFixture>(RadarServer::Sites);
    for (const QString &name : images())
        QFile::remove(m_images.filePath(name));
    const QByteArray directory = (m_images.path() + "/").toLocal8Bit();
    m_fixture->writeFile("GLAVEN.CFG", serverSettings(m_server.port, "secret", "2", directory) + AlbanyReflectivity +
                                           AtlantaPrecipitation);
    // The state GLAVEN.CFG loads into, so that the test holds whoever reads the file.
    State &state = m_fixture->state;
    state.settings = Settings{"127.0.0.1", m_server.port, "demo", "secret", 3, 2, 1, m_images.path() + "/"};
    state.EntryCount = 2;
    state.Selections[1] = SelectionEntry{"KENX", QString(), 1, "Albany, NY     Base Reflectivity"};
    state.Selections[2] = SelectionEntry{"KFFCxn1r.gif", QString(), 1, "Atlanta, GA    1-Hr Precip Total"};
    m_clock = FakeClock();
    m_fixture->window->retrieval()->setClock(m_clock);
}

void TestRetrievalScreen::retrieveRunsTheRoundsAndRefusesConfigure()
{
    QStringList downloading;
    int configureClicks = 0;
    m_clock.onBlock = [&](WaitKind kind) {
        if (kind == WaitKind::Reply && configureClicks++ == 0) {
            QVERIFY(frame1()->isVisible());
            QVERIFY(m_fixture->find<QLabel>("lblDL")->isVisible());
            click(m_fixture->window->Command1[0]); // refused
            click(m_fixture->window->Command1[1]); // ignored
        }
    };
    click(m_fixture->window->Command1[1]);

    QVERIFY(frame1()->isHidden()); // two seconds after the last round
    QVERIFY(!m_fixture->find<QLabel>("lblDL")->isVisible());
    QCOMPARE(m_fixture->messages.size(), size_t(1));
    QCOMPARE(m_fixture->messages[0].text, QString("Close RETRIEVAL form first!"));
    QVERIFY(m_fixture->window->SSTab1->isHidden());
    QCOMPARE(m_server.requests().size(), 4); // two rounds of two, one run
    const QString lm = m_server.stats().value("lastModified").toString();
    QCOMPARE(lines(list3()),
             (QStringList{"KENX -- Repeat " + lm.right(12) + " #1", "KFFCxn1 -- Repeat " + lm.right(12) + " #1"}));
    QCOMPARE(images(), (QStringList{"KENX1.gif", "KFFCxn11.gif"}));
    QCOMPARE(m_fixture->find<QLineEdit>("Text4(0)")->text(), QString("2"));
    QCOMPARE(m_fixture->find<QLineEdit>("Text4(1)")->text(), QString("2"));
    QCOMPARE(m_fixture->find<QLineEdit>("RtrvTime(0)")->text(), displayDateTime(m_clock.base.addSecs(180)));
    QCOMPARE(m_fixture->find<QLineEdit>("RtrvTime(1)")->text(), QString());
    QCOMPARE(m_fixture->find<QProgressBar>("ProgressBar")->value(), 0);
    QVERIFY(m_fixture->window->NewImageAlert);
    QVERIFY(!m_fixture->window->retrieval()->isRunning());
}

void TestRetrievalScreen::stopHidesTheScreenAndStoresNothing()
{
    bool stopped = false;
    m_clock.onBlock = [&](WaitKind) {
        if (m_fixture->window->NewImageAlert && !stopped) { // the pause after the alert
            stopped = true;
            click(m_fixture->find<QPushButton>("cmdRtrvStop"));
            QVERIFY(frame1()->isHidden()); // at once
        }
    };
    click(m_fixture->window->Command1[1]);

    QVERIFY(stopped);
    QVERIFY(images().isEmpty());
    QCOMPARE(lines(list3()), QStringList{"Getting Albany, NY     Base Reflectivity"});
    QCOMPARE(m_fixture->state.Selections[1].SequenceNumber, qint16(1));
    QVERIFY(!m_fixture->window->retrieval()->isRunning());

    // A later Retrieve runs again from round 1 (the full downloads after the
    // reload of GLAVEN.CFG are the core test's).
    QStringList roundsSeen;
    m_clock.onBlock = [&](WaitKind) { roundsSeen << m_fixture->find<QLineEdit>("Text4(0)")->text(); };
    click(m_fixture->window->Command1[1]);
    QCOMPARE(roundsSeen.first(), QString("1"));
    QCOMPARE(roundsSeen.last(), QString("2"));
    QCOMPARE(list3()->count(), 2);
    QVERIFY(frame1()->isHidden());
}

void TestRetrievalScreen::rejectedPasswordIsShown()
{
    QCOMPARE(m_server.control("misbehave?path=KENX&mode=status&code=401"), QByteArray("ok\n"));
    click(m_fixture->window->Command1[1]);

    QCOMPARE(m_fixture->messages.size(), size_t(2)); // once per round
    QCOMPARE(m_fixture->messages[0].title, QString("Access Denied"));
    QCOMPARE(m_fixture->messages[0].text, QString("Username / Password Invalid"));
    QCOMPARE(m_fixture->messages[0].icon, QMessageBox::Warning);
    QCOMPARE(lines(list3()), QStringList{"KENX -- Failed 401"});
    QCOMPARE(m_server.requests().size(), 2); // the rest of each round is skipped
    QVERIFY(images().isEmpty());
}

// Retrieve reads GLAVEN.CFG for the fields and again for the run; a broken
// file is reported once, and the run goes on with the settings held.
void TestRetrievalScreen::brokenFileIsReportedOnce()
{
    m_fixture->writeFile("GLAVEN.CFG", "\"127.0.0.1\"\r\n80\r\n");
    click(m_fixture->window->Command1[1]);

    QCOMPARE(m_fixture->messages.size(), size_t(1));
    QVERIFY(m_fixture->messages[0].text.contains("the header ends after 2 of its 8 items"));
    QCOMPARE(m_server.requests().size(), 4);

    // With no fetch list held from an earlier load, there is nothing to run.
    m_fixture->messages.clear();
    m_fixture->state.EntryCount = 0;
    const qint64 before = m_clock.elapsed();
    click(m_fixture->window->Command1[1]);
    QCOMPARE(m_fixture->messages.size(), size_t(1));
    QCOMPARE(m_clock.elapsed(), before); // no round was counted
    QVERIFY(m_fixture->window->frame1->isHidden());
    QCOMPARE(m_server.requests().size(), 4);
}

// A new user's first run: no GLAVEN.CFG, nothing known but the server and the
// sites wanted. Everything else works as it comes.
void TestRetrievalScreen::firstRunConfigureAddSaveRetrieve()
{
    TemporaryHome home;
    m_fixture.reset();
    m_fixture = std::make_unique<WindowFixture>(RadarServer::Sites);
    m_fixture->window->retrieval()->setClock(m_clock);
    frmMain &window = *m_fixture->window;
    const auto field = [&](int i) { return m_fixture->find<QLineEdit>(QStringLiteral("txtConfigSetup(%1)").arg(i)); };
    const auto typeInto = [&](int i, const QString &text) {
        click(field(i));
        field(i)->selectAll();
        QTest::keyClicks(field(i), text);
    };

    click(window.Command1[0]);
    QVERIFY(window.SSTab1->isVisible());
    typeInto(0, " 127.0.0.1 "); // blanks around it do no harm
    typeInto(5, QString::number(m_server.port));
    typeInto(1, "demo");
    typeInto(2, "secret");
    QTabBar *tabs = window.SSTab1->tabs;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto *list1 = m_fixture->find<QListWidget>("List1");
    const QListWidgetItem *albany = list1->findItems("KENX Albany, NY", Qt::MatchExactly).value(0);
    QVERIFY(albany);
    QTest::mouseClick(list1->viewport(), Qt::LeftButton, {}, list1->visualItemRect(albany).center());
    click(m_fixture->find<QCheckBox>("cfgCheckNIDS(0)"));
    click(m_fixture->find<QPushButton>("cmdConfigAdd"));
    QCOMPARE(lines(m_fixture->find<QListWidget>("List2")), QStringList{"Albany, NY     Base Reflectivity"});
    click(window.SSCommand1[2]);
    QVERIFY(window.SSTab1->isHidden());
    QVERIFY2(m_fixture->messages.empty(), qPrintable(m_fixture->messages.empty() ? "" : m_fixture->messages[0].text));

    click(window.Command1[1]);
    QVERIFY2(m_fixture->messages.empty(), qPrintable(m_fixture->messages.empty() ? "" : m_fixture->messages[0].text));
    QVERIFY(frame1()->isHidden()); // all ten rounds are done
    QCOMPARE(m_server.requests().size(), 10);
    QCOMPARE(m_clock.elapsed() / 60000, qint64(9 * 3)); // three minutes apart
    QCOMPARE(QDir(home.pictures()).entryList(QDir::Files), QStringList{"KENX1.gif"});
    QCOMPARE(readFile(home.pictures() + "KENX1.gif"), m_server.image("KENX"));
}

void TestRetrievalScreen::imageDirectoryRelativeOrEmpty_data()
{
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<QString>("picture"); // below the program directory; empty for none anywhere
    QTest::newRow("relative: the program directory's") << QByteArray("images/") << "images/KENX1.gif";
    QTest::newRow("empty: nowhere, not the root") << QByteArray() << QString();
}

void TestRetrievalScreen::imageDirectoryRelativeOrEmpty()
{
    QFETCH(QByteArray, directory);
    QFETCH(QString, picture);
    QTemporaryDir startedFrom; // the working directory is not the program directory
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(startedFrom.path()));
    QVERIFY(QDir(m_fixture->dir.path()).mkdir("images"));
    m_fixture->writeFile("GLAVEN.CFG", serverSettings(m_server.port, "secret", "1", directory) + AlbanyReflectivity);
    click(m_fixture->window->Command1[1]);
    QDir::setCurrent(before);

    QCOMPARE(m_server.requests().size(), 1);
    QVERIFY(QDir(startedFrom.path()).isEmpty());
    QCOMPARE(QDir(m_fixture->dir.filePath("images")).entryList(QDir::Files),
             picture.isEmpty() ? QStringList() : QStringList{"KENX1.gif"});
    QVERIFY(!QFileInfo::exists("/KENX1.gif"));
}

// A refused Configure during a run opens its box and the run goes on at once:
// it has ended, on time, while the box is still open.
void TestRetrievalScreen::refusalBoxDoesNotHoldTheRun()
{
    useRealMessageBoxes();
    auto *progress = m_fixture->find<QProgressBar>("ProgressBar");
    progress->setValue(57); // left over from an earlier run
    QList<int> progressInPauses;
    bool clicked = false;
    m_clock.onBlock = [&](WaitKind kind) {
        if (kind == WaitKind::Pause)
            progressInPauses << progress->value();
        if (kind == WaitKind::Reply && !clicked) {
            clicked = true;
            click(m_fixture->window->Command1[0]);
        }
    };
    click(m_fixture->window->Command1[1]);

    QVERIFY(clicked);
    QVERIFY(frame1()->isHidden());
    QCOMPARE(m_server.requests().size(), 4);
    const QList<QMessageBox *> boxes = openMessageBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0]->isVisible());
    QCOMPARE(boxes[0]->windowTitle(), QString("ERROR"));
    QCOMPARE(boxes[0]->text(), QString("Close RETRIEVAL form first!"));
    // Two rounds 3 minutes apart, the pauses of four fetches, the finish.
    QVERIFY2(m_clock.elapsed() < 180000 + 8000 + 2000 + 100, QByteArray::number(m_clock.elapsed()));
    QCOMPARE(progressInPauses.first(), 0); // the run starts with an empty bar
    QCOMPARE(progress->value(), 0);
    QTest::mouseClick(boxes[0]->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(openMessageBoxes().isEmpty());
}

// An unattended endless run keeps asking round after round while nobody
// answers the "Access Denied" box, and the box is not repeated.
void TestRetrievalScreen::accessDeniedBoxDoesNotStopAnEndlessRun()
{
    const QByteArray directory = (m_images.path() + "/").toLocal8Bit();
    m_fixture->writeFile("GLAVEN.CFG", serverSettings(m_server.port, "wrong", "30000", directory) + AlbanyReflectivity +
                                           AtlantaPrecipitation);
    useRealMessageBoxes();
    m_clock.onBlock = [&](WaitKind) {
        if (m_fixture->state.RoundNumber == 5 && !frame1()->isHidden())
            click(m_fixture->find<QPushButton>("cmdRtrvStop"));
    };
    click(m_fixture->window->Command1[1]);

    QVERIFY(frame1()->isHidden());
    const QJsonArray requests = m_server.requests();
    QCOMPARE(requests.size(), 4); // one per round: each round ends at its 401
    for (const auto &request : requests) {
        QCOMPARE(request.toObject().value("target").toString(), QString("/graphics/nexrad/KENX"));
        QCOMPARE(request.toObject().value("status").toInt(), 401);
    }
    QCOMPARE(lines(list3()), QStringList{"KENX -- Failed 401"});
    const QList<QMessageBox *> boxes = openMessageBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0]->isVisible());
    QCOMPARE(boxes[0]->windowTitle(), QString("Access Denied"));
    QCOMPARE(boxes[0]->text(), QString("Username / Password Invalid"));
    QCOMPARE(boxes[0]->icon(), QMessageBox::Warning);
    boxes[0]->close();
}

QTEST_MAIN(TestRetrievalScreen)
#include "test_retrieval_screen.moc"
