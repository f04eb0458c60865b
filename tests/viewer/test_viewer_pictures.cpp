#include "LoopGifWriter.h"
#include "PictureDecoder.h"
#include "Pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <gif_lib.h>

using namespace stormtap::viewer;

class TestViewerPictures : public QObject {
    Q_OBJECT
private slots:
    void brokenPicturesSayWhy_data();
    void brokenPicturesSayWhy();
    void pictureIsScaledToFit();
    void hugeFileIsNotRead();
    void savedLoopReadsBack_data();
    void savedLoopReadsBack();
    void emptyLoopIsRefused();
    void saveIntoMissingFolderSaysWhy();
};

void TestViewerPictures::brokenPicturesSayWhy_data()
{
    const QByteArray good = gifPicture(Qt::green);
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QTest::newRow("whole picture") << good << "";
    QTest::newRow("cut short in the pixels") << good.left(good.size() / 2) << "cut short";
    QTest::newRow("cut short before the trailer") << good.chopped(1) << "cut short";
    QTest::newRow("only the signature") << QByteArray("GIF87a") << "cut short";
    QTest::newRow("a PNG") << QByteArray("\x89PNG\r\n\x1a\n0000", 12) << "not a GIF";
    QTest::newRow("an HTML page") << QByteArray("<html>GIF87a</html>") << "not a GIF";
    QTest::newRow("empty file") << QByteArray() << "empty";
}

void TestViewerPictures::brokenPicturesSayWhy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KENX1.gif"));
    QVERIFY(writeFile(path, bytes));
    const Picture picture = decodePicture(path);
    QCOMPARE(picture.problem, problem);
    QCOMPARE(picture.image.isNull(), !problem.isEmpty());
    QCOMPARE(decodePicture(dir.filePath(QStringLiteral("KENX2.gif"))).problem, QStringLiteral("missing"));
}

void TestViewerPictures::pictureIsScaledToFit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KENX1.gif"));
    QVERIFY(writeFile(path, gifPicture(Qt::blue, QSize(200, 100))));
    QCOMPARE(decodePicture(path).image.size(), QSize(200, 100));
    QCOMPARE(decodePicture(path, QSize(50, 50)).image.size(), QSize(50, 25));
}

void TestViewerPictures::hugeFileIsNotRead()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("KENX1.gif")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write("GIF87a") == 6);
    QVERIFY(file.resize(LargestPicture + 1)); // sparse: nothing is written
    file.close();
    QCOMPARE(decodePicture(file.fileName()).problem, QStringLiteral("too large for a radar picture (16 MB)"));
    QCOMPARE(decodePicture(dir.path()).problem, QStringLiteral("not a file"));
}

void TestViewerPictures::savedLoopReadsBack_data()
{
    QTest::addColumn<QList<int>>("delays");
    QTest::newRow("one frame") << QList<int>{250};
    QTest::newRow("nine frames, the last held") << QList<int>{100, 100, 100, 100, 100, 100, 100, 100, 300};
    QTest::newRow("slow loop") << QList<int>{1000, 1000, 3000};
}

void TestViewerPictures::savedLoopReadsBack()
{
    QFETCH(QList<int>, delays);
    std::vector<LoopFrame> frames;
    for (int i = 0; i < delays.size(); ++i) {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 36, 255, 255));
        frames.push_back({image, delays[i]});
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("loop.gif"));
    QString error;
    QVERIFY2(saveLoopGif(path, frames, &error), qPrintable(error));

    // giflib's reading: frames, delays in hundredths, the endless repeat block.
    int code = 0;
    GifFileType *gif = DGifOpenFileName(QFile::encodeName(path).constData(), &code);
    QVERIFY(gif);
    QCOMPARE(DGifSlurp(gif), GIF_OK);
    QCOMPARE(gif->ImageCount, int(delays.size()));
    QCOMPARE(gif->SWidth, 60);
    QCOMPARE(gif->SHeight, 40);
    bool loopsForever = false;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control;
        QCOMPARE(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        QCOMPARE(control.DelayTime * 10, delays[i]);
        const SavedImage &image = gif->SavedImages[i];
        for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock &block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
                const ExtensionBlock &data = image.ExtensionBlocks[e + 1];
                loopsForever = data.ByteCount == 3 && data.Bytes[0] == 1 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
            }
        }
    }
    QVERIFY(loopsForever);
    DGifCloseFile(gif, &code);

    // Qt's reader, as a browser would: the same frames, colours and delays, endless.
    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), int(delays.size()));
    QCOMPARE(reader.loopCount(), -1);
    for (int i = 0; i < delays.size(); ++i) {
        const QImage frame = reader.read();
        QVERIFY(!frame.isNull());
        QCOMPARE(reader.nextImageDelay(), delays[i]); // Qt tells the delay of the frame just read
        QCOMPARE(QColor(frame.pixel(30, 20)), QColor::fromHsv(i * 36, 255, 255).toRgb());
    }
}

void TestViewerPictures::emptyLoopIsRefused()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!saveLoopGif(dir.filePath(QStringLiteral("loop.gif")), {}, &error));
    QCOMPARE(error, QStringLiteral("The loop has no picture to save."));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("loop.gif"))));
}

void TestViewerPictures::saveIntoMissingFolderSaysWhy()
{
    QTemporaryDir dir;
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = dir.filePath(QStringLiteral("gone/loop.gif"));
    QString error;
    QVERIFY(!saveLoopGif(path, {{image, 100}}, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Cannot write %1: ").arg(QDir::toNativeSeparators(path))),
             qPrintable(error));
}

QTEST_MAIN(TestViewerPictures)
#include "test_viewer_pictures.moc"
