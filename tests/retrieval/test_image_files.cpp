#include "TestFiles.h"
#include "retrieval/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
    void rotationKeepsNineFiles_data();
    void rotationKeepsNineFiles();
    void writeReplacesTheWholeFile();
    void writeIntoMissingDirectoryFails();
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
    QTest::newRow("colon at 3") << "12:3"
                                << "KENX_123.gif"; // hour from 1, minute from 4
    QTest::newRow("text ends early") << "ab 07:5"
                                     << "KENX_075.gif";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no colon") << "Tue, 15 Nov 1994"
                              << "";
    QTest::newRow("colon at 1") << ":12:30"
                                << "";
    QTest::newRow("colon at 2") << "1:12:30"
                                << "";
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
    QTest::newRow("slash in prefix") << "ab/cdef" << 1 << "";
    QTest::newRow("backslash in prefix") << "ab\\cdef" << 1 << "";
    QTest::newRow("dot dot in prefix") << "..KENX" << 1 << "";
    QTest::newRow("slash in the header time") << "KENX" << 0 << "x /a:bc";
}

void TestImageFiles::unsafeNamesAreRefused()
{
    QFETCH(QString, prefix);
    QFETCH(int, mode);
    QFETCH(QString, lastModified);
    QTemporaryDir dir;
    QString error;
    QCOMPARE(buildImageFileName(dir.path() + QDir::separator(), quint8(mode), prefix, 3, lastModified, &error),
             QString());
    QCOMPARE(error, QString("unsafe file name"));
}

void TestImageFiles::rotationKeepsNineFiles_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<QStringList>("after"); // contents of files 1 to 9 after the rotation
    QTest::newRow("files 1 to 9") << 1 << QStringList{"2", "3", "4", "5", "6", "7", "8", "9", "<unreadable>"};
    QTest::newRow("files 6 to 9")
        << 6 << QStringList{"<unreadable>", "<unreadable>", "<unreadable>", "<unreadable>", "6", "7", "8", "9",
                            "<unreadable>"};
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
    QCOMPARE(buildImageFileName(directory, 1, "KENXanb", 10, QString(), &error), QString("KENXanb9.gif"));
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
    QVERIFY(writeImageFile(path, "GIF87a-short", &error));
    QCOMPARE(readFile(path), QByteArray("GIF87a-short"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"KENX3.gif"}); // no temporary left behind
}

void TestImageFiles::writeIntoMissingDirectoryFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/KENX3.gif");
    QString error;
    QVERIFY(!writeImageFile(path, "GIF87a", &error));
    QVERIFY2(error.startsWith(path + ": "), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestImageFiles)
#include "test_image_files.moc"
