#include "ZTPDFExportProgressSheet.h"

#include "output/ZTPDFExportController.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ZTPDFExportProgressSheet::ZTPDFExportProgressSheet(ZTPDFExportController *controller, QWidget *window)
    : QDialog(window)
    , m_controller(controller)
    , m_countLabel(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_cancelButton(new QPushButton(QStringLiteral("Anuluj"), this))
{
    setObjectName(QStringLiteral("PDFExportProgressView"));
    setWindowTitle(QStringLiteral("Zapisywanie PDF"));
    setWindowModality(Qt::WindowModal);

    auto *heading = new QLabel(QStringLiteral("Zapisywanie dokumentów jako PDF…"), this);
    m_countLabel->setObjectName(QStringLiteral("progressCountLabel"));
    m_progress->setObjectName(QStringLiteral("progressIndicator"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setMinimumWidth(320);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cancelButton, QDialogButtonBox::RejectRole);
    connect(m_cancelButton, &QPushButton::clicked, this, &ZTPDFExportProgressSheet::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_progress);
    layout->addWidget(m_countLabel);
    layout->addWidget(buttons);

    connect(controller, &ZTPDFExportController::progressShown, this, &ZTPDFExportProgressSheet::showExportProgress);
    connect(controller, &ZTPDFExportController::progressChanged, this, &ZTPDFExportProgressSheet::showProgress);
    connect(controller, &ZTPDFExportController::progressFinished, this, &ZTPDFExportProgressSheet::stopProgress);
    connect(controller, &ZTPDFExportController::progressHidden, this, &ZTPDFExportProgressSheet::endProgressSheet);
}

void ZTPDFExportProgressSheet::showExportProgress()
{
    m_running = true;
    m_progress->setValue(0);
    m_countLabel->clear();
    m_cancelButton->setEnabled(true);
    open();
}

void ZTPDFExportProgressSheet::showProgress(const QString &text, int percent)
{
    m_countLabel->setText(text);
    m_progress->setValue(qBound(0, percent, 100));
}

void ZTPDFExportProgressSheet::stopProgress()
{
    // Everything is written: there is nothing left to cancel while the sheet lingers.
    m_running = false;
    m_progress->setValue(100);
    m_cancelButton->setEnabled(false);
}

void ZTPDFExportProgressSheet::endProgressSheet()
{
    m_running = false;
    if (isVisible())
        QDialog::done(QDialog::Accepted);
}

void ZTPDFExportProgressSheet::reject()
{
    if (m_running && m_controller) {
        m_running = false;
        // The controller hides the sheet when it has stopped.
        m_controller->cancelPDFExport();
    }
    if (isVisible())
        QDialog::reject();
}
