#pragma once

#include "CollectionModel.h"
#include "CollectionSource.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

class QLabel;
class QStackedWidget;

namespace stormtap::viewer {

class LoopView;
class OverviewView;

// The viewer's one window: the overview of the collection, and the loop of one
// entry in its place. Changes in the image directory reach both within a second.
class ViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit ViewerWindow(const CollectionSource &source, QWidget *parent = nullptr);

    CollectionModel *model() { return &m_model; }
    OverviewView *overview() const { return m_overview; }
    LoopView *loop() const { return m_loop; }

    void openLoop(int row);
    void showOverview();

private:
    void updateSummary();
    void watchDirectory();
    void onDirectoryChanged();

    CollectionModel m_model;
    QFileSystemWatcher m_watcher;
    QTimer m_settle; // lets a burst of changes (a rotation renames nine files) end first
    QStackedWidget *m_pages;
    OverviewView *m_overview;
    LoopView *m_loop;
    QLabel *m_problem;
    QLabel *m_summary;
    bool m_discover = false;
};

} // namespace stormtap::viewer
