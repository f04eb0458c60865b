#include "TestFiles.h"
#include "WithoutRootRights.h"
#include "config/ConfigLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace stormtap;

class TestConfigLocation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void ruleGivenItsAnswers_data();
    void ruleGivenItsAnswers();
    void ruleOnRealFolders_data();
    void ruleOnRealFolders();
    void missingFolderIsMade();
    void folderThatCannotBeMadeNamesTheFile();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestConfigLocation::init()
{
    // The user's own configuration folder stays untouched.
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    qunsetenv("XDG_CONFIG_HOME");
}

void TestConfigLocation::ruleGivenItsAnswers_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("writable program directory") << true << "/opt/stormtap/GLAVEN.CFG";
    QTest::newRow("read-only program directory") << false << "/home/ann/.config/stormtap/GLAVEN.CFG";
}

void TestConfigLocation::ruleGivenItsAnswers()
{
    QFETCH(bool, writable);
    QFETCH(QString, expected);
    QCOMPARE(configFilePath("/opt/stormtap/", writable, "/home/ann/.config/stormtap"), expected);
}

void TestConfigLocation::ruleOnRealFolders_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("fileBesideProgram");
    QTest::addColumn<bool>("fileInUserFolder");
    QTest::addColumn<bool>("expectUserFolder");
    QTest::newRow("writable, no file yet") << false << false << false << false;
    QTest::newRow("writable, file beside the program") << false << true << false << false;
    QTest::newRow("writable, a per-user file does not count") << false << false << true << false;
    QTest::newRow("read-only, no per-user file yet") << true << false << false << true;
    QTest::newRow("read-only, per-user file") << true << false << true << true;
    QTest::newRow("read-only, a file beside the program does not count") << true << true << false << true;
}

void TestConfigLocation::ruleOnRealFolders()
{
    STORMTAP_RUN_WITHOUT_ROOT_RIGHTS();
    QFETCH(bool, readOnly);
    QFETCH(bool, fileBesideProgram);
    QFETCH(bool, fileInUserFolder);
    QFETCH(bool, expectUserFolder);

    QTemporaryDir program;
    if (fileBesideProgram)
        QVERIFY(writeFile(program.filePath("GLAVEN.CFG"), "\"beside\"\r\n"));
    const QString userFile = m_home->filePath(".config/stormtap/GLAVEN.CFG");
    if (fileInUserFolder) {
        QVERIFY(QDir(m_home->path()).mkpath(".config/stormtap"));
        QVERIFY(writeFile(userFile, "\"per user\"\r\n"));
    }
    if (readOnly)
        QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));

    QCOMPARE(QFileInfo(program.path()).isWritable(), !readOnly); // not root here
    const QString path = configFilePath(program.path());
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(path, expectUserFolder ? userFile : program.filePath("GLAVEN.CFG"));
}

void TestConfigLocation::missingFolderIsMade()
{
    const QString path = m_home->filePath(".config/stormtap/GLAVEN.CFG");
    QCOMPARE(makeConfigDirectory(path), QString());
    QVERIFY(QFileInfo(m_home->filePath(".config/stormtap")).isDir());
    QCOMPARE(makeConfigDirectory(path), QString()); // there already
}

void TestConfigLocation::folderThatCannotBeMadeNamesTheFile()
{
    QVERIFY(writeFile(m_home->filePath(".config"), "a file where the folder should be"));
    const QString path = m_home->filePath(".config/stormtap/GLAVEN.CFG");
    const QString problem = makeConfigDirectory(path);
    QVERIFY2(problem.startsWith(QStringLiteral("Cannot save %1: ").arg(path)), qPrintable(problem));
    QVERIFY2(problem.contains("folder cannot be created"), qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestConfigLocation)
#include "test_config_location.moc"
