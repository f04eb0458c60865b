#include "TileDelegate.h"

#include "CollectionModel.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>

namespace stormtap::viewer {

namespace {
constexpr int Margin = 4;
const QColor Scope(0x10, 0x12, 0x18);
} // namespace

QSize TileDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const { return m_tileSize; }

QRect TileDelegate::pictureArea(const QRect &rect, const QFontMetrics &metrics)
{
    const QRect tile = rect.adjusted(Margin, Margin, -Margin, -Margin);
    return QRect(tile.left() + Margin, tile.top() + Margin, tile.width() - 2 * Margin,
                 tile.height() - textHeight(metrics) - Margin);
}

QSize TileDelegate::tileSize(int width, const QFontMetrics &metrics)
{
    const QRect square = pictureArea(QRect(0, 0, width, width), metrics);
    return QSize(width, width + square.width() - square.height());
}

void TileDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    const QRect tile = option.rect.adjusted(Margin, Margin, -Margin, -Margin);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    painter->fillRect(tile, selected ? palette.highlight() : palette.alternateBase());

    const QFontMetrics metrics(option.font);
    const int textHeight = TileDelegate::textHeight(metrics);
    const QRect pictureArea = TileDelegate::pictureArea(option.rect, metrics);
    painter->fillRect(pictureArea, Scope);

    const QImage picture = index.data(CollectionModel::PictureRole).value<QImage>();
    if (!picture.isNull()) {
        // Scaled once when it was decoded; drawn unscaled unless the tile is being resized.
        QSize size = picture.size();
        if (size.width() > pictureArea.width() || size.height() > pictureArea.height())
            size.scale(pictureArea.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), size);
        target.moveCenter(pictureArea.center());
        painter->drawImage(target, picture);
    }
    const QString note = index.data(CollectionModel::NoteRole).toString();
    if (!note.isEmpty()) {
        QRect noteArea = pictureArea.adjusted(Margin, Margin, -Margin, -Margin);
        if (!picture.isNull()) {
            // Over a picture (the one before a broken newest), on a band of its own.
            noteArea.setTop(noteArea.bottom() - 2 * metrics.height());
            painter->fillRect(noteArea, QColor(0, 0, 0, 190));
        }
        painter->setPen(Qt::white);
        painter->drawText(noteArea, Qt::AlignCenter | Qt::TextWordWrap, note);
    }

    painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    const QRect textArea(tile.left() + Margin, pictureArea.bottom() + 3, tile.width() - 2 * Margin, textHeight);
    const QString title = metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textArea.width());
    painter->drawText(QRect(textArea.topLeft(), QSize(textArea.width(), metrics.height())),
                      Qt::AlignLeft | Qt::AlignVCenter, title);
    const QDateTime stored = index.data(CollectionModel::StoredRole).toDateTime();
    const int count = index.data(CollectionModel::FileCountRole).toInt();
    const QString when = stored.isValid()
                             ? QStringLiteral("%1  ·  %2 %3")
                                   .arg(QLocale().toString(stored, QLocale::ShortFormat))
                                   .arg(count)
                                   .arg(count == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"))
                             : QStringLiteral("—");
    painter->drawText(QRect(textArea.left(), textArea.top() + metrics.height(), textArea.width(), metrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(when, Qt::ElideRight, textArea.width()));

    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(palette.highlight().color(), 2));
        painter->drawRect(tile.adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

} // namespace stormtap::viewer
