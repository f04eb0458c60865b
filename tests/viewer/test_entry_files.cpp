#include "EntryFiles.h"
#include "Pictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace stormtap::viewer;

// The files a test lays out: a name and its time of last change in minutes
// after baseTime().
using Layout = QList<QPair<QString, int>>;
Q_DECLARE_METATYPE(Layout)

class TestEntryFiles : public QObject {
    Q_OBJECT
private slots:
    void namesOfAnEntry_data();
    void namesOfAnEntry();
    void filesOnDisk_data();
    void filesOnDisk();
    void missingFolderHasNoFiles();
    void prefixesAreDiscovered();
};

void TestEntryFiles::namesOfAnEntry_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("timeStamp");
    QTest::newRow("sequential 1") << "KENXanb"
                                  << "KENXanb1.gif" << 1 << false;
    QTest::newRow("sequential 9") << "KENXanb"
                                  << "KENXanb9.gif" << 9 << false;
    QTest::newRow("start number 0 takes no part") << "KENXanb"
                                                  << "KENXanb0.gif" << 0 << false;
    QTest::newRow("two digits are no sequence") << "KENXanb"
                                                << "KENXanb10.gif" << 0 << false;
    QTest::newRow("time stamp") << "KENXanb"
                                << "KENXanb_0812.gif" << 0 << true;
    QTest::newRow("time cut to three") << "KENXanb"
                                       << "KENXanb_075.gif" << 0 << true;
    QTest::newRow("time cut to the hour") << "KENX"
                                          << "KENX_07.gif" << 0 << true;
    QTest::newRow("one character is no time") << "KENX"
                                              << "KENX_7.gif" << 0 << false;
    QTest::newRow("five characters are no time") << "KENX"
                                                 << "KENX_08121.gif" << 0 << false;
    QTest::newRow("a longer prefix is another entry") << "KENX"
                                                      << "KENXanb1.gif" << 0 << false;
    QTest::newRow("case counts") << "KENX"
                                 << "kenx1.gif" << 0 << false;
    QTest::newRow("other suffix") << "KENX"
                                  << "KENX1.png" << 0 << false;
    QTest::newRow("suffix case counts") << "KENX"
                                        << "KENX1.GIF" << 0 << false;
    QTest::newRow("empty prefix") << ""
                                  << "1.gif" << 0 << false;
}

void TestEntryFiles::namesOfAnEntry()
{
    QFETCH(QString, prefix);
    QFETCH(QString, name);
    QFETCH(int, number);
    QFETCH(bool, timeStamp);
    QCOMPARE(sequentialNumber(prefix, name), number);
    QCOMPARE(isTimeStampName(prefix, name), timeStamp);
    QCOMPARE(isEntryFileName(prefix, name), number > 0 || timeStamp);
}

void TestEntryFiles::filesOnDisk_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<QStringList>("expected"); // oldest first

    QTest::newRow("empty folder") << Layout{} << QStringList{};
    QTest::newRow("sequential in write order") << Layout{{"KENX1.gif", 1}, {"KENX2.gif", 2}, {"KENX3.gif", 3}}
                                               << QStringList{"KENX1.gif", "KENX2.gif", "KENX3.gif"};
    QTest::newRow("a new run rewrote file 1: it is the newest")
        << Layout{{"KENX1.gif", 30}, {"KENX2.gif", 2}, {"KENX3.gif", 3}, {"KENX9.gif", 9}}
        << QStringList{"KENX2.gif", "KENX3.gif", "KENX9.gif", "KENX1.gif"};
    QTest::newRow("missing numbers are simply absent")
        << Layout{{"KENX6.gif", 6}, {"KENX9.gif", 9}} << QStringList{"KENX6.gif", "KENX9.gif"};
    QTest::newRow("time stamps by write time, not by name")
        << Layout{{"KENX_2350.gif", 1}, {"KENX_0005.gif", 2}} << QStringList{"KENX_2350.gif", "KENX_0005.gif"};
    QTest::newRow("both schemes mixed") << Layout{{"KENX_0812.gif", 5}, {"KENX1.gif", 1}, {"KENX2.gif", 10}}
                                        << QStringList{"KENX1.gif", "KENX_0812.gif", "KENX2.gif"};
    QTest::newRow("same time: by number") << Layout{{"KENX3.gif", 1}, {"KENX1.gif", 1}, {"KENX2.gif", 1}}
                                          << QStringList{"KENX1.gif", "KENX2.gif", "KENX3.gif"};
    QTest::newRow("foreign files are left out")
        << Layout{{"KENX1.gif", 1}, {"KENXanb1.gif", 2}, {"KENX1.png", 3}, {"notes.txt", 4},
                  {"KENX0.gif", 5}, {"KENX10.gif", 6},   {"KOKX1.gif", 7}, {"KENX.gif", 8}}
        << QStringList{"KENX1.gif"};
}

void TestEntryFiles::filesOnDisk()
{
    QFETCH(Layout, layout);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const auto &[name, minutes] : layout)
        writeFileAt(dir.filePath(name), "GIF87a", baseTime().addSecs(60 * minutes));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("KENX7.gif"))); // a folder is no picture

    const std::vector<ImageFile> files = groupByPrefix(listImageDirectory(dir.path())).value(QStringLiteral("KENX"));
    QStringList names;
    for (const ImageFile &file : files) {
        names << file.name;
        QCOMPARE(file.path, dir.filePath(file.name));
    }
    QCOMPARE(names, expected);
    for (size_t i = 1; i < files.size(); ++i)
        QVERIFY(files[i - 1].written <= files[i].written);
}

void TestEntryFiles::missingFolderHasNoFiles()
{
    QTemporaryDir dir;
    QVERIFY(groupByPrefix(listImageDirectory(dir.filePath(QStringLiteral("gone")))).isEmpty());
    QVERIFY(listImageDirectory(QString()).isEmpty());
}

void TestEntryFiles::prefixesAreDiscovered()
{
    QTemporaryDir dir;
    // KLOT_12 reads as a time stamp of KLOT, not as file 2 of KLOT_1; KENXanbv
    // is longer than any prefix.
    for (const char *name : {"KENX1.gif", "KENX2.gif", "KENXanb9.gif", "KOKX_0812.gif", "KFFC_07.gif", "notes.txt",
                             "picture.gif", "KENX0.gif", "KLOT_12.gif", "KENXanbv1.gif"})
        QVERIFY(writeFile(dir.filePath(QLatin1String(name)), "GIF87a"));
    QCOMPARE(discoverPrefixes(listImageDirectory(dir.path())),
             (QStringList{"KENX", "KENXanb", "KFFC", "KLOT", "KOKX"}));
}

QTEST_GUILESS_MAIN(TestEntryFiles)
#include "test_entry_files.moc"
