#include "OverviewView.h"

#include "CollectionModel.h"
#include "TileDelegate.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace stormtap::viewer {

namespace {
constexpr int SmallestTileWidth = 210;
} // namespace

OverviewView::OverviewView(CollectionModel *model, QWidget *parent) : QListView(parent), m_model(model)
{
    setObjectName(QStringLiteral("overviewGrid"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // the width must not jump when the bar comes and goes
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new TileDelegate(this));
    setModel(model);

    m_rescale.setSingleShot(true);
    m_rescale.setInterval(150);
    connect(&m_rescale, &QTimer::timeout, this, [this] { m_model->setPictureSize(pictureSize()); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit openRequested(index.row());
    });
}

QSize OverviewView::pictureSize() const
{
    return TileDelegate::pictureArea(QRect(QPoint(), gridSize()), QFontMetrics(font())).size();
}

void OverviewView::layoutTiles()
{
    const int width = viewport()->width();
    const int columns = qMax(1, width / SmallestTileWidth);
    const QSize tile = TileDelegate::tileSize(qMax(SmallestTileWidth / 2, width / columns), QFontMetrics(font()));
    if (tile == gridSize())
        return;
    static_cast<TileDelegate *>(itemDelegate())->setTileSize(tile);
    setGridSize(tile);
    setIconSize(tile);
    // The first size is taken at once, so that the pictures start loading.
    if (!m_model->pictureSize().isValid())
        m_model->setPictureSize(pictureSize());
    else
        m_rescale.start();
}

void OverviewView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    layoutTiles();
}

void OverviewView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit openRequested(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace stormtap::viewer
