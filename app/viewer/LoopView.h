#pragma once

#include "CollectionSource.h"
#include "EntryFiles.h"
#include "PictureLoader.h"

#include <QHash>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QSlider;

namespace stormtap::viewer {

class FrameCanvas;

// One entry's pictures as a loop, oldest to newest, the newest held a little
// longer. Space plays and pauses, the arrow keys step, Escape goes back. Pictures
// that are missing, cut short or no GIF are left out and named in the window.
class LoopView : public QWidget {
    Q_OBJECT
public:
    explicit LoopView(QWidget *parent = nullptr);

    // Shows the entry's files (oldest first) and plays them once decoded.
    void showEntry(const CollectionEntry &entry, const std::vector<ImageFile> &files);
    // Stops and lets go of the entry's pictures, while the overview shows.
    void clearEntry();
    // The entry's files changed on disk: the loop takes the new list.
    void updateFiles(const std::vector<ImageFile> &files);
    const QString &prefix() const { return m_entry.prefix; }

    int frameCount() const { return int(m_frames.size()); }
    int currentFrame() const { return m_current; }
    const ImageFile &frameFile(int index) const { return m_frames[size_t(index)].file; }
    bool isPlaying() const { return m_playing; }
    int framesPerSecond() const;
    void setFramesPerSecond(int fps);
    void setPlaying(bool playing);
    void step(int by);

    // How long frame `index` stays: one frame time, the last one held longer.
    int frameDelayMs(int index) const;
    static constexpr int LastFrameHold = 3;
    // Time-stamp names pile up (one a minute, for a day): the loop takes the
    // newest pictures only, so that it opens quickly and its frames fit in memory.
    static constexpr int LongestLoop = 30;

    // Asks where to save the loop; a test puts its own answer here.
    std::function<QString(QWidget *parent, const QString &suggested)> askSavePath;
    bool saveLoop(const QString &path);

signals:
    void backRequested();
    void framesReady(); // all pictures of the current file list are decoded
    void frameShown(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Frame {
        ImageFile file;
        QImage image;
    };
    void onLoaded(quint64 ticket, const Picture &picture);
    void assemble();
    void show(int index);
    void advance();
    void updatePlayButton();
    void onSaveClicked();

    CollectionEntry m_entry;
    std::vector<ImageFile> m_files;
    struct Decoded {
        ImageFile file; // the version of the file the picture was decoded from
        Picture picture;
    };
    QHash<QString, Decoded> m_decoded; // by path
    QHash<quint64, ImageFile> m_waiting;
    quint64 m_nextTicket = 1;
    std::vector<Frame> m_frames;
    int m_current = -1;
    bool m_playing = true;

    PictureLoader m_loader;
    QTimer m_timer;
    FrameCanvas *m_canvas;
    QLabel *m_title;
    QLabel *m_frameLabel;
    QLabel *m_skipped;
    QLabel *m_leftOut;
    QLabel *m_message;
    QLabel *m_speedLabel;
    QPushButton *m_play;
    QSlider *m_speed;
};

} // namespace stormtap::viewer
