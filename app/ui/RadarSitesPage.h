#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace stormtap {

class SortedListBox;

// Whether an option's caption fits between its circle and its right edge.
bool captionFits(const QRadioButton *option);

// The "Radar Sites" page of the configuration screen: region options, the site
// list, the product boxes and the fetch list, laid out in twips from the
// top-left corner of the tab control.
class RadarSitesPage : public QWidget {
    Q_OBJECT
public:
    explicit RadarSitesPage(QWidget *parent = nullptr);

    QGroupBox *cfgFrame = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 9> optConfig{}; // index = region number, 8 = all
    SortedListBox *List1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QCheckBox *, 6> cfgCheckNIDS{}; // index = product index
    QPushButton *cmdConfigAdd = nullptr;
    QListWidget *List2 = nullptr;
    QPushButton *cmdConfigClear = nullptr;
    QPushButton *saveButton = nullptr; // SSCommand1(2)
    QPushButton *exitButton = nullptr; // SSCommand1(3)
};

} // namespace stormtap
