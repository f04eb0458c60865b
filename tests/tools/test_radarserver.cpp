#include "RadarServerProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two sites, written the ways SITES.DAT allows: quoted items on a line with
// commas, unquoted items one per line; the site after "end" is not served.
const char Catalogue[] = "\"KENX Albany, NY\",\"KENX\",1\r\n"
                         "KABR Aberdeen SD\r\nKABR\r\n32\r\n"
                         "end\r\n"
                         "\"KXXX Not served\"\r\n\"KXXX\"\r\n0\r\n";

struct Reply {
    int status = 0;
    QByteArray body;
    QByteArray lastModified;
    QByteArray authenticate;
    bool hasContentLength = false;
};

} // namespace

class RadarServerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void servesGif87aPicturesOfEveryProduct_data();
    void servesGif87aPicturesOfEveryProduct();
    void unknownPathIsNotFound_data();
    void unknownPathIsNotFound();
    void answersMatchingIfModifiedSinceWithNotModified();
    void rejectsBadCredentials_data();
    void rejectsBadCredentials();
    void misbehavesOnRequest_data();
    void misbehavesOnRequest();
    void dropsConnectionAfterHeaders();
    void keepsHttp10ConnectionAliveWhenAsked();
    void needsNoCredentialsUnlessConfigured(); // and takes --misbehave

private:
    bool startServer(QProcess *process, quint16 *port, const QStringList &extraArguments);
    Reply get(const QString &path, const QByteArray &credentials = "demo:secret",
              const QByteArray &ifModifiedSince = QByteArray(), quint16 port = 0);
    QByteArray control(const QString &command);

    QTemporaryDir m_dir;
    QString m_sites;
    QProcess m_server;
    quint16 m_port = 0;
    QNetworkAccessManager m_network;
};

bool RadarServerTest::startServer(QProcess *process, quint16 *port, const QStringList &extraArguments)
{
    *port = startRadarServer(*process, QStringLiteral(RADARSERVER_PATH),
                             QStringList{"--sites", m_sites, "--size", "160x120"} + extraArguments);
    return *port != 0;
}

void RadarServerTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_sites = m_dir.filePath("SITES.DAT");
    QFile file(m_sites);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Catalogue);
    file.close();
    QVERIFY(startServer(&m_server, &m_port, {"--user", "demo", "--password", "secret"}));
}

void RadarServerTest::init() { QCOMPARE(control("reset"), QByteArray("ok\n")); }

void RadarServerTest::cleanupTestCase()
{
    m_server.kill();
    m_server.waitForFinished(5000);
}

Reply RadarServerTest::get(const QString &path, const QByteArray &credentials, const QByteArray &ifModifiedSince,
                           quint16 port)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port ? port : m_port).arg(path)));
    if (!credentials.isEmpty())
        request.setRawHeader("Authorization", "Basic " + credentials.toBase64());
    if (!ifModifiedSince.isEmpty())
        request.setRawHeader("If-Modified-Since", ifModifiedSince);
    QNetworkReply *reply = m_network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    Reply result;
    if (reply->isFinished() || finished.wait(10000)) {
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
        result.lastModified = reply->rawHeader("Last-Modified");
        result.authenticate = reply->rawHeader("WWW-Authenticate");
        result.hasContentLength = reply->hasRawHeader("Content-Length");
    }
    reply->deleteLater();
    return result;
}

QByteArray RadarServerTest::control(const QString &command)
{
    return get(QStringLiteral("/control/") + command, QByteArray()).body;
}

void RadarServerTest::servesGif87aPicturesOfEveryProduct_data()
{
    QTest::addColumn<QString>("path");
    for (const char *path : {"KENX", "KENXanbv.gif", "KENXxn1r.gif", "KENXxn3r.gif", "KENXxnsr.gif", "KABRxnat.gif"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

void RadarServerTest::servesGif87aPicturesOfEveryProduct()
{
    QFETCH(QString, path);
    const Reply reply = get("/graphics/nexrad/" + path);
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.hasContentLength);
    QVERIFY(reply.body.startsWith("GIF87a"));
    QVERIFY(reply.body.endsWith(';'));
    const auto byte = [&](int i) { return int(uchar(reply.body.at(i))); };
    QCOMPARE(byte(6) | byte(7) << 8, 160); // logical screen width
    QCOMPARE(byte(8) | byte(9) << 8, 120);
    QVERIFY(reply.lastModified.endsWith(" GMT"));
    QCOMPARE(get("/control/image?path=" + path, QByteArray()).body, reply.body);
}

void RadarServerTest::unknownPathIsNotFound_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("site after end") << "/graphics/nexrad/KXXX";
    QTest::newRow("unknown product") << "/graphics/nexrad/KENXxxxx.gif";
    QTest::newRow("outside the radar directory") << "/KENX";
}

void RadarServerTest::unknownPathIsNotFound()
{
    QFETCH(QString, path);
    QCOMPARE(get(path).status, 404);
}

void RadarServerTest::answersMatchingIfModifiedSinceWithNotModified()
{
    const Reply first = get("/graphics/nexrad/KENX");
    QCOMPARE(first.status, 200);
    QVERIFY(!first.lastModified.isEmpty());

    const Reply repeat = get("/graphics/nexrad/KENX", "demo:secret", first.lastModified);
    QCOMPARE(repeat.status, 304);
    QVERIFY(repeat.body.isEmpty());

    const QByteArray advanced = control("advance").trimmed();
    QVERIFY(advanced != first.lastModified);
    const Reply fresh = get("/graphics/nexrad/KENX", "demo:secret", first.lastModified);
    QCOMPARE(fresh.status, 200);
    QCOMPARE(fresh.lastModified, advanced);
    QVERIFY(fresh.body != first.body);

    // The log shows what the client sent.
    const QJsonArray requests = QJsonDocument::fromJson(control("stats")).object()["requests"].toArray();
    QCOMPARE(requests.size(), 3);
    QVERIFY(requests[0].toObject()["If-Modified-Since"].isNull());
    QCOMPARE(requests[1].toObject()["If-Modified-Since"].toString().toLatin1(), first.lastModified);
    QCOMPARE(requests[2].toObject()["Authorization"].toString(), QString("Basic ZGVtbzpzZWNyZXQ="));
}

void RadarServerTest::rejectsBadCredentials_data()
{
    QTest::addColumn<QByteArray>("credentials");
    QTest::newRow("none") << QByteArray();
    QTest::newRow("wrong password") << QByteArray("demo:guess");
    QTest::newRow("wrong user") << QByteArray("admin:secret");
}

void RadarServerTest::rejectsBadCredentials()
{
    QFETCH(QByteArray, credentials);
    const Reply reply = get("/graphics/nexrad/KENX", credentials);
    QCOMPARE(reply.status, 401);
    QCOMPARE(reply.authenticate, QByteArray("Basic realm=\"radar\""));
}

void RadarServerTest::misbehavesOnRequest_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("size"); // -1: any
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("lastModified");

    QTest::newRow("status 500") << "mode=status&code=500" << 500 << -1 << QByteArray("500") << false;
    QTest::newRow("size1000") << "mode=size1000" << 200 << 1000 << QByteArray("GIF87a") << true;
    QTest::newRow("size1001") << "mode=size1001" << 200 << 1001 << QByteArray("GIF87a") << true;
    QTest::newRow("gif89a") << "mode=gif89a" << 200 << -1 << QByteArray("GIF89a") << true;
    QTest::newRow("nongif") << "mode=nongif&bytes=1500" << 200 << 1500 << QByteArray("<html>") << true;
    QTest::newRow("prefix") << "mode=prefix&bytes=10" << 200 << -1 << QByteArray("garbage beGIF87a") << true;
    QTest::newRow("no Last-Modified") << "mode=nolastmodified" << 200 << -1 << QByteArray("GIF87a") << false;
    QTest::newRow("no Content-Length") << "mode=nocontentlength" << 200 << -1 << QByteArray("GIF87a") << true;
    QTest::newRow("huge") << "mode=huge&bytes=3000000" << 200 << 3000000 << QByteArray("GIF87a") << true;
    QTest::newRow("cut") << "mode=cut&bytes=1200" << 200 << 1200 << QByteArray("GIF87a") << true;
    QTest::newRow("cut without Content-Length")
        << "mode=nocontentlength&bytes=1500" << 200 << 1500 << QByteArray("GIF87a") << true;
    QTest::newRow("chunked") << "mode=chunked&bytes=3000000" << 200 << 3000000 << QByteArray("GIF87a") << true;
    // The client here asks for gzip and unpacks it: the picture comes out whole.
    QTest::newRow("gzip") << "mode=gzip" << 200 << -1 << QByteArray("GIF87a") << true;
    QTest::newRow("trickle") << "mode=trickle&ms=50&chunks=5" << 200 << -1 << QByteArray("GIF87a") << true;
    QTest::newRow("delay") << "mode=delay&ms=50" << 200 << -1 << QByteArray("GIF87a") << true;
}

void RadarServerTest::misbehavesOnRequest()
{
    QFETCH(QString, query);
    QFETCH(int, status);
    QFETCH(int, size);
    QFETCH(QByteArray, start);
    QFETCH(bool, lastModified);

    const QByteArray normal = get("/control/image?path=KENX", QByteArray()).body;
    QCOMPARE(control("misbehave?path=KENX&count=1&" + query), QByteArray("ok\n"));
    const Reply spoilt = get("/graphics/nexrad/KENX");
    QCOMPARE(spoilt.status, status);
    if (size >= 0)
        QCOMPARE(spoilt.body.size(), size);
    QVERIFY2(spoilt.body.startsWith(start), spoilt.body.left(20).constData());
    QCOMPARE(!spoilt.lastModified.isEmpty(), lastModified);
    if (query == "mode=gzip")
        QCOMPARE(spoilt.body, normal);
    if (query.startsWith("mode=size") || query.startsWith("mode=huge") || query.startsWith("mode=chunked"))
        QVERIFY(spoilt.body.endsWith(';')); // a whole picture as far as its trailer goes

    // One-shot: the next reply is the picture again, and other paths were never affected.
    QCOMPARE(get("/graphics/nexrad/KENX").body, normal);
    QCOMPARE(get("/graphics/nexrad/KABR").status, 200);
}

void RadarServerTest::dropsConnectionAfterHeaders()
{
    QCOMPARE(control("misbehave?path=*&mode=drop&at=headers"), QByteArray("ok\n"));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET /graphics/nexrad/KABR HTTP/1.1\r\nAuthorization: Basic ZGVtbzpzZWNyZXQ=\r\n\r\n");
    QSignalSpy disconnected(&socket, &QTcpSocket::disconnected);
    QVERIFY(disconnected.wait(5000));
    const QByteArray received = socket.readAll();
    QVERIFY(received.startsWith("HTTP/1.1 200 OK\r\n"));
    QVERIFY(received.endsWith("\r\n\r\n"));
}

void RadarServerTest::keepsHttp10ConnectionAliveWhenAsked()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(5000));
    const QByteArray request = "GET /graphics/nexrad/KENX HTTP/1.0\r\nConnection: keep-alive\r\n"
                               "Authorization: Basic ZGVtbzpzZWNyZXQ=\r\n\r\n";
    const QByteArray picture = get("/control/image?path=KENX", QByteArray()).body;
    for (int round = 0; round < 2; ++round) {
        socket.write(request);
        QByteArray received;
        while (!received.endsWith(picture)) {
            QVERIFY2(socket.waitForReadyRead(5000), "reply incomplete");
            received += socket.readAll();
        }
        QVERIFY(received.startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(received.contains("\r\nConnection: keep-alive\r\n"));
    }
    const QJsonArray requests = QJsonDocument::fromJson(control("stats")).object()["requests"].toArray();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].toObject()["connection"], requests[1].toObject()["connection"]);
    QCOMPARE(requests[1].toObject()["version"].toString(), QString("HTTP/1.0"));
}

void RadarServerTest::needsNoCredentialsUnlessConfigured()
{
    QProcess open;
    quint16 port = 0;
    QVERIFY(startServer(&open, &port, {"--misbehave", "KABR=status,code=503,count=1"}));
    const Reply spoilt = get("/graphics/nexrad/KABR", QByteArray(), QByteArray(), port);
    const Reply reply = get("/graphics/nexrad/KABR", QByteArray(), QByteArray(), port);
    open.kill();
    open.waitForFinished(5000);
    QCOMPARE(spoilt.status, 503);
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.body.startsWith("GIF87a"));
}

QTEST_GUILESS_MAIN(RadarServerTest)
#include "test_radarserver.moc"
