#include "LoopView.h"

#include "FrameCanvas.h"
#include "LoopGifWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace stormtap::viewer {

namespace {

QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // The loop's own keys (Space, arrows) must not press whichever button has focus.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel *makeLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

LoopView::LoopView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("loopView"));
    setFocusPolicy(Qt::StrongFocus);

    m_title = makeLabel(QStringLiteral("loopTitle"), this);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_canvas = new FrameCanvas(this);
    m_frameLabel = makeLabel(QStringLiteral("frameLabel"), this);
    m_skipped = makeLabel(QStringLiteral("skippedLabel"), this);
    m_skipped->setWordWrap(true);
    m_leftOut = makeLabel(QStringLiteral("leftOutLabel"), this);
    m_message = makeLabel(QStringLiteral("loopMessage"), this);
    m_message->setWordWrap(true);

    auto *overview = makeButton(QStringLiteral("overviewButton"), QStringLiteral("◀ Overview"), this);
    auto *back = makeButton(QStringLiteral("backButton"), QStringLiteral("Previous"), this);
    m_play = makeButton(QStringLiteral("playButton"), QString(), this);
    auto *forward = makeButton(QStringLiteral("forwardButton"), QStringLiteral("Next"), this);
    auto *save = makeButton(QStringLiteral("saveLoopButton"), QStringLiteral("Save loop as GIF…"), this);
    back->setToolTip(QStringLiteral("One frame back (Left)"));
    forward->setToolTip(QStringLiteral("One frame forward (Right)"));
    m_play->setToolTip(QStringLiteral("Play or pause (Space)"));
    overview->setToolTip(QStringLiteral("Back to the overview (Escape)"));

    m_speed = new QSlider(Qt::Horizontal, this);
    m_speed->setObjectName(QStringLiteral("speedSlider"));
    m_speed->setFocusPolicy(Qt::NoFocus);
    m_speed->setRange(1, 20);
    m_speed->setValue(4);
    m_speed->setMaximumWidth(160);
    m_speedLabel = makeLabel(QStringLiteral("speedLabel"), this);

    auto *controls = new QHBoxLayout;
    controls->addWidget(overview);
    controls->addSpacing(12);
    controls->addWidget(back);
    controls->addWidget(m_play);
    controls->addWidget(forward);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("Speed"), this));
    controls->addWidget(m_speed);
    controls->addWidget(m_speedLabel);
    controls->addStretch();
    controls->addWidget(save);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_frameLabel);
    layout->addWidget(m_skipped);
    layout->addWidget(m_leftOut);
    layout->addWidget(m_message);
    layout->addLayout(controls);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &LoopView::advance);
    connect(&m_loader, &PictureLoader::loaded, this, &LoopView::onLoaded);
    connect(overview, &QPushButton::clicked, this, &LoopView::backRequested);
    connect(back, &QPushButton::clicked, this, [this] { step(-1); });
    connect(forward, &QPushButton::clicked, this, [this] { step(1); });
    connect(m_play, &QPushButton::clicked, this, [this] { setPlaying(!m_playing); });
    connect(save, &QPushButton::clicked, this, &LoopView::onSaveClicked);
    connect(m_speed, &QSlider::valueChanged, this, [this](int fps) {
        m_speedLabel->setText(QStringLiteral("%1 frames/s").arg(fps));
        if (m_playing && m_current >= 0)
            m_timer.start(frameDelayMs(m_current));
    });
    m_speedLabel->setText(QStringLiteral("%1 frames/s").arg(m_speed->value()));

    askSavePath = [](QWidget *parent, const QString &suggested) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save loop as GIF"), suggested,
                                            QStringLiteral("GIF pictures (*.gif)"));
    };
    updatePlayButton();
}

int LoopView::framesPerSecond() const { return m_speed->value(); }

void LoopView::setFramesPerSecond(int fps) { m_speed->setValue(fps); }

int LoopView::frameDelayMs(int index) const
{
    const int delay = 1000 / framesPerSecond();
    return index == frameCount() - 1 ? LastFrameHold * delay : delay;
}

void LoopView::showEntry(const CollectionEntry &entry, const std::vector<ImageFile> &files)
{
    clearEntry();
    m_entry = entry;
    m_title->setText(entry.displayText);
    m_message->clear();
    setPlaying(true);
    updateFiles(files);
}

void LoopView::clearEntry()
{
    setPlaying(false);
    m_loader.cancelPending();
    m_waiting.clear();
    m_decoded.clear();
    m_files.clear();
    m_frames.clear();
    m_current = -1;
    m_canvas->setFrames({});
    m_entry = {};
}

void LoopView::updateFiles(const std::vector<ImageFile> &allFiles)
{
    const size_t leftOut = allFiles.size() > size_t(LongestLoop) ? allFiles.size() - size_t(LongestLoop) : 0;
    const std::vector<ImageFile> files(allFiles.begin() + std::ptrdiff_t(leftOut), allFiles.end());
    m_leftOut->setText(leftOut == 0 ? QString()
                                    : QStringLiteral("The newest %1 of %2 pictures: the older ones are left out.")
                                          .arg(files.size())
                                          .arg(allFiles.size()));
    m_leftOut->setVisible(leftOut > 0);
    m_files = files;
    m_loader.cancelPending();
    m_waiting.clear();
    // Pictures decoded before stay, as long as their file is unchanged.
    QHash<QString, Decoded> kept;
    for (const ImageFile &file : files) {
        const auto found = m_decoded.constFind(file.path);
        if (found != m_decoded.constEnd() && found->file == file)
            kept.insert(file.path, *found);
    }
    m_decoded = kept;
    for (const ImageFile &file : files) {
        if (m_decoded.contains(file.path))
            continue;
        const quint64 ticket = m_nextTicket++;
        m_waiting.insert(ticket, file);
        m_loader.load(ticket, file.path);
    }
    if (m_waiting.isEmpty())
        assemble();
    else if (m_frames.empty())
        m_frameLabel->setText(QStringLiteral("Loading %1 pictures…").arg(files.size()));
}

void LoopView::onLoaded(quint64 ticket, const Picture &picture)
{
    const auto found = m_waiting.constFind(ticket);
    if (found == m_waiting.constEnd())
        return;
    const ImageFile file = found.value();
    m_waiting.erase(found);
    m_decoded.insert(file.path, {file, picture});
    if (m_waiting.isEmpty())
        assemble();
}

void LoopView::assemble()
{
    const QString shownPath =
        m_current >= 0 && m_current < frameCount() ? m_frames[size_t(m_current)].file.path : QString();
    const bool wasAtEnd = m_current == frameCount() - 1;
    m_frames.clear();
    QStringList skipped;
    for (const ImageFile &file : m_files) {
        const Picture picture = m_decoded.value(file.path).picture;
        if (picture.ok() && !picture.image.isNull())
            m_frames.push_back({file, picture.image});
        else
            skipped << QStringLiteral("%1 (%2)").arg(file.name,
                                                     picture.ok() ? QStringLiteral("missing") : picture.problem);
    }
    m_skipped->setText(skipped.isEmpty() ? QString()
                                         : QStringLiteral("Skipped: ") + skipped.join(QStringLiteral(", ")));
    m_skipped->setVisible(!skipped.isEmpty());

    std::vector<QImage> images;
    images.reserve(m_frames.size());
    for (const Frame &frame : m_frames)
        images.push_back(frame.image);
    m_canvas->setFrames(images);

    // Keep the frame in view; a new picture shows at once when the loop was at its end.
    int index = frameCount() - 1;
    if (!wasAtEnd) {
        for (int i = 0; i < frameCount(); ++i) {
            if (m_frames[size_t(i)].file.path == shownPath)
                index = i;
        }
    }
    m_current = -1;
    if (m_frames.empty()) {
        m_timer.stop();
        m_frameLabel->setText(m_files.empty() ? QStringLiteral("No picture yet")
                                              : QStringLiteral("No picture of this entry can be shown"));
        m_canvas->showFrame(-1);
    } else {
        show(m_playing && shownPath.isEmpty() ? 0 : index);
    }
    emit framesReady();
}

void LoopView::show(int index)
{
    m_current = index;
    m_canvas->showFrame(index);
    const Frame &frame = m_frames[size_t(index)];
    m_frameLabel->setText(QStringLiteral("Frame %1 of %2  ·  stored %3  ·  %4")
                              .arg(index + 1)
                              .arg(frameCount())
                              .arg(QLocale().toString(frame.file.written, QLocale::ShortFormat), frame.file.name));
    if (m_playing)
        m_timer.start(frameDelayMs(index));
    emit frameShown(index);
}

void LoopView::advance()
{
    if (frameCount() > 0)
        show((m_current + 1) % frameCount());
}

void LoopView::setPlaying(bool playing)
{
    m_playing = playing;
    updatePlayButton();
    if (!playing)
        m_timer.stop();
    else if (m_current >= 0)
        m_timer.start(frameDelayMs(m_current));
}

void LoopView::step(int by)
{
    setPlaying(false);
    if (frameCount() > 0)
        show(((m_current + by) % frameCount() + frameCount()) % frameCount());
}

void LoopView::updatePlayButton() { m_play->setText(m_playing ? QStringLiteral("Pause") : QStringLiteral("Play")); }

bool LoopView::saveLoop(const QString &path)
{
    std::vector<LoopFrame> frames;
    for (int i = 0; i < frameCount(); ++i)
        frames.push_back({m_frames[size_t(i)].image, frameDelayMs(i)});
    QString error;
    if (!saveLoopGif(path, frames, &error)) {
        m_message->setText(error);
        return false;
    }
    m_message->setText(
        QStringLiteral("Saved the loop (%1 frames) to %2").arg(frameCount()).arg(QDir::toNativeSeparators(path)));
    return true;
}

void LoopView::onSaveClicked()
{
    if (m_frames.empty()) {
        m_message->setText(QStringLiteral("The loop has no picture to save."));
        return;
    }
    const QString suggested = QDir::home().filePath(m_entry.prefix + QStringLiteral("-loop.gif"));
    const QString path = askSavePath(this, suggested);
    if (!path.isEmpty())
        saveLoop(path);
}

void LoopView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space: setPlaying(!m_playing); return;
    case Qt::Key_Left: step(-1); return;
    case Qt::Key_Right: step(1); return;
    case Qt::Key_Plus:
    case Qt::Key_Up: setFramesPerSecond(framesPerSecond() + 1); return;
    case Qt::Key_Minus:
    case Qt::Key_Down: setFramesPerSecond(framesPerSecond() - 1); return;
    case Qt::Key_Escape: emit backRequested(); return;
    default: QWidget::keyPressEvent(event);
    }
}

} // namespace stormtap::viewer
