#pragma once

#include <QDateTime>
#include <QObject>
#include <QPair>

// The print dialogue's accessory for duplicates, without its widgets: the date printed as the
// duplicate's issue date and how many duplicates of each document.
class ZTDuplicatePrintPreferencesController : public QObject
{
    Q_OBJECT
public:
    // Today, and the originals count of the settings (at least 1).
    explicit ZTDuplicatePrintPreferencesController(QObject *parent = nullptr);

    QDateTime issueDate() const { return m_issueDate; }
    void setIssueDate(const QDateTime &date);
    unsigned count() const { return m_count; }
    // A value below 1 becomes 1, and countChanged tells the field to show it.
    void setCount(int count);

    static QPair<QString, QString> localizedSummaryItem();

signals:
    void countChanged(unsigned count);

private:
    QDateTime m_issueDate;
    unsigned m_count = 1;
};
