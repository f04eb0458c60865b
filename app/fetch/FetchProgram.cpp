#include "FetchProgram.h"

#include "FetchLog.h"
#include "FetchRun.h"
#include "StopSignals.h"
#include "config/ConfigLocation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace stormtap {

namespace {

FetchLog *messageLog = nullptr;

void logMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // The run reports every picture that was not stored on a line of its own.
    if (message.startsWith(QLatin1String("stormtap: image not stored:")))
        return;
    // A warning raised while printing one is not printed through the log again.
    static bool printing = false;
    if (messageLog && !printing) {
        printing = true;
        messageLog->warning(message);
        printing = false;
    } else {
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    }
    if (type == QtFatalMsg)
        std::abort();
}

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// systemd names the journal's stream as "device:inode" in JOURNAL_STREAM.
bool isJournal(const struct stat &file)
{
    const QList<QByteArray> parts = qgetenv("JOURNAL_STREAM").split(':');
    return parts.size() == 2 && parts[0].toULongLong() == quint64(file.st_dev) &&
           parts[1].toULongLong() == quint64(file.st_ino);
}

} // namespace

int runFetchProgram(Clock &clock)
{
    // First of all, so that a stop request during start-up does not kill the process.
    StopSignals stopSignals;

    const QString defaultConfig = configFilePath(QCoreApplication::applicationDirPath());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fetches the radar pictures of Stormtap's fetch list without a window: the same rounds, "
                       "requests, checks and files as Stormtap's Retrieve button. Every line it prints starts with "
                       "the local date and time; failures go to standard error as well.\n\n"
                       "SIGINT and SIGTERM stop it like STOP.\n"
                       "Exit status: 0 when the last round is over or it was stopped, 2 when GLAVEN.CFG cannot be "
                       "used, 3 when the server rejects the user name and password (1 for a wrong command line)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(
        {QStringLiteral("c"), QStringLiteral("config")},
        QStringLiteral("Read the settings and the fetch list from FILE instead of %1.")
            .arg(QDir::toNativeSeparators(defaultConfig)),
        QStringLiteral("FILE"));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                         QStringLiteral("Print failures only."));
    parser.addOption(configOption);
    parser.addOption(quietOption);
    parser.process(QCoreApplication::arguments());
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s: unexpected argument '%s'; see --help\n",
                     qUtf8Printable(QCoreApplication::applicationName()),
                     qUtf8Printable(parser.positionalArguments().first()));
        return 1;
    }

    // Unbuffered: every line leaves at once, in one write.
    QFile out, err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    FetchLog log(out, err, clock);
    log.setQuiet(parser.isSet(quietOption));
    struct stat outFile = {};
    struct stat errFile = {};
    if (fstat(STDOUT_FILENO, &outFile) == 0 && fstat(STDERR_FILENO, &errFile) == 0) {
        log.setSameDestination(sameFile(outFile, errFile));
        if (isJournal(errFile))
            log.setFailureMark("<3>");
    }
    messageLog = &log;
    qInstallMessageHandler(logMessage);
    if (!stopSignals.isActive())
        log.warning(QStringLiteral("Warning: SIGINT and SIGTERM cannot be caught; they end the program abruptly."));

    // Absolute, so that every message names the file unmistakably.
    const QString configPath =
        QFileInfo(parser.isSet(configOption) ? parser.value(configOption) : defaultConfig).absoluteFilePath();
    FetchRun run(clock, log, configPath);
    run.setProgramDirectory(QCoreApplication::applicationDirPath());
    QObject::connect(&stopSignals, &StopSignals::stopRequested, [&run](const QString &name) { run.stop(name); });
    const int status = run.exec();

    qInstallMessageHandler(nullptr);
    messageLog = nullptr;
    return status;
}

} // namespace stormtap
