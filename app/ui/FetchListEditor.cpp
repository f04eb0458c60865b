#include "FetchListEditor.h"

#include "RadarSitesPage.h"
#include "SortedListBox.h"
#include "frmMain.h"
#include "state/Products.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

namespace stormtap {

FetchListEditor::FetchListEditor(State &state, frmMain &window, RadarSitesPage &page)
    : m_state(state), m_window(window), m_page(page)
{
    connect(m_page.List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedSite() >= 0)
            siteSelected();
    });
    // toggled, not clicked: a box set by these steps runs the same check.
    for (int i = 0; i < ProductCount; ++i)
        connect(m_page.cfgCheckNIDS[i], &QCheckBox::toggled, this, [this, i] { boxChanged(i); });
    connect(m_page.cmdConfigAdd, &QPushButton::clicked, this, &FetchListEditor::add);
    connect(m_page.cmdConfigClear, &QPushButton::clicked, this, &FetchListEditor::clear);
}

int FetchListEditor::selectedSite() const
{
    const QList<QListWidgetItem *> selected = m_page.List1->selectedItems();
    if (selected.isEmpty())
        return -1;
    return m_window.SiteSearch(selected.first()->text());
}

bool FetchListEditor::offered(int product) const
{
    const QCheckBox *box = m_page.cfgCheckNIDS[product];
    return box->isChecked() && box->isEnabled();
}

bool FetchListEditor::anyOffered() const
{
    for (int j = 0; j < ProductCount; ++j) {
        if (offered(j))
            return true;
    }
    return false;
}

void FetchListEditor::siteSelected()
{
    const int site = selectedSite();
    m_page.cmdConfigAdd->setEnabled(false);
    for (int j = 0; j < ProductCount; ++j) {
        QCheckBox *box = m_page.cfgCheckNIDS[j];
        const bool chosen = m_state.Sites[site].ProductChosen[j] != 0;
        box->setEnabled(false);
        box->setChecked(chosen);
        if (!chosen)
            box->setEnabled(true);
    }
    m_page.cmdConfigAdd->setEnabled(false);
}

void FetchListEditor::showSelectedSite()
{
    if (selectedSite() >= 0)
        siteSelected();
}

void FetchListEditor::boxChanged(int index) { m_page.cmdConfigAdd->setEnabled(offered(index) || anyOffered()); }

void FetchListEditor::add()
{
    const int site = selectedSite();
    if (site < 0)
        return;
    for (int j = 0; j < ProductCount; ++j)
        ProductNames[j] = QLatin1String(Products[j].listName);
    SiteRecord &record = m_state.Sites[site];
    for (int j = 0; j < ProductCount; ++j) {
        QCheckBox *box = m_page.cfgCheckNIDS[j];
        record.ProductChosen[j] = box->isChecked() ? 1 : 0;
        if (offered(j)) {
            m_page.List2->addItem(paddedSiteName(record.DisplayLine) + QLatin1Char(' ') + ProductNames[j]);
            box->setEnabled(false);
        }
    }
    m_page.cmdConfigAdd->setEnabled(false);
}

void FetchListEditor::clear()
{
    m_page.List2->clear();
    for (int i = 0; i <= m_state.LastSiteIndex; ++i)
        m_state.Sites[i].ProductChosen = {};
    m_state.UnknownSiteEntries.clear();
    if (selectedSite() < 0)
        return;
    for (QCheckBox *box : m_page.cfgCheckNIDS) {
        box->setChecked(false);
        box->setEnabled(true);
    }
}

} // namespace stormtap
