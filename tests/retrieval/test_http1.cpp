#include "RadarServer.h"
#include "retrieval/Http1.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

using namespace stormtap;

namespace {

// Everything one request told: its notifications in order of arrival.
struct Exchange {
    QMap<QString, QString> headers;
    QByteArray body;
    QList<qint32> counts;
    int ends = 0;
    int failures = 0;
    int status = -1;
    QString reason;
};

} // namespace

class TestHttp1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { QCOMPARE(m_server.control("reset"), QByteArray("ok\n")); }

    void deliversHeadersBodyAndEnd();
    void sendsCredentialsAndIfModifiedSince();
    void controlCharactersAreNeverSentBack_data();
    void controlCharactersAreNeverSentBack();
    void reportsFailuresWithTheirStatus_data();
    void reportsFailuresWithTheirStatus();
    void reportsRefusedConnection();
    void stopSilencesTheRequest();
    void roundSwitchSharesOneConnection();

private:
    Exchange fetch(HTTP1 &http, const QString &path, const QString &ifModifiedSince = QString(),
                   const QString &password = "secret");
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/graphics/nexrad/%2").arg(m_server.port).arg(path);
    }

    RadarServer m_server;
};

Exchange TestHttp1::fetch(HTTP1 &http, const QString &path, const QString &ifModifiedSince, const QString &password)
{
    Exchange e;
    QEventLoop loop;
    QMetaObject::Connection c[4] = {
        connect(&http, &HTTP1::header, [&](const QString &n, const QString &v) { e.headers[n.toLower()] = v; }),
        connect(&http, &HTTP1::transfer,
                [&](qint32 count, const QByteArray &chunk) {
                    e.counts << count;
                    e.body += chunk;
                }),
        connect(&http, &HTTP1::endOfTransfer,
                [&] {
                    ++e.ends;
                    loop.quit();
                }),
        connect(&http, &HTTP1::failure, [&](int status, const QString &reason) {
            ++e.failures;
            e.status = status;
            e.reason = reason;
            loop.quit();
        })};
    http.URL = url(path);
    http.IfModifiedSince = ifModifiedSince;
    http.UserName = "demo";
    http.Password = password;
    http.start();
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents(); // nothing may follow the end
    for (auto &connection : c)
        disconnect(connection);
    return e;
}

void TestHttp1::deliversHeadersBodyAndEnd()
{
    HTTP1 http;
    const Exchange e = fetch(http, "KENXanbv.gif");
    QCOMPARE(e.failures, 0);
    QCOMPARE(e.ends, 1);
    QCOMPARE(e.body, m_server.image("KENXanbv.gif"));
    QVERIFY(e.body.startsWith("GIF87a"));
    QCOMPARE(e.headers.value("content-length"), QString::number(e.body.size()));
    QVERIFY(!e.headers.value("last-modified").isEmpty());
    QCOMPARE(e.counts.last(), qint32(e.body.size()));
    QVERIFY(std::is_sorted(e.counts.begin(), e.counts.end()));
}

void TestHttp1::sendsCredentialsAndIfModifiedSince()
{
    HTTP1 http;
    const Exchange first = fetch(http, "KENX");
    const QString lastModified = first.headers.value("last-modified");
    const Exchange second = fetch(http, "KENX", lastModified);
    QCOMPARE(second.status, 304);
    QCOMPARE(second.ends, 0);
    QVERIFY(second.body.isEmpty());

    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 2);
    QVERIFY(log[0].toObject().value("If-Modified-Since").isNull());
    QCOMPARE(log[1].toObject().value("If-Modified-Since").toString(), lastModified);
    QCOMPARE(log[0].toObject().value("Authorization").toString(),
             QString("Basic ") + QByteArray("demo:secret").toBase64());
}

void TestHttp1::controlCharactersAreNeverSentBack_data()
{
    QTest::addColumn<QString>("lastModified");
    QTest::addColumn<bool>("sent");
    QTest::newRow("a date") << "Tue, 15 Nov 1994 08:12:31 GMT" << true;
    QTest::newRow("a bare CR") << "Tue, 15 Nov 1994 08:12:31 GMT\rX-Injected: 1" << false;
    QTest::newRow("a line feed") << "Tue, 15 Nov 1994\n08:12:31 GMT" << false;
    QTest::newRow("a NUL") << QString::fromLatin1("a\0:bc", 5) << false;
    QTest::newRow("a tab") << "Tue,\t15 Nov 1994 08:12:31 GMT" << false;
    QTest::newRow("DEL") << "Tue, 15 Nov 1994 08:12:31 GMT\x7f" << false;
}

void TestHttp1::controlCharactersAreNeverSentBack()
{
    QFETCH(QString, lastModified);
    QFETCH(bool, sent);
    HTTP1 http;
    const Exchange exchange = fetch(http, "KENX", lastModified);
    QCOMPARE(exchange.ends, 1); // asked without condition: the picture comes whole
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 1);
    const QJsonValue header = log[0].toObject().value("If-Modified-Since");
    if (sent)
        QCOMPARE(header.toString(), lastModified);
    else
        QVERIFY2(header.isNull(), qPrintable(header.toString()));
}

void TestHttp1::reportsFailuresWithTheirStatus_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("misbehaviour");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason"); // for failures without a status
    QTest::addColumn<bool>("bodyRead");  // some of the body was delivered before the failure

    QTest::newRow("wrong password") << "KENX"
                                    << ""
                                    << "wrong" << 401 << "" << false;
    QTest::newRow("unknown path") << "KZZZ"
                                  << ""
                                  << "secret" << 404 << "" << false;
    QTest::newRow("server error") << "KENX"
                                  << "mode=status&code=500"
                                  << "secret" << 500 << "" << false;
    QTest::newRow("redirect is not followed") << "KENX"
                                              << "mode=status&code=302"
                                              << "secret" << 302 << "" << false;
    QTest::newRow("dropped before the reply") << "KENX"
                                              << "mode=drop&at=request"
                                              << "secret" << 0 << "closed" << false;
    QTest::newRow("dropped after the headers") << "KENX"
                                               << "mode=drop&at=headers"
                                               << "secret" << 0 << "" << false;
    QTest::newRow("dropped in the body") << "KENX"
                                         << "mode=drop&at=body"
                                         << "secret" << 0 << "" << true;
    QTest::newRow("over 64 MiB, announced") << "KENX"
                                            << "mode=huge"
                                            << "secret" << 0 << "too large" << false;
    QTest::newRow("over 64 MiB, chunked") << "KENX"
                                          << "mode=chunked&bytes=70000000"
                                          << "secret" << 0 << "too large" << true;
    QTest::newRow("compressed") << "KENX"
                                << "mode=gzip"
                                << "secret" << 0 << "compressed reply" << false;
}

void TestHttp1::reportsFailuresWithTheirStatus()
{
    QFETCH(QString, path);
    QFETCH(QString, misbehaviour);
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(QString, reason);
    QFETCH(bool, bodyRead);
    if (!misbehaviour.isEmpty())
        QCOMPARE(m_server.control("misbehave?path=" + path + "&" + misbehaviour), QByteArray("ok\n"));
    HTTP1 http;
    const Exchange e = fetch(http, path, QString(), password);
    QCOMPARE(e.failures, 1);
    QCOMPARE(e.ends, 0);
    QCOMPARE(e.status, status);
    if (!reason.isEmpty())
        QCOMPARE(e.reason, reason);
    QVERIFY(!e.reason.isEmpty() || status != 0);
    if (!bodyRead)
        QVERIFY(e.body.isEmpty()); // an error page is nobody's image; a body too large is not read
    else
        QVERIFY(e.body.size() <= http.MaxBodyBytes);
}

void TestHttp1::reportsRefusedConnection()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    HTTP1 http;
    QSignalSpy failure(&http, &HTTP1::failure);
    http.URL = QStringLiteral("http://127.0.0.1:%1/graphics/nexrad/KENX").arg(port);
    http.start();
    QVERIFY(failure.wait(10000));
    QCOMPARE(failure[0][0].toInt(), 0);
    QCOMPARE(failure[0][1].toString(), QString("refused"));
}

void TestHttp1::stopSilencesTheRequest()
{
    QCOMPARE(m_server.control("misbehave?path=KENX&mode=trickle&ms=400&chunks=4"), QByteArray("ok\n"));
    HTTP1 http;
    QSignalSpy transfer(&http, &HTTP1::transfer);
    QSignalSpy end(&http, &HTTP1::endOfTransfer);
    QSignalSpy failure(&http, &HTTP1::failure);
    http.URL = url("KENX");
    http.UserName = "demo";
    http.Password = "secret";
    http.start();
    QVERIFY(transfer.wait(10000));
    http.stop();
    const int chunks = transfer.size();
    // The connection is closed at once, not kept for a reply nobody wants.
    const int connection = m_server.requests()[0].toObject().value("connection").toInt();
    QTRY_VERIFY(!m_server.stats().value("open").toArray().contains(connection));
    QVERIFY(!end.wait(600)); // longer than the rest of the trickle
    QCOMPARE(transfer.size(), chunks);
    QCOMPARE(failure.size(), 0);
    QVERIFY(!http.busy());
}

void TestHttp1::roundSwitchSharesOneConnection()
{
    HTTP1 http;
    http.setRoundSwitch(true);
    QCOMPARE(fetch(http, "KENX").ends, 1);
    QCOMPARE(fetch(http, "KABR").ends, 1);
    http.setRoundSwitch(false); // end of the round: the connection goes
    http.setRoundSwitch(true);
    QCOMPARE(fetch(http, "KFFC").ends, 1);
    const QJsonArray log = m_server.requests();
    QCOMPARE(log.size(), 3);
    QCOMPARE(log[0].toObject().value("connection").toInt(), log[1].toObject().value("connection").toInt());
    QVERIFY(log[2].toObject().value("connection").toInt() != log[1].toObject().value("connection").toInt());
}

QTEST_GUILESS_MAIN(TestHttp1)
#include "test_http1.moc"
