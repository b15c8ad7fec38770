#pragma once

#include <QString>

#include <functional>

// The progress window's logic: what it shows in each phase of a backup or restore. The window
// only binds its widgets to these fields and calls closeProgressView() from its OK button.
class ZTBackupProgressController
{
public:
    enum class Presentation { Hidden, Sheet, Window };

    static const QString kBackupStartText;     // "Tworzę kopię zapasową..."
    static const QString kBackupDoneText;      // "Kopia zapasowa została utworzona."
    static const QString kPreRestoreText;      // "Przygotowuję Tolvanę do odtworzenia danych..."
    static const QString kPreRestoreDoneText;  // "Tolvana zostanie uruchomiona ponownie"
    static const QString kRestoreText;         // "Trwa odtwarzanie danych..."
    static const QString kRestoreDoneText;     // "Dane zostały odtworzone"

    Presentation presentation() const { return m_presentation; }
    bool isVisible() const { return m_presentation != Presentation::Hidden; }
    QString statusText() const { return m_status; }
    bool okEnabled() const { return m_okEnabled; }
    bool okIsDefault() const { return m_okDefault; }
    // Indeterminate and animated while work runs; full (1 of 1) when it is done.
    bool progressIndeterminate() const { return m_indeterminate; }
    double progressValue() const { return m_value; }
    bool willTerminate() const { return m_willTerminate; }

    void showBackupProgress();
    void updateBackupProgress();
    void showPreRestoreBackupProgress();
    void updatePreRestoreBackupProgress();
    void showRestoreProgress();
    void updateRestoreProgress();
    // Closes the window; after a safety backup this quits the program.
    void closeProgressView();

    // Called after every change, for the window to refresh itself.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // Quits the program; the default queues QCoreApplication::quit.
    void setQuitHandler(std::function<void()> handler) { m_quit = std::move(handler); }

private:
    void running(Presentation presentation, const QString &status);
    void finished(const QString &status);
    void changed() const
    {
        if (m_changed)
            m_changed();
    }

    Presentation m_presentation = Presentation::Hidden;
    QString m_status;
    bool m_okEnabled = false;
    bool m_okDefault = false;
    bool m_indeterminate = false;
    double m_value = 0;
    bool m_willTerminate = false;
    std::function<void()> m_changed;
    std::function<void()> m_quit;
};
