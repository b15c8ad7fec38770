// document create / show / list / derive / issue / mark / delete / set: sales documents of the
// active company, through the same operations and the same save as the window.
#include "CliCalendar.h"
#include "CliSession.h"

#include "app/ZTAppController.h"
#include "integrations/ZTCalendarManager.h"
#include "model/ZTCurrencyManager.h"
#include "model/ZTCustomer.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTDocumentManager.h"
#include "model/ZTDocumentVatRateSummary.h"
#include "model/ZTDocumentVatRateSummaryItem.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTVatRateWithDescription.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "platform/SettingsStore.h"
#include "platform/ManagedObjectContext.h"
#include "platform/NamedException.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cstdio>
#include <optional>

namespace {

using InputError = CliInputError;

// ---- printing

QJsonValue decimalJson(const std::optional<Decimal> &value)
{
    return value ? QJsonValue(value->toString()) : QJsonValue();
}

QJsonValue textJson(const QString &text)
{
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

QJsonValue dateJson(const QDateTime &date)
{
    return date.isValid() ? QJsonValue(date.toLocalTime().date().toString(Qt::ISODate)) : QJsonValue();
}

QJsonValue instantJson(const QDateTime &date)
{
    return date.isValid() ? QJsonValue(date.toOffsetFromUtc(date.toLocalTime().offsetFromUtc()).toString(Qt::ISODate))
                          : QJsonValue();
}

QJsonValue refJson(const ZTDocument *document)
{
    return document ? QJsonValue(document->objectID().objectPart()) : QJsonValue();
}

const QStringList &partyKeys()
{
    static const QStringList keys{QStringLiteral("name"),        QStringLiteral("address"),
                                  QStringLiteral("nip"),         QStringLiteral("regon"),
                                  QStringLiteral("remarks"),     QStringLiteral("contactData"),
                                  QStringLiteral("email"),       QStringLiteral("pesel"),
                                  QStringLiteral("recipient"),   QStringLiteral("recipientAddress"),
                                  QStringLiteral("bankName"),    QStringLiteral("bankAccountNumber"),
                                  QStringLiteral("issuesIn")};
    return keys;
}

QJsonValue partyJson(const ManagedObject *party)
{
    if (!party)
        return QJsonValue();
    QJsonObject object;
    for (const QString &key : partyKeys()) {
        if (party->entity().attribute(key))
            object.insert(key, textJson(party->value(key).toString().isEmpty() && !party->value(key).isValid()
                                            ? QString()
                                            : party->value(key).toString()));
    }
    return object;
}

QJsonObject itemJson(const ZTDocumentItem *item)
{
    return {{QStringLiteral("position"), item->position() ? QJsonValue(*item->position()) : QJsonValue()},
            {QStringLiteral("subPosition"), item->subPosition() ? QJsonValue(*item->subPosition()) : QJsonValue()},
            {QStringLiteral("name"), textJson(item->name())},
            {QStringLiteral("quantity"), decimalJson(item->quantity())},
            {QStringLiteral("netPrice"), decimalJson(item->netPrice())},
            {QStringLiteral("grossPrice"), decimalJson(item->grossPrice())},
            {QStringLiteral("billPrice"), decimalJson(item->billPrice())},
            {QStringLiteral("discount"), decimalJson(item->discount())},
            {QStringLiteral("vatRate"), decimalJson(item->storedVatRate())},
            {QStringLiteral("vatDescription"), textJson(item->vatDescription())},
            {QStringLiteral("grossBasedValues"), item->grossBasedValues()},
            {QStringLiteral("netValue"), decimalJson(item->netValue())},
            {QStringLiteral("vatValue"), decimalJson(item->vatValue())},
            {QStringLiteral("grossValue"), decimalJson(item->grossValue())},
            {QStringLiteral("advancePart"), item->advancePart()}};
}

QJsonArray summaryJson(const ZTDocumentVatRateSummary &summary)
{
    QJsonArray rows;
    for (const ZTDocumentVatRateSummaryItem &row : summary.items()) {
        rows.append(QJsonObject{
            {QStringLiteral("rate"), decimalJson(row.vatRateWithDescription().storedRate())},
            {QStringLiteral("description"), textJson(row.vatRateWithDescription().vatDescription())},
            {QStringLiteral("netValue"), row.netValue().toString()},
            {QStringLiteral("vatValue"), row.vatValue().toString()},
            {QStringLiteral("grossValue"), row.grossValue().toString()}});
    }
    return rows;
}

QJsonObject documentJson(ZTDocument *document)
{
    QJsonArray items;
    for (const ZTDocumentItem *item : document->positionedItems()) {
        if (!item->isDeleted())
            items.append(itemJson(item));
    }
    QJsonObject object{
        {QStringLiteral("ref"), refJson(document)},
        {QStringLiteral("kind"), document->documentKind() ? QJsonValue(*document->documentKind()) : QJsonValue()},
        {QStringLiteral("kindName"), document->titelizeDocumentKind()},
        {QStringLiteral("status"), textJson(document->status())},
        {QStringLiteral("documentID"), document->documentID()},
        {QStringLiteral("useCustomDocumentID"), document->useCustomDocumentID()},
        {QStringLiteral("docIDSequencer"),
         document->docIDSequencer() ? QJsonValue(document->docIDSequencer()->objectID().objectPart()) : QJsonValue()},
        {QStringLiteral("issueDate"), dateJson(document->issueDate())},
        {QStringLiteral("sellDate"), dateJson(document->sellDate())},
        {QStringLiteral("dueDate"), dateJson(document->dueDate())},
        {QStringLiteral("paidAt"), instantJson(document->paidAt())},
        {QStringLiteral("statusUpdatedAt"), instantJson(document->statusUpdatedAt())},
        {QStringLiteral("currency"), textJson(document->currency())},
        {QStringLiteral("paymentType"), textJson(document->paymentType())},
        {QStringLiteral("remarks"), textJson(document->remarks())},
        {QStringLiteral("secondLanguage"), document->documentSecondLanguage().value_or(0)},
        {QStringLiteral("grossBasedSummary"), document->grossBasedSummary()},
        {QStringLiteral("hasMixedCalculationDirections"), document->hasMixedCalculationDirections()},
        {QStringLiteral("items"), items},
        {QStringLiteral("vatSummary"), summaryJson(document->vatSummary())},
        {QStringLiteral("totalNetValue"), decimalJson(document->totalNetValue())},
        {QStringLiteral("totalVatValue"), decimalJson(document->totalVatValue())},
        {QStringLiteral("totalGrossValue"), decimalJson(document->totalGrossValue())},
        {QStringLiteral("purchaser"), partyJson(document->purchaser())},
        {QStringLiteral("seller"), partyJson(document->seller())},
        {QStringLiteral("parentRef"), refJson(document->parentDocument())},
        {QStringLiteral("childRef"), refJson(document->childDocument())},
        {QStringLiteral("documentDueCalendarEventUid"), textJson(document->documentDueCalendarEventUid())},
    };
    if (document->isCorrectiveInvoice()) {
        object.insert(QStringLiteral("originalDocumentID"), textJson(document->originalDocumentID()));
        object.insert(QStringLiteral("originalTotalNetValue"), decimalJson(document->originalTotalNetValue()));
        object.insert(QStringLiteral("originalTotalVatValue"), decimalJson(document->originalTotalVatValue()));
        object.insert(QStringLiteral("originalTotalGrossValue"), decimalJson(document->originalTotalGrossValue()));
        object.insert(QStringLiteral("netCorrectiveDifference"), document->netCorrectiveDifference().toString());
        object.insert(QStringLiteral("vatCorrectiveDifference"), document->vatCorrectiveDifference().toString());
        object.insert(QStringLiteral("grossCorrectiveDifference"), document->grossCorrectiveDifference().toString());
    }
    return object;
}

QJsonObject briefJson(ZTDocument *document)
{
    const ZTPurchaser *purchaser = document->purchaser();
    return {{QStringLiteral("ref"), refJson(document)},
            {QStringLiteral("kind"), document->documentKind() ? QJsonValue(*document->documentKind()) : QJsonValue()},
            {QStringLiteral("kindName"), document->titelizeDocumentKind()},
            {QStringLiteral("status"), textJson(document->status())},
            {QStringLiteral("documentID"), document->documentID()},
            {QStringLiteral("issueDate"), dateJson(document->issueDate())},
            {QStringLiteral("totalGrossValue"), decimalJson(document->totalGrossValue())},
            {QStringLiteral("currency"), textJson(document->currency())},
            {QStringLiteral("purchaser"), purchaser ? textJson(purchaser->name()) : QJsonValue()}};
}

// ---- reading the description

QJsonObject readDescription(const QString &path)
{
    return readJsonObject(path, QStringLiteral("Opis dokumentu"));
}

std::optional<Decimal> decimalField(const QJsonObject &object, const QString &key)
{
    return jsonDecimal(object.value(key), key);
}

QDateTime dateField(const QJsonObject &object, const QString &key)
{
    const QString text = object.value(key).toString();
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw InputError{QStringLiteral("Pole „%1” nie zawiera daty w postaci RRRR-MM-DD.").arg(key)};
    return QDateTime(date, QTime(12, 0));
}

void applyParty(ManagedObject *party, const QJsonObject &fields)
{
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (!partyKeys().contains(it.key()) || !party->entity().attribute(it.key()))
            throw InputError{QStringLiteral("Nieznane pole kontrahenta „%1”.").arg(it.key())};
        if (!it.value().isString() && !it.value().isNull())
            throw InputError{QStringLiteral("Pole kontrahenta „%1” musi być tekstem.").arg(it.key())};
        party->setValue(it.key(), it.value().isNull() ? QVariant() : QVariant(it.value().toString()));
    }
}

void applyItems(ZTDocument *document, const QJsonArray &items)
{
    for (ZTDocumentItem *old : document->availableItems())
        document->deleteItem(old);
    int index = 0;
    for (const QJsonValue &value : items) {
        ++index;
        const QJsonObject fields = value.toObject();
        const QString name = fields.value(QStringLiteral("name")).toString();
        if (!value.isObject() || name.trimmed().isEmpty())
            throw InputError{QStringLiteral("Pozycja %1 nie ma nazwy.").arg(index)};
        std::optional<Decimal> net = decimalField(fields, QStringLiteral("netPrice"));
        std::optional<Decimal> gross = decimalField(fields, QStringLiteral("grossPrice"));
        if (net && gross)
            throw InputError{QStringLiteral("Pozycja %1 musi mieć albo cenę netto, albo cenę brutto.").arg(index)};
        ZTDocumentItem *item = document->addNewDocumentItem();
        // As in the item table: a catalogue product of that name is taken over, and the line's
        // prices are in the document's currency; the given fields then apply.
        item->setProductInheritedName(name);
        if (!document->currency().isEmpty())
            item->setSelectedCurrency(document->currency());
        if (!net && !gross) {
            // Without a price the catalogue's price in the document's currency is taken.
            const int slot = item->baseProduct() ? item->slotForCurrency(item->selectedCurrency()) : -1;
            if (slot < 0)
                throw InputError{QStringLiteral("Pozycja %1 musi mieć albo cenę netto, albo cenę brutto.").arg(index)};
            if (item->grossBasedValues())
                gross = item->slotGrossPrice(slot);
            else
                net = item->slotNetPrice(slot);
        }
        if (fields.contains(QStringLiteral("vatRate")))
            item->setVatRateWithDescription(
                ZTVatRateWithDescription::fromText(fields.value(QStringLiteral("vatRate")).toString()));
        item->setQuantity(decimalField(fields, QStringLiteral("quantity")).value_or(Decimal(1)));
        if (fields.contains(QStringLiteral("discount")))
            item->setDiscount(decimalField(fields, QStringLiteral("discount")));
        if (fields.contains(QStringLiteral("unitName")))
            item->setUnitName(fields.value(QStringLiteral("unitName")).toString());
        if (fields.contains(QStringLiteral("pkwiu")))
            item->setPkwiu(fields.value(QStringLiteral("pkwiu")).toString());
        if (document->isBill()) {
            // A bill has one price, without VAT.
            item->setBillPrice(gross ? gross : net);
        } else if (gross) {
            item->setGrossPriceWithGrossBaseMarker({gross, true});
        } else {
            item->setNetPriceWithGrossBaseMarker({net, true});
        }
    }
}

// On a corrective invoice the lines are the corrected ones: each entry names a line by its
// "position" and changes only the fields it gives; the original and difference lines follow.
void applyCorrectedItems(ZTDocument *document, const QJsonArray &items)
{
    int index = 0;
    for (const QJsonValue &value : items) {
        ++index;
        const QJsonObject fields = value.toObject();
        const int position = fields.value(QStringLiteral("position")).toInt(0);
        ZTDocumentItem *item = nullptr;
        for (ZTDocumentItem *corrected : document->correctedDocumentItems()) {
            if (corrected->position() == position)
                item = corrected;
        }
        if (!value.isObject() || !item)
            throw InputError{QStringLiteral("Pozycja %1 nie wskazuje korygowanej pozycji (pole „position”).").arg(index)};
        if (fields.contains(QStringLiteral("name")))
            item->setName(fields.value(QStringLiteral("name")).toString());
        if (fields.contains(QStringLiteral("vatRate")))
            item->setVatRateWithDescription(
                ZTVatRateWithDescription::fromText(fields.value(QStringLiteral("vatRate")).toString()));
        if (fields.contains(QStringLiteral("quantity")))
            item->setQuantity(decimalField(fields, QStringLiteral("quantity")).value_or(Decimal(0)));
        if (fields.contains(QStringLiteral("discount")))
            item->setDiscount(decimalField(fields, QStringLiteral("discount")));
        if (fields.contains(QStringLiteral("unitName")))
            item->setUnitName(fields.value(QStringLiteral("unitName")).toString());
        if (fields.contains(QStringLiteral("pkwiu")))
            item->setPkwiu(fields.value(QStringLiteral("pkwiu")).toString());
        if (fields.contains(QStringLiteral("grossPrice")))
            item->setGrossPriceWithGrossBaseMarker({decimalField(fields, QStringLiteral("grossPrice")), true});
        else if (fields.contains(QStringLiteral("netPrice")))
            item->setNetPriceWithGrossBaseMarker({decimalField(fields, QStringLiteral("netPrice")), true});
    }
    document->recalculateDifferences();
}

void applyDescription(ZTDocument *document, const QJsonObject &description, CliSession &session)
{
    ZTAppController &controller = session.controller();
    const auto has = [&](const char *key) { return description.contains(QString::fromLatin1(key)); };
    if (has("issueDate")) {
        document->setIssueDate(dateField(description, QStringLiteral("issueDate")));
        // The due date follows the issue date unless the description or the customer says else.
        document->setDefaultDueDays();
    }
    if (has("sellDate"))
        document->setSellDate(dateField(description, QStringLiteral("sellDate")));
    if (has("customer")) {
        const QString name = description.value(QStringLiteral("customer")).toString();
        ZTCustomer *customer = controller.customerManager().findWithName(name);
        if (!customer)
            throw InputError{QStringLiteral("Nie ma kontrahenta o nazwie „%1”.").arg(name)};
        document->purchaser()->updateWithCustomer(customer);
        document->updateWithCustomerDefaults(customer);
    }
    if (has("purchaser")) {
        if (!description.value(QStringLiteral("purchaser")).isObject())
            throw InputError{QStringLiteral("Pole „purchaser” musi być obiektem.")};
        applyParty(document->purchaser(), description.value(QStringLiteral("purchaser")).toObject());
    }
    if (has("dueDate"))
        document->setDueDate(dateField(description, QStringLiteral("dueDate")));
    if (has("docIDSequencer")) {
        const QString ref = description.value(QStringLiteral("docIDSequencer")).toString();
        auto *sequencer = dynamic_cast<ZTDocumentSmartSequencer *>(
            session.findObject(QStringLiteral("DocumentSmartSequencer"), ref));
        if (!sequencer || sequencer->removed() || sequencer->documentKind() != document->documentKind())
            throw InputError{QStringLiteral("Nie ma numeracji %1 dla tego rodzaju dokumentu.").arg(ref)};
        document->setDocIDSequencer(sequencer);
    }
    // A number typed by hand replaces the proposals; "useCustomDocumentID": false returns to them.
    if (has("documentID")) {
        const QString typed = description.value(QStringLiteral("documentID")).toString();
        if (typed.isEmpty())
            throw InputError{QStringLiteral("Dokument musi mieć numer")};
        document->setUseCustomDocumentID(true);
        document->setDocumentID(typed);
    }
    if (has("useCustomDocumentID") && !description.value(QStringLiteral("useCustomDocumentID")).toBool(true))
        document->setUseCustomDocumentID(false);
    if (has("currency"))
        document->setCurrency(description.value(QStringLiteral("currency")).toString());
    if (has("paymentType"))
        document->setPaymentType(description.value(QStringLiteral("paymentType")).toString());
    if (has("remarks"))
        document->setRemarks(description.value(QStringLiteral("remarks")).toString());
    if (has("secondLanguage")) {
        const int language = description.value(QStringLiteral("secondLanguage")).toInt(-1);
        if (language != 0 && language != 1)
            throw InputError{QStringLiteral("Drugi język to 0 (brak) albo 1 (angielski).")};
        document->setDocumentSecondLanguage(language);
    }
    if (has("items")) {
        if (!description.value(QStringLiteral("items")).isArray())
            throw InputError{QStringLiteral("Pole „items” musi być tablicą pozycji.")};
        if (document->isCorrectiveInvoice())
            applyCorrectedItems(document, description.value(QStringLiteral("items")).toArray());
        else
            applyItems(document, description.value(QStringLiteral("items")).toArray());
    }
    document->recalculateAllItems();
}

// ---- saving

CliResult savedDocument(CliSession &session, ZTDocument *document)
{
    Error error;
    if (!session.save(error))
        return CliResult::failed(error);
    return CliResult::ok(documentJson(document));
}

// ---- commands

CliResult create(const QStringList &arguments)
{
    QStringList args = arguments;
    QString path;
    if (!takeJsonOption(args, path) || !args.isEmpty())
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QJsonObject description = readDescription(path);
        const int kind = description.value(QStringLiteral("kind")).toInt(ZTDocument::kKindInvoice);
        if (!ZTDocument::isValidKind(kind))
            throw InputError{QStringLiteral("Nieznany rodzaj dokumentu %1.").arg(kind)};
        CliSession session;
        ZTDocument *document = ZTDocument::newDraftOfKind(session.context(), kind);
        // As the form does, a new document is in the default currency unless told otherwise.
        document->setCurrency(ZTCurrencyManager::sharedInstance().defaultCurrencyCode());
        applyDescription(document, description, session);
        return savedDocument(session, document);
    });
}

CliResult set(const QStringList &arguments)
{
    QStringList args = arguments;
    QString path;
    if (!takeJsonOption(args, path) || args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QJsonObject description = readDescription(path);
        CliSession session;
        ZTDocument *document = session.findDocument(args.first());
        if (description.contains(QStringLiteral("kind")))
            document->setValidDocumentKind(description.value(QStringLiteral("kind")).toInt(0));
        applyDescription(document, description, session);
        return savedDocument(session, document);
    });
}

CliResult show(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        CliSession session;
        return CliResult::ok(documentJson(session.findDocument(args.first())));
    });
}

CliResult list(const QStringList &args)
{
    enum class Scope { All, Drafts, Year } scope = Scope::All;
    int year = 0;
    int month = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &option = args.at(i);
        bool ok = true;
        if (option == QStringLiteral("--drafts") && scope == Scope::All) {
            scope = Scope::Drafts;
        } else if (option == QStringLiteral("--year") && i + 1 < args.size() && scope == Scope::All) {
            scope = Scope::Year;
            year = args.at(++i).toInt(&ok);
        } else if (option == QStringLiteral("--month") && i + 1 < args.size() && scope == Scope::Year) {
            month = args.at(++i).toInt(&ok);
            ok = ok && month >= 1 && month <= 12;
        } else {
            return CliResult::badUsage();
        }
        if (!ok)
            return CliResult::badUsage(QStringLiteral("%1 needs a number").arg(option));
    }
    return cliGuarded([&] {
        CliSession session;
        ZTDocumentManager &documents = session.controller().documentManager();
        QList<ZTDocument *> found;
        if (scope == Scope::Drafts)
            found = documents.findDrafts();
        else if (scope == Scope::Year)
            found = month ? documents.documentsIssuedInYear(year, month) : documents.documentsIssuedInYear(year);
        else
            found = ZTEntityManager::as<ZTDocument>(documents.findAll());
        // Numbered documents in number order, drafts (and anything unnumbered) after them by creation.
        QList<ZTDocument *> numbered;
        QList<ZTDocument *> drafts;
        for (ZTDocument *document : found)
            (document->isDraft() || document->documentID().isEmpty() || !document->sellDate().isValid()
                 ? drafts
                 : numbered)
                .append(document);
        ZTDocument::sortNumerically(numbered);
        std::stable_sort(drafts.begin(), drafts.end(),
                         [](ZTDocument *a, ZTDocument *b) { return a->primaryKey() < b->primaryKey(); });
        QJsonArray out;
        for (ZTDocument *document : numbered + drafts)
            out.append(briefJson(document));
        return CliResult::ok(out);
    });
}

CliResult derive(const QStringList &args)
{
    if (args.size() != 3 || args.at(1) != QStringLiteral("--as"))
        return CliResult::badUsage();
    const QString as = args.at(2);
    static const QStringList ways{QStringLiteral("copy"),    QStringLiteral("corrective"),
                                  QStringLiteral("advance"), QStringLiteral("final"),
                                  QStringLiteral("invoice"), QStringLiteral("advance-from-proforma")};
    if (!ways.contains(as))
        return CliResult::badUsage(QStringLiteral("--as takes one of %1").arg(ways.join(QStringLiteral(", "))));
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *source = session.findDocument(args.first());
        if (as != QStringLiteral("copy") && source->isDraft())
            throw InputError{QStringLiteral("Z wersji roboczej można zrobić tylko kopię.")};
        ZTDocument *draft = nullptr;
        if (as == QStringLiteral("copy")) {
            draft = ZTDocument::newDraftForCopyOfDocument(source);
        } else if (as == QStringLiteral("corrective")) {
            if (source->isProformaInvoice())
                throw InputError{QStringLiteral("Faktury pro forma nie koryguje się.")};
            draft = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(source);
        } else if (as == QStringLiteral("advance") || as == QStringLiteral("final")) {
            if (!source->isAdvanceInvoice())
                throw InputError{QStringLiteral("Dokument %1 nie jest fakturą zaliczkową.").arg(source->documentID())};
            if (source->childDocument())
                throw InputError{QStringLiteral("Faktura zaliczkowa %1 ma już następny dokument.").arg(source->documentID())};
            draft = as == QStringLiteral("advance") ? ZTDocument::newDraftForAdvanceInvoiceOfDocument(source)
                                                    : ZTDocument::newDraftForFinalInvoiceOfDocument(source);
        } else {
            if (!source->isProformaInvoice())
                throw InputError{QStringLiteral("Dokument %1 nie jest fakturą pro forma.").arg(source->documentID())};
            draft = as == QStringLiteral("invoice") ? ZTDocument::newRegularInvoiceDraftForProformaDocument(source)
                                                    : ZTDocument::newDraftForAdvanceInvoiceWithProforma(source);
        }
        draft->recalculateAllItems();
        return savedDocument(session, draft);
    });
}

CliResult issue(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *document = session.findDocument(args.first());
        if (!document->isDraft())
            throw InputError{QStringLiteral("Dokument %1 jest już wystawiony.").arg(document->documentID())};
        // A taken number only warns, as the window's question does; the CLI goes on.
        if (!SettingsStore::standard().boolValue(QStringLiteral("ZTDontShowDuplicateDocumentIDWarningSheet")) &&
            ZTDocumentSmartSequencer::documentWithSameDocumentID(*document)) {
            std::fprintf(stderr, "Ostrzeżenie: %s\n",
                         ZTDocumentSmartSequencer::duplicateDocumentIDQuestion(document->documentID()).toUtf8().constData());
        }
        Error error;
        if (!document->issueDocument(error))
            return CliResult::failed(error);
        // As the form: saved first, then the due-date event is made anew; its identifier is saved.
        if (!session.save(error))
            return CliResult::failed(error);
        cliCalendarManager().updateCalendarEventForIssuedDocument(&session.controller(), document);
        cliWaitForCalendar();
        return savedDocument(session, document);
    });
}

CliResult mark(const QStringList &args)
{
    static const QStringList states{QStringLiteral("paid"), QStringLiteral("unpaid"), QStringLiteral("canceled"),
                                    QStringLiteral("restored")};
    if (args.size() != 2 || !states.contains(args.at(1)))
        return CliResult::badUsage();
    const QString state = args.at(1);
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *document = session.findDocument(args.first());
        if (document->isDraft())
            throw InputError{QStringLiteral("Wersji roboczej nie można oznaczyć; najpierw wystaw dokument.")};
        if (state == QStringLiteral("paid")) {
            if (!document->isIssued())
                throw InputError{QStringLiteral("Tylko wystawiony, niezapłacony dokument można oznaczyć jako zapłacony.")};
            document->markPaid();
        } else if (state == QStringLiteral("unpaid")) {
            if (!document->isPaid())
                throw InputError{QStringLiteral("Dokument nie jest oznaczony jako zapłacony.")};
            document->unmarkPaid();
        } else if (state == QStringLiteral("canceled")) {
            if (document->isCanceled())
                throw InputError{QStringLiteral("Dokument jest już anulowany.")};
            document->markCanceled();
        } else {
            if (!document->isCanceled())
                throw InputError{QStringLiteral("Dokument nie jest anulowany.")};
            document->unmarkCanceled();
        }
        if (state == QStringLiteral("paid") || state == QStringLiteral("unpaid")) {
            // As the list: saved first, then the event is removed (paid) or made anew (unpaid).
            Error error;
            if (!session.save(error))
                return CliResult::failed(error);
            cliCalendarManager().updateCalendarEventsForDocuments(&session.controller(), {document},
                                                                  state == QStringLiteral("paid"));
            cliWaitForCalendar();
        }
        return savedDocument(session, document);
    });
}

CliResult remove(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *document = session.findDocument(args.first());
        const QJsonObject deleted{{QStringLiteral("deleted"), refJson(document)},
                                  {QStringLiteral("documentID"), document->documentID()}};
        // As the list: the event's removal is asked for before the document goes.
        cliCalendarManager().removeCalendarEventsForDocuments(&session.controller(), {document});
        document->deleteDocument();
        Error error;
        const bool saved = session.save(error);
        cliWaitForCalendar();
        if (!saved)
            return CliResult::failed(error);
        return CliResult::ok(deleted);
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("document"), QStringLiteral("create")}, QStringLiteral("--json FILE|-"),
     QStringLiteral("creates a draft from a JSON description and prints it"), create},
    {{QStringLiteral("document"), QStringLiteral("show")}, QStringLiteral("REF"),
     QStringLiteral("prints a document with its lines, VAT summary and totals"), show},
    {{QStringLiteral("document"), QStringLiteral("list")}, QStringLiteral("[--drafts | --year Y [--month M]]"),
     QStringLiteral("lists documents: all, drafts, or those issued in a year or month"), list},
    {{QStringLiteral("document"), QStringLiteral("derive")},
     QStringLiteral("REF --as copy|corrective|advance|final|invoice|advance-from-proforma"),
     QStringLiteral("makes a new draft from a document and prints it"), derive},
    {{QStringLiteral("document"), QStringLiteral("issue")}, QStringLiteral("REF"),
     QStringLiteral("issues a draft"), issue},
    {{QStringLiteral("document"), QStringLiteral("mark")}, QStringLiteral("REF paid|unpaid|canceled|restored"),
     QStringLiteral("changes the state of an issued document"), mark},
    {{QStringLiteral("document"), QStringLiteral("delete")}, QStringLiteral("REF"),
     QStringLiteral("deletes a document, clearing its links and its draft children"), remove},
    {{QStringLiteral("document"), QStringLiteral("set")}, QStringLiteral("REF --json FILE|-"),
     QStringLiteral("changes a document from a JSON description (items replace all lines)"), set},
};

} // namespace
