#include "FrameCanvas.h"

#include <QPainter>

namespace stormtap::viewer {

FrameCanvas::FrameCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("loopCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 160);
}

void FrameCanvas::setFrames(const std::vector<QImage> &frames)
{
    m_frames = frames;
    m_scaled.assign(frames.size(), QImage());
    m_index = frames.empty() ? -1 : qBound(0, m_index, int(frames.size()) - 1);
    update();
}

void FrameCanvas::showFrame(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    update();
}

const QImage &FrameCanvas::scaledFrame(int index)
{
    QImage &scaled = m_scaled[size_t(index)];
    if (scaled.isNull()) {
        const QImage &frame = m_frames[size_t(index)];
        const QSize fitted = frame.size().scaled(size(), Qt::KeepAspectRatio);
        scaled = frame.size() == fitted ? frame : frame.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return scaled;
}

void FrameCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_index < 0 || m_index >= int(m_frames.size()))
        return;
    const QImage &frame = scaledFrame(m_index);
    QRect target(QPoint(), frame.size());
    target.moveCenter(rect().center());
    painter.drawImage(target.topLeft(), frame);
}

void FrameCanvas::resizeEvent(QResizeEvent *) { m_scaled.assign(m_frames.size(), QImage()); }

} // namespace stormtap::viewer
