#include "PictureLoader.h"

#include <QMetaObject>
#include <QThread>

namespace stormtap::viewer {

PictureLoader::PictureLoader(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<stormtap::viewer::Picture>();
    // Leave one core to the window when there are several.
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount() - 1));
}

PictureLoader::~PictureLoader()
{
    // Answers are posted to this object: none may arrive once it is gone.
    m_pool.clear();
    m_pool.waitForDone();
}

void PictureLoader::load(quint64 ticket, const QString &path, QSize fitInto)
{
    m_pool.start([this, ticket, path, fitInto] {
        Picture picture = decodePicture(path, fitInto);
        QMetaObject::invokeMethod(
            this, [this, ticket, picture = std::move(picture)] { emit loaded(ticket, picture); }, Qt::QueuedConnection);
    });
}

void PictureLoader::cancelPending() { m_pool.clear(); }

} // namespace stormtap::viewer
