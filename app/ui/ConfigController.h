#pragma once

#include "state/State.h"

#include <QObject>

#include <memory>

namespace stormtap {

class FetchListEditor;
class SetupPage;
class frmMain;

// GLAVEN.CFG on the window: loading it into the state and the pages, the
// setup-field fill, Save, and the handlers of the Setup page. The Radar Sites
// page's handlers live in FetchListEditor.
class ConfigController : public QObject {
    Q_OBJECT
public:
    ConfigController(State &state, frmMain &window);
    ~ConfigController() override;

    // Loads GLAVEN.CFG into the settings, the fetch list, List2 and the product
    // flags. A file that cannot be used is reported and changes nothing; false then.
    // Retrieve loads the file twice (for the fields, then for the run): with
    // `repeatReport` false a problem that the last load reported is not shown again.
    bool GetConfig(bool repeatReport = true);
    void fillSetupFields();
    // Writes GLAVEN.CFG; false when it was refused or failed (the user has been told).
    bool save();

    QString configPath() const;
    // Whether a GLAVEN.CFG has been saved: without one there is nothing to fetch.
    bool configSaved() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SetupPage &page() const;
    void connectHandlers();

    void sliderMoved(int index);
    void infiniteChanged(bool checked);
    void namingOptionSelected(int index);
    void imageDirectoryLeft();
    void setSliderQuietly(int index, int position);
    void enableStartWith(bool enabled);
    // Tells once which entries name no catalogue site; a load that may not show
    // messages (the one inside a run) leaves the last report as it is.
    void reportUnknownSites(const std::vector<UnknownSiteEntry> &entries, bool mayShow);

    State &m_state;
    frmMain &m_window;
    std::unique_ptr<FetchListEditor> m_fetchList;
    QString m_lastProblem;      // of the last load, empty when it succeeded
    QString m_lastUnknownSites; // the last report of unknown-site entries
};

} // namespace stormtap
