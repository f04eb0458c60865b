#pragma once

#include "RadarServerProcess.h"

#include <QByteArray>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

// The local radar server (tools/radarserver) in a process of its own, on a free
// port of 127.0.0.1, with a small catalogue and credentials demo / secret.
class RadarServer {
public:
    static constexpr const char *Sites = "\"KENX Albany, NY\",\"KENX\",1\r\n"
                                         "\"KABR Aberdeen, SD\",\"KABR\",32\r\n"
                                         "\"KFFC Atlanta, GA\",\"KFFC\",8\r\n";

    bool start(const QStringList &extra = {"--user", "demo", "--password", "secret"})
    {
        if (!m_dir.isValid())
            return false;
        QFile sites(m_dir.filePath("SITES.DAT"));
        if (!sites.open(QIODevice::WriteOnly))
            return false;
        sites.write(Sites);
        sites.close();
        port = startRadarServer(m_process, QStringLiteral(RADARSERVER_PATH),
                                QStringList{"--sites", sites.fileName(), "--size", "160x120"} + extra);
        return port != 0;
    }

    ~RadarServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // A /control/ request, e.g. "misbehave?path=KENX&mode=status&code=500".
    QByteArray control(const QString &command)
    {
        QNetworkReply *reply = m_network.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/control/%2").arg(port).arg(command))));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        const QByteArray body = reply->readAll();
        reply->deleteLater();
        return body;
    }

    QByteArray image(const QString &path) { return control(QStringLiteral("image?path=") + path); }
    QJsonObject stats() { return QJsonDocument::fromJson(control(QStringLiteral("stats"))).object(); }
    QJsonArray requests() { return stats().value(QStringLiteral("requests")).toArray(); }

    quint16 port = 0;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QNetworkAccessManager m_network;
};
