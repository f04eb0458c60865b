#include "RetrievalController.h"

#include "ConfigController.h"
#include "MessageBox.h"
#include "RetrievalScreen.h"
#include "TrayController.h"
#include "frmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

namespace stormtap {

RetrievalController::RetrievalController(State &state, frmMain &window)
    : m_state(state), m_window(window), m_cycle(state, m_clock, *this, [this] { m_window.config()->GetConfig(false); })
{
}

void RetrievalController::run() { m_cycle.run(); }

void RetrievalController::stop() { m_cycle.stop(); }

void RetrievalController::roundSwitchOff() { m_cycle.roundSwitchOff(); }

int RetrievalController::statusLineCount() const { return m_window.frame1->List3->count(); }

void RetrievalController::removeStatusLine(int row) { delete m_window.frame1->List3->takeItem(row); }

void RetrievalController::insertStatusLine(int row, const QString &text)
{
    m_window.frame1->List3->insertItem(row, text);
}

void RetrievalController::clearStatusLines() { m_window.frame1->List3->clear(); }

void RetrievalController::setProgress(int percent) { m_window.frame1->ProgressBar->setValue(percent); }

void RetrievalController::setLastCheck(const QString &text) { m_window.frame1->RtrvTime[0]->setText(text); }

void RetrievalController::setNextCheck(const QString &text) { m_window.frame1->RtrvTime[1]->setText(text); }

void RetrievalController::setRound(const QString &text) { m_window.frame1->Text4[0]->setText(text); }

void RetrievalController::setRounds(const QString &text) { m_window.frame1->Text4[1]->setText(text); }

void RetrievalController::setDownloading(bool shown) { m_window.frame1->lblDL->setVisible(shown); }

void RetrievalController::hideScreen() { m_window.frame1->hide(); }

void RetrievalController::newImageAlert() { m_window.NewImageAlert = true; }

void RetrievalController::alertStart() { m_window.tray()->alertStart(); }

void RetrievalController::accessDenied()
{
    showMessage(&m_window, QMessageBox::Warning, QStringLiteral("Access Denied"),
                QStringLiteral("Username / Password Invalid"));
}

} // namespace stormtap
