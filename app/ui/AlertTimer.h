#pragma once

#include <QObject>
#include <QTimer>

namespace stormtap {

// The timer that ends the tray alert. It is an interface of its own so that a
// test can run it on a clock of its own instead of waiting 22 seconds.
class AlertTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isActive() const = 0;
    // Ticks every interval from now on, until stopped; a running timer is
    // restarted, so callers that must not restart it check isActive() first.
    virtual void start() = 0;
    virtual void stop() = 0;

signals:
    void timeout();
};

// The timer the program runs on.
class QtAlertTimer final : public AlertTimer {
    Q_OBJECT
public:
    explicit QtAlertTimer(int intervalMs, QObject *parent = nullptr);

    bool isActive() const override { return m_timer.isActive(); }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

} // namespace stormtap
