#include "RetrievalScreen.h"

#include "Look.h"
#include "Twips.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace stormtap {

namespace {

QLabel *label(QWidget *parent, const QString &name, const char *caption, int left, int top, int width, int height)
{
    auto *control = new QLabel(QLatin1String(caption), parent);
    control->setObjectName(name);
    placeAt(control, left, top, width, height);
    // The stand-in font runs a little wider than the design's; the gap before
    // the next control leaves room for that.
    control->resize(qMax(control->width(), control->sizeHint().width()), control->height());
    return control;
}

// A display field: shows values, takes no focus.
QLineEdit *display(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *control = new QLineEdit(parent);
    control->setObjectName(name);
    placeAt(control, left, top, width, 288);
    control->setFocusPolicy(Qt::NoFocus);
    control->setReadOnly(true);
    return control;
}

} // namespace

RetrievalScreen::RetrievalScreen(QWidget *parent) : QGroupBox(QStringLiteral("Retrieval"), parent)
{
    setObjectName(QStringLiteral("frame(1)"));
    setAutoFillBackground(true);

    lblTime[0] = label(this, QStringLiteral("lblTime(0)"), "Last Check", 720, 396, 792, 192);
    RtrvTime[0] = display(this, QStringLiteral("RtrvTime(0)"), 1560, 360, 1692);
    lblTime[1] = label(this, QStringLiteral("lblTime(1)"), "Next", 3444, 396, 324, 192);
    RtrvTime[1] = display(this, QStringLiteral("RtrvTime(1)"), 3840, 360, 1692);

    lblDL = label(this, QStringLiteral("lblDL"), "DOWNLOADING", 2004, 744, 2364, 348);
    lblDL->setAlignment(Qt::AlignCenter);
    lblDL->setFont(designFont(QStringLiteral("MS Sans Serif"), 13.5, false, true));
    setTextColour(lblDL, QColor(0x00, 0x00, 0xFF));
    lblDL->hide();

    List3 = new QListWidget(this);
    List3->setObjectName(QStringLiteral("List3"));
    placeAt(List3, 360, 1200, 5655, 2040);
    List3->setFont(designFont(QStringLiteral("Courier New"), 7.5));

    Label6 = label(this, QStringLiteral("Label6(0)"), "Loop", 2064, 3504, 384, 240);
    Text4[0] = display(this, QStringLiteral("Text4(0)"), 2520, 3480, 372);
    Label5 = label(this, QStringLiteral("Label5(1)"), "of", 3000, 3504, 132, 252);
    Text4[1] = display(this, QStringLiteral("Text4(1)"), 3240, 3480, 372);

    lblPB = label(this, QStringLiteral("lblPB"), "Status:", 480, 3990, 750, 300);
    lblPB->setFont(designFont(QStringLiteral("MS Sans Serif"), 12));
    setTextColour(lblPB, QColor(0x40, 0x00, 0x00));

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    placeAt(ProgressBar, 1335, 4005, 3975, 255);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    cmdRtrvStop = new QPushButton(this);
    cmdRtrvStop->setObjectName(QStringLiteral("cmdRtrvStop"));
    placeAt(cmdRtrvStop, 5640, 3840, 540, 540);
    cmdRtrvStop->setIcon(QIcon(QStringLiteral(":/pictures/stop.svg")));
    cmdRtrvStop->setIconSize(QSize(32, 32));
    cmdRtrvStop->setFlat(true);
    cmdRtrvStop->setAutoDefault(true); // Return and Enter press it, as Space does
    cmdRtrvStop->setToolTip(QStringLiteral("STOP"));
}

} // namespace stormtap
