#pragma once

#include <QProcess>
#include <QStringList>

// Starts the local radar server on a free port and returns that port (which it
// names on its first line), or 0 when it did not start.
inline quint16 startRadarServer(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, QStringList{"--port", "0"} + arguments);
    if (!process.waitForStarted(5000))
        return 0;
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(5000))
            return 0;
    }
    const QByteArray line = process.readLine().trimmed();
    if (!line.startsWith("listening 127.0.0.1:"))
        return 0;
    return quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
}
