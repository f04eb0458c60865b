#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace stormtap {

// The "Setup" page of the configuration screen: its controls under the design's
// names, laid out in twips from the top-left corner of the tab control.
class SetupPage : public QWidget {
    Q_OBJECT
public:
    explicit SetupPage(QWidget *parent = nullptr);

    QGroupBox *cfgFrame = nullptr;
    std::array<QLabel *, 7> Label3{};
    std::array<QLineEdit *, 7> txtConfigSetup{};
    QGroupBox *frameFileName = nullptr;
    std::array<QRadioButton *, 2> optFName{};
    QLabel *lblStart = nullptr;
    QLineEdit *txtStart = nullptr;
    std::array<QSlider *, 2> sldConfig{};
    QCheckBox *Check1 = nullptr;
    QPushButton *saveButton = nullptr; // SSCommand1(0)
    QPushButton *exitButton = nullptr; // SSCommand1(1)
};

} // namespace stormtap
