#include "ZTPDFExportPanel.h"

#include "output/ZTPDFExportController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

ZTPDFExportPanel::ZTPDFExportPanel(ZTPDFExportController *controller, QWidget *window)
    : QFileDialog(window)
    , m_controller(controller)
    , m_message(new QLabel(this))
    , m_accessory(new QWidget(this))
    , m_versions(new QButtonGroup(this))
    , m_includeSettlements(nullptr)
{
    setObjectName(QStringLiteral("PDFOpenSavePanel"));
    setOption(QFileDialog::DontUseNativeDialog);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Zapisz jako PDF"));

    const QString folder = m_controller->panelDirectory();
    setDirectory(QDir(folder).exists() ? folder : QDir::homePath());
    if (m_controller->usesFolderPanel()) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        setLabelText(QFileDialog::Accept, m_controller->panelPrompt());
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilter(QStringLiteral("Pliki PDF (*.pdf)"));
        // An existing file is never replaced: the export writes under a free name instead.
        setOption(QFileDialog::DontConfirmOverwrite);
        const QString name = m_controller->proposedFileName();
        selectFile(name);
        if (QLineEdit *field = nameField())
            field->setText(name);
    }

    m_message->setObjectName(QStringLiteral("message"));
    m_message->setText(m_controller->panelMessage());
    m_message->setWordWrap(true);
    buildAccessory();
    placeAccessory();

    connect(this, &QDialog::finished, this, &ZTPDFExportPanel::panelDidEnd);
}

QLineEdit *ZTPDFExportPanel::nameField() const
{
    return findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

void ZTPDFExportPanel::buildAccessory()
{
    m_accessory->setObjectName(QStringLiteral("panelAccessoryView"));
    m_accessory->setMinimumSize(500, 75);

    auto *radios = new QHBoxLayout;
    radios->setContentsMargins(25, 0, 0, 0);
    const QStringList titles = m_controller->versionOptionTitles();
    for (int tag = 0; tag < titles.size(); ++tag) {
        auto *button = new QRadioButton(titles.at(tag), m_accessory);
        m_versions->addButton(button, tag);
        m_versionButtons << button;
        radios->addWidget(button);
    }
    radios->addStretch(1);
    // The first option is chosen at the start, as the controller assumes.
    if (!m_versionButtons.isEmpty())
        m_versionButtons.first()->setChecked(true);
    connect(m_versions, &QButtonGroup::idClicked, this, &ZTPDFExportPanel::selectedButton);

    m_includeSettlements = new QCheckBox(QStringLiteral("Dołącz rozliczenie faktury marża"), m_accessory);
    m_includeSettlements->setObjectName(QStringLiteral("includeSettlementsButton"));
    const bool offered = m_controller->containsMarginInvoice();
    m_includeSettlements->setEnabled(offered);
    m_includeSettlements->setVisible(offered);

    auto *layout = new QVBoxLayout(m_accessory);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->addLayout(radios);
    auto *settlements = new QHBoxLayout;
    settlements->setContentsMargins(25, 0, 0, 0);
    settlements->addWidget(m_includeSettlements);
    settlements->addStretch(1);
    layout->addLayout(settlements);
}

void ZTPDFExportPanel::placeAccessory()
{
    auto *grid = qobject_cast<QGridLayout *>(layout());
    if (!grid) {
        // Not the dialogue's usual layout: keep everything of ours together below it.
        auto *box = qobject_cast<QBoxLayout *>(layout());
        if (box) {
            box->insertWidget(0, m_message);
            box->addWidget(m_accessory);
        }
        return;
    }
    // The message heads the dialogue: every row moves one down to make room for it.
    struct Placed {
        QLayoutItem *item;
        int row, column, rowSpan, columnSpan;
    };
    QList<Placed> placed;
    for (int i = grid->count() - 1; i >= 0; --i) {
        Placed p{nullptr, 0, 0, 0, 0};
        grid->getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
        p.item = grid->takeAt(i);
        placed << p;
    }
    for (const Placed &p : std::as_const(placed))
        grid->addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan);
    grid->addWidget(m_message, 0, 0, 1, -1);
    grid->addWidget(m_accessory, grid->rowCount(), 0, 1, -1);
}

void ZTPDFExportPanel::begin()
{
    open();
}

void ZTPDFExportPanel::selectedButton(int tag)
{
    QLineEdit *field = nameField();
    const QString text = m_controller->selectedButton(tag, field ? field->text() : QString());
    // Only a single document's name follows the option; a folder's name is left alone.
    if (field && !m_controller->usesFolderPanel())
        field->setText(text);
}

void ZTPDFExportPanel::panelDidEnd(int result)
{
    deleteLater();
    if (!m_controller)
        return;
    const bool confirmed = result == QDialog::Accepted;
    const QString chosen = confirmed ? selectedFiles().value(0) : QString();
    const bool settlements = m_includeSettlements->isEnabled() && m_includeSettlements->isChecked();
    m_controller->panelDidEnd(confirmed, chosen, settlements);
}
