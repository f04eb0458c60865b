#include "SetupPage.h"

#include "Controls.h"
#include "Look.h"
#include "Twips.h"
#include "config/FirstRunSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace stormtap {

namespace {

struct FieldRow {
    int index;
    const char *label;
    int labelLeft, labelTop, labelWidth;
    int fieldLeft, fieldTop, fieldWidth;
    QColor colour;
};

const QColor Brown(0xC0, 0x40, 0x00);
const QColor Navy(0x00, 0x00, 0xC0);

// Label3(i) and txtConfigSetup(i), in the order of the design's table.
const FieldRow FieldRows[] = {
    {0, "WWW Server", 120, 240, 1212, 1200, 240, 1932, Brown},
    {5, "Port", 3360, 240, 492, 3720, 240, 492, Brown},
    {1, "Username", 360, 840, 852, 1200, 840, 852, Brown},
    {2, "Password", 2280, 840, 852, 3120, 810, 852, Brown},
    {6, "Image Directory", 120, 1320, 1452, 1560, 1320, 2652, Brown},
    {3, "Refresh Every :", 1800, 2400, 1212, 3000, 2400, 1092, Navy},
    {4, "Loop Count:", 1320, 3240, 972, 2280, 3240, 492, Navy},
};

QFrame *rule(QWidget *parent, int left, int top, int width, int height, QFrame::Shape shape)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    placeAt(line, left, top, width, height);
    return line;
}

QSlider *slider(QWidget *parent, int index, int top, int low, int high, int page, int tick, int start)
{
    auto *control = new QSlider(Qt::Horizontal, parent);
    control->setObjectName(indexedName("sldConfig", index));
    placeAt(control, 960, top, 3855, 375);
    control->setRange(low, high);
    control->setSingleStep(1);
    control->setPageStep(page);
    control->setTickInterval(tick);
    control->setTickPosition(QSlider::TicksBelow);
    control->setValue(start);
    return control;
}

} // namespace

SetupPage::SetupPage(QWidget *parent) : QWidget(parent)
{
    cfgFrame = new QGroupBox(this);
    cfgFrame->setObjectName(QStringLiteral("cfgFrame(0)"));
    placeAt(cfgFrame, 90, 420, 6012, 3612);

    for (const FieldRow &row : FieldRows) {
        auto *label = new QLabel(QLatin1String(row.label), cfgFrame);
        label->setObjectName(indexedName("Label3", row.index));
        placeAt(label, row.labelLeft, row.labelTop, row.labelWidth, 252);
        setTextColour(label, row.colour);
        Label3[row.index] = label;

        auto *field = new QLineEdit(cfgFrame);
        field->setObjectName(indexedName("txtConfigSetup", row.index));
        placeAt(field, row.fieldLeft, row.fieldTop, row.fieldWidth, 288);
        txtConfigSetup[row.index] = field;
    }
    txtConfigSetup[2]->setEchoMode(QLineEdit::Password);
    txtConfigSetup[2]->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }")); // "*"
    // The two displays are written by the page only.
    for (int display : {3, 4}) {
        txtConfigSetup[display]->setFocusPolicy(Qt::NoFocus);
        txtConfigSetup[display]->setReadOnly(true);
    }

    frameFileName = new QGroupBox(QStringLiteral("File Names"), cfgFrame);
    frameFileName->setObjectName(QStringLiteral("frameFileName"));
    placeAt(frameFileName, 4440, 192, 1440, 1392);
    setColours(frameFileName, Qt::white, Qt::black);
    const char *namings[] = {"Time Stamp", "Sequential"};
    for (int i = 0; i < 2; ++i) {
        optFName[i] = new QRadioButton(QLatin1String(namings[i]), frameFileName);
        optFName[i]->setObjectName(indexedName("optFName", i));
        placeAt(optFName[i], 120, 240 + 360 * i, 1212, 252);
        setTextColour(optFName[i], QColor(0xFF, 0xFF, 0x00));
    }
    optFName[1]->setChecked(true);
    lblStart = new QLabel(QStringLiteral("Start With"), frameFileName);
    lblStart->setObjectName(QStringLiteral("lblStart"));
    // The design's 492 twips reach 60 under txtStart, which would cover the end
    // of the caption; it ends where the field begins and wraps to two lines.
    placeAt(lblStart, 276, 888, 708 - 276, 372);
    lblStart->setWordWrap(true);
    lblStart->setFont(designFont(QStringLiteral("Small Fonts"), 6.75));
    setTextColour(lblStart, QColor(0x00, 0xC0, 0xC0));
    txtStart = new QLineEdit(QStringLiteral("1"), frameFileName);
    txtStart->setObjectName(QStringLiteral("txtStart"));
    placeAt(txtStart, 708, 924, 372, 288);

    rule(cfgFrame, 0, 1680, 6000, 30, QFrame::HLine)->setObjectName(QStringLiteral("Line1"));
    rule(cfgFrame, 4320, 120, 30, 1560, QFrame::VLine)->setObjectName(QStringLiteral("Line2"));

    sldConfig[0] = slider(cfgFrame, 0, 1800, 3, 60, 5, 6, FirstRefreshMinutes);
    sldConfig[1] = slider(cfgFrame, 1, 2760, 1, 100, 10, 5, FirstLoopCount);

    Check1 = new QCheckBox(QStringLiteral("Infinite"), cfgFrame);
    Check1->setObjectName(QStringLiteral("Check1"));
    placeAt(Check1, 3600, 3240, 1332, 252);
    setTextColour(Check1, Navy);

    addSaveAndExit(this, 0, saveButton, exitButton);

    setTabOrder(txtConfigSetup[0], txtConfigSetup[5]);
    setTabOrder(txtConfigSetup[5], txtConfigSetup[1]);
    setTabOrder(txtConfigSetup[1], txtConfigSetup[2]);
    setTabOrder(txtConfigSetup[2], txtConfigSetup[6]);
}

} // namespace stormtap
