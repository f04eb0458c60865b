#include "MessageBox.h"

#include <QPointer>

namespace stormtap {

namespace {

MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

QList<QPointer<QMessageBox>> &boxes()
{
    static QList<QPointer<QMessageBox>> open;
    return open;
}

} // namespace

QList<QMessageBox *> openMessageBoxes()
{
    QList<QMessageBox *> result;
    boxes().removeAll(nullptr);
    for (const QPointer<QMessageBox> &box : boxes())
        result.append(box.data());
    return result;
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    if (currentHandler()) {
        currentHandler()(icon, title, text);
        return;
    }
    // A message repeated while its box is still open (a 401 in every round of
    // an unattended run) would only pile up boxes; nor is the open one pushed
    // over the user's other programs again every round.
    for (QMessageBox *open : openMessageBoxes()) {
        if (open->windowTitle() == title && open->text() == text)
            return;
    }
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal: the STOP picture and the tray icon stay usable beside it.
    box->setWindowModality(Qt::NonModal);
    boxes().append(box);
    QObject::connect(box, &QDialog::finished, box, [box] { boxes().removeAll(box); });
    box->show();
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace stormtap
