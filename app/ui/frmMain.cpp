#include "frmMain.h"

#include "ConfigController.h"
#include "Controls.h"
#include "Look.h"
#include "MessageBox.h"
#include "RadarSitesPage.h"
#include "RetrievalController.h"
#include "RetrievalScreen.h"
#include "SetupPage.h"
#include "SortedListBox.h"
#include "TrayController.h"
#include "Twips.h"
#include "catalogue/Catalogue.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>

#include <cstdio>
#include <cstdlib>

// The pictures are built into the static ui library; they must be registered
// before the first use.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace stormtap {

std::function<void()> frmMain::exitProcess = [] {
    std::fflush(nullptr);
    std::_Exit(0); // at once: no handler, no unload, nothing saved
};

ConfigTabs::ConfigTabs(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SSTab1"));
    setAutoFillBackground(true);
    pages = new QStackedWidget(this);
    setup = new SetupPage;
    radarSites = new RadarSitesPage;
    pages->addWidget(setup);
    pages->addWidget(radarSites);
    tabs = new QTabBar(this);
    tabs->addTab(QStringLiteral("Setup"));
    tabs->addTab(QStringLiteral("Radar Sites"));
    tabs->setExpanding(true);
    connect(tabs, &QTabBar::currentChanged, pages, &QStackedWidget::setCurrentIndex);
}

frmMain::frmMain(State &state, QWidget *parent) : QWidget(parent), state(state)
{
    registerPictures();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zavevazor ARIDUR"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/program-icon.svg")));
    setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));
    setFixedSize(twips(7770), twips(5460));
    move(twips(1275), twips(1545));

    buildStartView();

    SSTab1 = new ConfigTabs(this);
    placeAt(SSTab1, 1380, 840, 6300, 4590);
    SSTab1->pages->setGeometry(0, 0, SSTab1->width(), SSTab1->height());
    SSTab1->tabs->setGeometry(0, 0, SSTab1->width(), twips(420));
    SSTab1->hide();
    SSCommand1 = {SSTab1->setup->saveButton, SSTab1->setup->exitButton, SSTab1->radarSites->saveButton,
                  SSTab1->radarSites->exitButton};

    frame1 = new RetrievalScreen(this);
    placeAt(frame1, 1395, 840, 6300, 4590);
    frame1->hide();

    m_config = std::make_unique<ConfigController>(state, *this);
    m_retrieval = std::make_unique<RetrievalController>(state, *this);
    // The load step: the tray icon and the minimise interception.
    m_tray = std::make_unique<TrayController>(*this);

    connectHandlers();
}

frmMain::~frmMain() = default;

void frmMain::buildStartView()
{
    Label1 = new QLabel(QStringLiteral("ZURE Reruruzed Erezoz"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeAt(Label1, 1608, 120, 4380, 528);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFrameShape(QFrame::Box);
    Label1->setFont(designFont(QStringLiteral("Times New Roman"), 19.5, true));
    setColours(Label1, Qt::white, QColor(0x00, 0xC0, 0xC0));

    Label4 = new QLabel(QStringLiteral("Stormtap"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    placeAt(Label4, 1920, 1680, 5292, 2052);
    Label4->setFont(designFont(QStringLiteral("Comic Sans MS"), 48, false, true));
    setTextColour(Label4, QColor(0xFF, 0xFF, 0x00));

    Command1[0] = commandButton(this, indexedName("Command1", 0), QStringLiteral("Configure"), QColor(0xC0, 0x00, 0x00),
                                60, 1065, 1290, 615);
    Command1[1] = commandButton(this, indexedName("Command1", 1), QStringLiteral("Retrieve"), QColor(0x00, 0x00, 0xFF),
                                60, 1800, 1290, 615);
    cmdExit = commandButton(this, QStringLiteral("cmdExit"), QStringLiteral("EXIT"), QColor(0x00, 0x00, 0x40), 360,
                            5040, 732, 372);
    SSCommand2 = commandButton(this, QStringLiteral("SSCommand2"), QStringLiteral("Credits && Thanks"),
                               QColor(0xFF, 0x00, 0x00), 5520, 4980, 2055, 270);

    // The two tray pictures live in hidden image controls, as the design has them.
    const char *pictures[] = {":/pictures/tray-normal.svg", ":/pictures/tray-alert.svg"};
    for (int i = 0; i < 2; ++i) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        placeAt(image, 120 + 600 * i, 360, 480, 480);
        image->setPixmap(QIcon(QLatin1String(pictures[i])).pixmap(32, 32));
        image->hide();
        (i == 0 ? Image1 : Image2) = image;
    }
}

void frmMain::connectHandlers()
{
    for (int i = 0; i < 2; ++i)
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1Click(i); });
    for (int i = 0; i < 4; ++i)
        connect(SSCommand1[i], &QPushButton::clicked, this, [this, i] { SSCommand1Click(i); });
    connect(frame1->cmdRtrvStop, &QPushButton::clicked, this, &frmMain::cmdRtrvStopClick);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExitClick);
    connect(SSCommand2, &QPushButton::clicked, this, &frmMain::SSCommand2Click);
    const auto &regions = SSTab1->radarSites->optConfig;
    for (int r = 0; r < int(regions.size()); ++r) {
        connect(regions[r], &QRadioButton::toggled, this, [this, r](bool selected) {
            if (selected)
                regionSelected(r);
        });
    }
}

int frmMain::SiteSearch(const QString &ID) const { return stormtap::SiteSearch(state, ID); }

void frmMain::GetConfig() { m_config->GetConfig(); }

void frmMain::giveButtonsStartUpLook()
{
    for (QPushButton *button : Command1)
        button->setFont(designFont(QStringLiteral("MS Sans Serif"), 12));
}

void frmMain::emptySiteList() { SSTab1->radarSites->List1->clear(); }

void frmMain::Command1Click(int index)
{
    // A screen counts as shown when it is not hidden inside the window, even
    // while the window itself sits hidden in the tray.
    const bool configShown = !SSTab1->isHidden();
    const bool retrievalShown = !frame1->isHidden();
    if (index == 0) {
        if (retrievalShown) {
            showMessage(this, QMessageBox::Critical, QStringLiteral("ERROR"),
                        QStringLiteral("Close RETRIEVAL form first!"));
            return;
        }
        if (configShown)
            return;
    } else {
        if (configShown) {
            showMessage(this, QMessageBox::Critical, QStringLiteral("ERROR"),
                        QStringLiteral("Close SETUP form first!"));
            return;
        }
        // A stopped run may still be unwinding: a new one starts only after it.
        if (retrievalShown || m_retrieval->isRunning())
            return;
        if (!m_config->configSaved()) {
            showMessage(this, QMessageBox::Information, QStringLiteral("Stormtap"),
                        QStringLiteral("There is nothing to fetch yet: no settings have been saved.\n"
                                       "Press Configure, enter the WWW server, choose sites and products on the "
                                       "\"Radar Sites\" page, press Add and then Save."));
            return;
        }
    }

    const bool loaded = m_config->GetConfig();
    m_config->fillSetupFields();

    if (index == 0) {
        SSTab1->show();
        SSTab1->raise();
        SSTab1->setFocus();
        return;
    }
    // The broken file has been reported; without a fetch list held from an
    // earlier load, a run would only count empty rounds.
    if (!loaded && state.EntryCount == 0)
        return;
    frame1->show();
    frame1->raise();
    frame1->cmdRtrvStop->setFocus();
    m_retrieval->run();
}

void frmMain::SSCommand1Click(int index)
{
    const bool isSave = index == 0 || index == 2;
    if (isSave && !m_config->save())
        return; // the user has been told why; the page stays open
    SSTab1->hide();
    Command1[1]->setFocus();
}

void frmMain::cmdRtrvStopClick()
{
    m_retrieval->stop();
    frame1->hide();
}

void frmMain::cmdExitClick()
{
    m_retrieval->roundSwitchOff();
    m_tray->remove();
    exitProcess();
}

void frmMain::SSCommand2Click()
{
    showMessage(this, QMessageBox::Information, QStringLiteral("Stormtap V1.0x"),
                QStringLiteral("Stormtap V1.0x\n"
                               "Keeps the latest NEXRAD radar pictures at hand.\n"
                               "Thanks to the NWS for the radar network."));
}

void frmMain::regionSelected(int region) { fillSiteList(region); }

void frmMain::fillSiteList(int region)
{
    SortedListBox *list = SSTab1->radarSites->List1;
    list->clear();
    for (const QString &line : regionSiteLines(state, region))
        list->addLine(line);
}

bool frmMain::event(QEvent *event)
{
    // The window becomes the program's active window once, when start-up shows
    // it. Later activations (back from another program, a message box closed, a
    // restore from the tray) must leave List1, its selection and the region as
    // they are. The first show counts too, for a desktop that never activates it.
    const QEvent::Type type = event->type();
    if ((type == QEvent::WindowActivate || type == QEvent::Show) && !m_siteListFilled) {
        m_siteListFilled = true;
        fillSiteList(AllRegions);
    }
    return QWidget::event(event);
}

void frmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        if (m_tray->minimiseRequested())
            return;
    }
    QWidget::changeEvent(event);
}

void frmMain::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The window's own close control ends the program like EXIT, after taking
    // the tray icon away.
    event->accept();
    m_retrieval->roundSwitchOff();
    m_tray->remove();
    exitProcess();
}

} // namespace stormtap
