#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class ZTPDFExportController;

// The export's progress sheet, bound to its controller's progress: it opens on its window when
// the writing starts, shows "n z m" and the bar, stops the bar when the last file is written
// and closes when the controller hides it. Cancel (the button or Escape) stops the export.
class ZTPDFExportProgressSheet : public QDialog
{
    Q_OBJECT
public:
    ZTPDFExportProgressSheet(ZTPDFExportController *controller, QWidget *window);

    QLabel *progressCountLabel() const { return m_countLabel; }
    QProgressBar *progressIndicator() const { return m_progress; }
    QPushButton *cancelButton() const { return m_cancelButton; }

public slots:
    void reject() override;

private:
    void showExportProgress();
    void showProgress(const QString &text, int percent);
    void stopProgress();
    void endProgressSheet();

    QPointer<ZTPDFExportController> m_controller;
    QLabel *m_countLabel;
    QProgressBar *m_progress;
    QPushButton *m_cancelButton;
    bool m_running = false;
};
