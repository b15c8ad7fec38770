#include "ZTCustomer.h"

#include "ZTCompanyFolder.h"
#include "ZTCurrencyManager.h"
#include "ZTDocument.h"
#include "ZTDocumentManager.h"
#include "ZTPurchaser.h"

#include "platform/Clock.h"
#include "platform/ImageData.h"
#include "platform/ManagedObjectContext.h"
#include "platform/VCardReader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

const QString kWorkLabel = QStringLiteral("work");

// The first entry labelled as work, else the first one; null for an empty list.
template <class T> const T *workOrFirst(const QList<T> &entries)
{
    for (const T &entry : entries) {
        if (entry.hasLabel(kWorkLabel))
            return &entry;
    }
    return entries.isEmpty() ? nullptr : &entries.first();
}

QString nameFromContact(const VCardContact &contact)
{
    const QString &o = contact.organization;
    const QString &g = contact.givenName;
    const QString &f = contact.familyName;
    if (!o.isEmpty()) {
        if (!g.isEmpty() && !f.isEmpty())
            return QStringLiteral("%1, %2 %3").arg(o, g, f);
        if (!g.isEmpty())
            return QStringLiteral("%1 %2").arg(g, o);
        if (!f.isEmpty())
            return QStringLiteral("%1 %2").arg(o, f);
        return o;
    }
    if (!g.isEmpty() && !f.isEmpty())
        return QStringLiteral("%1 %2").arg(g, f);
    if (!g.isEmpty())
        return g;
    if (!f.isEmpty())
        return f;
    return ZTCustomer::missingNameText();
}

// A contacts store keeps the extended address and the post-office box among the street lines.
QString streetLines(const VCardPostalAddress &address)
{
    QStringList lines;
    for (const QString &part : {address.street, address.extendedAddress, address.postOfficeBox}) {
        if (!part.isEmpty())
            lines.append(part);
    }
    return lines.join(QLatin1Char('\n'));
}

QString addressText(const VCardPostalAddress &address)
{
    const QString text = QStringLiteral("%1\n%2 %3\n%4")
                             .arg(streetLines(address), address.postalCode, address.city, address.country);
    return text.trimmed();
}

ZTEntityManager::ContextProvider providerFor(const ManagedObject *object)
{
    ManagedObjectContext *context = object->managedObjectContext();
    return [context] { return context; };
}

} // namespace

ZTCustomer *ZTCustomer::newCustomer(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTCustomer>(QStringLiteral("Customer"));
}

ZTCustomer *ZTCustomer::newCustomerFromContact(ManagedObjectContext &context, const VCardContact &contact)
{
    ZTCustomer *customer = newCustomer(context);
    customer->setName(nameFromContact(contact));
    if (const VCardLabeledValue *email = workOrFirst(contact.emails))
        customer->setEmail(email->value);
    if (const VCardPostalAddress *address = workOrFirst(contact.addresses))
        customer->setAddress(addressText(*address));
    static const QRegularExpression nipInNote(
        QStringLiteral("NIP:\\ *(([A-Z]{2})?\\ ?(\\d{10}|(\\d{3}\\-){2}\\d{2}\\-\\d{2}|\\d{3}\\-(\\d{2}\\-){2}\\d{3}))"));
    const QRegularExpressionMatch match = nipInNote.match(contact.note);
    if (match.hasMatch())
        customer->setNip(match.captured(1));
    if (!contact.imageData.isEmpty())
        customer->saveImage(contact.imageData);
    return customer;
}

void ZTCustomer::updateWithPurchaser(const ZTPurchaser &purchaser)
{
    setName(purchaser.name());
    setAddress(purchaser.address());
    setNip(purchaser.nip());
    setRecipient(purchaser.recipient());
    setRecipientAddress(purchaser.recipientAddress());
}

// ---- pictures

QString ZTCustomer::customerPicturesPath()
{
    return QDir(ZTCompanyFolder::currentPath()).filePath(QStringLiteral("Customers"));
}

QString ZTCustomer::customerNewPictureFilePath()
{
    const QDateTime now = Clock::now().toLocalTime();
    const QString stamp = now.toString(QStringLiteral("dd_MM_yy_HH_mm_ss_")) +
                          QStringLiteral("%1").arg(now.time().msecsSinceStartOfDay(), 8, 10, QLatin1Char('0'));
    return QDir(customerPicturesPath()).filePath(QStringLiteral("%1-logo_%2.png").arg(QStringLiteral("customer"), stamp));
}

QByteArray ZTCustomer::picture() const
{
    if (!hasPicture())
        return {};
    QFile file(picturePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void ZTCustomer::saveImage(const QByteArray &imageData)
{
    const QByteArray png = ImageData::toPng(imageData);
    if (png.isEmpty())
        return;
    QDir().mkpath(customerPicturesPath());
    const QString path = customerNewPictureFilePath();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(png);
    setPicturePath(path);
}

QString ZTCustomer::picturePath() const
{
    return ZTCompanyFolder::pathInFolder(customerPicturesPath(), storedPicturePath());
}

void ZTCustomer::deletePicture()
{
    if (hasPicture())
        QFile::remove(picturePath());
    setPicturePath(QString());
}

// ---- documents

QList<ZTDocument *> ZTCustomer::documents() const
{
    return ZTDocumentManager(providerFor(this)).documentsForCustomer(this);
}

QList<ZTDocument *> ZTCustomer::documentDrafts() const
{
    return ZTDocumentManager(providerFor(this)).documentDraftsForCustomer(this);
}

qsizetype ZTCustomer::documentCount() const
{
    return ZTDocumentManager(providerFor(this))
        .totalsForCustomer(this, ZTCurrencyManager::sharedInstance().defaultCurrencyCode())
        .documentCount;
}

Decimal ZTCustomer::documentsTotalNetValue() const
{
    return ZTDocumentManager(providerFor(this))
        .totalsForCustomer(this, ZTCurrencyManager::sharedInstance().defaultCurrencyCode())
        .totalNetValue;
}

Decimal ZTCustomer::documentsTotalGrossValue() const
{
    return ZTDocumentManager(providerFor(this))
        .totalsForCustomer(this, ZTCurrencyManager::sharedInstance().defaultCurrencyCode())
        .totalGrossValue;
}

QList<int> ZTCustomer::documentKinds() const
{
    QList<int> kinds;
    for (const ZTDocument *document : documents())
        kinds.append(document->documentKind().value_or(0));
    return kinds;
}
