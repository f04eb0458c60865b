#include "LoopGifWriter.h"

#include <QDir>
#include <QSaveFile>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace stormtap::viewer {

namespace {

int appendBytes(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

// A frame with at most 256 colours, and its colour table padded to a power of two.
struct IndexedFrame {
    QImage pixels;
    std::unique_ptr<ColorMapObject, MapDeleter> map;
};

IndexedFrame indexFrame(const QImage &image, QSize screen)
{
    QImage canvas = image;
    if (canvas.size() != screen)
        canvas = canvas.scaled(screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Radar pictures already use a small palette; dithering would only add noise.
    QImage indexed = canvas.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QVector<QRgb> table = indexed.colorTable();
    if (table.isEmpty())
        table.append(qRgb(0, 0, 0));
    const int bits = std::max(1, GifBitSize(int(table.size())));
    IndexedFrame frame;
    frame.map.reset(GifMakeMapObject(1 << bits, nullptr));
    if (!frame.map)
        return frame;
    for (int i = 0; i < frame.map->ColorCount; ++i) {
        const QRgb rgb = i < table.size() ? table[i] : qRgb(0, 0, 0);
        frame.map->Colors[i] = {GifByteType(qRed(rgb)), GifByteType(qGreen(rgb)), GifByteType(qBlue(rgb))};
    }
    frame.pixels = indexed;
    return frame;
}

bool putLoopForever(GifFileType *gif)
{
    static const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType repeatEndlessly[] = {1, 0, 0}; // sub-block 1, repeat count 0: endless
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof application, application) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof repeatEndlessly, repeatEndlessly) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putDelay(GifFileType *gif, int delayMs)
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = std::clamp((delayMs + 5) / 10, 1, 65535);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType block[4];
    const size_t length = EGifGCBToExtension(&control, block);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block) == GIF_OK;
}

} // namespace

QByteArray encodeLoopGif(const std::vector<LoopFrame> &frames, QString *error)
{
    if (frames.empty()) {
        *error = QStringLiteral("The loop has no picture to save.");
        return {};
    }
    // The screen is the size of the largest frame; others are scaled to it.
    QSize screen;
    for (const LoopFrame &frame : frames)
        screen = screen.expandedTo(frame.image.size());
    if (screen.isEmpty() || screen.width() > 65535 || screen.height() > 65535) {
        *error = QStringLiteral("The loop's pictures have no usable size.");
        return {};
    }

    QByteArray out;
    int code = 0;
    GifFileType *gif = EGifOpen(&out, appendBytes, &code);
    if (!gif) {
        *error = QStringLiteral("The GIF encoder could not start: %1.").arg(QLatin1String(GifErrorString(code)));
        return {};
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, screen.width(), screen.height(), 8, 0, nullptr) == GIF_OK && putLoopForever(gif);
    for (const LoopFrame &frame : frames) {
        if (!ok)
            break;
        IndexedFrame indexed = indexFrame(frame.image, screen);
        ok = indexed.map && putDelay(gif, frame.delayMs) &&
             EGifPutImageDesc(gif, 0, 0, screen.width(), screen.height(), false, indexed.map.get()) == GIF_OK;
        for (int y = 0; ok && y < screen.height(); ++y)
            ok = EGifPutLine(gif, const_cast<GifByteType *>(indexed.pixels.constScanLine(y)), screen.width()) == GIF_OK;
    }
    const int failure = gif->Error;
    int closeCode = 0;
    if (EGifCloseFile(gif, &closeCode) != GIF_OK && ok) {
        ok = false;
        code = closeCode;
    } else if (!ok) {
        code = failure;
    }
    if (!ok) {
        *error = QStringLiteral("The GIF encoder failed: %1.").arg(QLatin1String(GifErrorString(code)));
        return {};
    }
    return out;
}

bool saveLoopGif(const QString &path, const std::vector<LoopFrame> &frames, QString *error)
{
    const QByteArray bytes = encodeLoopGif(frames, error);
    if (bytes.isEmpty())
        return false;
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Cannot write %1: %2.").arg(shown, file.errorString());
        return false;
    }
    // Flushed before the commit, so that a full disk shows here and not as an empty file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = QStringLiteral("Cannot write %1: %2.").arg(shown, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2.").arg(shown, file.errorString());
        return false;
    }
    return true;
}

} // namespace stormtap::viewer
