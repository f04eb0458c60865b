#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace stormtap::viewer {

struct LoopFrame {
    QImage image;
    int delayMs = 0; // how long the frame stays before the next one
};

// Encodes the frames as one animated GIF that repeats forever (the NETSCAPE2.0
// loop block), each frame with its own colour table and delay. Delays are kept
// in hundredths of a second, the unit GIF stores. Empty, with the reason, when
// there is nothing to encode or the encoder fails.
QByteArray encodeLoopGif(const std::vector<LoopFrame> &frames, QString *error);

// Encodes the frames and replaces the file at `path` only once all of it is
// written.
bool saveLoopGif(const QString &path, const std::vector<LoopFrame> &frames, QString *error);

} // namespace stormtap::viewer
