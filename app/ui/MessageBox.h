#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>

namespace stormtap {

// Every message box of the program goes through here. A box is opened without
// a nested event loop: a retrieval, its timers and its waits go on while it is
// shown. A test can replace the box to record the message instead.
using MessageHandler = std::function<void(QMessageBox::Icon icon, const QString &title, const QString &text)>;

// Opens the box and returns at once. While a box with the same title and text
// is still open, that one is raised instead of opening a second.
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// The boxes shown and not yet closed, oldest first.
QList<QMessageBox *> openMessageBoxes();

// Replaces the message box; an empty handler restores it. Returns the previous one.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace stormtap
