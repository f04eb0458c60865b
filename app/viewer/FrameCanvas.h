#pragma once

#include <QImage>
#include <QWidget>

namespace stormtap::viewer {

// Shows one frame of a loop, fitted to the widget. Each frame is scaled once per
// widget size and kept, so that playing only draws ready images.
class FrameCanvas : public QWidget {
    Q_OBJECT
public:
    explicit FrameCanvas(QWidget *parent = nullptr);

    // The frames of the loop at full size; drops the scaled copies.
    void setFrames(const std::vector<QImage> &frames);
    void showFrame(int index);
    int shownFrame() const { return m_index; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QImage &scaledFrame(int index);

    std::vector<QImage> m_frames;
    std::vector<QImage> m_scaled;
    int m_index = -1;
};

} // namespace stormtap::viewer
