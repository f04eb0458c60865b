#include "catalogue/Catalogue.h"
#include "state/Products.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace stormtap;

namespace {

const QByteArray ThreeSites = "\"KAAA Albany, NY\",\"KAAA\",1\r\n"
                              "\"KBBB Boston, MA\",\"KBBB\",3\r\n"
                              "\"KCCC Chicago, IL\",\"KCCC\",2\r\n";

QByteArray sites(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QStringLiteral("\"K%1 Site %1\",\"K%1\",0\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    return bytes;
}

State catalogueOf(const QByteArray &bytes)
{
    State state;
    readCatalogue(bytes, state);
    return state;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void readsUntilEndOrEndOfFile_data();
    void readsUntilEndOrEndOfFile();
    void reportsBrokenFiles_data();
    void reportsBrokenFiles();
    void createsMissingFile();
    void siteSearch_data();
    void siteSearch();
    void siteSearchOnEmptyCatalogue();
    void regionFilter_data();
    void regionFilter();
    void sortsLinesWithoutRegardToCase();
    void shippedSitesFindThemselves();
};

void TestCatalogue::readsUntilEndOrEndOfFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lastSiteIndex");
    QTest::newRow("three sites, no end line") << ThreeSites << 2;
    QTest::newRow("three sites and end") << ThreeSites + "end\r\n" << 2;
    QTest::newRow("nothing after end is read") << ThreeSites + "end\r\n\"KDDD x\",\"KDDD\",0\r\n" << 2;
    QTest::newRow("blank lines after the last site") << ThreeSites + "\r\n  \r\n" << 2;
    QTest::newRow("END in capitals is a site") << ThreeSites + "END\r\nKEEE\r\n0\r\n" << 3;
    QTest::newRow("items on one line") << QByteArray("KAAA a,KAAA,1,KBBB b,KBBB,2") << 1;
    QTest::newRow("empty file") << QByteArray() << -1;
    QTest::newRow("150 sites and end") << sites(150) + "end\r\n" << 149;
    QTest::newRow("151 sites fill the table") << sites(151) << 150;
    QTest::newRow("151 sites and end") << sites(151) + "end\r\n" << 150;
}

void TestCatalogue::readsUntilEndOrEndOfFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lastSiteIndex);
    State state;
    QCOMPARE(readCatalogue(bytes, state), QString());
    QCOMPARE(int(state.LastSiteIndex), lastSiteIndex);
    if (lastSiteIndex >= 2 && bytes.startsWith("\"KAAA")) {
        QCOMPARE(state.Sites[1].DisplayLine, QStringLiteral("KBBB Boston, MA"));
        QCOMPARE(state.Sites[1].ImagePath, QStringLiteral("KBBB"));
        QCOMPARE(int(state.Sites[1].RegionMask), 3);
    }
}

void TestCatalogue::reportsBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lastSiteIndex");
    QTest::addColumn<QString>("problem");
    QTest::newRow("ends after a display line") << ThreeSites + "\"KDDD Dallas, TX\"\r\n" << 2 << "middle of site 4";
    QTest::newRow("ends after an image path") << ThreeSites + "\"KDDD Dallas, TX\"\r\nKDDD\r\n"
                                              << 2 << "middle of site 4";
    QTest::newRow("more sites than the table") << sites(152) << 150 << "more than 151 sites";
}

void TestCatalogue::reportsBrokenFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lastSiteIndex);
    QFETCH(QString, problem);
    State state;
    QVERIFY2(readCatalogue(bytes, state).contains(problem), qPrintable(readCatalogue(bytes, state)));
    QCOMPARE(int(state.LastSiteIndex), lastSiteIndex);
}

void TestCatalogue::createsMissingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SITES.DAT"));
    const SitesFile opened = openSitesFile(path);
    QCOMPARE(opened.problem, QString());
    QVERIFY(opened.bytes.isEmpty());
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);

    const SitesFile unreadable = openSitesFile(dir.filePath(QStringLiteral("no/such/dir/SITES.DAT")));
    QVERIFY(unreadable.problem.contains(QStringLiteral("no/such/dir/SITES.DAT")));
}

void TestCatalogue::siteSearch_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("index");
    QTest::newRow("first match wins") << "KAAA" << 0;
    QTest::newRow("middle site") << "Boston" << 1;
    QTest::newRow("only in the last site") << "Chicago" << 2;
    QTest::newRow("nowhere gives the last site") << "Denver" << 2;
    QTest::newRow("padded with blanks") << "  Boston    " << 1;
    QTest::newRow("case counts") << "boston" << 2;
    QTest::newRow("empty text") << "" << 0;
    QTest::newRow("blanks only") << "    " << 0;
    QTest::newRow("match in the prefix") << "KBB" << 1;
    QTest::newRow("run of characters anywhere") << "ton, M" << 1;
}

void TestCatalogue::siteSearch()
{
    QFETCH(QString, id);
    QFETCH(int, index);
    QCOMPARE(SiteSearch(catalogueOf(ThreeSites), id), index);
}

void TestCatalogue::siteSearchOnEmptyCatalogue()
{
    State empty = catalogueOf(QByteArray());
    QCOMPARE(SiteSearch(empty, QStringLiteral("Boston")), -1);
    QCOMPARE(SiteSearch(empty, QString()), -1);
    QVERIFY(regionSiteLines(empty, AllRegions).isEmpty());

    // An empty first line does not contain even the empty text.
    State withEmptyLine = catalogueOf(QByteArray("\"\",K1,0\r\nKBBB b,K2,0\r\nKCCC c,K3,0\r\n"));
    QCOMPARE(SiteSearch(withEmptyLine, QString()), 1);
}

void TestCatalogue::regionFilter_data()
{
    QTest::addColumn<int>("region");
    QTest::addColumn<QStringList>("lines");
    const QString a = "KAAA Albany, NY", b = "KBBB Boston, MA", c = "KCCC Chicago, IL", d = "KDDD Nowhere";
    QTest::newRow("US shows all") << int(AllRegions) << QStringList{a, b, c, d};
    QTest::newRow("NE: bit 0") << 0 << QStringList{a, b};
    QTest::newRow("Mid-Atl: bit 1") << 1 << QStringList{b, c};
    QTest::newRow("West: none") << 7 << QStringList{};
}

void TestCatalogue::regionFilter()
{
    QFETCH(int, region);
    QFETCH(QStringList, lines);
    const State state = catalogueOf(ThreeSites + "\"KDDD Nowhere\",KDDD,0\r\n");
    QCOMPARE(regionSiteLines(state, region), lines);
}

void TestCatalogue::sortsLinesWithoutRegardToCase()
{
    QStringList lines{"kzzz zeta", "KAAA alpha", "Kmmm mu", "KBBB beta"};
    std::sort(lines.begin(), lines.end(), siteLineLess);
    QCOMPARE(lines, (QStringList{"KAAA alpha", "KBBB beta", "Kmmm mu", "kzzz zeta"}));
}

void TestCatalogue::shippedSitesFindThemselves()
{
    QFile file(QStringLiteral(SHIPPED_SITES));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.trimmed().endsWith("end"));
    State state;
    QCOMPARE(readCatalogue(bytes, state), QString());
    QVERIFY(state.siteCount() > 100 && state.siteCount() <= 150);
    QSet<QString> prefixes;
    for (int i = 0; i <= state.LastSiteIndex; ++i) {
        const SiteRecord &site = state.Sites[i];
        // A fetch-list entry finds its site again through the first 10
        // characters of its padded name.
        if (i < state.LastSiteIndex)
            QCOMPARE(SiteSearch(state, paddedSiteName(site.DisplayLine).left(10)), i);
        QCOMPARE(site.DisplayLine.at(4), QLatin1Char(' '));
        QCOMPARE(site.ImagePath, site.DisplayLine.left(4));
        QVERIFY2(site.RegionMask != 0, qPrintable(site.DisplayLine));
        for (int p = 0; p < ProductCount; ++p)
            prefixes.insert(productImagePath(site.ImagePath, p).left(7));
    }
    QCOMPARE(prefixes.size(), state.siteCount() * ProductCount);
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
