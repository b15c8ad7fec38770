#include "ZTPrintPanel.h"

#include "ZTDuplicatePrintPreferencesView.h"
#include "ZTPrintPreferencesView.h"

#include "output/ZTDocumentPrintController.h"

#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>

#include <functional>

namespace {

QPrintDialog *beginSheet(QPrinter *printer, QWidget *window, const std::function<QWidget *(QWidget *)> &makeAccessory,
                         std::function<void(int)> didEnd)
{
    ZTPrintPanel::prepareBarePrintInfo(printer);
    auto *dialog = new QPrintDialog(printer, window);
    QWidget *accessory = makeAccessory(dialog);
    dialog->setWindowTitle(QStringLiteral("Drukuj"));
    dialog->setWindowModality(Qt::WindowModal);
    // Pages are counted only once the documents are laid out, after the dialogue.
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOptionTabs({accessory});
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, didEnd = std::move(didEnd)](int result) {
        dialog->deleteLater();
        didEnd(result == QDialog::Accepted ? 1 : 0);
    });
    dialog->open();
    return dialog;
}

} // namespace

void ZTPrintPanel::prepareBarePrintInfo(QPrinter *printer)
{
    printer->setFullPage(true);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QPrintDialog *ZTPrintPanel::beginPrintSheet(ZTDocumentPrintController *controller, QPrinter *printer, QWidget *window)
{
    QPointer<ZTDocumentPrintController> guarded(controller);
    return beginSheet(
        printer, window,
        [controller](QWidget *dialog) { return new ZTPrintPreferencesView(controller->printPrefsController(), dialog); },
        [guarded](int code) {
            if (guarded)
                guarded->printPanelDidEnd(code);
        });
}

QPrintDialog *ZTPrintPanel::beginDuplicatePrintSheet(ZTDocumentPrintController *controller, QPrinter *printer,
                                                     QWidget *window)
{
    QPointer<ZTDocumentPrintController> guarded(controller);
    return beginSheet(
        printer, window,
        [controller](QWidget *dialog) {
            return new ZTDuplicatePrintPreferencesView(controller->duplicatePrintPrefsController(), dialog);
        },
        [guarded](int code) {
            if (guarded)
                guarded->duplicatePrintPanelDidEnd(code);
        });
}
