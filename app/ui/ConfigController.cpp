#include "ConfigController.h"

#include "FetchListEditor.h"
#include "MessageBox.h"
#include "RadarSitesPage.h"
#include "RetrievalController.h"
#include "SetupPage.h"
#include "catalogue/LeadingNumber.h"
#include "config/ConfigLocation.h"
#include "config/ConfigReader.h"
#include "config/ConfigWriter.h"
#include "config/ImageDirectory.h"
#include "frmMain.h"
#include "retrieval/ImageFetch.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <limits>

namespace stormtap {

namespace {
constexpr int MostRounds = 100; // the loop slider's top
constexpr int MostListedEntries = 10;

QString unknownSitesText(const QString &configPath, const std::vector<UnknownSiteEntry> &entries)
{
    QString text = QStringLiteral("%1 holds entries for sites that are not in the site list (SITES.DAT):\n")
                       .arg(QDir::toNativeSeparators(configPath));
    for (int i = 0; i < int(entries.size()) && i < MostListedEntries; ++i)
        text += QStringLiteral("    ") + entries[i].DisplayText.simplified() + QLatin1Char('\n');
    if (int(entries.size()) > MostListedEntries)
        text += QStringLiteral("    and %1 more\n").arg(int(entries.size()) - MostListedEntries);
    return text + QStringLiteral("They stay in the fetch list and are saved as they are; Clear removes them.");
}
} // namespace

ConfigController::ConfigController(State &state, frmMain &window)
    : m_state(state), m_window(window),
      m_fetchList(std::make_unique<FetchListEditor>(state, window, *window.SSTab1->radarSites))
{
    connectHandlers();
}

ConfigController::~ConfigController() = default;

SetupPage &ConfigController::page() const { return *m_window.SSTab1->setup; }

QString ConfigController::configPath() const { return configFilePath(m_state.ProgramDirectory); }

void ConfigController::connectHandlers()
{
    SetupPage &setup = page();
    // Values set from the program go through setSliderQuietly, so only the user's
    // moves reach the handler.
    for (int i = 0; i < 2; ++i)
        connect(setup.sldConfig[i], &QSlider::valueChanged, this, [this, i] { sliderMoved(i); });
    connect(setup.Check1, &QCheckBox::toggled, this, &ConfigController::infiniteChanged);
    for (int i = 0; i < 2; ++i) {
        connect(setup.optFName[i], &QRadioButton::toggled, this, [this, i](bool selected) {
            if (selected)
                namingOptionSelected(i);
        });
    }
    setup.txtConfigSetup[6]->installEventFilter(this);
}

bool ConfigController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == page().txtConfigSetup[6] && event->type() == QEvent::FocusOut) {
        // A context menu or a switch to another program leaves the user editing.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            imageDirectoryLeft();
    }
    return QObject::eventFilter(watched, event);
}

bool ConfigController::GetConfig(bool repeatReport)
{
    m_window.retrieval()->receiveState().TransferComplete = false;
    const auto startWith = qint16(leadingInteger(page().txtStart->text(), std::numeric_limits<qint16>::min(),
                                                 std::numeric_limits<qint16>::max()));
    const LoadedConfig config = loadConfig(configPath(), m_state, startWith);
    if (!config.ok()) {
        if (repeatReport || config.problem != m_lastProblem) {
            showMessage(&m_window, QMessageBox::Warning, QStringLiteral("Stormtap"),
                        config.problem + QStringLiteral("\nThe settings and the fetch list in use are kept."));
        }
        m_lastProblem = config.problem;
        return false;
    }
    m_lastProblem.clear();
    applyConfig(config, m_state);
    QListWidget *list2 = m_window.SSTab1->radarSites->List2;
    list2->clear();
    for (const SelectionEntry &entry : config.entries)
        list2->addItem(entry.DisplayText);
    enableStartWith(m_state.settings.NamingMode != 0);
    // The flags may have changed under the selected site: its boxes show them anew.
    m_fetchList->showSelectedSite();
    reportUnknownSites(config.unknownSiteEntries, repeatReport);
    return true;
}

void ConfigController::reportUnknownSites(const std::vector<UnknownSiteEntry> &entries, bool mayShow)
{
    if (!mayShow)
        return;
    const QString text = entries.empty() ? QString() : unknownSitesText(configPath(), entries);
    if (!text.isEmpty() && text != m_lastUnknownSites)
        showMessage(&m_window, QMessageBox::Information, QStringLiteral("Stormtap"), text);
    m_lastUnknownSites = text;
}

bool ConfigController::configSaved() const { return QFileInfo::exists(configPath()); }

void ConfigController::fillSetupFields()
{
    SetupPage &setup = page();
    Settings &settings = m_state.settings;
    auto &fields = setup.txtConfigSetup;
    fields[0]->setText(settings.Server);
    fields[1]->setText(settings.UserName);
    fields[2]->setText(settings.Password);
    fields[5]->setText(QString::number(settings.Port));
    fields[6]->setText(settings.ImageDirectory);
    fields[6]->setCursorPosition(0); // a long path shows where it starts

    // Values outside a slider's range put it at the nearest end and are kept.
    setSliderQuietly(0, qRound(std::clamp(settings.RefreshMinutes, 3.0, 60.0)));
    fields[3]->setText(decimalText(settings.RefreshMinutes) + QStringLiteral(" Minutes"));

    if (settings.LoopCount <= MostRounds) {
        const qint16 rounds = settings.LoopCount;
        setup.Check1->setChecked(false);
        setup.sldConfig[1]->setEnabled(true);
        fields[4]->setEnabled(true);
        setSliderQuietly(1, rounds);
        fields[4]->setText(QString::number(rounds));
        settings.LoopCount = rounds;
    } else {
        setSliderQuietly(1, MostRounds);
        fields[4]->clear();
        setup.Check1->setChecked(true);
    }

    // Any mode but 0 names files by sequence number; a mode other than 0 and 1,
    // from a hand-edited file, is kept as read, like the slider values.
    const quint8 mode = settings.NamingMode;
    setup.optFName[mode == 0 ? 0 : 1]->setChecked(true);
    settings.NamingMode = mode;
    enableStartWith(mode != 0);
}

bool ConfigController::save()
{
    const auto &fields = page().txtConfigSetup;
    const ConfigFields texts{fields[0]->text(), fields[5]->text(), fields[1]->text(), fields[2]->text(),
                             fields[6]->text()};
    const QString path = configPath();
    QString problem = makeConfigDirectory(path);
    if (problem.isEmpty())
        problem = writeConfig(path, texts, m_state);
    if (!problem.isEmpty()) {
        showMessage(&m_window, QMessageBox::Warning, QStringLiteral("Stormtap"),
                    problem + QStringLiteral("\nNothing has been saved."));
        return false;
    }
    m_state.settings.Server = texts.server.trimmed();
    m_state.settings.Port = *parsePort(texts.port);
    m_state.settings.ImageDirectory = withTrailingSeparator(texts.imageDirectory);
    // Saved all the same: the directory may be made later, or mounted. Only a
    // folder in the user's pictures is made here (the first run's is); a typing
    // error elsewhere must not turn into a new directory.
    const QString directory = imageDirectoryPath(m_state.settings.ImageDirectory, m_state.ProgramDirectory);
    QString directoryProblem = inPicturesFolder(directory) ? createImageDirectory(directory) : QString();
    if (directoryProblem.isEmpty())
        directoryProblem = imageDirectoryProblem(directory);
    if (!directoryProblem.isEmpty()) {
        showMessage(
            &m_window, QMessageBox::Warning, QStringLiteral("Stormtap"),
            QStringLiteral("The settings are saved, but %1: new pictures cannot be stored.").arg(directoryProblem));
    }
    return true;
}

void ConfigController::sliderMoved(int index)
{
    SetupPage &setup = page();
    const int position = setup.sldConfig[index]->value();
    if (index == 0) {
        m_state.settings.RefreshMinutes = position;
        setup.txtConfigSetup[3]->setText(QString::number(position) + QStringLiteral(" Minutes"));
    } else {
        m_state.settings.LoopCount = qint16(position);
        setup.txtConfigSetup[4]->setText(QString::number(position));
    }
}

void ConfigController::infiniteChanged(bool checked)
{
    SetupPage &setup = page();
    setSliderQuietly(1, MostRounds);
    setup.sldConfig[1]->setEnabled(!checked);
    setup.txtConfigSetup[4]->setText(checked ? QString() : QString::number(MostRounds));
    setup.txtConfigSetup[4]->setEnabled(!checked);
    m_state.settings.LoopCount = qint16(checked ? EndlessRounds : MostRounds);
}

void ConfigController::namingOptionSelected(int index)
{
    m_state.settings.NamingMode = quint8(index);
    enableStartWith(index != 0);
}

void ConfigController::imageDirectoryLeft()
{
    QLineEdit *field = page().txtConfigSetup[6];
    m_state.settings.ImageDirectory = withTrailingSeparator(field->text());
    if (field->text() != m_state.settings.ImageDirectory)
        field->setText(m_state.settings.ImageDirectory);
}

void ConfigController::setSliderQuietly(int index, int position)
{
    QSlider *slider = page().sldConfig[index];
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}

void ConfigController::enableStartWith(bool enabled)
{
    page().txtStart->setEnabled(enabled);
    page().lblStart->setEnabled(enabled);
}

} // namespace stormtap
