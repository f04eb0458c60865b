#include "WindowFixture.h"
#include "WithoutRootRights.h"

#include "ui/ConfigController.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace stormtap;

namespace {

const QByteArray TwoSites = "\"KAAA Albany, NY\",KAAA,1\r\n\"KBBB Boston, MA\",KBBB,1\r\n";

// An installed program: a program directory the user cannot write to, and a
// home of the user's own.
struct ReadOnlyInstall {
    explicit ReadOnlyInstall(const QByteArray &sitesDat = QByteArray(), bool writeSites = true)
    {
        if (writeSites && !writeFile(program.filePath("SITES.DAT"), sitesDat))
            qFatal("cannot write SITES.DAT");
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
        setMessageHandler([this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            messages.push_back({icon, title, text});
        });
        frmMain::exitProcess = [] {};
        window = startUp(state, program.path());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window never became active");
    }
    ~ReadOnlyInstall()
    {
        setMessageHandler({});
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QLineEdit *field(int i) const
    {
        return window->findChild<QLineEdit *>(QStringLiteral("txtConfigSetup(%1)").arg(i));
    }
    QString userFile() const { return home.dir.filePath(".config/stormtap/GLAVEN.CFG"); }
    void typeSettings()
    {
        click(window->Command1[0]);
        field(0)->clear();
        QTest::keyClicks(field(0), "radar.example");
        field(5)->clear();
        QTest::keyClicks(field(5), "8080");
        field(6)->setText(home.dir.path() + QLatin1Char('/'));
    }

    TemporaryHome home;
    QTemporaryDir program;
    State state;
    std::unique_ptr<frmMain> window;
    std::vector<Message> messages;
};

} // namespace

class TestReadOnlyProgramDirectory : public QObject {
    Q_OBJECT
private slots:
    void saveKeepsSettingsPerUser();
    void saveThatCannotMakeTheFolderNamesTheFile();
    void missingSitesFileIsReportedAndTheCatalogueIsEmpty();
};

void TestReadOnlyProgramDirectory::saveKeepsSettingsPerUser()
{
    STORMTAP_RUN_WITHOUT_ROOT_RIGHTS();
    ReadOnlyInstall install(TwoSites);
    QVERIFY(install.messages.empty());
    QCOMPARE(int(install.state.LastSiteIndex), 1);

    install.typeSettings();
    click(install.window->SSCommand1[0]);
    for (const Message &message : install.messages)
        QFAIL(qPrintable(message.text));
    QVERIFY(install.window->SSTab1->isHidden());
    QVERIFY(readFile(install.userFile()).startsWith("\"radar.example\"\r\n8080\r\n"));
    const QFile::Permissions ownerGroupOthers(0x7077);
    QCOMPARE(QFileInfo(install.userFile()).permissions() & ownerGroupOthers, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(!QFileInfo::exists(install.program.filePath("GLAVEN.CFG")));

    // Read back from there.
    install.field(0)->clear();
    click(install.window->Command1[0]);
    QCOMPARE(install.field(0)->text(), QStringLiteral("radar.example"));
    QCOMPARE(install.window->config()->configPath(), install.userFile());
}

void TestReadOnlyProgramDirectory::saveThatCannotMakeTheFolderNamesTheFile()
{
    STORMTAP_RUN_WITHOUT_ROOT_RIGHTS();
    ReadOnlyInstall install(TwoSites);
    QVERIFY(writeFile(install.home.dir.filePath(".config"), "a file where the folder should be"));
    install.typeSettings();
    click(install.window->SSCommand1[0]);
    QCOMPARE(install.messages.size(), size_t(1));
    const QString text = install.messages[0].text;
    QVERIFY2(text.contains(install.userFile()), qPrintable(text));
    QVERIFY2(text.contains("Nothing has been saved."), qPrintable(text));
    QVERIFY(install.window->SSTab1->isVisible()); // the page stays open
}

void TestReadOnlyProgramDirectory::missingSitesFileIsReportedAndTheCatalogueIsEmpty()
{
    STORMTAP_RUN_WITHOUT_ROOT_RIGHTS();
    ReadOnlyInstall install(QByteArray(), false);
    QCOMPARE(install.messages.size(), size_t(1));
    const QString text = install.messages[0].text;
    QVERIFY2(text.contains("Cannot create " + install.program.filePath("SITES.DAT")), qPrintable(text));
    QVERIFY2(text.endsWith("The program starts with an empty catalogue."), qPrintable(text));
    QCOMPARE(int(install.state.LastSiteIndex), -1);
    QCOMPARE(install.window->findChild<QListWidget *>("List1")->count(), 0);
    click(install.window->Command1[0]);
    QVERIFY(install.window->SSTab1->isVisible());
}

QTEST_MAIN(TestReadOnlyProgramDirectory)
#include "test_read_only_program_directory.moc"
