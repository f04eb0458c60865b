#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

// Root may write into any folder, so a check of what a read-only folder does
// means nothing as root. Run as root, such a test function runs again in a child
// process as user nobody (through setpriv) and takes over the child's verdict.
struct ChildVerdict {
    enum Outcome { Passed, Failed, Skipped } outcome;
    QString output;
};

inline ChildVerdict runThisTestAsNobody()
{
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const passwd *nobody = ::getpwnam("nobody");
    if (setpriv.isEmpty() || !nobody)
        return {ChildVerdict::Skipped, QStringLiteral("running as root, and there is no setpriv or no user nobody")};

    QString function = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        function += QLatin1Char(':') + QString::fromLocal8Bit(QTest::currentDataTag());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QDir::tempPath());
    child.start(setpriv, {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                          QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                          QStringLiteral("--"), QCoreApplication::applicationFilePath(), function});
    if (!child.waitForFinished(60000))
        return {ChildVerdict::Failed, QStringLiteral("the child as nobody did not finish")};
    const QString output = QString::fromLocal8Bit(child.readAll());
    // 126 and 127: nobody cannot reach the test program (a build below /root).
    if (child.exitStatus() == QProcess::NormalExit && (child.exitCode() == 126 || child.exitCode() == 127))
        return {ChildVerdict::Skipped, QStringLiteral("user nobody cannot start this test program: ") + output};
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {ChildVerdict::Failed, output};
    if (output.contains(QLatin1String("SKIP   :")))
        return {ChildVerdict::Skipped, output};
    return {ChildVerdict::Passed, output};
}

// The first line of such a test function: as root it hands the function to the
// child and ends; otherwise the function goes on here.
#define STORMTAP_RUN_WITHOUT_ROOT_RIGHTS()                                                                             \
    do {                                                                                                               \
        if (::geteuid() == 0) {                                                                                        \
            const ChildVerdict verdict = runThisTestAsNobody();                                                        \
            if (verdict.outcome == ChildVerdict::Skipped)                                                              \
                QSKIP(qPrintable(verdict.output));                                                                     \
            QVERIFY2(verdict.outcome == ChildVerdict::Passed, qPrintable(verdict.output));                             \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)
