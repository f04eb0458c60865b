#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace stormtap {

// Every message box of the program goes through here, so that a test can record
// the message and answer it instead of being stopped by a modal dialog.
using MessageHandler = std::function<void(QMessageBox::Icon icon, const QString &title, const QString &text)>;

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// Replaces the message box; an empty handler restores it. Returns the previous one.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace stormtap
