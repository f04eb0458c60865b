#include "SortedListBox.h"

#include "catalogue/Catalogue.h"

namespace stormtap {

void SortedListBox::addLine(const QString &line)
{
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (siteLineLess(line, item(middle)->text()))
            high = middle;
        else
            low = middle + 1;
    }
    insertItem(low, line);
}

} // namespace stormtap
