#pragma once

#include <QStyledItemDelegate>

namespace stormtap::viewer {

// Paints one tile: the newest picture (already scaled to the tile), the entry's
// display text and the time the picture was stored, or a note instead.
class TileDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    void setTileSize(QSize size) { m_tileSize = size; }

    // The lines of text below the picture.
    static constexpr int TextLines = 2;
    static int textHeight(const QFontMetrics &metrics) { return TextLines * metrics.height() + 6; }

    // Where the picture goes in a tile that lies at `rect`.
    static QRect pictureArea(const QRect &rect, const QFontMetrics &metrics);
    // A tile of this width whose picture area is square: radar pictures nearly are.
    static QSize tileSize(int width, const QFontMetrics &metrics);

private:
    QSize m_tileSize{200, 200};
};

} // namespace stormtap::viewer
