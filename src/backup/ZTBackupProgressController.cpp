#include "ZTBackupProgressController.h"

#include <QCoreApplication>
#include <QMetaObject>

const QString ZTBackupProgressController::kBackupStartText = QStringLiteral("Tworzę kopię zapasową...");
const QString ZTBackupProgressController::kBackupDoneText = QStringLiteral("Kopia zapasowa została utworzona.");
const QString ZTBackupProgressController::kPreRestoreText =
    QStringLiteral("Przygotowuję Tolvanę do odtworzenia danych...");
const QString ZTBackupProgressController::kPreRestoreDoneText = QStringLiteral("Tolvana zostanie uruchomiona ponownie");
const QString ZTBackupProgressController::kRestoreText = QStringLiteral("Trwa odtwarzanie danych...");
const QString ZTBackupProgressController::kRestoreDoneText = QStringLiteral("Dane zostały odtworzone");

void ZTBackupProgressController::running(Presentation presentation, const QString &status)
{
    m_presentation = presentation;
    m_status = status;
    m_okEnabled = false;
    m_okDefault = false;
    m_indeterminate = true;
    m_value = 0;
    changed();
}

void ZTBackupProgressController::finished(const QString &status)
{
    m_status = status;
    m_okEnabled = true;
    m_okDefault = true;
    m_indeterminate = false;
    m_value = 1.0;
    changed();
}

void ZTBackupProgressController::showBackupProgress()
{
    m_willTerminate = false;
    running(Presentation::Sheet, kBackupStartText);
}

void ZTBackupProgressController::updateBackupProgress()
{
    // The sheet ends; the finished window stays for the user to acknowledge.
    if (m_presentation == Presentation::Sheet)
        m_presentation = Presentation::Window;
    finished(kBackupDoneText);
}

void ZTBackupProgressController::showPreRestoreBackupProgress()
{
    m_willTerminate = false;
    running(Presentation::Sheet, kPreRestoreText);
}

void ZTBackupProgressController::updatePreRestoreBackupProgress()
{
    m_willTerminate = true;
    finished(kPreRestoreDoneText);
}

void ZTBackupProgressController::showRestoreProgress()
{
    m_willTerminate = false;
    running(Presentation::Window, kRestoreText);
}

void ZTBackupProgressController::updateRestoreProgress()
{
    finished(kRestoreDoneText);
}

void ZTBackupProgressController::closeProgressView()
{
    const bool quit = m_willTerminate;
    m_presentation = Presentation::Hidden;
    m_willTerminate = false;
    changed();
    if (!quit)
        return;
    if (m_quit)
        m_quit();
    else if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
