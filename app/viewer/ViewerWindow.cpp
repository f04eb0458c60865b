#include "ViewerWindow.h"

#include "LoopView.h"
#include "OverviewView.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace stormtap::viewer {

ViewerWindow::ViewerWindow(const CollectionSource &source, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("viewerWindow"));
    const QString shownFolder = QDir::toNativeSeparators(source.directory);
    setWindowTitle(source.directory.isEmpty() ? QStringLiteral("Stormtap Viewer")
                                              : QStringLiteral("Stormtap Viewer — %1").arg(shownFolder));
    resize(1000, 720);

    m_problem = new QLabel(source.problem, this);
    m_problem->setObjectName(QStringLiteral("problemLabel"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->setVisible(!source.problem.isEmpty());
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));

    m_overview = new OverviewView(&m_model, this);
    auto *overviewPage = new QWidget(this);
    auto *overviewLayout = new QVBoxLayout(overviewPage);
    overviewLayout->setContentsMargins(0, 0, 0, 0);
    overviewLayout->addWidget(m_summary);
    overviewLayout->addWidget(m_problem);
    overviewLayout->addWidget(m_overview, 1);

    m_loop = new LoopView(this);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(overviewPage);
    m_pages->addWidget(m_loop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);

    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_settle, &QTimer::timeout, this, [this] { m_model.refresh(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ViewerWindow::onDirectoryChanged);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &ViewerWindow::onDirectoryChanged);
    connect(&m_model, &CollectionModel::brokenPicture, this, [this](const QString &path) {
        // A picture still being written completes later: its change brings it in.
        if (!m_watcher.files().contains(path))
            m_watcher.addPath(path);
    });
    connect(&m_model, &CollectionModel::filesChanged, this, [this](int row) {
        if (m_pages->currentWidget() == m_loop && m_model.entry(row).prefix == m_loop->prefix())
            m_loop->updateFiles(m_model.files(row));
    });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &ViewerWindow::updateSummary);
    connect(m_overview, &OverviewView::openRequested, this, &ViewerWindow::openLoop);
    connect(m_loop, &LoopView::backRequested, this, &ViewerWindow::showOverview);

    m_discover = source.discover;
    m_model.setSource(source);
    updateSummary();
    watchDirectory();
    if (m_model.rowCount() > 0)
        m_overview->setCurrentIndex(m_model.index(0));
    m_overview->setFocus();
}

void ViewerWindow::updateSummary()
{
    const QString folder = QDir::toNativeSeparators(m_model.directory());
    const int entries = m_model.rowCount();
    const QFileInfo directory(m_model.directory());
    if (directory.isDir() && !directory.isReadable())
        m_summary->setText(
            QStringLiteral("%1 cannot be read (no permission): its pictures cannot be shown.").arg(folder));
    else if (entries == 1)
        m_summary->setText(QStringLiteral("1 entry in %1").arg(folder));
    else if (entries > 1)
        m_summary->setText(QStringLiteral("%1 entries in %2").arg(entries).arg(folder));
    else if (m_discover)
        m_summary->setText(
            QStringLiteral("No pictures in %1 yet: they show as soon as Stormtap stores them.").arg(folder));
    else
        m_summary->setText(QStringLiteral("The fetch list is empty: choose radar sites in Stormtap, or name a "
                                          "folder of pictures: stormtap-viewer FOLDER"));
}

void ViewerWindow::watchDirectory()
{
    const QString directory = m_model.directory();
    if (directory.isEmpty())
        return;
    // A folder that is not there yet (Stormtap has not stored anything) is
    // waited for in the nearest folder above it that is.
    QString watched = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
    while (!QFileInfo(watched).isDir() && !QDir(watched).isRoot())
        watched = QFileInfo(watched).absolutePath();
    const QStringList before = m_watcher.directories();
    if (before.size() == 1 && before.first() == watched)
        return;
    if (!before.isEmpty())
        m_watcher.removePaths(before);
    if (m_watcher.addPath(watched))
        return;
    // The system's limit of watched folders, most likely: say why nothing new comes.
    const QString message = QStringLiteral("New pictures in %1 cannot be watched for: they show when the viewer is "
                                           "started again.")
                                .arg(QDir::toNativeSeparators(watched));
    if (!m_problem->text().contains(message)) {
        m_problem->setText(m_problem->text().isEmpty() ? message : m_problem->text() + QLatin1Char('\n') + message);
        m_problem->show();
    }
}

void ViewerWindow::onDirectoryChanged()
{
    watchDirectory();
    if (!m_settle.isActive())
        m_settle.start();
}

void ViewerWindow::openLoop(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    m_loop->showEntry(m_model.entry(row), m_model.files(row));
    m_pages->setCurrentWidget(m_loop);
    m_loop->setFocus();
}

void ViewerWindow::showOverview()
{
    m_loop->clearEntry();
    m_pages->setCurrentIndex(0);
    m_overview->setFocus();
}

} // namespace stormtap::viewer
