#pragma once

#include "PictureDecoder.h"

#include <QObject>
#include <QThreadPool>

namespace stormtap::viewer {

// Decodes pictures on worker threads and hands them back on the thread the
// loader lives on. Each request carries a ticket that comes back with it, so
// that a caller can drop answers it no longer wants.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    explicit PictureLoader(QObject *parent = nullptr);
    ~PictureLoader() override;

    void load(quint64 ticket, const QString &path, QSize fitInto = QSize());

    // Drops the requests that have not started yet.
    void cancelPending();

signals:
    void loaded(quint64 ticket, const stormtap::viewer::Picture &picture);

private:
    QThreadPool m_pool;
};

} // namespace stormtap::viewer
