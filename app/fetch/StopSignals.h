#pragma once

#include <QObject>

class QSocketNotifier;

namespace stormtap {

// Turns SIGINT and SIGTERM into a Qt signal on the event loop. The handler only
// writes a byte to a pipe; everything else happens where the retrieval waits,
// never in the middle of a read or a write.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    // `name` is "SIGINT" or "SIGTERM".
    void stopRequested(const QString &name);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace stormtap
