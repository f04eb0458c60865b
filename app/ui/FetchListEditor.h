#pragma once

#include "state/State.h"

#include <QObject>
#include <QString>

#include <array>

namespace stormtap {

class RadarSitesPage;
class frmMain;

// The Radar Sites page's handlers: a site picked in List1 shows its products in
// the boxes, Add puts the ticked ones into the fetch list, Clear empties it. The
// catalogue's ProductChosen flags are what lasts; List2 and the boxes show them.
class FetchListEditor : public QObject {
    Q_OBJECT
public:
    FetchListEditor(State &state, frmMain &window, RadarSitesPage &page);

    // Runs the site-selection steps again when a line of List1 is selected, so
    // that its boxes show the flags as they are now.
    void showSelectedSite();

    // The list names of the products, filled anew by every Add.
    std::array<QString, ProductCount> ProductNames;

private:
    void siteSelected();
    void boxChanged(int index);
    void add();
    void clear();

    // The site of the selected line of List1, or -1 when no line is selected.
    int selectedSite() const;
    bool offered(int product) const; // checked and enabled: ticked, not yet added
    bool anyOffered() const;

    State &m_state;
    frmMain &m_window;
    RadarSitesPage &m_page;
};

} // namespace stormtap
