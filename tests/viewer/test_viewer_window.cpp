#include "CollectionModel.h"
#include "LoopView.h"
#include "OverviewView.h"
#include "Pictures.h"
#include "ViewerWindow.h"

#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace stormtap::viewer;

namespace {

// The events of a double click as a window system sends them: press, release,
// then the double click and its release. (QTest's own double click spaces its
// events so far apart here that no view takes them for one.)
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QMouseEvent press(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

} // namespace

class TestViewerWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void overviewHasOneTilePerEntry();
    void newPictureAppearsInTheOverview();
    void brokenNewestPictureShowsTheOneBefore();
    void tileOpensItsLoop_data();
    void tileOpensItsLoop();
    void loopKeepsOrderAndSkipsBrokenPictures();
    void loopKeys();
    void newPictureJoinsTheOpenLoop();
    void longLoopTakesTheNewestPictures();
    void loopIsSavedAsAnimatedGif();
    void saveFailureIsShown();
    void problemOnTheWayIsShown();
    void folderMadeLaterIsShown();

private:
    void write(const QString &name, const QByteArray &bytes, int minutes)
    {
        writeFileAt(m_images->filePath(name), bytes, baseTime().addSecs(60 * minutes));
    }
    void startWindow();
    QModelIndex tile(int row) const { return m_window->model()->index(row); }
    template <typename T> T *find(const QString &name) const
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    void openLoopOf(int row);

    std::unique_ptr<QTemporaryDir> m_images;
    std::unique_ptr<ViewerWindow> m_window;
};

void TestViewerWindow::init()
{
    m_window.reset();
    m_images = std::make_unique<QTemporaryDir>();
    write(QStringLiteral("KENX1.gif"), gifPicture(Qt::red), 1);
    write(QStringLiteral("KENX2.gif"), gifPicture(Qt::green), 2);
    write(QStringLiteral("KENXanb_0812.gif"), gifPicture(Qt::blue), 3);
    write(QStringLiteral("stranger.gif"), gifPicture(Qt::yellow), 4);
}

void TestViewerWindow::startWindow()
{
    CollectionSource source;
    source.directory = m_images->path();
    source.entries = {{QStringLiteral("KENX"), QStringLiteral("Albany, NY Base Reflectivity")},
                      {QStringLiteral("KENXanb"), QStringLiteral("Albany, NY Base Velocity")},
                      {QStringLiteral("KOKX"), QStringLiteral("New York City, NY Base Reflectivity")}};
    m_window = std::make_unique<ViewerWindow>(source);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY(m_window->model()->allPicturesLoaded());
}

void TestViewerWindow::openLoopOf(int row)
{
    m_window->overview()->setCurrentIndex(tile(row));
    QTest::keyClick(m_window->overview(), Qt::Key_Return);
    QTRY_VERIFY(m_window->loop()->isVisible());
    QTRY_VERIFY(m_window->loop()->frameCount() > 0);
}

void TestViewerWindow::overviewHasOneTilePerEntry()
{
    startWindow();
    QCOMPARE(m_window->model()->rowCount(), 3);
    QCOMPARE(find<QLabel>(QStringLiteral("summaryLabel"))->text(),
             QStringLiteral("3 entries in %1").arg(QDir::toNativeSeparators(m_images->path())));
    QCOMPARE(tile(0).data(Qt::DisplayRole).toString(), QStringLiteral("Albany, NY Base Reflectivity"));
    // The newest picture, scaled once to the tile's picture area.
    const QImage newest = tile(0).data(CollectionModel::PictureRole).value<QImage>();
    QVERIFY(!newest.isNull());
    const QSize area = m_window->overview()->pictureSize();
    QVERIFY(newest.width() == area.width() || newest.height() == area.height());
    QCOMPARE(QColor(newest.pixel(newest.width() / 2, newest.height() / 2)), QColor(Qt::green));
    QCOMPARE(tile(0).data(CollectionModel::StoredRole).toDateTime(), baseTime().addSecs(120));
    QCOMPARE(tile(0).data(CollectionModel::FileCountRole).toInt(), 2);
    QCOMPARE(tile(1).data(CollectionModel::FileCountRole).toInt(), 1);
    QCOMPARE(tile(2).data(CollectionModel::NoteRole).toString(), QStringLiteral("No picture yet"));
    QVERIFY(tile(2).data(CollectionModel::PictureRole).value<QImage>().isNull());

    // The tiles follow the window's width.
    const int columns = m_window->overview()->viewport()->width() / m_window->overview()->gridSize().width();
    m_window->resize(m_window->width() / 2, m_window->height());
    QTRY_VERIFY(m_window->overview()->viewport()->width() / m_window->overview()->gridSize().width() < columns);
    QTRY_COMPARE(m_window->model()->pictureSize(), m_window->overview()->pictureSize());
    QTRY_VERIFY(m_window->model()->allPicturesLoaded());
    const QImage rescaled = tile(0).data(CollectionModel::PictureRole).value<QImage>();
    QVERIFY(rescaled.width() == m_window->model()->pictureSize().width() ||
            rescaled.height() == m_window->model()->pictureSize().height());
}

void TestViewerWindow::newPictureAppearsInTheOverview()
{
    startWindow();
    QVERIFY(tile(2).data(CollectionModel::PictureRole).value<QImage>().isNull());
    // Stormtap writes beside and renames, as here; a rotation renames too.
    write(QStringLiteral("KOKX1.gif.part"), gifPicture(Qt::cyan), 10);
    QVERIFY(QFile::rename(m_images->filePath(QStringLiteral("KOKX1.gif.part")),
                          m_images->filePath(QStringLiteral("KOKX1.gif"))));
    QTRY_VERIFY(!tile(2).data(CollectionModel::PictureRole).value<QImage>().isNull());
    QCOMPARE(tile(2).data(CollectionModel::StoredRole).toDateTime(), baseTime().addSecs(600));
    QCOMPARE(tile(2).data(CollectionModel::NoteRole).toString(), QString());

    write(QStringLiteral("KENX3.gif"), gifPicture(Qt::magenta), 11);
    QTRY_COMPARE(tile(0).data(CollectionModel::FileCountRole).toInt(), 3);
    QTRY_COMPARE(tile(0).data(CollectionModel::StoredRole).toDateTime(), baseTime().addSecs(660));
    QTRY_VERIFY(m_window->model()->allPicturesLoaded());
    const QImage newest = tile(0).data(CollectionModel::PictureRole).value<QImage>();
    QCOMPARE(QColor(newest.pixel(newest.width() / 2, newest.height() / 2)), QColor(Qt::magenta));

    // Every picture of an entry gone: it says so again.
    QVERIFY(QFile::remove(m_images->filePath(QStringLiteral("KENXanb_0812.gif"))));
    QTRY_COMPARE(tile(1).data(CollectionModel::NoteRole).toString(), QStringLiteral("No picture yet"));
}

void TestViewerWindow::brokenNewestPictureShowsTheOneBefore()
{
    const QByteArray whole = gifPicture(Qt::blue);
    write(QStringLiteral("KENX3.gif"), whole.left(whole.size() / 2), 3);
    write(QStringLiteral("KENX4.gif"), "<html>Not found</html>", 4);
    startWindow();
    // The newest whole picture, with what is wrong with the newest one.
    const QImage shown = tile(0).data(CollectionModel::PictureRole).value<QImage>();
    QVERIFY(!shown.isNull());
    QCOMPARE(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(Qt::green));
    QCOMPARE(tile(0).data(CollectionModel::StoredRole).toDateTime(), baseTime().addSecs(120));
    QCOMPARE(tile(0).data(CollectionModel::NoteRole).toString(), QStringLiteral("KENX4.gif: not a GIF"));
    QCOMPARE(tile(0).data(CollectionModel::FileCountRole).toInt(), 4);

    // Written whole at last, the newest shows.
    write(QStringLiteral("KENX4.gif"), whole, 5);
    QTRY_COMPARE(tile(0).data(CollectionModel::NoteRole).toString(), QString());
    const QImage newest = tile(0).data(CollectionModel::PictureRole).value<QImage>();
    QCOMPARE(QColor(newest.pixel(newest.width() / 2, newest.height() / 2)), QColor(Qt::blue));
    QCOMPARE(tile(0).data(CollectionModel::StoredRole).toDateTime(), baseTime().addSecs(300));

    // No whole picture at all: the tile says what is wrong with the newest.
    write(QStringLiteral("KOKX1.gif"), "GIF89a", 6);
    QTRY_COMPARE(tile(2).data(CollectionModel::NoteRole).toString(), QStringLiteral("KOKX1.gif: cut short"));
    QVERIFY(tile(2).data(CollectionModel::PictureRole).value<QImage>().isNull());
}

void TestViewerWindow::tileOpensItsLoop_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("double click") << false;
    QTest::newRow("Enter") << true;
}

void TestViewerWindow::tileOpensItsLoop()
{
    QFETCH(bool, byKey);
    startWindow();
    OverviewView *overview = m_window->overview();
    if (byKey) {
        overview->setFocus();
        QTest::keyClick(overview, Qt::Key_Right); // from the first tile to the second
        QCOMPARE(overview->currentIndex().row(), 1);
        QTest::keyClick(overview, Qt::Key_Return);
    } else {
        const QPoint centre = overview->visualRect(tile(1)).center();
        doubleClick(overview->viewport(), centre);
    }
    LoopView *loop = m_window->loop();
    QTRY_VERIFY(loop->isVisible());
    QCOMPARE(loop->prefix(), QStringLiteral("KENXanb"));
    QTRY_COMPARE(loop->frameCount(), 1);
    QCOMPARE(find<QLabel>(QStringLiteral("loopTitle"))->text(), QStringLiteral("Albany, NY Base Velocity"));
    QVERIFY(find<QLabel>(QStringLiteral("frameLabel"))->text().contains(QStringLiteral("KENXanb_0812.gif")));

    QTest::keyClick(loop, Qt::Key_Escape);
    QTRY_VERIFY(overview->isVisible());
    QVERIFY(!loop->isVisible());
    // Its pictures are let go: only the overview's stay in memory.
    QCOMPARE(loop->frameCount(), 0);
    QVERIFY(!loop->isPlaying());
}

void TestViewerWindow::loopKeepsOrderAndSkipsBrokenPictures()
{
    const QByteArray good = gifPicture(Qt::white);
    write(QStringLiteral("KENX9.gif"), good, 0); // the oldest despite its number
    write(QStringLiteral("KENX3.gif"), good.left(good.size() / 2), 5);
    write(QStringLiteral("KENX4.gif"), "<html>Not found</html>", 6);
    write(QStringLiteral("KENX_0812.gif"), good, 7);
    startWindow();
    openLoopOf(0);
    LoopView *loop = m_window->loop();
    QTRY_COMPARE(loop->frameCount(), 4);
    QStringList order;
    for (int i = 0; i < loop->frameCount(); ++i)
        order << loop->frameFile(i).name;
    QCOMPARE(order, (QStringList{"KENX9.gif", "KENX1.gif", "KENX2.gif", "KENX_0812.gif"}));
    const QLabel *skipped = find<QLabel>(QStringLiteral("skippedLabel"));
    QCOMPARE(skipped->text(), QStringLiteral("Skipped: KENX3.gif (cut short), KENX4.gif (not a GIF)"));
    QVERIFY(skipped->isVisible());
    // The overview's tile of the entry shows the newest picture that is whole.
    QCOMPARE(tile(0).data(CollectionModel::NoteRole).toString(), QString());
}

void TestViewerWindow::loopKeys()
{
    write(QStringLiteral("KENX3.gif"), gifPicture(Qt::blue), 3);
    startWindow();
    openLoopOf(0);
    LoopView *loop = m_window->loop();
    QCOMPARE(loop->frameCount(), 3);
    QVERIFY(loop->isPlaying());
    auto *play = find<QPushButton>(QStringLiteral("playButton"));
    QCOMPARE(play->text(), QStringLiteral("Pause"));

    // It plays: frames follow in order and come round again.
    loop->setFramesPerSecond(20);
    QSignalSpy shown(loop, &LoopView::frameShown);
    QTRY_VERIFY(shown.count() >= 4);
    for (int i = 1; i < shown.count(); ++i)
        QCOMPARE(shown[i][0].toInt(), (shown[i - 1][0].toInt() + 1) % 3);
    QCOMPARE(loop->frameDelayMs(0), 50);
    QCOMPARE(loop->frameDelayMs(2), LoopView::LastFrameHold * 50);

    QTest::keyClick(loop, Qt::Key_Space);
    QVERIFY(!loop->isPlaying());
    QCOMPARE(play->text(), QStringLiteral("Play"));
    const int at = loop->currentFrame();
    QTest::keyClick(loop, Qt::Key_Right);
    QCOMPARE(loop->currentFrame(), (at + 1) % 3);
    QTest::keyClick(loop, Qt::Key_Left);
    QTest::keyClick(loop, Qt::Key_Left);
    QCOMPARE(loop->currentFrame(), (at + 2) % 3);
    const QString label = find<QLabel>(QStringLiteral("frameLabel"))->text();
    QVERIFY2(label.startsWith(QStringLiteral("Frame %1 of 3").arg(loop->currentFrame() + 1)), qPrintable(label));
    QVERIFY(label.contains(loop->frameFile(loop->currentFrame()).name));

    QTest::keyClick(loop, Qt::Key_Up);
    QCOMPARE(loop->framesPerSecond(), 20); // the fastest
    QTest::keyClick(loop, Qt::Key_Down);
    QCOMPARE(loop->framesPerSecond(), 19);
    QCOMPARE(find<QLabel>(QStringLiteral("speedLabel"))->text(), QStringLiteral("19 frames/s"));

    QTest::mouseClick(play, Qt::LeftButton);
    QVERIFY(loop->isPlaying());
    QTest::mouseClick(find<QPushButton>(QStringLiteral("forwardButton")), Qt::LeftButton);
    QVERIFY(!loop->isPlaying());
}

void TestViewerWindow::newPictureJoinsTheOpenLoop()
{
    startWindow();
    openLoopOf(0);
    LoopView *loop = m_window->loop();
    QCOMPARE(loop->frameCount(), 2);
    write(QStringLiteral("KENX3.gif"), gifPicture(Qt::blue), 9);
    QTRY_COMPARE(loop->frameCount(), 3);
    QCOMPARE(loop->frameFile(2).name, QStringLiteral("KENX3.gif"));

    // A rotation: file 1 goes, 2 and 3 move down, the new one is file 3.
    QVERIFY(QFile::remove(m_images->filePath(QStringLiteral("KENX1.gif"))));
    QVERIFY(QFile::rename(m_images->filePath(QStringLiteral("KENX2.gif")),
                          m_images->filePath(QStringLiteral("KENX1.gif"))));
    QVERIFY(QFile::rename(m_images->filePath(QStringLiteral("KENX3.gif")),
                          m_images->filePath(QStringLiteral("KENX2.gif"))));
    write(QStringLiteral("KENX3.gif"), gifPicture(Qt::cyan), 12);
    QTRY_COMPARE(loop->frameFile(loop->frameCount() - 1).written, baseTime().addSecs(720));
    QStringList order;
    for (int i = 0; i < loop->frameCount(); ++i)
        order << loop->frameFile(i).name;
    QCOMPARE(order, (QStringList{"KENX1.gif", "KENX2.gif", "KENX3.gif"}));
}

void TestViewerWindow::longLoopTakesTheNewestPictures()
{
    // A day of time-stamp names, cut short: five more than a loop takes.
    const int written = LoopView::LongestLoop + 5;
    const QByteArray picture = gifPicture(Qt::white);
    for (int i = 0; i < written; ++i)
        write(QStringLiteral("KOKX_%1.gif").arg(1000 + i), picture, 10 + i);
    startWindow();
    openLoopOf(2);
    LoopView *loop = m_window->loop();
    QTRY_COMPARE(loop->frameCount(), LoopView::LongestLoop);
    QCOMPARE(loop->frameFile(0).name, QStringLiteral("KOKX_1005.gif"));
    QCOMPARE(loop->frameFile(loop->frameCount() - 1).name, QStringLiteral("KOKX_%1.gif").arg(1000 + written - 1));
    const QLabel *leftOut = find<QLabel>(QStringLiteral("leftOutLabel"));
    QVERIFY(leftOut->isVisible());
    QCOMPARE(leftOut->text(), QStringLiteral("The newest %1 of %2 pictures: the older ones are left out.")
                                  .arg(LoopView::LongestLoop)
                                  .arg(written));

    // A loop that fits says nothing of it.
    QTest::keyClick(loop, Qt::Key_Escape);
    openLoopOf(0);
    QVERIFY(!leftOut->isVisible());
}

void TestViewerWindow::loopIsSavedAsAnimatedGif()
{
    write(QStringLiteral("KENX3.gif"), gifPicture(Qt::blue), 3);
    startWindow();
    openLoopOf(0);
    LoopView *loop = m_window->loop();
    QTest::keyClick(loop, Qt::Key_Space);
    loop->setFramesPerSecond(5);
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("albany.gif"));
    QString suggested;
    loop->askSavePath = [&](QWidget *, const QString &proposal) {
        suggested = proposal;
        return path;
    };
    QTest::mouseClick(find<QPushButton>(QStringLiteral("saveLoopButton")), Qt::LeftButton);
    QVERIFY(suggested.endsWith(QStringLiteral("KENX-loop.gif")));
    QCOMPARE(find<QLabel>(QStringLiteral("loopMessage"))->text(),
             QStringLiteral("Saved the loop (3 frames) to %1").arg(QDir::toNativeSeparators(path)));

    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), 3);
    QCOMPARE(reader.loopCount(), -1);
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        const QImage frame = reader.read();
        QCOMPARE(reader.nextImageDelay(), loop->frameDelayMs(i)); // of the frame just read
        QCOMPARE(QColor(frame.pixel(frame.width() / 2, frame.height() / 2)), colours[i]);
    }
    QCOMPARE(loop->frameDelayMs(2), 600);
}

void TestViewerWindow::saveFailureIsShown()
{
    startWindow();
    openLoopOf(0);
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("gone/albany.gif"));
    m_window->loop()->askSavePath = [&](QWidget *, const QString &) { return path; };
    QTest::mouseClick(find<QPushButton>(QStringLiteral("saveLoopButton")), Qt::LeftButton);
    const QString message = find<QLabel>(QStringLiteral("loopMessage"))->text();
    QVERIFY2(message.startsWith(QStringLiteral("Cannot write %1: ").arg(QDir::toNativeSeparators(path))),
             qPrintable(message));
    QVERIFY(!QFile::exists(path));
}

void TestViewerWindow::problemOnTheWayIsShown()
{
    CollectionSource source;
    source.problem = QStringLiteral("Cannot use /x/GLAVEN.CFG: entry 2 is cut short: it lacks its product index.");
    m_window = std::make_unique<ViewerWindow>(source);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QLabel *problem = find<QLabel>(QStringLiteral("problemLabel"));
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), source.problem);
    QCOMPARE(m_window->model()->rowCount(), 0);
    QVERIFY(find<QLabel>(QStringLiteral("summaryLabel"))->text().startsWith(QStringLiteral("The fetch list is empty")));
}

void TestViewerWindow::folderMadeLaterIsShown()
{
    CollectionSource source;
    source.directory = m_images->filePath(QStringLiteral("later/images"));
    source.entries = {{QStringLiteral("KENX"), QStringLiteral("Albany, NY Base Reflectivity")}};
    m_window = std::make_unique<ViewerWindow>(source);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(tile(0).data(CollectionModel::NoteRole).toString(), QStringLiteral("No picture yet"));

    QVERIFY(QDir(m_images->path()).mkpath(QStringLiteral("later/images")));
    writeFileAt(m_images->filePath(QStringLiteral("later/images/KENX1.gif")), gifPicture(Qt::red), baseTime());
    QTRY_VERIFY(!tile(0).data(CollectionModel::PictureRole).value<QImage>().isNull());
    QCOMPARE(find<QLabel>(QStringLiteral("summaryLabel"))->text(),
             QStringLiteral("1 entry in %1").arg(QDir::toNativeSeparators(source.directory)));
}

QTEST_MAIN(TestViewerWindow)
#include "test_viewer_window.moc"
