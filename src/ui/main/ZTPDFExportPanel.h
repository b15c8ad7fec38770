#pragma once

#include <QFileDialog>
#include <QList>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class ZTPDFExportController;

// The export's file dialogue, bound to its controller: a save dialogue for one document, a
// folder dialogue for several, with the controller's message, prompt, folder and proposed
// name, and an accessory with the version options and the settlements checkbox. Qt's own
// dialogue is used, since a platform one would not show the accessory.
//
// Closing it, either way, reports to the controller (panelDidEnd), which then writes the files.
// The dialogue deletes itself once it has reported.
class ZTPDFExportPanel : public QFileDialog
{
    Q_OBJECT
public:
    ZTPDFExportPanel(ZTPDFExportController *controller, QWidget *window);

    // Opens the dialogue as a sheet on its window.
    void begin();

    ZTPDFExportController *controller() const { return m_controller; }
    QLineEdit *nameField() const;
    QLabel *messageLabel() const { return m_message; }
    QWidget *accessoryView() const { return m_accessory; }
    QList<QRadioButton *> versionButtons() const { return m_versionButtons; }
    QCheckBox *includeSettlementsButton() const { return m_includeSettlements; }

private:
    void buildAccessory();
    void placeAccessory();
    void selectedButton(int tag);
    void panelDidEnd(int result);

    QPointer<ZTPDFExportController> m_controller;
    QLabel *m_message;
    QWidget *m_accessory;
    QButtonGroup *m_versions;
    QList<QRadioButton *> m_versionButtons;
    QCheckBox *m_includeSettlements;
};
