#pragma once

#include <QColor>
#include <QString>

class QPushButton;
class QWidget;

namespace stormtap {

// The object name of element `index` of a control array, e.g. "optConfig(8)".
QString indexedName(const char *name, int index);

// A command button with coloured caption text, placed at the design's twips.
QPushButton *commandButton(QWidget *parent, const QString &name, const QString &caption, const QColor &colour, int left,
                           int top, int width, int height);

// The Save and Exit buttons that stand below both configuration pages:
// SSCommand1(firstIndex) and SSCommand1(firstIndex + 1).
void addSaveAndExit(QWidget *page, int firstIndex, QPushButton *&save, QPushButton *&exit);

} // namespace stormtap
