#include "SmallFileSystem.h"
#include "TestFiles.h"
#include "retrieval/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace stormtap;

class TestImageFiles : public QObject {
    Q_OBJECT
private slots:
    void prefixIsTheFirstSevenCharacters_data();
    void prefixIsTheFirstSevenCharacters();
    void timeStampNames_data();
    void timeStampNames();
    void sequentialNames_data();
    void sequentialNames();
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void imagePathsStayInTheirPlace_data();
    void imagePathsStayInTheirPlace();
    void rotationKeepsNineFiles_data();
    void rotationKeepsNineFiles();
    void writeReplacesTheWholeFile();
    void writeIntoMissingDirectoryFails();
    void whateverStandsInPlaceIsReplaced_data();
    void whateverStandsInPlaceIsReplaced();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
};

void TestImageFiles::prefixIsTheFirstSevenCharacters_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("product 0") << "KENX"
                               << "KENX";
    QTest::newRow("long path") << "KENXanbv.gif"
                               << "KENXanb";
    QTest::newRow("exactly seven") << "KENXabc"
                                   << "KENXabc";
    QTest::newRow("empty") << ""
                           << "";
}

void TestImageFiles::prefixIsTheFirstSevenCharacters()
{
    QFETCH(QString, path);
    QFETCH(QString, prefix);
    QCOMPARE(filePrefix(path), prefix);
}

void TestImageFiles::timeStampNames_data()
{
    QTest::addColumn<QString>("lastModified");
    QTest::addColumn<QString>("name");
    QTest::newRow("RFC 1123") << "Tue, 15 Nov 1994 08:12:31 GMT"
                              << "KENX_0812.gif";
    QTest::newRow("text ends early") << "ab 07:5"
                                     << "";
    QTest::newRow("colon at 3, one minute digit") << "12:3"
                                                  << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no colon") << "Tue, 15 Nov 1994"
                              << "";
    QTest::newRow("colon at 1") << ":12:30"
                                << "";
    QTest::newRow("colon at 2") << "1:12:30"
                                << "";
    QTest::newRow("a NUL before the colon") << QString::fromLatin1("a\0:bc", 5) << "";
    QTest::newRow("letters around the colon") << "ab:cd"
                                              << "";
    QTest::newRow("a slash in the hour") << "x /1:23"
                                         << "";
    QTest::newRow("a CR in the minute") << "08:1\r"
                                        << "";
    QTest::newRow("a blank in the hour") << " 8:12:31"
                                         << "";
    QTest::newRow("only the time") << "23:59"
                                   << "KENX_2359.gif";
}

void TestImageFiles::timeStampNames()
{
    QFETCH(QString, lastModified);
    QFETCH(QString, name);
    QCOMPARE(timeStampName("KENX", lastModified), name);
}

void TestImageFiles::sequentialNames_data()
{
    QTest::addColumn<int>("sequence");
    QTest::addColumn<QString>("name");
    QTest::newRow("start 0") << 0 << "KENX0.gif";
    QTest::newRow("3") << 3 << "KENX3.gif";
    QTest::newRow("9") << 9 << "KENX9.gif";
    QTest::newRow("past 9") << 10 << "KENX9.gif";
    QTest::newRow("largest") << 32767 << "KENX9.gif";
    QTest::newRow("negative") << -2 << "KENX-2.gif";
}

void TestImageFiles::sequentialNames()
{
    QFETCH(int, sequence);
    QFETCH(QString, name);
    QCOMPARE(sequentialName("KENX", qint16(sequence)), name);
}

void TestImageFiles::unsafeNamesAreRefused_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("lastModified");
    QTest::addColumn<QString>("error");
    QTest::newRow("slash in the header time") << "KENX" << 0 << "x /a:bc"
                                              << "no time in Last-Modified";
}

void TestImageFiles::unsafeNamesAreRefused()
{
    QFETCH(QString, prefix);
    QFETCH(int, mode);
    QFETCH(QString, lastModified);
    QFETCH(QString, error);
    QString found;
    QCOMPARE(buildImageFileName(quint8(mode), prefix, 3, lastModified, &found), QString());
    QCOMPARE(found, error);
}

void TestImageFiles::imagePathsStayInTheirPlace_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason"); // empty: fetched
    const QString unsafePath = "unsafe image path";
    QTest::newRow("product 0") << "KABR" << QString();
    QTest::newRow("product with suffix") << "KABRanbv.gif" << QString();
    QTest::newRow("a deeper path") << "KABRxyz/sub/KABR.gif" << QString();
    QTest::newRow("an escape that is no dot") << "KABR%20x" << QString();
    QTest::newRow("dot dot after the prefix") << "KABRxyz/../../../../etc/passwd" << unsafePath;
    QTest::newRow("dot dot at the start") << "../KABR" << unsafePath;
    QTest::newRow("dot dot in a name") << "KABR..gif" << unsafePath;
    QTest::newRow("backslash") << "KABRxyz\\..\\x" << unsafePath;
    QTest::newRow("lone backslash") << "KABRxyz\\x" << unsafePath;
    QTest::newRow("encoded dot dot") << "KABRxyz/%2e%2e/%2e%2e/etc/passwd" << unsafePath;
    QTest::newRow("encoded dot dot, capitals") << "KABRxyz/%2E%2E/x" << unsafePath;
    QTest::newRow("half encoded dot dot") << "KABRxyz/.%2e/x" << unsafePath;
    QTest::newRow("encoded dot segment") << "KABRxyz/%2e/x" << unsafePath;
    QTest::newRow("dot segment") << "KABRxyz/./x" << unsafePath;
    QTest::newRow("encoded slash before dot dot") << "KABRxyz%2f..%2fx" << unsafePath;
    QTest::newRow("safe path, slash in prefix") << "ab/cdefgh"
                                                << "unsafe file name";
    QTest::newRow("NUL in prefix") << QString::fromLatin1("KE\0NXab", 8) << "unsafe file name";
    QTest::newRow("control character in prefix") << "KE\tNXab"
                                                 << "unsafe file name";
}

void TestImageFiles::imagePathsStayInTheirPlace()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QCOMPARE(unsafePathReason(path), reason);
}

void TestImageFiles::rotationKeepsNineFiles_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<QStringList>("after"); // contents of files 1 to 9 after the new picture came
    QTest::newRow("files 1 to 9") << 1 << QStringList{"2", "3", "4", "5", "6", "7", "8", "9", "new"};
    QTest::newRow("files 6 to 9")
        << 6 << QStringList{"<unreadable>", "<unreadable>", "<unreadable>", "<unreadable>", "6", "7", "8", "9", "new"};
}

void TestImageFiles::rotationKeepsNineFiles()
{
    QFETCH(int, first);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    const QString directory = dir.path() + QDir::separator();
    for (int i = first; i <= 9; ++i)
        QVERIFY(writeFile(directory + QString("KENXanb%1.gif").arg(i), QByteArray::number(i)));
    QVERIFY(writeFile(directory + "KENXanb0.gif", "0")); // a start number of 0 never rotates

    QString error;
    const QString name = buildImageFileName(1, "KENXanb", 10, QString(), &error);
    QCOMPARE(name, QString("KENXanb9.gif"));
    QVERIFY(rotatesFirst(1, 10));
    QVERIFY2(storeImageFile(directory, name, "KENXanb", true, "new", &error), qPrintable(error));
    QStringList contents;
    for (int i = 1; i <= 9; ++i)
        contents << QString::fromLatin1(readFile(directory + QString("KENXanb%1.gif").arg(i)));
    QCOMPARE(contents, after);
    QCOMPARE(readFile(directory + "KENXanb0.gif"), QByteArray("0"));
}

void TestImageFiles::writeReplacesTheWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("KENX3.gif");
    QVERIFY(writeFile(path, QByteArray(5000, 'x')));
    QString error;
    QVERIFY(storeImageFile(dir.path() + QDir::separator(), "KENX3.gif", "KENX", false, "GIF87a-short", &error));
    QCOMPARE(readFile(path), QByteArray("GIF87a-short"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"KENX3.gif"}); // no temporary left
}

void TestImageFiles::writeIntoMissingDirectoryFails()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!storeImageFile(dir.filePath("missing/"), "KENX3.gif", "KENX", false, "GIF87a", &error));
    QCOMPARE(error, QString("cannot write KENX3.gif: No such file or directory"));
}

void TestImageFiles::whateverStandsInPlaceIsReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("rotate");
    for (const bool rotate : {false, true}) {
        const QByteArray naming = rotate ? ", rotating" : "";
        for (const char *kind : {"link outside", "link to /dev/zero", "FIFO", "link to a FIFO"})
            QTest::newRow(QByteArray(kind) + naming) << QString(kind) << rotate;
    }
}

// A file of the image directory that is a link, a FIFO or a device is replaced
// by the new picture as a name: nothing is written through it, nothing waits.
void TestImageFiles::whateverStandsInPlaceIsReplaced()
{
    QFETCH(QString, kind);
    QFETCH(bool, rotate);
    QTemporaryDir outside;
    QTemporaryDir images;
    const QString directory = images.path() + QDir::separator();
    const QString target = outside.filePath("precious");
    QVERIFY(writeFile(target, "precious"));
    const QString fifo = outside.filePath("fifo");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);

    // Without rotation the picture takes the special file's name; with it, the
    // special file is file 9 and moves down to 8 as it is.
    const QString special = directory + "KENX9.gif";
    if (kind == "link outside")
        QVERIFY(QFile::link(target, special));
    else if (kind == "link to /dev/zero")
        QVERIFY(QFile::link("/dev/zero", special));
    else if (kind == "FIFO")
        QVERIFY(::mkfifo(QFile::encodeName(special).constData(), 0600) == 0);
    else
        QVERIFY(QFile::link(fifo, special));
    const bool wasLink = QFileInfo(special).isSymLink();
    const QString linkTarget = QFileInfo(special).symLinkTarget();

    QString error;
    QVERIFY2(storeImageFile(directory, "KENX9.gif", "KENX", rotate, "GIF87a-new", &error), qPrintable(error));
    const QFileInfo stored(special);
    QVERIFY(stored.isFile() && !stored.isSymLink());
    QCOMPARE(readFile(special), QByteArray("GIF87a-new"));
    QCOMPARE(readFile(target), QByteArray("precious"));
    if (rotate) {
        const QFileInfo moved(directory + "KENX8.gif");
        QCOMPARE(moved.isSymLink(), wasLink);
        QCOMPARE(moved.symLinkTarget(), linkTarget);
    }
}

void TestImageFiles::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rotate");
    QTest::newRow("sequential, rotating") << "KENX9.gif" << true;
    QTest::newRow("sequential, replacing") << "KENX3.gif" << false;
    QTest::newRow("time stamp, replacing") << "KENX_0812.gif" << false;
}

void TestImageFiles::fullDiskKeepsEveryFile()
{
    QFETCH(QString, name);
    QFETCH(bool, rotate);
    SmallFileSystem disk;
    SMALL_FILE_SYSTEM_OR_SKIP(disk);
    QStringList files;
    for (int i = 1; i <= 9; ++i)
        files << QString("KENX%1.gif").arg(i);
    files << "KENX_0812.gif";
    for (const QString &file : files)
        QVERIFY(writeFile(disk.path() + file, file.toLatin1()));
    QVERIFY(disk.fill());

    QString error;
    QVERIFY(!storeImageFile(disk.path(), name, "KENX", rotate, QByteArray(3000, 'g'), &error));
    QCOMPARE(error, "cannot write " + name + ": No space left on device");
    for (const QString &file : files)
        QCOMPARE(readFile(disk.path() + file), file.toLatin1());
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), files.size() + 1); // and the filler
}

QTEST_GUILESS_MAIN(TestImageFiles)
#include "test_image_files.moc"
