#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>

class QWidget;

namespace stormtap {

// The design's fonts, each with replacements of like size and style for
// platforms that lack it.
QFont designFont(const QString &family, double points, bool bold = false, bool italic = false);

// Colours a widget's text while it is enabled (and, when given, its background).
void setTextColour(QWidget *widget, const QColor &text);
void setColours(QWidget *widget, const QColor &text, const QColor &background);

} // namespace stormtap
