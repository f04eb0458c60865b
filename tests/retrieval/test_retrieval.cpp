#include "FakeClock.h"
#include "RadarServer.h"
#include "RecordingDisplay.h"
#include "SmallFileSystem.h"
#include "TestFiles.h"
#include "retrieval/RetrievalCycle.h"

#include <QDir>
#include <QTcpServer>
#include <QtTest>

using namespace stormtap;

Q_DECLARE_METATYPE(FetchOutcome::Kind)

namespace {

// One retrieval with its own state, clock, screen and image directory; the
// "GLAVEN.CFG" it loads at the start of a run is `file` and `paths`.
struct Rig {
    explicit Rig(quint16 port)
    {
        file.Server = "127.0.0.1";
        file.Port = port;
        file.UserName = "demo";
        file.Password = "secret";
        file.RefreshMinutes = 3;
        file.LoopCount = 1;
        file.NamingMode = 1;
        file.ImageDirectory = images.path() + QDir::separator();
        cycle.onFetchEnded = [this](qint16 current, const FetchOutcome &outcome) {
            outcomes << qMakePair(current, outcome);
            if (afterFetch)
                afterFetch(current, outcome);
        };
    }

    void load()
    {
        state.settings = file;
        state.EntryCount = qint16(paths.size());
        for (int i = 0; i < paths.size(); ++i)
            state.Selections[i + 1] = SelectionEntry{paths[i], QString(), startWith, "Site " + paths[i]};
    }

    QStringList files() const { return QDir(images.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray read(const QString &name) const { return readFile(images.filePath(name)); }
    QList<FetchOutcome::Kind> kinds() const
    {
        QList<FetchOutcome::Kind> result;
        for (const auto &o : outcomes)
            result << o.second.kind;
        return result;
    }
    bool progressInRange() const
    {
        return std::all_of(display.progress.begin(), display.progress.end(), [](int p) { return p >= 0 && p <= 100; });
    }
    SelectionEntry &entry(int i) { return state.Selections[i]; }

    Settings file;
    QStringList paths;
    qint16 startWith = 1;
    QTemporaryDir images;
    State state;
    FakeClock clock;
    RecordingDisplay display;
    RetrievalCycle cycle{state, clock, display, [this] { load(); }};
    QList<QPair<qint16, FetchOutcome>> outcomes;
    std::function<void(qint16, const FetchOutcome &)> afterFetch;
};

QString at(const QDateTime &base, int minutes) { return displayDateTime(base.addSecs(minutes * 60)); }

} // namespace

class TestRetrieval : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { QCOMPARE(m_server.control("reset"), QByteArray("ok\n")); }

    void fullDownloadStoresEveryImage();
    void notModifiedRepeatsAndLinesAreReplaced();
    void rejectedPasswordEndsTheRound();
    void failuresKeepTheEntry_data();
    void failuresKeepTheEntry();
    void deadlineStopsTheTransfer_data();
    void deadlineStopsTheTransfer();
    void bodiesAreJudged_data();
    void bodiesAreJudged();
    void timeStampNamesAndTheirAbandon();
    void fileErrorsNameTheFile_data();
    void fileErrorsNameTheFile();
    void sequentialNamesRotate_data();
    void sequentialNamesRotate();
    void stopDuringTheAlertPause();
    void stopDuringTheAlertPauseKeepsTheOlderFiles();
    void fullDiskStoresNothingAndRecordsNothing_data();
    void fullDiskStoresNothingAndRecordsNothing();
    void stopWhileWaitingForTheNextRound();
    void roundDisplays_data();
    void roundDisplays();
    void loopCountBelowOneRunsUntilStop();
    void secondRunStartsAfresh();

private:
    QString lastModified() { return m_server.stats().value("lastModified").toString(); }
    RadarServer m_server;
};

void TestRetrieval::fullDownloadStoresEveryImage()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KENXanbv.gif", "KABRxn1r.gif"};
    rig.cycle.run();
    const QString lm = lastModified();

    QCOMPARE(rig.kinds(),
             (QList<FetchOutcome::Kind>{FetchOutcome::Stored, FetchOutcome::Stored, FetchOutcome::Stored}));
    QCOMPARE(rig.files(), (QStringList{"KABRxn11.gif", "KENX1.gif", "KENXanb1.gif"}));
    QCOMPARE(rig.read("KENX1.gif"), m_server.image("KENX"));
    QCOMPARE(rig.read("KENXanb1.gif"), m_server.image("KENXanbv.gif"));
    QCOMPARE(rig.read("KABRxn11.gif"), m_server.image("KABRxn1r.gif"));
    QCOMPARE(rig.display.lines, (QStringList{"KENX ... " + lm + " -  #1", "KENXanb ... " + lm + " -  #1",
                                             "KABRxn1 ... " + lm + " -  #1"}));
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(rig.entry(i).LastModified, lm);
        QCOMPARE(rig.entry(i).SequenceNumber, qint16(2));
    }
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 3);
    for (const auto &request : log) {
        QVERIFY(request.toObject().value("If-Modified-Since").isNull()); // a full download
        QCOMPARE(request.toObject().value("Authorization").toString(), "Basic " + QByteArray("demo:secret").toBase64());
        QCOMPARE(request.toObject().value("connection"), log[0].toObject().value("connection")); // one per round
    }
    QCOMPARE(rig.display.roundsOf, QString("1"));
    QCOMPARE(rig.display.rounds, QStringList{"1"});
    QCOMPARE(rig.display.lastChecks, QStringList{displayDateTime(rig.clock.base)});
    QCOMPARE(rig.display.nextChecks, QStringList{QString()});
    QCOMPARE(rig.display.hidden, 1);
    QCOMPARE(rig.display.alerts, 3);
    QVERIFY(!rig.display.downloading);
    QVERIFY(rig.progressInRange());
    QCOMPARE(rig.display.progress.last(), 0);
    // 1 s before and 3 s after each image, then the 2-second finish.
    QVERIFY2(rig.clock.elapsed() >= 14000 && rig.clock.elapsed() < 14100, QByteArray::number(rig.clock.elapsed()));
    QVERIFY(!rig.cycle.isRunning());
}

void TestRetrieval::notModifiedRepeatsAndLinesAreReplaced()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KENXanbv.gif", "KABRxn1r.gif"};
    rig.file.LoopCount = 2;
    rig.afterFetch = [&](qint16 current, const FetchOutcome &) {
        if (rig.state.RoundNumber == 1 && current == 3)
            m_server.control("misbehave?path=KABRxn1r.gif&mode=status&code=500&count=1");
    };
    rig.cycle.run();
    const QString lm = lastModified();

    QCOMPARE(rig.kinds().mid(3),
             (QList<FetchOutcome::Kind>{FetchOutcome::NotModified, FetchOutcome::NotModified, FetchOutcome::Failed}));
    QCOMPARE(rig.display.lines, (QStringList{"KENX -- Repeat " + lm.right(12) + " #1",
                                             "KENXanb -- Repeat " + lm.right(12) + " #1", "KABRxn1 -- Failed 500"}));
    QCOMPARE(rig.files().size(), 3);
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(rig.entry(i).SequenceNumber, qint16(2));
        QCOMPARE(rig.entry(i).LastModified, lm);
    }
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 6);
    QCOMPARE(log[3].toObject().value("If-Modified-Since").toString(), lm); // sent back byte for byte
    QCOMPARE(rig.display.lastChecks, (QStringList{at(rig.clock.base, 0), at(rig.clock.base, 3)}));
    QCOMPARE(rig.display.nextChecks, (QStringList{at(rig.clock.base, 3), QString()}));
}

void TestRetrieval::rejectedPasswordEndsTheRound()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KENXanbv.gif", "KABRxn1r.gif"};
    rig.file.LoopCount = 2;
    QCOMPARE(m_server.control("misbehave?path=KENXanbv.gif&mode=status&code=401&count=1"), QByteArray("ok\n"));
    QStringList linesAfter401;
    qint64 elapsedAt401 = 0;
    rig.afterFetch = [&](qint16 current, const FetchOutcome &outcome) {
        if (outcome.status == 401) {
            linesAfter401 = rig.display.lines;
            elapsedAt401 = rig.clock.elapsed();
            QCOMPARE(rig.entry(current).LastModified, QString());
        }
    };
    rig.cycle.run();

    QCOMPARE(rig.kinds(),
             (QList<FetchOutcome::Kind>{FetchOutcome::Stored, FetchOutcome::Failed, FetchOutcome::NotModified,
                                        FetchOutcome::Stored, FetchOutcome::Stored}));
    QCOMPARE(rig.display.accessDenials, 1);
    QCOMPARE(linesAfter401.size(), 2); // entry 3 was not fetched in round 1
    QCOMPARE(linesAfter401[1], QString("KENXanb -- Failed 401"));
    QCOMPARE(elapsedAt401, 1001 + 3001 + 1001); // no waiting out the reply deadline
    QCOMPARE(rig.files(), (QStringList{"KABRxn11.gif", "KENX1.gif", "KENXanb1.gif"}));
}

void TestRetrieval::failuresKeepTheEntry_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("misbehaviour");
    QTest::addColumn<bool>("closedPort");
    QTest::addColumn<QString>("line");

    QTest::newRow("404") << "KZZZ"
                         << "" << false << "KZZZ -- Failed 404";
    QTest::newRow("500") << "KENX"
                         << "mode=status&code=500" << false << "KENX -- Failed 500";
    QTest::newRow("dropped connection") << "KENX"
                                        << "mode=drop&at=request" << false << "KENX -- Failed closed";
    QTest::newRow("dropped in the body") << "KENX"
                                         << "mode=drop&at=body" << false << "KENX -- Failed closed";
    QTest::newRow("over 64 MiB") << "KENX"
                                 << "mode=huge" << false << "KENX -- Failed too large";
    QTest::newRow("refused") << "KENX"
                             << "" << true << "KENX -- Failed refused";
    // Unsafe paths are refused before any request.
    QTest::newRow("dot dot at the start") << "../KENX"
                                          << "" << false << "../KENX -- Failed unsafe image path";
    QTest::newRow("dot dot after the prefix") << "KENXxyz/../../../../etc/passwd"
                                              << "" << false << "KENXxyz -- Failed unsafe image path";
    QTest::newRow("encoded dot dot") << "KENXxyz/%2e%2e/%2E%2E/etc/passwd"
                                     << "" << false << "KENXxyz -- Failed unsafe image path";
    QTest::newRow("path separator in the prefix") << "ab/KENX"
                                                  << "" << false << "ab/KENX -- Failed unsafe file name";
}

void TestRetrieval::failuresKeepTheEntry()
{
    QFETCH(QString, path);
    QFETCH(QString, misbehaviour);
    QFETCH(bool, closedPort);
    QFETCH(QString, line);
    if (!misbehaviour.isEmpty())
        QCOMPARE(m_server.control("misbehave?path=" + path + "&" + misbehaviour), QByteArray("ok\n"));
    Rig rig(m_server.port);
    if (closedPort) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        rig.file.Port = closed.serverPort();
    }
    rig.paths = {path, "KFFC"};
    const QDir outside(rig.images.path() + "/..");
    const QStringList outsideBefore = outside.entryList({"KENX*"});
    rig.cycle.run();

    QCOMPARE(rig.outcomes[0].second.kind, FetchOutcome::Failed);
    QCOMPARE(rig.display.lines[0], line);
    QCOMPARE(rig.entry(1).LastModified, QString());
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(1));
    // The round goes on with the next entry.
    QCOMPARE(rig.files(), closedPort ? QStringList() : QStringList{"KFFC1.gif"});
    QCOMPARE(rig.display.newImageAlerts, closedPort ? 0 : 1);
    if (path.contains("/"))
        QCOMPARE(m_server.requests().size(), 1);           // not even asked for
    QCOMPARE(outside.entryList({"KENX*"}), outsideBefore); // nothing written beside the image directory
}

void TestRetrieval::deadlineStopsTheTransfer_data()
{
    QTest::addColumn<QString>("misbehaviour");
    QTest::addColumn<bool>("afterFirstChunk");
    QTest::newRow("no answer") << "mode=delay&ms=30000" << false;
    QTest::newRow("trickling body") << "mode=trickle&ms=3000&chunks=10" << true;
}

void TestRetrieval::deadlineStopsTheTransfer()
{
    QFETCH(QString, misbehaviour);
    QFETCH(bool, afterFirstChunk);
    QCOMPARE(m_server.control("misbehave?path=KENX&" + misbehaviour), QByteArray("ok\n"));
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KFFC"};
    rig.clock.jumpReplyWaits = !afterFirstChunk;
    bool jumped = false;
    QObject::connect(&rig.cycle.http(), &HTTP1::transfer, [&] {
        if (afterFirstChunk && !jumped) {
            jumped = true;
            rig.clock.ms += 61000;
            rig.cycle.waiter().wake();
        }
    });
    rig.afterFetch = [&](qint16, const FetchOutcome &) { rig.clock.jumpReplyWaits = false; };
    rig.cycle.run();

    QCOMPARE(rig.kinds(), (QList<FetchOutcome::Kind>{FetchOutcome::TimedOut, FetchOutcome::Stored}));
    QCOMPARE(rig.display.lines[0], QString("KENX -- Failed timed out"));
    QCOMPARE(rig.entry(1).LastModified, QString());
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(1));
    // Nothing of the stopped transfer reached the second entry's image.
    QCOMPARE(rig.files(), QStringList{"KFFC1.gif"});
    QCOMPARE(rig.read("KFFC1.gif"), m_server.image("KFFC"));
    QVERIFY(rig.progressInRange());
}

void TestRetrieval::bodiesAreJudged_data()
{
    QTest::addColumn<QString>("misbehaviour");
    QTest::addColumn<FetchOutcome::Kind>("kind");
    QTest::addColumn<QString>("line");  // "LM" stands for the reply's Last-Modified
    QTest::addColumn<int>("size");      // of the stored file; -1 the picture, 0 none
    QTest::addColumn<bool>("timeKept"); // the entry takes the reply's Last-Modified (only when stored)

    const FetchOutcome::Kind failed = FetchOutcome::Failed, stored = FetchOutcome::Stored;
    QTest::newRow("exactly 1000 bytes") << "mode=size1000" << FetchOutcome::TooShort
                                        << "KENX -- Failed too short (1000 bytes)" << 0 << false;
    QTest::newRow("1001 bytes") << "mode=size1001" << stored << "KENX ... LM -  #1" << 1001 << true;
    QTest::newRow("bytes before GIF87") << "mode=prefix&bytes=64" << stored << "KENX ... LM -  #1" << -1 << true;
    QTest::newRow("no Content-Length") << "mode=nocontentlength" << stored << "KENX ... LM -  #1" << -1 << true;
    QTest::newRow("GIF89a") << "mode=gif89a" << FetchOutcome::NotAnImage << "KENX -- Failed not a GIF87 picture" << 0
                            << false;
    QTest::newRow("HTML page with status 200")
        << "mode=nongif&bytes=5000" << FetchOutcome::NotAnImage << "KENX -- Failed not a GIF87 picture" << 0 << false;
    QTest::newRow("compressed") << "mode=gzip" << failed << "KENX -- Failed compressed reply" << 0 << false;
    QTest::newRow("closed early without Content-Length")
        << "mode=nocontentlength&bytes=1500" << FetchOutcome::Incomplete << "KENX -- Failed incomplete picture" << 0
        << false;
    QTest::newRow("Content-Length shorter than the picture")
        << "mode=cut&bytes=1200" << FetchOutcome::Incomplete << "KENX -- Failed incomplete picture" << 0 << false;
    QTest::newRow("endless chunked body") << "mode=chunked" << failed << "KENX -- Failed too large" << 0 << false;
}

// Every reply ends in a status line that says what became of it.
void TestRetrieval::bodiesAreJudged()
{
    QFETCH(QString, misbehaviour);
    QFETCH(FetchOutcome::Kind, kind);
    QFETCH(QString, line);
    QFETCH(int, size);
    QFETCH(bool, timeKept);
    QCOMPARE(m_server.control("misbehave?path=KENX&" + misbehaviour), QByteArray("ok\n"));
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.afterFetch = [&](qint16, const FetchOutcome &) {
        // A fetch that ended while the body still came has let go of its
        // connection before the next one starts.
        const int connection = m_server.requests()[0].toObject().value("connection").toInt();
        if (misbehaviour == "mode=chunked")
            QTRY_VERIFY(!m_server.stats().value("open").toArray().contains(connection));
    };
    rig.cycle.run();

    QCOMPARE(rig.kinds(), QList<FetchOutcome::Kind>{kind});
    const QString lm = lastModified();
    QCOMPARE(rig.display.lines, QStringList{QString(line).replace("LM", lm)});
    QCOMPARE(rig.entry(1).LastModified, timeKept ? lm : QString());
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(size == 0 ? 1 : 2));
    if (size == 0) {
        QVERIFY(rig.files().isEmpty());
    } else {
        const QByteArray stored = rig.read("KENX1.gif");
        QVERIFY(stored.startsWith("GIF87"));
        QCOMPARE(stored.size(), size > 0 ? size : m_server.image("KENX").size());
    }
    QVERIFY(rig.progressInRange());
    QCOMPARE(rig.display.progress.last(), 0);
}

void TestRetrieval::timeStampNamesAndTheirAbandon()
{
    QCOMPARE(m_server.control("misbehave?path=KFFC&mode=nolastmodified"), QByteArray("ok\n"));
    Rig rig(m_server.port);
    rig.file.NamingMode = 0;
    rig.paths = {"KENXanbv.gif", "KFFC"}; // the second reply has no Last-Modified
    rig.cycle.run();
    const QString lm = lastModified();
    const QString hhmm = lm.mid(lm.indexOf(':') - 2, 2) + lm.mid(lm.indexOf(':') + 1, 2);

    QCOMPARE(rig.kinds(), (QList<FetchOutcome::Kind>{FetchOutcome::Stored, FetchOutcome::Abandoned}));
    QCOMPARE(rig.files(), QStringList{"KENXanb_" + hhmm + ".gif"});
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(2)); // still advances
    // The first reply's Last-Modified did not leak into the second.
    QCOMPARE(rig.display.lines[1], QString("KFFC -- Failed no time in Last-Modified"));
    QCOMPARE(rig.entry(2).SequenceNumber, qint16(1));
}

void TestRetrieval::fileErrorsNameTheFile_data()
{
    QTest::addColumn<QString>("directory"); // under the image directory; created when it ends in "/"
    QTest::addColumn<QString>("line");
    QTest::newRow("image directory missing") << "missing/"
                                             << "KENX -- Failed cannot write KENX1.gif: No such file or directory";
    QTest::newRow("a folder in the file's place") << "KENX1.gif/"
                                                  << "KENX -- Failed cannot write KENX1.gif: ";
}

void TestRetrieval::fileErrorsNameTheFile()
{
    QFETCH(QString, directory);
    QFETCH(QString, line);
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KFFC"};
    if (directory == "missing/")
        rig.file.ImageDirectory += directory;
    else
        QVERIFY(QDir(rig.images.path()).mkdir(directory));
    rig.cycle.run();

    QCOMPARE(rig.kinds().first(), FetchOutcome::Failed);
    QVERIFY2(rig.display.lines[0].startsWith(line), qPrintable(rig.display.lines[0]));
    QVERIFY(rig.display.lines[0].size() > QString("KENX -- Failed cannot write KENX1.gif: ").size());
    QCOMPARE(rig.display.progress.last(), 0);
}

void TestRetrieval::sequentialNamesRotate_data()
{
    QTest::addColumn<int>("startWith");
    QTest::addColumn<int>("firstOld"); // existing files firstOld..9; 0 none
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("newest");

    QTest::newRow("start 0") << 0 << 0 << QStringList{"KENX0.gif"} << "KENX0.gif";
    QTest::newRow("files 1 to 9") << 10 << 1
                                  << QStringList{"KENX1.gif", "KENX2.gif", "KENX3.gif", "KENX4.gif", "KENX5.gif",
                                                 "KENX6.gif", "KENX7.gif", "KENX8.gif", "KENX9.gif"}
                                  << "KENX9.gif";
    QTest::newRow("highest number stays at 9")
        << 32767 << 1 << QStringList{"KENX1.gif", "KENX2.gif", "KENX3.gif", "KENX4.gif", "KENX5.gif",
                                     "KENX6.gif", "KENX7.gif", "KENX8.gif", "KENX9.gif"}
        << "KENX9.gif";
    QTest::newRow("files 6 to 9") << 10 << 6
                                  << QStringList{"KENX5.gif", "KENX6.gif", "KENX7.gif", "KENX8.gif", "KENX9.gif"}
                                  << "KENX9.gif";
}

void TestRetrieval::sequentialNamesRotate()
{
    QFETCH(int, startWith);
    QFETCH(int, firstOld);
    QFETCH(QStringList, files);
    QFETCH(QString, newest);
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.startWith = qint16(startWith);
    for (int i = firstOld; firstOld > 0 && i <= 9; ++i) {
        QFile old(rig.images.filePath(QString("KENX%1.gif").arg(i)));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray::number(i));
    }
    rig.cycle.run();

    QCOMPARE(rig.files(), files);
    QCOMPARE(rig.read(newest), m_server.image("KENX"));
    if (firstOld > 0)
        QCOMPARE(rig.read("KENX8.gif"), QByteArray("9"));
    QCOMPARE(rig.display.lines[0].endsWith(" -  #" + QString::number(startWith)), true);
    QCOMPARE(int(rig.entry(1).SequenceNumber), qMin(startWith + 1, 32767)); // never wraps to negative
}

void TestRetrieval::stopDuringTheAlertPause()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX", "KENXanbv.gif"};
    rig.file.LoopCount = 3;
    bool stopped = false;
    rig.clock.onBlock = [&](WaitKind) {
        if (rig.display.alerts == 1 && !stopped) {
            stopped = true;
            rig.cycle.stop();
            rig.cycle.run(); // a Retrieve while the stopped run unwinds starts nothing
        }
    };
    rig.cycle.run();

    QVERIFY(stopped);
    QCOMPARE(rig.kinds(), QList<FetchOutcome::Kind>{FetchOutcome::Stopped});
    QVERIFY(rig.files().isEmpty());
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(1));
    QCOMPARE(rig.display.lines, QStringList{"Getting Site KENX"});
    QCOMPARE(m_server.requests().size(), 1);
    QCOMPARE(rig.display.hidden, 0); // the STOP handler hides the screen, not the run
    QVERIFY(rig.state.EntryIndex > rig.state.EntryCount);
    QCOMPARE(rig.state.RoundNumber, qint16(4));
    QVERIFY(!rig.cycle.isRunning());
}

void TestRetrieval::stopDuringTheAlertPauseKeepsTheOlderFiles()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.startWith = 10;
    QStringList files;
    for (int i = 1; i <= 9; ++i) {
        files << QString("KENX%1.gif").arg(i);
        QVERIFY(writeFile(rig.images.filePath(files.last()), files.last().toLatin1()));
    }
    rig.clock.onBlock = [&](WaitKind) {
        if (rig.display.alerts == 1)
            rig.cycle.stop();
    };
    rig.cycle.run();

    QCOMPARE(rig.kinds(), QList<FetchOutcome::Kind>{FetchOutcome::Stopped});
    QCOMPARE(QDir(rig.images.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files); // not rotated
    for (const QString &file : files)
        QCOMPARE(rig.read(file), file.toLatin1());
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(10));
    QCOMPARE(rig.entry(1).LastModified, QString());
}

void TestRetrieval::fullDiskStoresNothingAndRecordsNothing_data()
{
    QTest::addColumn<int>("namingMode");
    QTest::addColumn<QString>("name"); // of the new picture; {time} stands for its HHMM
    QTest::newRow("sequential, files 1 to 9, start 10") << 1 << "KENX9.gif";
    QTest::newRow("time stamp, a picture of that minute there") << 0 << "KENX_{time}.gif";
}

// On a full disk the fetch says so, every earlier picture stays whole, and the
// entry is not advanced: once there is room again, the next round stores the
// picture instead of hearing "not modified".
void TestRetrieval::fullDiskStoresNothingAndRecordsNothing()
{
    QFETCH(int, namingMode);
    QFETCH(QString, name);
    SmallFileSystem disk;
    SMALL_FILE_SYSTEM_OR_SKIP(disk);
    const QString lm = lastModified();
    name.replace("{time}", lm.mid(lm.indexOf(':') - 2, 2) + lm.mid(lm.indexOf(':') + 1, 2));
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.startWith = 10;
    rig.file.NamingMode = quint8(namingMode);
    rig.file.ImageDirectory = disk.path();
    rig.file.LoopCount = 2;
    QStringList files{name};
    for (int i = 1; i <= 9; ++i)
        files << QString("KENX%1.gif").arg(i);
    files.removeDuplicates();
    for (const QString &file : files)
        QVERIFY(writeFile(disk.path() + file, file.toLatin1()));
    QVERIFY(disk.fill());
    bool wholeAfterTheFailure = false;
    rig.afterFetch = [&](qint16, const FetchOutcome &outcome) {
        if (outcome.kind != FetchOutcome::Failed)
            return;
        wholeAfterTheFailure = std::all_of(files.begin(), files.end(), [&](const QString &file) {
            return readFile(disk.path() + file) == file.toLatin1();
        });
        QCOMPARE(rig.display.lines[0], "KENX -- Failed cannot write " + name + ": No space left on device");
        QCOMPARE(rig.entry(1).SequenceNumber, qint16(10));
        QCOMPARE(rig.entry(1).LastModified, QString());
        QVERIFY(disk.release());
    };
    rig.cycle.run();

    QCOMPARE(rig.kinds(), (QList<FetchOutcome::Kind>{FetchOutcome::Failed, FetchOutcome::Stored}));
    QCOMPARE(rig.outcomes[0].second.reason, "cannot write " + name + ": No space left on device");
    QVERIFY(wholeAfterTheFailure);
    QCOMPARE(readFile(disk.path() + name), m_server.image("KENX"));
    if (namingMode == 1)
        QCOMPARE(readFile(disk.path() + "KENX8.gif"), QByteArray("KENX9.gif")); // rotated once, on success
    QCOMPARE(rig.entry(1).SequenceNumber, qint16(11));
    QCOMPARE(rig.entry(1).LastModified, lm);
}

void TestRetrieval::stopWhileWaitingForTheNextRound()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.file.LoopCount = 3;
    qint64 stoppedAt = -1;
    rig.clock.onBlock = [&](WaitKind) {
        if (rig.state.RoundNumber == 2 && stoppedAt < 0) {
            stoppedAt = rig.clock.elapsed();
            rig.cycle.stop();
        }
    };
    rig.cycle.run();

    QCOMPARE(stoppedAt, 1001 + 3001);
    QCOMPARE(rig.display.rounds, QStringList{"1"});
    QCOMPARE(rig.display.hidden, 0); // no two-second finish
    QCOMPARE(m_server.requests().size(), 1);
    QVERIFY(!rig.cycle.isRunning());
}

void TestRetrieval::roundDisplays_data()
{
    QTest::addColumn<int>("loopCount");
    QTest::addColumn<QString>("roundsOf");
    QTest::newRow("1") << 1 << "1";
    QTest::newRow("3") << 3 << "3";
    QTest::newRow("endless") << 30000 << "~";
}

// With an empty fetch list every round passes with its displays and its wait.
void TestRetrieval::roundDisplays()
{
    QFETCH(int, loopCount);
    QFETCH(QString, roundsOf);
    Rig rig(m_server.port);
    rig.file.LoopCount = qint16(loopCount);
    rig.file.RefreshMinutes = 5;
    rig.cycle.run();

    QCOMPARE(rig.display.roundsOf, roundsOf);
    QCOMPARE(rig.display.rounds.size(), loopCount);
    QCOMPARE(rig.display.rounds.last(), QString::number(loopCount));
    QCOMPARE(rig.state.RoundNumber, qint16(loopCount));
    for (int round = 0; round < qMin(loopCount, 3); ++round) {
        QCOMPARE(rig.display.lastChecks[round], at(rig.clock.base, 5 * round));
        QCOMPARE(rig.display.nextChecks[round], round + 1 < loopCount ? at(rig.clock.base, 5 * round + 5) : QString());
    }
    QCOMPARE(rig.display.nextChecks.last(), QString());
    QCOMPARE(rig.display.hidden, 1);
    QVERIFY(rig.display.lines.isEmpty());
    QCOMPARE(m_server.requests().size(), 0);
    // Rounds 5 minutes apart, each waited to its end, and the 2-second finish.
    QVERIFY(rig.clock.elapsed() >= qint64(loopCount - 1) * 300000 + 2000);
}

void TestRetrieval::loopCountBelowOneRunsUntilStop()
{
    Rig rig(m_server.port);
    rig.file.LoopCount = 0;
    rig.file.RefreshMinutes = 0;
    int lowest = 1, blocksAtTop = 0;
    rig.clock.onBlock = [&](WaitKind) {
        lowest = qMin(lowest, int(rig.state.RoundNumber));
        if (rig.state.RoundNumber == 32767 && ++blocksAtTop == 5)
            rig.cycle.stop();
    };
    rig.cycle.run();

    QCOMPARE(blocksAtTop, 5);
    QCOMPARE(lowest, 1); // never wrapped around
    // Without entries and without a refresh interval the rounds still start a
    // second apart instead of spinning.
    QVERIFY(rig.clock.elapsed() >= qint64(32766) * 1000);
    QCOMPARE(rig.display.roundsOf, QString("0"));
    QCOMPARE(rig.display.nextChecks.last(), QString());
}

void TestRetrieval::secondRunStartsAfresh()
{
    Rig rig(m_server.port);
    rig.paths = {"KENX"};
    rig.cycle.run();
    m_server.control("advance");
    rig.cycle.run();
    const QString lm = lastModified();

    QCOMPARE(rig.kinds(), (QList<FetchOutcome::Kind>{FetchOutcome::Stored, FetchOutcome::Stored}));
    QCOMPARE(rig.display.lines, QStringList{"KENX ... " + lm + " -  #1"});
    QCOMPARE(rig.display.rounds, (QStringList{"1", "1"}));
    QCOMPARE(rig.files(), QStringList{"KENX1.gif"});
    QCOMPARE(rig.read("KENX1.gif"), m_server.image("KENX"));
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 2);
    QVERIFY(log[1].toObject().value("If-Modified-Since").isNull());
}

QTEST_GUILESS_MAIN(TestRetrieval)
#include "test_retrieval.moc"
