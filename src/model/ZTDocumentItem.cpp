#include "ZTDocumentItem.h"

#include "ZTCurrencyManager.h"
#include "ZTDecimalHelpers.h"
#include "ZTDocument.h"
#include "ZTProductManager.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTVatRatesManager.h"

#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

namespace {

constexpr int kCorrectiveKind = 4;
constexpr int kBillKind = 16;
constexpr int kMarginKind = 64;
constexpr int kSimplifiedKind = 128;

int kindOf(const ZTDocument *document)
{
    return document ? document->documentKind().value_or(0) : 0;
}

std::optional<Decimal> roundedOrEmpty(const std::optional<Decimal> &number, Rounding rounding = Rounding::standard())
{
    if (!number)
        return std::nullopt;
    return number->rounded(rounding);
}

Decimal differenceOf(const std::optional<Decimal> &corrected, const std::optional<Decimal> &original)
{
    return corrected.value_or(Decimal(0)).subtract(original.value_or(Decimal(0)));
}

// The values a line recalculates from; a change of any of them recomputes the line.
const QStringList &inputKeys()
{
    static const QStringList keys{QStringLiteral("quantity"),   QStringLiteral("discount"),
                                  QStringLiteral("vatRate"),    QStringLiteral("netPrice"),
                                  QStringLiteral("billPrice"),  QStringLiteral("grossPrice"),
                                  QStringLiteral("document"),   QStringLiteral("grossBasedValues")};
    return keys;
}

// The stored values a copy of a line takes over (not subPosition, advancePart or the document).
const QStringList &copiedKeys()
{
    static const QStringList keys{
        QStringLiteral("grossBasedValues"), QStringLiteral("discount"),     QStringLiteral("netValue"),
        QStringLiteral("vatValue"),         QStringLiteral("grossValue"),   QStringLiteral("position"),
        QStringLiteral("quantity"),         QStringLiteral("netPrice"),     QStringLiteral("grossPrice"),
        QStringLiteral("selectedCurrency"), QStringLiteral("currency1"),    QStringLiteral("currency2"),
        QStringLiteral("currency3"),        QStringLiteral("netPrice1"),    QStringLiteral("netPrice2"),
        QStringLiteral("netPrice3"),        QStringLiteral("grossPrice1"),  QStringLiteral("grossPrice2"),
        QStringLiteral("grossPrice3"),      QStringLiteral("name"),         QStringLiteral("unitName"),
        QStringLiteral("label"),            QStringLiteral("pkwiu"),        QStringLiteral("vatRate"),
        QStringLiteral("billPrice"),        QStringLiteral("vatDescription")};
    return keys;
}

} // namespace

ZTDocumentItem *ZTDocumentItem::newItemForDocument(ZTDocument *document)
{
    ZT_ASSERT(document && document->managedObjectContext());
    auto *item = document->managedObjectContext()->insertNewObject<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    item->setDocument(document);
    if (ZTPurchaser *purchaser = document->purchaser(); purchaser && purchaser->defaultDiscount())
        item->setDiscount(purchaser->defaultDiscount());
    if (kindOf(document) == kMarginKind && !document->marginInvoiceProcedure().isEmpty()) {
        item->setVatRate(ZTSeller::validVatRateForMarginProcedure(document->marginInvoiceProcedure()));
        item->setVatDescription(QString());
    } else {
        const ZTVatRateWithDescription rate = ZTVatRatesManager::sharedInstance().defaultVatRateWithDescription();
        item->setVatRate(rate.storedRate());
        item->setVatDescription(rate.vatDescription());
    }
    item->setPosition(static_cast<int>(document->items().size()));
    item->recalculate();
    return item;
}

ZTDocument *ZTDocumentItem::document() const
{
    return relatedAs<ZTDocument>(QStringLiteral("document"));
}

void ZTDocumentItem::setDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("document"), object);
}

ZTProduct *ZTDocumentItem::baseProduct() const
{
    return relatedAs<ZTProduct>(QStringLiteral("baseProduct"));
}

void ZTDocumentItem::setBaseProduct(ZTProduct *object)
{
    setRelatedObject(QStringLiteral("baseProduct"), object);
}

// ---- what the line reads

std::optional<Decimal> ZTDocumentItem::vatRate() const
{
    if (kindOf(document()) == kBillKind)
        return Decimal(0);
    const std::optional<Decimal> stored = storedVatRate();
    if (!stored)
        return std::nullopt;
    if (*stored == ZTVatRateWithDescription::hiddenRateValue())
        return Decimal(0);
    return stored->rounded(Rounding::rate());
}

std::optional<Decimal> ZTDocumentItem::netPrice() const
{
    return roundedOrEmpty(kindOf(document()) == kBillKind ? storedBillPrice() : storedNetPrice());
}

std::optional<Decimal> ZTDocumentItem::grossPrice() const
{
    return roundedOrEmpty(kindOf(document()) == kBillKind ? storedBillPrice() : storedGrossPrice());
}

std::optional<Decimal> ZTDocumentItem::billPrice() const
{
    return roundedOrEmpty(kindOf(document()) == kBillKind ? storedBillPrice() : storedNetPrice());
}

std::optional<Decimal> ZTDocumentItem::quantity() const
{
    if (!m_quantityPrecision)
        m_quantityPrecision = SettingsStore::standard().intValue(QStringLiteral("ZTQuantityDecimalPrecision"));
    return roundedOrEmpty(storedQuantity(), Rounding{*m_quantityPrecision, RoundingMode::HalfAwayFromZero});
}

bool ZTDocumentItem::grossBasedValues() const
{
    switch (kindOf(document())) {
    case kBillKind:
        return false;
    case kMarginKind:
    case kSimplifiedKind:
        return true;
    default:
        return storedGrossBasedValues();
    }
}

std::optional<Decimal> ZTDocumentItem::netPriceAfterDiscount() const
{
    const std::optional<Decimal> price = netPrice();
    if (!price)
        return std::nullopt;
    return valueByApplyingDiscount(*price, discount());
}

int ZTDocumentItem::sortPosition() const
{
    const int base = position().value_or(0);
    if (kindOf(document()) == kCorrectiveKind && subPosition())
        return base * 100 + *subPosition();
    return base;
}

QString ZTDocumentItem::subPositionDescription() const
{
    switch (subPosition().value_or(0)) {
    case kSubPositionOriginal:
        return QStringLiteral("BYŁO");
    case kSubPositionCorrected:
        return QStringLiteral("WINNO BYĆ");
    case kSubPositionDifference:
        return QStringLiteral("RÓŻNICA");
    default:
        return QStringLiteral("");
    }
}

bool ZTDocumentItem::hasNegativePrice() const
{
    const std::optional<Decimal> price = storedNetPrice();
    return price && price->isNegative();
}

// ---- editing pairs

void ZTDocumentItem::setNetPriceWithGrossBaseMarker(const PriceWithGrossBaseMarker &pair)
{
    setGrossBasedValues(!pair.fixed);
    setNetPrice(pair.price);
}

void ZTDocumentItem::setGrossPriceWithGrossBaseMarker(const PriceWithGrossBaseMarker &pair)
{
    setGrossBasedValues(pair.fixed);
    setGrossPrice(pair.price);
}

ZTVatRateWithDescription ZTDocumentItem::vatRateWithDescription() const
{
    return ZTVatRateWithDescription(storedVatRate(), vatDescription());
}

void ZTDocumentItem::setVatRateWithDescription(const ZTVatRateWithDescription &rate)
{
    setVatRate(rate.rateIsHidden() ? ZTVatRateWithDescription::hiddenRateValue() : rate.rate());
    setVatDescription(rate.vatDescription());
}

QString ZTDocumentItem::vatRateWithDescriptionString() const
{
    return vatRateWithDescription().formattedRateWithDescription();
}

void ZTDocumentItem::setVatRateWithDescriptionString(const QString &text)
{
    setVatRateWithDescription(ZTVatRateWithDescription::fromText(text));
}

// ---- calculation

void ZTDocumentItem::recalculate()
{
    recalculateValues();
    if (ZTDocument *d = document())
        d->recalculate();
}

void ZTDocumentItem::recalculateValues()
{
    if (m_recalculating)
        return;
    const std::optional<Decimal> d = discount();
    const std::optional<Decimal> q = quantity();
    if (!d || !q)
        return;
    // Writing the derived unit price notifies this line's own observer; it must not start over.
    m_recalculating = true;
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_recalculating};

    const ZTDocument *doc = document();
    const Decimal r = (!storedVatRate() || kindOf(doc) == kBillKind) ? Decimal(0) : *vatRate();
    const QDateTime installed = SettingsStore::standard().dateValue(QStringLiteral("ZTTolvana1_6InstallDate"));
    const QDateTime issued = doc ? doc->issueDate() : QDateTime();
    // Documents issued before the discount rule changed keep the unit-price method.
    const bool valueMethod = installed.isValid() && (!issued.isValid() || issued >= installed);

    Decimal net;
    Decimal vat;
    Decimal gross;
    if (grossBasedValues()) {
        const std::optional<Decimal> price = grossPrice();
        if (!price) {
            ZTLOG(QStringLiteral("grossPrice == nil"));
            return;
        }
        setDerivedDecimal(QStringLiteral("netPrice"), netFromGrossUsingTaxRate(*price, r));
        gross = valueMethod ? valueByApplyingDiscount(price->multiply(*q), d)
                            : valueByApplyingDiscount(*price, d).multiply(*q);
        net = netFromGrossUsingTaxRate(gross, r);
        vat = taxFromGrossUsingTaxRate(gross, r);
    } else {
        const std::optional<Decimal> price = netPrice();
        if (!price)
            return;
        setDerivedDecimal(QStringLiteral("grossPrice"), grossFromNetUsingTaxRate(*price, r));
        const bool fromUnitPrice =
            SettingsStore::standard().boolValue(QStringLiteral("ZTDiscountCalculationFromUnitPrice"));
        net = (valueMethod && !fromUnitPrice) ? valueByApplyingDiscount(price->multiply(*q), d)
                                              : valueByApplyingDiscount(*price, d).multiply(*q);
        vat = taxFromNetUsingTaxRate(net, r);
        gross = grossFromNetUsingTaxRate(net, r);
    }
    setDerivedDecimal(QStringLiteral("netValue"), net);
    setDerivedDecimal(QStringLiteral("vatValue"), vat);
    setDerivedDecimal(QStringLiteral("grossValue"), gross);
}

void ZTDocumentItem::setDerivedDecimal(const QString &key, const std::optional<Decimal> &number)
{
    if (decimalAttribute(key) != number)
        setDecimalAttribute(key, number);
}

void ZTDocumentItem::copyFromProduct(ZTProduct *product)
{
    if (product) {
        setGrossBasedValues(product->grossBasedValues());
        setCurrency1(product->currency1());
        setCurrency2(product->currency2());
        setCurrency3(product->currency3());
        const auto slot = [](const std::optional<Decimal> &net, const std::optional<Decimal> &gross) {
            return (net && gross) ? std::pair(net, gross) : std::pair(std::optional(Decimal(0)), std::optional(Decimal(0)));
        };
        const auto [net1, gross1] = slot(product->netPrice1(), product->grossPrice1());
        const auto [net2, gross2] = slot(product->netPrice2(), product->grossPrice2());
        const auto [net3, gross3] = slot(product->netPrice3(), product->grossPrice3());
        setNetPrice1(net1);
        setGrossPrice1(gross1);
        setNetPrice2(net2);
        setGrossPrice2(gross2);
        setNetPrice3(net3);
        setGrossPrice3(gross3);
        setNetPrice(Decimal(0));
        setGrossPrice(Decimal(0));
        const QString documentCurrency = document() ? document()->currency() : QString();
        setSelectedCurrency(!documentCurrency.isEmpty() ? documentCurrency
                                                        : ZTCurrencyManager::sharedInstance().defaultCurrencyCode());
        const std::optional<Decimal> bill = product->billPrice();
        setBillPrice(bill ? bill : product->grossPrice());
        setVatRate(product->vatRate());
        setVatDescription(product->vatDescription());
        setUnitName(product->unitName());
        setPkwiu(product->pkwiu());
        setName(product->name());
    }
    setBaseProduct(product);
}

void ZTDocumentItem::copyValuesFromItem(const ZTDocumentItem &other)
{
    for (const QString &key : copiedKeys())
        setPrimitiveValue(key, other.primitiveValue(key));
    setBaseProduct(other.baseProduct());
}

void ZTDocumentItem::setPricesAccordingToSelectedCurrency()
{
    // A line without a currency has no slot, not even an empty one.
    const int slot = slotForCurrency(selectedCurrency());
    if (slot > 0)
        setSlot(slot, slotCurrency(slot), storedNetPrice(), storedGrossPrice());
}

// ---- product exchange

void ZTDocumentItem::setProductInheritedName(const QString &text)
{
    ManagedObjectContext *context = managedObjectContext();
    copyFromProduct(ZTProductManager([context] { return context; }).findWithName(text));
    setName(text);
}

void ZTDocumentItem::saveAsProduct()
{
    ManagedObjectContext *context = managedObjectContext();
    ZTProduct *product = ZTProductManager([context] { return context; }).findWithName(name());
    if (!product)
        product = ZTProduct::newProduct(*context);
    product->updateWithDocumentItem(*this);
    setBaseProduct(product);
}

// ---- corrections

void ZTDocumentItem::createCorrectiveItemsForDocument(ZTDocument *correctiveDocument) const
{
    ZTDocumentItem *original = newItemForDocument(correctiveDocument);
    original->copyValuesFromItem(*this);
    original->setSubPosition(kSubPositionOriginal);

    ZTDocumentItem *corrected = newItemForDocument(correctiveDocument);
    corrected->copyValuesFromItem(*this);
    corrected->setSubPosition(kSubPositionCorrected);

    ZTDocumentItem *difference = newItemForDocument(correctiveDocument);
    difference->setSubPosition(kSubPositionDifference);
    difference->setPosition(position());
    difference->calculateDifferenceForCorrectedItem(*corrected, *original);
}

void ZTDocumentItem::calculateDifferenceForCorrectedItem(const ZTDocumentItem &corrected, const ZTDocumentItem &original)
{
    setNetPrice(differenceOf(corrected.netPrice(), original.netPrice()));
    setGrossPrice(differenceOf(corrected.grossPrice(), original.grossPrice()));
    setVatRate(ZTVatRateWithDescription::hiddenRateValue());
    setNetValue(differenceOf(corrected.netValue(), original.netValue()));
    setVatValue(differenceOf(corrected.vatValue(), original.vatValue()));
    setGrossValue(differenceOf(corrected.grossValue(), original.grossValue()));
    setQuantity(differenceOf(corrected.quantity(), original.quantity()));
}

bool ZTDocumentItem::isDifferentFromCorrectedItem(const ZTDocumentItem &corrected) const
{
    return name() != corrected.name() || netPrice() != corrected.netPrice() || netValue() != corrected.netValue()
        || grossBasedValues() != corrected.grossBasedValues() || vatRate() != corrected.vatRate()
        || vatDescription() != corrected.vatDescription() || grossPrice() != corrected.grossPrice()
        || grossValue() != corrected.grossValue() || pkwiu() != corrected.pkwiu() || unitName() != corrected.unitName()
        || quantity() != corrected.quantity();
}

QString ZTDocumentItem::correctedName() const
{
    const ZTDocument *d = document();
    const ZTDocumentItem *corrected = d ? d->correctedItemForOriginalItem(this) : nullptr;
    if (!corrected || corrected->name() == name())
        return QString();
    return corrected->name();
}

// ---- life cycle

void ZTDocumentItem::awakeFromInsert()
{
    ZTProduct::awakeFromInsert();
    setPrimitiveValue(QStringLiteral("grossBasedValues"),
                      SettingsStore::standard().boolValue(QStringLiteral("ZTGrossCalculationsEnabled")));
    setPrimitiveValue(QStringLiteral("grossPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("netPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("billPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("quantity"), QVariant::fromValue(Decimal(1)));
    setPrimitiveValue(QStringLiteral("discount"), QVariant::fromValue(Decimal(0)));
    startObserving();
    followDocument();
    if (ZTDocument *d = document(); d && d->isDraft())
        setOwnValidationPreventsSave(false);
}

void ZTDocumentItem::awakeFromFetch()
{
    ZTProduct::awakeFromFetch();
    startObserving();
    followDocument();
    if (ZTDocument *d = document(); d && d->isDraft())
        setOwnValidationPreventsSave(false);
}

void ZTDocumentItem::willTurnIntoFault()
{
    m_documentObservation.reset();
    m_inputObservations.clear();
    ZTProduct::willTurnIntoFault();
}

void ZTDocumentItem::startObserving()
{
    m_inputObservations.clear();
    for (const QString &key : inputKeys())
        m_inputObservations.push_back(observe(key, [this](ManagedObject &, const QString &) { inputDidChange(); }));
}

void ZTDocumentItem::inputDidChange()
{
    // Original and difference lines hold copied or derived values: their prices never count.
    if (m_recalculating || !storedQuantity() || isOriginal() || isDifference())
        return;
    try {
        recalculate();
    } catch (const DecimalError &error) {
        // An amount out of range abandons this recalculation; the edit itself stays.
        ZTLOG(QStringLiteral("recalculation abandoned: %1").arg(QString::fromUtf8(error.what())));
    }
}

void ZTDocumentItem::followDocument()
{
    m_documentObservation = observe(QStringLiteral("document"),
                                    [this](ManagedObject &, const QString &) { documentDidChange(); });
}

void ZTDocumentItem::documentDidChange()
{
    // A line moved to another document is bound exactly as that document is.
    if (ZTDocument *d = document())
        setValidationPreventsSave(d->validationPreventsSave());
}
