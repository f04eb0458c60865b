#pragma once

#include "state/State.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTabBar;
class QStackedWidget;

namespace stormtap {

class ConfigController;
class RadarSitesPage;
class RetrievalController;
class RetrievalScreen;
class SetupPage;
class TrayController;

// The configuration screen: two pages under a tab strip. The pages cover the
// whole control, strip included, because their positions are measured from its
// top-left corner; the strip lies on top of them.
class ConfigTabs : public QWidget {
    Q_OBJECT
public:
    explicit ConfigTabs(QWidget *parent = nullptr);
    QTabBar *tabs = nullptr;
    QStackedWidget *pages = nullptr;
    SetupPage *setup = nullptr;
    RadarSitesPage *radarSites = nullptr;
};

// Stormtap's only window: the start view with its two big buttons, the
// configuration screen and the retrieval screen.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(State &state, QWidget *parent = nullptr);
    ~frmMain() override;

    // The operations the handlers share.
    int SiteSearch(const QString &ID) const;
    void GetConfig();

    // Start-up's last touches before the window is shown.
    void giveButtonsStartUpLook();
    void emptySiteList();

    // Ends the program. Replaceable, so that a test can see EXIT without dying.
    static std::function<void()> exitProcess;

    State &state;

    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    std::array<QPushButton *, 2> Command1{}; // 0 Configure, 1 Retrieve
    QPushButton *cmdExit = nullptr;
    QPushButton *SSCommand2 = nullptr;
    ConfigTabs *SSTab1 = nullptr;
    RetrievalScreen *frame1 = nullptr; // frame(1)
    std::array<QPushButton *, 4> SSCommand1{};
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;

    // Set by the fetch when a reply is taken for a new picture; cleared when the
    // tray alert ends.
    bool NewImageAlert = false;

    ConfigController *config() const { return m_config.get(); }
    RetrievalController *retrieval() const { return m_retrieval.get(); }
    TrayController *tray() const { return m_tray.get(); }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildStartView();
    void connectHandlers();

    void Command1Click(int index);
    void SSCommand1Click(int index);
    void cmdRtrvStopClick();
    void cmdExitClick();
    void SSCommand2Click();
    void regionSelected(int region);
    void fillSiteList(int region);

    std::unique_ptr<ConfigController> m_config;
    std::unique_ptr<RetrievalController> m_retrieval;
    std::unique_ptr<TrayController> m_tray;
    bool m_siteListFilled = false;
};

} // namespace stormtap
