#include "FakeClock.h"
#include "FetchConfig.h"
#include "FetchLog.h"
#include "FetchRun.h"
#include "RadarServer.h"
#include "RecordingDisplay.h"
#include "TestFiles.h"
#include "config/ConfigReader.h"
#include "retrieval/RetrievalCycle.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

using namespace stormtap;

namespace {

// stormtap-fetch's run in this process, its output kept.
struct FetchRig {
    explicit FetchRig(bool quiet = false)
    {
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        log.setQuiet(quiet);
    }
    QStringList outLines() const { return lines(out); }
    QStringList errLines() const { return lines(err); }
    static QStringList lines(const QBuffer &buffer)
    {
        QString text = QString::fromUtf8(buffer.data());
        if (text.endsWith('\n'))
            text.chop(1);
        return text.isEmpty() ? QStringList() : text.split('\n');
    }

    QBuffer out, err;
    FakeClock clock;
    FetchLog log{out, err, clock};
};

QStringList files(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The requests as the server saw them, without the connection numbers.
QJsonArray requestsSeen(const QJsonArray &log)
{
    QJsonArray result;
    for (const auto &request : log) {
        QJsonObject object = request.toObject();
        object.remove("connection");
        result.append(object);
    }
    return result;
}

} // namespace

class TestFetchRun : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // One generation of pictures for the whole test: every run sees the same bytes.
        QVERIFY(m_server.start({"--user", "demo", "--password", "secret", "--interval-seconds", "36000"}));
    }
    void init() { QCOMPARE(m_server.control("reset"), QByteArray("ok\n")); }

    void twoRoundsAsTheWindowRunsThem_data();
    void twoRoundsAsTheWindowRunsThem();
    void everyFailureGoesToStandardErrorOnce_data();
    void everyFailureGoesToStandardErrorOnce();
    void rejectedPasswordEndsTheRun();
    void missingImageDirectoryIsToldAndTheRunGoesOn();
    void endlessRoundsGoOnPastARunsLast();
    void roundLineNamesTheRounds_data();
    void roundLineNamesTheRounds();
    void unusableConfigIsNamed_data();
    void unusableConfigIsNamed();

private:
    QString writeConfig(const QTemporaryDir &dir, const FetchConfig &config,
                        const QByteArray &entries = FetchConfig::Entries)
    {
        const QString path = dir.filePath("GLAVEN.CFG");
        writeFile(path, config.bytes(entries));
        return path;
    }
    FetchConfig config(const QTemporaryDir &images) const
    {
        FetchConfig result;
        result.port = m_server.port;
        result.imageDirectory = images.path();
        return result;
    }

    RadarServer m_server;
};

void TestFetchRun::twoRoundsAsTheWindowRunsThem_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("every line") << false;
    QTest::newRow("--quiet: failures only") << true;
}

void TestFetchRun::twoRoundsAsTheWindowRunsThem()
{
    QFETCH(bool, quiet);
    QTemporaryDir dir, fetchImages, windowImages;
    const QString spoil = "misbehave?path=KABRxn1r.gif&mode=status&code=500&count=1";

    // Round 1 stores two pictures and fails the third; round 2 repeats the two
    // and stores the third.
    QCOMPARE(m_server.control(spoil), QByteArray("ok\n"));
    const QString fetchConfig = writeConfig(dir, config(fetchImages));
    FetchRig fetch(quiet);
    FetchRun run(fetch.clock, fetch.log, fetchConfig);
    QCOMPARE(run.exec(), int(FetchDone));
    const QJsonArray fetchRequests = requestsSeen(m_server.requests());
    const QString lm = m_server.stats().value("lastModified").toString();

    const QString failure = "2024-05-01 12:00:09 KABRxn1 -- Failed 500";
    const QStringList everything{
        "2024-05-01 12:00:00 Round 1 of 2, next round at 2024-05-01 12:03:00",
        "2024-05-01 12:00:00 Getting Albany, NY     Base Reflectivity",
        "2024-05-01 12:00:04 KENX ... " + lm + " -  #1",
        "2024-05-01 12:00:04 Getting Albany, NY     Base Velocity",
        "2024-05-01 12:00:08 KENXanb ... " + lm + " -  #1",
        "2024-05-01 12:00:08 Getting Aberdeen, SD   1-Hr Precip Total",
        failure,
        "2024-05-01 12:03:00 Round 2 of 2",
        "2024-05-01 12:03:00 Getting Albany, NY     Base Reflectivity",
        "2024-05-01 12:03:04 KENX -- Repeat " + lm.right(12) + " #1",
        "2024-05-01 12:03:04 Getting Albany, NY     Base Velocity",
        "2024-05-01 12:03:08 KENXanb -- Repeat " + lm.right(12) + " #1",
        "2024-05-01 12:03:08 Getting Aberdeen, SD   1-Hr Precip Total",
        "2024-05-01 12:03:12 KABRxn1 ... " + lm + " -  #1",
        "2024-05-01 12:03:14 Finished after 2 rounds",
    };
    QCOMPARE(fetch.outLines(), quiet ? QStringList() : everything);
    QCOMPARE(fetch.errLines(), QStringList{failure});

    // The same GLAVEN.CFG through the cycle as the Retrieve button drives it.
    QCOMPARE(m_server.control("reset"), QByteArray("ok\n"));
    QCOMPARE(m_server.control(spoil), QByteArray("ok\n"));
    QTemporaryDir windowDir;
    const QString windowConfig = writeConfig(windowDir, config(windowImages));
    State state;
    FakeClock clock;
    RecordingDisplay display;
    RetrievalCycle cycle(state, clock, display, [&] { applyConfig(loadConfig(windowConfig, state, 1), state); });
    cycle.run();

    QCOMPARE(requestsSeen(m_server.requests()), fetchRequests);
    QCOMPARE(fetchRequests.size(), 6);
    const QStringList stored{"KABRxn11.gif", "KENX1.gif", "KENXanb1.gif"};
    QCOMPARE(files(fetchImages.path()), stored);
    QCOMPARE(files(windowImages.path()), stored);
    for (const QString &name : stored)
        QCOMPARE(readFile(fetchImages.filePath(name)), readFile(windowImages.filePath(name)));
    QCOMPARE(readFile(fetchImages.filePath("KENX1.gif")), m_server.image("KENX"));
    QCOMPARE(run.display().lines(), display.lines);
    QCOMPARE(clock.elapsed(), fetch.clock.elapsed());
}

void TestFetchRun::everyFailureGoesToStandardErrorOnce_data()
{
    QTest::addColumn<QString>("misbehaviour");
    QTest::newRow("no GIF87 picture") << "mode=nongif";
    QTest::newRow("1000 bytes") << "mode=size1000";
    QTest::newRow("cut off mid-body") << "mode=drop&at=body";
}

void TestFetchRun::everyFailureGoesToStandardErrorOnce()
{
    QFETCH(QString, misbehaviour);
    QTemporaryDir dir, images;
    QCOMPARE(m_server.control("misbehave?path=KENX&count=1&" + misbehaviour), QByteArray("ok\n"));
    FetchConfig settings = config(images);
    settings.rounds = "1";
    const QString path = writeConfig(dir, settings, "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n");
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    QCOMPARE(run.exec(), int(FetchDone));

    // One line on standard error, also among the others on standard output.
    const QStringList errors = fetch.errLines();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("2024-05-01 12:00:01 KENX -- Failed "), qPrintable(errors[0]));
    QVERIFY(fetch.outLines().contains(errors[0]));
    QCOMPARE(files(images.path()), QStringList());
}

void TestFetchRun::rejectedPasswordEndsTheRun()
{
    QTemporaryDir dir, images;
    FetchConfig settings = config(images);
    settings.password = "wrong";
    settings.rounds = "30000"; // endless: only the rejection ends it
    const QString path = writeConfig(dir, settings);
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    QCOMPARE(run.exec(), int(FetchAccessDenied));

    QCOMPARE(m_server.requests().size(), 1); // the round ended after the first refusal
    const QStringList errors = fetch.errLines();
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors[0], QString("2024-05-01 12:00:01 KENX -- Failed 401"));
    QVERIFY(errors[1].contains("Username / Password Invalid"));
    QVERIFY(!fetch.outLines().last().contains("Finished"));
    QVERIFY(fetch.clock.elapsed() < 2000); // no waiting for another round
}

void TestFetchRun::missingImageDirectoryIsToldAndTheRunGoesOn()
{
    QTemporaryDir dir, images;
    FetchConfig settings = config(images);
    settings.rounds = "1";
    settings.imageDirectory = images.filePath("not-yet-mounted");
    const QString path = writeConfig(dir, settings, "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n");
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    QCOMPARE(run.exec(), int(FetchDone));

    const QStringList errors = fetch.errLines();
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].contains("not-yet-mounted") && errors[0].contains("does not exist"), qPrintable(errors[0]));
    QVERIFY2(errors[1].startsWith("2024-05-01 12:00:04 KENX -- Failed "), qPrintable(errors[1]));
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(files(images.path()), QStringList());
}

void TestFetchRun::endlessRoundsGoOnPastARunsLast()
{
    QTemporaryDir dir, images;
    const QString path = writeConfig(dir, config(images), "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n");
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    run.setEndlessRounds(2); // as 30000 rounds would, in two
    fetch.clock.onBlock = [&](WaitKind kind) {
        // In the wait after the first round of the second run.
        if (kind == WaitKind::Pause && fetch.clock.elapsed() >= 364000)
            run.stop("SIGTERM");
    };
    QCOMPARE(run.exec(), int(FetchDone));
    const QString lm = m_server.stats().value("lastModified").toString();

    QStringList lines = fetch.outLines();
    // The fake clock still jumps over the wait that the stop ends.
    QVERIFY2(!lines.isEmpty() && lines.takeLast().endsWith(" Stopped by SIGTERM"), qPrintable(lines.join('\n')));
    QCOMPARE(lines, (QStringList{
                        "2024-05-01 12:00:00 Round 1 of 2, next round at 2024-05-01 12:03:00",
                        "2024-05-01 12:00:00 Getting Albany, NY     Base Reflectivity",
                        "2024-05-01 12:00:04 KENX ... " + lm + " -  #1",
                        "2024-05-01 12:03:00 Round 2 of 2",
                        "2024-05-01 12:03:00 Getting Albany, NY     Base Reflectivity",
                        "2024-05-01 12:03:04 KENX -- Repeat " + lm.right(12) + " #1",
                        "2024-05-01 12:06:00 Round 2 was a run's last; the rounds go on from 1",
                        "2024-05-01 12:06:00 Round 1 of 2, next round at 2024-05-01 12:09:00",
                        "2024-05-01 12:06:00 Getting Albany, NY     Base Reflectivity",
                        "2024-05-01 12:06:04 KENX -- Repeat " + lm.right(12) + " #1",
                    }));
    // The new run asks as the old one would have: only for a changed picture.
    const QJsonArray requests = m_server.requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests[2].toObject().value("If-Modified-Since").toString(), lm);
    QCOMPARE(files(images.path()), QStringList{"KENX1.gif"});
}

void TestFetchRun::roundLineNamesTheRounds_data()
{
    QTest::addColumn<QByteArray>("rounds");
    QTest::addColumn<QString>("line");
    QTest::newRow("two") << QByteArray("2") << "Round 1 of 2, next round at 2024-05-01 12:03:00";
    QTest::newRow("one: no next round") << QByteArray("1") << "Round 1 of 1";
    QTest::newRow("Infinite") << QByteArray("30000") << "Round 1 (endless rounds), next round at 2024-05-01 12:03:00";
    QTest::newRow("0, hand-edited") << QByteArray("0") << "Round 1 (until stopped)";
}

void TestFetchRun::roundLineNamesTheRounds()
{
    QFETCH(QByteArray, rounds);
    QFETCH(QString, line);
    QTemporaryDir dir, images;
    FetchConfig settings = config(images);
    settings.rounds = rounds;
    const QString path = writeConfig(dir, settings, "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n");
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    fetch.clock.onBlock = [&](WaitKind) {
        if (fetch.clock.elapsed() >= 4000) // the first picture is in
            run.stop("SIGINT");
    };
    QCOMPARE(run.exec(), int(FetchDone));
    QCOMPARE(fetch.outLines().value(0), "2024-05-01 12:00:00 " + line);
}

void TestFetchRun::unusableConfigIsNamed_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << QByteArray() << "there is no such file";
    QTest::newRow("header cut short") << QByteArray("\"127.0.0.1\"\r\n8080\r\n") << "the header ends after 2";
    QTest::newRow("no server") << QByteArray("\"\"\r\n8080\r\n\"u\"\r\n\"p\"\r\n3\r\n1\r\n1\r\n\"/tmp/\"\r\n")
                               << "it names no web server";
    QTest::newRow("no port") << QByteArray("\"h\"\r\nx\r\n\"u\"\r\n\"p\"\r\n3\r\n1\r\n1\r\n\"/tmp/\"\r\n")
                             << "its port is not a number";
    QTest::newRow("no image directory") << QByteArray("\"h\"\r\n80\r\n\"u\"\r\n\"p\"\r\n3\r\n1\r\n1\r\n\"\"\r\n")
                                        << "it names no image directory";
    QTest::newRow("empty fetch list") << QByteArray("\"h\"\r\n80\r\n\"u\"\r\n\"p\"\r\n3\r\n1\r\n1\r\n\"/tmp/\"\r\n")
                                      << "its fetch list is empty";
}

void TestFetchRun::unusableConfigIsNamed()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    FetchRig fetch;
    FetchRun run(fetch.clock, fetch.log, path);
    QCOMPARE(run.exec(), int(FetchUnusableConfig));
    const QStringList errors = fetch.errLines();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(QDir::toNativeSeparators(path)) && errors[0].contains(problem), qPrintable(errors[0]));
    QCOMPARE(fetch.outLines(), errors);
    QCOMPARE(m_server.requests().size(), 0);
}

QTEST_GUILESS_MAIN(TestFetchRun)
#include "test_fetch_run.moc"
