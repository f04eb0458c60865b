#pragma once

#include <QListView>
#include <QTimer>

namespace stormtap::viewer {

class CollectionModel;

// The overview: a grid of tiles, one per entry, that follows the window's width.
// Double click or Enter on a tile asks for its loop.
class OverviewView : public QListView {
    Q_OBJECT
public:
    explicit OverviewView(CollectionModel *model, QWidget *parent = nullptr);

    // The picture area of a tile for the current width.
    QSize pictureSize() const;

signals:
    void openRequested(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void layoutTiles();

    CollectionModel *m_model;
    QTimer m_rescale; // waits for the end of a resize before pictures are scaled anew
};

} // namespace stormtap::viewer
