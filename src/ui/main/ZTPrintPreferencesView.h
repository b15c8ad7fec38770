#pragma once

#include <QPixmap>
#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;
class QToolButton;
class ZTPrintPreferencesController;

// The print dialogue's accessory for originals and copies, bound to its controller: the two
// counts, the settlements checkbox (only while a margin invoice is among the documents) and
// the economical-copy switch with its image and caption. The controller keeps the values;
// a new view may be made for every dialogue.
class ZTPrintPreferencesView : public QWidget
{
    Q_OBJECT
public:
    explicit ZTPrintPreferencesView(ZTPrintPreferencesController *controller, QWidget *parent = nullptr);

    ZTPrintPreferencesController *controller() const { return m_controller; }
    QSpinBox *originalsField() const { return m_originals; }
    QSpinBox *copiesField() const { return m_copies; }
    QCheckBox *includeSettlementsButton() const { return m_includeSettlements; }
    QToolButton *greenLogo() const { return m_greenLogo; }
    QLabel *greenTitle() const { return m_greenTitle; }

    // The economical-copy images ("ThinkGreen", "ThinkGreenOff"), drawn rather than shipped.
    static QPixmap greeneryPixmap(const QString &imageName, int side);

private:
    void updateCounts();
    void updateGreenery();
    void updateSettlements(bool offered);

    ZTPrintPreferencesController *m_controller;
    QSpinBox *m_originals;
    QSpinBox *m_copies;
    QCheckBox *m_includeSettlements;
    QToolButton *m_greenLogo;
    QLabel *m_greenTitle;
};
