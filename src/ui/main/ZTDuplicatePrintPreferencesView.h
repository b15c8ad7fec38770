#pragma once

#include <QWidget>

class QDateEdit;
class QLabel;
class QSpinBox;
class ZTDuplicatePrintPreferencesController;

// The print dialogue's accessory for duplicates, bound to its controller: the date printed as
// the duplicate's issue date and the number of duplicates of each document.
class ZTDuplicatePrintPreferencesView : public QWidget
{
    Q_OBJECT
public:
    explicit ZTDuplicatePrintPreferencesView(ZTDuplicatePrintPreferencesController *controller,
                                             QWidget *parent = nullptr);

    ZTDuplicatePrintPreferencesController *controller() const { return m_controller; }
    QDateEdit *issueDateField() const { return m_issueDate; }
    QSpinBox *countField() const { return m_count; }

private:
    void showCount(unsigned count);

    ZTDuplicatePrintPreferencesController *m_controller;
    QDateEdit *m_issueDate;
    QLabel *m_countLabel;
    QSpinBox *m_count;
};
