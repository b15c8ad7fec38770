#include "ZTPrintPreferencesView.h"

#include "output/ZTPrintPreferencesController.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxCount = 99;
constexpr int kLogoSide = 48;

} // namespace

ZTPrintPreferencesView::ZTPrintPreferencesView(ZTPrintPreferencesController *controller, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_originals(new QSpinBox(this))
    , m_copies(new QSpinBox(this))
    , m_includeSettlements(new QCheckBox(QStringLiteral("Dołącz rozliczenie faktury marża"), this))
    , m_greenLogo(new QToolButton(this))
    , m_greenTitle(new QLabel(this))
{
    setObjectName(ZTPrintPreferencesController::localizedSummaryItem().first);
    // The dialogue names its options tab after the accessory.
    setWindowTitle(ZTPrintPreferencesController::localizedSummaryItem().second);

    m_originals->setObjectName(QStringLiteral("originalsCount"));
    m_copies->setObjectName(QStringLiteral("copiesCount"));
    m_includeSettlements->setObjectName(QStringLiteral("oIncludeSettlements"));
    m_greenLogo->setObjectName(QStringLiteral("oGreenLogo"));
    m_greenTitle->setObjectName(QStringLiteral("oGreenTitle"));
    for (QSpinBox *field : {m_originals, m_copies})
        field->setRange(0, kMaxCount);

    auto *counts = new QFormLayout;
    counts->addRow(QStringLiteral("Oryginały:"), m_originals);
    counts->addRow(QStringLiteral("Kopie:"), m_copies);

    m_greenLogo->setAutoRaise(true);
    m_greenLogo->setIconSize(QSize(kLogoSide, kLogoSide));
    m_greenLogo->setToolTip(QStringLiteral("Przełącz oszczędny wydruk kopii"));
    m_greenTitle->setWordWrap(true);
    auto *greenery = new QHBoxLayout;
    greenery->addWidget(m_greenLogo);
    greenery->addWidget(m_greenTitle, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addWidget(m_includeSettlements);
    layout->addLayout(greenery);
    layout->addStretch(1);

    updateCounts();
    updateGreenery();
    m_includeSettlements->setChecked(m_controller->includeSettlements());
    updateSettlements(m_controller->containsMarginInvoice());

    connect(m_originals, &QSpinBox::valueChanged, m_controller,
            [this](int value) { m_controller->setOriginalsCount(static_cast<unsigned>(value)); });
    connect(m_copies, &QSpinBox::valueChanged, m_controller,
            [this](int value) { m_controller->setCopiesCount(static_cast<unsigned>(value)); });
    connect(m_includeSettlements, &QCheckBox::toggled, m_controller, &ZTPrintPreferencesController::toggleIncludeSettlements);
    connect(m_greenLogo, &QToolButton::clicked, m_controller, &ZTPrintPreferencesController::toggleGreenery);
    connect(m_controller, &ZTPrintPreferencesController::countsChanged, this, &ZTPrintPreferencesView::updateCounts);
    connect(m_controller, &ZTPrintPreferencesController::greeneryChanged, this, &ZTPrintPreferencesView::updateGreenery);
    connect(m_controller, &ZTPrintPreferencesController::containsMarginInvoiceChanged, this,
            &ZTPrintPreferencesView::updateSettlements);
}

void ZTPrintPreferencesView::updateCounts()
{
    // Showing the controller's value must not write it back.
    const QSignalBlocker blockOriginals(m_originals);
    const QSignalBlocker blockCopies(m_copies);
    m_originals->setValue(static_cast<int>(qMin<unsigned>(m_controller->originalsCount(), kMaxCount)));
    m_copies->setValue(static_cast<int>(qMin<unsigned>(m_controller->copiesCount(), kMaxCount)));
}

void ZTPrintPreferencesView::updateGreenery()
{
    const QString imageName = m_controller->greeneryImageName();
    m_greenLogo->setIcon(QIcon(greeneryPixmap(imageName, kLogoSide)));
    m_greenLogo->setProperty("imageName", imageName);
    m_greenTitle->setText(m_controller->greeneryCaption());
}

void ZTPrintPreferencesView::updateSettlements(bool offered)
{
    m_includeSettlements->setVisible(offered);
    m_includeSettlements->setEnabled(offered);
}

QPixmap ZTPrintPreferencesView::greeneryPixmap(const QString &imageName, int side)
{
    const bool on = imageName == QLatin1String("ThinkGreen");
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor leaf = on ? QColor(0x3f, 0x9b, 0x3a) : QColor(0xb4, 0xb4, 0xb4);
    const qreal s = side;

    // A leaf: two arcs meeting at the tip, and its vein and stalk.
    QPainterPath path;
    path.moveTo(0.18 * s, 0.82 * s);
    path.cubicTo(0.10 * s, 0.40 * s, 0.45 * s, 0.12 * s, 0.86 * s, 0.12 * s);
    path.cubicTo(0.88 * s, 0.55 * s, 0.60 * s, 0.88 * s, 0.18 * s, 0.82 * s);
    painter.setPen(Qt::NoPen);
    painter.setBrush(leaf);
    painter.drawPath(path);

    painter.setPen(QPen(on ? leaf.lighter(160) : QColor(0xe6, 0xe6, 0xe6), qMax<qreal>(1.0, s / 24)));
    painter.drawLine(QPointF(0.22 * s, 0.78 * s), QPointF(0.78 * s, 0.22 * s));
    painter.setPen(QPen(leaf.darker(130), qMax<qreal>(1.5, s / 16), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0.18 * s, 0.82 * s), QPointF(0.08 * s, 0.92 * s));
    return pixmap;
}
