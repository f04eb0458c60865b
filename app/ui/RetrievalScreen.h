#pragma once

#include <QGroupBox>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace stormtap {

// The retrieval screen, frame(1): round times and counter, the status list, the
// progress bar and the STOP sign.
class RetrievalScreen : public QGroupBox {
    Q_OBJECT
public:
    explicit RetrievalScreen(QWidget *parent = nullptr);

    std::array<QLabel *, 2> lblTime{};
    std::array<QLineEdit *, 2> RtrvTime{}; // 0 last check, 1 next
    QLabel *lblDL = nullptr;
    QListWidget *List3 = nullptr;
    QLabel *Label6 = nullptr;           // "Loop"
    std::array<QLineEdit *, 2> Text4{}; // 0 round, 1 rounds
    QLabel *Label5 = nullptr;           // "of"
    QLabel *lblPB = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QPushButton *cmdRtrvStop = nullptr;
};

} // namespace stormtap
