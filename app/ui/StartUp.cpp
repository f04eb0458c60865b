#include "StartUp.h"

#include "MessageBox.h"
#include "catalogue/Catalogue.h"
#include "frmMain.h"

#include <QDir>

namespace stormtap {

namespace {
QString missingSitesNotice(const QString &sitesPath)
{
    return QStringLiteral("The site list is empty: %1 was missing, and an empty one has been created.\n"
                          "Put the radar sites into that file (the program ships with one) and start "
                          "Stormtap again to choose sites on the \"Radar Sites\" page.")
        .arg(sitesPath);
}
} // namespace

std::unique_ptr<frmMain> startUp(State &state, const QString &programDirectory)
{
    state.EntryCount = 0;
    state.LastSiteIndex = 0;
    state.RequestTimeoutSeconds = 60;

    state.ProgramDirectory = QDir::toNativeSeparators(QDir(programDirectory).absolutePath());
    if (!state.ProgramDirectory.endsWith(QDir::separator()))
        state.ProgramDirectory += QDir::separator();

    const QString sitesPath = state.ProgramDirectory + QStringLiteral("SITES.DAT");
    const SitesFile sites = openSitesFile(sitesPath);

    auto window = std::make_unique<frmMain>(state);
    window->emptySiteList();

    QString problem = sites.problem;
    const QString readProblem = readCatalogue(sites.bytes, state);
    if (problem.isEmpty() && !readProblem.isEmpty())
        problem = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(sitesPath), readProblem);
    // One message for one cause: a file that could not be made or read is
    // reported as such, an empty one made in place of a missing one is
    // explained; the next start finds that file and says nothing.
    QString notice;
    if (!problem.isEmpty()) {
        notice = problem + QLatin1Char('\n') +
                 (state.LastSiteIndex < 0 ? QStringLiteral("The program starts with an empty catalogue.")
                                          : QStringLiteral("The program starts with the sites read so far."));
    } else if (sites.created) {
        notice = missingSitesNotice(QDir::toNativeSeparators(sitesPath));
    }

    window->giveButtonsStartUpLook();
    window->show();
    window->activateWindow();

    if (!notice.isEmpty())
        showMessage(window.get(), QMessageBox::Warning, QStringLiteral("Stormtap"), notice);
    return window;
}

} // namespace stormtap
