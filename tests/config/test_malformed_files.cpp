// Huge malformed files are reported at once, with a short message. Reading is
// linear in the file's size: a reader that rescanned the rest of the file for
// each record, or quoted a huge item whole, would run past this test's time
// limit by minutes.
#include "catalogue/Catalogue.h"
#include "config/ConfigReader.h"

#include <QtTest>

using namespace stormtap;

namespace {

const QByteArray Header = "\"s\"\r\n80\r\n\"u\"\r\n\"p\"\r\n15\r\n20\r\n1\r\n\"/srv/images/\"\r\n";

QByteArray blankLinesThen(const QByteArray &last) { return QByteArray(100'000'000, '\n') + last; }

} // namespace

class TestMalformedFiles : public QObject {
    Q_OBJECT
private slots:
    void hugeFilesAreReportedAtOnce_data();
    void hugeFilesAreReportedAtOnce();
};

void TestMalformedFiles::hugeFilesAreReportedAtOnce_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("GLAVEN.CFG, 100 million blank lines")
        << "GLAVEN.CFG" << Header + blankLinesThen("x") << "it holds more than 1000 entries";
    QTest::newRow("GLAVEN.CFG, an item of 20 million characters")
        << "GLAVEN.CFG" << Header + "\"abc\"\r\n\"Abc\"\r\n" + "7" + QByteArray(20'000'000, 'x')
        << "entry 1 has the product index \"7" + QString(39, 'x') + "...\"";
    QTest::newRow("SITES.DAT, 100 million blank lines")
        << "SITES.DAT" << blankLinesThen("x") << "it holds more than 151 sites";
    QTest::newRow("SITES.DAT, an item of 20 million characters")
        << "SITES.DAT"
        << "\"" + QByteArray(20'000'000, 'y') + "\""
        << "it ends in the middle of site 1 (\"yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy...\")";
}

void TestMalformedFiles::hugeFilesAreReportedAtOnce()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    State state;
    const QString problem = file == "SITES.DAT" ? readCatalogue(bytes, state) : parseConfig(bytes, state, 1).problem;
    QVERIFY2(problem.startsWith(reason), qPrintable(problem.left(200)));
    QVERIFY2(problem.size() < 120, qPrintable(problem.left(200)));
}

QTEST_GUILESS_MAIN(TestMalformedFiles)
#include "test_malformed_files.moc"
