#include "FetchConfig.h"
#include "RadarServer.h"
#include "TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

// stormtap-fetch as a process: its command line, exit statuses and stop signals.
// The runs that fetch use a build of it whose short pauses pass at once.
class TestFetchProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start({"--user", "demo", "--password", "secret", "--interval-seconds", "36000"}));
    }
    void init() { QCOMPARE(m_server.control("reset"), QByteArray("ok\n")); }

    void helpAndVersion_data();
    void helpAndVersion();
    void unusableConfigExits2_data();
    void unusableConfigExits2();
    void rejectedPasswordExits3();
    void failuresWhereTheStreamsMeet_data();
    void failuresWhereTheStreamsMeet();
    void stopSignalEndsAtOnce_data();
    void stopSignalEndsAtOnce();

private:
    // Started without a display, as on a server.
    void start(QProcess &process, const QString &program, const QStringList &arguments,
               const QStringList &setting = QStringList())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "JOURNAL_STREAM"})
            environment.remove(name);
        for (const QString &variable : setting)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        QVERIFY(process.waitForStarted(5000));
    }
    QString writeConfig(const QTemporaryDir &dir, const QTemporaryDir &images, const QByteArray &password = "secret")
    {
        FetchConfig config;
        config.port = m_server.port;
        config.password = password;
        config.imageDirectory = images.path();
        const QString path = dir.filePath("GLAVEN.CFG");
        writeFile(path, config.bytes("\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n"
                                     "\"KENXanbv.gif\"\r\n\"Albany, NY     Base Velocity\"\r\n1\r\n"));
        return path;
    }
    static QStringList everyFile(const QString &directory)
    {
        return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                         QDir::Name);
    }

    RadarServer m_server;
};

void TestFetchProgram::helpAndVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("--version") << "--version" << QStringList{"stormtap-fetch 1.0"};
    QTest::newRow("--help") << "--help" << QStringList{"--config <FILE>", "--quiet", "Exit status", "SIGTERM"};
}

void TestFetchProgram::helpAndVersion()
{
    QFETCH(QString, option);
    QFETCH(QStringList, shown);
    QProcess process;
    start(process, FETCH_PROGRAM, {option});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &text : shown)
        QVERIFY2(out.contains(text), qPrintable(out));
}

void TestFetchProgram::unusableConfigExits2_data()
{
    QTest::addColumn<bool>("besideTheProgram");
    QTest::newRow("named by --config") << false;
    QTest::newRow("GLAVEN.CFG beside the program") << true;
}

void TestFetchProgram::unusableConfigExits2()
{
    QFETCH(bool, besideTheProgram);
    QTemporaryDir dir;
    const QString config = dir.filePath("GLAVEN.CFG");
    QVERIFY(writeFile(config, "\"127.0.0.1\"\r\n8080\r\n\"demo\"\r\n"));
    QString program = FETCH_PROGRAM;
    QStringList arguments{"--config", config};
    if (besideTheProgram) {
        // A copy of the program in a folder of its own reads the GLAVEN.CFG there.
        program = dir.filePath("stormtap-fetch");
        QVERIFY(QFile::copy(FETCH_PROGRAM, program));
        arguments.clear();
    }
    QProcess process;
    start(process, program, arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(config) && err.contains("the header ends after 3 of its 8 items"), qPrintable(err));
}

void TestFetchProgram::failuresWhereTheStreamsMeet_data()
{
    QTest::addColumn<bool>("journal");
    QTest::newRow("one pipe for both: printed once") << false;
    QTest::newRow("standard error is the journal: marked as an error") << true;
}

void TestFetchProgram::failuresWhereTheStreamsMeet()
{
    QFETCH(bool, journal);
    QTemporaryDir dir;
    const QString missing = dir.filePath("GLAVEN.CFG");
    const QString message = "Cannot read " + missing + ": there is no such file.";
    QProcess process;
    QStringList setting;
    const QString journalPath = dir.filePath("journal");
    if (journal) {
        // systemd names the stream it connects as "device:inode".
        QVERIFY(writeFile(journalPath, ""));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(journalPath).constData(), &info), 0);
        setting << QStringLiteral("JOURNAL_STREAM=%1:%2").arg(info.st_dev).arg(info.st_ino);
        process.setStandardErrorFile(journalPath, QIODevice::Append);
    } else {
        process.setProcessChannelMode(QProcess::MergedChannels);
    }
    start(process, FETCH_PROGRAM, {"--config", missing}, setting);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 2);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (journal) {
        QVERIFY2(out.count(message) == 1 && !out.startsWith("<3>"), qPrintable(out));
        const QString err = QString::fromUtf8(readFile(journalPath));
        QVERIFY2(err.startsWith("<3>") && err.count(message) == 1, qPrintable(err));
    } else {
        QVERIFY2(out.count(message) == 1, qPrintable(out));
    }
}

void TestFetchProgram::rejectedPasswordExits3()
{
    QTemporaryDir dir, images;
    QProcess process;
    start(process, QUICK_FETCH_PROGRAM, {"--quiet", "--config", writeConfig(dir, images, "wrong")});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 3);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(" KENX -- Failed 401\n") && err.contains("Username / Password Invalid"), qPrintable(err));
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(everyFile(images.path()), QStringList());
}

void TestFetchProgram::stopSignalEndsAtOnce_data()
{
    QTest::addColumn<bool>("duringTransfer");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGTERM during a transfer") << true << SIGTERM << "SIGTERM";
    QTest::newRow("SIGINT during a transfer") << true << SIGINT << "SIGINT";
    QTest::newRow("SIGTERM waiting for the next round") << false << SIGTERM << "SIGTERM";
    QTest::newRow("SIGINT waiting for the next round") << false << SIGINT << "SIGINT";
}

void TestFetchProgram::stopSignalEndsAtOnce()
{
    QFETCH(bool, duringTransfer);
    QFETCH(int, signalNumber);
    QFETCH(QString, name);
    QTemporaryDir dir, images;
    // The second picture would take a minute to arrive; the next round is three
    // minutes away.
    if (duringTransfer)
        QCOMPARE(m_server.control("misbehave?path=KENXanbv.gif&mode=trickle&ms=60000&chunks=600"), QByteArray("ok\n"));

    QProcess process;
    start(process, QUICK_FETCH_PROGRAM, {"--config", writeConfig(dir, images)});
    QByteArray out;
    if (duringTransfer) {
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().size(), 2, 20000);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT((out += process.readAllStandardOutput()).contains(" KENXanb ... "), 20000);
    }
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QVERIFY(process.waitForFinished(10000)); // far sooner than the transfer or the round would end
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    out += process.readAllStandardOutput();
    QCOMPARE(process.readAllStandardError(), QByteArray());

    // Whole lines only, the last one telling why it ended.
    QVERIFY(out.endsWith('\n'));
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QVERIFY2(lines.last().endsWith(" Stopped by " + name.toLatin1()), out.constData());
    if (duringTransfer)
        QVERIFY2(lines[lines.size() - 2].endsWith(" Getting Albany, NY     Base Velocity"), out.constData());
    // Whole pictures only: nothing of the stopped transfer, no temporary file.
    const QStringList stored = duringTransfer ? QStringList{"KENX1.gif"} : QStringList{"KENX1.gif", "KENXanb1.gif"};
    QCOMPARE(everyFile(images.path()), stored);
    QCOMPARE(readFile(images.filePath("KENX1.gif")), m_server.image("KENX"));
    if (!duringTransfer)
        QCOMPARE(readFile(images.filePath("KENXanb1.gif")), m_server.image("KENXanbv.gif"));
    QCOMPARE(m_server.requests().size(), 2);
}

QTEST_GUILESS_MAIN(TestFetchProgram)
#include "test_fetch_program.moc"
