// Measures the viewer by hand (never run by the tests):
//   first paint: from process start to the first painted overview, for a
//     collection of 150 entries x 9 pictures of about 30 KB, against the same
//     window on an empty folder; each run is a fresh process.
//   loop: processor time of the process while a nine-frame loop plays at 10
//     frames a second.
// The pictures come from the radar server's own painter, so they look and
// compress like the pictures Stormtap stores.

#include "CollectionModel.h"
#include "CollectionSource.h"
#include "LoopView.h"
#include "OverviewView.h"
#include "RadarPainter.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace stormtap::viewer;

namespace {

constexpr int Entries = 150;
constexpr int PicturesPerEntry = 9;
constexpr int Runs = 7;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// 150 entries of nine sequential pictures each, written oldest first.
qint64 makeCollection(const QString &directory)
{
    const RadarPainter painter(QSize(760, 570));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    qint64 bytes = 0;
    for (int entry = 0; entry < Entries; ++entry) {
        const QString prefix = QStringLiteral("K%1xn1").arg(entry, 3, 10, QLatin1Char('0'));
        for (int number = 1; number <= PicturesPerEntry; ++number) {
            const QByteArray picture = painter.paint(prefix.toLatin1(), quint64(number));
            QFile file(QDir(directory).filePath(QStringLiteral("%1%2.gif").arg(prefix).arg(number)));
            if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size())
                qFatal("cannot write %s", qPrintable(file.fileName()));
            file.setFileTime(start.addSecs(number * 300 + entry), QFileDevice::FileModificationTime);
            bytes += picture.size();
        }
    }
    return bytes;
}

// Reports the first paint of the overview, then the first paint once every
// tile has its picture, in ms since `startNs`; then quits.
class PaintWatch : public QObject {
public:
    PaintWatch(ViewerWindow *window, qint64 startNs) : m_window(window), m_startNs(startNs) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            // Let the paint happen, then take the time.
            watched->removeEventFilter(this);
            QCoreApplication::sendEvent(watched, event);
            watched->installEventFilter(this);
            const double ms = double(monotonicNs() - m_startNs) / 1e6;
            if (m_firstMs < 0)
                m_firstMs = ms;
            if (m_window->model()->allPicturesLoaded() && m_window->model()->pictureSize().isValid()) {
                std::printf("%.1f %.1f\n", m_firstMs, ms);
                std::fflush(stdout);
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
            return true;
        }
        return false;
    }

private:
    ViewerWindow *m_window;
    qint64 m_startNs;
    double m_firstMs = -1;
};

int firstPaint(int argc, char *argv[])
{
    const qint64 startNs = QByteArray(argv[3]).toLongLong();
    QApplication app(argc, argv);
    const CollectionSource source =
        findCollection(QCoreApplication::applicationDirPath(), QString::fromLocal8Bit(argv[2]));
    ViewerWindow window(source);
    PaintWatch watch(&window, startNs);
    window.overview()->viewport()->installEventFilter(&watch);
    // Pictures arriving later repaint the viewport; an empty folder paints once.
    QObject::connect(window.model(), &CollectionModel::picturesLoaded, window.overview()->viewport(),
                     qOverload<>(&QWidget::update));
    window.show();
    return app.exec();
}

int loopCpu(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CollectionSource source =
        findCollection(QCoreApplication::applicationDirPath(), QString::fromLocal8Bit(argv[2]));
    ViewerWindow window(source);
    window.show();
    LoopView *loop = window.loop();
    loop->setFramesPerSecond(10);
    int frames = 0;
    double cpuStart = 0;
    QElapsedTimer wall;
    QObject::connect(loop, &LoopView::frameShown, [&] { ++frames; });
    QObject::connect(loop, &LoopView::framesReady, [&] {
        if (wall.isValid())
            return;
        // Measured from here: decoding is done, only the playing remains.
        QTimer::singleShot(1000, [&] {
            frames = 0;
            cpuStart = cpuSeconds();
            wall.start();
            QTimer::singleShot(20000, [&] {
                const double cpu = cpuSeconds() - cpuStart;
                const double seconds = double(wall.nsecsElapsed()) / 1e9;
                std::printf("%d %.3f %.3f\n", frames, cpu, seconds);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        });
    });
    window.openLoop(0);
    return app.exec();
}

QString runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList withStart = arguments;
    if (arguments.first() == QLatin1String("--first-paint"))
        withStart << QString::number(monotonicNs());
    child.start(QCoreApplication::applicationFilePath(), withStart);
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        qFatal("the measuring process failed");
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && QByteArray(argv[1]) == "--first-paint")
        return firstPaint(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--loop")
        return loopCpu(argc, argv);

    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--make-collection") {
        makeCollection(QString::fromLocal8Bit(argv[2])); // to look at it in the viewer
        return 0;
    }
    QTemporaryDir empty;
    QTemporaryDir full;
    const qint64 bytes = makeCollection(full.path());
    std::printf("collection: %d entries x %d pictures, %.1f KB a picture on average\n", Entries, PicturesPerEntry,
                double(bytes) / (Entries * PicturesPerEntry) / 1024);

    std::vector<double> emptyFirst, fullFirst, fullAll;
    for (int run = 0; run < Runs; ++run) {
        const QStringList e = runChild({QStringLiteral("--first-paint"), empty.path()}).split(QLatin1Char(' '));
        const QStringList f = runChild({QStringLiteral("--first-paint"), full.path()}).split(QLatin1Char(' '));
        emptyFirst.push_back(e.value(0).toDouble());
        fullFirst.push_back(f.value(0).toDouble());
        fullAll.push_back(f.value(1).toDouble());
    }
    const double ratio = median(fullFirst) / median(emptyFirst);
    std::printf("first paint, empty folder:        %7.1f ms (median of %d)\n", median(emptyFirst), Runs);
    std::printf("first paint, 150 x 9 pictures:    %7.1f ms (median of %d)  ratio %.2f (target <= 1.5)\n",
                median(fullFirst), Runs, ratio);
    std::printf("every tile painted with picture:  %7.1f ms (median of %d)\n", median(fullAll), Runs);

    const QStringList loop = runChild({QStringLiteral("--loop"), full.path()}).split(QLatin1Char(' '));
    const double cpu = loop.value(1).toDouble();
    const double seconds = loop.value(2).toDouble();
    std::printf("loop at 10 fps: %s frames in %.1f s, %.3f s CPU = %.2f %% of one core (target < 5 %%)\n",
                qPrintable(loop.value(0)), seconds, cpu, 100 * cpu / seconds);
    return 0;
}
