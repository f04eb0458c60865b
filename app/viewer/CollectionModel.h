#pragma once

#include "CollectionSource.h"
#include "EntryFiles.h"
#include "PictureLoader.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>

#include <vector>

namespace stormtap::viewer {

// The entries of the collection with their files and the newest picture of each,
// scaled once to the size the tiles ask for. Pictures are decoded off the UI
// thread; a tile shows "Loading…" until its picture is there. When the newest
// picture is broken, the tile says so over the newest whole one before it.
class CollectionModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        PrefixRole = Qt::UserRole + 1,
        PictureRole,   // QImage: the newest whole picture, empty until decoded
        StoredRole,    // QDateTime the picture shown (else the newest file) was written
        NoteRole,      // "No picture yet", "Loading…" or what is wrong with the newest picture
        FileCountRole, // how many pictures the entry has
    };

    explicit CollectionModel(QObject *parent = nullptr);

    void setSource(const CollectionSource &source);
    const QString &directory() const { return m_source.directory; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The size pictures are scaled to; a new size decodes them anew, once.
    void setPictureSize(QSize size);
    QSize pictureSize() const { return m_pictureSize; }

    const CollectionEntry &entry(int row) const { return m_tiles[size_t(row)].entry; }
    const std::vector<ImageFile> &files(int row) const { return m_tiles[size_t(row)].files; }
    int rowOfPrefix(const QString &prefix) const;

    // Reads the directory again and reloads the tiles whose pictures changed.
    void refresh();

    // True once every tile with a picture has it decoded at the current size.
    bool allPicturesLoaded() const { return m_pending == 0; }

signals:
    void filesChanged(int row);
    void picturesLoaded();
    // A newest picture that is broken: watching it tells when it is complete.
    void brokenPicture(const QString &path);

private:
    struct Tile {
        CollectionEntry entry;
        std::vector<ImageFile> files;
        ImageFile asked; // the file being decoded, or decoded last
        ImageFile shown; // the file the picture is of
        QImage picture;
        QString note;
        QString problem; // what is wrong with the newest file
        quint64 ticket = 0;
    };

    // Decodes file `fileIndex` of the row; by default its newest.
    void requestPicture(int row, size_t fileIndex = size_t(-1));
    void onLoaded(quint64 ticket, const Picture &picture);
    void addDiscoveredTiles(const QFileInfoList &listing);

    CollectionSource m_source;
    std::vector<Tile> m_tiles;
    QHash<quint64, int> m_rowOfTicket;
    PictureLoader m_loader;
    QSize m_pictureSize;
    quint64 m_nextTicket = 1;
    int m_pending = 0;
};

} // namespace stormtap::viewer
