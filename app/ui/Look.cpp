#include "Look.h"

#include <QHash>
#include <QPalette>
#include <QWidget>

namespace stormtap {

namespace {
const QHash<QString, QStringList> &replacements()
{
    static const QHash<QString, QStringList> table = {
        {QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
        // Small Fonts is a narrow face: captions sized for it need a narrow one.
        {QStringLiteral("Small Fonts"),
         {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
          QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
        {QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}},
        {QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")}},
        {QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}},
    };
    return table;
}
} // namespace

QFont designFont(const QString &family, double points, bool bold, bool italic)
{
    QFont font;
    font.setFamilies(QStringList{family} + replacements().value(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    if (family == QLatin1String("Courier New"))
        font.setStyleHint(QFont::Monospace);
    return font;
}

void setTextColour(QWidget *widget, const QColor &text)
{
    // The enabled states only: a disabled control keeps the platform's greyed
    // text, so that the user sees it cannot be used.
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
}

void setColours(QWidget *widget, const QColor &text, const QColor &background)
{
    setTextColour(widget, text);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace stormtap
