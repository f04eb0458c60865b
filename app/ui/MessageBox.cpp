#include "MessageBox.h"

namespace stormtap {

namespace {
MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}
} // namespace

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    if (currentHandler()) {
        currentHandler()(icon, title, text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace stormtap
