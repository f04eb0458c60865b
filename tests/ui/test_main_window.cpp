#include "WindowFixture.h"

#include "ui/RadarSitesPage.h"
#include "ui/RetrievalController.h"
#include "ui/RetrievalScreen.h"
#include "ui/SortedListBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace stormtap;

namespace {

const QByteArray ThreeSites = "\"KCCC Chicago, IL\",KCCC,2\r\n"
                              "\"Kaaa albany, NY\",KAAA,1\r\n"
                              "\"KBBB Boston, MA\",KBBB,3\r\n"
                              "end\r\n";

// Settings of one round and an empty fetch list.
const QByteArray OneRound = "\"localhost\"\r\n80\r\n\"\"\r\n\"\"\r\n3\r\n1\r\n1\r\n\"\"\r\n";

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithMissingSitesFile();
    void startsWithSortedSiteList();
    void reportsBrokenSitesFileAndStarts();
    void hasTheDesignLayout();
    void configureAndRetrieveSwitchViews();
    void guardsRefuseTheOtherScreen();
    void regionOptionsFilterTheSiteList();
    void laterActivationsKeepTheSiteList();
    void retrieveWithoutSettingsStartsNoRun();
    void exitAndCredits();
};

void TestMainWindow::startsWithMissingSitesFile()
{
    WindowFixture fixture(QByteArray(), false);
    QVERIFY(QFileInfo::exists(fixture.dir.filePath("SITES.DAT")));
    QCOMPARE(int(fixture.state.LastSiteIndex), -1);
    QCOMPARE(fixture.find<QListWidget>("List1")->count(), 0);
    // Told once why the list is empty; the next start says nothing.
    QCOMPARE(fixture.messages.size(), size_t(1));
    QVERIFY2(
        fixture.messages[0].text.contains(
            "The site list is empty: " + QDir::toNativeSeparators(fixture.dir.filePath("SITES.DAT")) + " was missing"),
        qPrintable(fixture.messages[0].text));
    fixture.messages.clear();
    fixture.window = startUp(fixture.state, fixture.dir.path());
    QVERIFY(fixture.messages.empty());
    QVERIFY(fixture.state.ProgramDirectory.endsWith(QDir::separator()));
    QCOMPARE(fixture.state.EntryCount, 0);
    QCOMPARE(fixture.state.settings.Server, QString());
    QCOMPARE(fixture.state.RequestTimeoutSeconds, 60);
}

void TestMainWindow::startsWithSortedSiteList()
{
    WindowFixture fixture(ThreeSites);
    QCOMPARE(int(fixture.state.LastSiteIndex), 2);
    QCOMPARE(lines(fixture.find<QListWidget>("List1")),
             (QStringList{"Kaaa albany, NY", "KBBB Boston, MA", "KCCC Chicago, IL"}));
    QCOMPARE(fixture.window->Command1[0]->font().pointSizeF(), 12.0);
    QCOMPARE(fixture.window->Command1[1]->font().pointSizeF(), 12.0);
}

void TestMainWindow::reportsBrokenSitesFileAndStarts()
{
    WindowFixture fixture("\"KAAA a\",KAAA,1\r\n\"KBBB b\"\r\n");
    QCOMPARE(int(fixture.state.LastSiteIndex), 0);
    QCOMPARE(fixture.messages.size(), size_t(1));
    QVERIFY(fixture.messages[0].text.contains(fixture.dir.filePath("SITES.DAT")));
    QVERIFY(fixture.messages[0].text.contains("middle of site 2"));
    QVERIFY(fixture.window->isVisible());
}

void TestMainWindow::hasTheDesignLayout()
{
    WindowFixture fixture(ThreeSites);
    frmMain &window = *fixture.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Zavevazor ARIDUR"));
    QCOMPARE(window.size(), QSize(518, 364));
    QCOMPARE(window.Command1[1]->geometry(), QRect(4, 120, 86, 41));
    QCOMPARE(fixture.find<QWidget>("SSTab1")->geometry(), QRect(92, 56, 420, 306));
    // Page positions count from the tab control's corner, strip included, so
    // the Save button sits at 4080 twips inside it.
    QCOMPARE(fixture.find<QPushButton>("SSCommand1(2)")->mapTo(window.SSTab1, QPoint(0, 0)), QPoint(128, 272));
    QVERIFY(window.SSTab1->isHidden());
    QVERIFY(window.frame1->isHidden());
    for (int i = 3; i < 6; ++i)
        QVERIFY(fixture.find<QCheckBox>(QStringLiteral("cfgCheckNIDS(%1)").arg(i))->isHidden());
    QVERIFY(fixture.find<QRadioButton>("optConfig(8)")->isChecked());
    QVERIFY(fixture.find<QRadioButton>("optFName(1)")->isChecked());
    QVERIFY(!window.Image1->pixmap().isNull());
    QVERIFY(!window.Image2->pixmap().isNull());
    QVERIFY(window.Image1->isHidden() && window.Image2->isHidden());
}

void TestMainWindow::configureAndRetrieveSwitchViews()
{
    WindowFixture fixture(ThreeSites);
    frmMain &window = *fixture.window;

    click(window.Command1[0]);
    QVERIFY(window.SSTab1->isVisible());
    click(window.Command1[0]); // again: nothing happens
    QVERIFY(window.SSTab1->isVisible());
    for (int exitOrSave : {1, 0, 3, 2}) {
        if (!window.SSTab1->isVisible())
            click(window.Command1[0]);
        fixture.find<QLineEdit>("txtConfigSetup(5)")->setText("80"); // Save wants a valid port
        fixture.find<QLineEdit>("txtConfigSetup(6)")
            ->setText(fixture.dir.path() + "/"); // and warns without a usable directory
        click(window.SSCommand1[exitOrSave]);
        QVERIFY(window.SSTab1->isHidden());
        QVERIFY(window.Command1[1]->hasFocus());
    }

    // The retrieval runs inside the Retrieve handler: the checks run in its waits.
    bool stopped = false;
    QTimer::singleShot(0, &window, [&] {
        QVERIFY(window.frame1->isVisible());
        QVERIFY(window.frame1->cmdRtrvStop->hasFocus());
        click(window.Command1[1]); // again: nothing happens
        QVERIFY(window.frame1->isVisible());
        click(window.frame1->cmdRtrvStop);
        QVERIFY(window.frame1->isHidden());
        stopped = true;
    });
    click(window.Command1[1]);
    QVERIFY(stopped);
    QVERIFY(window.frame1->isHidden());
    QVERIFY(fixture.messages.empty());
}

void TestMainWindow::guardsRefuseTheOtherScreen()
{
    WindowFixture fixture(ThreeSites);
    fixture.writeFile("GLAVEN.CFG", OneRound);
    frmMain &window = *fixture.window;

    click(window.Command1[0]);
    click(window.Command1[1]);
    QCOMPARE(fixture.messages.size(), size_t(1));
    QCOMPARE(fixture.messages[0].title, QStringLiteral("ERROR"));
    QCOMPARE(fixture.messages[0].text, QStringLiteral("Close SETUP form first!"));
    QCOMPARE(fixture.messages[0].icon, QMessageBox::Critical);
    QVERIFY(window.frame1->isHidden());

    click(window.SSCommand1[1]);
    // The retrieval runs inside the Retrieve handler: the checks run in its waits.
    bool checked = false;
    QTimer::singleShot(0, &window, [&] {
        click(window.Command1[0]);
        QCOMPARE(fixture.messages.size(), size_t(2));
        QCOMPARE(fixture.messages[1].text, QStringLiteral("Close RETRIEVAL form first!"));
        QVERIFY(window.SSTab1->isHidden());
        QVERIFY(window.frame1->isVisible());

        // The guards hold while the window sits hidden as well.
        window.hide();
        click(window.Command1[0]);
        QCOMPARE(fixture.messages.size(), size_t(3));
        checked = true;
        click(window.frame1->cmdRtrvStop);
    });
    click(window.Command1[1]);
    QVERIFY(checked);
}

void TestMainWindow::regionOptionsFilterTheSiteList()
{
    WindowFixture fixture(ThreeSites);
    click(fixture.window->Command1[0]);
    auto *list = fixture.find<QListWidget>("List1");
    list->setCurrentRow(0);

    click(fixture.find<QRadioButton>("optConfig(0)")); // NE: masks 1 and 3
    QCOMPARE(lines(list), (QStringList{"Kaaa albany, NY", "KBBB Boston, MA"}));
    QVERIFY(list->selectedItems().isEmpty());
    fixture.find<QRadioButton>("optConfig(1)")->setChecked(true); // from the program, too
    QCOMPARE(lines(list), (QStringList{"KBBB Boston, MA", "KCCC Chicago, IL"}));
    click(fixture.find<QRadioButton>("optConfig(7)"));
    QCOMPARE(list->count(), 0);
    click(fixture.find<QRadioButton>("optConfig(8)"));
    QCOMPARE(list->count(), 3);
}

void TestMainWindow::laterActivationsKeepTheSiteList()
{
    WindowFixture fixture(ThreeSites);
    frmMain &window = *fixture.window;
    click(fixture.find<QRadioButton>("optConfig(0)"));
    auto *list = fixture.find<QListWidget>("List1");
    QCOMPARE(lines(list), (QStringList{"Kaaa albany, NY", "KBBB Boston, MA"}));
    list->setCurrentRow(1);
    const auto unchanged = [&] {
        QCOMPARE(lines(list), (QStringList{"Kaaa albany, NY", "KBBB Boston, MA"}));
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->selectedItems()[0]->text(), QStringLiteral("KBBB Boston, MA"));
        QVERIFY(fixture.find<QRadioButton>("optConfig(0)")->isChecked());
    };

    // Another program's window, then back.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    unchanged();

    // A message box of ours, the real one, closed again.
    const MessageHandler recorder = setMessageHandler({});
    showMessage(&window, QMessageBox::Information, "Stormtap", "text");
    setMessageHandler(recorder);
    QCOMPARE(openMessageBoxes().size(), 1);
    QMessageBox *box = openMessageBoxes().first();
    box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box));
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(openMessageBoxes().isEmpty());
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    unchanged();

    // Hidden (as in the tray) and shown again.
    window.hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    unchanged();
}

void TestMainWindow::retrieveWithoutSettingsStartsNoRun()
{
    WindowFixture fixture(ThreeSites);
    click(fixture.window->Command1[1]);
    QCOMPARE(fixture.messages.size(), size_t(1));
    QVERIFY2(fixture.messages[0].text.startsWith("There is nothing to fetch yet"),
             qPrintable(fixture.messages[0].text));
    QVERIFY(fixture.messages[0].text.contains("Press Configure"));
    QVERIFY(fixture.window->frame1->isHidden());
    QVERIFY(!fixture.window->retrieval()->isRunning());
    QVERIFY(!QFileInfo::exists(fixture.dir.filePath("GLAVEN.CFG")));
}

void TestMainWindow::exitAndCredits()
{
    WindowFixture fixture(ThreeSites);
    click(fixture.window->SSCommand2);
    QCOMPARE(fixture.messages.size(), size_t(1));
    QCOMPARE(fixture.messages[0].title, QStringLiteral("Stormtap V1.0x"));
    QCOMPARE(fixture.messages[0].text.count('\n'), 2);
    QVERIFY(!fixture.exited);
    click(fixture.window->cmdExit);
    QVERIFY(fixture.exited);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
