#include "ImageStore.h"

#include <QLocale>
#include <QTimeZone>

namespace {

QDateTime nowToTheSecond()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return now.addMSecs(-now.time().msec());
}

} // namespace

ImageStore::ImageStore(const RadarPainter &painter, const QStringList &paths, int intervalSeconds)
    : m_painter(painter), m_paths(paths.begin(), paths.end()), m_intervalSeconds(qMax(1, intervalSeconds)),
      m_generationTime(nowToTheSecond())
{
}

QByteArray ImageStore::image(const QString &path)
{
    refresh();
    auto it = m_cache.find(path);
    if (it == m_cache.end())
        it = m_cache.insert(path, m_painter.paint(path.toLatin1(), m_generation));
    return *it;
}

QByteArray ImageStore::gif89Image(const QString &path)
{
    refresh();
    return m_painter.paint(path.toLatin1(), m_generation, true);
}

QByteArray ImageStore::lastModified()
{
    refresh();
    return httpDate(m_generationTime);
}

quint64 ImageStore::generation()
{
    refresh();
    return m_generation;
}

void ImageStore::advance()
{
    const QDateTime now = nowToTheSecond();
    m_generationTime = qMax(now, m_generationTime.addSecs(1));
    ++m_generation;
    m_cache.clear();
}

void ImageStore::refresh()
{
    if (m_generationTime.secsTo(QDateTime::currentDateTimeUtc()) >= m_intervalSeconds)
        advance();
}

QByteArray ImageStore::httpDate(const QDateTime &time)
{
    return QLocale::c()
        .toString(time.toTimeZone(QTimeZone::utc()), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
        .toLatin1();
}
