#pragma once

#include <QRect>
#include <QWidget>
#include <QtMath>

namespace stormtap {

// The window is designed in twips: 15 twips make one pixel at 96 dpi. Qt's own
// scaling takes care of screens with more dots per inch.
inline int twips(int value) { return qRound(value / 15.0); }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// Places a widget at the design's position, given in twips.
inline void placeAt(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace stormtap
