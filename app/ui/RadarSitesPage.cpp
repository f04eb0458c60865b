#include "RadarSitesPage.h"

#include "Controls.h"
#include "Look.h"
#include "SortedListBox.h"
#include "Twips.h"
#include "state/Products.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <iterator>

namespace stormtap {

namespace {

struct RegionOption {
    int index;
    const char *caption;
    int left, width;
};

// Left to right as they stand in the strip.
const RegionOption RegionOptions[] = {
    {8, "US", 72, 540},          {0, "NE", 636, 492},  {1, "Mid-Atl", 1164, 768},
    {2, "Great Lks", 1920, 948}, {3, "SE", 2880, 492}, {4, "S Plains", 3372, 828},
    {5, "NC", 4248, 492},        {6, "NW", 4764, 528}, {7, "West", 5280, 612},
};

struct ProductBox {
    int left, top, width;
};
const ProductBox ProductBoxes[ProductCount] = {
    {120, 240, 2436}, {120, 480, 2400}, {120, 720, 2448}, {0, 1080, 2448}, {120, 1080, 2436}, {120, 1200, 2436},
};

// A replacement font wider than the design's would run a caption under its
// neighbour: it is made smaller until the caption fits beside the circle.
void fitCaption(QRadioButton *option)
{
    QFont font = option->font();
    while (!captionFits(option) && font.pointSizeF() > 5) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        option->setFont(font);
    }
}

} // namespace

bool captionFits(const QRadioButton *option)
{
    QStyleOptionButton style;
    style.initFrom(option);
    style.text = option->text();
    const QRect place = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
    return option->fontMetrics().horizontalAdvance(option->text()) <= place.width();
}

RadarSitesPage::RadarSitesPage(QWidget *parent) : QWidget(parent)
{
    cfgFrame = new QGroupBox(this);
    cfgFrame->setObjectName(QStringLiteral("cfgFrame(1)"));
    placeAt(cfgFrame, 90, 420, 6012, 3612);

    Frame1 = new QGroupBox(cfgFrame);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    placeAt(Frame1, 0, 0, 6012, 444);
    const int optionCount = int(std::size(RegionOptions));
    for (int i = 0; i < optionCount; ++i) {
        const RegionOption &option = RegionOptions[i];
        auto *control = new QRadioButton(QLatin1String(option.caption), Frame1);
        control->setObjectName(indexedName("optConfig", option.index));
        // NW reaches 12 twips into West, whose circle would cover its "W".
        const int right = i + 1 < optionCount ? RegionOptions[i + 1].left : option.left + option.width;
        placeAt(control, option.left, 120, std::min(option.width, right - option.left), 252);
        control->setFont(designFont(QStringLiteral("Small Fonts"), 6.75, option.index == 8));
        fitCaption(control);
        setTextColour(control, QColor(0x00, 0x40, 0x40));
        optConfig[option.index] = control;
    }
    optConfig[8]->setChecked(true);

    List1 = new SortedListBox(cfgFrame);
    List1->setObjectName(QStringLiteral("List1"));
    placeAt(List1, 360, 600, 2535, 1425);
    // Like the design's list box: a long line is cut, not scrolled.
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Frame2 = new QGroupBox(QStringLiteral("Products"), cfgFrame);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    placeAt(Frame2, 3240, 720, 2610, 1110);
    for (int i = 0; i < ProductCount; ++i) {
        auto *box = new QCheckBox(QLatin1String(Products[i].caption), Frame2);
        box->setObjectName(indexedName("cfgCheckNIDS", i));
        placeAt(box, ProductBoxes[i].left, ProductBoxes[i].top, ProductBoxes[i].width, 252);
        setTextColour(box, QColor(0x00, 0x00, 0x80));
        box->setEnabled(false);
        // Products 3 to 5 take part in every step but are never shown.
        box->setVisible(Products[i].shown);
        cfgCheckNIDS[i] = box;
    }

    cmdConfigAdd = commandButton(cfgFrame, QStringLiteral("cmdConfigAdd"), QStringLiteral("Add"),
                                 QColor(0xC0, 0x00, 0x00), 4272, 2556, 1308, 504);
    cmdConfigAdd->setFont(designFont(QStringLiteral("MS Sans Serif"), 12));

    List2 = new QListWidget(cfgFrame);
    List2->setObjectName(QStringLiteral("List2"));
    placeAt(List2, 60, 2400, 3915, 735);
    List2->setFont(designFont(QStringLiteral("Courier New"), 9));

    cmdConfigClear = commandButton(cfgFrame, QStringLiteral("cmdConfigClear"), QStringLiteral("Clear"),
                                   QColor(0x40, 0x00, 0x00), 1500, 3240, 615, 255);

    addSaveAndExit(this, 2, saveButton, exitButton);
}

} // namespace stormtap
