// seller / customer / product add, list, set and customer import-vcard: the registers of the
// active company (seller templates, customers, products), saved as the window saves them.
#include "CliSession.h"

#include "app/ZTAppController.h"
#include "model/ZTCustomer.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTProduct.h"
#include "model/ZTProductManager.h"
#include "model/ZTSellerTemplate.h"
#include "platform/AttributeValue.h"
#include "platform/ManagedObjectContext.h"
#include "platform/VCardReader.h"

#include <QJsonArray>
#include <QJsonObject>

#include <optional>

namespace {

using InputError = CliInputError;

constexpr int kNothingReadCode = 21;

// The attributes that stand for the register's own bookkeeping and are not set from JSON.
bool isSettable(const QString &attribute)
{
    return attribute != QStringLiteral("createdAt");
}

// ---- JSON of an entity: every attribute under its own name

QJsonValue attributeJson(const ManagedObject *object, const AttributeDescription &attribute)
{
    const QVariant value = object->value(attribute.name);
    if (!value.isValid())
        return QJsonValue();
    switch (attribute.type) {
    case AttributeType::String:
        return value.toString();
    case AttributeType::Integer:
        return value.toLongLong();
    case AttributeType::Boolean:
        return value.toBool();
    case AttributeType::Decimal:
        return AttributeValue::toDecimal(value).toString();
    case AttributeType::Double:
        return value.toDouble();
    case AttributeType::Date: {
        const QDateTime date = value.toDateTime();
        return date.toOffsetFromUtc(date.toLocalTime().offsetFromUtc()).toString(Qt::ISODate);
    }
    }
    return QJsonValue();
}

QJsonObject entityJson(const ManagedObject *object)
{
    QJsonObject json{{QStringLiteral("ref"), object->objectID().objectPart()}};
    for (const AttributeDescription &attribute : object->entity().attributes())
        json.insert(attribute.name, attributeJson(object, attribute));
    return json;
}

QJsonObject sellerTemplateJson(const ZTSellerTemplate *sellerTemplate)
{
    QJsonObject json = entityJson(sellerTemplate);
    json.insert(QStringLiteral("templateNameWithInfo"), sellerTemplate->templateNameWithInfo());
    return json;
}

QJsonObject customerJson(const ZTCustomer *customer)
{
    QJsonObject json = entityJson(customer);
    json.insert(QStringLiteral("picture"), customer->hasPicture() ? QJsonValue(customer->picturePath()) : QJsonValue());
    json.insert(QStringLiteral("documentCount"), qint64(customer->documentCount()));
    json.insert(QStringLiteral("documentsTotalNetValue"), customer->documentsTotalNetValue().toString());
    json.insert(QStringLiteral("documentsTotalGrossValue"), customer->documentsTotalGrossValue().toString());
    return json;
}

QJsonObject productJson(const ZTProduct *product)
{
    QJsonObject json = entityJson(product);
    json.insert(QStringLiteral("commaSeparatedLabels"), product->commaSeparatedLabels());
    const int slot = product->defaultCurrencyIndex();
    json.insert(QStringLiteral("defaultCurrencySlot"), slot > 0 ? QJsonValue(slot) : QJsonValue());
    const auto price = [](const std::optional<Decimal> &value) {
        return value ? QJsonValue(value->toString()) : QJsonValue();
    };
    json.insert(QStringLiteral("defaultCurrencyNetPrice"), price(product->netPrice()));
    json.insert(QStringLiteral("defaultCurrencyGrossPrice"), price(product->grossPrice()));
    return json;
}

// ---- JSON into an entity

QVariant attributeValue(const AttributeDescription &attribute, const QJsonValue &json)
{
    if (json.isNull())
        return QVariant();
    const QString &key = attribute.name;
    switch (attribute.type) {
    case AttributeType::String:
        if (!json.isString())
            throw InputError{QStringLiteral("Pole „%1” musi być tekstem.").arg(key)};
        return json.toString();
    case AttributeType::Integer: {
        bool ok = json.isDouble() && json.toDouble() == double(qint64(json.toDouble()));
        qint64 number = ok ? qint64(json.toDouble()) : 0;
        if (json.isString())
            number = json.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw InputError{QStringLiteral("Pole „%1” musi być liczbą całkowitą.").arg(key)};
        return number;
    }
    case AttributeType::Boolean:
        if (!json.isBool())
            throw InputError{QStringLiteral("Pole „%1” musi mieć wartość true albo false.").arg(key)};
        return json.toBool();
    case AttributeType::Decimal:
    case AttributeType::Double: {
        const std::optional<Decimal> number = jsonDecimal(json, key);
        if (!number)
            throw InputError{QStringLiteral("Pole „%1” nie zawiera liczby.").arg(key)};
        // Decimal attributes take decimal text, so no binary float comes in between.
        return attribute.type == AttributeType::Double ? QVariant(number->toString().toDouble())
                                                        : QVariant(number->toString());
    }
    case AttributeType::Date: {
        const QString text = json.toString();
        QDateTime date = QDateTime::fromString(text, Qt::ISODate);
        if (!date.isValid()) {
            const QDate day = QDate::fromString(text, Qt::ISODate);
            if (day.isValid())
                date = QDateTime(day, QTime(12, 0));
        }
        if (!date.isValid())
            throw InputError{QStringLiteral("Pole „%1” nie zawiera daty w postaci RRRR-MM-DD.").arg(key)};
        return date;
    }
    }
    return QVariant();
}

void applyFields(ManagedObject *object, const QJsonObject &fields)
{
    // Everything is checked before anything changes.
    QList<std::pair<QString, QVariant>> values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const AttributeDescription *attribute = object->entity().attribute(it.key());
        if (!attribute || !isSettable(it.key()))
            throw InputError{QStringLiteral("Nieznane pole „%1”.").arg(it.key())};
        values.append({attribute->name, attributeValue(*attribute, it.value())});
    }
    for (const auto &[key, value] : values)
        object->setValue(key, value);
}

// ---- the active company

// The company opened as the window opens it, its controller also the one the model asks for
// the company folder (customer pictures).
class Session : public CliSession
{
public:
    Session() { ZTAppController::setInstance(&controller()); }

    // "Person/p3", "p3" or "3", of exactly the entity asked for (a purchaser is no customer).
    // Identities name the family's table, so a customer's is "Person/…".
    ManagedObject *find(const QString &ref, const QString &entityName)
    {
        const QString family = context().model().entity(entityName)->root()->name();
        QString key = ref;
        if (key.startsWith(family + QLatin1Char('/')))
            key = key.mid(family.size() + 1);
        if (key.startsWith(QLatin1Char('p')))
            key = key.mid(1);
        bool numeric = false;
        const qint64 pk = key.toLongLong(&numeric);
        if (numeric) {
            ManagedObject *object = context().objectWithID(ManagedObjectID(context().storeUUID(), family, pk));
            if (object && !object->isDeleted() && object->entity().name() == entityName)
                return object;
        }
        throw InputError{QStringLiteral("Nie ma obiektu %1.").arg(ref)};
    }
};

template <class Print> CliResult saved(Session &session, const Print &print)
{
    Error error;
    if (!session.save(error))
        return CliResult::failed(error);
    return CliResult::ok(print());
}

// ---- one register: how to make an entry, list them and print one

struct Register
{
    QString entityName;
    std::function<ManagedObject *(Session &)> create;
    std::function<QList<ManagedObject *>(Session &)> all;
    std::function<QJsonObject(const ManagedObject *)> print;
};

const Register &sellerRegister()
{
    static const Register r{
        QStringLiteral("SellerTemplate"),
        [](Session &s) -> ManagedObject * { return ZTSellerTemplate::sellerTemplateWithDefaultSellerTemplate(s.context()); },
        [](Session &s) {
            QList<ManagedObject *> list;
            for (ZTSellerTemplate *t : s.controller().sellerTemplateManager().findAllOrdered())
                list.append(t);
            return list;
        },
        [](const ManagedObject *o) { return sellerTemplateJson(static_cast<const ZTSellerTemplate *>(o)); }};
    return r;
}

const Register &customerRegister()
{
    static const Register r{
        QStringLiteral("Customer"),
        [](Session &s) -> ManagedObject * { return ZTCustomer::newCustomer(s.context()); },
        [](Session &s) { return s.controller().customerManager().findAllSortedByKeyPath(QStringLiteral("name"), false); },
        [](const ManagedObject *o) { return customerJson(static_cast<const ZTCustomer *>(o)); }};
    return r;
}

const Register &productRegister()
{
    static const Register r{
        QStringLiteral("Product"),
        [](Session &s) -> ManagedObject * { return ZTProduct::newProduct(s.context()); },
        [](Session &s) { return s.controller().productManager().findAllSortedByKeyPath(QStringLiteral("name"), false); },
        [](const ManagedObject *o) { return productJson(static_cast<const ZTProduct *>(o)); }};
    return r;
}

CliResult add(const Register &reg, const QStringList &arguments)
{
    QStringList args = arguments;
    QString path;
    if (!takeJsonOption(args, path) || !args.isEmpty())
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QJsonObject fields = readJsonObject(path);
        Session session;
        ManagedObject *object = reg.create(session);
        applyFields(object, fields);
        return saved(session, [&] { return QJsonValue(reg.print(object)); });
    });
}

CliResult set(const Register &reg, const QStringList &arguments)
{
    QStringList args = arguments;
    QString path;
    if (!takeJsonOption(args, path) || args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QJsonObject fields = readJsonObject(path);
        Session session;
        ManagedObject *object = session.find(args.first(), reg.entityName);
        applyFields(object, fields);
        return saved(session, [&] { return QJsonValue(reg.print(object)); });
    });
}

CliResult list(const Register &reg, const QStringList &args)
{
    if (!args.isEmpty())
        return CliResult::badUsage();
    return cliGuarded([&] {
        Session session;
        QJsonArray out;
        for (const ManagedObject *object : reg.all(session))
            out.append(reg.print(object));
        return CliResult::ok(out);
    });
}

QJsonObject problemJson(const VCardProblem &problem)
{
    return {{QStringLiteral("card"), problem.cardNumber > 0 ? QJsonValue(problem.cardNumber) : QJsonValue()},
            {QStringLiteral("name"), problem.cardName.isEmpty() ? QJsonValue() : QJsonValue(problem.cardName)},
            {QStringLiteral("line"), problem.line > 0 ? QJsonValue(problem.line) : QJsonValue()},
            {QStringLiteral("message"), problem.message},
            {QStringLiteral("skipped"), problem.cardSkipped},
            {QStringLiteral("text"), problem.describe()}};
}

CliResult importVCard(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        const VCardReadResult read = VCardReader::readFile(args.first());
        if (read.contacts.isEmpty()) {
            Error error = Error::withMessage(Error::applicationDomain(), kNothingReadCode,
                                             QStringLiteral("Z pliku %1 nie udało się odczytać żadnej karty.").arg(args.first()));
            for (const VCardProblem &problem : read.problems)
                error = Error::combined(error, Error::withMessage(Error::applicationDomain(), kNothingReadCode,
                                                                  problem.describe()));
            return CliResult::failed(error);
        }
        Session session;
        QList<ZTCustomer *> customers;
        for (const VCardContact &contact : read.contacts)
            customers.append(ZTCustomer::newCustomerFromContact(session.context(), contact));
        return saved(session, [&] {
            QJsonArray made;
            for (const ZTCustomer *customer : customers)
                made.append(customerJson(customer));
            QJsonArray problems;
            for (const VCardProblem &problem : read.problems)
                problems.append(problemJson(problem));
            return QJsonValue(QJsonObject{{QStringLiteral("customers"), made}, {QStringLiteral("problems"), problems}});
        });
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("seller"), QStringLiteral("add")}, QStringLiteral("--json FILE|-"),
     QStringLiteral("adds a seller template (filled from the default one) and prints it"),
     [](const QStringList &a) { return add(sellerRegister(), a); }},
    {{QStringLiteral("seller"), QStringLiteral("list")}, QString(),
     QStringLiteral("lists the seller templates in their order"), [](const QStringList &a) { return list(sellerRegister(), a); }},
    {{QStringLiteral("seller"), QStringLiteral("set")}, QStringLiteral("REF --json FILE|-"),
     QStringLiteral("changes the fields of a seller template"), [](const QStringList &a) { return set(sellerRegister(), a); }},
    {{QStringLiteral("customer"), QStringLiteral("add")}, QStringLiteral("--json FILE|-"),
     QStringLiteral("adds a customer and prints it"), [](const QStringList &a) { return add(customerRegister(), a); }},
    {{QStringLiteral("customer"), QStringLiteral("list")}, QString(),
     QStringLiteral("lists the customers by name with their document totals"),
     [](const QStringList &a) { return list(customerRegister(), a); }},
    {{QStringLiteral("customer"), QStringLiteral("set")}, QStringLiteral("REF --json FILE|-"),
     QStringLiteral("changes the fields of a customer"), [](const QStringList &a) { return set(customerRegister(), a); }},
    {{QStringLiteral("customer"), QStringLiteral("import-vcard")}, QStringLiteral("FILE"),
     QStringLiteral("adds a customer for every contact card of a vCard file"), importVCard},
    {{QStringLiteral("product"), QStringLiteral("add")}, QStringLiteral("--json FILE|-"),
     QStringLiteral("adds a product to the catalogue and prints it"), [](const QStringList &a) { return add(productRegister(), a); }},
    {{QStringLiteral("product"), QStringLiteral("list")}, QString(),
     QStringLiteral("lists the catalogue by name"), [](const QStringList &a) { return list(productRegister(), a); }},
    {{QStringLiteral("product"), QStringLiteral("set")}, QStringLiteral("REF --json FILE|-"),
     QStringLiteral("changes the fields of a product"), [](const QStringList &a) { return set(productRegister(), a); }},
};

} // namespace
