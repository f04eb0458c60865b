// Measures the retrieval against the local radar server: processor time while
// waiting for the next round, processor time per fetched image against curl's,
// peak memory while a 20 MB image is stored, and peak memory while a hostile
// server floods the fetch with a 400 MB chunked body. See README.md.

#include "RadarServerProcess.h"
#include "retrieval/RetrievalCycle.h"
#include "retrieval/RetrievalDisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

using namespace stormtap;

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return 0;
}

struct NoDisplay : RetrievalDisplay {
    int statusLineCount() const override { return 0; }
    void removeStatusLine(int) override {}
    void insertStatusLine(int, const QString &) override {}
    void clearStatusLines() override {}
    void setProgress(int) override {}
    void setLastCheck(const QString &) override {}
    void setNextCheck(const QString &) override {}
    void setRound(const QString &) override {}
    void setRounds(const QString &) override {}
    void setDownloading(bool) override {}
    void hideScreen() override {}
    void newImageAlert() override {}
    void alertStart() override {}
    void accessDenied() override {}
};

// The real clock, except that the mandated pauses pass at once (they are not
// the cost of a fetch).
class NoPauseClock : public SystemClock {
public:
    qint64 monotonicMs() const override { return SystemClock::monotonicMs() + m_skipped; }
    void block(QEventLoop &loop, qint64 ms, WaitKind kind) override
    {
        if (kind == WaitKind::Pause) {
            m_skipped += ms;
            return;
        }
        SystemClock::block(loop, ms, kind);
    }

private:
    qint64 m_skipped = 0;
};

struct Server {
    QProcess process;
    quint16 port = 0;
    bool start(const QString &size)
    {
        port = startRadarServer(process, QStringLiteral(RADARSERVER_PATH),
                                {"--sites", SITES_DAT, "--size", size, "--user", "demo", "--password", "demo"});
        return port != 0;
    }
    QByteArray control(const QString &command)
    {
        QNetworkAccessManager network;
        QNetworkReply *reply =
            network.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/control/%2").arg(port).arg(command))));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray body = reply->readAll();
        delete reply;
        return body;
    }
    ~Server()
    {
        process.kill();
        process.waitForFinished();
    }
};

struct Run {
    explicit Run(Clock &clock, quint16 port, const QStringList &paths, qint16 loops, double minutes)
        : cycle(state, clock, display, [=] {
              state.settings = Settings{"127.0.0.1", port, "demo", "demo", minutes, loops, 1, dir.path() + "/"};
              state.EntryCount = qint16(paths.size());
              for (int i = 0; i < paths.size(); ++i)
                  state.Selections[i + 1] = SelectionEntry{paths[i], QString(), 1, paths[i]};
          })
    {
    }
    QTemporaryDir dir;
    State state;
    NoDisplay display;
    RetrievalCycle cycle;
};

int idleWait(int seconds)
{
    SystemClock clock;
    Run run(clock, 1, {}, 2, seconds / 60.0);
    const double before = cpuSeconds(RUSAGE_SELF);
    run.cycle.run(); // two rounds without entries: the wait between them, then 2 s
    const double used = cpuSeconds(RUSAGE_SELF) - before;
    std::printf("idle wait: %.3f s of CPU while waiting %d s for the next round (target < 0.3 s per 60 s)\n", used,
                seconds);
    return 0;
}

int perImage(int images)
{
    Server server;
    if (!server.start(QStringLiteral("760x570")))
        return 1;
    QStringList paths;
    QFile sites(QStringLiteral(SITES_DAT));
    sites.open(QIODevice::ReadOnly);
    const QList<QByteArray> lines = sites.readAll().split('\n');
    for (int i = 1; i < lines.size() && paths.size() < images; i += 3)
        paths << QString::fromLatin1(lines[i].trimmed()).remove(QLatin1Char('"'));
    const qsizetype bytes = server.control("image?path=" + paths[0]).size();

    NoPauseClock clock;
    Run run(clock, server.port, paths, 1, 0);
    int stored = 0;
    run.cycle.onFetchEnded = [&](qint16, const FetchOutcome &o) { stored += o.kind == FetchOutcome::Stored; };
    const double before = cpuSeconds(RUSAGE_SELF);
    run.cycle.run();
    const double ours = (cpuSeconds(RUSAGE_SELF) - before) / images;
    server.control("advance"); // curl gets full pictures too

    const QString base = QStringLiteral("http://127.0.0.1:%1/graphics/nexrad/").arg(server.port);
    double curlEach = 0, curlOne = 0;
    double start = cpuSeconds(RUSAGE_CHILDREN);
    for (const QString &path : paths)
        QProcess::execute(QStringLiteral("curl"), {"-s", "-u", "demo:demo", "-o", "/dev/null", base + path});
    curlEach = (cpuSeconds(RUSAGE_CHILDREN) - start) / images;
    QStringList all{"-s", "-u", "demo:demo"};
    for (const QString &path : paths)
        all << "-o"
            << "/dev/null" << base + path;
    start = cpuSeconds(RUSAGE_CHILDREN);
    QProcess::execute(QStringLiteral("curl"), all);
    curlOne = (cpuSeconds(RUSAGE_CHILDREN) - start) / images;

    std::printf("per image: %d of %d stored, about %lld bytes each\n", stored, images, (long long)bytes);
    std::printf("  stormtap: %.2f ms CPU per image (pauses excluded)\n", ours * 1000);
    std::printf("  curl, one process per image: %.2f ms; one process for all: %.2f ms\n", curlEach * 1000,
                curlOne * 1000);
    std::printf("  ratio to curl: %.2f (per process), %.2f (one process) (target <= 3)\n", ours / curlEach,
                ours / curlOne);
    return 0;
}

int memory(qint64 size)
{
    Server server;
    if (!server.start(QStringLiteral("160x120")))
        return 1;
    server.control(QStringLiteral("misbehave?path=KENX&mode=huge&bytes=%1").arg(size));
    NoPauseClock clock;
    Run run(clock, server.port, {"KENX"}, 1, 0);
    const qint64 idle = statusKb("VmRSS:");
    run.cycle.run();
    const qint64 peak = statusKb("VmHWM:");
    const qint64 stored = QFile(run.dir.filePath("KENX1.gif")).size();
    std::printf("memory: stored %lld bytes; idle %lld KiB, peak %lld KiB: %.2f times the image above idle "
                "(target < 4)\n",
                (long long)stored, (long long)idle, (long long)peak, double(peak - idle) * 1024 / double(size));
    return stored == size ? 0 : 1;
}

// A hostile server: a chunked body of `size` bytes (0: without end) sent as fast
// as it can. The fetch fails as too large at 64 MiB; memory above idle must
// stay under 100 MiB, and must not grow after the fetch has failed.
int flood(qint64 size)
{
    Server server;
    if (!server.start(QStringLiteral("160x120")))
        return 1;
    server.control(size > 0 ? QStringLiteral("misbehave?path=KENX&mode=chunked&bytes=%1").arg(size)
                            : QStringLiteral("misbehave?path=KENX&mode=chunked"));
    NoPauseClock clock;
    Run run(clock, server.port, {"KENX"}, 1, 0);
    FetchOutcome outcome;
    run.cycle.onFetchEnded = [&](qint16, const FetchOutcome &o) { outcome = o; };
    const qint64 idle = statusKb("VmRSS:");
    QElapsedTimer took;
    took.start();
    run.cycle.run();
    const qint64 ms = took.elapsed();
    const qint64 peak = statusKb("VmHWM:");
    // Whatever is still on its way must not reach memory any more.
    QEventLoop later;
    QTimer::singleShot(3000, &later, &QEventLoop::quit);
    later.exec();
    const qint64 after = statusKb("VmHWM:");
    std::printf("flood: %s body: %s after %lld ms; idle %lld KiB, peak %.1f MiB above idle (target < 100 MiB), "
                "%.1f MiB 3 s later\n",
                size > 0 ? qPrintable(QString::number(size) + " bytes, chunked") : "endless chunked",
                qPrintable(failureText(outcome)), (long long)ms, (long long)idle, double(peak - idle) / 1024,
                double(after - idle) / 1024);
    return outcome.kind == FetchOutcome::Failed && after - idle < 100 * 1024 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString what = args.value(1, QStringLiteral("all"));
    // Each measure in a process of its own, so that peak memory is its own.
    if (what == QLatin1String("all")) {
        for (const char *part : {"idle", "images", "memory", "flood"})
            if (QProcess::execute(args[0], {QLatin1String(part)}) != 0)
                return 1;
        return 0;
    }
    if (what == QLatin1String("idle"))
        return idleWait(args.value(2, QStringLiteral("60")).toInt());
    if (what == QLatin1String("images"))
        return perImage(args.value(2, QStringLiteral("50")).toInt());
    if (what == QLatin1String("memory"))
        return memory(args.value(2, QStringLiteral("20000000")).toLongLong());
    if (what == QLatin1String("flood"))
        return flood(args.value(2, QStringLiteral("400000000")).toLongLong());
    std::fprintf(stderr,
                 "usage: bench_retrieval [all | idle [seconds] | images [count] | memory [bytes] | flood [bytes]]\n");
    return 2;
}
