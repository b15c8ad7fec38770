#pragma once

#include <QObject>

class QPrintDialog;
class QPrinter;
class QWidget;
class ZTDocumentPrintController;

// Runs the print dialogue as a sheet on a window, with the print controller's accessory as an
// options tab, and reports how it ended to the controller (return code 1 when confirmed).
// The controller has already been told the documents (printDocuments / printDuplicatesOfDocuments).
// The dialogue deletes itself once it has reported.
class ZTPrintPanel
{
public:
    // Originals and copies: ends in printPanelDidEnd.
    static QPrintDialog *beginPrintSheet(ZTDocumentPrintController *controller, QPrinter *printer, QWidget *window);
    // Duplicates: ends in duplicatePrintPanelDidEnd.
    static QPrintDialog *beginDuplicatePrintSheet(ZTDocumentPrintController *controller, QPrinter *printer,
                                                  QWidget *window);

    // The settings the dialogues open with: the shared printer's, on the whole sheet without
    // margins, since the documents carry their own.
    static void prepareBarePrintInfo(QPrinter *printer);
};
