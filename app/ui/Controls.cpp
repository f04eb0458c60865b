#include "Controls.h"

#include "Look.h"
#include "Twips.h"

#include <QPushButton>

namespace stormtap {

QString indexedName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QPushButton *commandButton(QWidget *parent, const QString &name, const QString &caption, const QColor &colour, int left,
                           int top, int width, int height)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    placeAt(button, left, top, width, height);
    setTextColour(button, colour);
    // Return and Enter press the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

void addSaveAndExit(QWidget *page, int firstIndex, QPushButton *&save, QPushButton *&exit)
{
    save = commandButton(page, indexedName("SSCommand1", firstIndex), QStringLiteral("Save"), QColor(0x00, 0x40, 0x00),
                         1920, 4080, 975, 375);
    exit = commandButton(page, indexedName("SSCommand1", firstIndex + 1), QStringLiteral("Exit"),
                         QColor(0xC0, 0x00, 0x00), 3240, 4080, 975, 375);
}

} // namespace stormtap
