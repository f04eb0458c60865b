#include "WindowFixture.h"

#include "ui/ConfigController.h"
#include "ui/RadarSitesPage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QtTest>

using namespace stormtap;

namespace {

// File order differs from the sorted order of List1.
const QByteArray ThreeSites = "\"KCCC Chicago, IL\",KCCC,2\r\n"
                              "\"Kaaa albany, NY\",KAAA,1\r\n"
                              "\"KBBB Boston, MA\",KBBB,3\r\n";

QByteArray header(const QByteArray &rounds = "20", const QByteArray &refresh = "15", const QByteArray &mode = "1")
{
    return "\"radar.example\"\r\n8080\r\n\"me\"\r\n\"secret\"\r\n" + refresh + "\r\n" + rounds + "\r\n" + mode +
           "\r\n\"/srv/images/\"\r\n";
}

const QByteArray ChicagoVelocity = "\"KCCCanbv.gif\"\r\n\"Chicago, IL    Base Velocity\"\r\n1\r\n";

// Types any text, letters outside ASCII included, one key event per character.
void type(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString indexed(const char *name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); }

// The started window with the configuration screen open on one page.
struct Screen : WindowFixture {
    explicit Screen(const QByteArray &config = QByteArray(), int page = 0) : WindowFixture(ThreeSites)
    {
        if (!config.isNull())
            writeFile(QStringLiteral("GLAVEN.CFG"), config);
        configure();
        window->SSTab1->tabs->setCurrentIndex(page);
    }
    void configure() { click(window->Command1[0]); }
    QLineEdit *field(int i) const { return find<QLineEdit>(indexed("txtConfigSetup", i)); }
    QSlider *slider(int i) const { return find<QSlider>(indexed("sldConfig", i)); }
    QCheckBox *box(int i) const { return find<QCheckBox>(indexed("cfgCheckNIDS", i)); }
    QCheckBox *infinite() const { return find<QCheckBox>("Check1"); }
    QPushButton *add() const { return find<QPushButton>("cmdConfigAdd"); }
    QListWidget *list2() const { return find<QListWidget>("List2"); }
    QByteArray config() const { return readFile(dir.filePath("GLAVEN.CFG")); }
    void selectSite(const QString &line)
    {
        auto *list = find<QListWidget>("List1");
        const QList<QListWidgetItem *> items = list->findItems(line, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
        QVERIFY(items[0]->isSelected());
    }
    // Checked and enabled, one letter per box: "x" checked and disabled, "v"
    // ticked, "-" free, "." unchecked and disabled.
    QString boxes() const
    {
        QString states;
        for (int i = 0; i < 6; ++i)
            states += box(i)->isChecked() ? (box(i)->isEnabled() ? 'v' : 'x') : (box(i)->isEnabled() ? '-' : '.');
        return states;
    }
    void save(int index = 0) { click(find<QPushButton>(indexed("SSCommand1", index))); }
};

} // namespace

class TestSetupPages : public QObject {
    Q_OBJECT
private slots:
    void fillShowsTheFile();
    void fillHandlesRounds_data();
    void fillHandlesRounds();
    void slidersFollowTheUser();
    void infiniteChecksAndClears();
    void namingOptionsEnableStartWith();
    void startWithNumbersTheEntries();
    void imageDirectoryEndsWithSeparator_data();
    void imageDirectoryEndsWithSeparator();
    void savesWhatWasTypedAndReadsItBack();
    void exitWritesNothing();
    void saveRefusals_data();
    void saveRefusals();
    void brokenFileKeepsWhatIsHeld();
    void selectingASiteShowsItsProducts();
    void addPutsTickedProductsInProductOrder();
    void addAfterTheSelectionWasEmptiedDoesNothing();
    void clearEmptiesTheFetchList();
    void addedFlagOutlivesExitAndIsSaved();
    void hiddenProductsStayInTheFile();
    void firstRunStartsWithRunnableSettings();
    void boxesShowTheFlagsAfterEveryLoad();
    void unknownSiteEntriesSurviveConfigureAndSave();
    void emptyAndRelativeImageDirectory();
    void disabledControlsLookDisabled();
    void passwordShowsStars();
    void returnAndEnterPressTheFocusedButton_data();
    void returnAndEnterPressTheFocusedButton();
    void captionsAreNotCovered();
};

void TestSetupPages::fillShowsTheFile()
{
    Screen screen(header() + ChicagoVelocity);
    QCOMPARE(screen.field(0)->text(), QStringLiteral("radar.example"));
    QCOMPARE(screen.field(1)->text(), QStringLiteral("me"));
    QCOMPARE(screen.field(2)->text(), QStringLiteral("secret"));
    QCOMPARE(screen.field(2)->echoMode(), QLineEdit::Password);
    QCOMPARE(screen.field(3)->text(), QStringLiteral("15 Minutes"));
    QCOMPARE(screen.field(5)->text(), QStringLiteral("8080"));
    QCOMPARE(screen.field(6)->text(), QStringLiteral("/srv/images/"));
    QCOMPARE(screen.slider(0)->value(), 15);
    QCOMPARE(lines(screen.list2()), QStringList{"Chicago, IL    Base Velocity"});
    QVERIFY(QFontInfo(screen.list2()->font()).fixedPitch());
    QCOMPARE(screen.state.EntryCount, qint16(1));
    QCOMPARE(screen.state.Sites[0].ProductChosen[1], quint8(1));
    QVERIFY(screen.messages.empty());
}

void TestSetupPages::fillHandlesRounds_data()
{
    QTest::addColumn<QByteArray>("refresh");
    QTest::addColumn<QByteArray>("rounds");
    QTest::addColumn<bool>("infiniteBefore"); // an unsaved tick of "Infinite"
    QTest::addColumn<int>("refreshSlider");
    QTest::addColumn<int>("loopSlider");
    QTest::addColumn<QString>("loopField");
    QTest::addColumn<bool>("infinite");
    QTest::addColumn<int>("loopCount");

    QTest::newRow("20 rounds") << QByteArray("3") << QByteArray("20") << false << 3 << 20 << "20" << false << 20;
    QTest::newRow("20 rounds while Infinite is checked")
        << QByteArray("60") << QByteArray("20") << true << 60 << 20 << "20" << false << 20;
    QTest::newRow("endless") << QByteArray("15") << QByteArray("30000") << false << 15 << 100 << "" << true << 30000;
    QTest::newRow("endless while Infinite is checked")
        << QByteArray("15") << QByteArray("30000") << true << 15 << 100 << "" << true << 30000;
    QTest::newRow("200 rounds while Infinite is checked keeps 200")
        << QByteArray("15") << QByteArray("200") << true << 15 << 100 << "" << true << 200;
    QTest::newRow("outside the ranges, values kept")
        << QByteArray("90") << QByteArray("0") << false << 60 << 1 << "0" << false << 0;
    QTest::newRow("below the ranges, values kept")
        << QByteArray("1") << QByteArray("-5") << false << 3 << 1 << "-5" << false << -5;
}

void TestSetupPages::fillHandlesRounds()
{
    QFETCH(QByteArray, refresh);
    QFETCH(QByteArray, rounds);
    QFETCH(bool, infiniteBefore);
    QFETCH(int, refreshSlider);
    QFETCH(int, loopSlider);
    QFETCH(QString, loopField);
    QFETCH(bool, infinite);
    QFETCH(int, loopCount);

    Screen screen(header("20"));
    if (infiniteBefore)
        click(screen.infinite());
    click(screen.window->SSCommand1[1]); // Exit: the tick is not saved
    screen.writeFile("GLAVEN.CFG", header(rounds, refresh));
    screen.configure();

    QCOMPARE(screen.slider(0)->value(), refreshSlider);
    QCOMPARE(screen.field(3)->text(), QString::fromLatin1(refresh) + " Minutes");
    QCOMPARE(screen.state.settings.RefreshMinutes, refresh.toDouble());
    QCOMPARE(screen.slider(1)->value(), loopSlider);
    QCOMPARE(screen.field(4)->text(), loopField);
    QCOMPARE(screen.infinite()->isChecked(), infinite);
    QCOMPARE(screen.slider(1)->isEnabled(), !infinite);
    QCOMPARE(screen.field(4)->isEnabled(), !infinite);
    QCOMPARE(int(screen.state.settings.LoopCount), loopCount);
    screen.save();
    QCOMPARE(screen.config(), header(rounds, refresh));
}

void TestSetupPages::slidersFollowTheUser()
{
    Screen screen(header());
    QSlider *refresh = screen.slider(0);
    refresh->setFocus();
    QTest::keyClick(refresh, Qt::Key_Home);
    QTest::keyClick(refresh, Qt::Key_PageUp); // large step 5
    QTest::keyClick(refresh, Qt::Key_PageUp);
    QTest::keyClick(refresh, Qt::Key_Right); // small step 1
    QTest::keyClick(refresh, Qt::Key_Right);
    QCOMPARE(screen.state.settings.RefreshMinutes, 15.0);
    QCOMPARE(screen.field(3)->text(), QStringLiteral("15 Minutes"));

    QSlider *loops = screen.slider(1);
    loops->setFocus();
    QTest::keyClick(loops, Qt::Key_End);
    QTest::keyClick(loops, Qt::Key_PageDown); // large step 10
    QCOMPARE(screen.state.settings.LoopCount, qint16(90));
    QCOMPARE(screen.field(4)->text(), QStringLiteral("90"));

    QCOMPARE((QList<int>{refresh->minimum(), refresh->maximum(), refresh->tickInterval()}), (QList<int>{3, 60, 6}));
    QCOMPARE((QList<int>{loops->minimum(), loops->maximum(), loops->tickInterval()}), (QList<int>{1, 100, 5}));
}

void TestSetupPages::infiniteChecksAndClears()
{
    Screen screen(header());
    for (bool byClick : {true, false}) {
        auto toggle = [&](bool checked) {
            if (byClick)
                click(screen.infinite());
            else
                screen.infinite()->setChecked(checked);
        };
        toggle(true);
        QCOMPARE(screen.field(4)->text(), QString());
        QVERIFY(!screen.field(4)->isEnabled());
        QCOMPARE(screen.slider(1)->value(), 100);
        QVERIFY(!screen.slider(1)->isEnabled());
        QCOMPARE(screen.state.settings.LoopCount, qint16(30000));
        toggle(false);
        QCOMPARE(screen.field(4)->text(), QStringLiteral("100"));
        QVERIFY(screen.field(4)->isEnabled());
        QCOMPARE(screen.slider(1)->value(), 100);
        QVERIFY(screen.slider(1)->isEnabled());
        QCOMPARE(screen.state.settings.LoopCount, qint16(100));
    }
}

void TestSetupPages::namingOptionsEnableStartWith()
{
    Screen screen(header("20", "15", "7")); // a mode from a hand-edited file
    auto *timeStamp = screen.find<QRadioButton>("optFName(0)");
    auto *sequential = screen.find<QRadioButton>("optFName(1)");
    auto *start = screen.find<QLineEdit>("txtStart");
    auto *label = screen.find<QLabel>("lblStart");
    QVERIFY(sequential->isChecked());
    QCOMPARE(screen.state.settings.NamingMode, quint8(7));
    QVERIFY(start->isEnabled() && label->isEnabled());

    click(timeStamp);
    QCOMPARE(screen.state.settings.NamingMode, quint8(0));
    QVERIFY(!start->isEnabled() && !label->isEnabled());
    click(sequential);
    QCOMPARE(screen.state.settings.NamingMode, quint8(1));
    QVERIFY(start->isEnabled() && label->isEnabled());

    click(screen.window->SSCommand1[1]);
    screen.writeFile("GLAVEN.CFG", header("20", "15", "0"));
    screen.configure();
    QVERIFY(timeStamp->isChecked());
    QVERIFY(!start->isEnabled() && !label->isEnabled());
}

void TestSetupPages::startWithNumbersTheEntries()
{
    Screen screen(header() + ChicagoVelocity + ChicagoVelocity);
    auto *start = screen.find<QLineEdit>("txtStart");
    start->selectAll();
    QTest::keyClicks(start, "5");
    click(screen.window->SSCommand1[1]);
    screen.configure();
    QCOMPARE(screen.state.EntryCount, qint16(2));
    QCOMPARE(screen.state.Selections[1].SequenceNumber, qint16(5));
    QCOMPARE(screen.state.Selections[2].SequenceNumber, qint16(5));
}

void TestSetupPages::imageDirectoryEndsWithSeparator_data()
{
    const QString sep = QDir::separator();
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("no separator") << "/srv/images"
                                  << "/srv/images" + sep;
    QTest::newRow("with separator") << "/srv/images" + sep << "/srv/images" + sep;
    QTest::newRow("empty stays empty, never the root") << ""
                                                       << "";
}

void TestSetupPages::imageDirectoryEndsWithSeparator()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    Screen screen(header());
    QLineEdit *directory = screen.field(6);
    click(directory);
    directory->clear();
    QTest::keyClicks(directory, typed);
    click(screen.field(0)); // leave the field
    QCOMPARE(directory->text(), kept);
    QCOMPARE(screen.state.settings.ImageDirectory, kept);
}

void TestSetupPages::savesWhatWasTypedAndReadsItBack()
{
    Screen screen(header());
    const QString awkward[] = {QStringLiteral("  radar, \"main\"  "), QString::fromUtf8("Jürgen, \"jo\""),
                               QStringLiteral(" \"\" , "),
                               QString::fromUtf8("C:\\Bilder\\Wetter äöü") + QDir::separator()};
    for (int i : {0, 1, 2, 6}) {
        screen.field(i)->clear();
        type(screen.field(i), awkward[i == 6 ? 3 : i]);
    }
    screen.field(5)->clear();
    QTest::keyClicks(screen.field(5), " 65535");
    screen.window->SSTab1->tabs->setCurrentIndex(1);
    screen.save(2); // the Radar Sites page saves the Setup page's fields too
    QVERIFY(screen.window->SSTab1->isHidden());
    QCOMPARE(screen.state.settings.Server, QStringLiteral("radar, \"main\""));
    QCOMPARE(screen.state.settings.Port, 65535);
    QCOMPARE(screen.state.settings.ImageDirectory, awkward[3]);

    const QByteArray saved = screen.config();
    screen.configure();
    QCOMPARE(screen.field(0)->text(), QStringLiteral("radar, \"main\"")); // saved without the blanks around
    QCOMPARE(screen.field(1)->text(), awkward[1]);
    QCOMPARE(screen.field(2)->text(), awkward[2]);
    QCOMPARE(screen.field(6)->text(), awkward[3]);
    screen.save();
    QCOMPARE(screen.config(), saved);
    // Nothing was refused; the made-up directory only draws a warning at each Save.
    QCOMPARE(screen.messages.size(), size_t(2));
    for (const Message &message : screen.messages)
        QVERIFY2(message.text.contains("are saved, but the image directory"), qPrintable(message.text));
}

void TestSetupPages::exitWritesNothing()
{
    Screen screen(header());
    QSlider *refresh = screen.slider(0);
    refresh->setFocus();
    QTest::keyClick(refresh, Qt::Key_End);
    QTest::keyClicks(screen.field(0), "changed");
    click(screen.window->SSCommand1[1]);
    QVERIFY(screen.window->SSTab1->isHidden());
    QCOMPARE(screen.config(), header());
    QCOMPARE(screen.state.settings.RefreshMinutes, 60.0); // until the next load
    QCOMPARE(screen.state.settings.Server, QStringLiteral("radar.example"));
    screen.configure();
    QCOMPARE(screen.state.settings.RefreshMinutes, 15.0);
}

void TestSetupPages::saveRefusals_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    QTest::newRow("port 0") << 5 << "0"
                            << "the port \"0\"";
    QTest::newRow("port 70000") << 5 << "70000"
                                << "the port \"70000\"";
    QTest::newRow("port http") << 5 << "http"
                               << "the port \"http\"";
    QTest::newRow("user outside Latin-1") << 1 << QString::fromUtf8("Łukasz") << "\"Username\"";
}

void TestSetupPages::saveRefusals()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, reason);
    Screen screen(header());
    screen.field(field)->clear();
    type(screen.field(field), typed);
    QTest::keyClicks(screen.field(0), "x");
    screen.save();
    QCOMPARE(screen.messages.size(), size_t(1));
    QVERIFY(screen.messages[0].text.contains(QDir::toNativeSeparators(screen.dir.filePath("GLAVEN.CFG"))));
    QVERIFY2(screen.messages[0].text.contains(reason), qPrintable(screen.messages[0].text));
    QVERIFY(screen.window->SSTab1->isVisible()); // the page stays open
    QCOMPARE(screen.config(), header());
    QCOMPARE(screen.state.settings.Server, QStringLiteral("radar.example"));
    QCOMPARE(screen.state.settings.Port, 8080);
}

void TestSetupPages::brokenFileKeepsWhatIsHeld()
{
    // A missing file: first-run settings, empty list, no message.
    Screen screen;
    QVERIFY(screen.messages.empty());
    QCOMPARE(screen.state.settings.Port, 80);
    QCOMPARE(screen.list2()->count(), 0);
    click(screen.window->SSCommand1[1]);

    const QByteArray good = header() + ChicagoVelocity;
    const QByteArray broken[] = {header().left(20), good + "\"KAAA\"\r\n", good + "\"x\"\r\n\"y\"\r\n9\r\n"};
    for (const QByteArray &bytes : broken) {
        screen.writeFile("GLAVEN.CFG", good);
        screen.configure();
        click(screen.window->SSCommand1[1]);
        screen.messages.clear();
        screen.writeFile("GLAVEN.CFG", bytes);
        screen.configure();
        QCOMPARE(screen.messages.size(), size_t(1));
        QVERIFY(screen.messages[0].text.contains(QDir::toNativeSeparators(screen.dir.filePath("GLAVEN.CFG"))));
        QCOMPARE(screen.state.settings.Server, QStringLiteral("radar.example"));
        QCOMPARE(screen.state.EntryCount, qint16(1));
        QCOMPARE(lines(screen.list2()), QStringList{"Chicago, IL    Base Velocity"});
        click(screen.window->SSCommand1[1]);
    }
}

void TestSetupPages::selectingASiteShowsItsProducts()
{
    Screen screen(header(), 1);
    QCOMPARE(screen.boxes(), QStringLiteral("......"));
    QVERIFY(screen.add()->isEnabled());
    click(screen.add()); // no site selected: nothing happens
    QCOMPARE(screen.list2()->count(), 0);

    screen.selectSite("KBBB Boston, MA");
    QCOMPARE(screen.boxes(), QStringLiteral("------"));
    QVERIFY(!screen.add()->isEnabled());
    click(screen.box(1));
    QCOMPARE(screen.boxes(), QStringLiteral("-v----"));
    QVERIFY(screen.add()->isEnabled());
    click(screen.box(1));
    QVERIFY(!screen.add()->isEnabled());
    for (int i = 3; i < 6; ++i)
        QVERIFY(screen.box(i)->isHidden());
}

void TestSetupPages::addPutsTickedProductsInProductOrder()
{
    Screen screen(header(), 1);
    screen.selectSite("KCCC Chicago, IL");
    click(screen.box(2));
    click(screen.box(0));
    click(screen.add());
    QCOMPARE(lines(screen.list2()),
             (QStringList{"Chicago, IL    Base Reflectivity", "Chicago, IL    1-Hr Precip Total"}));
    QCOMPARE(screen.boxes(), QStringLiteral("x-x---"));
    QVERIFY(!screen.add()->isEnabled());
    QCOMPARE(screen.state.Sites[0].ProductChosen, (std::array<quint8, 6>{1, 0, 1, 0, 0, 0}));

    screen.selectSite("KBBB Boston, MA");
    QCOMPARE(screen.boxes(), QStringLiteral("------"));
    screen.selectSite("KCCC Chicago, IL");
    QCOMPARE(screen.boxes(), QStringLiteral("x-x---"));

    screen.save(2);
    QCOMPARE(screen.config(), header() + "\"KCCC\"\r\n\"Chicago, IL    Base Reflectivity\"\r\n0\r\n"
                                         "\"KCCCxn1r.gif\"\r\n\"Chicago, IL    1-Hr Precip Total\"\r\n2\r\n");
    QCOMPARE(screen.state.EntryCount, qint16(0)); // Selections come from the file only
}

void TestSetupPages::addAfterTheSelectionWasEmptiedDoesNothing()
{
    Screen screen(header(), 1);
    screen.selectSite("KBBB Boston, MA");
    click(screen.box(0));
    click(screen.find<QRadioButton>("optConfig(3)"));
    QVERIFY(screen.find<QListWidget>("List1")->selectedItems().isEmpty());
    click(screen.add());
    QCOMPARE(screen.list2()->count(), 0);
    QCOMPARE(screen.state.Sites[2].ProductChosen, (std::array<quint8, 6>{}));
}

void TestSetupPages::clearEmptiesTheFetchList()
{
    Screen screen(header() + ChicagoVelocity, 1);
    screen.selectSite("KCCC Chicago, IL");
    click(screen.box(0));
    QCOMPARE(screen.boxes(), QStringLiteral("vx----"));
    click(screen.find<QPushButton>("cmdConfigClear"));
    QCOMPARE(screen.list2()->count(), 0);
    QCOMPARE(screen.boxes(), QStringLiteral("------"));
    QVERIFY(!screen.add()->isEnabled());
    QCOMPARE(screen.state.Sites[0].ProductChosen, (std::array<quint8, 6>{}));

    // Without a selection the boxes keep their states.
    click(screen.box(0));
    screen.state.Sites[1].ProductChosen[4] = 1;
    click(screen.find<QRadioButton>("optConfig(0)"));
    click(screen.find<QPushButton>("cmdConfigClear"));
    QCOMPARE(screen.boxes(), QStringLiteral("v-----"));
    QVERIFY(screen.add()->isEnabled());
    QCOMPARE(screen.state.Sites[1].ProductChosen, (std::array<quint8, 6>{}));

    // Clear, then Exit, then Configure: the file's list comes back.
    click(screen.window->SSCommand1[3]);
    screen.configure();
    QCOMPARE(lines(screen.list2()), QStringList{"Chicago, IL    Base Velocity"});
    // Clear, then Save: a file without entries.
    click(screen.find<QPushButton>("cmdConfigClear"));
    screen.save(2);
    QCOMPARE(screen.config(), header());
}

void TestSetupPages::addedFlagOutlivesExitAndIsSaved()
{
    Screen screen(header() + ChicagoVelocity, 1);
    screen.selectSite("Kaaa albany, NY");
    click(screen.box(2));
    click(screen.add());
    click(screen.window->SSCommand1[3]); // Exit without Save
    screen.configure();
    QCOMPARE(lines(screen.list2()), QStringList{"Chicago, IL    Base Velocity"});
    screen.selectSite("Kaaa albany, NY");
    QCOMPARE(screen.boxes(), QStringLiteral("--x---"));
    screen.save(2);
    QCOMPARE(screen.config(),
             header() + ChicagoVelocity + "\"KAAAxn1r.gif\"\r\n\"albany, NY     1-Hr Precip Total\"\r\n2\r\n");
}

void TestSetupPages::hiddenProductsStayInTheFile()
{
    const QByteArray storm = "\"KBBBxnsr.gif\"\r\n\"Boston, MA     Storm Precip Total\"\r\n4\r\n";
    Screen screen(header() + storm, 1);
    screen.selectSite("KBBB Boston, MA");
    QCOMPARE(screen.boxes(), QStringLiteral("----x-"));
    QVERIFY(screen.box(4)->isHidden());
    click(screen.box(1));
    click(screen.add());
    screen.save(2);
    QCOMPARE(screen.config(), header() + "\"KBBBanbv.gif\"\r\n\"Boston, MA     Base Velocity\"\r\n1\r\n" + storm);
}

void TestSetupPages::firstRunStartsWithRunnableSettings()
{
    TemporaryHome home;
    Screen screen; // no GLAVEN.CFG
    QVERIFY(screen.messages.empty());
    QCOMPARE(screen.field(5)->text(), QStringLiteral("80"));
    QCOMPARE(screen.field(3)->text(), QStringLiteral("3 Minutes"));
    QCOMPARE(screen.slider(0)->value(), 3);
    QCOMPARE(screen.field(4)->text(), QStringLiteral("10"));
    QCOMPARE(screen.slider(1)->value(), 10);
    QVERIFY(!screen.infinite()->isChecked());
    QVERIFY(screen.find<QRadioButton>("optFName(1)")->isChecked());
    QCOMPARE(screen.find<QLineEdit>("txtStart")->text(), QStringLiteral("1"));
    QVERIFY(screen.find<QLineEdit>("txtStart")->isEnabled());
    QCOMPARE(screen.field(6)->text(), home.pictures());

    QTest::keyClicks(screen.field(0), "radar.example");
    screen.save();
    QVERIFY2(screen.messages.empty(), screen.messages.empty() ? "" : qPrintable(screen.messages[0].text));
    QVERIFY(QFileInfo(home.pictures()).isDir()); // made by Save
    QCOMPARE(screen.config(), "\"radar.example\"\r\n80\r\n\"\"\r\n\"\"\r\n3\r\n10\r\n1\r\n\"" +
                                  home.pictures().toLocal8Bit() + "\"\r\n");

    // A pictures folder that cannot be made is named, with the reason.
    QFile::remove(screen.dir.filePath("GLAVEN.CFG"));
    QVERIFY(QDir(home.pictures()).removeRecursively());
    QVERIFY(QDir(home.dir.path()).rmdir("Pictures"));
    QVERIFY(writeFile(home.dir.filePath("Pictures"), "a file in the way"));
    click(screen.window->SSCommand1[1]);
    screen.configure();
    QTest::keyClicks(screen.field(0), "radar.example");
    screen.save();
    QCOMPARE(screen.messages.size(), size_t(1));
    QVERIFY2(screen.messages[0].text.contains(QDir::toNativeSeparators(home.pictures()) + " cannot be made: "),
             qPrintable(screen.messages[0].text));
    QVERIFY(QFileInfo::exists(screen.dir.filePath("GLAVEN.CFG"))); // saved all the same
}

void TestSetupPages::boxesShowTheFlagsAfterEveryLoad()
{
    const QByteArray chicagoReflectivity = "\"KCCC\"\r\n\"Chicago, IL    Base Reflectivity\"\r\n0\r\n";
    Screen screen(header() + chicagoReflectivity, 1);
    screen.selectSite("KCCC Chicago, IL");
    QCOMPARE(screen.boxes(), QStringLiteral("x-----"));
    click(screen.find<QPushButton>("cmdConfigClear"));
    QCOMPARE(screen.boxes(), QStringLiteral("------"));
    click(screen.window->SSCommand1[3]); // Exit
    screen.configure();
    // The file's flag is back, and so is the box that shows it.
    QCOMPARE(lines(screen.list2()), QStringList{"Chicago, IL    Base Reflectivity"});
    QCOMPARE(screen.boxes(), QStringLiteral("x-----"));
    QVERIFY(!screen.add()->isEnabled());

    click(screen.box(1));
    click(screen.add());
    QCOMPARE(lines(screen.list2()), (QStringList{"Chicago, IL    Base Reflectivity", "Chicago, IL    Base Velocity"}));
    screen.save(2);
    QCOMPARE(screen.config(), header() + chicagoReflectivity + ChicagoVelocity);
}

void TestSetupPages::unknownSiteEntriesSurviveConfigureAndSave()
{
    const QByteArray renamed = "\"KXYZxn1r.gif\"\r\n\"Renamed, XY    1-Hr Precip Total\"\r\n2\r\n";
    const QByteArray file = header() + ChicagoVelocity + renamed;
    Screen screen(file, 1);
    QCOMPARE(screen.messages.size(), size_t(1));
    QVERIFY2(screen.messages[0].text.contains("not in the site list"), qPrintable(screen.messages[0].text));
    // It names the file in use, which is not beside the program after an install.
    QVERIFY(screen.messages[0].text.startsWith(QDir::toNativeSeparators(screen.window->config()->configPath())));
    QVERIFY(screen.messages[0].text.contains("Renamed, XY 1-Hr Precip Total"));
    QCOMPARE(lines(screen.list2()), (QStringList{"Chicago, IL    Base Velocity", "Renamed, XY    1-Hr Precip Total"}));
    // The last site is not taken for it.
    screen.selectSite("KBBB Boston, MA");
    QCOMPARE(screen.boxes(), QStringLiteral("------"));
    QCOMPARE(screen.state.Sites[2].ProductChosen, (std::array<quint8, 6>{}));

    screen.save(2);
    QCOMPARE(screen.config(), file); // byte for byte
    screen.configure();
    QCOMPARE(screen.messages.size(), size_t(1)); // told once
    QCOMPARE(screen.state.EntryCount, qint16(2));

    click(screen.find<QPushButton>("cmdConfigClear"));
    screen.save(2);
    QCOMPARE(screen.config(), header());
}

void TestSetupPages::emptyAndRelativeImageDirectory()
{
    Screen screen(header());
    QLineEdit *directory = screen.field(6);
    directory->clear();
    click(directory);
    click(screen.field(0)); // leave the field
    QCOMPARE(directory->text(), QString());
    screen.save();
    QCOMPARE(screen.messages.size(), size_t(1));
    QVERIFY2(screen.messages[0].text.contains("no image directory is set: new pictures cannot be stored"),
             qPrintable(screen.messages[0].text));
    screen.configure();
    QCOMPARE(directory->text(), QString());
    QCOMPARE(screen.state.settings.ImageDirectory, QString());

    // A relative directory is the program directory's, wherever the program was started.
    QVERIFY(QDir(screen.dir.path()).mkdir("images"));
    click(directory);
    QTest::keyClicks(directory, "images");
    click(screen.field(0));
    QCOMPARE(directory->text(), QStringLiteral("images") + QDir::separator());
    screen.messages.clear();
    screen.save();
    QVERIFY2(screen.messages.empty(), screen.messages.empty() ? "" : qPrintable(screen.messages[0].text));
    QVERIFY(QDir(screen.dir.path()).rmdir("images"));
    screen.configure();
    screen.save();
    QCOMPARE(screen.messages.size(), size_t(1));
    QVERIFY2(
        screen.messages[0].text.contains(QDir::toNativeSeparators(screen.dir.filePath("images/")) + " does not exist"),
        qPrintable(screen.messages[0].text));
}

void TestSetupPages::disabledControlsLookDisabled()
{
    Screen screen(header(), 1);
    QWidget *controls[] = {screen.add(), screen.box(0), screen.find<QLabel>("lblStart"),
                           screen.find<QLineEdit>("txtStart")};
    for (QWidget *control : controls) {
        const QPalette &palette = control->palette();
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            // The disabled text is the platform's own, whatever colour the design gives.
            QCOMPARE(palette.color(QPalette::Disabled, role), QApplication::palette().color(QPalette::Disabled, role));
        }
    }
    QCOMPARE(screen.add()->palette().color(QPalette::Active, QPalette::ButtonText), QColor(0xC0, 0x00, 0x00));
    QCOMPARE(screen.box(0)->palette().color(QPalette::Active, QPalette::WindowText), QColor(0x00, 0x00, 0x80));
    QCOMPARE(screen.find<QLabel>("lblStart")->palette().color(QPalette::Active, QPalette::WindowText),
             QColor(0x00, 0xC0, 0xC0));
    QCOMPARE(screen.find<QListWidget>("List1")->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void TestSetupPages::passwordShowsStars()
{
    Screen screen(header());
    QLineEdit *password = screen.field(2);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), int('*'));
}

void TestSetupPages::returnAndEnterPressTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestSetupPages::returnAndEnterPressTheFocusedButton()
{
    QFETCH(int, key);
    Screen screen(header() + ChicagoVelocity, 1);
    QPushButton *clear = screen.find<QPushButton>("cmdConfigClear");
    clear->setFocus();
    QTest::keyClick(clear, Qt::Key(key));
    QCOMPARE(screen.list2()->count(), 0);
    QPushButton *exit = screen.window->SSCommand1[3];
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key(key));
    QVERIFY(screen.window->SSTab1->isHidden());
    QPushButton *configure = screen.window->Command1[0];
    configure->setFocus();
    QTest::keyClick(configure, Qt::Key(key));
    QVERIFY(screen.window->SSTab1->isVisible());
}

void TestSetupPages::captionsAreNotCovered()
{
    Screen screen(header(), 1);
    auto *startWith = screen.find<QLabel>("lblStart");
    QVERIFY(!startWith->geometry().intersects(screen.find<QLineEdit>("txtStart")->geometry()));
    QVERIFY(startWith->fontMetrics().horizontalAdvance(startWith->text()) > startWith->width()); // two lines
    const int order[] = {8, 0, 1, 2, 3, 4, 5, 6, 7};                                             // left to right
    for (int i = 0; i < 9; ++i) {
        auto *option = screen.find<QRadioButton>(indexed("optConfig", order[i]));
        QVERIFY2(captionFits(option), qPrintable(option->text()));
        if (i < 8) {
            auto *next = screen.find<QRadioButton>(indexed("optConfig", order[i + 1]));
            QVERIFY2(!option->geometry().intersects(next->geometry()), qPrintable(option->text()));
        }
    }
}

QTEST_MAIN(TestSetupPages)
#include "test_setup_pages.moc"
