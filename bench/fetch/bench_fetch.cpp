// Measures stormtap-fetch while it waits for its next round: the processor time
// it uses in 60 s, and its resident memory against a bare Qt Core program that
// only runs an event loop. See README.md.

#include "RadarServerProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// User and system time of a process, from /proc/PID/stat.
double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// Resident memory in KiB: all of it, and the part no other process shares
// (shared library pages that another program also uses are not counted).
struct Memory {
    qint64 resident = 0;
    qint64 own = 0;
};

Memory memoryOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    Memory memory;
    if (!file.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2)
            continue;
        if (fields[0] == "Rss:")
            memory.resident = fields[1].toLongLong();
        else if (fields[0] == "Private_Clean:" || fields[0] == "Private_Dirty:")
            memory.own += fields[1].toLongLong();
    }
    return memory;
}

bool waitForLine(QProcess &process, const QByteArray &text, QByteArray &output)
{
    while (!output.contains(text)) {
        if (!process.waitForReadyRead(30000))
            return false;
        output += process.readAllStandardOutput();
    }
    return true;
}

void stopProcess(QProcess &process)
{
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(10000))
        process.kill();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = app.arguments().value(1, QStringLiteral("60")).toInt();
    if (seconds < 1 || seconds > 100) {
        std::fprintf(stderr, "usage: bench_fetch [seconds, 1 to 100; default 60]\n");
        return 2;
    }

    QProcess server;
    const quint16 port = startRadarServer(server, QStringLiteral(RADARSERVER_PATH),
                                          {"--sites", SITES_DAT, "--user", "demo", "--password", "demo"});
    if (port == 0)
        return 1;
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("GLAVEN.CFG")));
    config.open(QIODevice::WriteOnly);
    // One picture, then two minutes until the next round.
    config.write("\"127.0.0.1\"\r\n" + QByteArray::number(port) + "\r\n\"demo\"\r\n\"demo\"\r\n2\r\n2\r\n1\r\n\"" +
                 dir.path().toLocal8Bit() + "/\"\r\n\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n");
    config.close();

    QProcess fetch;
    fetch.start(QStringLiteral(FETCH_PROGRAM), {"--config", config.fileName()});
    QByteArray output;
    if (!waitForLine(fetch, " KENX ... ", output)) {
        std::fprintf(stderr, "stormtap-fetch did not store its picture:\n%s", output.constData());
        return 1;
    }
    QThread::sleep(1); // past the status line, into the wait
    const qint64 pid = fetch.processId();
    const double before = cpuSeconds(pid);
    QThread::sleep(seconds);
    const double used = cpuSeconds(pid) - before;
    const Memory fetchMemory = memoryOf(pid);
    stopProcess(fetch);

    QProcess idle;
    idle.start(QStringLiteral(IDLE_LOOP_PROGRAM));
    idle.waitForStarted();
    QThread::sleep(2);
    const Memory idleMemory = memoryOf(idle.processId());
    stopProcess(idle);
    stopProcess(server);

    std::printf("stormtap-fetch waiting %d s for its next round: %.2f s of CPU, counted in %.2f s ticks "
                "(target < 0.05 s per 60 s)\n",
                seconds, used, 1.0 / double(sysconf(_SC_CLK_TCK)));
    std::printf("resident memory while waiting: %lld KiB; bare QCoreApplication event loop: %lld KiB; "
                "%.2f times (target within 1.5)\n",
                (long long)fetchMemory.resident, (long long)idleMemory.resident,
                double(fetchMemory.resident) / double(idleMemory.resident));
    std::printf("  of it not shared with other processes: %lld KiB against %lld KiB\n", (long long)fetchMemory.own,
                (long long)idleMemory.own);
    return 0;
}
