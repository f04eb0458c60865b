#pragma once

#include <QListWidget>

namespace stormtap {

// A list box that keeps its lines in alphabetical order, letters compared without
// regard to case, whatever order they are added in.
class SortedListBox : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
    void addLine(const QString &line);
};

} // namespace stormtap
