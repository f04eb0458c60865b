#pragma once

#include "HttpMessage.h"
#include "ImageStore.h"
#include "Misbehaviour.h"

#include <QJsonArray>
#include <QSet>
#include <QTcpServer>

// Serves the pictures of an ImageStore under /graphics/nexrad/<path> with
// Last-Modified, If-Modified-Since and optional Basic authentication, and the
// test control interface under /control/ (see README.md).
class HttpServer : public QObject {
    Q_OBJECT
public:
    HttpServer(ImageStore *store, QObject *parent = nullptr);

    void setCredentials(const QString &user, const QString &password);
    MisbehaviourTable &misbehaviours() { return m_misbehaviours; }

    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private:
    void acceptConnections();
    HttpReply handle(const HttpRequest &request);
    HttpReply serveImage(const HttpRequest &request, const QString &path, QString *mode);
    HttpReply misbehave(const Misbehaviour &m, const QString &path);
    HttpReply control(const QString &command, const QList<QPair<QString, QString>> &query);
    bool authorised(const HttpRequest &request) const;

    QTcpServer m_server;
    ImageStore *m_store;
    MisbehaviourTable m_misbehaviours;
    QByteArray m_expectedCredentials; // "user:password", empty when no login is needed
    quint64 m_connections = 0;
    QSet<quint64> m_open; // numbers of the connections not yet closed
    QJsonArray m_log;
};
